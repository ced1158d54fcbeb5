#include "window/main_window.hpp"

#include <iterator>
#include <string_view>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>

#include "files/picture_format.hpp"
#include "fractals/press_figure.hpp"
#include "texts/user_texts.hpp"
#include "window/animation_export.hpp"
#include "window/appearance.hpp"
#include "window/classic_button.hpp"
#include "window/drawing_area.hpp"
#include "window/guide_window.hpp"
#include "window/stage_window.hpp"
#include "window/offscreen_press.hpp"
#include "window/picture_writing.hpp"
#include "window/print_window.hpp"
#include "window/window_layout.hpp"

namespace velmoran::window {

namespace {

const QColor kWindowColour(224, 224, 224);
const QColor kFigureButtonFace(192, 64, 0);
const QColor kSiteLabelBackground(192, 192, 192);
const QColor kSiteLabelText(0, 0, 255);

constexpr double kFigureCaptionPoints = 9.75;
constexpr double kLargeCaptionPoints = 12;

// Names the control as tests and accessibility tools find it, and puts it
// where the layout says.
template <class Widget>
Widget* place(Widget* widget, layout::Control control, const char* accessibleName)
{
    const layout::ControlPlace& where = layout::placeOf(control);
    widget->setObjectName(QString::fromUtf8(where.objectName));
    widget->setAccessibleName(QString::fromUtf8(accessibleName));
    widget->setGeometry(where.geometry);
    return widget;
}

QString italian(const char* words) { return QString::fromUtf8(words); }
QString italian(const std::string& words) { return QString::fromStdString(words); }

void paintBackground(QWidget& widget, const QColor& background, const QColor& text)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

// Shows the window `held` keeps, made by `make` the first time, in front.
template <class Window, class Make>
void bringUp(QPointer<Window>& held, Make&& make)
{
    if (!held)
        held = make();
    held->show();
    held->raise();
    held->activateWindow();
}

// The paces' names, in Pace's order; Ctrl+1 chooses the first.
constexpr const char* kPaceNames[] = {texts::kPaceImmediate, texts::kPaceFast, texts::kPaceSlow,
                                      texts::kPaceStepByStep};
static_assert(std::size(kPaceNames) == static_cast<std::size_t>(picture::Pace::StepByStep) + 1,
              "every pace has its name");

const char* const kSaveFolderKey = "saveFolder";
const char* const kPaceKey = "pace";

// The last folder a picture was saved in, while it exists; else Pictures.
QString saveFolder(const QSettings& settings)
{
    const QString last = settings.value(QString::fromLatin1(kSaveFolderKey)).toString();
    if (!last.isEmpty() && QDir(last).exists())
        return last;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QDir(pictures).exists() ? pictures : QDir::homePath();
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      endProgram_([] { QCoreApplication::exit(0); }),
      choosePrinter_(printing::systemDefaultPrinter),
      printQueue_(printing::makeCupsQueue())
{
    // Made in the layout's order, which decides what is drawn on top.
    setUpWindow();
    createDrawingArea();
    createFigureButtons();
    createCountSelector();
    createCommandButtons();
    createSiteLabel();
    setUpTabOrder();
    connectButtons();
    createActions();
    loadState();
}

MainWindow::~MainWindow() = default;

picture::RasterSurface& MainWindow::surface() { return drawingArea_->surface(); }

void MainWindow::setUpWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(italian(texts::kWindowTitle));
    setAccessibleName(italian(texts::kWindowTitle));
    setWindowIcon(programIcon());
    setFixedSize(layout::kWindowSize);
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, kWindowColour);
    setPalette(windowPalette);
    setAutoFillBackground(true);
    dialogs_ = std::make_unique<MessageBoxDialogs>(this);
    jobWatch_ = new printing::JobWatch([this](const QString& text) { report(text); }, printing::kJobPatience, this);
}

void MainWindow::createDrawingArea()
{
    drawingArea_ = place(new DrawingArea(layout::placeOf(layout::Control::DrawingArea).geometry, this),
                         layout::Control::DrawingArea, texts::kDrawingAreaName);
    pump_ = std::make_unique<picture::QtEventPump>(drawingArea_);
}

void MainWindow::createFigureButtons()
{
    const QFont font = classicFont(kFigureCaptionPoints);
    for (const FigureInfo& figure : kFigures) {
        const char* caption = texts::figureCaption(figure.id);
        auto* button = place(new ClassicButton(italian(caption), kFigureButtonFace, this), layout::buttonOf(figure.id),
                             caption);
        button->setFont(font);
        button->setToolTip(italian(texts::figureToolTip(figure.id)));
        figureButtons_[static_cast<std::size_t>(figure.id)] = button;
    }
}

void MainWindow::createCountSelector()
{
    const QFont font = classicFont(kLargeCaptionPoints);
    countBox_ = place(new QComboBox(this), layout::Control::CountBox, texts::kCountBoxName);
    countBox_->setFont(font);
    countBox_->setEditable(true);
    // The list offers counts; what is typed stays typed, never added to it
    // nor completed from it.
    countBox_->setInsertPolicy(QComboBox::NoInsert);
    countBox_->setCompleter(nullptr);
    for (int i = 0; i <= 10; ++i)
        countBox_->addItem(QString::number(i));
    countBox_->setCurrentIndex(-1);
    connect(countBox_, &QComboBox::editTextChanged, this, &MainWindow::showCountInToolTip);
    countBox_->setEditText(QStringLiteral("0"));

    countLabel_ = place(new QLabel(italian(texts::kCountLabel), this), layout::Control::CountLabel, texts::kCountLabel);
    countLabel_->setFont(font);
    countLabel_->setTextFormat(Qt::PlainText);
    countLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    countLabel_->setWordWrap(true);
    const QPalette system = QApplication::palette();
    paintBackground(*countLabel_, system.color(QPalette::Button), system.color(QPalette::WindowText));
}

void MainWindow::createCommandButtons()
{
    const QFont font = classicFont(kLargeCaptionPoints);
    auto standardButton = [&](layout::Control control, const char* caption) {
        auto* button = place(new ClassicButton(italian(caption), std::nullopt, this), control, caption);
        button->setFont(font);
        return button;
    };
    exitButton_ = standardButton(layout::Control::ExitButton, texts::kExitCaption);
    printButton_ = standardButton(layout::Control::PrintButton, texts::kPrintCaption);
}

void MainWindow::createSiteLabel()
{
    siteLabel_ = place(new QLabel(italian(texts::kSiteLabel), this), layout::Control::SiteLabel, texts::kSiteLabel);
    siteLabel_->setFont(captionFont());
    siteLabel_->setTextFormat(Qt::PlainText);
    siteLabel_->setTextInteractionFlags(Qt::NoTextInteraction);
    siteLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    paintBackground(*siteLabel_, kSiteLabelBackground, kSiteLabelText);
}

void MainWindow::setUpTabOrder()
{
    QWidget* previous = drawingArea_;
    auto next = [&previous](QWidget* widget) {
        QWidget::setTabOrder(previous, widget);
        previous = widget;
    };
    for (ClassicButton* button : figureButtons_)
        next(button);
    next(countBox_);
    next(exitButton_);
    next(printButton_);
    drawingArea_->setFocus();
}

void MainWindow::connectButtons()
{
    for (const FigureInfo& figure : kFigures)
        connect(figureButtons_[static_cast<std::size_t>(figure.id)], &QPushButton::clicked, this,
                [this, id = figure.id] { pressFigure(id); });
    connect(exitButton_, &QPushButton::clicked, this, &MainWindow::endProgram);
    connect(printButton_, &QPushButton::clicked, this, &MainWindow::printWindowContents);
}

void MainWindow::createActions()
{
    auto addShortcut = [this](const char* entry, const QKeySequence& keys, void (MainWindow::*handler)() noexcept) {
        auto* action = new QAction(italian(entry), this);
        action->setShortcut(keys);
        if (handler)
            connect(action, &QAction::triggered, this, handler);
        addAction(action);
        return action;
    };
    QAction* save = addShortcut(texts::kSaveImageEntry, QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::saveImage);
    QAction* copy = addShortcut(texts::kCopyEntry, QKeySequence(Qt::CTRL | Qt::Key_C), &MainWindow::copyImage);
    stopAction_ = addShortcut(texts::kStopEntry, QKeySequence(Qt::Key_Escape), &MainWindow::stopDrawingsInProgress);
    stopAction_->setEnabled(false);
    QAction* print =
        addShortcut(texts::kPrintCaption, QKeySequence(Qt::CTRL | Qt::Key_P), &MainWindow::printWindowContents);
    QAction* printChoices = addShortcut(texts::kPrintChoiceEntry, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P),
                                        &MainWindow::printWithChoices);
    QAction* quit = addShortcut(texts::kExitCaption, QKeySequence(Qt::CTRL | Qt::Key_Q), &MainWindow::endProgram);
    QAction* guide = addShortcut(texts::kGuideEntry, QKeySequence(Qt::Key_F1), &MainWindow::showGuide);
    QAction* about = addShortcut(texts::kAboutEntry, QKeySequence(Qt::SHIFT | Qt::Key_F1), &MainWindow::showAbout);

