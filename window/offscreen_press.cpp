#include "window/offscreen_press.hpp"

#include <memory>

#include <QPalette>

#include "fractals/press_figure.hpp"
#include "picture/raster_surface.hpp"
#include "window/drawing_area.hpp"
#include "window/window_layout.hpp"

namespace velmoran::ui {

namespace {

// A surface like the window's drawing area: a drawing area never shown
// gives the inner size and the blank colour the window's own takes from its
// palette.
std::unique_ptr<RasterSurface> areaSurface(double scale)
{
    const DrawingArea box(layout::placeOf(layout::Control::DrawingArea).geometry, nullptr);
    return std::make_unique<RasterSurface>(box.contentsRect().size(), scale,
                                           box.palette().color(QPalette::Button).rgb());
}

// Presses on `surface`; the error the press ended in, if any.
template <class Surface>
std::optional<ErrorKind> pressOn(Surface& surface, Figure figure, std::string_view text)
{
    WindowState state;
    try {
        loadWindowState(state, surface);
    } catch (const RuntimeError& error) {
        return error.kind();
    }
    ExportEvents events(state);
    const PressOutcome outcome = pressFigure(state, surface, events, figure, text);
    // Stopped means it could draw nothing more: the picture is final.
    if (outcome.status == PressOutcome::Status::Failed)
        return outcome.error;
    return std::nullopt;
}

}  // namespace

std::variant<QImage, ErrorKind> pressedPicture(Figure figure, std::string_view text, double scale)
{
    const std::unique_ptr<RasterSurface> surface = areaSurface(scale);
    if (const std::optional<ErrorKind> error = pressOn(*surface, figure, text))
        return *error;
    return surface->image().copy();
}

std::variant<VectorPicture, ErrorKind> pressedVectors(Figure figure, std::string_view text, double scale)
{
    const std::unique_ptr<RasterSurface> raster = areaSurface(scale);
    VectorRecorder surface(*raster);
    if (const std::optional<ErrorKind> error = pressOn(surface, figure, text))
        return *error;
    return surface.picture();
}

VectorPicture blankVectors(double scale)
{
    const std::unique_ptr<RasterSurface> raster = areaSurface(scale);
    return VectorRecorder(*raster).picture();
}

}  // namespace velmoran::ui
