#include "texts/user_texts.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <numeric>
#include <optional>
#include <vector>

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

// How many figures there are, in words, as the texts say it.
constexpr const char* kNumbersInWords[] = {"zero", "uno",   "due",  "tre",  "quattro", "cinque",
                                           "sei",  "sette", "otto", "nove", "dieci"};
static_assert(kFigureCount < std::size(kNumbersInWords), "the figures' number has its word");

std::string capitalised(std::string word)
{
    word[0] = static_cast<char>(word[0] - 'a' + 'A');
    return word;
}

constexpr std::string_view kPlaceholders[] = {"FILE", "PRINTER", "CAUSE", "WHAT"};

std::string quoted(std::string_view text) { return "«" + std::string(text) + "»"; }

// A key table, one key a line, the actions aligned.
template <std::size_t N>
std::string keyLines(const KeyText (&table)[N])
{
    std::size_t widest = 0;
    for (const KeyText& key : table)
        widest = std::max(widest, std::string_view(key.keys).size());
    std::string lines;
    for (const KeyText& key : table)
        lines += "  " + std::string(key.keys) + std::string(widest + 2 - std::string_view(key.keys).size(), ' ')
                 + key.action + "\n";
    return lines;
}

// Digits in groups of three, as Italian writes them: 3.145.728.
std::string grouped(const std::string& digits)
{
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += '.';
        out += digits[i];
    }
    return out;
}

// `factor` × `base`^`exponent`, exactly, in decimal; empty where it would
// take more than `maxDigits` digits.
std::string exactPower(int factor, int base, int exponent, std::size_t maxDigits)
{
    std::vector<int> digits{factor};  // least significant first
    for (int i = 0; i < exponent && digits.size() <= maxDigits; ++i) {
        int carry = 0;
        for (int& d : digits) {
            const int v = d * base + carry;
            d = v % 10;
            carry = v / 10;
        }
        for (; carry > 0; carry /= 10)
            digits.push_back(carry % 10);
    }
    if (digits.size() > maxDigits)
        return {};
    std::string text;
    for (auto d = digits.rbegin(); d != digits.rend(); ++d)
        text += static_cast<char>('0' + *d);
    return text;
}

// "768 (3 · 4^4)", or the power alone where the number is too long to read.
std::string partsAndPower(int factor, int base, int exponent)
{
    const std::string power =
        (factor == 1 ? "" : std::to_string(factor) + " · ") + std::to_string(base) + "^" + std::to_string(exponent);
    const std::string exact = exactPower(factor, base, exponent, 24);
    return exact.empty() ? power : grouped(exact) + " (" + power + ")";
}

std::string withDecimalComma(std::string number)
{
    std::replace(number.begin(), number.end(), '.', ',');
    return number;
}

// What a figure's numbers say of it, and what area a level leaves.
enum class AreaLeft { None, Power, Snowflake };
struct NumberWords {
    const char* parts;      // the last level's parts
    const char* eachLevel;  // what a level does to the figure
    AreaLeft area;          // Power: splitsInto / shrinksBy² a level
};
constexpr NumberWords kNumberWords[] = {
    {"Triangoli dell'ultimo livello", "l'area si moltiplica per 3/4", AreaLeft::Power},
    {"Quadrati dell'ultimo livello", "l'area si moltiplica per 8/9", AreaLeft::Power},
    {"Segmenti dell'ultimo livello", "la lunghezza si moltiplica per 4/3", AreaLeft::None},
    {"Segmenti dell'ultimo livello", "il perimetro si moltiplica per 4/3", AreaLeft::Snowflake},
};
static_assert(std::size(kNumberWords) == kFigureCount, "every figure has its numbers' words");
const NumberWords& numberWords(Figure figure) { return kNumberWords[static_cast<std::size_t>(figure)]; }

// The longest fraction or whole number a table cell shows exactly.
constexpr std::size_t kCellWidth = 15;

