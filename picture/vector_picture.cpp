#include "picture/vector_picture.hpp"

#include <cmath>
#include <cstdlib>

#include <QPainter>
#include <QPen>

namespace velmoran::picture {

namespace {

// The top-left corner of the pixel a point falls in, in doubles: a line's
// far end may lie well beyond any int.
QPointF pixelOf(QPointF p) { return {std::floor(p.x()), std::floor(p.y())}; }
QPointF centreOf(QPointF p) { return pixelOf(p) + QPointF(0.5, 0.5); }

}  // namespace

VectorRecorder::VectorRecorder(RasterSurface& raster) : raster_(raster)
{
    picture_.pixels = raster.image().size();
    picture_.background = raster.background();
}

void VectorRecorder::clear()
{
    raster_.clear();
    picture_.strokes.clear();
}

void VectorRecorder::drawLine(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour)
{
    const VectorStroke stroke { kind == LineKind::BoxInOwnColour, raster_.devicePoint(x1, y1),
                                raster_.devicePoint(x2, y2), raster_.colourOf(kind, colour) };
    // A short line inside the picture is kept only if it changed a pixel;
    // the lines of a deep figure mostly draw over their own colour.
    const QRect bounds = smallBounds(stroke.from, stroke.to);
    if (bounds.isEmpty()) {
        picture_.strokes.push_back(stroke);
        raster_.drawLine(kind, x1, y1, x2, y2, colour);
        return;
    }
    const QImage& image = raster_.image();
    QRgb before[kSmall * kSmall];
    for (int y = 0; y < bounds.height(); ++y)
        for (int x = 0; x < bounds.width(); ++x)
            before[y * kSmall + x] = image.pixel(bounds.left() + x, bounds.top() + y);
    raster_.drawLine(kind, x1, y1, x2, y2, colour);
    for (int y = 0; y < bounds.height(); ++y)
        for (int x = 0; x < bounds.width(); ++x)
            if (before[y * kSmall + x] != image.pixel(bounds.left() + x, bounds.top() + y)) {
                picture_.strokes.push_back(stroke);
                return;
            }
}

QRect VectorRecorder::smallBounds(QPointF from, QPointF to) const
{
    const auto inside = [this](QPointF p) {  // NaN fails
        return p.x() >= 0 && p.x() < picture_.pixels.width() && p.y() >= 0 && p.y() < picture_.pixels.height();
    };
    const QPointF a = pixelOf(from), b = pixelOf(to);
    if (!inside(a) || !inside(b) || std::abs(a.x() - b.x()) >= kSmall || std::abs(a.y() - b.y()) >= kSmall)
        return {};
    // Both ends' pixels included, whichever way the line goes.
    return QRect(QPoint(static_cast<int>(std::min(a.x(), b.x())), static_cast<int>(std::min(a.y(), b.y()))),
                 QPoint(static_cast<int>(std::max(a.x(), b.x())), static_cast<int>(std::max(a.y(), b.y()))));
}

void paintVectors(QPainter& painter, const VectorPicture& picture, const QRectF& target)
{
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / picture.pixels.width(), target.height() / picture.pixels.height());
    const QRect area(QPoint(0, 0), picture.pixels);
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(area, QColor::fromRgb(picture.background));
    QPen pen;
    pen.setWidth(1);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setBrush(Qt::NoBrush);
    for (const VectorStroke& stroke : picture.strokes) {
        // The raster draws nothing of a line with an end that is not a number.
        if (std::isnan(stroke.from.x() + stroke.from.y() + stroke.to.x() + stroke.to.y()))
            continue;
        const QColor colour = QColor::fromRgb(stroke.colour);
        if (pixelOf(stroke.from) == pixelOf(stroke.to)) {
            painter.fillRect(QRectF(pixelOf(stroke.from), QSizeF(1, 1)), colour);
            continue;
        }
        pen.setColor(colour);
        painter.setPen(pen);
        const QPointF a = centreOf(stroke.from), b = centreOf(stroke.to);
        if (stroke.box && a.x() != b.x() && a.y() != b.y())
            painter.drawRect(QRectF(a, b).normalized());
        else
            painter.drawLine(a, b);
    }
    painter.restore();
}

}  // namespace velmoran::picture
