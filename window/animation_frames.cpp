#include "window/animation_frames.hpp"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

#include <QDir>
#include <QFileInfo>

#include "files/animation_files.hpp"
#include "files/whole_file.hpp"
#include "fractals/press_figure.hpp"
#include "window/offscreen_press.hpp"

namespace velmoran::window {

namespace {

// 25 frames a second: smooth, and a delay every GIF viewer keeps.
constexpr int kFrameCentiseconds = 4;
constexpr int kLevelCentiseconds = 100;
constexpr int kHeldCentiseconds = 300;

// The export's event service (no event can ever come, and a drawing that
// would wait for ever is done), told before each part, as a paced drawing
// waits before each: the parts it counts are the ones the pace counts.
class PartEvents {
public:
    // `goOn`, asked every few thousand calls, may stop the drawing: a deep
    // one can take long before its first frame.
    PartEvents(WindowState& state, std::function<void(std::uint64_t partsDone)> beforePart,
               std::function<bool()> goOn)
        : state_(state), beforePart_(std::move(beforePart)), goOn_(std::move(goOn))
    {
    }
    void yieldToEvents() { askNow(); }
    std::uint64_t quietYields() const { return UINT64_MAX; }
    void skipQuietYields(std::uint64_t) {}
    std::uint64_t quietCalls() const { return UINT64_MAX; }
    void waitForEvents()
    {
        waited_ = true;
        stopDrawings(state_);
    }
    // True, so that the drawing stops at once when asked to.
    bool beforeLeaf()
    {
        if (beforePart_)
            beforePart_(parts_);
        ++parts_;
        askNow();
        return true;
    }
    std::uint64_t parts() const { return parts_; }
    // Whether the drawing would have waited for ever.
    bool waited() const { return waited_; }

private:
    void askNow()
    {
        if (++calls_ % 4096 == 0 && goOn_ && !goOn_())
            state_.ending = true;
    }

    WindowState& state_;
    std::function<void(std::uint64_t)> beforePart_;
    std::function<bool()> goOn_;
    std::uint64_t parts_ = 0;
    std::uint64_t calls_ = 0;
    bool waited_ = false;
};
static_assert(OffersQuietYields<PartEvents>::value && OffersWaiting<PartEvents>::value
                  && PacesLeaves<PartEvents>::value,
              "skipped and stopped as the export's presses are, told of each part");

// One press on `surface` with a state of its own; the error it failed
// with, if any.
std::optional<ErrorKind> press(picture::RasterSurface& surface, WindowState& state, PartEvents& events, Figure figure,
                               std::string_view text)
{
    try {
        loadWindowState(state, surface);
    } catch (const RuntimeError& error) {
        return error.kind();
    }
    const PressOutcome outcome = pressFigure(state, surface, events, figure, text);
    if (outcome.status == PressOutcome::Status::Failed)
        return outcome.error;
    return std::nullopt;
}

std::optional<ErrorKind> growthFrames(const AnimationRequest& request, const FrameSink& sink,
                                      const AnimationProgress& progress, bool& stopped)
{
    const std::unique_ptr<picture::RasterSurface> surface = areaSurface(request.scale);
    const auto growing = static_cast<long>(std::lround(request.seconds * 100)) - kHeldCentiseconds;
    const std::uint64_t frames = std::max(1L, growing / kFrameCentiseconds);
    std::uint64_t next = 0;
    const auto goOn = [&] {
        stopped = stopped || (progress && !progress(static_cast<int>(next), static_cast<int>(frames) + 1));
        return !stopped;
    };
    // First how many parts there are, then the drawing again, a frame
    // taken where the parts done reach the next frame's share.
    std::uint64_t parts = 0;
    {
        WindowState state;
        PartEvents counting(state, nullptr, goOn);
        if (const auto error = press(*surface, state, counting, request.figure, request.text))
            return error;
        if (stopped)
            return std::nullopt;
        parts = counting.parts();
    }
    // Frame k shows the first ceil(k * parts / frames) parts.
    const auto partsOfFrame = [&](std::uint64_t k) {
        return static_cast<std::uint64_t>(std::ceil(static_cast<long double>(k) * parts / frames));
    };
    WindowState state;
    PartEvents capturing(state, [&](std::uint64_t done) {
        std::uint64_t shown = 0;
        for (; next < frames && partsOfFrame(next) <= done; ++next)
            ++shown;
        if (shown == 0)
            return;
        sink(surface->image(), static_cast<int>(shown) * kFrameCentiseconds);
        if (!goOn())
            state.ending = true;
    }, goOn);
    if (const auto error = press(*surface, state, capturing, request.figure, request.text))
        return error;
    if (stopped)
        return std::nullopt;
    sink(surface->image(), static_cast<int>(frames - next) * kFrameCentiseconds + kHeldCentiseconds);
    return std::nullopt;
}

std::optional<ErrorKind> levelFrames(const AnimationRequest& request, const FrameSink& sink,
                                     const AnimationProgress& progress, bool& stopped)
{
    int count = 0;
    try {
        count = readCount(request.text);
    } catch (const RuntimeError& error) {
        return error.kind();
    }
    const std::unique_ptr<picture::RasterSurface> surface = areaSurface(request.scale);
    for (int level = 0; level <= count; ++level) {
        const auto goOn = [&] {
            stopped = stopped || (progress && !progress(level, count + 1));
            return !stopped;
        };
        WindowState state;
        PartEvents events(state, nullptr, goOn);
        if (const auto error = press(*surface, state, events, request.figure, std::to_string(level)))
            return error;
        if (stopped)
            break;
        // A level that never ends is where the window's sequence stays.
        const bool last = level == count || events.waited();
        sink(surface->image(), last ? kHeldCentiseconds : kLevelCentiseconds);
        if (last)
            break;
        if (progress && !progress(level + 1, count + 1)) {
            stopped = true;
            break;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<ErrorKind> animationFrames(const AnimationRequest& request, const FrameSink& sink,
                                         const AnimationProgress& progress, bool& stopped)
{
    stopped = false;
    return request.kind == files::AnimationKind::Growth ? growthFrames(request, sink, progress, stopped)
                                                 : levelFrames(request, sink, progress, stopped);
}

files::WriteOutcome saveAnimation(const AnimationRequest& request, files::PictureFormat format, const QString& path,
                               const AnimationProgress& progress)
{
    using Status = files::WriteOutcome::Status;
    // Known before the drawing, which may take a while.
    const QFileInfo target(path);
    if (target.isDir())
        return {Status::NotWritten, ErrorKind::Overflow, EISDIR};
    if (!target.dir().exists())
        return {Status::NotWritten, ErrorKind::Overflow, ENOENT};
    try {
        const std::unique_ptr<files::AnimationEncoder> encoder = files::AnimationEncoder::make(format);
        bool stopped = false;
        const auto error = animationFrames(
            request, [&](const QImage& frame, int centiseconds) { encoder->add(frame, centiseconds); }, progress,
            stopped);
        if (error)
            return {Status::PressFailed, *error, 0};
        if (stopped)
            return {Status::Stopped, ErrorKind::Overflow, 0};
        if (const int failure = files::writeWholeFile(path, encoder->finish()))
            return {Status::NotWritten, ErrorKind::Overflow, failure};
        return {};
    } catch (const files::AnimationFault&) {
        return {Status::NotWritten, ErrorKind::Overflow, 0};
    } catch (const std::bad_alloc&) {
        return {Status::NotWritten, ErrorKind::Overflow, ENOMEM};
    }
}

}  // namespace velmoran::window
