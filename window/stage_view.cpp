#include "window/stage_view.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QWheelEvent>

#include "window/drawing_area.hpp"
#include "window/offscreen_press.hpp"
#include "window/stage_zoom.hpp"

namespace velmoran::window {

// Draws the figure again on a thread of its own, one request at a time: a
// request made meanwhile replaces one not yet begun and gives up the one
// being drawn, whose picture would never be shown.
class ZoomWorker {
public:
    struct Job {
        Figure figure;
        int count;
        double scale;
        QRect view;
    };
    // The picture drawn, or none where it took too long.
    using Done = std::function<void(const Job&, std::optional<QImage>)>;

    ZoomWorker(AreaLook area, Done done) : area_(area), done_(std::move(done)), thread_([this] { run(); }) {}
    ~ZoomWorker()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            ending_ = true;
            givenUp_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    void submit(const Job& job)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            next_ = job;
            givenUp_ = true;
        }
        wake_.notify_one();
    }

private:
    void run()
    {
        for (;;) {
            Job job;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return ending_ || next_.has_value(); });
                if (ending_)
                    return;
                job = *next_;
                next_.reset();
                givenUp_ = false;
            }
            try {
                auto picture = zoomedPicture(area_, job.figure, std::to_string(job.count), job.scale, job.view,
                                             &givenUp_, std::chrono::steady_clock::now() + kPatience);
                if (QImage* image = std::get_if<QImage>(&picture))
                    done_(job, std::move(*image));
                else if (std::holds_alternative<std::monostate>(picture) && !givenUp_)
                    done_(job, std::nullopt);
            } catch (...) {
                // Only this picture is lost: the view keeps the last one.
            }
        }
    }

    // The deep triangle's parts along the whole units' edges are drawn one
    // by one at scales above about 1.3; some counts would take minutes.
    static constexpr std::chrono::seconds kPatience{5};
    const AreaLook area_;
    const Done done_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> next_;
    bool ending_ = false;
    std::atomic<bool> givenUp_{false};
    std::thread thread_;
};

namespace {

// The picture pixels of `from` within `pixels`, each as a block of `block`
// by `block` pixels.
QImage enlarge(const QImage& from, const QRect& pixels, int block)
{
    QImage to(pixels.size() * block, QImage::Format_RGB32);
    const std::size_t bytes = static_cast<std::size_t>(to.width()) * sizeof(QRgb);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(from.constScanLine(pixels.top() + y)) + pixels.left();
        auto* first = reinterpret_cast<QRgb*>(to.scanLine(y * block));
        for (int x = 0; x < pixels.width(); ++x)
            std::fill(first + x * block, first + (x + 1) * block, source[x]);
        for (int copy = 1; copy < block; ++copy)
            std::memcpy(to.scanLine(y * block + copy), first, bytes);
    }
    return to;
}

// The pixels where two pictures of one size differ, or none.
QRect difference(const QImage& a, const QImage& b)
{
    int top = -1, bottom = -1, left = a.width(), right = -1;
    const std::size_t rowBytes = static_cast<std::size_t>(a.width()) * sizeof(QRgb);
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        if (std::memcmp(ra, rb, rowBytes) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int x = 0;
        while (ra[x] == rb[x])
            ++x;
        left = std::min(left, x);
        x = a.width() - 1;
        while (ra[x] == rb[x])
            --x;
        right = std::max(right, x);
    }
    return top < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// How often the view looks at the picture while it changes: a screen's frame.
constexpr int kRefreshMilliseconds = 16;

}  // namespace

StageView::StageView(PictureSource& source, QWidget* parent)
    : QWidget(parent), source_(source)
{
    setObjectName(QStringLiteral("StageView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A window of its own on the display, so that tools find the picture
    // apart from the toolbars.
    setAttribute(Qt::WA_NativeWindow);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 120);
    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshMilliseconds);
    connect(&refresh_, &QTimer::timeout, this, &StageView::refreshPixels);
    // Whatever repaints the drawing area tells this view to look again. A
    // connection, unlike a filter of the area's events, ends with either side.
    connect(&source.pictureArea(), &DrawingArea::painted, this, [this] {
        if (isVisible())
            pictureChanged();
    });
    worker_ = std::make_unique<ZoomWorker>(
        drawingAreaLook(), [this](const ZoomWorker::Job& job, std::optional<QImage> image) {
            // Handed to the event thread; dropped if the view is gone by then.
            QMetaObject::invokeMethod(
                this,
                [this, job, image = std::move(image)] {
                    if (image) {
                        redrawn({*image, job.figure, job.count, job.scale, job.view.topLeft()});
                    } else {
                        tooLong_ = {job.figure, job.count, job.scale};
                        update();
                        emit zoomChanged();
                    }
                },
                Qt::QueuedConnection);
        });
}

StageView::~StageView() { worker_.reset(); }

QSize StageView::deviceSize() const
{
    const qreal ratio = devicePixelRatioF();
    return {static_cast<int>(width() * ratio), static_cast<int>(height() * ratio)};
}

QSize StageView::pictureSize() const { return source_.picture().image().size(); }