    QAction* pace = createPaceMenu();
    // Space and the Right arrow step a drawing that waits for a step,
    // whatever has the focus: enabled only then, so that a focused button
    // is never pressed again meanwhile, and pressed as ever otherwise. The
    // count box's text field claims them before any shortcut, to type.
    stepAction_ = addShortcut(texts::kNextStepEntry, QKeySequence(Qt::Key_Space), &MainWindow::drawNextStep);
    stepAction_->setShortcuts({QKeySequence(Qt::Key_Space), QKeySequence(Qt::Key_Right)});
    showStepAwaited(false);
    pump_->setStepAwaitedChanged([this](bool awaited) { showStepAwaited(awaited); });
    levelByLevel_ = addShortcut(texts::kLevelByLevelEntry, QKeySequence(Qt::CTRL | Qt::Key_L), nullptr);
    levelByLevel_->setCheckable(true);
    QAction* large = addShortcut(texts::kLargeViewEntry, QKeySequence(Qt::Key_F11), &MainWindow::showLargeView);
    QAction* numbers =
        addShortcut(texts::kFigureNumbersEntry, QKeySequence(Qt::CTRL | Qt::Key_I), &MainWindow::showFigureNumbers);
    QAction* animation =
        addShortcut(texts::kExportAnimationEntry, QKeySequence(Qt::CTRL | Qt::Key_E), &MainWindow::exportAnimation);
    numbersAction_ = numbers;
    animationAction_ = animation;
    auto separator = [this] {
        auto* line = new QAction(this);
        line->setSeparator(true);
        return line;
    };

