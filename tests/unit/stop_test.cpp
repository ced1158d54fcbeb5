// Stopping the drawings in progress: which presses unwind, what they leave
// drawn, and that later presses are not touched by the stop.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fractals/figures.hpp"
#include "trace_helpers.hpp"

namespace velmoran {
namespace {

using test::lines;
using test::trace;
using Lines = std::vector<std::string>;

struct Step {
    enum class Kind { Stop, Press };
    Kind kind;
    Figure figure = Figure::SierpinskiTriangle;
    std::string text;
};

Step stop() { return {Step::Kind::Stop, Figure::SierpinskiTriangle, {}}; }
Step press(Figure figure, std::string text) { return {Step::Kind::Press, figure, std::move(text)}; }

// Writes each yield to the trace and takes the steps scripted for it, in
// order: a stop, or a press that runs to its end right there, as a click
// handled during a drawing does.
class ScriptedYields final : public EventService {
public:
    ScriptedYields(WindowState& state, RecordingSurface& surface, TraceSink& sink,
                   std::map<std::uint64_t, std::vector<Step>> script)
        : state_(state), surface_(surface), sink_(sink), script_(std::move(script))
    {
    }

    void yieldToEvents() override
    {
        sink_.doEvents();
        const auto due = script_.find(++calls_);
        if (due == script_.end())
            return;
        for (const Step& step : due->second) {
            if (step.kind == Step::Kind::Stop)
                stopDrawings(state_);
            else
                run(step.figure, step.text);
        }
    }

    // Outcomes in the order the presses ended.
    PressOutcome run(Figure figure, const std::string& text)
    {
        const PressOutcome outcome = pressFigure(state_, surface_, *this, figure, text);
        outcomes.push_back(outcome);
        return outcome;
    }

    std::vector<PressOutcome> outcomes;

private:
    WindowState& state_;
    RecordingSurface& surface_;
    TraceSink& sink_;
    std::map<std::uint64_t, std::vector<Step>> script_;
    std::uint64_t calls_ = 0;
};

// The lines of `all` up to its `yields`-th "doevents", that one included.
Lines throughYield(const Lines& all, int yields)
{
    Lines out;
    for (const std::string& line : all) {
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

struct StopRun {
    TraceWriter writer;
    RecordingSurface surface{640, 490, writer};
    WindowState state;
    ScriptedYields events;

    explicit StopRun(std::map<std::uint64_t, std::vector<Step>> script = {})
        : events(state, surface, writer, std::move(script))
    {
        loadWindowState(state, surface);
    }
    Lines text() { return lines(writer.text()); }
    void expectIdle() const
    {
        EXPECT_EQ(state.runningPresses, 0);
        EXPECT_EQ(state.stopBelow, 0);
        EXPECT_EQ(state.nesting, 0);
    }
};

const PressOutcome kDone = PressOutcome::done();
const PressOutcome kStopped = PressOutcome::stopped();

// A stop at a yield unwinds the press there: what it drew stays, nothing
// more is drawn, and the press ends as stopped, not as an error.
TEST(Stop, UnwindsThePressAtTheYieldWhereItCame)
{
    struct Row {
        const char* word;
        const char* text;
        int atYield;  // the last yield of each figure included
    };
    const Row rows[] = {
        {"triangolo", "2", 1}, {"triangolo", "2", 3}, {"triangolo", "2", 4}, {"tappeto", "2", 1},
        {"tappeto", "2", 9},   {"trina", "2", 2},     {"trina", "2", 5},     {"fiocco", "1", 2},
        {"fiocco", "1", 3},
    };
    for (const Row& r : rows) {
        const std::string name = std::string(r.word) + " " + r.text + " at yield " + std::to_string(r.atYield);
        StopRun run({{static_cast<std::uint64_t>(r.atYield), {stop()}}});
        EXPECT_EQ(run.events.run(*figureWithTraceWord(r.word), r.text), kStopped) << name;
        EXPECT_EQ(run.text(), throughYield(trace({r.word, r.text}), r.atYield)) << name;
        run.expectIdle();
    }
}

TEST(Stop, EveryPressRunningAtTheStopUnwinds)
{
    // The carpet is pressed at the triangle's first yield, and stopped at
    // its own second (the run's third): both end there.
    StopRun run({{1, {press(Figure::SierpinskiCarpet, "2")}}, {3, {stop()}}});
    EXPECT_EQ(run.events.run(Figure::SierpinskiTriangle, "3"), kStopped);
    EXPECT_EQ(run.events.outcomes, (std::vector<PressOutcome>{kStopped, kStopped}));
    EXPECT_EQ(run.text(), throughYield(trace({"triangolo", "3"}), 1) + throughYield(trace({"tappeto", "2"}), 2));
    run.expectIdle();
}

TEST(Stop, APressBegunAfterTheStopInTheSameBatchDrawsWhole)
{
    // Esc and then a click, handled at one yield: the curve pressed after
    // the stop is drawn whole; the triangle it interrupted then unwinds.
    StopRun run({{1, {stop(), press(Figure::KochCurve, "1")}}});
    EXPECT_EQ(run.events.run(Figure::SierpinskiTriangle, "3"), kStopped);
    EXPECT_EQ(run.events.outcomes, (std::vector<PressOutcome>{kDone, kStopped}));
    EXPECT_EQ(run.text(), throughYield(trace({"triangolo", "3"}), 1) + trace({"trina", "1"}));
    run.expectIdle();
}

TEST(Stop, APressBegunAfterTheStopCanItselfBeStopped)
{
    // The stop at yield 1 leaves the carpet pressed after it running; a
    // second stop inside the carpet ends it too.
    StopRun run({{1, {stop(), press(Figure::SierpinskiCarpet, "2")}}, {3, {stop()}}});
    EXPECT_EQ(run.events.run(Figure::SierpinskiTriangle, "3"), kStopped);
    EXPECT_EQ(run.events.outcomes, (std::vector<PressOutcome>{kStopped, kStopped}));
    EXPECT_EQ(run.text(), throughYield(trace({"triangolo", "3"}), 1) + throughYield(trace({"tappeto", "2"}), 2));
    run.expectIdle();
}

TEST(Stop, TheNextPressDrawsNormally)
{
    for (const bool stoppedBefore : {true, false}) {
        StopRun run(stoppedBefore ? std::map<std::uint64_t, std::vector<Step>>{{2, {stop()}}}
                                  : std::map<std::uint64_t, std::vector<Step>>{});
        if (stoppedBefore)
            EXPECT_EQ(run.events.run(Figure::SierpinskiTriangle, "2"), kStopped);
        else
            stopDrawings(run.state);  // a stop with nothing running
        const std::size_t before = run.text().size();
        EXPECT_EQ(run.events.run(Figure::KochSnowflake, "1"), kDone) << stoppedBefore;
        const Lines all = run.text();
        EXPECT_EQ(Lines(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()), trace({"fiocco", "1"}))
            << stoppedBefore;
        run.expectIdle();
    }
}

}  // namespace
}  // namespace velmoran
