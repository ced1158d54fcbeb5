// Stopping the drawings in progress: the presses running at the stop unwind
// where they yield, leaving what they drew; presses begun after it draw whole.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fractals/press_figure.hpp"
#include "trace_helpers.hpp"

namespace velmoran {
namespace {

using Lines = std::vector<std::string>;

// At a yield: a stop (empty text), or a press that runs to its end there.
struct Step {
    Figure figure;
    const char* text;
};
const Step kStop{Figure::SierpinskiTriangle, nullptr};
using Script = std::map<std::uint64_t, std::vector<Step>>;

// Writes each yield to the trace and takes the steps scripted for it.
class ScriptedYields final : public EventService {
public:
    explicit ScriptedYields(Script script) : script_(std::move(script)) { loadWindowState(state, surface); }

    void yieldToEvents() override
    {
        writer.yielded();
        for (const Step& step : script_[++calls_]) {
            if (step.text)
                press(step.figure, step.text);
            else
                stopDrawings(state);
        }
    }
    void press(Figure figure, const char* text)
    {
        outcomes.push_back(pressFigure(state, surface, *this, figure, text));
    }

    TraceWriter writer;
    RecordingSurface surface{640, 490, writer};
    WindowState state;
    std::vector<PressOutcome> outcomes;  // in the order the presses ended

private:
    Script script_;
    std::uint64_t calls_ = 0;
};

// The trace of FIGURE TEXT up to its `yields`-th yield, that one included.
Lines throughYield(const char* figure, const char* text, int yields)
{
    Lines out;
    for (const std::string& line : test::trace({figure, text})) {
        out.push_back(line);
        if (line == "doevents" && --yields == 0)
            break;
    }
    return out;
}

Lines operator+(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Stop, UnwindsThePressesRunningAtTheStopOnly)
{
    const PressOutcome done = PressOutcome::done(), stopped = PressOutcome::stopped();
    struct Row {
        const char* name;
        Script script;  // during the triangle of depth 3
        std::vector<PressOutcome> outcomes;
        Lines drawn;
    };
    const Row rows[] = {
        {"stopped at a yield", {{3, {kStop}}}, {stopped}, throughYield("triangolo", "3", 3)},
        {"at its last yield", {{13, {kStop}}}, {stopped}, throughYield("triangolo", "3", 13)},
        {"a nested press stopped with the one it interrupted",
         {{1, {{Figure::SierpinskiCarpet, "2"}}}, {3, {kStop}}},
         {stopped, stopped},
         throughYield("triangolo", "3", 1) + throughYield("tappeto", "2", 2)},
        // Esc, then a click, handled at one yield.
        {"a press begun after the stop in the same batch",
         {{1, {kStop, {Figure::KochCurve, "1"}}}},
         {done, stopped},
         throughYield("triangolo", "3", 1) + test::trace({"trina", "1"})},
    };
    for (const Row& r : rows) {
        ScriptedYields run(r.script);
        run.press(Figure::SierpinskiTriangle, "3");
        EXPECT_EQ(run.outcomes, r.outcomes) << r.name;
        EXPECT_EQ(test::lines(run.writer.text()), r.drawn) << r.name;
        // The next press draws normally.
        run.press(Figure::KochSnowflake, "1");
        EXPECT_EQ(run.outcomes.back(), done) << r.name;
        EXPECT_EQ(test::lines(run.writer.text()), r.drawn + test::trace({"fiocco", "1"})) << r.name;
        EXPECT_EQ(run.state.runningPresses + run.state.stopBelow + run.state.nesting, 0) << r.name;
    }
}

}  // namespace
}  // namespace velmoran
