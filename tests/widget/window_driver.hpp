#pragma once

// What the window tests and the soak share: dialogs that record instead of
// asking, clicks that travel Qt's mouse event path, a driver that presses
// buttons from inside a chosen yieldToEvents call of a drawing, and the picture
// the trace engine predicts for the same presses.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QEvent>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include "texts/user_texts.hpp"
#include "tools/trace_run.hpp"
#include "window/main_window.hpp"
#include "window/offscreen_press.hpp"

class QAbstractButton;

namespace velmoran::test {

struct DialogLog {
    QStringList errors;
    QStringList questions;
    int fileQuestions = 0;
    // The folders the save dialog started in and the names it proposed, the
    // texts of about boxes, and of the figure's numbers with their table as
    // copied.
    QStringList imageFolders;
    QStringList imageNames;
    QStringList abouts;
    QStringList numbers;
    // What the question about saving an unfinished picture offered besides
    // PNG, each time.
    QStringList unfinishedOffers;
    // The answers given; the save dialog's from `imageFiles` first.
    bool answerYes = false;
    QString pdfFile;
    QStringList imageFiles;
    QString imageFile;
    window::UnfinishedChoice unfinishedChoice = window::UnfinishedChoice::Nothing;
    // The print dialog: how it sets the printer up, and what it answers.
    std::function<void(QPrinter&)> printTo;
    std::optional<window::PrintChoice> printChoice;
    // Runs inside showError, after the text is recorded.
    std::function<void()> onError;
};

class RecordingDialogs final : public window::UserDialogs {
public:
    explicit RecordingDialogs(DialogLog& log) : log_(log) {}
    void showError(const QString& text) override
    {
        log_.errors << text;
        if (log_.onError)
            log_.onError();
    }
    bool askYesNo(const QString& text) override
    {
        log_.questions << text;
        return log_.answerYes;
    }
    QString askPdfFileName() override
    {
        ++log_.fileQuestions;
        return log_.pdfFile;
    }
    QString askImageFileName(const QString& folder, const QString& name) override
    {
        log_.imageFolders << folder;
        log_.imageNames << name;
        return log_.imageFiles.isEmpty() ? log_.imageFile : log_.imageFiles.takeFirst();
    }
    window::UnfinishedChoice askUnfinishedVectors(const QString& finishedFigure) override
    {
        log_.unfinishedOffers << finishedFigure;
        return log_.unfinishedChoice;
    }
    std::optional<window::PrintChoice> askPrint(QPrinter& printer) override
    {
        if (log_.printTo)
            log_.printTo(printer);
        return log_.printChoice;
    }
    void showAbout(const QString& title, const QString& text) override { log_.abouts << title + '\n' + text; }
    void showFigureNumbers(const QString& text, const texts::Table& levels) override
    {
        log_.numbers << text + '\n' + QString::fromStdString(texts::tabSeparated(levels));
    }

private:
    DialogLog& log_;
};

// A window as the tests meet it: its dialogs recorded in `log`, and the
// program's end noted instead of done: how often, and the picture and the
// renderer invocations at that moment. Shown, though maybe not yet exposed.
struct DrivenWindow {
    explicit DrivenWindow(picture::PumpTiming timing = {});

    DialogLog log;
    int endings = 0;
    QImage pictureAtEnd;
    int nestingAtEnd = -1;
    window::MainWindow window;  // last: it holds the dialogs that write to `log`
};

// Runs `action` at the first yield of the press that follows, if one comes
// before this object goes.
class AtNextYield {
public:
    explicit AtNextYield(std::function<void()> action);

private:
    QTimer timer_;
};

QAbstractButton* figureButton(window::MainWindow& window, Figure figure);
QAbstractButton* buttonNamed(window::MainWindow& window, const char* name);
void setSelectorText(window::MainWindow& window, const std::string& text);

// A left click sent through QApplication::notify, as a person's click is
// delivered: the button goes down, then its release clicks it.
void clickByMouse(QAbstractButton& button);

// The same click posted, to be delivered by whichever event processing
// comes next (in a drawing, its next yieldToEvents).
void postClick(QAbstractButton& button);

// Presses the button of a trace action, its selector text typed first.
void press(window::MainWindow& window, const TraceAction& action);
// Types `text` in the count box and clicks the figure's button by mouse.
void press(window::MainWindow& window, Figure figure, const std::string& text);

// Presses the buttons of a trace script from inside the yieldToEvents calls that
// the trace tool's --at counts. The window's pump must hand events over at
// every call (PumpTiming::everyCall()); this object keeps one event of its
// own posted, so each call delivers it exactly once, and it presses from
// that delivery what is due at that call.
class YieldScript final : public QObject {
public:
    YieldScript(window::MainWindow& window, std::vector<TraceAction> script);

    // The first press, made as the person would; returns when it has.
    void run(Figure figure, const std::string& text);

    std::uint64_t calls() const { return calls_; }
    // The buttons pressed, in order, the first one included (at call 0).
    const std::vector<TraceAction>& pressed() const { return pressed_; }
    int pressedOf(TraceAction::Kind kind) const;
    // Most figure presses running at once, the first one included.
    int deepestPresses() const { return deepestPresses_; }
    // Most renderer invocations active at a yieldToEvents call.
    int deepestNesting() const { return deepestNesting_; }

protected:
    bool event(QEvent* event) override;

private:
    window::MainWindow& window_;
    std::vector<TraceAction> script_;
    std::size_t next_ = 0;
    std::uint64_t calls_ = 0;
    std::vector<TraceAction> pressed_;
    int running_ = 0;
    int deepestPresses_ = 0;
    int deepestNesting_ = 0;
};

// What the trace engine says the same presses give on a drawing area like
// the window's.
struct Prediction {
    QImage picture;
    std::uint64_t yields = 0;
    int prints = 0;
    bool ended = false;
    QStringList errors;  // as the window reports them
};
Prediction predict(window::MainWindow& window, const TraceRequest& request);

// The trace tool's command line for a request, to replay a failure.
std::string traceCommand(const TraceRequest& request);

// Notes each paint of the window's drawing area: how many, and the picture
// the last one showed.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(window::MainWindow& window);
    bool eventFilter(QObject*, QEvent* event) override;

    int paints = 0;
    QImage shown;

private:
    const picture::RasterSurface& surface_;
};

// The export's event service, pacing its leaves: runs `atLeaf` in the wait
// before each one, as a paced drawing lets a click run there.
class AtEveryLeaf final : public window::ExportEvents {
public:
    AtEveryLeaf(WindowState& state, std::function<void()> atLeaf) : ExportEvents(state), atLeaf_(std::move(atLeaf)) {}
    bool beforeLeaf()
    {
        atLeaf_();
        return false;
    }

private:
    std::function<void()> atLeaf_;
};

// Pixels of `image` in `colour`.
int countColour(const QImage& image, QRgb colour);

// A file's bytes; none if it cannot be read.
QByteArray contents(const QString& path);

// A printer that writes a PDF file.
std::unique_ptr<QPrinter> pdfPrinter(const QString& file);
// A whole PDF document: its header and its end-of-file mark.
bool isCompletePdf(const QString& file);

}  // namespace velmoran::test
