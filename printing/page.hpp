#pragma once

// The window on a page: its client area as shown, figure included, as large
// as the page allows. The widgets are painted onto the page, not copied from
// the screen: text, frames and buttons come out at the printer's
// resolution, and pictures are enlarged as even blocks and stored without
// loss, so every colour on paper is the one on screen.

#include <functional>
#include <optional>

#include <QByteArray>
#include <QPageLayout>
#include <QPoint>

class QPainter;
class QPushButton;
class QStyleOptionButton;
class QWidget;

namespace velmoran::printing {

// How the pictures on a page are made: at `blocks` times the screen's
// pixel ratio, so that each screen pixel can become an even block.
struct PictureDensity {
    qreal screenRatio;
    int blocks;
    qreal pixelsPerUnit() const { return screenRatio * blocks; }
};

// A widget that puts itself on a page in a way of its own; any other is
// painted as QWidget::render() paints it. Only the widget itself: the
// widgets inside it are painted after it, each in its own way.
class PaintsOnPage {
public:
    virtual void paintOnPage(QPainter& painter, const QPoint& at, const PictureDensity& density) = 0;

protected:
    ~PaintsOnPage() = default;
};

// `widget`'s own painting as a picture made at `density`, each of its
// pixels then enlarged to `blocks` by `blocks`.
void paintAsPicture(QPainter& painter, QWidget& widget, const QPoint& at, qreal density, int blocks);

// A push button the style draws: the bevel and focus mark, which styles
// draw with translucent strokes, as a picture; the caption as text.
void paintStyledButton(QPainter& painter, const QPushButton& button, const QStyleOptionButton& option,
                       const QPoint& at, qreal density);

// Paints one page on the active painter of a PDF writer.
using PagePainter = std::function<void(QPainter&)>;

// Paints `window` on the page of the active `painter`, a PDF writer's:
// scaled to fit the printable area with its aspect kept, centred.
void paintWindow(QPainter& painter, QWidget& window);
PagePainter windowPage(QWidget& window);

// The figure alone: `caption` above `picture`, the picture as large as the
// rest of the printable area allows, its pixels enlarged as even blocks.
void paintFigure(QPainter& painter, const QImage& picture, const QString& caption);

// One page of a PDF document; nothing if it could not be made.
std::optional<QByteArray> makePdf(const PagePainter& paint, const QPageLayout& layout, int resolution);

}  // namespace velmoran::printing
