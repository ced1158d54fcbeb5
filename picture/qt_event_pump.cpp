#include "picture/qt_event_pump.hpp"

#include <algorithm>

#include <QCoreApplication>
#include <QEvent>

namespace velmoran::ui {

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

void QtEventPump::restartPace()
{
    countdown_ = 1;
    callsPerReading_ = 1;
    lastReading_ = Clock::now();
}

}  // namespace velmoran::ui
