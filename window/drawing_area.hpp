#pragma once

#include <memory>

#include <QFrame>

#include "picture/raster_surface.hpp"
#include "printing/page.hpp"

namespace velmoran::window {

// The drawing area: a sunken 2-pixel border around the figure's picture.
// Takes the focus by Tab or a click, shows no focus mark, and leaves every
// key and mouse event to others but for the context menu the window gives
// it. Whatever covers it, it repaints from its picture, and tells so.
class DrawingArea final : public QFrame, public printing::PaintsOnPage {
    Q_OBJECT
public:
    static constexpr int kBorder = 2;

    // `outer` is the box's geometry, border included, in its parent.
    DrawingArea(const QRect& outer, QWidget* parent);
    ~DrawingArea() override;

    picture::RasterSurface& surface() { return *surface_; }
    const picture::RasterSurface& surface() const { return *surface_; }

    // The figure and its frame exactly as on screen, pixel for pixel.
    void paintOnPage(QPainter& painter, const QPoint& at, const printing::PictureDensity& density) override;

signals:
    // After each paint: whatever shows the picture elsewhere shows it anew.
    void painted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<picture::RasterSurface> surface_;
};

}  // namespace velmoran::window
