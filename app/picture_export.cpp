#include "app/picture_export.hpp"

#include <QFile>

#include "files/png_file.hpp"
#include "files/vector_files.hpp"
#include "texts/user_texts.hpp"
#include "window/animation_frames.hpp"
#include "window/offscreen_press.hpp"

namespace velmoran::ui {

std::string exportPicture(const ExportRequest& request)
{
    const QString file = QFile::decodeName(request.file.c_str());
    std::optional<int> failure;
    if (isAnimation(request.format)) {
        const AnimationOutcome outcome =
            saveAnimation({request.figure, request.text, request.scale, request.animation, request.seconds},
                          request.format, file, nullptr);
        if (outcome.status == AnimationOutcome::Status::PressFailed)
            return texts::pressError(outcome.error);
        if (outcome.status != AnimationOutcome::Status::Saved)
            failure = outcome.errorNumber;
    } else if (request.format == PictureFormat::Png) {
        const auto picture = pressedPicture(request.figure, request.text, request.scale);
        if (const ErrorKind* error = std::get_if<ErrorKind>(&picture))
            return texts::pressError(*error);
        failure = savePng(std::get<QImage>(picture), file);
    } else {
        const auto vectors = pressedVectors(request.figure, request.text, request.scale);
        if (const ErrorKind* error = std::get_if<ErrorKind>(&vectors))
            return texts::pressError(*error);
        const VectorPicture& picture = std::get<VectorPicture>(vectors);
        failure = request.format == PictureFormat::Svg ? saveSvg(picture, request.scale, file)
                                                       : saveVectorPdf(picture, request.scale, file);
    }
    return failure ? texts::imageNotSaved(request.file, *failure) : std::string();
}

}  // namespace velmoran::ui
