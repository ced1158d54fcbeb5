#pragma once

#include <optional>

#include <QColor>
#include <QPushButton>
#include <QStyleOptionButton>

#include "printing/page.hpp"

namespace velmoran::window {

// The window's push buttons. Never a default button; Enter, like Space,
// presses the one that has the focus. Given a face colour, the button paints
// itself the classic way: a raised bevel around a flat face of that colour,
// the caption wrapped by words and centred.
class ClassicButton final : public QPushButton, public printing::PaintsOnPage {
    Q_OBJECT
public:
    ClassicButton(const QString& caption, std::optional<QColor> face, QWidget* parent);

    // Where the caption is laid out, inside the bevel.
    QRect captionRect() const;
    // Without a face colour, the style paints the button, from this.
    bool drawnByStyle() const { return !face_; }
    QStyleOptionButton styleOption() const;

    void paintOnPage(QPainter& painter, const QPoint& at, const printing::PictureDensity& density) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QColor> face_;
};

}  // namespace velmoran::window
