#include "window/classic_button.hpp"

#include <QKeyEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace velmoran::window {

ClassicButton::ClassicButton(const QString& caption, std::optional<QColor> face, QWidget* parent)
    : QPushButton(caption, parent), face_(face)
{
    setAutoDefault(false);
    setDefault(false);
}

QRect ClassicButton::captionRect() const
{
    QRect r = rect().adjusted(3, 3, -3, -3);
    if (isDown())
        r.translate(1, 1);
    return r;
}

QStyleOptionButton ClassicButton::styleOption() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return option;
}

void ClassicButton::paintOnPage(QPainter& painter, const QPoint& at, const printing::PictureDensity& density)
{
    if (drawnByStyle())
        printing::paintStyledButton(painter, *this, styleOption(), at, density.pixelsPerUnit());
    else
        render(&painter, at, QRegion(), RenderFlags());
}

void ClassicButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void ClassicButton::paintEvent(QPaintEvent* event)
{
    if (!face_) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter p(this);
    const QBrush faceBrush(*face_);
    qDrawWinButton(&p, rect(), palette(), isDown(), &faceBrush);
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(captionRect(), Qt::AlignCenter | Qt::TextWordWrap, text());
    if (hasFocus()) {
        // The classic dotted focus mark, just inside the bevel.
        QPen dotted(palette().color(QPalette::ButtonText), 1, Qt::CustomDashLine);
        dotted.setDashPattern({1, 1});
        p.setPen(dotted);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(4, 4, -5, -5));
    }
}

}  // namespace velmoran::window
