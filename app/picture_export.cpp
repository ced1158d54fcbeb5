#include "app/picture_export.hpp"

#include <QFile>

#include "window/picture_writing.hpp"

namespace velmoran::app {

std::string exportPicture(const ExportRequest& request)
{
    const QString file = QFile::decodeName(request.file.c_str());
    window::PictureRequest picture{request.figure, request.text, request.scale, request.animation, request.seconds, {}};
    return window::writeProblem(window::writePicture(request.format, picture, file), file);
}

}  // namespace velmoran::app
