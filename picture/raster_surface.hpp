#pragma once

// The drawing area's picture: an off-screen image at the screen's device
// pixel density, drawn into directly. Figures go through this class up to a
// billion times per press, almost always with whole-unit coordinates inside
// the area and, for the deep carpet, boxes shrunk to one pixel; that path is
// inline and costs a couple of nanoseconds. Fractional coordinates, and
// anything that needs clipping, go out of line.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QtGlobal>

#include "core/contracts.hpp"
#include "picture/device_pixels.hpp"

namespace velmoran::picture {

// The drawing area's scale on one axis: `units` over `pixels` logical
// pixels of its inner area (640 by 490 units over 493 by 349 pixels).
struct AxisScale {
    double units;
    double pixels;
};
inline constexpr AxisScale kScaleAcross{640, 493};
inline constexpr AxisScale kScaleDown{490, 349};

// The drawing colour until a figure sets its own.
inline constexpr Colour kInitialDrawingColour = rgbColour(244, 125, 47);

// A colour as an opaque QRgb.
constexpr QRgb toQRgb(Colour c) noexcept
{
    return qRgb(static_cast<int>(redOf(c)), static_cast<int>(greenOf(c)), static_cast<int>(blueOf(c)));
}

// The extent in units of an inner area `pixels` logical pixels long.
Coord extentInUnits(int pixels, AxisScale axis) noexcept;

// Whole units from these on fall in the second column or row of a block of
// device pixels; INT_MAX where the block has one. The block's first column
// and row, in device pixels.
struct PixelBlock {
    int secondColumnFrom = INT_MAX;
    int secondRowFrom = INT_MAX;
    int firstColumn = 0;
    int firstRow = 0;
};

class RasterSurface final : public DrawingSurface {
public:
    // `inner` is the inner area in logical pixels; the image holds
    // round(inner * devicePixelRatio) device pixels and starts cleared.
    RasterSurface(QSize inner, qreal devicePixelRatio, QRgb background);

    Coord widthInUnits() const override { return widthInUnits_; }
    Coord heightInUnits() const override { return heightInUnits_; }
    void clear() override;
    void setDrawingColour(Colour colour) override { drawingColour_ = toQRgb(colour); }
    // Every line is drawn solid, the one style the figures use.
    void useSolidLines() override {}

    // Inlined, so the tests below fold away on the Int16s and constants the
    // renderers pass.
    [[gnu::always_inline]] void drawLine(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2,
                                     Colour colour) override
    {
        const QRgb rgb = colourOf(kind, colour);
        int ix1, iy1, ix2, iy2;
        if (x1 == x2 && y1 == y2) {
            // A point, box or segment alike: one pixel, looked up once. Most
            // calls of a deep carpet or curve are.
            if (wholeInside(x1, columns_, ix1) && wholeInside(y1, rows_, iy1)) {
                plot(ix1, iy1, rgb);
                return;
            }
        } else if (wholeInside(x1, columns_, ix1) && wholeInside(y1, rows_, iy1)
                   && wholeInside(x2, columns_, ix2) && wholeInside(y2, rows_, iy2)) {
            drawInside(kind == LineKind::BoxInOwnColour, ix1, iy1, ix2, iy2, rgb);
            return;
        }
        lineAnywhere(kind == LineKind::BoxInOwnColour, x1, y1, x2, y2, rgb);
    }

    // Where the points with whole-unit coordinates from (left, top) to
    // (right, bottom) fall, if they all lie inside the area within two
    // columns and two rows of device pixels: a segment or box between two of
    // them is drawn as its end pixels alone.
    std::optional<PixelBlock> pixelBlock(int left, int top, int right, int bottom) const
    {
        PixelBlock block;
        if (!splitInTwo(left, right, columns_, block.secondColumnFrom)
            || !splitInTwo(top, bottom, rows_, block.secondRowFrom))
            return std::nullopt;
        block.firstColumn = columns_.pixel[static_cast<std::size_t>(left)];
        block.firstRow = rows_.pixel[static_cast<std::size_t>(top)];
        return block;
    }
    // No two whole units further apart than this, on either axis, lie in
    // one block.
    int widestBlock() const { return widestBlock_; }

