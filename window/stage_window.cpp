#include "window/stage_window.hpp"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "fractals/figure_table.hpp"
#include "texts/user_texts.hpp"

namespace velmoran::window {

namespace {

QString italian(const char* words) { return QString::fromUtf8(words); }
QString italian(const std::string& words) { return QString::fromStdString(words); }

// Large enough to read across a classroom and to touch.
constexpr int kControlPoints = 12;
constexpr int kControlHeight = 40;

// A figure's word in the toolbar, capitalised: "Triangolo".
QString figureWord(Figure figure)
{
    QString word = italian(figureInfo(figure).traceWord);
    word[0] = word[0].toUpper();
    return word;
}

constexpr const char* kFigureKeys[] = {"F5", "F6", "F7", "F8"};
static_assert(std::size(kFigureKeys) == kFigureCount, "every figure has its key on the stage");

// How often the status line looks at the drawing.
constexpr int kStatusMilliseconds = 100;

}  // namespace

StageWindow::StageWindow(StageHost& host, QWidget* parent) : QMainWindow(parent, Qt::Window), host_(host)
{
    setObjectName(QStringLiteral("LargeView"));
    setWindowTitle(italian(texts::kLargeViewEntry));
    setAccessibleName(italian(texts::kLargeViewEntry));
    view_ = new StageView(host, this);
    setCentralWidget(view_);
    createToolBars();

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StageStatus"));
    status_->setTextFormat(Qt::PlainText);
    QFont font = status_->font();
    font.setPointSizeF(kControlPoints);
    status_->setFont(font);
    statusBar()->addWidget(status_, 1);
    statusBar()->setSizeGripEnabled(true);

    // Every key of the window works here too; F11 and, in full screen, Esc
    // the stage claims first (event()).
    addActions(host_.windowKeyActions());
    statusTimer_ = new QTimer(this);
    statusTimer_->setInterval(kStatusMilliseconds);
    connect(statusTimer_, &QTimer::timeout, this, &StageWindow::showStatus);
    connect(view_, &StageView::zoomChanged, this, &StageWindow::showStatus);
    connect(view_, &StageView::doubleClicked, this, &StageWindow::toggleFullScreen);
    showStatus();
    view_->setFocus();
}

StageWindow::~StageWindow() = default;

QAction* StageWindow::stageAction(const char* caption, const char* keyWords, const QList<QKeySequence>& keys)
{
    auto* action = new QAction(italian(caption), this);
    action->setShortcuts(keys);
    action->setToolTip(italian(texts::withKey(caption, keyWords)));
    addAction(action);
    return action;
}

void StageWindow::createToolBars()
{
    QFont font = this->font();
    font.setPointSizeF(kControlPoints);
    auto makeBar = [&](const char* name) {
        auto* bar = new QToolBar(italian(name), this);
        bar->setObjectName(italian(name));
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
        bar->setFont(font);
        bar->setMinimumHeight(kControlHeight);
        addToolBar(Qt::TopToolBarArea, bar);
        return bar;
    };
    auto addTo = [&](QToolBar* bar, QAction* action) {
        bar->addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
            button->setMinimumHeight(kControlHeight);
    };

    QToolBar* lesson = makeBar("Lezione");
    for (const FigureInfo& figure : kFigures) {
        const auto i = static_cast<std::size_t>(figure.id);
        QAction* press = stageAction(texts::figureCaption(figure.id), kFigureKeys[i],
                                     {QKeySequence::fromString(QString::fromLatin1(kFigureKeys[i]))});
        press->setText(figureWord(figure.id));
        press->setToolTip(italian(texts::withKey(texts::figureToolTip(figure.id), kFigureKeys[i])));
        connect(press, &QAction::triggered, this, [this, id = figure.id] { pressFigure(id); });
        addTo(lesson, press);
    }
    count_ = new QComboBox(this);
    count_->setObjectName(QStringLiteral("StageCount"));
    count_->setAccessibleName(italian(texts::kStageCountName));
    count_->setToolTip(italian(texts::withKey(texts::kCountLabel, "N")));
    count_->setEditable(true);
    count_->setInsertPolicy(QComboBox::NoInsert);
    count_->setCompleter(nullptr);
    count_->setFont(font);
    count_->setMinimumSize(2 * kControlHeight, kControlHeight);
    for (int i = 0; i <= 10; ++i)
        count_->addItem(QString::number(i));
    // The stage's count is the window's, both ways.
    QComboBox& windowCount = host_.countBox();
    count_->setEditText(windowCount.currentText());
    connect(count_, &QComboBox::editTextChanged, this, [&windowCount](const QString& text) {
        if (windowCount.currentText() != text)
            windowCount.setEditText(text);
    });
    connect(&windowCount, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (count_->currentText() != text)
            count_->setEditText(text);
    });
    lesson->addWidget(count_);
    QAction* toCount = stageAction(texts::kCountLabel, "N", {QKeySequence(Qt::Key_N)});
    connect(toCount, &QAction::triggered, this, [this] {
        count_->setFocus(Qt::ShortcutFocusReason);
        count_->lineEdit()->selectAll();
    });
    lesson->addSeparator();

