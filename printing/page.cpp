#include "printing/page.hpp"

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "texts/user_texts.hpp"

namespace velmoran::printing {

namespace {

// Pixels put on paper are enlarged to about this density, or the printer's
// own if lower: finer than a printer or viewer resamples them at, so none
// of them smooths a line into its neighbours.
constexpr double kPictureDpi = 300;


QString creator()
{
    return QStringLiteral("%1 %2")
        .arg(QString::fromUtf8(texts::kProgramName), QCoreApplication::applicationVersion())
        .trimmed();
}

// An opaque picture of `widget`'s size at `density` pixels a logical pixel,
// filled with what shows around it: a page with any transparency in it is
// turned whole into pixels on its way to a PostScript printer.
QImage blankPicture(const QWidget& widget, qreal density)
{
    QImage picture(qRound(widget.width() * density), qRound(widget.height() * density), QImage::Format_RGB32);
    picture.setDevicePixelRatio(density);
    const QWidget* below = widget.parentWidget() ? widget.parentWidget() : &widget;
    picture.fill(below->palette().color(below->backgroundRole()));
    return picture;
}

// `widget` and the widgets inside it, each on its own: render() paints a
// whole tree the one way.
void paintTree(QPainter& painter, QWidget& widget, const QPoint& at, const PictureDensity& density,
               QWidget::RenderFlags flags)
{
    if (auto* own = dynamic_cast<PaintsOnPage*>(&widget)) {
        own->paintOnPage(painter, at, density);
    } else if (qobject_cast<const QComboBox*>(&widget)) {
        // Qt's styles draw a combo box through a pixmap, whatever the device.
        paintAsPicture(painter, widget, at, density.pixelsPerUnit(), 1);
    } else {
        widget.render(&painter, at, QRegion(), flags);
    }
    for (QObject* child : widget.children()) {
        auto* inner = qobject_cast<QWidget*>(child);
        if (inner && !inner->isWindow() && !inner->isHidden())
            paintTree(painter, *inner, at + inner->pos(), density, QWidget::RenderFlags());
    }
}

// The pictures' density on a page where a logical pixel spans `scale`
// device pixels of `device`.
PictureDensity pictureDensity(const QPaintDevice& device, qreal scale, qreal screenRatio)
{
    const double dpi = std::max(1, device.logicalDpiX());
    const double wanted = scale * std::min(dpi, kPictureDpi) / dpi;
    return {screenRatio, std::max(1, static_cast<int>(std::ceil(wanted / screenRatio)))};
}

}  // namespace

void paintAsPicture(QPainter& painter, QWidget& widget, const QPoint& at, qreal density, int blocks)
{
    QImage picture = blankPicture(widget, density);
    widget.render(&picture, QPoint(), QRegion(), QWidget::RenderFlags());
    if (blocks > 1)
        picture = picture.scaled(picture.size() * blocks, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    painter.drawImage(QRectF(at, widget.size()), picture);
}

// Put together the way QPushButton puts them.
void paintStyledButton(QPainter& painter, const QPushButton& button, const QStyleOptionButton& option,
                       const QPoint& at, qreal density)
{
    const QStyle* style = button.style();
    QImage picture = blankPicture(button, density);
    {
        QPainter bevel(&picture);
        style->drawControl(QStyle::CE_PushButtonBevel, &option, &bevel, &button);
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.rect = style->subElementRect(QStyle::SE_PushButtonFocusRect, &option, &button);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &bevel, &button);
        }
    }
    painter.drawImage(QRectF(at, button.size()), picture);

    QStyleOptionButton label = option;
    label.rect = style->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    painter.save();
    painter.translate(at);
    // The caption as large as on screen: a size in points would be taken
    // at the printer's dpi, and then scaled up with the window.
    QFont font = button.font();
    font.setPixelSize(QFontInfo(QFont(font, &button)).pixelSize());
    painter.setFont(font);
    style->drawControl(QStyle::CE_PushButtonLabel, &label, &painter, &button);
    painter.restore();
}

void paintWindow(QPainter& painter, QWidget& window)
{
    const QRectF page = painter.viewport();
    const QSizeF size = QSizeF(window.size()).scaled(page.size(), Qt::KeepAspectRatio);
    const qreal scale = size.width() / window.width();
    const QPointF origin = page.center() - QPointF(size.width(), size.height()) / 2;
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.translate(origin);
    painter.scale(scale, scale);
    const PictureDensity density = pictureDensity(*painter.device(), scale, window.devicePixelRatioF());
    paintTree(painter, window, QPoint(), density, QWidget::DrawWindowBackground);
}

PagePainter windowPage(QWidget& window)
{
    return [&window](QPainter& painter) { paintWindow(painter, window); };
}

void paintFigure(QPainter& painter, const QImage& picture, const QString& caption)
{
    const QRectF page = painter.viewport();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, qRound(page.height() / 28)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF captionBox(page.left(), page.top(), page.width(), font.pixelSize() * 2.0);
    painter.drawText(captionBox, Qt::AlignCenter, caption);

    const QRectF room = page.adjusted(0, captionBox.height() * 1.5, 0, 0);
    const QSizeF logical = picture.deviceIndependentSize();
    const QSizeF size = logical.scaled(room.size(), Qt::KeepAspectRatio);
    const QRectF target(QPointF(room.center().x() - size.width() / 2, room.top()), size);
    const PictureDensity density =
        pictureDensity(*painter.device(), size.width() / logical.width(), picture.devicePixelRatio());
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, picture.scaled(picture.size() * density.blocks, Qt::IgnoreAspectRatio,
                                             Qt::FastTransformation));
}

std::optional<QByteArray> makePdf(const PagePainter& paint, const QPageLayout& layout, int resolution)
{
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&document);
        pdf.setTitle(QString::fromUtf8(texts::kProgramName));
        pdf.setCreator(creator());
        pdf.setResolution(resolution);
        pdf.setPageLayout(layout);
        // Never a QPrinter: QWidget::render() paints onto a printer through
        // pixmaps at the printer's full resolution, slowly, and text and all
        // as pixels.
        QPainter painter;
        if (!painter.begin(&pdf))
            return std::nullopt;
        paint(painter);
        if (!painter.end())
            return std::nullopt;
    }
    return document.data();
}

}  // namespace velmoran::printing