    // The picture. It is drawn into in place: a QImage copied from it shares
    // its pixels until the next clear, so take copy() to keep a snapshot.
    const QImage& image() const { return image_; }
    QRgb background() const { return background_; }
    // How many times the picture was cleared: a press that finds it as it
    // left it knows that nothing else drew on it meanwhile.
    std::uint64_t clears() const { return clears_; }
    // Where a point in scale units falls, in device pixels (the pixel is
    // the floor of each coordinate).
    QPointF devicePoint(Coord x, Coord y) const { return {deviceX(x), deviceY(y)}; }
    // The colour a line drawn with `kind` and `colour` takes.
    QRgb colourOf(LineKind kind, Colour colour) const
    {
        return kind == LineKind::SegmentInDrawingColour ? drawingColour_ : toQRgb(colour);
    }

private:
    using PixelTable = device_pixels::PixelTable;
    [[gnu::always_inline]] static bool wholeInside(Coord v, const PixelTable& table, int& pixel)
    {
        return device_pixels::wholeInside(v, table, pixel);
    }
    static bool splitInTwo(int low, int high, const PixelTable& table, int& secondFrom)
    {
        return device_pixels::splitInTwo(low, high, table, secondFrom);
    }

    // The device pixel is floor() of these; the product is exact in double
    // and the quotient correctly rounded, so a point that falls exactly on a
    // pixel's edge lands in the right pixel.
    double deviceX(Coord x) const { return static_cast<double>(x) * deviceWidth_ / widthInUnits_; }
    double deviceY(Coord y) const { return static_cast<double>(y) * deviceHeight_ / heightInUnits_; }

    QRgb* row(int y) { return reinterpret_cast<QRgb*>(bits_ + y * bytesPerLine_); }
    void plot(int x, int y, QRgb rgb) { row(y)[x] = rgb; }

    // Both ends inside the image. Forced inline, with wholeInside: the
    // triangle's leaves pay dearly for a call (docs/performance.md).
    [[gnu::always_inline]] void drawInside(bool box, int x1, int y1, int x2, int y2, QRgb rgb)
    {
        if (box) {
            if (x1 == x2 && y1 == y2)
                plot(x1, y1, rgb);
            else
                outlineInside(x1, y1, x2, y2, rgb);
        } else if (nextTo(x1, x2) && nextTo(y1, y2)) {
            // What Bresenham lights for ends at most a pixel apart (one pixel
            // when they meet), without its loop's unpredictable branches:
            // nearly every segment of a deep figure.
            plot(x1, y1, rgb);
            plot(x2, y2, rgb);
        } else {
            segmentInside(x1, y1, x2, y2, rgb);
        }
    }
    static bool nextTo(int a, int b) { return static_cast<unsigned>(b - a + 1) <= 2u; }

    // The ends are inside the image.
    void segmentInside(int x1, int y1, int x2, int y2, QRgb rgb)
    {
        device_pixels::bresenham(x1, y1, x2, y2, [&](int x, int y) { plot(x, y, rgb); });
    }

    void outlineInside(int x1, int y1, int x2, int y2, QRgb rgb);
    [[gnu::noinline]] void lineAnywhere(bool box, Coord x1, Coord y1, Coord x2, Coord y2, QRgb rgb);
    void lineClipped(bool box, double x1, double y1, double x2, double y2, QRgb rgb);
    void segmentClipped(double x1, double y1, double x2, double y2, QRgb rgb);

    QImage image_;
    uchar* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    double deviceWidth_;
    double deviceHeight_;
    Coord widthInUnits_;
    Coord heightInUnits_;
    PixelTable columns_;
    PixelTable rows_;
    int widestBlock_ = 0;
    QRgb background_;
    QRgb drawingColour_ = toQRgb(kInitialDrawingColour);
    std::uint64_t clears_ = 0;
};

static_assert(IsSurface<RasterSurface>::value && LocatesPixels<RasterSurface>::value,
              "the triangle's deep parts are drawn in bulk only on a surface that locates pixels");

}  // namespace velmoran::picture
