#include "window/user_dialogs.hpp"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QStandardPaths>

#include "texts/user_texts.hpp"

namespace velmoran::ui {

namespace {

// The text with a break allowed every few characters of a long run without
// spaces: a message box wraps only between words, and cuts a long file name
// where the box ends, its closing » with it.
QString wrappable(const QString& text)
{
    constexpr int kLongestRun = 40;
    QString out;
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestRun) {
            out += QChar(0x200B);  // zero-width space
            run = 1;
        }
        out += c;
    }
    return out;
}

}  // namespace

void MessageBoxDialogs::showError(const QString& text)
{
    QMessageBox::critical(parent_, QString::fromUtf8(texts::kProgramName), wrappable(text));
}

bool MessageBoxDialogs::askYesNo(const QString& text)
{
    return QMessageBox::question(parent_, QString::fromUtf8(texts::kProgramName), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

QString MessageBoxDialogs::askPdfFileName()
{
    QFileDialog dialog(parent_, QString::fromUtf8(texts::kSavePdfTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromUtf8(texts::kPdfFilter));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    dialog.setDirectory(QDir(documents).exists() ? documents : QDir::homePath());
    dialog.selectFile(QString::fromUtf8(texts::kPdfFileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString MessageBoxDialogs::askImageFileName(const QString& folder)
{
    QFileDialog dialog(parent_, QString::fromUtf8(texts::kSaveImageTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The type chosen gives a name without one its extension.
    const QStringList types{QString::fromUtf8(texts::kPngFilter), QString::fromUtf8(texts::kSvgFilter),
                            QString::fromUtf8(texts::kPdfFilter), QString::fromUtf8(texts::kGifFilter),
                            QString::fromUtf8(texts::kWebpFilter)};
    const QStringList suffixes{QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("pdf"),
                               QStringLiteral("gif"), QStringLiteral("webp")};
    dialog.setNameFilters(types);
    dialog.setDefaultSuffix(suffixes[0]);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&](const QString& type) { dialog.setDefaultSuffix(suffixes.value(types.indexOf(type), suffixes[0])); });
    dialog.setDirectory(folder);
    dialog.selectFile(QString::fromUtf8(texts::kPngFileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

std::optional<PrintChoice> MessageBoxDialogs::askPrint(QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent_);
    dialog.setWindowTitle(QString::fromUtf8(texts::kPrintDialogTitle));
    // What to print, in a tab of the dialog's options.
    auto* what = new QWidget;
    what->setWindowTitle(QString::fromUtf8(texts::kPrintWhat));
    auto* wholeWindow = new QRadioButton(QString::fromUtf8(texts::kPrintWholeWindow), what);
    auto* figureAlone = new QRadioButton(QString::fromUtf8(texts::kPrintFigureAlone), what);
    wholeWindow->setObjectName(QStringLiteral("PrintWholeWindow"));
    figureAlone->setObjectName(QStringLiteral("PrintFigureAlone"));
    wholeWindow->setChecked(true);
    auto* layout = new QVBoxLayout(what);
    layout->addWidget(wholeWindow);
    layout->addWidget(figureAlone);
    layout->addStretch();
    dialog.setOptionTabs({what});
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return figureAlone->isChecked() ? PrintChoice::FigureAlone : PrintChoice::Window;
}

void MessageBoxDialogs::showAbout(const QString& title, const QString& text)
{
    QMessageBox::about(parent_, title, text);
}

}  // namespace velmoran::ui
