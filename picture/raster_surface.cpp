#include "picture/raster_surface.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velmoran::picture {

namespace {

int deviceExtent(int logical, qreal ratio) { return std::max(1, qRound(logical * ratio)); }

}  // namespace

Coord extentInUnits(int pixels, AxisScale axis) noexcept
{
    return static_cast<Coord>(pixels * axis.units / axis.pixels);
}

RasterSurface::RasterSurface(QSize inner, qreal devicePixelRatio, QRgb background)
    : image_(deviceExtent(inner.width(), devicePixelRatio), deviceExtent(inner.height(), devicePixelRatio),
             QImage::Format_RGB32),
      deviceWidth_(image_.width()),
      deviceHeight_(image_.height()),
      widthInUnits_(extentInUnits(inner.width(), kScaleAcross)),
      heightInUnits_(extentInUnits(inner.height(), kScaleDown)),
      background_(background)
{
    image_.setDevicePixelRatio(devicePixelRatio);
    columns_ = device_pixels::makeTable(image_.width(), widthInUnits_);
    rows_ = device_pixels::makeTable(image_.height(), heightInUnits_);
    widestBlock_ = std::max(device_pixels::widestPair(columns_), device_pixels::widestPair(rows_));
    clear();
}

void RasterSurface::clear()
{
    ++clears_;
    image_.fill(background_);
    // Taken afresh here: fill() may have given the image pixels of its own.
    bits_ = image_.bits();
    bytesPerLine_ = image_.bytesPerLine();
}

void RasterSurface::outlineInside(int x1, int y1, int x2, int y2, QRgb rgb)
{
    const auto [left, right] = std::minmax(x1, x2);
    const auto [top, bottom] = std::minmax(y1, y2);
    std::fill(row(top) + left, row(top) + right + 1, rgb);
    std::fill(row(bottom) + left, row(bottom) + right + 1, rgb);
    for (int y = top + 1; y < bottom; ++y) {
        QRgb* r = row(y);
        r[left] = rgb;
        r[right] = rgb;
    }
}

void RasterSurface::lineAnywhere(bool box, Coord x1, Coord y1, Coord x2, Coord y2, QRgb rgb)
{
    const double px1 = deviceX(x1), py1 = deviceY(y1), px2 = deviceX(x2), py2 = deviceY(y2);
    auto inside = [this](double px, double py) {
        return px >= 0 && px < deviceWidth_ && py >= 0 && py < deviceHeight_;
    };
    if (inside(px1, py1) && inside(px2, py2))
        drawInside(box, static_cast<int>(px1), static_cast<int>(py1), static_cast<int>(px2), static_cast<int>(py2),
                   rgb);
    else
        lineClipped(box, px1, py1, px2, py2, rgb);
}

void RasterSurface::lineClipped(bool box, double x1, double y1, double x2, double y2, QRgb rgb)
{
    device_pixels::lineOrBoxPulledIn(box, x1, y1, x2, y2, [&](double ax, double ay, double bx, double by) {
        segmentClipped(ax, ay, bx, by, rgb);
    });
}

void RasterSurface::segmentClipped(double x1, double y1, double x2, double y2, QRgb rgb)
{
    const auto ends = device_pixels::clipToBand(x1, y1, x2, y2, deviceWidth_, deviceHeight_);
    if (!ends)
        return;
    const int width = image_.width(), height = image_.height();
    device_pixels::bresenham(ends->x1, ends->y1, ends->x2, ends->y2, [&](int px, int py) {
        if (px >= 0 && px < width && py >= 0 && py < height)
            plot(px, py, rgb);
    });
}

}  // namespace velmoran::picture
