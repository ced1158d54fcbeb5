#include "app/picture_export.hpp"

#include <QFile>
#include <QPalette>

#include "files/png_file.hpp"
#include "fractals/press_figure.hpp"
#include "picture/raster_surface.hpp"
#include "texts/user_texts.hpp"
#include "window/drawing_area.hpp"
#include "window/window_layout.hpp"

namespace velmoran::ui {

std::variant<QImage, ErrorKind> pressedPicture(Figure figure, std::string_view text, double scale)
{
    // A drawing area like the window's, never shown, gives the inner size
    // and the blank colour the window's own takes from its palette.
    const DrawingArea box(layout::placeOf(layout::Control::DrawingArea).geometry, nullptr);
    RasterSurface surface(box.contentsRect().size(), scale, box.palette().color(QPalette::Button).rgb());
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
    return surface.image().copy();
}

std::string exportPicture(const ExportRequest& request)
{
    const auto picture = pressedPicture(request.figure, request.text, request.scale);
    if (const ErrorKind* error = std::get_if<ErrorKind>(&picture))
        return texts::pressError(*error);
    const std::optional<int> failure = savePng(std::get<QImage>(picture), QFile::decodeName(request.file.c_str()));
    return failure ? texts::imageNotSaved(request.file, *failure) : std::string();
}

}  // namespace velmoran::ui
