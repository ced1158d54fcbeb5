#include "ui/main_window.hpp"

#include <iterator>
#include <string_view>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>

#include "fractals/figures.hpp"
#include "ui/app_setup.hpp"
#include "ui/classic_button.hpp"
#include "ui/drawing_area.hpp"
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

void MainWindow::loadState()
{
    try {
        loadWindowState(state_, drawingArea_->surface());
    } catch (const RuntimeError& error) {
        report(errorMessage(error.kind()));
    }
}

void MainWindow::drawFigure(Figure figure) noexcept
{
    if (state_.ending)
        return;
    try {
        const QByteArray text = countBox_->currentText().toUtf8();
        const PressOutcome outcome = pressFigure<RasterSurface, QtEventPump>(
            state_, drawingArea_->surface(), *pump_, figure,
            std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
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
