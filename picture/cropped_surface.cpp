#include "picture/cropped_surface.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velmoran::picture {

namespace {

int deviceExtent(int logical, double ratio) { return std::max(1, qRound(logical * ratio)); }

}  // namespace

CroppedSurface::CroppedSurface(QSize inner, double devicePixelRatio, QRgb background, QRect view)
    : image_(std::max(1, view.width()), std::max(1, view.height()), QImage::Format_RGB32),
      view_(view.topLeft(), image_.size()),
      deviceWidth_(deviceExtent(inner.width(), devicePixelRatio)),
      deviceHeight_(deviceExtent(inner.height(), devicePixelRatio)),
      widthInUnits_(extentInUnits(inner.width(), kScaleAcross)),
      heightInUnits_(extentInUnits(inner.height(), kScaleDown)),
      background_(background)
{
    clip_ = view_ & QRect(0, 0, static_cast<int>(deviceWidth_), static_cast<int>(deviceHeight_));
    columns_ = device_pixels::makeTable(static_cast<int>(deviceWidth_), widthInUnits_);
    rows_ = device_pixels::makeTable(static_cast<int>(deviceHeight_), heightInUnits_);
    widestBlock_ = std::max(device_pixels::widestPair(columns_), device_pixels::widestPair(rows_));
    clear();
}

void CroppedSurface::clear() { image_.fill(background_); }

// As RasterSurface::drawLine, plotting only the view's pixels.
void CroppedSurface::drawLine(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour)
{
    const QRgb rgb = kind == LineKind::SegmentInDrawingColour ? drawingColour_ : toQRgb(colour);
    using device_pixels::wholeInside;
    int ix1, iy1, ix2, iy2;
    if (x1 == x2 && y1 == y2) {
        if (wholeInside(x1, columns_, ix1) && wholeInside(y1, rows_, iy1)) {
            plot(ix1, iy1, rgb);
            return;
        }
    } else if (wholeInside(x1, columns_, ix1) && wholeInside(y1, rows_, iy1) && wholeInside(x2, columns_, ix2)
               && wholeInside(y2, rows_, iy2)) {
        drawInside(kind == LineKind::BoxInOwnColour, ix1, iy1, ix2, iy2, rgb);
        return;
    }
    lineAnywhere(kind == LineKind::BoxInOwnColour, x1, y1, x2, y2, rgb);
}

void CroppedSurface::drawInside(bool box, int x1, int y1, int x2, int y2, QRgb rgb)
{
    if (box)
        outline(x1, y1, x2, y2, rgb);
    else
        segment(x1, y1, x2, y2, rgb);
}

void CroppedSurface::outline(int x1, int y1, int x2, int y2, QRgb rgb)
{
    const auto [left, right] = std::minmax(x1, x2);
    const auto [top, bottom] = std::minmax(y1, y2);
    const int from = std::max(left, clip_.left()), to = std::min(right, clip_.right());
    for (const int y : {top, bottom})
        if (y >= clip_.top() && y <= clip_.bottom())
            for (int x = from; x <= to; ++x)
                plot(x, y, rgb);
    for (int y = std::max(top + 1, clip_.top()), last = std::min(bottom - 1, clip_.bottom()); y <= last; ++y) {
        plot(left, y, rgb);
        plot(right, y, rgb);
    }
}

void CroppedSurface::lineAnywhere(bool box, Coord x1, Coord y1, Coord x2, Coord y2, QRgb rgb)
{
    double px1 = deviceX(x1), py1 = deviceY(y1), px2 = deviceX(x2), py2 = deviceY(y2);
    auto inside = [this](double px, double py) {
        return px >= 0 && px < deviceWidth_ && py >= 0 && py < deviceHeight_;
    };
    if (inside(px1, py1) && inside(px2, py2)) {
        drawInside(box, static_cast<int>(px1), static_cast<int>(py1), static_cast<int>(px2), static_cast<int>(py2),
                   rgb);
        return;
    }
    device_pixels::lineOrBoxPulledIn(box, px1, py1, px2, py2, [&](double ax, double ay, double bx, double by) {
        segmentClipped(ax, ay, bx, by, rgb);
    });
}

void CroppedSurface::segmentClipped(double x1, double y1, double x2, double y2, QRgb rgb)
{
    if (const auto ends = device_pixels::clipToBand(x1, y1, x2, y2, deviceWidth_, deviceHeight_))
        segment(ends->x1, ends->y1, ends->x2, ends->y2, rgb);
}

}  // namespace velmoran::picture
