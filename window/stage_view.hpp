#pragma once

// The stage's picture: the drawing area's pixels enlarged by a whole factor,
// or the figure drawn again at the view's size ("Ridisegnata"), zoomed by
// factors of 2 and panned; drawn on another thread, the window answering
// all the while.

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QTimer>
#include <QWidget>

#include "fractals/figure_table.hpp"
#include "picture/raster_surface.hpp"

namespace velmoran::window {

class DrawingArea;

// What the stage shows: the drawing area's picture, as it changes.
class PictureSource {
public:
    virtual const picture::RasterSurface& picture() const = 0;
    // Tells whenever the picture changed (DrawingArea::painted).
    virtual DrawingArea& pictureArea() = 0;
    // The figure and count the picture is, drawn to its end; none while a
    // drawing is on its way or where it was stopped or drawn over.
    virtual std::optional<std::pair<Figure, int>> finishedFigure() const = 0;

protected:
    ~PictureSource() = default;
};

class ZoomWorker;

class StageView final : public QWidget {
    Q_OBJECT
public:
    enum class Mode { PixelsEnlarged, Redrawn };

    explicit StageView(PictureSource& source, QWidget* parent = nullptr);
    ~StageView() override;

    void setMode(Mode mode);
    Mode mode() const { return mode_; }
    // Zooms by a factor of 2 in (`steps` 1) or out (-1) around `at`, a point
    // of the view in logical pixels, or its centre.
    void zoom(int steps, std::optional<QPointF> at = std::nullopt);
    // Back to the whole figure.
    void showWhole();
    // The figure drawn again is on the screen, at the zoom and place asked.
    bool redrawnShown() const;
    // Pixels enlarged: each picture pixel's side in device pixels.
    int enlargement() const;
    // Redrawn: how many times the whole figure, and the scale drawn at.
    double zoomFactor() const;
    double scale() const;
    // Redrawn, but the picture is not a finished figure: shown enlarged.
    bool waitingToRedraw() const;
    // Redrawn, the figure being drawn again at the zoom asked.
    bool redrawing() const;
    // Redrawn, but drawing it again at this scale took too long.
    bool tooLong() const;

    // The picture changed, or may have: looks again soon.
    void pictureChanged();

signals:
    void zoomChanged();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Rendered {
        QImage image;
        Figure figure;
        int count;
        double scale;
        QPoint origin;
    };

    QSize deviceSize() const;
    QSize pictureSize() const;
    double fit() const;
    QSize wholeAt(double scale) const;
    void refreshPixels();
    void paintPixels(QPainter& painter, const QRect& exposed);
    void paintRedrawn(QPainter& painter);
    void requestRedraw();
    void redrawn(Rendered rendered);
    void placeWhole();

    PictureSource& source_;
    Mode mode_ = Mode::PixelsEnlarged;
    // What the view last showed of the picture: only what differs from it
    // is painted again.
    QImage shown_;
    QTimer refresh_;
    int step_ = 0;
    // The view's top left corner in device pixels of the whole picture at
    // the scale drawn.
    QPoint origin_;
    std::optional<Rendered> rendered_;
    struct Given {
        Figure figure;
        int count;
        double scale;
    };
    std::optional<Given> tooLong_;
    bool nothingRedrawn() const;
    std::optional<QPoint> dragFrom_;
    std::unique_ptr<ZoomWorker> worker_;
};

}  // namespace velmoran::window