    const StageHost::LessonActions actions = host_.lessonActions();
    step_ = actions.step;
    step_->setToolTip(italian(texts::withKey(texts::kNextStepEntry, "Spazio, Destra")));
    addTo(lesson, step_);
    actions.levelByLevel->setToolTip(italian(texts::withKey(texts::kLevelByLevelEntry, "Ctrl+L")));
    addTo(lesson, actions.levelByLevel);
    // Shorter in the toolbar than in the menu, which keeps the action's text.
    actions.stop->setIconText(italian(texts::kStopShort));
    actions.stop->setToolTip(italian(texts::withKey(texts::kStopEntry, "Esc")));
    stop_ = actions.stop;
    addTo(lesson, actions.stop);
    actions.animation->setIconText(italian(texts::kAnimationShort));
    actions.animation->setToolTip(italian(texts::withKey(texts::kExportAnimationEntry, "Ctrl+E")));
    addTo(lesson, actions.animation);

    addToolBarBreak();
    QToolBar* zoom = makeBar("Velocità e ingrandimento");
    static constexpr const char* kPaceKeys[] = {"Ctrl+1", "Ctrl+2", "Ctrl+3", "Ctrl+4"};
    for (qsizetype i = 0; i < actions.paces.size() && i < 4; ++i) {
        QAction* pace = actions.paces[i];
        pace->setToolTip(italian(texts::withKey(pace->text().toUtf8().constData(), kPaceKeys[i])));
        addTo(zoom, pace);
    }
    zoom->addSeparator();
    auto* modes = new QActionGroup(this);
    pixels_ = stageAction(texts::kPixelsEnlarged, "P", {QKeySequence(Qt::Key_P)});
    redrawn_ = stageAction(texts::kRedrawn, "R", {QKeySequence(Qt::Key_R)});
    for (QAction* mode : {pixels_, redrawn_}) {
        mode->setCheckable(true);
        modes->addAction(mode);
        addTo(zoom, mode);
    }
    pixels_->setChecked(true);
    connect(pixels_, &QAction::triggered, this, [this] { view_->setMode(StageView::Mode::PixelsEnlarged); });
    connect(redrawn_, &QAction::triggered, this, [this] { view_->setMode(StageView::Mode::Redrawn); });
    zoom->addSeparator();
    QAction* in = stageAction(texts::kZoomIn, "+", {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)});
    in->setIconText(QStringLiteral("+"));
    connect(in, &QAction::triggered, this, [this] { view_->zoom(1); });
    QAction* out = stageAction(texts::kZoomOut, "-", {QKeySequence(Qt::Key_Minus)});
    out->setIconText(QStringLiteral("−"));
    connect(out, &QAction::triggered, this, [this] { view_->zoom(-1); });
    QAction* whole = stageAction(texts::kWholeFigure, "0", {QKeySequence(Qt::Key_0)});
    whole->setIconText(italian(texts::kWholeShort));
    connect(whole, &QAction::triggered, view_, &StageView::showWhole);
    zoomActions_ = {in, out, whole};
    for (QAction* action : zoomActions_)
        addTo(zoom, action);
    zoom->addSeparator();
    actions.numbers->setIconText(italian(texts::kNumbersShort));
    actions.numbers->setToolTip(italian(texts::withKey(texts::kFigureNumbersEntry, "Ctrl+I")));
    addTo(zoom, actions.numbers);
    // Full screen is F11 or a double click (a double tap), claimed in
    // event(): the window's F11 brings the stage up.
}

