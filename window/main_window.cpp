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
#include "files/png_file.hpp"
#include "files/vector_files.hpp"
#include "fractals/press_figure.hpp"
#include "texts/user_texts.hpp"
#include "window/animation_export.hpp"
#include "window/appearance.hpp"
#include "window/classic_button.hpp"
#include "window/drawing_area.hpp"
#include "window/guide_window.hpp"
#include "window/large_view.hpp"
#include "window/offscreen_press.hpp"
#include "window/print_window.hpp"
#include "window/window_layout.hpp"

namespace velmoran::ui {

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
      choosePrinter_(systemDefaultPrinter),
      printQueue_(makeCupsQueue())
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

RasterSurface& MainWindow::surface() { return drawingArea_->surface(); }

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
    jobWatch_ = new JobWatch([this](const QString& text) { report(text); }, kJobPatience, this);
}

void MainWindow::createDrawingArea()
{
    drawingArea_ = place(new DrawingArea(layout::placeOf(layout::Control::DrawingArea).geometry, this),
                         layout::Control::DrawingArea, texts::kDrawingAreaName);
    pump_ = std::make_unique<QtEventPump>(drawingArea_);
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
    addShortcut(texts::kPrintCaption, QKeySequence(Qt::CTRL | Qt::Key_P), &MainWindow::printWindowContents);
    QAction* printChoices = addShortcut(texts::kPrintChoiceEntry, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P),
                                        &MainWindow::printWithChoices);
    addShortcut(texts::kExitCaption, QKeySequence(Qt::CTRL | Qt::Key_Q), &MainWindow::endProgram);
    QAction* guide = addShortcut(texts::kGuideEntry, QKeySequence(Qt::Key_F1), &MainWindow::showGuide);
    QAction* about = addShortcut(texts::kAboutEntry, QKeySequence(Qt::SHIFT | Qt::Key_F1), &MainWindow::showAbout);

    QAction* pace = createPaceMenu();
    // Space and the Right arrow step only while the drawing area has the
    // focus: elsewhere they press buttons and move the text cursor.
    stepAction_ = new QAction(italian(texts::kNextStepEntry), drawingArea_);
    stepAction_->setShortcuts({QKeySequence(Qt::Key_Space), QKeySequence(Qt::Key_Right)});
    stepAction_->setShortcutContext(Qt::WidgetShortcut);
    connect(stepAction_, &QAction::triggered, this, &MainWindow::drawNextStep);
    levelByLevel_ = addShortcut(texts::kLevelByLevelEntry, QKeySequence(Qt::CTRL | Qt::Key_L), nullptr);
    levelByLevel_->setCheckable(true);
    QAction* large = addShortcut(texts::kLargeViewEntry, QKeySequence(Qt::Key_F11), &MainWindow::showLargeView);
    QAction* numbers =
        addShortcut(texts::kFigureNumbersEntry, QKeySequence(Qt::CTRL | Qt::Key_I), &MainWindow::showFigureNumbers);
    QAction* animation =
        addShortcut(texts::kExportAnimationEntry, QKeySequence(Qt::CTRL | Qt::Key_E), &MainWindow::exportAnimation);
    auto separator = [this] {
        auto* line = new QAction(this);
        line->setSeparator(true);
        return line;
    };

    drawingArea_->addActions({save, animation, copy, printChoices, stopAction_, separator(), pace, stepAction_, levelByLevel_, large,
                              numbers, separator(), guide, about});
    drawingArea_->setContextMenuPolicy(Qt::ActionsContextMenu);
    countBox_->installEventFilter(this);
    countBox_->lineEdit()->installEventFilter(this);
}

QAction* MainWindow::createPaceMenu()
{
    auto* menu = new QMenu(italian(texts::kPaceMenu), this);
    paceChoices_ = new QActionGroup(this);
    const std::pair<const char*, Qt::Key> choices[] = {
        {texts::kPaceImmediate, Qt::Key_1}, {texts::kPaceFast, Qt::Key_2},
        {texts::kPaceSlow, Qt::Key_3},      {texts::kPaceStepByStep, Qt::Key_4},
    };
    for (std::size_t i = 0; i < std::size(choices); ++i) {
        auto* choice = new QAction(italian(choices[i].first), paceChoices_);
        choice->setCheckable(true);
        choice->setShortcut(QKeySequence(Qt::CTRL | choices[i].second));
        connect(choice, &QAction::triggered, this, [this, i] { setPace(static_cast<Pace>(i)); });
        menu->addAction(choice);
        addAction(choice);
    }
    return menu->menuAction();
}

