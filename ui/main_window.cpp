#include "ui/main_window.hpp"

#include <iterator>
#include <string_view>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>

#include "fractals/figures.hpp"
#include "ui/app_setup.hpp"
#include "ui/classic_button.hpp"
#include "ui/command_line.hpp"
#include "ui/drawing_area.hpp"
#include "ui/picture_file.hpp"
#include "ui/window_layout.hpp"

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
template <class Control>
Control* place(Control* control, const char* objectName, const QString& accessibleName)
{
    control->setObjectName(QString::fromUtf8(objectName));
    control->setAccessibleName(accessibleName);
    control->setGeometry(layout::geometryOf(objectName));
    return control;
}

void paintBackground(QWidget& widget, const QColor& background, const QColor& text)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

const char* const kSaveFolderKey = "saveFolder";

// The last folder a picture was saved in, while it exists; else Pictures.
QString saveFolder(const QSettings& settings)
{
    const QString last = settings.value(QString::fromLatin1(kSaveFolderKey)).toString();
    if (!last.isEmpty() && QDir(last).exists())
        return last;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QDir(pictures).exists() ? pictures : QDir::homePath();
}

QString aboutText()
{
    return QStringLiteral("Velmoran %1\n\n"
                          "Quattro frattali classici: il triangolo e il tappeto di Sierpinski, la trina e il "
                          "fiocco di neve di Koch.\n\n"
                          "Licenza: GPL-3.0-or-later (GNU General Public License, versione 3 o successiva).\n"
                          "Sito: www.velmoran.it\n"
                          "Qt %2")
        .arg(QString::fromLatin1(kProgramVersion), QString::fromLatin1(qVersion()));
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
    const QString title = QStringLiteral("Ondrila Vastreni e Ferlino Quarsotti presentano:");
    setWindowTitle(title);
    setAccessibleName(title);
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
    drawingArea_ = new DrawingArea(layout::geometryOf("Picture1"), this);
    place(drawingArea_, "Picture1", QStringLiteral("Area di disegno"));
    pump_ = std::make_unique<QtEventPump>(drawingArea_);
}

void MainWindow::createFigureButtons()
{
    const QFont font = classicFont(kFigureCaptionPoints);
    for (const FigureInfo& figure : kFigures) {
        const QString caption = QString::fromUtf8(figure.caption);
        auto* button = place(new ClassicButton(caption, kFigureButtonFace, this), figure.objectName, caption);
        button->setFont(font);
        button->setToolTip(QString::fromUtf8(figure.toolTip));
        figureButtons_[static_cast<std::size_t>(figure.id)] = button;
    }
}

void MainWindow::createCountSelector()
{
    const QFont font = classicFont(kLargeCaptionPoints);
    countBox_ = place(new QComboBox(this), "Combo1", QStringLiteral("Numero di iterazioni"));
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

    const QString labelText = QStringLiteral("Scegli il numero di iterazioni");
    countLabel_ = place(new QLabel(labelText, this), "Label1", labelText);
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
    auto standardButton = [&](const char* objectName, const QString& caption) {
        auto* button = place(new ClassicButton(caption, std::nullopt, this), objectName, caption);
        button->setFont(font);
        return button;
    };
    exitButton_ = standardButton("Command5", QStringLiteral("Esci"));
    printButton_ = standardButton("Command6", QStringLiteral("Stampa"));
}

void MainWindow::createSiteLabel()
{
    const QString text = QStringLiteral("Tutte le informazioni sul sito www.velmoran.it");
    siteLabel_ = place(new QLabel(text, this), "Label2", text);
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
                [this, id = figure.id] { drawFigure(id); });
    connect(exitButton_, &QPushButton::clicked, this, &MainWindow::endProgram);
    connect(printButton_, &QPushButton::clicked, this, &MainWindow::printWindowContents);
}