// `factor` × `base`^`exponent` in digits where they fit in a cell, else as
// the power.
std::string exactOrPower(int factor, int base, int exponent)
{
    const std::string exact = exactPower(factor, base, exponent, kCellWidth);
    if (!exact.empty())
        return exact;
    return (factor == 1 ? "" : std::to_string(factor) + " · ") + std::to_string(base) + "^" + std::to_string(exponent);
}

// `base`^`exponent`, if it fits in 64 bits.
std::optional<std::uint64_t> power(std::uint64_t base, int exponent)
{
    std::uint64_t value = 1;
    for (int i = 0; i < exponent; ++i)
        if (__builtin_mul_overflow(value, base, &value))
            return std::nullopt;
    return value;
}

// "27/64" where it fits in a cell.
std::optional<std::string> fraction(std::uint64_t numerator, std::uint64_t denominator)
{
    const std::uint64_t common = std::gcd(numerator, denominator);
    std::string text = std::to_string(numerator / common);
    if (denominator != common)
        text += "/" + std::to_string(denominator / common);
    return text.size() <= kCellWidth ? std::optional(text) : std::nullopt;
}

// A positive number 10^`log10` to six significant digits, with a decimal
// comma; past a double's range, from the logarithm alone.
std::string decimal(double log10)
{
    char text[48];
    if (std::abs(log10) < 300) {
        std::snprintf(text, sizeof text, "%.6g", std::pow(10.0, log10));
    } else {
        const double exponent = std::floor(log10);
        std::snprintf(text, sizeof text, "%.5fe%+.0f", std::pow(10.0, log10 - exponent), exponent);
    }
    return withDecimalComma(text);
}

// (`numerator` / `denominator`)^`exponent`, exact where short.
std::string powerRatio(int numerator, int denominator, int exponent)
{
    const auto top = power(static_cast<std::uint64_t>(numerator), exponent);
    const auto bottom = power(static_cast<std::uint64_t>(denominator), exponent);
    if (top && bottom)
        if (auto exact = fraction(*top, *bottom))
            return *exact;
    return decimal(exponent * (std::log10(numerator) - std::log10(denominator)));
}

// The snowflake's area relative to its first triangle: each level adds, on
// each of 3·4^(k-1) sides, a triangle 9^k times smaller, so 8/5 - 3/5·(4/9)^k
// = (8·9^k - 3·4^k) / (5·9^k).
std::string snowflakeArea(int level)
{
    const auto nines = power(9, level);
    const auto fours = power(4, level);
    std::uint64_t top = 0;
    std::uint64_t bottom = 0;
    if (nines && fours && !__builtin_mul_overflow(*nines, 8, &top) && !__builtin_mul_overflow(*nines, 5, &bottom))
        if (auto exact = fraction(top - 3 * *fours, bottom))
            return *exact;
    return decimal(std::log10(1.6 - 0.6 * std::pow(4.0 / 9.0, level)));
}

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

const char* numberInWords(std::size_t number) { return kNumbersInWords[number]; }

const char* figureCaption(Figure figure) { return kFigureCaptions[static_cast<std::size_t>(figure)]; }
const char* figureToolTip(Figure figure) { return kFigureToolTips[static_cast<std::size_t>(figure)]; }

std::string countToolTip(int count) { return "Numero di iterazioni usato: " + std::to_string(count); }

std::string drawingAreaToolTip(const char* pace)
{
    return std::string("Tasto destro: il menu con tutti i comandi. F1: la guida.\nVelocità del disegno: ") + pace;
}

std::string paceStatus(const char* pace)
{
    return std::string("Velocità del disegno: ") + pace + " · Esc interrompe";
}

std::string withKey(const char* what, const char* keys) { return std::string(what) + " (" + keys + ")"; }

