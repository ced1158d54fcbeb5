#pragma once

// One press drawn as the window draws it, with no window shown: for
// --export, and for the vector files the window saves.

#include <cstdint>
#include <memory>
#include <string_view>
#include <variant>

#include <QImage>

#include "core/contracts.hpp"
#include "core/window_state.hpp"
#include "fractals/figure_table.hpp"
#include "picture/raster_surface.hpp"
#include "picture/vector_picture.hpp"

namespace velmoran::ui {

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
std::variant<VectorPicture, ErrorKind> pressedVectors(Figure figure, std::string_view text, double scale);
// How many lines and boxes the drawing area draws for the press.
std::variant<std::uint64_t, ErrorKind> pressedLineCount(Figure figure, std::string_view text, double scale);
// The drawing area blank, as vectors.
VectorPicture blankVectors(double scale);
// A surface like the window's drawing area, blank.
std::unique_ptr<RasterSurface> areaSurface(double scale);

}  // namespace velmoran::ui
