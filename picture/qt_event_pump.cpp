#include "picture/qt_event_pump.hpp"

#include <algorithm>

#include <QCoreApplication>
#include <QEvent>

namespace velmoran::picture {

namespace {
// A bound on the calls between two readings, so a stretch of very cheap
// calls cannot stretch the wait for the next reading unboundedly.
constexpr std::int64_t kMaxCallsPerReading = std::int64_t{1} << 20;
}  // namespace

namespace {

class PaintCounter final : public QObject {
public:
    explicit PaintCounter(std::uint64_t& paints) : paints_(paints) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints_ += event->type() == QEvent::Paint;
        return false;
    }

private:
    std::uint64_t& paints_;
};

}  // namespace

QtEventPump::QtEventPump(QWidget* repaint, PumpTiming timing) : repaint_(repaint), timing_(timing)
{
    alarm_.setSingleShot(true);
    alarm_.setTimerType(Qt::PreciseTimer);
    if (repaint) {
        paintCounter_ = std::make_unique<PaintCounter>(paints_);
        repaint->installEventFilter(paintCounter_.get());
    }
}

QtEventPump::~QtEventPump() = default;

void QtEventPump::setTiming(PumpTiming timing)
{
    timing_ = timing;
    restartPace();
}

void QtEventPump::checkClock()
{
    onlyWaited_ = false;
    const Clock::time_point now = Clock::now();
    // Aim the next reading at clockInterval from this one, judging the
    // figure's speed by the last stretch; grow at most fourfold at a time so
    // that one quick stretch cannot hide a slow one behind it.
    const std::int64_t elapsed = std::max<std::int64_t>(
        1, std::chrono::duration_cast<std::chrono::nanoseconds>(now - lastReading_).count());
    const std::int64_t aimed = callsPerReading_ * timing_.clockInterval.count() / elapsed;
    callsPerReading_ = std::clamp<std::int64_t>(aimed, 1, std::min(4 * callsPerReading_, kMaxCallsPerReading));
    countdown_ = callsPerReading_;
    lastReading_ = now;

    if (now - lastDispatch_ < timing_.dispatchInterval)
        return;
    lastDispatch_ = now;
    ++dispatches_;
    if (repaint_)
        repaint_->update();
    // What runs now (a nested press, a message box, a printout) may go at
    // another pace than this figure, and so may this figure after it: the
    // count between readings starts afresh on both sides.
    restartPace();
    QCoreApplication::processEvents();
    restartPace();
}

void QtEventPump::waitForEvents()
{
    ++dispatches_;
    // The window already shows the picture, unless a drawing went on since
    // the last wait, or a paint came meanwhile (a press run from it, whose
    // own repaint was before the waiting drawing drew its pixel again).
    // Painted now rather than posted: a posted repaint would be the event
    // waited for, and the wait would never sleep.
    if (repaint_ && (!onlyWaited_ || paints_ != paintsBeforeHandOver_))
        repaint_->repaint();
    onlyWaited_ = true;
    paintsBeforeHandOver_ = paints_;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    lastDispatch_ = Clock::now();
    restartPace();
}

void QtEventPump::waitForNextLeaf()
{
    onlyWaited_ = false;
    ++dispatches_;
    if (repaint_)
        repaint_->update();
    const std::uint64_t wakes = wakes_;
    if (pace_ == Pace::StepByStep) {
        awaitStep(wakes);
    } else {
        const Clock::duration interval =
            pace_ == Pace::Fast ? std::chrono::milliseconds(2) : std::chrono::milliseconds(50);
        // After a pause (a nested press, a dialog) the pace starts afresh
        // rather than catching up in a burst: this leaf now, the next one
        // an interval on.
        nextLeaf_ = std::max(nextLeaf_, Clock::now());
        while (Clock::now() < nextLeaf_ && sleepUntil(nextLeaf_, wakes)) {
        }
        nextLeaf_ += interval;
    }
    lastDispatch_ = Clock::now();
    restartPace();
}

void QtEventPump::awaitStep(std::uint64_t wakes)
{
    if (stepsAllowed_ > 0) {
        --stepsAllowed_;
        return;
    }
    // Counted down however the wait ends.
    struct Waiting {
        QtEventPump& pump;
        explicit Waiting(QtEventPump& p) : pump(p)
        {
            ++pump.stepWaits_;
            pump.tellStepAwaited();
        }
        ~Waiting()
        {
            --pump.stepWaits_;
            pump.tellStepAwaited();
        }
        Waiting(const Waiting&) = delete;
        Waiting& operator=(const Waiting&) = delete;
    } waiting(*this);
    while (stepsAllowed_ == 0 && sleepUntil(Clock::time_point::max(), wakes)) {
    }
    if (stepsAllowed_ > 0)
        --stepsAllowed_;
}

void QtEventPump::tellStepAwaited() noexcept
{
    if (stepAwaitedChanged_)
        stepAwaitedChanged_(awaitsStep());
}

bool QtEventPump::sleepUntil(Clock::time_point until, std::uint64_t wakes)
{
    if (until != Clock::time_point::max()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        alarm_.start(std::max<std::chrono::milliseconds>(left, std::chrono::milliseconds(0)));
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return wakes == wakes_;
}

void QtEventPump::step()
{
    ++stepsAllowed_;
    // A posted event, so that the wait's event loop returns and sees it.
    alarm_.start(0);
}

void QtEventPump::wake()
{
    ++wakes_;
    alarm_.start(0);
}

bool QtEventPump::hold(std::chrono::milliseconds duration)
{
    if (repaint_)
        repaint_->update();
    const std::uint64_t wakes = wakes_;
    const Clock::time_point until = Clock::now() + duration;
    while (Clock::now() < until)
        if (!sleepUntil(until, wakes))
            return false;
    restartPace();
    return true;
}

void QtEventPump::beginPress()
{
    onlyWaited_ = false;
    // A press a step at a time draws its first part at once: it shows that
    // it began, and that the next part waits.
    if (pace_ == Pace::StepByStep)
        stepsAllowed_ = std::max<std::uint64_t>(stepsAllowed_, 1);
    restartPace();
}

void QtEventPump::restartPace()
{
    countdown_ = 1;
    callsPerReading_ = 1;
    lastReading_ = Clock::now();
}

}  // namespace velmoran::picture