std::string stageStatus(const StageFacts& facts)
{
    std::string line = facts.anyFigure ? figureWithCount(facts.figure, facts.count) : kStageNoFigure;
    auto add = [&line](const std::string& words) { line += " · " + words; };
    add(std::string("velocità: ") + facts.pace);
    if (facts.level >= 0)
        add("livello " + std::to_string(facts.level) + " di " + std::to_string(facts.lastLevel));
    if (facts.drawing && facts.part > 0) {
        const FigureInfo& rule = figureInfo(facts.figure);
        // The rule's parts of the last level, where they fit; a part drawn
        // as what it leaves counts as one.
        unsigned long long parts = rule.startParts;
        bool fits = facts.count >= 0;
        for (int i = 0; fits && i < facts.count; ++i)
            fits = parts <= ULLONG_MAX / rule.splitsInto && (parts *= rule.splitsInto, true);
        add("parte " + grouped(std::to_string(facts.part))
            + (fits ? " di " + grouped(std::to_string(parts)) : std::string()));
    }
    if (facts.stepAwaited)
        add("premi Spazio per la parte successiva");
    // A whole number as it is, else two decimals, with the Italian comma.
    auto formatted = [](double v) {
        char text[40];
        std::snprintf(text, sizeof text, v == std::floor(v) && v < 1e15 ? "%.0f" : "%.2f", v);
        return std::string(text);
    };
    char zoom[160];
    if (!facts.redrawn && facts.enlargement < 1)
        std::snprintf(zoom, sizeof zoom, "pixel ingranditi: la vista è più piccola della figura, rimpicciolita");
    else if (!facts.redrawn)
        std::snprintf(zoom, sizeof zoom, "pixel ingranditi %d×", facts.enlargement);
    else if (facts.waitingToRedraw)
        std::snprintf(zoom, sizeof zoom, "ridisegnata alla fine del disegno: intanto pixel ingranditi");
    else if (facts.tooLong)
        std::snprintf(zoom, sizeof zoom, "troppo lunga da ridisegnare a scala %s: pixel ingranditi",
                      withDecimalComma(formatted(facts.scale)).c_str());
    else
        std::snprintf(zoom, sizeof zoom, "ridisegnata%s, ingrandimento %s× (scala %s)",
                      facts.redrawing ? " (in corso)" : "", withDecimalComma(formatted(facts.zoom)).c_str(),
                      withDecimalComma(formatted(facts.scale)).c_str());
    add(zoom);
    return line;
}

std::string figureFileName(Figure figure, int count) { return traceWord(figure) + ("-" + std::to_string(count)); }

std::string saveFinishedFigure(Figure figure, int count) { return "Salva " + figureWithCount(figure, count); }

std::string aboutText(std::string_view qtVersion)
{
    return std::string("Velmoran ") + kProgramVersion
           + "\n\n" + capitalised(numberInWords(kFigureCount))
           + " frattali classici: il triangolo e il tappeto di Sierpinski, la trina e il fiocco di neve di "
             "Koch.\n\n"
             "Licenza: GPL-3.0-or-later (GNU General Public License, versione 3 o successiva).\n"
             "Sito: www.velmoran.it\n"
             "Qt "
           + std::string(qtVersion);
}