void MainWindow::loadState()
{
    const int pace = QSettings().value(QString::fromLatin1(kPaceKey), 0).toInt();
    showPace(pace >= 0 && pace <= static_cast<int>(Pace::StepByStep) ? static_cast<Pace>(pace) : Pace::Immediate);
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
                iterationCount(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
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
    PressOutcome outcome;
    {
        const BusyWhileDrawing busy(*this);
        pump_->restartPace();
        // A press begun at once stays so, with nothing to pay per leaf; a
        // paced one follows the pace as it is changed.
        if (pump_->pace() == Pace::Immediate) {
            outcome = velmoran::pressFigure(state_, drawingArea_->surface(), *pump_, figure, text);
        } else {
            PacedPump paced(*pump_);
            outcome = velmoran::pressFigure(state_, drawingArea_->surface(), paced, figure, text);
        }
    }
    lastOutcome_ = outcome;
    if (state_.ending)
        return outcome;
    drawingArea_->update();
    if (outcome.status == PressOutcome::Status::Done)
        lastFinished_ = FinishedPress{figure, state_.iterations};
    if (outcome.status == PressOutcome::Status::Failed)
        report(italian(texts::pressError(outcome.error)));
    return outcome;
}

void MainWindow::pressLevelByLevel(Figure figure, std::string_view text)
{
    Int16 count = 0;
    try {
        count = iterationCount(text);
    } catch (const RuntimeError& error) {
        report(italian(texts::pressError(error.kind())));
        return;
    }
    const BusyWhileDrawing busy(*this);
    const std::uint64_t stops = stops_;
    for (int level = 0; level <= count; ++level) {
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
        const QString caption =
            lastFinished_ ? italian(texts::figureWithCount(lastFinished_->figure, lastFinished_->count)) : QString();
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
        const QString file = dialogs_->askImageFileName(saveFolder(settings));
        if (file.isEmpty() || state_.ending)
            return;
        if (isAnimation(formatOfFileName(QFile::encodeName(file).toStdString()).value_or(PictureFormat::Png)))
            return exportAnimationTo(file);
        if (const std::optional<int> failure = savePicture(picture, file)) {
            report(italian(texts::imageNotSaved(QDir::toNativeSeparators(file).toStdString(), *failure)));
            return;
        }
        settings.setValue(QString::fromLatin1(kSaveFolderKey), QFileInfo(file).absolutePath());
    } catch (...) {
        report(italian(texts::message(texts::Message::UnexpectedInSaving)));
    }
}

std::optional<int> MainWindow::savePicture(const QImage& picture, const QString& file) const
{
    const PictureFormat format = formatOfFileName(QFile::encodeName(file).toStdString()).value_or(PictureFormat::Png);
    if (format == PictureFormat::Png)
        return savePng(picture, file);
    // Vectors are drawn afresh: those of the last press that drew to its
    // end, at the screen's density.
    const double scale = picture.devicePixelRatio();
    VectorPicture vectors = blankVectors(scale);
    if (lastFinished_)
        if (auto drawn = pressedVectors(lastFinished_->figure, std::to_string(lastFinished_->count), scale);
            std::holds_alternative<VectorPicture>(drawn))
            vectors = std::get<VectorPicture>(std::move(drawn));
    return format == PictureFormat::Svg ? saveSvg(vectors, scale, file) : saveVectorPdf(vectors, scale, file);
}

void MainWindow::exportAnimationTo(const QString& file) noexcept
{
    if (state_.ending || !dialogs_)
        return;
    try {
        if (!lastPressed_)
            return report(italian(texts::kNoFigureYet));
        QSettings settings;
        const AnimationExported exported =
            ui::exportAnimation(*this, *lastPressed_, countText().toStdString(), surface().image().devicePixelRatio(),
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

void MainWindow::setPace(Pace pace) noexcept
{
    showPace(pace);
    try {
        QSettings().setValue(QString::fromLatin1(kPaceKey), static_cast<int>(pace));
    } catch (...) {
        // Only the choice for the next run is lost.
    }
}

void MainWindow::showPace(Pace pace)
{
    pump_->setPace(pace);
    const auto choice = static_cast<std::size_t>(pace);
    if (choice < static_cast<std::size_t>(paceChoices_->actions().size()))
        paceChoices_->actions()[static_cast<qsizetype>(choice)]->setChecked(true);
    stepAction_->setEnabled(pace == Pace::StepByStep);
}

void MainWindow::showLargeView() noexcept
{
    if (state_.ending)
        return;
    try {
        bringUp(largeView_, [this] { return new LargeView(*drawingArea_, this); });
    } catch (...) {
        // Nothing was lost: the view simply did not open.
    }
}

void MainWindow::showFigureNumbers() noexcept
{
    if (state_.ending || !dialogs_)
        return;
    try {
        std::string numbers = texts::kNoFigureYet;
        if (lastFinished_) {
            // Counted afresh, as the area draws it: the window's own drawing
            // counts nothing.
            const auto lines = pressedLineCount(lastFinished_->figure, std::to_string(lastFinished_->count),
                                                surface().image().devicePixelRatio());
            numbers = texts::figureNumbers(lastFinished_->figure, lastFinished_->count,
                                           std::holds_alternative<std::uint64_t>(lines) ? std::get<std::uint64_t>(lines) : 0);
        }
        dialogs_->showAbout(italian(texts::kFigureNumbersEntry), italian(numbers));
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

}  // namespace velmoran::ui