void MainWindow::createActions()
{
    auto addShortcut = [this](const QString& text, const QKeySequence& keys, void (MainWindow::*handler)() noexcept) {
        auto* action = new QAction(text, this);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
        return action;
    };
    QAction* save = addShortcut(QStringLiteral("Salva immagine..."), QKeySequence(Qt::CTRL | Qt::Key_S),
                                &MainWindow::saveImage);
    QAction* copy = addShortcut(QStringLiteral("Copia"), QKeySequence(Qt::CTRL | Qt::Key_C), &MainWindow::copyImage);
    stopAction_ = addShortcut(QStringLiteral("Interrompi il disegno"), QKeySequence(Qt::Key_Escape),
                              &MainWindow::stopDrawingsInProgress);
    stopAction_->setEnabled(false);
    addShortcut(QStringLiteral("Stampa"), QKeySequence(Qt::CTRL | Qt::Key_P), &MainWindow::printWindowContents);
    addShortcut(QStringLiteral("Esci"), QKeySequence(Qt::CTRL | Qt::Key_Q), &MainWindow::endProgram);
    addShortcut(QStringLiteral("Informazioni su Velmoran"), QKeySequence(Qt::Key_F1), &MainWindow::showAbout);

    drawingArea_->addActions({save, copy, stopAction_});
    drawingArea_->setContextMenuPolicy(Qt::ActionsContextMenu);
    countBox_->installEventFilter(this);
    countBox_->lineEdit()->installEventFilter(this);
}

void MainWindow::loadState()
{
    try {
        loadWindowState(state_, drawingArea_->surface());
    } catch (const RuntimeError& error) {
        report(errorMessage(error.kind()));
    }
}

QByteArray MainWindow::countText() const { return countBox_->currentText().toUtf8(); }

void MainWindow::showCountInToolTip() noexcept
{
    try {
        const QByteArray text = countText();
        try {
            const Integer count =
                iterationCount(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
            countBox_->setToolTip(QStringLiteral("Numero di iterazioni usato: %1").arg(count));
        } catch (const RuntimeError& error) {
            countBox_->setToolTip(errorMessage(error.kind()));
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

void MainWindow::drawFigure(Figure figure) noexcept
{
    if (state_.ending)
        return;
    // The outermost press shows that drawings run until it ends, however it
    // ends; nested presses end before it.
    struct BusyWhileDrawing {
        MainWindow& window;
        bool outermost;
        explicit BusyWhileDrawing(MainWindow& w) : window(w), outermost(w.state_.runningPresses == 0)
        {
            if (outermost)
                window.showBusy(true);
        }
        ~BusyWhileDrawing()
        {
            if (outermost)
                window.showBusy(false);
        }
        BusyWhileDrawing(const BusyWhileDrawing&) = delete;
        BusyWhileDrawing& operator=(const BusyWhileDrawing&) = delete;
    };
    try {
        const QByteArray text = countText();
        PressOutcome outcome;
        {
            const BusyWhileDrawing busy(*this);
            outcome = pressFigure<RasterSurface, QtEventPump>(
                state_, drawingArea_->surface(), *pump_, figure,
                std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        }
        lastOutcome_ = outcome;
        if (state_.ending)
            return;
        drawingArea_->update();
        if (outcome.status == PressOutcome::Status::Failed)
            report(errorMessage(outcome.error));
    } catch (const std::exception& error) {
        report(QStringLiteral("Errore imprevisto: %1").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        report(QStringLiteral("Errore imprevisto: il disegno è stato interrotto."));
    }
}

void MainWindow::printWindowContents() noexcept
{
    if (state_.ending)
        return;
    try {
        printWindow(*this, choosePrinter_, printQueue_, *jobWatch_, *dialogs_);
    } catch (...) {
        report(QStringLiteral("Errore imprevisto durante la stampa."));
    }
}

void MainWindow::endProgram() noexcept
{
    if (state_.ending)
        return;
    state_.ending = true;
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
        // What the area shows when asked is what is saved.
        const QImage picture = surface().image().copy();
        QSettings settings;
        const QString file = dialogs_->askImageFileName(saveFolder(settings));
        if (file.isEmpty() || state_.ending)
            return;
        const QString reason = savePng(picture, file);
        if (!reason.isEmpty()) {
            report(saveFailedMessage(file, reason));
            return;
        }
        settings.setValue(QString::fromLatin1(kSaveFolderKey), QFileInfo(file).absolutePath());
    } catch (...) {
        report(QStringLiteral("Errore imprevisto: l'immagine non è stata salvata."));
    }
}

void MainWindow::copyImage() noexcept
{
    if (state_.ending)
        return;
    try {
        QGuiApplication::clipboard()->setImage(surface().image().copy());
    } catch (...) {
        report(QStringLiteral("Errore imprevisto: l'immagine non è stata copiata."));
    }
}

void MainWindow::stopDrawingsInProgress() noexcept { stopDrawings(state_); }

void MainWindow::showAbout() noexcept
{
    if (state_.ending || !dialogs_)
        return;
    try {
        dialogs_->showAbout(QStringLiteral("Informazioni su Velmoran"), aboutText());
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