std::string guideHtml()
{
    std::string keys, stageKeys;
    for (const KeyText& key : kKeys)
        keys += std::string("<tr><td><b>") + key.keys + "</b></td><td>" + key.action + "</td></tr>";
    for (const KeyText& key : kStageKeys)
        stageKeys += std::string("<tr><td><b>") + key.keys + "</b></td><td>" + key.action + "</td></tr>";
    std::string figures;
    for (const FigureInfo& figure : kFigures)
        figures += std::string("<li>") + figureToolTip(figure.id) + "</li>";
    return "<h2>Guida di Velmoran</h2>"
           "<h3>La finestra</h3>"
           "<p>I " + std::string(numberInWords(kFigureCount))
           + " pulsanti a destra disegnano le figure nell'area di disegno:</p><ul>" + figures
           + "</ul><p>Un pulsante cancella l'area e disegna la figura con il numero di iterazioni scelto nella "
             "casella in basso; la finestra continua a rispondere mentre la figura cresce. Un altro pulsante "
             "premuto durante un disegno disegna subito la sua figura, poi il disegno interrotto riprende. "
             "<b>Stampa</b> stampa la finestra sulla stampante predefinita, <b>Esci</b> chiude il programma "
             "anche durante un disegno.</p>"
             "<h3>Il numero di iterazioni</h3>"
             "<p>L'elenco offre da 0 a 10, ma si può scrivere qualsiasi testo: conta solo il numero all'inizio "
             "(gli spazi sono ignorati, vale anche la notazione 1e3 e &amp;H10 per i numeri esadecimali), "
             "arrotondato all'intero, con le metà verso il pari. Un testo senza numero vale 0. Oltre circa 8 per "
             "il tappeto e 10-12 per le altre figure i nuovi dettagli sono più piccoli di un pixel. Da 4096 a "
             "32767 il programma risponde «Ricorsione troppo profonda», oltre 32767 «Overflow», sotto lo 0 che "
             "il numero non può essere negativo. Il suggerimento della casella dice quale numero verrà usato.</p>"
             "<h3>Per una lezione</h3>"
             "<p><b>Velocità del disegno</b> (nel menu del tasto destro sull'area di disegno): "
             "<i>Immediata</i>, <i>Veloce</i> (circa 500 parti al secondo), <i>Lenta</i> (circa 20) o "
             "<i>Un passo alla volta</i>, dove ogni pressione di Spazio o della freccia a destra disegna la "
             "parte successiva dell'ultimo livello, anche con un pulsante attivo, che allora non viene premuto "
             "di nuovo (nella casella del numero di iterazioni i due tasti scrivono); la prima parte è disegnata "
             "subito. Sotto l'area di disegno una riga dice la velocità e quando aspetta Spazio. La scelta resta "
             "per la volta successiva, tranne <i>Un passo alla volta</i>.</p>"
             "<p><b>Livello dopo livello</b>: un pulsante disegna la figura con 0 iterazioni, poi con 1 e così "
             "via fino al numero scelto, tenendo ogni livello per circa un secondo. Esc ferma la sequenza.</p>"
             "<p><b>Vista ingrandita</b> (F11): la scena della lezione, per un proiettore o uno schermo "
             "tattile, in una finestra che si ridimensiona e va a schermo intero (F11 o un doppio clic; se "
             "una finestra grande il doppio della figura non ci sta, si apre già a schermo intero). In alto, "
             "grandi, i pulsanti delle "
           + numberInWords(kFigureCount)
           + " figure, il numero di iterazioni, la velocità, <i>Passo "
             "successivo</i>, <i>Livello dopo livello</i>, <i>Interrompi</i>, i numeri della figura, "
             "l'animazione e l'ingrandimento; ognuno dice il suo tasto. Un pulsante di figura lì è lo stesso "
             "pulsante della finestra, con quel numero. In basso una riga dice la figura e il numero, la "
             "velocità, il livello o la parte raggiunta («livello 2 di 4», «parte 312 di 729»), «premi Spazio "
             "per la parte successiva» quando il disegno aspetta, e l'ingrandimento. Due modi: <i>Pixel "
             "ingranditi</i>, i pixel dell'area ingranditi per un numero intero di volte, con linee spesse "
             "che un proiettore mostra bene; <i>Ridisegnata</i>, la figura disegnata di nuovo alla grandezza "
             "della vista, con linee larghe un pixel. Ridisegnata, la rotella, + e - ingrandiscono o riducono "
             "di 2 volte attorno al puntatore (o al centro, con i tasti), trascinare sposta la vista e 0 torna "
             "alla figura intera: si vedono le parti della figura, uguali alla figura intera. Ogni immagine è "
             "esattamente quella che <i>velmoran --export</i> disegna a quella scala. Mentre un disegno "
             "cresce, e dove disegnarla di nuovo a una scala richiede più di 5 secondi (il triangolo con molte "
             "iterazioni, ingrandito poco), la vista mostra intanto i pixel ingranditi.</p>"
             "<table cellspacing=\"4\">"
           + stageKeys
           + "</table>"
             "<p><b>Informazioni sulla figura</b>: quante parti e linee fa la regola, quante sono state "
             "disegnate, la dimensione di similitudine e come cambia la figura a ogni livello, con una tabella "
             "livello per livello (parti, linee, lunghezza e area rispetto al livello 0) che <i>Copia la "
             "tabella</i> copia per un foglio di calcolo.</p>"
             "<p><b>Esporta l'animazione…</b> (Ctrl+E, o un file GIF o WebP in Ctrl+S): l'ultima figura "
             "premuta, con il numero nella casella, diventa un'animazione per una presentazione o una pagina "
             "web. <i>Crescita</i>: la figura che si disegna parte dopo parte, come alla velocità veloce, "
             "nei secondi scelti, e alla fine resta finita per 3 secondi. <i>Livello dopo livello</i>: la "
             "figura finita con 0, 1, 2… iterazioni, un secondo ciascuna. <b>Annulla</b> ferma "
             "l'esportazione senza scrivere nulla.</p>"
             "<h3>Tasti</h3><table cellspacing=\"4\">"
           + keys
           + "</table><p>Il tasto destro sull'area di disegno apre un menu con gli stessi comandi.</p>"
             "<h3>I messaggi</h3>"
             "<p>Nessun messaggio chiude il programma. Un errore interrompe solo il disegno che lo ha causato, "
             "e il disegno che questo aveva interrotto riprende. Se il file o la stampa non riescono, il "
             "messaggio dice perché.</p>";
}

