#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include <QPointer>
#include <QWidget>

#include "core/press.hpp"
#include "fractals/figure_table.hpp"
#include "picture/qt_event_pump.hpp"
#include "printing/print_job.hpp"
#include "window/stage_window.hpp"
#include "window/user_dialogs.hpp"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;

namespace velmoran::picture {
class RasterSurface;
}  // namespace velmoran::picture

namespace velmoran::window {

class ClassicButton;
class DrawingArea;
class GuideWindow;

// The program's one window: the drawing area, a button per figure, the
// count selector, "Esci" and "Stampa", and two labels, at fixed places.
//
// Every handler is the last stop for its press's errors: a failed press is
// reported in a message box and abandoned, the window goes on. "Esci" (or
// closing the window) marks the program as ending, so that every drawing in
// progress unwinds at its next yield without drawing another line, hides
// the window and asks the event loop to finish.
//
// Keys and the drawing area's context menu save, copy or stop the picture,
// print, end the program, set the drawing's pace, draw level by level, show
// the picture enlarged, tell the figure's numbers, the guide and what the
// program is; nothing of them shows until used.
class MainWindow final : public QWidget, private StageHost {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // What ends the program; by default the event loop is told to return 0.
    void setEndProgram(std::function<void()> endProgram) { endProgram_ = std::move(endProgram); }
    void setDialogs(std::unique_ptr<UserDialogs> dialogs) { dialogs_ = std::move(dialogs); }
    // Where "Stampa" prints; by default the system's default printer.
    void setPrinterChoice(printing::PrinterChoice choice) { choosePrinter_ = std::move(choice); }

    picture::RasterSurface& surface();
    const WindowState& state() const { return state_; }
    picture::QtEventPump& pump() { return *pump_; }
    // How the latest press that finished ended.
    PressOutcome lastOutcome() const { return lastOutcome_; }
    // "Vista ingrandita", the lesson's stage, where it was opened.
    StageWindow* stage() const { return stage_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A figure button pressed with a count.
    struct PressedFigure {
        Figure figure;
        int count;
    };

    void setUpWindow();
    void createDrawingArea();
    void createFigureButtons();
    void createCountSelector();
    void createCommandButtons();
    void createSiteLabel();
    void setUpTabOrder();
    void connectButtons();
    void createActions();
    void loadState();

    void pressFigure(Figure figure) noexcept;
    void printWindowContents() noexcept;
    void printWithChoices() noexcept;
    void endProgram() noexcept;
    void saveImage() noexcept;
    void copyImage() noexcept;
    // The file the picture is saved in, and the figure its vectors draw:
    // where the area shows no one finished figure, the person chooses PNG
    // or the last finished figure. No file when they declined.
    std::pair<QString, std::optional<PressedFigure>> askWhereToSave(const QString& folder);
    // Notes what the area shows after a press of `pressed` (none where its
    // count was refused) that found the area cleared `clearsBefore` times.
    void notePicture(const std::optional<PressedFigure>& pressed, std::uint64_t clearsBefore, PressOutcome outcome);
    // What the picture is named by in the save dialog and the figure's
    // numbers: the figure it shows, or else the last one drawn on it.
    std::optional<PressedFigure> namedFigure() const;
    void stopDrawingsInProgress() noexcept;
    void showAbout() noexcept;
    void pressLevelByLevel(Figure figure, std::string_view text);
    PressOutcome pressOnce(Figure figure, std::string_view text);
    void drawNextStep() noexcept;
    // The drawing's pace, as chosen, kept for the next run too.
    void setPace(picture::Pace pace) noexcept;
    void showLargeView() noexcept;
    // What the stage asks of the window (StageHost).
    const picture::RasterSurface& picture() const override;
    DrawingArea& pictureArea() override;
    std::optional<std::pair<Figure, int>> finishedFigure() const override;
    void pressFromStage(Figure figure, const QString& count) override;
    QComboBox& countBox() override { return *countBox_; }
    texts::StageFacts stageFacts() const override;
    LessonActions lessonActions() override;
    QList<QAction*> windowKeyActions() override { return actions(); }
    void showFigureNumbers() noexcept;
    void showGuide() noexcept;
    // "Esporta l'animazione…" of the figure last pressed, to `file` or
    // where the person chooses.
    void exportAnimation() noexcept { exportAnimationTo({}); }
    void exportAnimationTo(const QString& file) noexcept;
    QAction* createPaceMenu();
    void showPace(picture::Pace pace);
    // The drawing area's tooltip and the site label's words, for the pace,
    // a paced drawing running and a step awaited.
    void showDrawingStatus();
    // Whether a drawing waits for a step: "Passo successivo" is enabled
    // only then, and the site label says so.
    void showStepAwaited(bool awaited) noexcept;
    class BusyWhileDrawing;
    int busyScopes_ = 0;
    void report(const QString& text) noexcept;

    QByteArray countText() const;
    void showCountInToolTip() noexcept;
    void showBusy(bool busy);

    WindowState state_;
    PressOutcome lastOutcome_;

    DrawingArea* drawingArea_ = nullptr;
    std::array<ClassicButton*, kFigureCount> figureButtons_{};
    QComboBox* countBox_ = nullptr;
    QLabel* countLabel_ = nullptr;
    ClassicButton* exitButton_ = nullptr;
    ClassicButton* printButton_ = nullptr;
    QLabel* siteLabel_ = nullptr;
    QAction* stopAction_ = nullptr;
    QActionGroup* paceChoices_ = nullptr;
    QAction* stepAction_ = nullptr;
    QAction* levelByLevel_ = nullptr;
    QPointer<StageWindow> stage_;
    QAction* numbersAction_ = nullptr;
    QAction* animationAction_ = nullptr;
    // Where the drawing is: the paced leaves counted when the press drawing
    // now began, and the level of a sequence of levels (-1 outside one).
    std::uint64_t leavesFrom_ = 0;
    int level_ = -1;
    int lastLevel_ = 0;
    QPointer<GuideWindow> guide_;

    // The latest press that drew to its end, and the one that drew last: a
    // nested press hands that back to the press it interrupted.
    std::optional<PressedFigure> lastFinished_;
    std::optional<PressedFigure> lastDrawn_;
    // Whether the area shows exactly `shown_` (blank where it is empty), as
    // its vectors draw it again: true after a press that finished with no
    // other drawing on the picture since it began, nor after.
    bool pictureKnown_ = true;
    std::optional<PressedFigure> shown_;
    // The figure button pressed last, whatever came of it: the animation's.
    std::optional<Figure> lastPressed_;
    // How many times the drawings were stopped: a sequence of levels ends
    // with a stop between two of them.
    std::uint64_t stops_ = 0;

    std::unique_ptr<picture::QtEventPump> pump_;
    std::unique_ptr<UserDialogs> dialogs_;
    std::function<void()> endProgram_;
    printing::PrinterChoice choosePrinter_;
    std::shared_ptr<printing::PrintQueue> printQueue_;
    // Follows the jobs queued, and reports what goes wrong with them later.
    printing::JobWatch* jobWatch_ = nullptr;
};

}  // namespace velmoran::window
