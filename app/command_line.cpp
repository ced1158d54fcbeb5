#include "app/command_line.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>
#include <system_error>

#include "texts/user_texts.hpp"

namespace velmoran::app {

namespace {

// Qt's own options that a person or the desktop may give the window (a
// session manager restarts programs with -session): passed on untouched.
constexpr std::string_view kQtOptionsWithValue[] = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-display", "-session",
    "-style",    "-stylesheet",         "-qwindowgeometry", "-qwindowtitle", "-qwindowicon",
};
constexpr std::string_view kQtFlags[] = {"-reverse", "-widgetcount"};

template <std::size_t N>
bool isOneOf(std::string_view word, const std::string_view (&words)[N])
{
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

// A number written with a decimal point or, as Italian has it, a comma,
// from `low` to `high`.
std::optional<double> parseNumber(std::string text, double low, double high)
{
    std::replace(text.begin(), text.end(), ',', '.');
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    if (!(value >= low && value <= high))
        return std::nullopt;
    return value;
}

// The value of OPTION VALUE or OPTION=VALUE at args[i], i moved past it;
// none where it is missing.
std::optional<std::string> optionValue(const std::vector<std::string>& args, std::size_t& i, std::string_view option)
{
    if (args[i] != option)
        return args[i].substr(option.size() + 1);
    if (i + 1 >= args.size())
        return std::nullopt;
    return args[++i];
}

bool isOption(const std::string& arg, std::string_view option)
{
    return arg == option || arg.rfind(std::string(option) + "=", 0) == 0;
}

CommandLine badUsage(std::string problem)
{
    CommandLine command;
    command.action = CommandLine::Action::BadUsage;
    command.problem = std::move(problem);
    return command;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine command;
    bool exporting = false;
    bool scaled = false;
    bool levels = false;
    bool timed = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::size_t left = args.size() - i - 1;
        const bool help = arg == "-h" || arg == "--help";
        if (help || arg == "-v" || arg == "--version") {
            if (args.size() > 1)
                return badUsage(texts::usage::standsAlone(arg));
            command.action = help ? CommandLine::Action::Help : CommandLine::Action::Version;
            return command;
        }
        if (arg == "--export") {
            if (exporting)
                return badUsage(texts::usage::onlyOnce("--export"));
            if (left < 3)
                return badUsage(texts::usage::exportNeedsThree());
            ExportRequest& request = command.exportRequest;
            request.file = args[i + 1];
            if (request.file.empty())
                return badUsage(texts::usage::exportNeedsFile());
            const std::optional<files::PictureFormat> format = files::formatOfFileName(request.file);
            if (!format)
                return badUsage(texts::usage::unknownFormat(request.file));
            request.format = *format;
            const std::optional<Figure> figure = figureWithTraceWord(args[i + 2]);
            if (!figure)
                return badUsage(texts::usage::unknownFigure(args[i + 2]));
            request.figure = *figure;
            request.text = args[i + 3];
            exporting = true;
            i += 3;
        } else if (arg == "--scale" || arg.rfind("--scale=", 0) == 0) {
            if (scaled)
                return badUsage(texts::usage::onlyOnce("--scale"));
            const bool joined = arg != "--scale";
            if (!joined && left < 1)
                return badUsage(texts::usage::scaleNeedsNumber());
            const std::string value = joined ? arg.substr(std::strlen("--scale=")) : args[++i];
            const std::optional<double> scale = parseNumber(value, kMinExportScale, kMaxExportScale);
            if (!scale)
                return badUsage(texts::usage::badScale(value));
            command.exportRequest.scale = *scale;
            scaled = true;
        } else if (arg == "--levels") {
            if (levels)
                return badUsage(texts::usage::onlyOnce(arg));
            command.exportRequest.animation = files::AnimationKind::Levels;
            levels = true;
        } else if (isOption(arg, "--seconds")) {
            if (timed)
                return badUsage(texts::usage::onlyOnce("--seconds"));
            const std::optional<std::string> value = optionValue(args, i, "--seconds");
            if (!value)
                return badUsage(texts::usage::secondsNeedsNumber());
            const std::optional<double> seconds = parseNumber(*value, files::kMinGrowthSeconds,
                                                              files::kMaxGrowthSeconds);
            if (!seconds)
                return badUsage(texts::usage::badSeconds(*value));
            command.exportRequest.seconds = *seconds;
            timed = true;
        } else if (isOneOf(arg, kQtOptionsWithValue)) {
            if (left < 1)
                return badUsage(texts::usage::optionNeedsValue(arg));
            command.qtArguments.push_back(arg);
            command.qtArguments.push_back(args[++i]);
            command.displayOnCommandLine |= arg == "-platform" || arg == "-display";
        } else if (isOneOf(arg, kQtFlags)) {
            command.qtArguments.push_back(arg);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return badUsage(texts::usage::unknownOption(arg));
        } else {
            return badUsage(texts::usage::unexpectedArgument(arg));
        }
    }
    if (scaled && !exporting)
        return badUsage(texts::usage::scaleWithoutExport());
    const bool animating = exporting && files::isAnimation(command.exportRequest.format);
    if ((levels || timed) && !animating)
        return badUsage(texts::usage::onlyForAnimations(levels ? "--levels" : "--seconds"));
    if (levels && timed)
        return badUsage(texts::usage::secondsOnlyForGrowth());
    if (exporting)
        command.action = CommandLine::Action::Export;
    return command;
}

bool displayNamed(const CommandLine& command, EnvironmentLookup environment)
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = environment(variable);
        if (value && *value)
            return true;
    }
    return command.displayOnCommandLine;
}

}  // namespace velmoran::app