std::string figureWithCount(Figure figure, int count)
{
    return std::string(figureCaption(figure)) + ", " + std::to_string(count) + (count == 1 ? " iterazione" : " iterazioni");
}

std::string figureNumbers(Figure figure, int levels, unsigned long long drawn)
{
    const FigureInfo& rule = figureInfo(figure);
    const NumberWords& words = numberWords(figure);
    char dimension[64];
    std::snprintf(dimension, sizeof dimension, "log %d / log %d ≈ %.4f", rule.splitsInto, rule.shrinksBy,
                  std::log(rule.splitsInto) / std::log(rule.shrinksBy));
    return figureWithCount(figure, levels) + "\n\n" + words.parts + ": "
           + partsAndPower(rule.startParts, rule.splitsInto, levels) + "\n"
           + "Linee: " + partsAndPower(rule.startParts * rule.linesPerPart, rule.splitsInto, levels) + "\n"
           + "Linee disegnate sullo schermo: " + grouped(std::to_string(drawn)) + "\n"
           + "Dimensione di similitudine: " + withDecimalComma(dimension) + "\n" + "A ogni livello "
           + words.eachLevel + ".";
}

Table levelTable(Figure figure, int count)
{
    const FigureInfo& rule = figureInfo(figure);
    const int squared = rule.shrinksBy * rule.shrinksBy;
    Table table{{"Livello", "Parti", "Linee", "Lunghezza", "Area"}};
    // The first levels, then straight to the last.
    for (int level = 0; level <= count; level = level + 1 == kLevelsInTable ? std::max(level + 1, count) : level + 1) {
        std::string area = "—";
        switch (numberWords(figure).area) {
        case AreaLeft::None: break;
        case AreaLeft::Power: area = powerRatio(rule.splitsInto, squared, level); break;
        case AreaLeft::Snowflake: area = snowflakeArea(level); break;
        }
        table.push_back({std::to_string(level), exactOrPower(rule.startParts, rule.splitsInto, level),
                         exactOrPower(rule.startParts * rule.linesPerPart, rule.splitsInto, level),
                         powerRatio(rule.splitsInto, rule.shrinksBy, level), area});
    }
    return table;
}

