#pragma once

#include <QPointer>
#include <QWidget>

namespace velmoran::ui {

class DrawingArea;

// "Vista ingrandita": a window of its own that shows the drawing area's
// picture as it changes, every pixel an even block of the largest whole
// size that fits, unsmoothed, on the area's blank colour; where the view is
// smaller than the picture, the picture shrunk to fit, whole. For a
// projector: it opens at twice the picture's size where the screen has
// room for that, else full screen; resizable, and full screen on F11 or a
// double click. The keys of the actions it is given work in it as in the
// window; in full screen Esc also leaves full screen.
class LargeView final : public QWidget {
    Q_OBJECT
public:
    explicit LargeView(DrawingArea& area, QWidget* parent = nullptr);

    // How many device pixels across and down each of the picture's pixels
    // takes now; 0 where the picture is shrunk to fit.
    int blockSize() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void toggleFullScreen();

    QPointer<DrawingArea> area_;
};

}  // namespace velmoran::ui