void StageWindow::pressFigure(Figure figure)
{
    // Handed on as the press it is; the window runs it and reports.
    host_.pressFromStage(figure, count_->currentText());
}

void StageWindow::showLarge()
{
    // Twice the picture, with the toolbars and the status line, where that,
    // framed as the window is, takes at most nine tenths of the screen
    // across and down (not on a 1024 by 768 projector); else full screen.
    if (!isVisible()) {
        const QSize twice = host_.picture().image().deviceIndependentSize().toSize() * 2;
        const QSize chrome = sizeHint() - centralWidget()->sizeHint();
        const QSize wanted(std::max(twice.width(), sizeHint().width()), twice.height() + std::max(0, chrome.height()));
        const QWidget& window = *parentWidget()->window();
        const QSize frame = window.frameGeometry().size() - window.size();
        const QSize room = window.screen()->availableGeometry().size() * 9 / 10;
        resize(wanted.boundedTo(room - frame));
        if (wanted.width() + frame.width() > room.width() || wanted.height() + frame.height() > room.height())
            setWindowState(Qt::WindowFullScreen);
        show();
    }
    // Where its pixels cannot be enlarged, the figure is drawn again at
    // the view's size instead.
    if (!opened_ && view_->enlargement() < 2) {
        redrawn_->setChecked(true);
        view_->setMode(StageView::Mode::Redrawn);
    }
    opened_ = true;
    raise();
    activateWindow();
}

void StageWindow::toggleFullScreen()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

// F11 here toggles full screen rather than bringing the stage up, and Esc
// in full screen leaves it: the stage claims them before any action's keys.
bool StageWindow::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier
            && (key->key() == Qt::Key_F11 || (key->key() == Qt::Key_Escape && isFullScreen()))) {
            event->accept();
            return true;
        }
    }
    return QMainWindow::event(event);
}

void StageWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F11) {
        toggleFullScreen();
        return;
    }
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
        // And what Esc does in the window.
        if (stop_->isEnabled())
            stop_->trigger();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// The status line looks at the drawing only while it can be seen.
void StageWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    statusTimer_->start();
    showStatus();
}

void StageWindow::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    statusTimer_->stop();
}

QString StageWindow::statusText() const { return status_->text(); }

void StageWindow::showStatus()
{
    texts::StageFacts facts = host_.stageFacts();
    facts.redrawn = view_->mode() == StageView::Mode::Redrawn;
    facts.enlargement = view_->enlargement();
    facts.zoom = view_->zoomFactor();
    facts.scale = view_->scale();
    facts.waitingToRedraw = view_->waitingToRedraw();
    facts.redrawing = view_->redrawing();
    facts.tooLong = view_->tooLong();
    step_->setEnabled(facts.stepAwaited);
    const bool canZoom = facts.redrawn && !facts.waitingToRedraw;
    for (QAction* action : zoomActions_)
        action->setEnabled(canZoom);
    const QString text = italian(texts::stageStatus(facts));
    if (status_->text() != text)
        status_->setText(text);
}

}  // namespace velmoran::window