double StageView::fit() const { return fittingScale(deviceSize(), source_.picture().image().deviceIndependentSize().toSize()); }

QSize StageView::wholeAt(double scale) const
{
    const QSize inner = source_.picture().image().deviceIndependentSize().toSize();
    return {std::max(1, qRound(inner.width() * scale)), std::max(1, qRound(inner.height() * scale))};
}

int StageView::enlargement() const
{
    const QSize device = deviceSize(), picture = pictureSize();
    return std::min(device.width() / std::max(1, picture.width()), device.height() / std::max(1, picture.height()));
}

double StageView::zoomFactor() const { return std::ldexp(1.0, step_); }

double StageView::scale() const { return std::ldexp(fit(), step_); }

bool StageView::waitingToRedraw() const { return mode_ == Mode::Redrawn && !source_.finishedFigure(); }

bool StageView::redrawing() const
{
    const auto figure = source_.finishedFigure();
    return mode_ == Mode::Redrawn && figure && !redrawnShown() && !tooLong();
}

bool StageView::tooLong() const
{
    const auto figure = source_.finishedFigure();
    return mode_ == Mode::Redrawn && figure && tooLong_ && tooLong_->figure == figure->first
           && tooLong_->count == figure->second && tooLong_->scale == scale();
}

// Nothing drawn again of the figure shown, at any scale, yet.
bool StageView::nothingRedrawn() const
{
    const auto figure = source_.finishedFigure();
    return !figure || !rendered_ || rendered_->figure != figure->first || rendered_->count != figure->second;
}

bool StageView::redrawnShown() const
{
    const auto figure = source_.finishedFigure();
    return mode_ == Mode::Redrawn && figure && rendered_ && rendered_->figure == figure->first
           && rendered_->count == figure->second && rendered_->scale == scale() && rendered_->origin == origin_
           && rendered_->image.size() == deviceSize();
}

void StageView::setMode(Mode mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    if (mode_ == Mode::Redrawn)
        placeWhole();
    shown_ = QImage();
    refreshPixels();
    requestRedraw();
    update();
    emit zoomChanged();
}

void StageView::placeWhole()
{
    step_ = 0;
    const QSize whole = wholeAt(fit()), device = deviceSize();
    origin_ = QPoint((whole.width() - device.width()) / 2, (whole.height() - device.height()) / 2);
}

void StageView::showWhole()
{
    if (mode_ != Mode::Redrawn)
        return;
    placeWhole();
    update();
    requestRedraw();
    emit zoomChanged();
}

void StageView::zoom(int steps, std::optional<QPointF> at)
{
    if (mode_ != Mode::Redrawn || !source_.finishedFigure())
        return;
    const int next = std::clamp(step_ + steps, 0, deepestZoomStep(fit()));
    if (next == step_)
        return;
    if (next == 0) {
        showWhole();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize device = deviceSize();
    const QPointF point = at ? *at * ratio : QPointF(device.width() / 2.0, device.height() / 2.0);
    const QSize before = wholeAt(scale());
    // The point of the figure under `point` stays there.
    const double u = (origin_.x() + point.x()) / before.width(), v = (origin_.y() + point.y()) / before.height();
    step_ = next;
    const QSize after = wholeAt(scale());
    origin_ = QPoint(static_cast<int>(std::floor(u * after.width() - point.x())),
                     static_cast<int>(std::floor(v * after.height() - point.y())));
    update();
    requestRedraw();
    emit zoomChanged();
}

void StageView::pictureChanged()
{
    if (!refresh_.isActive())
        refresh_.start();
}

void StageView::refreshPixels()
{
    const QImage& picture = source_.picture().image();
    if (shown_.size() != picture.size() || shown_.format() != picture.format()) {
        shown_ = picture.copy();
        update();
    } else if (const QRect changed = difference(picture, shown_); !changed.isNull()) {
        for (int y = changed.top(); y <= changed.bottom(); ++y)
            std::memcpy(reinterpret_cast<QRgb*>(shown_.scanLine(y)) + changed.left(),
                        reinterpret_cast<const QRgb*>(picture.constScanLine(y)) + changed.left(),
                        static_cast<std::size_t>(changed.width()) * sizeof(QRgb));
        if (mode_ == Mode::PixelsEnlarged || waitingToRedraw() || nothingRedrawn() || tooLong()) {
            // Only the blocks of the pixels that changed are painted again.
            const int block = std::max(1, enlargement());
            const QSize device = deviceSize();
            const QPoint offset((device.width() - picture.width() * block) / 2,
                                (device.height() - picture.height() * block) / 2);
            const qreal ratio = devicePixelRatioF();
            const QRect blocks(offset + changed.topLeft() * block, changed.size() * block);
            update(QRectF(blocks.x() / ratio, blocks.y() / ratio, blocks.width() / ratio, blocks.height() / ratio)
                       .toAlignedRect());
        }
    }
    requestRedraw();
}

void StageView::requestRedraw()
{
    if (mode_ != Mode::Redrawn || redrawnShown() || tooLong())
        return;
    const auto figure = source_.finishedFigure();
    if (!figure)
        return;
    worker_->submit({figure->first, figure->second, scale(), QRect(origin_, deviceSize())});
}

void StageView::redrawn(Rendered rendered)
{
    rendered_ = std::move(rendered);
    update();
    emit zoomChanged();
}

void StageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor::fromRgb(source_.picture().background()));
    if (mode_ == Mode::Redrawn && !waitingToRedraw() && !nothingRedrawn() && !tooLong())
        paintRedrawn(painter);
    else
        paintPixels(painter, event->rect());
}

