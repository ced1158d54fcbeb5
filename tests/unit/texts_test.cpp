// The messages the person reads, as the README and the manual page list
// them: the same set, word for word.

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "texts/user_texts.hpp"

namespace velmoran::texts {
namespace {

std::string read(const char* path)
{
    std::ifstream in(path);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// Line breaks and runs of blanks as one space, as both documents wrap.
std::string flattened(const std::string& text) { return std::regex_replace(text, std::regex("\\s+"), " "); }

std::set<std::string> moduleMessages()
{
    std::set<std::string> messages;
    for (const MessageText& message : kMessages)
        messages.insert(flattened(message.text));
    return messages;
}

// The first group of each match of `entry` in `file`, from `heading` to
// the next `end`.
std::set<std::string> listed(const char* file, const char* heading, const char* end, const char* entry)
{
    const std::string text = read(file);
    const auto from = text.find(heading);
    const std::string part = text.substr(from, text.find(end, from + 1) - from);
    std::set<std::string> entries;
    const std::regex pattern(entry);
    for (auto it = std::sregex_iterator(part.begin(), part.end(), pattern); it != std::sregex_iterator(); ++it)
        entries.insert((*it)[1]);
    return entries;
}

TEST(Texts, DocumentsListEveryMessageAsWritten)
{
    // The first column of the README's table, below its header.
    EXPECT_EQ(listed(VELMORAN_SOURCE_DIR "/README.md", "### What the messages mean", "\n#",
                     R"(\n\| ((?!message \|)(?!---)[^|\n]+) \| )"),
              moduleMessages());
    // Every bold line of the manual page's DIAGNOSTICS that follows a .TP.
    EXPECT_EQ(listed(VELMORAN_SOURCE_DIR "/docs/velmoran.1", ".SH DIAGNOSTICS", ".SH", "\\.TP\n\\.B \"([^\"]+)\""),
              moduleMessages());
}

// The places that say in prose how many figures there are, or name them
// all: each must say the figures' number and name every figure, so that a
// new figure fails here until every one has it.
TEST(Texts, EveryPlaceCountsAndNamesTheFigures)
{
    const char* const english[] = {"zero", "one", "two",   "three", "four", "five",
                                   "six",  "seven", "eight", "nine",  "ten"};
    const std::string it = numberInWords(kFigureCount), en = english[kFigureCount];
    auto capital = [](std::string word) {
        word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
        return word;
    };
    std::string stageKeys = "F5";  // the stage's keys, one per figure from F5 on
    for (std::size_t i = 1; i < kFigureCount; ++i)
        stageKeys += ", F" + std::to_string(5 + i);
    const std::string lastStageKey = "F" + std::to_string(4 + kFigureCount);
    const std::string help = helpText();

    enum class Names { None, TraceWords, Captions };
    struct Row {
        const char* where;
        std::string text;
        std::vector<std::string> says;
        Names names;
    };
    const Row rows[] = {
        {"CMakeLists.txt", read(VELMORAN_SOURCE_DIR "/CMakeLists.txt"),
         {"DESCRIPTION \"" + capital(it) + " frattali classici\""}, Names::None},
        {"cmake/Install.cmake", read(VELMORAN_SOURCE_DIR "/cmake/Install.cmake"),
         {"Velmoran draws " + en + " classic fractals"}, Names::None},
        {"the AppStream record", read(VELMORAN_SOURCE_DIR "/data/it.velmoran.Velmoran.metainfo.xml"),
         {"<summary>" + capital(it) + " frattali classici"}, Names::Captions},
        {"the desktop entry", read(VELMORAN_SOURCE_DIR "/data/it.velmoran.Velmoran.desktop"), {}, Names::TraceWords},
        {"scripts/trace-cases.txt", read(VELMORAN_SOURCE_DIR "/scripts/trace-cases.txt"), {}, Names::TraceWords},
        {"README.md", read(VELMORAN_SOURCE_DIR "/README.md"),
         {"Velmoran draws " + en + " classic fractals", "the " + en + " figures", "F5 to " + lastStageKey},
         Names::TraceWords},
        {"the manual page", read(VELMORAN_SOURCE_DIR "/docs/velmoran.1"),
         {"draw " + en + " classic fractals", capital(en) + " buttons on the right",
          "the " + en + " figures (F5 to " + lastStageKey},
         Names::Captions},
        {"the about text", aboutText("6"), {capital(it) + " frattali classici: "}, Names::TraceWords},
        {"the help's first lines", help.substr(0, help.find("Opzioni:")), {"Disegna " + it + " frattali classici"},
         Names::TraceWords},
        {"the guide", guideHtml(), {"I " + it + " pulsanti a destra", "i pulsanti delle " + it + " figure"},
         Names::None},
        {"the stage's keys", std::string(kStageKeys[0].keys) + ": " + kStageKeys[0].action, {stageKeys + ": "},
         Names::TraceWords},
    };
    auto lowered = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    for (const Row& row : rows) {
        const std::string text = flattened(row.text);
        for (const std::string& words : row.says)
            EXPECT_NE(text.find(words), std::string::npos) << row.where << " does not say: " << words;
        // A caption may start a line or stand inside a sentence.
        for (const FigureInfo& figure : kFigures) {
            const std::string name = row.names == Names::Captions ? figureCaption(figure.id) : figure.traceWord;
            EXPECT_TRUE(row.names == Names::None || lowered(text).find(lowered(name)) != std::string::npos)
                << row.where << " does not name " << name;
        }
    }
}

TEST(Texts, MessagesFillTheirPlaceholdersInOrder)
{
    EXPECT_EQ(message(Message::PdfNotWrittenBecause, {"/tmp/PRINTER.pdf", "permesso negato"}),
              "Impossibile scrivere il file PDF «/tmp/PRINTER.pdf»: permesso negato.");
    EXPECT_EQ(imageNotSaved("a.png", 0), "Impossibile salvare l'immagine «a.png».");
    EXPECT_EQ(imageNotSaved("a.png", EROFS), "Impossibile salvare l'immagine «a.png»: il disco è in sola lettura.");
    EXPECT_EQ(fileProblem(EXDEV), "errore di sistema n. " + std::to_string(EXDEV));
}

// A figure at a count, and lines its text must hold.
struct FigureRow {
    Figure figure;
    int count;
    std::vector<std::string> lines;
};

void expectLines(const std::string& text, const FigureRow& row)
{
    for (const std::string& line : row.lines)
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

template <std::size_t N>
void expectEveryFigure(const FigureRow (&rows)[N])
{
    for (const FigureInfo& figure : kFigures)
        EXPECT_TRUE(std::any_of(rows, rows + N, [&](const FigureRow& row) { return row.figure == figure.id; }))
            << figure.traceWord << " has no rows";
}

// The parts and lines the rule makes, exact where they fit in 24 digits;
// the similarity dimension; what a level does.
TEST(Texts, FigureNumbers)
{
    const FigureRow rows[] = {
        {Figure::SierpinskiTriangle, 0, {"Triangoli dell'ultimo livello: 1 (3^0)", "Linee: 3 (3 · 3^0)",
                                         "log 3 / log 2 ≈ 1,5850", "l'area si moltiplica per 3/4"}},
        {Figure::SierpinskiTriangle, 10, {"Triangoli dell'ultimo livello: 59.049 (3^10)", "Linee: 177.147 (3 · 3^10)"}},
        {Figure::SierpinskiTriangle, 60, {"Triangoli dell'ultimo livello: 3^60\n", "Linee: 3 · 3^60\n"}},
        {Figure::SierpinskiCarpet, 1, {"Quadrati dell'ultimo livello: 8 (8^1)", "Linee: 8 (8^1)", "log 8 / log 3 ≈ 1,8928",
                                       "l'area si moltiplica per 8/9"}},
        {Figure::SierpinskiCarpet, 10, {"Quadrati dell'ultimo livello: 1.073.741.824 (8^10)"}},
        {Figure::KochCurve, 0, {"Segmenti dell'ultimo livello: 1 (4^0)", "log 4 / log 3 ≈ 1,2619",
                                "la lunghezza si moltiplica per 4/3"}},
        {Figure::KochCurve, 10, {"Segmenti dell'ultimo livello: 1.048.576 (4^10)"}},
        {Figure::KochSnowflake, 1, {"Fiocco di neve di Koch, 1 iterazione\n", "Segmenti dell'ultimo livello: 12 (3 · 4^1)",
                                    "il perimetro si moltiplica per 4/3"}},
        {Figure::KochSnowflake, 10, {"Segmenti dell'ultimo livello: 3.145.728 (3 · 4^10)",
                                     "Linee disegnate sullo schermo: 12.345\n"}},
    };
    for (const FigureRow& row : rows)
        expectLines(figureNumbers(row.figure, row.count, 12345), row);
    expectEveryFigure(rows);
}

// Level by level: exact fractions while short, then decimals; the first
// twelve levels and the last; the snowflake's area towards 8/5.
TEST(Texts, LevelTable)
{
    const FigureRow rows[] = {
        {Figure::KochSnowflake, 5, {"Livello\tParti\tLinee\tLunghezza\tArea\n0\t3\t3\t1\t1\n1\t12\t12\t4/3\t4/3\n",
                                    "\n4\t768\t768\t256/81\t3448/2187\n5\t3072\t3072\t1024/243\t31288/19683\n"}},
        {Figure::KochSnowflake, 40, {"\n11\t", "\n40\t3 · 4^40\t3 · 4^40\t99437,3\t1,6\n"}},
        {Figure::SierpinskiTriangle, 20, {"\n11\t177147\t531441\t177147/2048\t177147/4194304\n20\t"}},
        {Figure::SierpinskiCarpet, 8, {"\n8\t16777216\t16777216\t16777216/6561\t0,389744\n"}},
        {Figure::KochCurve, 4000, {"\n1\t4\t4\t4/3\t—\n", "\n4000\t4^4000\t4^4000\t5,68783e+499\t—\n"}},
    };
    for (const FigureRow& row : rows) {
        const Table table = levelTable(row.figure, row.count);
        EXPECT_EQ(table.size(), std::min(row.count + 1, kLevelsInTable + 1) + 1u);
        expectLines(tabSeparated(table), row);
    }
    expectEveryFigure(rows);
}

}  // namespace
}  // namespace velmoran::texts
