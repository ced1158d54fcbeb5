// The messages the person reads, as the README and the manual page list
// them: the same set, word for word.

#include <algorithm>
#include <fstream>
#include <iterator>
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

// The README's messages: the first column of the table under "What the
// messages mean".
std::set<std::string> readmeMessages()
{
    const std::string readme = read(VELMORAN_SOURCE_DIR "/README.md");
    const auto section = readme.find("### What the messages mean");
    const std::string rest = readme.substr(section, readme.find("\n#", section + 1) - section);
    std::set<std::string> messages;
    const std::regex row(R"(\n\| ([^|\n]+) \| [^\n]+ \|)");
    for (auto it = std::sregex_iterator(rest.begin(), rest.end(), row); it != std::sregex_iterator(); ++it)
        if ((*it)[1] != "message" && (*it)[1].str().find("---") == std::string::npos)
            messages.insert((*it)[1]);
    return messages;
}

// The manual page's: every bold line of DIAGNOSTICS that follows a .TP.
std::set<std::string> manualMessages()
{
    const std::string page = read(VELMORAN_SOURCE_DIR "/docs/velmoran.1");
    const auto section = page.find(".SH DIAGNOSTICS");
    const std::string rest = page.substr(section, page.find(".SH", section + 1) - section);
    std::set<std::string> messages;
    const std::regex entry("\\.TP\n\\.B \"([^\"]+)\"");
    for (auto it = std::sregex_iterator(rest.begin(), rest.end(), entry); it != std::sregex_iterator(); ++it)
        messages.insert((*it)[1]);
    return messages;
}

TEST(Texts, DocumentsListEveryMessageAsWritten)
{
    EXPECT_EQ(readmeMessages(), moduleMessages());
    EXPECT_EQ(manualMessages(), moduleMessages());
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
