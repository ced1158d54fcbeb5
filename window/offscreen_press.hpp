#pragma once

// One press drawn as the window draws it, with no window shown: for
// --export, and for the vector files the window saves.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string_view>
#include <variant>

#include <QImage>
#include <QRect>
#include <QSize>

#include "core/contracts.hpp"
#include "core/window_state.hpp"
#include "fractals/figure_table.hpp"
#include "picture/raster_surface.hpp"
#include "picture/vector_picture.hpp"

namespace velmoran::window {

// The event service of a press with no window: no event can ever come, so
// a drawing never waits for one, and one that would wait for events forever
// is done drawing what it can: it is stopped, leaving its picture final.
class ExportEvents {
public:
    explicit ExportEvents(WindowState& state) : state_(state) {}
    void yieldToEvents() {}
    std::uint64_t quietYields() const { return UINT64_MAX; }
    void skipQuietYields(std::uint64_t) {}
    std::uint64_t quietCalls() const { return UINT64_MAX; }
    void waitForEvents() { stopDrawings(state_); }

private:
    WindowState& state_;
};
static_assert(OffersQuietYields<ExportEvents>::value && OffersWaiting<ExportEvents>::value,
              "an export skips every yield and never waits");

// The drawing area's picture after one press of `figure` with `text` in the
// count box, at `scale` device pixels per logical pixel; or the run-time
// error the press ended in. Needs a QApplication.
std::variant<QImage, ErrorKind> pressedPicture(Figure figure, std::string_view text, double scale);
// The same picture as vectors.
std::variant<picture::VectorPicture, ErrorKind> pressedVectors(Figure figure, std::string_view text, double scale);
// How many lines and boxes the drawing area draws for the press.
std::variant<std::uint64_t, ErrorKind> pressedLineCount(Figure figure, std::string_view text, double scale);
// The drawing area blank, as vectors.
picture::VectorPicture blankVectors(double scale);
// A surface like the window's drawing area, blank.
std::unique_ptr<picture::RasterSurface> areaSurface(double scale);

// The inner size and the blank colour of the window's drawing area, which
// a press drawn offscreen takes. Needs a QApplication, on its thread.
struct AreaLook {
    QSize inner;
    QRgb background;
};
AreaLook drawingAreaLook();

// The event service of a press drawn on another thread, which may be given
// up: as ExportEvents, but every few thousand yields it looks whether
// `givenUp` is set or `deadline` passed, and then unwinds the press. Its
// yields are quiet but for those, as the window's are; a part skipped at
// once counts as one.
class AbandonableEvents {
public:
    AbandonableEvents(WindowState& state, const std::atomic<bool>& givenUp,
                      std::chrono::steady_clock::time_point deadline)
        : state_(state), givenUp_(givenUp), deadline_(deadline)
    {
    }
    void yieldToEvents()
    {
        if (--countdown_ > 0)
            return;
        countdown_ = kYieldsBetweenLooks;
        if (givenUp_.load(std::memory_order_relaxed) || std::chrono::steady_clock::now() > deadline_)
            state_.ending = true;
    }
    std::uint64_t quietYields() const { return countdown_ > 1 ? UINT64_MAX : 0; }
    void skipQuietYields(std::uint64_t) { --countdown_; }
    std::uint64_t quietCalls() const { return countdown_ > 1 ? static_cast<std::uint64_t>(countdown_ - 1) : 0; }
    void waitForEvents() { stopDrawings(state_); }

private:
    static constexpr std::int64_t kYieldsBetweenLooks = 4096;
    WindowState& state_;
    const std::atomic<bool>& givenUp_;
    const std::chrono::steady_clock::time_point deadline_;
    std::int64_t countdown_ = kYieldsBetweenLooks;
};
static_assert(OffersQuietYields<AbandonableEvents>::value && OffersQuietCalls<AbandonableEvents>::value
                  && OffersWaiting<AbandonableEvents>::value,
              "a zoomed press skips in bulk as the window's does, and never waits");

// pressedPicture(figure, text, scale) cut to `view`, a rectangle of its
// device pixels (blank where the view lies beyond it), for any scale up to
// kDeepestRatio: the whole picture is never made, and the figure's parts
// that cannot show in the view are not drawn. On any thread. With
// `givenUp`, it ends soon with no picture once that is set or `deadline`
// passed.
std::variant<QImage, ErrorKind, std::monostate> zoomedPicture(
    const AreaLook& area, Figure figure, std::string_view text, double scale, QRect view,
    const std::atomic<bool>* givenUp = nullptr,
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max());

}  // namespace velmoran::window
