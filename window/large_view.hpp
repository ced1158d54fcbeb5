#pragma once

#include <QPointer>
#include <QWidget>

namespace velmoran::ui {

class DrawingArea;

// "Vista ingrandita": a window of its own that shows the drawing area's
// picture as it changes, every pixel an even block of the largest whole
// size that fits, unsmoothed, on the area's blank colour. For a projector:
// resizable, and full screen on F11 or a double click.
class LargeView final : public QWidget {
    Q_OBJECT
public:
    explicit LargeView(DrawingArea& area, QWidget* parent = nullptr);

    // How many device pixels across and down each of the picture's pixels
    // takes now.
    int blockSize() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void toggleFullScreen();

    QPointer<DrawingArea> area_;
};

}  // namespace velmoran::ui
