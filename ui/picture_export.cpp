#include "ui/picture_export.hpp"

#include <QFile>
#include <QPalette>

#include "fractals/figures.hpp"
#include "ui/drawing_area.hpp"
#include "ui/picture_file.hpp"
#include "ui/raster_surface.hpp"
#include "ui/user_dialogs.hpp"
#include "ui/window_layout.hpp"

namespace velmoran::ui {

std::variant<QImage, ErrorKind> pressedPicture(Figure figure, std::string_view text, double scale)
{
    // A drawing area like the window's, never shown, gives the inner size
    // and the blank colour the window's own takes from its palette.
    const DrawingArea box(layout::geometryOf("Picture1"), nullptr);
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

QString exportPicture(const ExportRequest& request)
{
    const auto picture = pressedPicture(request.figure, request.text, request.scale);
    if (const ErrorKind* error = std::get_if<ErrorKind>(&picture))
        return errorMessage(*error);
    const QString file = QFile::decodeName(request.file.c_str());
    const QString reason = savePng(std::get<QImage>(picture), file);
    return reason.isEmpty() ? QString() : saveFailedMessage(file, reason);
}

}  // namespace velmoran::ui
