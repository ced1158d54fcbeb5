#include "ui/command_line.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>
#include <system_error>

namespace velmoran::ui {

const char* const kUsageLine = "Uso: velmoran [-h | -v | --export FILE.png FIGURA TESTO [--scale S]]\n";

const char* const kNoDisplayMessage =
    "velmoran: nessuno schermo disponibile: impossibile aprire la finestra (DISPLAY non è impostata).\n";

const char* const kUnreachableDisplayMessage =
    "velmoran: impossibile collegarsi allo schermo: la finestra non può essere aperta (il motivo è nelle righe "
    "sopra).\n";

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

std::string quoted(std::string_view text) { return "«" + std::string(text) + "»"; }

std::string figureWords(const char* separator, const char* last)
{
    std::string words;
    for (std::size_t i = 0; i < kFigureCount; ++i) {
        if (i > 0)
            words += i + 1 == kFigureCount ? last : separator;
        words += kFigures[i].traceWord;
    }
    return words;
}

// A ratio written with a decimal point or, as Italian has it, a comma.
std::optional<double> parseScale(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    if (!(value >= kMinExportScale && value <= kMaxExportScale))
        return std::nullopt;
    return value;
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::size_t left = args.size() - i - 1;
        if (arg == "-h" || arg == "--help") {
            command.action = CommandLine::Action::Help;
            return command;
        }
        if (arg == "-v" || arg == "--version") {
            command.action = CommandLine::Action::Version;
            return command;
        }
        if (arg == "--export") {
            if (exporting)
                return badUsage("--export può comparire una volta sola");
            if (left < 3)
                return badUsage("--export vuole tre argomenti: FILE.png FIGURA TESTO");
            ExportRequest& request = command.exportRequest;
            request.file = args[i + 1];
            if (request.file.empty())
                return badUsage("--export: manca il nome del file");
            const std::optional<Figure> figure = figureWithTraceWord(args[i + 2]);
            if (!figure)
                return badUsage("figura sconosciuta: " + quoted(args[i + 2]) + " (si può scegliere tra "
                                + figureWords(", ", " e ") + ")");
            request.figure = *figure;
            request.text = args[i + 3];
            exporting = true;
            i += 3;
        } else if (arg == "--scale" || arg.rfind("--scale=", 0) == 0) {
            if (scaled)
                return badUsage("--scale può comparire una volta sola");
            const bool joined = arg != "--scale";
            if (!joined && left < 1)
                return badUsage("--scale vuole un numero");
            const std::string value = joined ? arg.substr(std::strlen("--scale=")) : args[++i];
            const std::optional<double> scale = parseScale(value);
            if (!scale)
                return badUsage("scala non valida: " + quoted(value) + " (serve un numero da 0,25 a 8)");
            command.exportRequest.scale = *scale;
            scaled = true;
        } else if (isOneOf(arg, kQtOptionsWithValue)) {
            if (left < 1)
                return badUsage("l'opzione " + quoted(arg) + " vuole un valore");
            command.qtArguments.push_back(arg);
            command.qtArguments.push_back(args[++i]);
            command.displayOnCommandLine |= arg == "-platform" || arg == "-display";
        } else if (isOneOf(arg, kQtFlags)) {
            command.qtArguments.push_back(arg);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return badUsage("opzione sconosciuta: " + quoted(arg));
        } else {
            return badUsage("argomento inatteso: " + quoted(arg));
        }
    }
    if (scaled && !exporting)
        return badUsage("--scale vale solo con --export");
    if (exporting)
        command.action = CommandLine::Action::Export;
    return command;
}

std::string helpText()
{
    return std::string(kUsageLine)
           + "\n"
             "Disegna quattro frattali classici in una finestra: il triangolo e il tappeto\n"
             "di Sierpinski, la trina e il fiocco di neve di Koch. Senza opzioni apre la\n"
             "finestra; accetta anche le opzioni di Qt come -platform, -display e -style.\n"
             "\n"
             "Opzioni:\n"
             "  -h, --help     mostra questo aiuto ed esce\n"
             "  -v, --version  mostra la versione ed esce\n"
             "  --export FILE.png FIGURA TESTO\n"
             "                 senza aprire la finestra, salva in FILE.png (formato PNG)\n"
             "                 l'immagine che l'area di disegno mostrerebbe dopo aver\n"
             "                 premuto il pulsante FIGURA con TESTO nella casella del\n"
             "                 numero di iterazioni\n"
             "                 FIGURA: "
           + figureWords(", ", " o ")
           + "\n"
             "  --scale S      con --export: pixel dell'immagine per pixel dello schermo,\n"
             "                 da 0,25 a 8 (se manca, 1); l'immagine misura 493×S per\n"
             "                 349×S pixel, arrotondati\n"
             "\n"
             "Tasti nella finestra:\n"
             "  Ctrl+S  salva l'immagine in un file PNG\n"
             "  Ctrl+C  copia l'immagine negli appunti\n"
             "  Esc     interrompe i disegni in corso\n"
             "  Ctrl+P  stampa la finestra, come il pulsante Stampa\n"
             "  Ctrl+Q  esce, come il pulsante Esci\n"
             "  F1      informazioni su Velmoran\n"
             "Il tasto destro sull'area di disegno apre un menu con Salva immagine, Copia\n"
             "e Interrompi il disegno.\n"
             "\n"
             "Stato di uscita:\n"
             "  0  tutto a posto\n"
             "  1  l'esportazione non è riuscita (errore del disegno o file non\n"
             "     scrivibile), oppure non c'è uno schermo per la finestra\n"
             "  2  riga di comando sbagliata\n"
             "\n"
             "Sito: www.velmoran.it\n";
}

std::string versionLine() { return std::string("velmoran ") + kProgramVersion + "\n"; }

bool displayNamed(const CommandLine& command, EnvironmentLookup environment)
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = environment(variable);
        if (value && *value)
            return true;
    }
    return command.displayOnCommandLine;
}

}  // namespace velmoran::ui
