#include "files/vector_files.hpp"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "files/compact_svg.hpp"
#include "files/whole_file.hpp"
#include "texts/user_texts.hpp"

namespace velmoran::files {

namespace {

// Painted into a buffer, then written whole: Qt's painters drop write
// errors. `finish` may amend the bytes.
template <class Device, class Finish>
std::optional<int> paintAndWrite(Device& device, QBuffer& bytes, const picture::VectorPicture& picture,
                                 const QRectF& target, const QString& path, Finish&& finish)
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    picture::paintVectors(painter, picture, target);
    if (!painter.end())
        return 0;
    if (const int error = writeWholeFile(path, finish(bytes.data())))
        return error;
    return std::nullopt;
}

}  // namespace

std::optional<int> saveSvg(const picture::VectorPicture& picture, double scale, const QString& path)
{
    if (const int error = writeWholeFile(path, compactSvg(picture, scale, texts::kProgramName)))
        return error;
    return std::nullopt;
}

std::optional<int> saveVectorPdf(const picture::VectorPicture& picture, double scale, const QString& path)
{
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&bytes);
    pdf.setTitle(QString::fromUtf8(texts::kProgramName));
    pdf.setCreator(QString::fromUtf8(texts::kProgramName));
    // A page the picture's logical size: 96 logical pixels an inch.
    const QSizeF points = QSizeF(picture.pixels) / scale * 72.0 / 96.0;
    pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
    constexpr int kDotsPerInch = 1200;
    pdf.setResolution(kDotsPerInch);
    // The page as Qt writes it, in whole points: the picture fills it.
    const QRectF page = pdf.pageLayout().fullRectPixels(kDotsPerInch);
    return paintAndWrite(pdf, bytes, picture, QRectF(QPointF(0, 0), page.size()), path,
                         [](const QByteArray& document) { return document; });
}

}  // namespace velmoran::files
