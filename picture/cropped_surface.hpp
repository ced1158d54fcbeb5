#pragma once

// The drawing area's picture at any device-pixel ratio, drawn only where a
// view of it lies: what the zoom of the lesson's stage shows. The whole
// picture at that ratio is never made, so it may be far larger than memory.

#include <cstdint>
#include <optional>

#include <QImage>
#include <QRect>
#include <QSize>

#include "core/contracts.hpp"
#include "picture/device_pixels.hpp"
#include "picture/raster_surface.hpp"

namespace velmoran::picture {

// The deepest device-pixel ratio a picture is drawn at. Up to it a
// RasterSurface of the whole picture would keep its arithmetic exact: the
// whole units' pixels as 32-bit integers, and Bresenham's doubled error
// term across a picture 493 by 2^21 pixels wide (under 2^30) too; every
// line of the figures joins whole units inside the area, so none is pulled
// in from kFar. One step deeper, both overflow.
inline constexpr double kDeepestRatio = 2097152;  // 2^21

// A RasterSurface's arithmetic on the picture of `inner` at
// `devicePixelRatio`, but with pixels only for `view`, a rectangle of that
// picture's device pixels: each one ends as the whole picture's would (C19
// in docs/exactness.md).
class CroppedSurface final : public DrawingSurface {
public:
    // `devicePixelRatio` from 1/4 to kDeepestRatio.
    CroppedSurface(QSize inner, double devicePixelRatio, QRgb background, QRect view);

    Coord widthInUnits() const override { return widthInUnits_; }
    Coord heightInUnits() const override { return heightInUnits_; }
    void clear() override;
    void setDrawingColour(Colour colour) override { drawingColour_ = toQRgb(colour); }
    void useSolidLines() override {}
    void drawLine(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) override;

    // As RasterSurface's, over the whole picture: a figure decides what to
    // draw in bulk exactly as it would there.
    std::optional<PixelBlock> pixelBlock(int left, int top, int right, int bottom) const
    {
        PixelBlock block;
        if (!device_pixels::splitInTwo(left, right, columns_, block.secondColumnFrom)
            || !device_pixels::splitInTwo(top, bottom, rows_, block.secondRowFrom))
            return std::nullopt;
        block.firstColumn = columns_.pixel[static_cast<std::size_t>(left)];
        block.firstRow = rows_.pixel[static_cast<std::size_t>(top)];
        return block;
    }
    int widestBlock() const { return widestBlock_; }

    // Whether no line or box whose ends are whole units from (left, top) to
    // (right, bottom) can light a pixel of the view. Such a line's pixels
    // lie between its ends' pixels, and those between the pixels of the
    // box's corners: a unit's pixel never decreases with the unit, and a
    // clipped end only moves towards the picture.
    bool missesView(int left, int top, int right, int bottom) const
    {
        return clip_.isEmpty() || pixelOf(right, deviceWidth_, widthInUnits_) < clip_.left()
               || pixelOf(left, deviceWidth_, widthInUnits_) > clip_.right()
               || pixelOf(bottom, deviceHeight_, heightInUnits_) < clip_.top()
               || pixelOf(top, deviceHeight_, heightInUnits_) > clip_.bottom();
    }

    // The view's pixels.
    const QImage& image() const { return image_; }
    // The whole picture's size in device pixels.
    QSize wholeSize() const { return {static_cast<int>(deviceWidth_), static_cast<int>(deviceHeight_)}; }
    QRect view() const { return view_; }

private:
    static double pixelOf(int unit, double devicePixels, Coord scale)
    {
        return std::floor(static_cast<double>(unit) * devicePixels / scale);
    }
    double deviceX(Coord x) const { return static_cast<double>(x) * deviceWidth_ / widthInUnits_; }
    double deviceY(Coord y) const { return static_cast<double>(y) * deviceHeight_ / heightInUnits_; }

    void plot(int x, int y, QRgb rgb)
    {
        if (clip_.contains(x, y))
            reinterpret_cast<QRgb*>(image_.scanLine(y - view_.top()))[x - view_.left()] = rgb;
    }
    // Both ends' pixels inside the whole picture.
    void drawInside(bool box, int x1, int y1, int x2, int y2, QRgb rgb);
    void outline(int x1, int y1, int x2, int y2, QRgb rgb);
    void segment(int x1, int y1, int x2, int y2, QRgb rgb)
    {
        device_pixels::bresenhamWithin(x1, y1, x2, y2, clip_.left(), clip_.top(), clip_.right(), clip_.bottom(),
                                       [&](int x, int y) { plot(x, y, rgb); });
    }
    void lineAnywhere(bool box, Coord x1, Coord y1, Coord x2, Coord y2, QRgb rgb);
    void segmentClipped(double x1, double y1, double x2, double y2, QRgb rgb);

    QImage image_;
    QRect view_;
    // The view's pixels that lie in the whole picture: the others stay blank.
    QRect clip_;
    double deviceWidth_;
    double deviceHeight_;
    Coord widthInUnits_;
    Coord heightInUnits_;
    device_pixels::PixelTable columns_;
    device_pixels::PixelTable rows_;
    int widestBlock_ = 0;
    QRgb background_;
    QRgb drawingColour_ = toQRgb(kInitialDrawingColour);
};

static_assert(IsSurface<CroppedSurface>::value && LocatesPixels<CroppedSurface>::value
                  && ShowsPartOnly<CroppedSurface>::value,
              "a zoomed figure is drawn in bulk as the whole picture would be, and its parts out of view skipped");

}  // namespace velmoran::picture