std::string tabSeparated(const Table& table)
{
    std::string text;
    for (const std::vector<std::string>& row : table) {
        for (std::size_t i = 0; i < row.size(); ++i)
            text += (i > 0 ? "\t" : "") + row[i];
        text += "\n";
    }
    return text;
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

const char* const kUsageLine =
    "Uso: velmoran [-h | -v | --export FILE FIGURA TESTO [--levels] [--seconds S] [--scale S]]\n";

std::string helpText()
{
    return std::string(kUsageLine)
           + "\nDisegna " + numberInWords(kFigureCount)
           + " frattali classici in una finestra: il triangolo e il tappeto\n"
             "di Sierpinski, la trina e il fiocco di neve di Koch. Senza opzioni apre la\n"
             "finestra; accetta anche le opzioni di Qt come -platform, -display e -style.\n"
             "\n"
             "Opzioni:\n"
             "  -h, --help     mostra questo aiuto ed esce\n"
             "  -v, --version  mostra la versione ed esce\n"
             "  --export FILE FIGURA TESTO\n"
             "                 senza aprire la finestra, salva in FILE l'immagine che\n"
             "                 l'area di disegno mostrerebbe dopo aver premuto il\n"
             "                 pulsante FIGURA con TESTO nella casella del numero di\n"
             "                 iterazioni; il formato segue l'estensione di FILE:\n"
             "                 .png (i pixel), .svg o .pdf (le linee, come vettori),\n"
             "                 .gif o .webp (un'animazione: la figura che cresce,\n"
             "                 parte dopo parte come alla velocità veloce, poi finita\n"
             "                 per 3 secondi)\n"
             "                 FIGURA: "
           + figureWords(", ", " o ")
           + "\n"
             "  --scale S      con --export: pixel dell'immagine per pixel dello schermo,\n"
             "                 da 0,25 a 8 (se manca, 1); l'immagine misura 493×S per\n"
             "                 349×S pixel, arrotondati, e le linee sono larghe un pixel\n"
             "  --levels       con --export di un'animazione: livello dopo livello, la\n"
             "                 figura finita con 0, 1, ... iterazioni, un secondo ognuna\n"
             "                 e 3 l'ultima\n"
             "  --seconds S    con --export della crescita: quanto dura in tutto, da 4\n"
             "                 a 120 secondi (se manca, 10)\n"
             "\n"
             "Tasti nella finestra:\n"
           + keyLines(kKeys)
           + "Il tasto destro sull'area di disegno apre un menu con gli stessi comandi.\n"
             "\n"
             "Nella vista ingrandita (F11), la scena della lezione, con i comandi in\n"
             "una barra e una riga di stato, valgono gli stessi tasti e questi:\n"
           + keyLines(kStageKeys)
           + "\n"
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
std::string exportNeedsThree() { return "--export vuole tre argomenti: FILE FIGURA TESTO"; }
std::string exportNeedsFile() { return "--export: manca il nome del file"; }
std::string unknownFormat(std::string_view file)
{
    return "formato sconosciuto: " + quoted(file) + " (il nome deve finire in .png, .svg, .pdf, .gif o .webp)";
}
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
std::string standsAlone(std::string_view option) { return std::string(option) + " non vuole altri argomenti"; }
std::string onlyForAnimations(std::string_view option)
{
    return std::string(option) + " vale solo con --export di un'animazione (.gif o .webp)";
}
std::string secondsOnlyForGrowth() { return "--seconds vale solo per la crescita, non con --levels"; }
std::string secondsNeedsNumber() { return "--seconds vuole un numero"; }
std::string badSeconds(std::string_view value)
{
    return "durata non valida: " + quoted(value) + " (serve un numero di secondi da 4 a 120)";
}
}  // namespace usage

}  // namespace velmoran::texts
