#include "ui/form1.hpp"

#include <iterator>
#include <string_view>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>

#include "ui/app_setup.hpp"
#include "ui/form_button.hpp"
#include "ui/picture_box.hpp"

namespace velmoran::ui {

namespace {

const QColor kWindowColour(224, 224, 224);
const QColor kFigureButtonFace(192, 64, 0);

template <class Control>
Control* place(Control* control, const char* name, const QString& accessibleName, const QRect& rect)
{
    control->setObjectName(QString::fromUtf8(name));
    control->setAccessibleName(accessibleName);
    control->setGeometry(rect);
    return control;
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      endProgram_([] { QCoreApplication::exit(0); }),
      choosePrinter_(systemDefaultPrinter)
{
    setObjectName(QStringLiteral("Form1"));
    const QString title = QStringLiteral("Ondrila Vastreni e Ferlino Quarsotti presentano:");
    setWindowTitle(title);
    setAccessibleName(title);
    setWindowIcon(programIcon());
    setFixedSize(629, 444);
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, kWindowColour);
    setPalette(windowPalette);
    setAutoFillBackground(true);

    const QPalette system = QApplication::palette();
    const QFont buttonFont = classicFont(9.75);
    const QFont largeFont = classicFont(12);

    // Made in tab order.
    Picture1 = new PictureBox(QRect(16, 24, 497, 353), this);
    place(Picture1, "Picture1", QStringLiteral("Area di disegno"), Picture1->geometry());

    auto figureButton = [&](const char* name, const QString& caption, int top) {
        auto* button = new FormButton(caption, kFigureButtonFace, this);
        button->setFont(buttonFont);
        return place(button, name, caption, QRect(520, top, 105, 65));
    };
    Command1 = figureButton("Command1", QStringLiteral("Triangolo di Sierpinski"), 240);
    Command2 = figureButton("Command2", QStringLiteral("Tappeto di Sierpinski"), 168);
    Command3 = figureButton("Command3", QStringLiteral("Trina di Koch"), 96);
    Command4 = figureButton("Command4", QStringLiteral("Fiocco di neve di Koch"), 24);

    Combo1 = place(new QComboBox(this), "Combo1", QStringLiteral("Numero di iterazioni"), QRect(472, 384, 41, 26));
    Combo1->setFont(largeFont);
    Combo1->setEditable(true);
    // The list offers counts; what is typed stays typed, never added to it
    // nor completed from it.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);
    for (int i = 0; i <= 10; ++i)
        Combo1->addItem(QString::number(i));
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QStringLiteral("0"));

    const QString label1Text = QStringLiteral("Scegli il numero di iterazioni");
    Label1 = place(new QLabel(label1Text, this), "Label1", label1Text, QRect(232, 384, 241, 25));
    Label1->setFont(largeFont);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setWordWrap(true);
    QPalette label1Palette = Label1->palette();
    label1Palette.setColor(QPalette::Window, system.color(QPalette::Button));
    label1Palette.setColor(QPalette::WindowText, system.color(QPalette::WindowText));
    Label1->setPalette(label1Palette);
    Label1->setAutoFillBackground(true);

    auto standardButton = [&](const char* name, const QString& caption, int top) {
        auto* button = new FormButton(caption, std::nullopt, this);
        button->setFont(largeFont);
        return place(button, name, caption, QRect(520, top, 105, 25));
    };
    Command5 = standardButton("Command5", QStringLiteral("Esci"), 344);
    Command6 = standardButton("Command6", QStringLiteral("Stampa"), 312);

    const QString label2Text = QStringLiteral("Tutte le informazioni sul sito www.velmoran.it");
    Label2 = place(new QLabel(label2Text, this), "Label2", label2Text, QRect(40, 416, 370, 12));
    Label2->setFont(captionFont());
    Label2->setTextFormat(Qt::PlainText);
    Label2->setTextInteractionFlags(Qt::NoTextInteraction);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette label2Palette = Label2->palette();
    label2Palette.setColor(QPalette::Window, QColor(192, 192, 192));
    label2Palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label2->setPalette(label2Palette);
    Label2->setAutoFillBackground(true);

    QWidget* const tabOrder[] = {Picture1, Command1, Command2, Command3, Command4, Combo1, Command5, Command6};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    Picture1->setFocus();

    pump_ = std::make_unique<QtEventPump>(Picture1);
    dialogs_ = std::make_unique<MessageBoxDialogs>(this);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);

    Form_Load();
}

Form1::~Form1() = default;

RasterSurface& Form1::surface() { return Picture1->surface(); }

void Form1::Form_Load()
{
    state_.stackFloor = stackFloorOfThisThread();
    try {
        velmoran::Form_Load(state_, Picture1->surface());
    } catch (const RuntimeError& error) {
        report(errorMessage(error.kind()));
    }
}

void Form1::press(Figure figure) noexcept
{
    if (state_.ending)
        return;
    try {
        const QByteArray text = Combo1->currentText().toUtf8();
        const PressOutcome outcome = pressFigure<RasterSurface, QtEventPump>(
            state_, Picture1->surface(), *pump_, figure,
            std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        lastOutcome_ = outcome;
        if (state_.ending)
            return;
        Picture1->update();
        if (outcome.status == PressOutcome::Status::Failed)
            report(errorMessage(outcome.error));
    } catch (const std::exception& error) {
        report(QStringLiteral("Errore imprevisto: %1").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        report(QStringLiteral("Errore imprevisto: il disegno è stato interrotto."));
    }
}

void Form1::Command6_Click() noexcept
{
    if (state_.ending)
        return;
    try {
        printWindow(*this, choosePrinter_, *dialogs_);
    } catch (...) {
        report(QStringLiteral("Errore imprevisto durante la stampa."));
    }
}

void Form1::endProgram() noexcept
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

void Form1::closeEvent(QCloseEvent* event)
{
    endProgram();
    event->accept();
}

void Form1::report(const QString& text) noexcept
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
