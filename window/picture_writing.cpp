#include "window/picture_writing.hpp"

#include <cerrno>
#include <variant>

#include <QDir>

#include "files/png_file.hpp"
#include "files/vector_files.hpp"
#include "texts/user_texts.hpp"
#include "window/offscreen_press.hpp"

namespace velmoran::ui {

namespace {

WriteOutcome written(const std::optional<int>& failure)
{
    if (failure)
        return {WriteOutcome::Status::NotWritten, ErrorKind::Overflow, *failure};
    return {};
}

WriteOutcome pressFailed(ErrorKind error) { return {WriteOutcome::Status::PressFailed, error, 0}; }

WriteOutcome writePng(const PictureRequest& request, const QString& path)
{
    if (!request.shown.isNull() || !request.figure)
        return written(savePng(request.shown.isNull() ? areaSurface(request.scale)->image() : request.shown, path));
    const auto picture = pressedPicture(*request.figure, request.text, request.scale);
    if (const ErrorKind* error = std::get_if<ErrorKind>(&picture))
        return pressFailed(*error);
    return written(savePng(std::get<QImage>(picture), path));
}

template <class Save>
WriteOutcome writeVectors(const PictureRequest& request, const QString& path, Save&& save)
{
    if (!request.figure)
        return written(save(blankVectors(request.scale), request.scale, path));
    const auto vectors = pressedVectors(*request.figure, request.text, request.scale);
    if (const ErrorKind* error = std::get_if<ErrorKind>(&vectors))
        return pressFailed(*error);
    return written(save(std::get<VectorPicture>(vectors), request.scale, path));
}

WriteOutcome writeAnimation(PictureFormat format, const PictureRequest& request, const QString& path,
                            const AnimationProgress& progress)
{
    if (!request.figure)
        return {WriteOutcome::Status::NotWritten, ErrorKind::Overflow, EINVAL};
    return saveAnimation({*request.figure, request.text, request.scale, request.animation, request.seconds}, format,
                         path, progress);
}

}  // namespace

WriteOutcome writePicture(PictureFormat format, const PictureRequest& request, const QString& path,
                          const AnimationProgress& progress)
{
    switch (format) {
    case PictureFormat::Png: return writePng(request, path);
    case PictureFormat::Svg: return writeVectors(request, path, saveSvg);
    case PictureFormat::Pdf: return writeVectors(request, path, saveVectorPdf);
    case PictureFormat::Gif:
    case PictureFormat::Webp: return writeAnimation(format, request, path, progress);
    }
    return {WriteOutcome::Status::NotWritten, ErrorKind::Overflow, EINVAL};
}

std::string writeProblem(const WriteOutcome& outcome, const QString& path)
{
    switch (outcome.status) {
    case WriteOutcome::Status::Written:
    case WriteOutcome::Status::Stopped: return {};
    case WriteOutcome::Status::PressFailed: return texts::pressError(outcome.error);
    case WriteOutcome::Status::NotWritten:
        return texts::imageNotSaved(QDir::toNativeSeparators(path).toStdString(), outcome.errorNumber);
    }
    return {};
}

}  // namespace velmoran::ui
