// The program's command line: what each form asks for, what is bad usage,
// and when a window can be tried at all.

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/command_line.hpp"

namespace velmoran::ui {
namespace {

using Action = CommandLine::Action;
using Args = std::vector<std::string>;

TEST(CommandLine, WhatEachFormAsksFor)
{
    struct Row {
        Args args;
        Action action;
        std::vector<std::string> qt;
    };
    const Row rows[] = {
        {{}, Action::OpenWindow, {}},
        {{"-h"}, Action::Help, {}},
        {{"--help"}, Action::Help, {}},
        {{"-v"}, Action::Version, {}},
        {{"--version"}, Action::Version, {}},
        // The first of them decides, whatever follows.
        {{"--version", "--help"}, Action::Version, {}},
        {{"--help", "--nonsense"}, Action::Help, {}},
        {{"-platform", "xcb", "--help"}, Action::Help, {"-platform", "xcb"}},
        // Qt's own options go to Qt, values and all, in order.
        {{"-session", "1a2b", "-reverse", "-style", "fusion"},
         Action::OpenWindow,
         {"-session", "1a2b", "-reverse", "-style", "fusion"}},
        {{"--export", "a.png", "trina", "3"}, Action::Export, {}},
    };
    for (const Row& r : rows) {
        const CommandLine got = parseCommandLine(r.args);
        const std::string run = testing::PrintToString(r.args);
        EXPECT_EQ(got.action, r.action) << run << ": " << got.problem;
        EXPECT_EQ(got.qtArguments, r.qt) << run;
    }
}

TEST(CommandLine, ExportTakesTheCountTextAsItIs)
{
    struct Row {
        Args args;
        std::string file;
        Figure figure;
        std::string text;
        double scale;
    };
    const Row rows[] = {
        {{"--export", "out.png", "triangolo", "4"}, "out.png", Figure::SierpinskiTriangle, "4", 1},
        {{"--export", "t.png", "tappeto", "2", "--scale", "2"}, "t.png", Figure::SierpinskiCarpet, "2", 2},
        {{"--scale=1.5", "--export", "k.png", "fiocco", "1e3"}, "k.png", Figure::KochSnowflake, "1e3", 1.5},
        {{"--export", "k.png", "trina", "", "--scale", "1,25"}, "k.png", Figure::KochCurve, "", 1.25},
        // The text is the count box's, options' look-alikes and negatives included.
        {{"--export", "-x.png", "trina", "-1"}, "-x.png", Figure::KochCurve, "-1", 1},
        {{"--export", "h.png", "trina", "--help"}, "h.png", Figure::KochCurve, "--help", 1},
        {{"--export", "s.png", "trina", "1", "--scale", "0.25"}, "s.png", Figure::KochCurve, "1", 0.25},
        {{"--export", "s.png", "trina", "1", "--scale", "8"}, "s.png", Figure::KochCurve, "1", 8},
    };
    for (const Row& r : rows) {
        const CommandLine got = parseCommandLine(r.args);
        const std::string run = testing::PrintToString(r.args);
        ASSERT_EQ(got.action, Action::Export) << run << ": " << got.problem;
        EXPECT_EQ(got.exportRequest.file, r.file) << run;
        EXPECT_EQ(got.exportRequest.figure, r.figure) << run;
        EXPECT_EQ(got.exportRequest.text, r.text) << run;
        EXPECT_EQ(got.exportRequest.scale, r.scale) << run;
    }
}

TEST(CommandLine, BadUsageSaysWhatIsWrong)
{
    struct Row {
        Args args;
        std::string problem;
    };
    const Row rows[] = {
        {{"--nonsense"}, "opzione sconosciuta: «--nonsense»"},
        {{"-x"}, "opzione sconosciuta: «-x»"},
        {{"figura.png"}, "argomento inatteso: «figura.png»"},
        {{"--export", "a.png", "trina"}, "--export vuole tre argomenti: FILE.png FIGURA TESTO"},
        {{"--export", "", "trina", "1"}, "--export: manca il nome del file"},
        {{"--export", "a.png", "Trina", "1"},
         "figura sconosciuta: «Trina» (si può scegliere tra triangolo, tappeto, trina e fiocco)"},
        {{"--export", "a.png", "trina", "1", "--export", "b.png", "trina", "1"},
         "--export può comparire una volta sola"},
        {{"--export", "a.png", "trina", "1", "extra"}, "argomento inatteso: «extra»"},
        {{"--scale", "2"}, "--scale vale solo con --export"},
        {{"--export", "a.png", "trina", "1", "--scale"}, "--scale vuole un numero"},
        {{"--export", "a.png", "trina", "1", "--scale", "2", "--scale", "2"}, "--scale può comparire una volta sola"},
        {{"-platform"}, "l'opzione «-platform» vuole un valore"},
    };
    for (const Row& r : rows) {
        const CommandLine got = parseCommandLine(r.args);
        EXPECT_EQ(got.action, Action::BadUsage) << testing::PrintToString(r.args);
        EXPECT_EQ(got.problem, r.problem) << testing::PrintToString(r.args);
    }
    for (const char* scale : {"0", "0.2", "8.01", "-1", "abc", "2x", "", " 2", "1e0", "inf", "nan", "1,2,3", "+2"}) {
        const CommandLine got = parseCommandLine({"--export", "a.png", "trina", "1", "--scale", scale});
        EXPECT_EQ(got.action, Action::BadUsage) << "--scale '" << scale << "'";
        EXPECT_EQ(got.problem, "scala non valida: «" + std::string(scale) + "» (serve un numero da 0,25 a 8)");
    }
}

// The environment as a test sets it.
std::map<std::string, std::string> environment;
const char* lookUp(const char* name)
{
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
}

TEST(CommandLine, AWindowIsTriedOnlyWhereADisplayIsNamed)
{
    struct Row {
        std::map<std::string, std::string> variables;
        Args args;
        bool named;
    };
    const Row rows[] = {
        {{}, {}, false},
        {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, {}, false},
        {{{"HOME", "/root"}}, {"-style", "fusion"}, false},
        {{{"DISPLAY", ":0"}}, {}, true},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, {}, true},
        {{{"QT_QPA_PLATFORM", "offscreen"}}, {}, true},
        {{}, {"-platform", "offscreen"}, true},
        {{}, {"-display", ":1"}, true},
        // A word that is only the value of another option names nothing.
        {{}, {"-qwindowtitle", "-platform"}, false},
    };
    for (const Row& r : rows) {
        environment = r.variables;
        EXPECT_EQ(displayNamed(parseCommandLine(r.args), lookUp), r.named) << testing::PrintToString(r.args);
    }
    environment.clear();
}

TEST(CommandLine, HelpNamesEveryFigureAndTheVersion)
{
    const std::string help = helpText();
    EXPECT_EQ(help.rfind(kUsageLine, 0), 0u);
    for (const FigureInfo& figure : kFigures)
        EXPECT_NE(help.find(figure.traceWord), std::string::npos) << figure.traceWord;
    EXPECT_EQ(versionLine(), "velmoran 1.00\n");
}

}  // namespace
}  // namespace velmoran::ui
