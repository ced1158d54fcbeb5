// The trace tool: scripted presses from inside yieldToEvents, errors that abandon
// one press only, and its command line.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/trace_helpers.hpp"

namespace velmoran {
namespace {

using test::concat;
using test::count;
using test::Lines;
using test::trace;

const Lines kTriangle0 = {"line 6 10 480 630 480 0x0050B4", "line 6 630 480 320 10 0x00C8C8",
                          "line 6 10 480 320 10 0x3232FA"};

TEST(Trace, CountErrorsComeBeforeAnythingIsCleared)
{
    struct Row {
        const char* text;
        Lines out;
    };
    const Row rows[] = {
        {"40000", {"error overflow"}},
        {"-1", {"error count"}},
        {"1e999", {"error overflow"}},
        {"abc", concat({{"cls"}, kTriangle0})},
        {"", concat({{"cls"}, kTriangle0})},
    };
    for (const Row& r : rows)
        EXPECT_EQ(trace({"triangolo", r.text}), r.out) << r.text;
}

TEST(Trace, CountsTooDeepForTheStackAreRefused)
{
    for (const FigureInfo& figure : kFigures) {
        for (const char* typed : {"5000", "32767"}) {
            const auto c = count({figure.traceWord, typed});
            EXPECT_EQ(c.errors, 1) << figure.traceWord << typed;
            EXPECT_EQ(c.segments + c.boxes, 0) << figure.traceWord << typed;
        }
    }
    // Each Koch invocation writes its colour before anything else; the one
    // past the bound is refused before it does.
    EXPECT_EQ(count({"trina", "32767"}).drawingColourCalls, kMaxNesting);
    EXPECT_EQ(trace({"triangolo", "32767"}), (Lines{"cls", "error stack"}));
}

TEST(Trace, AnErrorAbandonsOnlyThePressThatRaisedIt)
{
    EXPECT_EQ(trace({"--at", "1", "triangolo", "40000", "--size", "500", "300", "triangolo", "1"}),
              concat({trace({"--size", "500", "300", "triangolo", "1"}), {"error overflow"}}));
    // A nested press that overflows mid-drawing: the outer drawing goes on.
    const auto c = count({"--at", "1", "trina", "1", "--size", "20000", "300", "triangolo", "1"});
    EXPECT_EQ(c.errors, 1);
    EXPECT_EQ(c.segments, 9);
}

TEST(Trace, PrintAndExitRunFromInsideAYield)
{
    // Several actions for one call run in the order given; after "esci"
    // nothing more happens at all.
    EXPECT_EQ(trace({"--at", "1", "stampa", "--at", "1", "stampa", "--at", "1", "esci", "--at", "1",
                     "stampa", "triangolo", "2"}),
              concat({test::throughYield(trace({"triangolo", "2"}), 1), {"print", "print", "end"}}));
    // Exit from inside a nested press ends the outer one too.
    const Lines nested = trace({"--at", "1", "triangolo", "1", "--at", "2", "esci", "triangolo", "2"});
    EXPECT_EQ(nested.back(), "end");
    EXPECT_EQ(count({"--at", "1", "triangolo", "1", "--at", "2", "esci", "triangolo", "2"}).segments,
              18);
    // A K never reached presses nothing.
    EXPECT_EQ(trace({"--at", "99", "esci", "triangolo", "1"}), trace({"triangolo", "1"}));
    EXPECT_EQ(trace({"--at", "99999999999999999999999", "esci", "triangolo", "1"}),
              trace({"triangolo", "1"}));
}

TEST(Trace, EachScriptedPressRunsOnceAtItsOwnCall)
{
    // The print belongs to the nested curve's yieldToEvents (call 2); when that
    // curve returns to call 1, nothing is pressed again.
    const Lines got = trace({"--size", "500", "300", "--at", "1", "trina", "1", "--at", "2", "stampa",
                             "triangolo", "2"});
    EXPECT_EQ(std::count(got.begin(), got.end(), "print"), 1);
    const auto printAt = std::find(got.begin(), got.end(), "print");
    ASSERT_NE(printAt, got.end());
    EXPECT_EQ(std::count(got.begin(), printAt, "doevents"), 2);
    // Listed before the press whose yieldToEvents reaches its K first.
    const Lines early = trace({"--at", "2", "stampa", "--at", "1", "fiocco", "1", "triangolo", "2"});
    EXPECT_EQ(std::count(early.begin(), early.end(), "print"), 1);
}

TEST(Trace, NestedPressesAddUpTowardsTheStackBound)
{
    // A curve of count 30 never ends; pressed again from each of its yieldToEvents
    // calls, every press starts 30 levels deeper than the one it interrupts:
    // the press at the k-th call needs 30k + 31 levels. Those at calls 1 to
    // 135 fit under the bound; those at 136 to 140 are refused, and the
    // drawing they interrupted goes on until "esci".
    std::vector<std::string> args;
    for (int k = 1; k <= 140; ++k)
        args.insert(args.end(), {"--at", std::to_string(k), "trina", "30"});
    args.insert(args.end(), {"--at", "200", "esci", "trina", "30"});
    const Lines got = trace(args);
    EXPECT_EQ(std::count(got.begin(), got.end(), "error stack"), 5);
    EXPECT_EQ(std::count(got.begin(), got.end(), "doevents"), 200);
    EXPECT_EQ(got.back(), "end");
}

int runMain(const std::vector<std::string>& args, std::string& out, std::string& err)
{
    std::FILE* o = std::tmpfile();
    std::FILE* e = std::tmpfile();
    const int status = traceMain(args, o, e);
    auto slurp = [](std::FILE* f) {
        std::string s;
        std::rewind(f);
        for (int c; (c = std::fgetc(f)) != EOF;)
            s.push_back(static_cast<char>(c));
        std::fclose(f);
        return s;
    };
    out = slurp(o);
    err = slurp(e);
    return status;
}

TEST(TraceCommandLine, UsageErrorsExitWithTwoAndPrintNothingOnStandardOutput)
{
    const std::vector<std::vector<std::string>> rows = {
        {},
        {"triangolo"},
        {"cerchio", "1"},
        {"triangolo", "1", "extra"},
        {"--size", "640", "triangolo", "1"},
        {"--size", "abc", "490", "triangolo", "1"},
        {"--size", "inf", "490", "triangolo", "1"},
        {"--size", "0x10", "490", "triangolo", "1"},
        {"--size", "1e39", "490", "triangolo", "1"},
        {"--at", "0", "esci", "triangolo", "1"},
        {"--at", "-1", "esci", "triangolo", "1"},
        {"--at", "x", "esci", "triangolo", "1"},
        {"--at", "1", "salta", "triangolo", "1"},
        {"--at", "1", "trina", "triangolo"},
        {"--verbose", "triangolo", "1"},
    };
    for (const auto& args : rows) {
        std::string out, err;
        EXPECT_EQ(runMain(args, out, err), 2) << testing::PrintToString(args);
        EXPECT_EQ(out, "") << testing::PrintToString(args);
        EXPECT_NE(err.find("usage: velmoran-trace"), std::string::npos);
    }
}

TEST(TraceCommandLine, AcceptedForms)
{
    std::string out, err;
    EXPECT_EQ(runMain({"--size", "1e-50", "-0", "triangolo", "0"}, out, err), 0);
    EXPECT_EQ(runMain({"--size", "500.0", "+3e2", "triangolo", "0"}, out, err), 0);
    EXPECT_EQ(out, "cls\nline 6 10 290 490 290 0x0050B4\nline 6 490 290 250 10 0x00C8C8\n"
                   "line 6 10 290 250 10 0x3232FA\n");
    EXPECT_EQ(err, "");
    // The text may be empty, hold blanks, or look like an option.
    EXPECT_EQ(runMain({"tappeto", "--5"}, out, err), 0);
    EXPECT_EQ(runMain({"--at", "1", "fiocco", "-3", "tappeto", " 1 "}, out, err), 0);
    EXPECT_NE(out.find("error count"), std::string::npos);
    // An error still ends the run normally.
    EXPECT_EQ(runMain({"trina", "40000"}, out, err), 0);
    EXPECT_EQ(out, "error overflow\n");
}

}  // namespace
}  // namespace velmoran
