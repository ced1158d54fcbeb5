#include "tools/trace_run.hpp"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>

namespace velmoran {

namespace {

// "triangolo, tappeto, trina or fiocco": every figure's word.
std::string figureWords()
{
    std::string words;
    for (std::size_t i = 0; i < kFigureCount; ++i)
        words += (i == 0 ? "" : i + 1 == kFigureCount ? " or " : ", ") + std::string(kFigures[i].traceWord);
    return words;
}

}  // namespace

const std::string kTraceUsage =
    "usage: velmoran-trace [--size W H] [--at K ACTION [TEXT]]... FIGURE TEXT\n"
    "  FIGURE: " + figureWords() + "; TEXT: the selector's text\n"
    "  --size W H: the drawing area's width and height in scale units\n"
    "      (default 640 490)\n"
    "  --at K ACTION [TEXT]: at the K-th yield to events (\"doevents\" line),\n"
    "      press ACTION: a FIGURE with its TEXT, stampa or esci\n";

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A plain decimal number and nothing else.
bool isDecimal(const std::string& s)
{
    const std::size_t length = decimalPrefixLength(s);
    return length > 0 && length == s.size();
}

// A size is stored as the float nearest the decimal number; one too large
// for a float is refused, one too small becomes 0 or a denormal as usual.
bool parseSize(const std::string& text, Coord& value)
{
    if (!isDecimal(text))
        return false;
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    value = strtof_l(text.c_str(), nullptr, c);
    return !std::isinf(value);
}

// K counts yieldToEvents calls; one beyond 2^64 - 1 is simply never reached.
bool parseCount(const std::string& text, std::uint64_t& value)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit))
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        value = UINT64_MAX;
    return value > 0;
}

// The event service of a trace run: records each call and presses the
// actions scripted for it, in the order given.
class ScriptedEvents final : public EventService {
public:
    ScriptedEvents(const TraceRequest& request, WindowState& state, RecordingSurface& surface,
                   TraceSink& sink)
        : state_(state), surface_(surface), sink_(sink), script_(request.actions)
    {
        std::stable_sort(script_.begin(), script_.end(),
                         [](const TraceAction& a, const TraceAction& b) { return a.at < b.at; });
    }

    void yieldToEvents() override
    {
        sink_.yielded();
        ++calls_;
        // Take every action due now before running any: a nested press runs
        // yieldToEvents calls of its own.
        const std::size_t first = next_;
        while (next_ < script_.size() && script_[next_].at == calls_)
            ++next_;
        const std::size_t last = next_;
        for (std::size_t i = first; i < last && !state_.ending; ++i)
            run(script_[i]);
    }

    void press(Figure figure, const std::string& text)
    {
        const PressOutcome outcome = pressFigure(state_, surface_, *this, figure, text);
        if (outcome.status == PressOutcome::Status::Failed)
            sink_.error(outcome.error);
    }

private:
    void run(const TraceAction& action)
    {
        switch (action.kind) {
        case TraceAction::Kind::Press: press(action.figure, action.text); break;
        case TraceAction::Kind::Print: sink_.print(); break;
        case TraceAction::Kind::Exit:
            sink_.end();
            state_.ending = true;
            break;
        }
    }

    WindowState& state_;
    RecordingSurface& surface_;
    TraceSink& sink_;
    std::vector<TraceAction> script_;
    std::size_t next_ = 0;
    std::uint64_t calls_ = 0;
};

}  // namespace

std::variant<TraceRequest, UsageError> parseTraceArguments(const std::vector<std::string>& args)
{
    TraceRequest request;
    std::size_t i = 0;
    auto missing = [&](const char* what) { return UsageError{std::string("missing ") + what}; };

    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        const std::string& option = args[i];
        if (option == "--size") {
            if (i + 2 >= args.size())
                return missing("W and H after --size");
            if (!parseSize(args[i + 1], request.width) || !parseSize(args[i + 2], request.height))
                return UsageError{"--size takes two decimal numbers within the float range"};
            i += 2;
        } else if (option == "--at") {
            if (i + 2 >= args.size())
                return missing("K and ACTION after --at");
            TraceAction action;
            if (!parseCount(args[i + 1], action.at))
                return UsageError{"--at takes a whole number K of 1 or more, not '" + args[i + 1] + "'"};
            const std::string& name = args[i + 2];
            i += 2;
            if (name == "stampa") {
                action.kind = TraceAction::Kind::Print;
            } else if (name == "esci") {
                action.kind = TraceAction::Kind::Exit;
            } else if (const auto figure = figureWithTraceWord(name)) {
                if (i + 1 >= args.size())
                    return missing("the TEXT of the figure pressed by --at");
                action.figure = *figure;
                action.text = args[++i];
            } else {
                return UsageError{"unknown action '" + name + "'"};
            }
            request.actions.push_back(std::move(action));
        } else {
            return UsageError{"unknown option '" + option + "'"};
        }
    }

    if (i >= args.size())
        return missing("FIGURE and TEXT");
    const auto figure = figureWithTraceWord(args[i]);
    if (!figure)
        return UsageError{"unknown figure '" + args[i] + "'"};
    request.figure = *figure;
    if (++i >= args.size())
        return missing("TEXT (it may be empty: '')");
    request.text = args[i];
    if (++i < args.size())
        return UsageError{"unexpected argument '" + args[i] + "'"};
    return request;
}

void runTrace(const TraceRequest& request, TraceSink& sink)
{
    WindowState state;
    RecordingSurface surface(request.width, request.height, sink);
    ScriptedEvents events(request, state, surface, sink);
    try {
        loadWindowState(state, surface);
    } catch (const RuntimeError& error) {
        sink.error(error.kind());
    }
    events.press(request.figure, request.text);
}

int traceMain(const std::vector<std::string>& args, std::FILE* out, std::FILE* err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kTraceUsage.c_str(), out);
        return 0;
    }
    const auto parsed = parseTraceArguments(args);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        std::fprintf(err, "velmoran-trace: %s\n%s", usage->message.c_str(), kTraceUsage.c_str());
        return 2;
    }
    TraceWriter writer(out);
    runTrace(std::get<TraceRequest>(parsed), writer);
    if (!writer.flush()) {
        std::fputs("velmoran-trace: cannot write the trace\n", err);
        return 1;
    }
    return 0;
}

}  // namespace velmoran
