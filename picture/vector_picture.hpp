#pragma once

// A press's picture as vectors, for the SVG and PDF files: the drawing
// area's background, then every line and box that changed the picture, in
// drawing order, each one device pixel wide at the scale it was drawn at.
// A part of a deep figure drawn as what it leaves is kept as that, and a
// short line that changes no pixel is left out: an endless figure keeps a
// few strokes; a deep one of one colour no more than the pixels it inks.

#include <vector>

#include <QRectF>
#include <QRgb>
#include <QSize>

#include "core/contracts.hpp"
#include "picture/raster_surface.hpp"

class QPainter;

namespace velmoran::picture {

struct VectorStroke {
    bool box;
    QPointF from, to;  // in device pixels, unrounded
    QRgb colour;
};

struct VectorPicture {
    QSize pixels;  // the raster's size in device pixels
    QRgb background = 0;
    std::vector<VectorStroke> strokes;
};

// Draws on a RasterSurface and keeps the vectors of what it draws.
class VectorRecorder final : public DrawingSurface {
public:
    explicit VectorRecorder(RasterSurface& raster);

    Coord widthInUnits() const override { return raster_.widthInUnits(); }
    Coord heightInUnits() const override { return raster_.heightInUnits(); }
    void clear() override;
    void setDrawingColour(Colour colour) override { raster_.setDrawingColour(colour); }
    void useSolidLines() override { raster_.useSolidLines(); }
    void drawLine(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) override;

    // The raster's, so that deep parts are drawn as what they leave alike.
    std::optional<PixelBlock> pixelBlock(int left, int top, int right, int bottom) const
    {
        return raster_.pixelBlock(left, top, right, bottom);
    }
    int widestBlock() const { return raster_.widestBlock(); }

    const VectorPicture& picture() const { return picture_; }

private:
    // Lines whose ends are at most this many pixels apart either way are
    // checked for a change; a longer one is always kept.
    static constexpr int kSmall = 8;
    // The pixels a line or box between these ends can ink, where both lie
    // inside the picture and close enough; empty otherwise.
    QRect smallBounds(QPointF from, QPointF to) const;

    RasterSurface& raster_;
    VectorPicture picture_;
};
static_assert(IsSurface<VectorRecorder>::value && LocatesPixels<VectorRecorder>::value,
              "vectors are drawn as the raster is, deep parts included");

// Paints `picture` into `target` of the active `painter`: every stroke
// through the centres of its end pixels, one pixel wide, unsmoothed, so
// that at the picture's own size it inks the pixels the raster inked.
void paintVectors(QPainter& painter, const VectorPicture& picture, const QRectF& target);

}  // namespace velmoran::picture
