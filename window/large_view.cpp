#include "window/large_view.hpp"

#include <algorithm>

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "texts/user_texts.hpp"
#include "window/drawing_area.hpp"

namespace velmoran::ui {

LargeView::LargeView(DrawingArea& area, QWidget* parent) : QWidget(parent, Qt::Window), area_(&area)
{
    setObjectName(QStringLiteral("LargeView"));
    setWindowTitle(QString::fromUtf8(texts::kLargeViewEntry));
    setAccessibleName(QString::fromUtf8(texts::kLargeViewEntry));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Twice the area to begin with, where the screen has room.
    const QSize picture = area.surface().image().deviceIndependentSize().toSize();
    resize((picture * 2).boundedTo(area.screen()->availableGeometry().size() * 9 / 10));
    // Whatever repaints the area repaints this view: the picture as it grows.
    area.installEventFilter(this);
}

int LargeView::blockSize() const
{
    if (!area_)
        return 1;
    const QImage& picture = area_->surface().image();
    const qreal ratio = devicePixelRatioF();
    const int across = static_cast<int>(width() * ratio) / std::max(1, picture.width());
    const int down = static_cast<int>(height() * ratio) / std::max(1, picture.height());
    return std::max(1, std::min(across, down));
}

bool LargeView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area_ && event->type() == QEvent::Paint && isVisible())
        update();
    return QWidget::eventFilter(watched, event);
}

void LargeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!area_)
        return;
    const QImage& picture = area_->surface().image();
    painter.fillRect(rect(), QColor::fromRgb(area_->surface().background()));
    // Enlarged here, pixel by pixel, then drawn one to one in device pixels:
    // no smoothing and no uneven blocks, whatever the screen's scaling.
    const int block = blockSize();
    QImage enlarged = picture.scaled(picture.size() * block, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const qreal ratio = devicePixelRatioF();
    enlarged.setDevicePixelRatio(ratio);
    // Centred on whole device pixels.
    const int left = (static_cast<int>(width() * ratio) - enlarged.width()) / 2;
    const int top = (static_cast<int>(height() * ratio) - enlarged.height()) / 2;
    painter.drawImage(QPointF(left / ratio, top / ratio), enlarged);
}

void LargeView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F11) {
        toggleFullScreen();
        return;
    }
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LargeView::mouseDoubleClickEvent(QMouseEvent*) { toggleFullScreen(); }

void LargeView::toggleFullScreen()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

}  // namespace velmoran::ui
