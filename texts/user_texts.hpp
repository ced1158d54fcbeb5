#pragma once

// Every text the person reads, in Italian: the window's captions, menu
// entries, tooltips, dialog titles, messages and the command line's help.
// No Qt, so the command line has its words before Qt may start; the window
// turns them into QStrings with QString::fromUtf8.

#include <cerrno>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.hpp"
#include "fractals/figure_table.hpp"

namespace velmoran::texts {

inline constexpr const char* kProgramVersion = VELMORAN_VERSION;
// The title of every message box, print job and PDF document.
inline constexpr const char* kProgramName = "Velmoran";

// --- The window ------------------------------------------------------------

inline constexpr const char* kWindowTitle = "Ondrila Vastreni e Ferlino Quarsotti presentano:";
inline constexpr const char* kDrawingAreaName = "Area di disegno";
inline constexpr const char* kCountBoxName = "Numero di iterazioni";
inline constexpr const char* kCountLabel = "Scegli il numero di iterazioni";
inline constexpr const char* kExitCaption = "Esci";
inline constexpr const char* kPrintCaption = "Stampa";
inline constexpr const char* kSiteLabel = "Tutte le informazioni sul sito www.velmoran.it";

// A number from 0 to 10 in words: how the texts say how many figures there are.
const char* numberInWords(std::size_t number);

// A figure button's caption, which is its accessible name too, and tooltip.
const char* figureCaption(Figure figure);
const char* figureToolTip(Figure figure);

// The count box's tooltip: the count a press would use now.
std::string countToolTip(int count);

// The drawing area's tooltip: where the commands are, and the pace chosen.
std::string drawingAreaToolTip(const char* pace);
// What the site label says instead of its caption while a paced drawing
// runs, and while a drawing waits for the next step.
std::string paceStatus(const char* pace);
inline constexpr const char* kStepAwaitedStatus = "Premi Spazio per la parte successiva · Esc interrompe";

// --- Menu entries -----------------------------------------------------------

inline constexpr const char* kSaveImageEntry = "Salva immagine…";
inline constexpr const char* kCopyEntry = "Copia";
inline constexpr const char* kStopEntry = "Interrompi il disegno";
inline constexpr const char* kAboutEntry = "Informazioni su Velmoran";
inline constexpr const char* kPaceMenu = "Velocità del disegno";
inline constexpr const char* kPaceImmediate = "Immediata";
inline constexpr const char* kPaceFast = "Veloce";
inline constexpr const char* kPaceSlow = "Lenta";
inline constexpr const char* kPaceStepByStep = "Un passo alla volta";
inline constexpr const char* kNextStepEntry = "Passo successivo";
inline constexpr const char* kLevelByLevelEntry = "Livello dopo livello";
inline constexpr const char* kLargeViewEntry = "Vista ingrandita";
inline constexpr const char* kFigureNumbersEntry = "Informazioni sulla figura";
inline constexpr const char* kGuideEntry = "Guida di Velmoran";
inline constexpr const char* kPrintChoiceEntry = "Stampa…";
inline constexpr const char* kExportAnimationEntry = "Esporta l'animazione…";

// --- The lesson's stage (F11) ------------------------------------------------

inline constexpr const char* kPixelsEnlarged = "Pixel ingranditi";
inline constexpr const char* kRedrawn = "Ridisegnata";
inline constexpr const char* kZoomIn = "Ingrandisci";
inline constexpr const char* kZoomOut = "Riduci";
inline constexpr const char* kWholeFigure = "Figura intera";
inline constexpr const char* kStageCountName = "Iterazioni";
inline constexpr const char* kStopShort = "Interrompi";
inline constexpr const char* kNumbersShort = "Numeri";
inline constexpr const char* kWholeShort = "Intera";
inline constexpr const char* kAnimationShort = "Animazione";
inline constexpr const char* kStageNoFigure = "Nessuna figura";

// A control of the stage's toolbar: its tooltip, with its key.
std::string withKey(const char* what, const char* keys);

// What the stage's status line says: the figure drawn, the pace, the level
// and the part reached, the step awaited, and how large the view is.
struct StageFacts {
    bool anyFigure = false;
    Figure figure = Figure::SierpinskiTriangle;
    int count = 0;
    bool drawing = false;
    const char* pace = kPaceImmediate;
    // Level by level: the level drawn (from 0) and the last, or -1.
    int level = -1, lastLevel = 0;
    // A paced drawing: the parts it has come to (0: none yet).
    unsigned long long part = 0;
    bool stepAwaited = false;
    bool redrawn = false;
    // Pixels enlarged: each picture pixel's side in screen pixels. Redrawn:
    // the zoom from the whole figure, and the scale drawn at.
    int enlargement = 1;
    double zoom = 1, scale = 1;
    // Redrawn, but the picture is not one finished figure (or is on its
    // way): its pixels are shown enlarged meanwhile.
    bool waitingToRedraw = false;
    // Redrawn: being drawn at the zoom asked; or given up there, taking
    // too long.
    bool redrawing = false;
    bool tooLong = false;
};
std::string stageStatus(const StageFacts& facts);


// The window's keys, as the help, the guide and the documents list them.
struct KeyText {
    const char* keys;
    const char* action;
};
inline constexpr KeyText kKeys[] = {
    {"Ctrl+S", "salva l'immagine in un file PNG, SVG o PDF, o l'animazione in GIF o WebP"},
    {"Ctrl+C", "copia l'immagine negli appunti"},
    {"Esc", "interrompe i disegni in corso"},
    {"Ctrl+P", "stampa la finestra, come il pulsante Stampa"},
    {"Ctrl+Maiusc+P", "Stampa…: stampante, copie, orientamento; la finestra o la figura"},
    {"Ctrl+Q", "esce, come il pulsante Esci"},
    {"Ctrl+1", "velocità del disegno: immediata"},
    {"Ctrl+2", "velocità del disegno: veloce (circa 500 parti al secondo)"},
    {"Ctrl+3", "velocità del disegno: lenta (circa 20 parti al secondo)"},
    {"Ctrl+4", "velocità del disegno: un passo alla volta, fino all'uscita"},
    {"Spazio, Destra", "un passo alla volta: la parte successiva, se il disegno la aspetta"},
    {"Ctrl+L", "livello dopo livello: da 0 fino al numero scelto"},
    {"F11", "vista ingrandita: la scena della lezione, con i comandi e lo zoom"},
    {"Ctrl+I", "informazioni sulla figura, con una tabella livello per livello"},
    {"F1", "guida di Velmoran"},
    {"Maiusc+F1", "informazioni su Velmoran"},
    {"Ctrl+E", "esporta l'animazione della figura (la crescita o i livelli) in GIF o WebP"},
};

// The key names Qt's Italian translation leaves in English ("QShortcut"),
// as the keys above write them, so that the menus show them so too.
struct KeyName {
    const char* english;
    const char* italian;
};
inline constexpr KeyName kKeyNames[] = {
    {"Shift", "Maiusc"},
};

// The stage's own keys, beside the window's.
inline constexpr KeyText kStageKeys[] = {
    {"F5, F6, F7, F8", "il triangolo, il tappeto, la trina, il fiocco, con il numero scelto"},
    {"N", "alla casella del numero di iterazioni"},
    {"P", "pixel ingranditi: i pixel dell'area, ingranditi"},
    {"R", "ridisegnata: la figura disegnata di nuovo alla grandezza della vista"},
    {"+, rotella in avanti", "ingrandisce di 2 volte (ridisegnata), attorno al puntatore"},
    {"-, rotella indietro", "riduce di 2 volte (ridisegnata)"},
    {"0", "torna alla figura intera"},
    {"trascinare", "sposta la vista (ridisegnata)"},
    {"F11, doppio clic", "schermo intero, o di nuovo in finestra"},
    {"Esc", "interrompe i disegni; a schermo intero torna in finestra"},
};

// --- Dialogs ------------------------------------------------------------------

inline constexpr const char* kSavePdfTitle = "Salva la stampa come PDF";
inline constexpr const char* kPrintDialogTitle = "Stampa";
inline constexpr const char* kPrintWhat = "Cosa stampare";
inline constexpr const char* kPrintWholeWindow = "La finestra intera";
inline constexpr const char* kPrintFigureAlone = "Solo la figura";
inline constexpr const char* kPdfFilter = "Documenti PDF (*.pdf)";
inline constexpr const char* kPdfFileName = "Velmoran.pdf";
inline constexpr const char* kSaveImageTitle = "Salva immagine";
inline constexpr const char* kPngFilter = "Immagini PNG (*.png)";
inline constexpr const char* kSvgFilter = "Disegni vettoriali SVG (*.svg)";
inline constexpr const char* kPngFileName = "Velmoran.png";
// The name the save dialog proposes for a figure: "fiocco-4".
std::string figureFileName(Figure figure, int count);

// Asked when vectors are to be saved and the area shows no one finished
// figure; the buttons save the picture as PNG, or the figure named.
inline constexpr const char* kUnfinishedForVectors =
    "L'area di disegno non mostra una figura finita: un disegno è stato interrotto, o un altro lo ha "
    "interrotto, o non finisce mai. Come SVG o PDF si può salvare una figura finita, oppure l'immagine "
    "mostrata come PNG.";
inline constexpr const char* kSaveShownAsPng = "Salva l'immagine mostrata come PNG";
// "Salva Triangolo di Sierpinski, 10 iterazioni".
std::string saveFinishedFigure(Figure figure, int count);
inline constexpr const char* kAnimationTitle = "Esporta l'animazione";
inline constexpr const char* kAnimationGrowth = "Crescita";
inline constexpr const char* kAnimationLevels = "Livello dopo livello";
inline constexpr const char* kAnimationSeconds = "Durata in secondi, con 3 secondi sulla figura finita:";
inline constexpr const char* kAnimationProgress = "Esportazione dell'animazione…";
inline constexpr const char* kCancelCaption = "Annulla";
inline constexpr const char* kGifFilter = "Animazioni GIF (*.gif)";
inline constexpr const char* kWebpFilter = "Animazioni WebP (*.webp)";
inline constexpr const char* kGifFileName = "Velmoran.gif";

// The About box: name, version, licence, site and `qtVersion`.
std::string aboutText(std::string_view qtVersion);

// The guide F1 shows, as simple HTML.
std::string guideHtml();

// The numbers of `figure` drawn with `count` levels: its parts and lines as
// the rule makes them, `drawn` lines drawn on screen, its similarity
// dimension and what each level does to it.
std::string figureNumbers(Figure figure, int count, unsigned long long drawn);
// "Fiocco di neve di Koch, 4 iterazioni".
std::string figureWithCount(Figure figure, int count);
// What the numbers say before any figure is drawn.
inline constexpr const char* kNoFigureYet = "Nessuna figura è stata ancora disegnata.";
// Put before the numbers when the area does not show their figure finished.
inline constexpr const char* kNumbersOfUnfinished =
    "L'area mostra questa figura non finita (interrotta, o con un altro disegno sopra).";

// The figure level by level, 0 to `count` (the first 12 levels and the last
// where there are more): a header row, then for each level its parts, its
// lines, and its line's length and the area it leaves relative to level 0,
// as exact fractions where they are short, else decimals.
using Table = std::vector<std::vector<std::string>>;
Table levelTable(Figure figure, int count);
inline constexpr int kLevelsInTable = 12;
inline constexpr const char* kLevelTableNote = "Lunghezza e area rispetto al livello 0.";
inline constexpr const char* kCopyTableButton = "Copia la tabella";
// Cells separated by tabs, rows by newlines: what a spreadsheet pastes
// into rows and columns.
std::string tabSeparated(const Table& table);

// --- Messages -----------------------------------------------------------------

enum class Message {
    // What ended a press.
    Overflow,
    FloatingPoint,
    NegativeCount,
    TooDeep,
    // Failures the program did not foresee; WHAT is the exception's text.
    Unexpected,
    UnexpectedInDrawing,
    UnexpectedInPrinting,
    UnexpectedInSaving,
    UnexpectedInCopying,
    // Saving and printing.
    NoDefaultPrinter,
    ImageNotSaved,
    ImageNotSavedBecause,
    PrinterStopped,
    PrinterRejecting,
    PrinterMissing,
    ServerUnreachable,
    JobRefused,
    JobStopped,
    JobCancelled,
    StoppedWithJob,
    PageNotMade,
    PdfNotWritten,
    PdfNotWrittenBecause,
    // On standard error, after "velmoran: ".
    NoDisplay,
    UnreachableDisplay,
    StandardOutputFailed,
};

// A message's words; the capitals FILE, PRINTER, CAUSE and WHAT stand for
// what message() fills in. The README and the manual page list them as
// written here.
struct MessageText {
    Message id;
    const char* text;
};

inline constexpr MessageText kMessages[] = {
    {Message::Overflow, "Overflow: il numero di iterazioni deve essere compreso tra 0 e 32767."},
    {Message::FloatingPoint, "Errore di calcolo in virgola mobile: il disegno è stato interrotto."},
    {Message::NegativeCount, "Il numero di iterazioni non può essere negativo."},
    {Message::TooDeep, "Ricorsione troppo profonda: il disegno è stato interrotto."},
    {Message::Unexpected, "Errore imprevisto: WHAT"},
    {Message::UnexpectedInDrawing, "Errore imprevisto: il disegno è stato interrotto."},
    {Message::UnexpectedInPrinting, "Errore imprevisto durante la stampa."},
    {Message::UnexpectedInSaving, "Errore imprevisto: l'immagine non è stata salvata."},
    {Message::UnexpectedInCopying, "Errore imprevisto: l'immagine non è stata copiata."},
    {Message::NoDefaultPrinter, "Non è configurata nessuna stampante predefinita.\nSalvare la stampa in un file PDF?"},
    {Message::ImageNotSaved, "Impossibile salvare l'immagine «FILE»."},
    {Message::ImageNotSavedBecause, "Impossibile salvare l'immagine «FILE»: CAUSE."},
    {Message::PrinterStopped, "La stampante «PRINTER» è ferma: la stampa non è stata inviata."},
    {Message::PrinterRejecting, "La stampante «PRINTER» non accetta lavori di stampa."},
    {Message::PrinterMissing, "La stampante «PRINTER» non esiste più sul server di stampa."},
    {Message::ServerUnreachable, "Il server di stampa non risponde: la stampa su «PRINTER» non è stata inviata."},
    {Message::JobRefused, "Il server di stampa ha rifiutato la stampa su «PRINTER»."},
    {Message::JobStopped, "La stampa su «PRINTER» è stata fermata dal server di stampa per un errore."},
    {Message::JobCancelled, "La stampa su «PRINTER» è stata annullata dal server di stampa."},
    {Message::StoppedWithJob, "La stampante «PRINTER» si è fermata: la stampa resta in coda."},
    {Message::PageNotMade, "Impossibile preparare la pagina da stampare su «PRINTER»."},
    {Message::PdfNotWritten, "Impossibile scrivere il file PDF «FILE»."},
    {Message::PdfNotWrittenBecause, "Impossibile scrivere il file PDF «FILE»: CAUSE."},
    {Message::NoDisplay,
     "nessuno schermo disponibile: impossibile aprire la finestra (DISPLAY non è impostata)."},
    {Message::UnreachableDisplay,
     "impossibile collegarsi allo schermo: la finestra non può essere aperta (il motivo è nelle righe sopra)."},
    {Message::StandardOutputFailed, "impossibile scrivere sull'uscita standard."},
};

// The message's words with `values` in place of its capitals, in order.
std::string message(Message id, std::initializer_list<std::string_view> values = {});

// The report of a run-time error that ended one press.
std::string pressError(ErrorKind kind);

// Why a file could not be written, from the system's error number.
struct FileProblem {
    int errorNumber;
    const char* cause;
};
inline constexpr FileProblem kFileProblems[] = {
    {EPERM, "permesso negato"},
    {EACCES, "permesso negato"},
    {ENOSPC, "spazio su disco esaurito"},
    {EDQUOT, "spazio su disco esaurito"},
    {ENOENT, "la cartella non esiste"},
    {ENOTDIR, "la cartella non esiste"},
    {EROFS, "il disco è in sola lettura"},
    {EISDIR, "è una cartella"},
    {ENAMETOOLONG, "il nome è troppo lungo"},
    {EIO, "errore di lettura o scrittura del disco"},
};
// The cause of `errorNumber`, or "errore di sistema n. N" for another.
std::string fileProblem(int errorNumber);

// A file that could not be written, with the cause where `errorNumber` is
// known (not 0).
std::string imageNotSaved(std::string_view file, int errorNumber);
std::string pdfNotWritten(std::string_view file, int errorNumber);

// --- The command line ---------------------------------------------------------

// The one line printed after a usage problem.
extern const char* const kUsageLine;
// The full help, for --help.
std::string helpText();
// What --version prints.
std::string versionLine();

// What is wrong with a command line.
namespace usage {
std::string onlyOnce(std::string_view option);
std::string exportNeedsThree();
std::string exportNeedsFile();
std::string unknownFormat(std::string_view file);
std::string unknownFigure(std::string_view word);
std::string scaleNeedsNumber();
std::string badScale(std::string_view value);
std::string optionNeedsValue(std::string_view option);
std::string unknownOption(std::string_view option);
std::string unexpectedArgument(std::string_view argument);
std::string scaleWithoutExport();
std::string standsAlone(std::string_view option);
std::string onlyForAnimations(std::string_view option);
std::string secondsOnlyForGrowth();
std::string secondsNeedsNumber();
std::string badSeconds(std::string_view value);
}  // namespace usage

}  // namespace velmoran::texts
