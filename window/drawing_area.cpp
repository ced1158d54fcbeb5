#include "window/drawing_area.hpp"

#include <QPainter>

namespace velmoran::window {

DrawingArea::DrawingArea(const QRect& outer, QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
    setGeometry(outer);
    setFocusPolicy(Qt::StrongFocus);
    // The picture is drawn at the screen's density, so a line is one device
    // pixel wide and sharp at any scale; the area is blank in the face colour.
    surface_ = std::make_unique<picture::RasterSurface>(contentsRect().size(), devicePixelRatioF(),
                                               palette().color(QPalette::Button).rgb());
}

DrawingArea::~DrawingArea() = default;

void DrawingArea::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    p.drawImage(contentsRect().topLeft(), surface_->image());
    emit painted();
}

void DrawingArea::paintOnPage(QPainter& painter, const QPoint& at, const printing::PictureDensity& density)
{
    printing::paintAsPicture(painter, *this, at, density.screenRatio, density.blocks);
}

}  // namespace velmoran::window
