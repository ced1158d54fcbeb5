// The program's command line: what each form asks for, what is bad usage,
// and when a window can be tried at all.

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/command_line.hpp"
#include "tests/support/names.hpp"

namespace velmoran::app {
namespace {

using Action = CommandLine::Action;
using Args = std::vector<std::string>;

// The words for an export's format, and an animation's kind and length; none
// for a PNG.
std::string formatWords(const ExportRequest& e)
{
    switch (e.format) {
    case files::PictureFormat::Png: return "";
    case files::PictureFormat::Svg: return "svg ";
    case files::PictureFormat::Pdf: return "pdf ";
    case files::PictureFormat::Gif:
    case files::PictureFormat::Webp:
        return (e.format == files::PictureFormat::Gif ? "gif " : "webp ")
               + std::string(e.animation == files::AnimationKind::Levels ? "levels " : "growth ")
               + testing::PrintToString(e.seconds) + " ";
    }
    return "format " + std::to_string(static_cast<int>(e.format)) + " ";
}

TEST(CommandLine, WhatEachFormAsksFor)
{
    struct Row {
        Args args;
        Action action;
        std::string got;  // the export as "FILE [FORMAT] FIGURE TEXT SCALE", Qt's arguments, or the problem
    };
    const Row rows[] = {
        {{}, Action::OpenWindow, ""},
        {{"-h"}, Action::Help, ""},
        {{"--version", "extra"}, Action::BadUsage, "--version non vuole altri argomenti"},
        {{"-style", "fusion", "-h"}, Action::BadUsage, "-h non vuole altri argomenti"},
        {{"-session", "1a2b", "-reverse", "-style", "fusion"},
         Action::OpenWindow,
         "-session 1a2b -reverse -style fusion"},
        {{"--export", "a.png", "trina", "3"}, Action::Export, "a.png trina 3 1"},
        // The text is the count box's, negatives and look-alikes of options included.
        {{"--scale=1.5", "--export", "-a.png", "fiocco", "-1"}, Action::Export, "-a.png fiocco -1 1.5"},
        {{"--export", "a.png", "tappeto", "--help", "--scale", "0,25"}, Action::Export, "a.png tappeto --help 0.25"},
        {{"--nonsense"}, Action::BadUsage, "opzione sconosciuta: «--nonsense»"},
        {{"figura.png"}, Action::BadUsage, "argomento inatteso: «figura.png»"},
        {{"--export", "a.png", "trina"}, Action::BadUsage, "--export vuole tre argomenti: FILE FIGURA TESTO"},
        {{"--export", "a.jpg", "trina", "3"}, Action::BadUsage,
         "formato sconosciuto: «a.jpg» (il nome deve finire in .png, .svg, .pdf, .gif o .webp)"},
        {{"--export", "png", "trina", "3"}, Action::BadUsage,
         "formato sconosciuto: «png» (il nome deve finire in .png, .svg, .pdf, .gif o .webp)"},
        {{"--export", "a.SVG", "trina", "3"}, Action::Export, "a.SVG svg trina 3 1"},
        {{"--export", "dir.png/a.Pdf", "trina", "3"}, Action::Export, "dir.png/a.Pdf pdf trina 3 1"},
        {{"--export", "", "trina", "1"}, Action::BadUsage, "--export: manca il nome del file"},
        {{"--export", "a.png", "Trina", "1"}, Action::BadUsage,
         "figura sconosciuta: «Trina» (si può scegliere tra triangolo, tappeto, trina e fiocco)"},
        {{"--scale", "2"}, Action::BadUsage, "--scale vale solo con --export"},
        {{"-platform"}, Action::BadUsage, "l'opzione «-platform» vuole un valore"},
        // Animations: the growth by default, --levels, --seconds for the growth alone.
        {{"--export", "a.GIF", "fiocco", "4"}, Action::Export, "a.GIF gif growth 10 fiocco 4 1"},
        {{"--seconds=4,5", "--export", "a.webp", "trina", "1e3"}, Action::Export, "a.webp webp growth 4.5 trina 1e3 1"},
        {{"--export", "a.gif", "tappeto", "3", "--levels", "--scale", "2"}, Action::Export,
         "a.gif gif levels 10 tappeto 3 2"},
        {{"--export", "a.png", "trina", "3", "--levels"}, Action::BadUsage,
         "--levels vale solo con --export di un'animazione (.gif o .webp)"},
        {{"--seconds", "5"}, Action::BadUsage, "--seconds vale solo con --export di un'animazione (.gif o .webp)"},
        {{"--export", "a.gif", "trina", "3", "--levels", "--seconds", "5"}, Action::BadUsage,
         "--seconds vale solo per la crescita, non con --levels"},
        {{"--export", "a.gif", "trina", "3", "--levels", "--levels"}, Action::BadUsage,
         "--levels può comparire una volta sola"},
        {{"--export", "a.gif", "trina", "3", "--seconds"}, Action::BadUsage, "--seconds vuole un numero"},
        {{"--export", "a.gif", "trina", "3", "--seconds", "3.9"}, Action::BadUsage,
         "durata non valida: «3.9» (serve un numero di secondi da 4 a 120)"},
        {{"--export", "a.gif", "trina", "3", "--seconds=121"}, Action::BadUsage,
         "durata non valida: «121» (serve un numero di secondi da 4 a 120)"},
        {{"--export", "a.gif", "trina", "3", "--seconds", "nan"}, Action::BadUsage,
         "durata non valida: «nan» (serve un numero di secondi da 4 a 120)"},
    };
    for (const Row& r : rows) {
        const CommandLine c = parseCommandLine(r.args);
        std::string got = c.problem;
        for (const std::string& arg : c.qtArguments)
            got += (got.empty() ? "" : " ") + arg;
        const ExportRequest& e = c.exportRequest;
        if (c.action == Action::Export)
            got = e.file + " " + formatWords(e) + test::nameOf(e.figure) + " " + e.text + " "
                  + testing::PrintToString(e.scale);
        EXPECT_EQ(c.action, r.action) << testing::PrintToString(r.args);
        EXPECT_EQ(got, r.got) << testing::PrintToString(r.args);
    }
    for (const char* scale : {"0.2", "8.01", "-1", "2x", "", "1e0", "inf", "nan", "+2"})
        EXPECT_EQ(parseCommandLine({"--export", "a.png", "trina", "1", "--scale", scale}).problem,
                  "scala non valida: «" + std::string(scale) + "» (serve un numero da 0,25 a 8)");
}

std::map<std::string, std::string> environment;
const char* lookUp(const char* name)
{
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
}

TEST(CommandLine, AWindowIsTriedOnlyWhereADisplayIsNamed)
{
    const std::pair<std::map<std::string, std::string>, Args> named[] = {
        {{{"DISPLAY", ":0"}}, {}},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, {}},
        {{{"QT_QPA_PLATFORM", "offscreen"}}, {}},
        {{}, {"-platform", "offscreen"}},
        {{}, {"-display", ":1"}},
    };
    const std::pair<std::map<std::string, std::string>, Args> unnamed[] = {
        {{}, {}},
        {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, {"-style", "fusion"}},
        // Only the value of another option.
        {{}, {"-qwindowtitle", "-platform"}},
    };
    for (const auto& [variables, args] : named) {
        environment = variables;
        EXPECT_TRUE(displayNamed(parseCommandLine(args), lookUp)) << testing::PrintToString(args);
    }
    for (const auto& [variables, args] : unnamed) {
        environment = variables;
        EXPECT_FALSE(displayNamed(parseCommandLine(args), lookUp)) << testing::PrintToString(args);
    }
}

}  // namespace
}  // namespace velmoran::app
