// The messages the person reads, as the README and the manual page list
// them: the same set, word for word.

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

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

TEST(Texts, MessagesFillTheirPlaceholdersInOrder)
{
    EXPECT_EQ(message(Message::PdfNotWrittenBecause, {"/tmp/PRINTER.pdf", "permesso negato"}),
              "Impossibile scrivere il file PDF «/tmp/PRINTER.pdf»: permesso negato.");
    EXPECT_EQ(imageNotSaved("a.png", 0), "Impossibile salvare l'immagine «a.png».");
    EXPECT_EQ(imageNotSaved("a.png", EROFS), "Impossibile salvare l'immagine «a.png»: il disco è in sola lettura.");
    EXPECT_EQ(fileProblem(EXDEV), "errore di sistema n. " + std::to_string(EXDEV));
}

}  // namespace
}  // namespace velmoran::texts