    // Every command of the key list, so the menu is the one place to find them.
    drawingArea_->addActions({save, animation, copy, print, printChoices, stopAction_, separator(), pace, stepAction_,
                              levelByLevel_, large, numbers, separator(), guide, about, separator(), quit});
    drawingArea_->setContextMenuPolicy(Qt::ActionsContextMenu);
    countBox_->installEventFilter(this);
    countBox_->lineEdit()->installEventFilter(this);
}

QAction* MainWindow::createPaceMenu()
{
    auto* menu = new QMenu(italian(texts::kPaceMenu), this);
    paceChoices_ = new QActionGroup(this);
    for (std::size_t i = 0; i < std::size(kPaceNames); ++i) {
        auto* choice = new QAction(italian(kPaceNames[i]), paceChoices_);
        choice->setCheckable(true);
        choice->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + static_cast<int>(i))));
        connect(choice, &QAction::triggered, this, [this, i] { setPace(static_cast<picture::Pace>(i)); });
        menu->addAction(choice);
        addAction(choice);
    }
    return menu->menuAction();
}

void MainWindow::loadState()
{
    // A step at a time is never where a run begins: a press there would
    // wait for a key nobody knows to press.
    const int pace = QSettings().value(QString::fromLatin1(kPaceKey), 0).toInt();
    showPace(pace >= 0 && pace < static_cast<int>(picture::Pace::StepByStep) ? static_cast<picture::Pace>(pace)
                                                                             : picture::Pace::Immediate);
    try {
        loadWindowState(state_, drawingArea_->surface());
    } catch (const RuntimeError& error) {
        report(italian(texts::pressError(error.kind())));
    }
}

