#include "texts/user_texts.hpp"

#include <algorithm>
#include <iterator>

namespace velmoran::texts {

namespace {

constexpr const char* kFigureCaptions[] = {
    "Triangolo di Sierpinski",
    "Tappeto di Sierpinski",
    "Trina di Koch",
    "Fiocco di neve di Koch",
};
constexpr const char* kFigureToolTips[] = {
    "Disegna il triangolo di Sierpinski: ogni triangolo è diviso nei tre triangoli dei suoi angoli, con metà lato.",
    "Disegna il tappeto di Sierpinski: ogni quadrato è diviso in nove e quello centrale resta vuoto.",
    "Disegna la trina di Koch: ogni segmento è diviso in tre e la parte centrale diventa una punta.",
    "Disegna il fiocco di neve di Koch: una trina di Koch su ogni lato di un triangolo.",
};
static_assert(std::size(kFigureCaptions) == kFigureCount && std::size(kFigureToolTips) == kFigureCount,
              "every figure has a caption and a tooltip");

constexpr std::string_view kPlaceholders[] = {"FILE", "PRINTER", "CAUSE", "WHAT"};

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

}  // namespace

const char* figureCaption(Figure figure) { return kFigureCaptions[static_cast<std::size_t>(figure)]; }
const char* figureToolTip(Figure figure) { return kFigureToolTips[static_cast<std::size_t>(figure)]; }

std::string countToolTip(int count) { return "Numero di iterazioni usato: " + std::to_string(count); }

std::string aboutText(std::string_view qtVersion)
{
    return std::string("Velmoran ") + kProgramVersion
           + "\n\n"
             "Quattro frattali classici: il triangolo e il tappeto di Sierpinski, la trina e il fiocco di neve di "
             "Koch.\n\n"
             "Licenza: GPL-3.0-or-later (GNU General Public License, versione 3 o successiva).\n"
             "Sito: www.velmoran.it\n"
             "Qt "
           + std::string(qtVersion);
}

std::string message(Message id, std::initializer_list<std::string_view> values)
{
    const auto* row = std::find_if(std::begin(kMessages), std::end(kMessages),
                                   [id](const MessageText& m) { return m.id == id; });
    const std::string_view text = row != std::end(kMessages) ? row->text : "";
    std::string filled;
    const std::string_view* value = values.begin();
    for (std::size_t i = 0; i < text.size();) {
        const auto* word = std::find_if(std::begin(kPlaceholders), std::end(kPlaceholders),
                                        [&](std::string_view w) { return text.substr(i, w.size()) == w; });
        if (word != std::end(kPlaceholders) && value != values.end()) {
            filled += *value++;
            i += word->size();
        } else {
            filled += text[i++];
        }
    }
    return filled;
}

std::string pressError(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::Overflow: return message(Message::Overflow);
    case ErrorKind::FloatingPoint: return message(Message::FloatingPoint);
    case ErrorKind::Count: return message(Message::NegativeCount);
    case ErrorKind::Stack: return message(Message::TooDeep);
    }
    return message(Message::UnexpectedInDrawing);
}

std::string fileProblem(int errorNumber)
{
    for (const FileProblem& problem : kFileProblems)
        if (problem.errorNumber == errorNumber)
            return problem.cause;
    return "errore di sistema n. " + std::to_string(errorNumber);
}

std::string imageNotSaved(std::string_view file, int errorNumber)
{
    return errorNumber == 0 ? message(Message::ImageNotSaved, {file})
                            : message(Message::ImageNotSavedBecause, {file, fileProblem(errorNumber)});
}

std::string pdfNotWritten(std::string_view file, int errorNumber)
{
    return errorNumber == 0 ? message(Message::PdfNotWritten, {file})
                            : message(Message::PdfNotWrittenBecause, {file, fileProblem(errorNumber)});
}

const char* const kUsageLine = "Uso: velmoran [-h | -v | --export FILE.png FIGURA TESTO [--scale S]]\n";

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

namespace usage {
std::string onlyOnce(std::string_view option) { return std::string(option) + " può comparire una volta sola"; }
std::string exportNeedsThree() { return "--export vuole tre argomenti: FILE.png FIGURA TESTO"; }
std::string exportNeedsFile() { return "--export: manca il nome del file"; }
std::string unknownFigure(std::string_view word)
{
    return "figura sconosciuta: " + quoted(word) + " (si può scegliere tra " + figureWords(", ", " e ") + ")";
}
std::string scaleNeedsNumber() { return "--scale vuole un numero"; }
std::string badScale(std::string_view value)
{
    return "scala non valida: " + quoted(value) + " (serve un numero da 0,25 a 8)";
}
std::string optionNeedsValue(std::string_view option) { return "l'opzione " + quoted(option) + " vuole un valore"; }
std::string unknownOption(std::string_view option) { return "opzione sconosciuta: " + quoted(option); }
std::string unexpectedArgument(std::string_view argument) { return "argomento inatteso: " + quoted(argument); }
std::string scaleWithoutExport() { return "--scale vale solo con --export"; }
}  // namespace usage

}  // namespace velmoran::texts
