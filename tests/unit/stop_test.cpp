// Stopping the drawings in progress: the presses running at the stop unwind
// where they yield, leaving what they drew; presses begun after it draw whole.

#include <cstdint>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "fractals/press_figure.hpp"
#include "tests/support/names.hpp"
#include "tests/support/trace_helpers.hpp"

namespace velmoran {
namespace {

using test::concat;
using test::Lines;
using test::throughYield;
using test::trace;

// At a yield: a stop (no text), or a press that runs to its end there.
struct Step {
    Figure figure;
    const char* text;
};
const Step kStop{Figure::SierpinskiTriangle, nullptr};
using Script = std::map<std::uint64_t, std::vector<Step>>;

TEST(Stop, UnwindsThePressesRunningAtTheStopOnly)
{
    const PressOutcome done = PressOutcome::done(), stopped = PressOutcome::stopped();
    struct Row {
        const char* name;
        Script script;  // during the triangle of count 3
        std::vector<PressOutcome> outcomes;  // in the order the presses ended
        Lines drawn;
    };
    const Row rows[] = {
        {"stopped at a yield", {{3, {kStop}}}, {stopped}, throughYield(trace({"triangolo", "3"}), 3)},
        {"at its last yield", {{13, {kStop}}}, {stopped}, throughYield(trace({"triangolo", "3"}), 13)},
        {"a nested press stopped with the one it interrupted",
         {{1, {{Figure::SierpinskiCarpet, "2"}}}, {3, {kStop}}},
         {stopped, stopped},
         concat({throughYield(trace({"triangolo", "3"}), 1), throughYield(trace({"tappeto", "2"}), 2)})},
        // Esc, then a click, handled at one yield.
        {"a press begun after the stop in the same batch",
         {{1, {kStop, {Figure::KochCurve, "1"}}}},
         {done, stopped},
         concat({throughYield(trace({"triangolo", "3"}), 1), trace({"trina", "1"})})},
    };
    for (const Row& r : rows) {
        test::Recorder run;
        std::vector<PressOutcome> outcomes;
        const auto press = [&](Figure figure, const char* text) { outcomes.push_back(run.press(figure, text)); };
        run.events.handOver = [&, script = r.script]() mutable {
            for (const Step& step : script[run.events.calls()]) {
                if (step.text)
                    press(step.figure, step.text);
                else
                    stopDrawings(run.state);
            }
        };
        press(Figure::SierpinskiTriangle, "3");
        EXPECT_EQ(outcomes, r.outcomes) << r.name;
        EXPECT_EQ(run.text(), r.drawn) << r.name;
        // The next press draws normally.
        press(Figure::KochSnowflake, "1");
        EXPECT_EQ(outcomes.back(), done) << r.name;
        EXPECT_EQ(run.text(), concat({r.drawn, trace({"fiocco", "1"})})) << r.name;
        EXPECT_EQ(run.state.runningPresses + run.state.stopBelow + run.state.nesting, 0) << r.name;
    }
}

}  // namespace
}  // namespace velmoran