// Enlarged pixel by pixel, then drawn one to one in device pixels: no
// smoothing and no uneven blocks, whatever the screen's scaling.
void StageView::paintPixels(QPainter& painter, const QRect& exposed)
{
    if (shown_.isNull())
        shown_ = source_.picture().image().copy();
    const int block = enlargement();
    const qreal ratio = devicePixelRatioF();
    if (block == 0) {
        // Smaller than the picture: shrunk smoothly, so that a line
        // narrower than a pixel now still shows, faintly, where it is.
        QImage shrunk = shown_.scaled(deviceSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        shrunk.setDevicePixelRatio(ratio);
        const QSize device = deviceSize();
        painter.drawImage(QPointF((device.width() - shrunk.width()) / 2 / ratio,
                                  (device.height() - shrunk.height()) / 2 / ratio),
                          shrunk);
        return;
    }
    const QSize enlarged = shown_.size() * block;
    const QSize device = deviceSize();
    const QPoint offset((device.width() - enlarged.width()) / 2, (device.height() - enlarged.height()) / 2);
    // Only the picture's pixels under the part exposed.
    const QRect exposedDevice(QPoint(static_cast<int>(exposed.x() * ratio), static_cast<int>(exposed.y() * ratio)),
                              QSize(static_cast<int>(std::ceil(exposed.width() * ratio)) + 1,
                                    static_cast<int>(std::ceil(exposed.height() * ratio)) + 1));
    const QRect blocks = exposedDevice.translated(-offset) & QRect(QPoint(0, 0), enlarged);
    if (blocks.isEmpty())
        return;
    const QRect pixels(QPoint(blocks.left() / block, blocks.top() / block),
                       QPoint(blocks.right() / block, blocks.bottom() / block));
    QImage piece = enlarge(shown_, pixels, block);
    piece.setDevicePixelRatio(ratio);
    painter.drawImage(
        QPointF((offset.x() + pixels.x() * block) / ratio, (offset.y() + pixels.y() * block) / ratio), piece);
}

// The last figure drawn again, placed as the zoom now asks: moved or
// enlarged as a sketch until the new one comes.
void StageView::paintRedrawn(QPainter& painter)
{
    if (!rendered_)
        return;
    const qreal ratio = devicePixelRatioF();
    const double factor = scale() / rendered_->scale;
    const QPointF at(rendered_->origin.x() * factor - origin_.x(), rendered_->origin.y() * factor - origin_.y());
    QImage image = rendered_->image;
    if (factor == 1) {
        image.setDevicePixelRatio(ratio);
        painter.drawImage(at / ratio, image);
        return;
    }
    const QRectF target(at / ratio, QSizeF(image.size()) * factor / ratio);
    painter.drawImage(target, image);
}

void StageView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    shown_ = QImage();
    if (mode_ == Mode::Redrawn) {
        if (step_ == 0) {
            placeWhole();
        } else {
            const qreal ratio = devicePixelRatioF();
            const QSize before(static_cast<int>(event->oldSize().width() * ratio),
                               static_cast<int>(event->oldSize().height() * ratio));
            const QSize device = deviceSize(), whole = wholeAt(scale());
            // The scale follows the size; the centre stays where it was.
            const double u = (origin_.x() + before.width() / 2.0) / std::max(1, whole.width());
            const double v = (origin_.y() + before.height() / 2.0) / std::max(1, whole.height());
            origin_ = QPoint(static_cast<int>(u * whole.width() - device.width() / 2.0),
                             static_cast<int>(v * whole.height() - device.height() / 2.0));
        }
        requestRedraw();
    }
    emit zoomChanged();
}

void StageView::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta != 0)
        zoom(delta > 0 ? 1 : -1, event->position());
    event->accept();
}

void StageView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && mode_ == Mode::Redrawn)
        dragFrom_ = event->position().toPoint();
    QWidget::mousePressEvent(event);
}

void StageView::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragFrom_)
        return;
    const QPoint now = event->position().toPoint();
    const qreal ratio = devicePixelRatioF();
    origin_ -= QPoint(qRound((now.x() - dragFrom_->x()) * ratio), qRound((now.y() - dragFrom_->y()) * ratio));
    dragFrom_ = now;
    update();
    requestRedraw();
}

void StageView::mouseReleaseEvent(QMouseEvent* event)
{
    dragFrom_.reset();
    QWidget::mouseReleaseEvent(event);
}

void StageView::mouseDoubleClickEvent(QMouseEvent*) { emit doubleClicked(); }

}  // namespace velmoran::window
