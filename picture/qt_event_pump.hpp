#pragma once

// The window's event service. A figure yields after every subdivision, up to 150
// million times per press, while handing events to Qt costs a system call;
// so most calls only count down, and the clock is read about every half
// millisecond, the count between readings adapting to the figure's speed.
// Events are handed to Qt about every 10 ms: a click waits less than a frame
// and the drawing area is repainted about 100 times a second.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "core/contracts.hpp"

namespace velmoran::picture {

struct PumpTiming {
    // How often pending events are handed to Qt during a drawing.
    std::chrono::nanoseconds dispatchInterval = std::chrono::milliseconds(10);
    // How often, roughly, the clock is read to find out.
    std::chrono::nanoseconds clockInterval = std::chrono::microseconds(500);

    // Hands events over at every call: what a test needs to act at a
    // precise point of a drawing.
    static constexpr PumpTiming everyCall() { return {std::chrono::nanoseconds(0), std::chrono::nanoseconds(0)}; }
};

// How fast a drawing goes: at once, at a number of leaves a second, or one
// leaf each time the person asks for the next.
enum class Pace { Immediate, Fast, Slow, StepByStep };

class QtEventPump final : public EventService {
public:
    // `repaint` (may be null) is updated before each hand-over, so the
    // drawing shows as it grows.
    explicit QtEventPump(QWidget* repaint, PumpTiming timing = {});

    void yieldToEvents() override
    {
        if (--countdown_ > 0)
            return;
        checkClock();
    }

    // Every call before the one that reads the clock only counts down; a
    // whole subtree's calls skipped at once count as one, so that the clock
    // is read, and events handed over, at a real call (where the picture is
    // the full drawing's) about as often in time as ever.
    std::uint64_t quietYields() const { return countdown_ > 1 ? UINT64_MAX : 0; }
    void skipQuietYields(std::uint64_t) { --countdown_; }
    std::uint64_t quietCalls() const { return countdown_ > 1 ? static_cast<std::uint64_t>(countdown_ - 1) : 0; }
    // Shows the picture, then sleeps in Qt's event loop until it has handled
    // at least one event.
    void waitForEvents();

    // At any pace but Immediate, shows the picture and waits in Qt's event
    // loop until the next leaf is due; true when it did. Not the contract's
    // beforeLeaf(): a drawing at once pays nothing per leaf (PacedPump).
    bool waitBeforeLeaf()
    {
        if (pace_ == Pace::Immediate)
            return false;
        waitForNextLeaf();
        // Counted once it is due: while it waits, the leaves drawn.
        ++leavesPaced_;
        return true;
    }
    // How many leaves paced drawings came to; the window counts a press's
    // own from it, and hands the count back to a press a nested one
    // interrupted.
    std::uint64_t leavesPaced() const { return leavesPaced_; }
    void setLeavesPaced(std::uint64_t leaves) { leavesPaced_ = leaves; }
    void setPace(Pace pace) { pace_ = pace; }
    Pace pace() const { return pace_; }
    // StepByStep: lets the drawing waiting for it draw its next leaf.
    void step();
    // Whether a drawing waits for step() now.
    bool awaitsStep() const { return stepWaits_ > 0; }
    // Told whenever awaitsStep() changes, so the window can show it; must
    // not throw.
    void setStepAwaitedChanged(std::function<void(bool)> changed) { stepAwaitedChanged_ = std::move(changed); }
    // Ends every wait now, as when the drawings are stopped.
    void wake();
    // Hands events over for `duration`, sleeping in between; false when
    // woken before.
    bool hold(std::chrono::milliseconds duration);

    QtEventPump(const QtEventPump&) = delete;
    QtEventPump& operator=(const QtEventPump&) = delete;
    ~QtEventPump() override;

    void setTiming(PumpTiming timing);
    // A press begins: its figure may yield at quite another rate than the
    // last one drawn, so the count between clock readings starts afresh; it
    // draws on the picture, which the next wait must show; and a step at a
    // time, its first leaf needs no step.
    void beginPress();
    // How many times events were handed to Qt so far.
    std::uint64_t dispatches() const { return dispatches_; }

private:
    using Clock = std::chrono::steady_clock;

    void restartPace();
    [[gnu::noinline]] void checkClock();
    [[gnu::noinline]] void waitForNextLeaf();
    void awaitStep(std::uint64_t wakes);
    void tellStepAwaited() noexcept;
    // Sleeps in Qt's event loop until an event or `until`; false when woken.
    bool sleepUntil(Clock::time_point until, std::uint64_t wakes);

    QPointer<QWidget> repaint_;
    // Counts the paints of `repaint_`, whoever asked for them.
    std::unique_ptr<QObject> paintCounter_;
    std::uint64_t paints_ = 0;
    // Whether nothing but a wait has run since the last wait, and the
    // paints seen when it began handing events over.
    bool onlyWaited_ = false;
    std::uint64_t paintsBeforeHandOver_ = 0;
    PumpTiming timing_;
    std::int64_t countdown_ = 1;
    std::int64_t callsPerReading_ = 1;
    Clock::time_point lastReading_;
    Clock::time_point lastDispatch_;
    std::uint64_t dispatches_ = 0;

    Pace pace_ = Pace::Immediate;
    std::uint64_t leavesPaced_ = 0;
    Clock::time_point nextLeaf_;
    std::uint64_t stepsAllowed_ = 0;
    // Drawings waiting for a step: a press nested in the wait may wait too.
    int stepWaits_ = 0;
    std::function<void(bool)> stepAwaitedChanged_;
    std::uint64_t wakes_ = 0;
    // Only wakes the event loop when a wait is due to end.
    QTimer alarm_;
};

static_assert(OffersQuietYields<QtEventPump>::value && OffersQuietCalls<QtEventPump>::value
                  && OffersWaiting<QtEventPump>::value,
              "the window skips quiet yields in bulk and waits in a drawing that never ends");
static_assert(!PacesLeaves<QtEventPump>::value, "a drawing at once pays nothing per leaf");

// The window's event service for a press begun at a pace other than
// Immediate: the pump's, and a wait before each leaf.
class PacedPump {
public:
    explicit PacedPump(QtEventPump& pump) : pump_(pump) {}
    void yieldToEvents() { pump_.yieldToEvents(); }
    std::uint64_t quietYields() const { return pump_.quietYields(); }
    void skipQuietYields(std::uint64_t n) { pump_.skipQuietYields(n); }
    std::uint64_t quietCalls() const { return pump_.quietCalls(); }
    void waitForEvents() { pump_.waitForEvents(); }
    bool beforeLeaf() { return pump_.waitBeforeLeaf(); }

private:
    QtEventPump& pump_;
};
static_assert(OffersQuietYields<PacedPump>::value && OffersWaiting<PacedPump>::value
                  && PacesLeaves<PacedPump>::value,
              "a paced drawing skips and waits as the window's does, and waits before each leaf");

}  // namespace velmoran::picture
