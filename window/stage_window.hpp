#pragma once

// "Vista ingrandita", the lesson's stage: a window of its own, resizable and
// full screen, with the lesson's controls in a toolbar, a status line in
// plain Italian, and the drawing area's picture either with its pixels
// enlarged or the figure drawn again at the view's size, zoomed and panned.

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include "texts/user_texts.hpp"
#include "window/stage_view.hpp"

class QAction;
class QComboBox;
class QLabel;
class QTimer;

namespace velmoran::window {

// The stage sees the window's controls as it offers them. The window
// (MainWindow) is the one place a press runs and its errors are caught:
// the stage only asks it.
class StageHost : public PictureSource {
public:
    // Presses `figure` as its button does, with `count` in the count box.
    virtual void pressFromStage(Figure figure, const QString& count) = 0;
    // The count box the stage's own follows, and the other way round.
    virtual QComboBox& countBox() = 0;
    // Everything the status line says but the view's size.
    virtual texts::StageFacts stageFacts() const = 0;
    // The pace's four choices, "Passo successivo", "Livello dopo livello",
    // the stop, the figure's numbers and the animation's export, shared
    // with the window's menu and keys.
    struct LessonActions {
        QList<QAction*> paces;
        QAction* levelByLevel;
        QAction* stop;
        QAction* step;
        QAction* numbers;
        QAction* animation;
    };
    virtual LessonActions lessonActions() = 0;
    // Every command of the window, whose keys work in the stage too.
    virtual QList<QAction*> windowKeyActions() = 0;

protected:
    ~StageHost() = default;
};

class StageWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit StageWindow(StageHost& host, QWidget* parent = nullptr);
    ~StageWindow() override;

    // Shows the stage with the picture at least twice its size, full
    // screen where a window that large would not fit.
    void showLarge();
    StageView& view() { return *view_; }
    QString statusText() const;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createToolBars();
    QAction* stageAction(const char* caption, const char* keyWords, const QList<QKeySequence>& keys);
    void toggleFullScreen();
    void showStatus();
    void pressFigure(Figure figure);

    StageHost& host_;
    StageView* view_ = nullptr;
    QComboBox* count_ = nullptr;
    QLabel* status_ = nullptr;
    QAction* step_ = nullptr;
    QAction* stop_ = nullptr;
    QAction* pixels_ = nullptr;
    QAction* redrawn_ = nullptr;
    QList<QAction*> zoomActions_;
    QTimer* statusTimer_ = nullptr;
    bool opened_ = false;
};

}  // namespace velmoran::window
