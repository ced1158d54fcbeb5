#include "window/large_view.hpp"

#include <algorithm>

#include <QAction>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "texts/user_texts.hpp"
#include "window/drawing_area.hpp"

namespace velmoran::ui {

namespace {

// How the view opens for a picture of `picture` logical pixels on a screen
// with `room` free, its windows framed by `frame`: a window twice the
// picture's size where that, framed, takes at most nine tenths of the room
// across and down (not on a 1024x768 projector); else full screen, `size`
// being the window it leaves full screen to.
struct Opening {
    QSize size;
    bool fullScreen = false;
};

Opening opening(QSize picture, QSize frame, QSize room)
{
    const QSize twice = picture * 2;
    const QSize most(room.width() * 9 / 10, room.height() * 9 / 10);
    const QSize framed = twice + frame;
    if (framed.width() <= most.width() && framed.height() <= most.height())
        return {twice, false};
    return {twice.boundedTo(most - frame), true};
}

}  // namespace

LargeView::LargeView(DrawingArea& area, QWidget* parent) : QWidget(parent, Qt::Window), area_(&area)
{
    setObjectName(QStringLiteral("LargeView"));
    setWindowTitle(QString::fromUtf8(texts::kLargeViewEntry));
    setAccessibleName(QString::fromUtf8(texts::kLargeViewEntry));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // Framed as the window is.
    const QWidget& window = *area.window();
    const Opening how = opening(area.surface().image().deviceIndependentSize().toSize(),
                                window.frameGeometry().size() - window.size(),
                                area.screen()->availableGeometry().size());
    resize(how.size);
    if (how.fullScreen)
        setWindowState(Qt::WindowFullScreen);
    // Whatever repaints the area repaints this view: the picture as it
    // grows. A connection, unlike a filter of the area's events, ends with
    // either side.
    connect(&area, &DrawingArea::painted, this, qOverload<>(&QWidget::update));
}

int LargeView::blockSize() const
{
    if (!area_)
        return 1;
    const QImage& picture = area_->surface().image();
    const qreal ratio = devicePixelRatioF();
    const int across = static_cast<int>(width() * ratio) / std::max(1, picture.width());
    const int down = static_cast<int>(height() * ratio) / std::max(1, picture.height());
    return std::max(0, std::min(across, down));
}

// F11 here toggles full screen rather than bringing the view up, and Esc
// in full screen leaves it: the view claims them before any action's keys.
bool LargeView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier
            && (key->key() == Qt::Key_F11 || (key->key() == Qt::Key_Escape && isFullScreen()))) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
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
    // Shrunk smoothly, so that a line narrower than a pixel now still shows,
    // faintly, where it is.
    const int block = blockSize();
    const qreal ratio = devicePixelRatioF();
    const QSize room(static_cast<int>(width() * ratio), static_cast<int>(height() * ratio));
    QImage shown = block > 0 ? picture.scaled(picture.size() * block, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                             : picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    // Centred on whole device pixels.
    const int left = (room.width() - shown.width()) / 2;
    const int top = (room.height() - shown.height()) / 2;
    painter.drawImage(QPointF(left / ratio, top / ratio), shown);
}

void LargeView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F11) {
        toggleFullScreen();
        return;
    }
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
        // And what Esc does in the window.
        for (QAction* action : actions())
            if (action->shortcuts().contains(QKeySequence(Qt::Key_Escape)))
                action->trigger();
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