QByteArray MainWindow::countText() const { return countBox_->currentText().toUtf8(); }

void MainWindow::showCountInToolTip() noexcept
{
    try {
        const QByteArray text = countText();
        try {
            const Int16 count =
                readCount(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
            countBox_->setToolTip(italian(texts::countToolTip(count)));
        } catch (const RuntimeError& error) {
            countBox_->setToolTip(italian(texts::pressError(error.kind())));
        }
    } catch (...) {
        // Only a hint is lost.
    }
}

void MainWindow::showBusy(bool busy)
{
    // The count box's text field has a pointer of its own.
    QLineEdit* countField = countBox_->lineEdit();
    if (busy) {
        setCursor(Qt::BusyCursor);
        countField->setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
        countField->setCursor(Qt::IBeamCursor);
    }
    stopAction_->setEnabled(busy);
    showDrawingStatus();
}

// The busy pointer and Esc while any drawing runs, from the outermost
// press or sequence of levels to its end, however it ends.
class MainWindow::BusyWhileDrawing {
public:
    explicit BusyWhileDrawing(MainWindow& window) : window_(window)
    {
        if (window_.busyScopes_++ == 0)
            window_.showBusy(true);
    }
    ~BusyWhileDrawing()
    {
        if (--window_.busyScopes_ == 0)
            window_.showBusy(false);
    }
    BusyWhileDrawing(const BusyWhileDrawing&) = delete;
    BusyWhileDrawing& operator=(const BusyWhileDrawing&) = delete;

private:
    MainWindow& window_;
};

void MainWindow::pressFigure(Figure figure) noexcept
{
    if (state_.ending)
        return;
    lastPressed_ = figure;
    try {
        const QByteArray text = countText();
        const std::string_view typed(text.constData(), static_cast<std::size_t>(text.size()));
        if (levelByLevel_->isChecked())
            pressLevelByLevel(figure, typed);
        else
            pressOnce(figure, typed);
    } catch (const std::exception& error) {
        report(italian(texts::message(texts::Message::Unexpected, {error.what()})));
    } catch (...) {
        report(italian(texts::message(texts::Message::UnexpectedInDrawing)));
    }
}

PressOutcome MainWindow::pressOnce(Figure figure, std::string_view text)
{
    std::optional<PressedFigure> pressed;
    const std::optional<PressedFigure> interrupted = lastDrawn_;
    try {
        pressed = PressedFigure{figure, readCount(text)};
        lastDrawn_ = pressed;
    } catch (const RuntimeError&) {
        // The press refuses the count itself, and says why.
    }
    const std::uint64_t clears = surface().clears();
    // The parts this press comes to are counted from here; the press it
    // interrupts goes on counting its own after it.
    const std::uint64_t interruptedFrom = leavesFrom_, interruptedLeaves = pump_->leavesPaced();
    leavesFrom_ = interruptedLeaves;
    PressOutcome outcome;
    {
        const BusyWhileDrawing busy(*this);
        pump_->beginPress();
        // A press begun at once stays so, with nothing to pay per leaf; a
        // paced one follows the pace as it is changed.
        if (pump_->pace() == picture::Pace::Immediate) {
            outcome = velmoran::pressFigure(state_, drawingArea_->surface(), *pump_, figure, text);
        } else {
            picture::PacedPump paced(*pump_);
            outcome = velmoran::pressFigure(state_, drawingArea_->surface(), paced, figure, text);
        }
    }
    lastOutcome_ = outcome;
    leavesFrom_ = interruptedFrom;
    pump_->setLeavesPaced(interruptedLeaves);
    if (state_.ending)
        return outcome;
    drawingArea_->update();
    // The press this one interrupted draws next.
    if (state_.runningPresses > 0)
        lastDrawn_ = interrupted;
    notePicture(pressed, clears, outcome);
    if (outcome.status == PressOutcome::Status::Failed)
        report(italian(texts::pressError(outcome.error)));
    return outcome;
}

std::optional<MainWindow::PressedFigure> MainWindow::namedFigure() const
{
    return pictureKnown_ ? shown_ : lastDrawn_;
}

void MainWindow::notePicture(const std::optional<PressedFigure>& pressed, std::uint64_t clearsBefore,
                             PressOutcome outcome)
{
    if (outcome.status == PressOutcome::Status::Done)
        lastFinished_ = pressed;
    const std::uint64_t clears = surface().clears();
    if (clears == clearsBefore)
        return;  // refused before it cleared the area
    // A press that cleared the area again drew on this one's picture, and a
    // press this one interrupted draws on it next.
    pictureKnown_ =
        outcome.status == PressOutcome::Status::Done && clears == clearsBefore + 1 && state_.runningPresses == 0;
    shown_ = pictureKnown_ ? pressed : std::nullopt;
}

void MainWindow::pressLevelByLevel(Figure figure, std::string_view text)
{
    Int16 count = 0;
    try {
        count = readCount(text);
    } catch (const RuntimeError& error) {
        report(italian(texts::pressError(error.kind())));
        return;
    }
    const BusyWhileDrawing busy(*this);
    const std::uint64_t stops = stops_;
    struct Levels {
        int& level;
        ~Levels() { level = -1; }
    } levels{level_};
    lastLevel_ = count;
    for (int level = 0; level <= count; ++level) {
        level_ = level;
        if (pressOnce(figure, std::to_string(level)).status != PressOutcome::Status::Done || level == count)
            return;
        // Each level held for a moment, unless the drawings are stopped.
        if (!pump_->hold(std::chrono::seconds(1)) || stops != stops_ || state_.ending)
            return;
    }
}

void MainWindow::printWindowContents() noexcept
{
    if (state_.ending)
        return;
    try {
        printWindow(*this, choosePrinter_, printQueue_, *jobWatch_, *dialogs_);
    } catch (...) {
        report(italian(texts::message(texts::Message::UnexpectedInPrinting)));
    }
}

void MainWindow::printWithChoices() noexcept
{
    if (state_.ending || !dialogs_)
        return;
    try {
        // The figure's name only where the picture is that figure.
        const QString caption = pictureKnown_ && shown_ ? italian(texts::figureWithCount(shown_->figure, shown_->count))
                                                        : QString();
        printChosen(*this, surface().image().copy(), caption, printQueue_, *jobWatch_, *dialogs_);
    } catch (...) {
        report(italian(texts::message(texts::Message::UnexpectedInPrinting)));
    }
}

void MainWindow::endProgram() noexcept
{
    if (state_.ending)
        return;
    state_.ending = true;
    pump_->wake();
    hide();
    try {
        if (endProgram_)
            endProgram_();
    } catch (...) {
        // Nothing can be done about it now; the drawings unwind regardless.
    }
}

void MainWindow::saveImage() noexcept
{
    if (state_.ending || !dialogs_)
        return;
    try {
        // What the area shows when asked is what is saved as pixels.
        const QImage picture = surface().image().copy();
        QSettings settings;
        const auto [file, figure] = askWhereToSave(saveFolder(settings));
        if (file.isEmpty() || state_.ending)
            return;
        const files::PictureFormat format =
            files::formatOfFileName(QFile::encodeName(file).toStdString()).value_or(files::PictureFormat::Png);
        if (files::isAnimation(format))
            return exportAnimationTo(file);
        // The pixels shown are saved as they are; vectors are drawn afresh,
        // at the screen's density.
        PictureRequest request;
        request.figure = figure ? std::optional<Figure>(figure->figure) : std::nullopt;
        request.text = figure ? std::to_string(figure->count) : std::string();
        request.scale = picture.devicePixelRatio();
        request.shown = picture;
        if (const std::string problem = writeProblem(writePicture(format, request, file), file); !problem.empty()) {
            report(QString::fromStdString(problem));
            return;
        }
        settings.setValue(QString::fromLatin1(kSaveFolderKey), QFileInfo(file).absolutePath());
    } catch (...) {
        report(italian(texts::message(texts::Message::UnexpectedInSaving)));
    }
}

std::pair<QString, std::optional<MainWindow::PressedFigure>> MainWindow::askWhereToSave(const QString& folder)
{
    const std::optional<PressedFigure> named = namedFigure();
    const QString name = named ? italian(texts::figureFileName(named->figure, named->count))
                               : QFileInfo(italian(texts::kPngFileName)).completeBaseName();
    QString file = dialogs_->askImageFileName(folder, name);
    auto wantsVectors = [](const QString& chosen) {
        const auto format = files::formatOfFileName(QFile::encodeName(chosen).toStdString());
        return files::isVectors(format.value_or(files::PictureFormat::Png));
    };
    while (!file.isEmpty() && wantsVectors(file) && !pictureKnown_) {
        const QString finished =
            lastFinished_ ? italian(texts::saveFinishedFigure(lastFinished_->figure, lastFinished_->count)) : QString();
        switch (dialogs_->askUnfinishedVectors(finished)) {
        case UnfinishedChoice::ShownAsPng:
            file = dialogs_->askImageFileName(folder, QFileInfo(file).completeBaseName());
            break;
        case UnfinishedChoice::LastFinished: return {file, lastFinished_};
        case UnfinishedChoice::Nothing: return {};
        }
    }
    return {file, shown_};
}

void MainWindow::exportAnimationTo(const QString& file) noexcept
{
    if (state_.ending || !dialogs_)
        return;
    try {
        if (!lastPressed_)
            return report(italian(texts::kNoFigureYet));
        QSettings settings;
        const AnimationExported exported = window::exportAnimation(*this, *lastPressed_, countText().toStdString(),
                                                                   surface().image().devicePixelRatio(),
                                                                   saveFolder(settings), file, state_.ending);
        if (!exported.problem.isEmpty())
            report(exported.problem);
        else if (!exported.file.isEmpty())
            settings.setValue(QString::fromLatin1(kSaveFolderKey), QFileInfo(exported.file).absolutePath());
    } catch (...) {
        report(italian(texts::message(texts::Message::UnexpectedInSaving)));
    }
}

void MainWindow::copyImage() noexcept
{
    if (state_.ending)
        return;
    try {
        QGuiApplication::clipboard()->setImage(surface().image().copy());
    } catch (...) {
        report(italian(texts::message(texts::Message::UnexpectedInCopying)));
    }
}

void MainWindow::stopDrawingsInProgress() noexcept
{
    stopDrawings(state_);
    ++stops_;
    pump_->wake();
}

void MainWindow::drawNextStep() noexcept
{
    if (state_.runningPresses > 0)
        pump_->step();
}

void MainWindow::setPace(picture::Pace pace) noexcept
{
    showPace(pace);
    if (pace == picture::Pace::StepByStep)
        return;  // for this run only: see loadState()
    try {
        QSettings().setValue(QString::fromLatin1(kPaceKey), static_cast<int>(pace));
    } catch (...) {
        // Only the choice for the next run is lost.
    }
}

void MainWindow::showPace(picture::Pace pace)
{
    pump_->setPace(pace);
    const auto choice = static_cast<std::size_t>(pace);
    if (choice < static_cast<std::size_t>(paceChoices_->actions().size()))
        paceChoices_->actions()[static_cast<qsizetype>(choice)]->setChecked(true);
    showDrawingStatus();
}

void MainWindow::showDrawingStatus()
{
    const char* pace = kPaceNames[static_cast<std::size_t>(pump_->pace())];
    drawingArea_->setToolTip(italian(texts::drawingAreaToolTip(pace)));
    // The site label is the window's one line of text below the area.
    if (pump_->awaitsStep())
        siteLabel_->setText(italian(texts::kStepAwaitedStatus));
    else if (busyScopes_ > 0 && pump_->pace() != picture::Pace::Immediate)
        siteLabel_->setText(italian(texts::paceStatus(pace)));
    else
        siteLabel_->setText(italian(texts::kSiteLabel));
}

void MainWindow::showStepAwaited(bool awaited) noexcept
{
    stepAction_->setEnabled(awaited);
    try {
        showDrawingStatus();
    } catch (...) {
        // Only a hint is lost.
    }
}

void MainWindow::showLargeView() noexcept
{
    if (state_.ending)
        return;
    try {
        if (!stage_)
            stage_ = new StageWindow(*this, this);
        stage_->showLarge();
    } catch (...) {
        // Nothing was lost: the view simply did not open.
    }
}

const picture::RasterSurface& MainWindow::picture() const { return drawingArea_->surface(); }

DrawingArea& MainWindow::pictureArea() { return *drawingArea_; }

std::optional<std::pair<Figure, int>> MainWindow::finishedFigure() const
{
    if (busyScopes_ > 0 || !pictureKnown_ || !shown_)
        return std::nullopt;
    return std::pair(shown_->figure, shown_->count);
}

void MainWindow::pressFromStage(Figure figure, const QString& count)
{
    if (countBox_->currentText() != count)
        countBox_->setEditText(count);
    pressFigure(figure);
}

texts::StageFacts MainWindow::stageFacts() const
{
    texts::StageFacts facts;
    // The figure on its way, else the one the area shows, else the last drawn.
    const std::optional<PressedFigure> figure = busyScopes_ > 0 || !pictureKnown_ ? lastDrawn_ : shown_;
    facts.anyFigure = figure.has_value();
    if (figure) {
        facts.figure = figure->figure;
        facts.count = figure->count;
    }
    facts.drawing = busyScopes_ > 0;
    facts.pace = kPaceNames[static_cast<std::size_t>(pump_->pace())];
    facts.level = level_;
    facts.lastLevel = lastLevel_;
    facts.part = facts.drawing ? pump_->leavesPaced() - leavesFrom_ : 0;
    facts.stepAwaited = pump_->awaitsStep();
    return facts;
}

StageHost::LessonActions MainWindow::lessonActions()
{
    return {paceChoices_->actions(), levelByLevel_, stopAction_, stepAction_, numbersAction_, animationAction_};
}

void MainWindow::showFigureNumbers() noexcept
{
    if (state_.ending || !dialogs_)
        return;
    try {
        const std::optional<PressedFigure> figure = namedFigure();
        if (!figure) {
            dialogs_->showAbout(italian(texts::kFigureNumbersEntry), italian(texts::kNoFigureYet));
            return;
        }
        // Counted afresh, as the area draws it: the window's own drawing
        // counts nothing.
        const auto lines = pressedLineCount(figure->figure, std::to_string(figure->count),
                                            surface().image().devicePixelRatio());
        const std::string numbers = texts::figureNumbers(
            figure->figure, figure->count, std::holds_alternative<std::uint64_t>(lines) ? std::get<std::uint64_t>(lines) : 0);
        dialogs_->showFigureNumbers(
            italian(pictureKnown_ ? numbers : texts::kNumbersOfUnfinished + ("\n\n" + numbers)),
            texts::levelTable(figure->figure, figure->count));
    } catch (...) {
        // Nothing was lost: the box simply did not show.
    }
}

void MainWindow::showGuide() noexcept
{
    if (state_.ending)
        return;
    try {
        bringUp(guide_, [this] { return new GuideWindow([this] { showAbout(); }, this); });
    } catch (...) {
        // Nothing was lost: the guide simply did not open.
    }
}

void MainWindow::showAbout() noexcept
{
    if (state_.ending || !dialogs_)
        return;
    try {
        dialogs_->showAbout(italian(texts::kAboutEntry), italian(texts::aboutText(qVersion())));
    } catch (...) {
        // Nothing was lost: the box simply did not show.
    }
}

// The count box's text field claims Ctrl+C even with nothing selected, when
// it would copy nothing: then the key copies the picture, as everywhere else.
// The box hands the claim on to its field itself, past the field's filters.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && (watched == countBox_ || watched == countBox_->lineEdit())
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) && !countBox_->lineEdit()->hasSelectedText()) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    endProgram();
    event->accept();
}

void MainWindow::report(const QString& text) noexcept
{
    if (state_.ending || !dialogs_)
        return;
    try {
        dialogs_->showError(text);
    } catch (...) {
        // A report that cannot be shown must not take the window down.
    }
}

}  // namespace velmoran::window
