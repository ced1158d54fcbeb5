#include "window/offscreen_press.hpp"

#include <memory>

#include <QPalette>

#include "fractals/press_figure.hpp"
#include "picture/cropped_surface.hpp"
#include "picture/raster_surface.hpp"
#include "window/drawing_area.hpp"
#include "window/window_layout.hpp"

namespace velmoran::window {

// A drawing area never shown gives the inner size and the blank colour the
// window's own takes from its palette.
std::unique_ptr<picture::RasterSurface> areaSurface(double scale)
{
    const AreaLook area = drawingAreaLook();
    return std::make_unique<picture::RasterSurface>(area.inner, scale, area.background);
}

namespace {

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

// Draws on a RasterSurface and counts its lines, so that the window's own
// drawing need not.
class CountingSurface final : public DrawingSurface {
public:
    explicit CountingSurface(picture::RasterSurface& raster) : raster_(raster) {}
    Coord widthInUnits() const override { return raster_.widthInUnits(); }
    Coord heightInUnits() const override { return raster_.heightInUnits(); }
    void clear() override
    {
        raster_.clear();
        lines = 0;
    }
    void setDrawingColour(Colour colour) override { raster_.setDrawingColour(colour); }
    void useSolidLines() override { raster_.useSolidLines(); }
    void drawLine(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) override
    {
        ++lines;
        raster_.drawLine(kind, x1, y1, x2, y2, colour);
    }
    std::optional<picture::PixelBlock> pixelBlock(int left, int top, int right, int bottom) const
    {
        return raster_.pixelBlock(left, top, right, bottom);
    }
    int widestBlock() const { return raster_.widestBlock(); }

    std::uint64_t lines = 0;

private:
    picture::RasterSurface& raster_;
};
static_assert(LocatesPixels<CountingSurface>::value, "counted as the window draws, deep parts included");

}  // namespace

AreaLook drawingAreaLook()
{
    const DrawingArea box(layout::placeOf(layout::Control::DrawingArea).geometry, nullptr);
    return {box.contentsRect().size(), box.palette().color(QPalette::Button).rgb()};
}

std::variant<QImage, ErrorKind, std::monostate> zoomedPicture(const AreaLook& area, Figure figure,
                                                              std::string_view text, double scale, QRect view,
                                                              const std::atomic<bool>* givenUp,
                                                              std::chrono::steady_clock::time_point deadline)
{
    picture::CroppedSurface surface(area.inner, scale, area.background, view);
    if (!givenUp) {
        if (const std::optional<ErrorKind> error = pressOn(surface, figure, text))
            return *error;
        return surface.image();
    }
    WindowState state;
    try {
        loadWindowState(state, surface);
    } catch (const RuntimeError& error) {
        return error.kind();
    }
    AbandonableEvents events(state, *givenUp, deadline);
    const PressOutcome outcome = pressFigure(state, surface, events, figure, text);
    if (state.ending)
        return std::monostate{};
    if (outcome.status == PressOutcome::Status::Failed)
        return outcome.error;
    return surface.image();
}

std::variant<std::uint64_t, ErrorKind> pressedLineCount(Figure figure, std::string_view text, double scale)
{
    const std::unique_ptr<picture::RasterSurface> raster = areaSurface(scale);
    CountingSurface surface(*raster);
    if (const std::optional<ErrorKind> error = pressOn(surface, figure, text))
        return *error;
    return surface.lines;
}

std::variant<QImage, ErrorKind> pressedPicture(Figure figure, std::string_view text, double scale)
{
    const std::unique_ptr<picture::RasterSurface> surface = areaSurface(scale);
    if (const std::optional<ErrorKind> error = pressOn(*surface, figure, text))
        return *error;
    return surface->image().copy();
}

std::variant<picture::VectorPicture, ErrorKind> pressedVectors(Figure figure, std::string_view text, double scale)
{
    const std::unique_ptr<picture::RasterSurface> raster = areaSurface(scale);
    picture::VectorRecorder surface(*raster);
    if (const std::optional<ErrorKind> error = pressOn(surface, figure, text))
        return *error;
    return surface.picture();
}

picture::VectorPicture blankVectors(double scale)
{
    const std::unique_ptr<picture::RasterSurface> raster = areaSurface(scale);
    return picture::VectorRecorder(*raster).picture();
}

}  // namespace velmoran::window
