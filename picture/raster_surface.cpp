#include "picture/raster_surface.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velmoran::ui {

namespace {

// Device coordinates beyond this are pulled in before clipping. Far outside
// any image, and small enough that clipping in double stays exact to well
// under a pixel.
constexpr double kFar = 1e9;

double pullIn(double v) { return std::clamp(v, -kFar, kFar); }

int deviceExtent(int logical, qreal ratio) { return std::max(1, qRound(logical * ratio)); }

}  // namespace

Coord scaleExtent(int pixels, AxisScale axis) noexcept
{
    return static_cast<Coord>(pixels * axis.units / axis.pixels);
}

RasterSurface::RasterSurface(QSize inner, qreal devicePixelRatio, QRgb background)
    : image_(deviceExtent(inner.width(), devicePixelRatio), deviceExtent(inner.height(), devicePixelRatio),
             QImage::Format_RGB32),
      deviceWidth_(image_.width()),
      deviceHeight_(image_.height()),
      scaleWidth_(scaleExtent(inner.width(), kScaleAcross)),
      scaleHeight_(scaleExtent(inner.height(), kScaleDown)),
      background_(background)
{
    image_.setDevicePixelRatio(devicePixelRatio);
    columns_ = makeTable(image_.width(), scaleWidth_);
    rows_ = makeTable(image_.height(), scaleHeight_);
    widestBlock_ = std::max(widestPair(columns_), widestPair(rows_));
    clear();
}

RasterSurface::PixelTable RasterSurface::makeTable(int devicePixels, Coord scale) const
{
    // Every whole unit from 0 up to the first that falls past the edge.
    const auto entries = static_cast<std::size_t>(std::floor(scale)) + 1;
    PixelTable table{std::make_unique<int[]>(entries), static_cast<Coord>(entries)};
    for (std::size_t i = 0; i < entries; ++i) {
        const double p = std::floor(static_cast<double>(i) * devicePixels / scale);
        table.pixel[i] = p < devicePixels ? static_cast<int>(p) : -1;
    }
    return table;
}

// The furthest apart two whole units in neighbouring pixels (or one) are.
int RasterSurface::widestPair(const PixelTable& table)
{
    int widest = 0;
    const auto entries = static_cast<int>(table.size);
    for (int first = 0, second = 0; second < entries && table.pixel[second] >= 0; ++second) {
        while (table.pixel[second] - table.pixel[first] > 1)
            ++first;
        widest = std::max(widest, second - first);
    }
    return widest;
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
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2))
        return;
    x1 = pullIn(x1), y1 = pullIn(y1), x2 = pullIn(x2), y2 = pullIn(y2);
    if (!box) {
        segmentClipped(x1, y1, x2, y2, rgb);
        return;
    }
    segmentClipped(x1, y1, x2, y1, rgb);
    segmentClipped(x1, y2, x2, y2, rgb);
    segmentClipped(x1, y1, x1, y2, rgb);
    segmentClipped(x2, y1, x2, y2, rgb);
}

// Clips to a band one pixel wider than the image on every side, so that the
// ends of a segment that only just leaves the image are not moved and its
// pixels are those of the unclipped segment; then plots pixel by pixel,
// keeping those inside.
void RasterSurface::segmentClipped(double x1, double y1, double x2, double y2, QRgb rgb)
{
    const double low = -1, highX = deviceWidth_ + 1, highY = deviceHeight_ + 1;
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    // Keeps the part of the segment where p * t <= q.
    auto keep = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double r = q / p;
        if (p < 0) {
            if (r > t1)
                return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0)
                return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    if (!keep(-dx, x1 - low) || !keep(dx, highX - x1) || !keep(-dy, y1 - low) || !keep(dy, highY - y1))
        return;
    const double cx1 = t0 > 0 ? x1 + t0 * dx : x1, cy1 = t0 > 0 ? y1 + t0 * dy : y1;
    const double cx2 = t1 < 1 ? x1 + t1 * dx : x2, cy2 = t1 < 1 ? y1 + t1 * dy : y2;
    auto toPixel = [low](double v, double high) {
        return static_cast<int>(std::floor(std::clamp(v, low, high)));
    };
    const int x = toPixel(cx1, highX), y = toPixel(cy1, highY);
    const int xEnd = toPixel(cx2, highX), yEnd = toPixel(cy2, highY);

    const int width = image_.width(), height = image_.height();
    bresenham(x, y, xEnd, yEnd, [&](int px, int py) {
        if (px >= 0 && px < width && py >= 0 && py < height)
            plot(px, py, rgb);
    });
}

}  // namespace velmoran::ui
