#include "window/user_dialogs.hpp"

#include <algorithm>

#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include "texts/user_texts.hpp"

namespace velmoran::window {

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

QString MessageBoxDialogs::askImageFileName(const QString& folder, const QString& name)
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
    // The type chosen gives the proposed name its extension too.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& type) {
        const QString suffix = suffixes.value(types.indexOf(type), suffixes[0]);
        dialog.setDefaultSuffix(suffix);
        const QFileInfo typed(dialog.selectedFiles().value(0));
        if (suffixes.contains(typed.suffix().toLower()))
            dialog.selectFile(typed.completeBaseName() + QLatin1Char('.') + suffix);
    });
    dialog.setDirectory(folder);
    dialog.selectFile(name + QStringLiteral(".png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

UnfinishedChoice MessageBoxDialogs::askUnfinishedVectors(const QString& finishedFigure)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(texts::kProgramName),
                    QString::fromUtf8(texts::kUnfinishedForVectors), QMessageBox::Cancel, parent_);
    QPushButton* png = box.addButton(QString::fromUtf8(texts::kSaveShownAsPng), QMessageBox::AcceptRole);
    QPushButton* finished = finishedFigure.isEmpty() ? nullptr : box.addButton(finishedFigure, QMessageBox::AcceptRole);
    box.setDefaultButton(png);
    box.exec();
    if (box.clickedButton() == png)
        return UnfinishedChoice::ShownAsPng;
    if (finished && box.clickedButton() == finished)
        return UnfinishedChoice::LastFinished;
    return UnfinishedChoice::Nothing;
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

void MessageBoxDialogs::showFigureNumbers(const QString& text, const texts::Table& levels)
{
    QDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("FigureNumbers"));
    dialog.setWindowTitle(QString::fromUtf8(texts::kFigureNumbersEntry));
    auto* layout = new QVBoxLayout(&dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* words = new QLabel(text, &dialog);
    words->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(words);

    const int rows = static_cast<int>(levels.size()) - 1;
    const int columns = levels.empty() ? 0 : static_cast<int>(levels.front().size());
    auto* table = new QTableWidget(std::max(rows, 0), columns, &dialog);
    table->setObjectName(QStringLiteral("LevelTable"));
    table->setAccessibleName(QString::fromUtf8(texts::kLevelTableNote));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->verticalHeader()->hide();
    for (int column = 0; column < columns; ++column) {
        const auto at = static_cast<std::size_t>(column);
        table->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromStdString(levels[0][at])));
        for (int row = 0; row < rows; ++row) {
            auto* cell = new QTableWidgetItem(QString::fromStdString(levels[static_cast<std::size_t>(row) + 1][at]));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, cell);
        }
    }
    // Every row and column in sight: at most fourteen rows.
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setFixedSize(table->horizontalHeader()->length() + 2 * table->frameWidth(),
                        table->horizontalHeader()->height() + table->verticalHeader()->length()
                            + 2 * table->frameWidth());
    layout->addWidget(table);
    layout->addWidget(new QLabel(QString::fromUtf8(texts::kLevelTableNote), &dialog));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QPushButton* copy = buttons->addButton(QString::fromUtf8(texts::kCopyTableButton), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("CopyTable"));
    const QString tabSeparated = QString::fromStdString(texts::tabSeparated(levels));
    QObject::connect(copy, &QPushButton::clicked, &dialog,
                     [tabSeparated] { QGuiApplication::clipboard()->setText(tabSeparated); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}

}  // namespace velmoran::window
