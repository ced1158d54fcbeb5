#include "window/picture_writing.hpp"

#include <cerrno>
#include <variant>

#include <QDir>

#include "files/png_file.hpp"
#include "files/vector_files.hpp"
#include "texts/user_texts.hpp"
#include "window/offscreen_press.hpp"

namespace velmoran::window {

namespace {

files::WriteOutcome written(const std::optional<int>& failure)
{
    if (failure)
        return {files::WriteOutcome::Status::NotWritten, ErrorKind::Overflow, *failure};
    return {};
}

files::WriteOutcome pressFailed(ErrorKind error) { return {files::WriteOutcome::Status::PressFailed, error, 0}; }

files::WriteOutcome writePng(const PictureRequest& request, const QString& path)
{
    if (!request.shown.isNull())
        return written(files::savePng(request.shown, path));
    if (!request.figure)
        return written(files::savePng(areaSurface(request.scale)->image(), path));
    const auto picture = pressedPicture(*request.figure, request.text, request.scale);
    if (const ErrorKind* error = std::get_if<ErrorKind>(&picture))
        return pressFailed(*error);
    return written(files::savePng(std::get<QImage>(picture), path));
}

template <class Save>
files::WriteOutcome writeVectors(const PictureRequest& request, const QString& path, Save&& save)
{
    if (!request.figure)
        return written(save(blankVectors(request.scale), request.scale, path));
    const auto vectors = pressedVectors(*request.figure, request.text, request.scale);
    if (const ErrorKind* error = std::get_if<ErrorKind>(&vectors))
        return pressFailed(*error);
    return written(save(std::get<picture::VectorPicture>(vectors), request.scale, path));
}

files::WriteOutcome writeAnimation(files::PictureFormat format, const PictureRequest& request, const QString& path,
                            const AnimationProgress& progress)
{
    if (!request.figure)
        return {files::WriteOutcome::Status::NotWritten, ErrorKind::Overflow, EINVAL};
    return saveAnimation({*request.figure, request.text, request.scale, request.animation, request.seconds}, format,
                         path, progress);
}

}  // namespace

files::WriteOutcome writePicture(files::PictureFormat format, const PictureRequest& request, const QString& path,
                          const AnimationProgress& progress)
{
    switch (format) {
    case files::PictureFormat::Png: return writePng(request, path);
    case files::PictureFormat::Svg: return writeVectors(request, path, files::saveSvg);
    case files::PictureFormat::Pdf: return writeVectors(request, path, files::saveVectorPdf);
    case files::PictureFormat::Gif:
    case files::PictureFormat::Webp: return writeAnimation(format, request, path, progress);
    }
    return {files::WriteOutcome::Status::NotWritten, ErrorKind::Overflow, EINVAL};
}

std::string writeProblem(const files::WriteOutcome& outcome, const QString& path)
{
    switch (outcome.status) {
    case files::WriteOutcome::Status::Written:
    case files::WriteOutcome::Status::Stopped: return {};
    case files::WriteOutcome::Status::PressFailed: return texts::pressError(outcome.error);
    case files::WriteOutcome::Status::NotWritten:
        return texts::imageNotSaved(QDir::toNativeSeparators(path).toStdString(), outcome.errorNumber);
    }
    return {};
}

}  // namespace velmoran::window
