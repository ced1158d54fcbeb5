#include "ui/user_dialogs.hpp"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace velmoran::ui {

QString errorMessage(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::Overflow:
        return QStringLiteral("Overflow: il numero di iterazioni deve essere compreso tra 0 e 32767.");
    case ErrorKind::FloatingPoint:
        return QStringLiteral("Errore di calcolo in virgola mobile: il disegno è stato interrotto.");
    case ErrorKind::Count:
        return QStringLiteral("Il numero di iterazioni non può essere negativo.");
    case ErrorKind::Stack:
        return QStringLiteral("Ricorsione troppo profonda: il disegno è stato interrotto.");
    }
    return QStringLiteral("Errore di esecuzione: il disegno è stato interrotto.");
}

void MessageBoxDialogs::showError(const QString& text)
{
    QMessageBox::critical(parent_, QString::fromUtf8(kDialogTitle), text);
}

bool MessageBoxDialogs::askYesNo(const QString& text)
{
    return QMessageBox::question(parent_, QString::fromUtf8(kDialogTitle), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
           == QMessageBox::Yes;
}

QString MessageBoxDialogs::askPdfFileName()
{
    QFileDialog dialog(parent_, QStringLiteral("Salva la stampa come PDF"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Documenti PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    dialog.setDirectory(QDir(documents).exists() ? documents : QDir::homePath());
    dialog.selectFile(QStringLiteral("Velmoran.pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString MessageBoxDialogs::askImageFileName(const QString& folder)
{
    QFileDialog dialog(parent_, QStringLiteral("Salva immagine"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Immagini PNG (*.png)"));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.setDirectory(folder);
    dialog.selectFile(QStringLiteral("Velmoran.png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void MessageBoxDialogs::showAbout(const QString& title, const QString& text)
{
    QMessageBox::about(parent_, title, text);
}

}  // namespace velmoran::ui
