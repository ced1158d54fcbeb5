#include "window_driver.hpp"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMouseEvent>

#include "picture/raster_surface.hpp"
#include "texts/user_texts.hpp"
#include "window/drawing_area.hpp"
#include "window/window_layout.hpp"

namespace velmoran::test {

DrivenWindow::DrivenWindow(picture::PumpTiming timing)
{
    window.setDialogs(std::make_unique<RecordingDialogs>(log));
    window.setEndProgram([this] {
        ++endings;
        pictureAtEnd = window.surface().image().copy();
        nestingAtEnd = window.state().nesting;
    });
    window.pump().setTiming(timing);
    window.show();
}

AtNextYield::AtNextYield(std::function<void()> action)
{
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, std::move(action));
    timer_.start(0);
}

QAbstractButton* buttonNamed(window::MainWindow& window, const char* name)
{
    return window.findChild<QAbstractButton*>(QString::fromLatin1(name));
}

QAbstractButton* figureButton(window::MainWindow& window, Figure figure)
{
    return buttonNamed(window, window::layout::placeOf(window::layout::buttonOf(figure)).objectName);
}

void setSelectorText(window::MainWindow& window, const std::string& text)
{
    window.findChild<QComboBox*>(QStringLiteral("Combo1"))->setEditText(QString::fromStdString(text));
}

namespace {

std::unique_ptr<QMouseEvent> mouseEvent(QAbstractButton& button, QEvent::Type type)
{
    const QPointF at = QRectF(button.rect()).center();
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    return std::make_unique<QMouseEvent>(type, at, button.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
}

}  // namespace

void clickByMouse(QAbstractButton& button)
{
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QApplication::sendEvent(&button, mouseEvent(button, type).get());
}

void postClick(QAbstractButton& button)
{
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(&button, mouseEvent(button, type).release());
}

void press(window::MainWindow& window, Figure figure, const std::string& text)
{
    setSelectorText(window, text);
    clickByMouse(*figureButton(window, figure));
}

void press(window::MainWindow& window, const TraceAction& action)
{
    switch (action.kind) {
    case TraceAction::Kind::Press: press(window, action.figure, action.text); break;
    case TraceAction::Kind::Print: clickByMouse(*buttonNamed(window, "Command6")); break;
    case TraceAction::Kind::Exit: clickByMouse(*buttonNamed(window, "Command5")); break;
    }
}

namespace {
const QEvent::Type kTick = static_cast<QEvent::Type>(QEvent::registerEventType());
}  // namespace

YieldScript::YieldScript(window::MainWindow& window, std::vector<TraceAction> script)
    : window_(window), script_(std::move(script))
{
    // The trace runs the actions of one call in the order given.
    std::stable_sort(script_.begin(), script_.end(),
                     [](const TraceAction& a, const TraceAction& b) { return a.at < b.at; });
    QCoreApplication::postEvent(this, new QEvent(kTick));
}

int YieldScript::pressedOf(TraceAction::Kind kind) const
{
    return static_cast<int>(std::count_if(pressed_.begin(), pressed_.end(),
                                          [kind](const TraceAction& a) { return a.kind == kind; }));
}

void YieldScript::run(Figure figure, const std::string& text)
{
    TraceAction first;
    first.figure = figure;
    first.text = text;
    pressed_.push_back(first);
    running_ = 1;
    deepestPresses_ = std::max(deepestPresses_, 1);
    press(window_, figure, text);
    running_ = 0;
}

bool YieldScript::event(QEvent* event)
{
    if (event->type() != kTick)
        return QObject::event(event);
    ++calls_;
    deepestNesting_ = std::max(deepestNesting_, window_.state().nesting);
    // Every action due now is taken before any runs: a press made here runs
    // yieldToEvents calls of its own, which must not take this call's actions.
    const std::size_t first = next_;
    while (next_ < script_.size() && script_[next_].at == calls_)
        ++next_;
    const std::size_t last = next_;
    // Posted before those presses, so that their own yieldToEvents calls find it.
    QCoreApplication::postEvent(this, new QEvent(kTick));
    for (std::size_t i = first; i < last && !window_.state().ending; ++i) {
        const TraceAction& action = script_[i];
        pressed_.push_back(action);
        if (action.kind == TraceAction::Kind::Press)
            deepestPresses_ = std::max(deepestPresses_, ++running_);
        press(window_, action);
        if (action.kind == TraceAction::Kind::Press)
            --running_;
    }
    return true;
}

namespace {

// Draws what the engine draws, the way the window does, and keeps the rest.
class PictureSink final : public TraceSink {
public:
    PictureSink(picture::RasterSurface& surface, Prediction& out) : surface_(surface), out_(out) {}
    void clear() override { surface_.clear(); }
    void drawingColour(Colour colour) override { surface_.setDrawingColour(colour); }
    void solidLines() override { surface_.useSolidLines(); }
    void line(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) override
    {
        surface_.drawLine(kind, x1, y1, x2, y2, colour);
    }
    void yielded() override { ++out_.yields; }
    void print() override { ++out_.prints; }
    void end() override { out_.ended = true; }
    void error(ErrorKind kind) override { out_.errors << QString::fromStdString(texts::pressError(kind)); }

private:
    picture::RasterSurface& surface_;
    Prediction& out_;
};

}  // namespace

Prediction predict(window::MainWindow& window, const TraceRequest& request)
{
    const auto* box = window.findChild<window::DrawingArea*>(QStringLiteral("Picture1"));
    picture::RasterSurface surface(box->contentsRect().size(), box->devicePixelRatioF(), window.surface().background());
    Prediction prediction;
    PictureSink sink(surface, prediction);
    runTrace(request, sink);
    prediction.picture = surface.image().copy();
    return prediction;
}

std::string traceCommand(const TraceRequest& request)
{
    const auto quoted = [](const std::string& text) {
        return "'" + QString::fromStdString(text).replace('\'', QStringLiteral("'\\''")).toStdString() + "'";
    };
    const auto number = [](double v) { return QString::number(v, 'g', 9).toStdString(); };
    std::string command = "velmoran-trace --size " + number(request.width) + " " + number(request.height);
    for (const TraceAction& a : request.actions) {
        command += " --at " + std::to_string(a.at) + " ";
        switch (a.kind) {
        case TraceAction::Kind::Press: command += traceWord(a.figure) + (" " + quoted(a.text)); break;
        case TraceAction::Kind::Print: command += "stampa"; break;
        case TraceAction::Kind::Exit: command += "esci"; break;
        }
    }
    return command + " " + traceWord(request.figure) + " " + quoted(request.text);
}

PaintWatch::PaintWatch(window::MainWindow& window) : surface_(window.surface())
{
    window.findChild<QWidget*>(QStringLiteral("Picture1"))->installEventFilter(this);
}

bool PaintWatch::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        ++paints;
        shown = surface_.image().copy();
    }
    return false;
}

int countColour(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<QPrinter> pdfPrinter(const QString& file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    return printer;
}

bool isCompletePdf(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 64 || f.read(5) != "%PDF-")
        return false;
    f.seek(f.size() - 64);
    return f.read(64).contains("%%EOF");
}

}  // namespace velmoran::test
