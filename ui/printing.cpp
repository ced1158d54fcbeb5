#include "ui/printing.hpp"

#include <QDir>
#include <QPainter>
#include <QPrinterInfo>

namespace velmoran::ui {

std::unique_ptr<QPrinter> systemDefaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

bool printPicture(QPrinter& printer, const QPixmap& picture)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    QRect target(QPoint(), picture.size().scaled(page.size(), Qt::KeepAspectRatio));
    target.moveCenter(page.center());
    // Pixels enlarged as blocks: the figure's one-pixel lines stay sharp.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawPixmap(target, picture);
    // A printer can still fail while the page is sent; printerState() is
    // the only word Qt gives about it.
    return painter.end() && printer.printerState() != QPrinter::Error;
}

PrintResult printWindow(QWidget& window, const PrinterChoice& choosePrinter, UserDialogs& dialogs)
{
    const QPixmap shot = window.grab();
    if (std::unique_ptr<QPrinter> printer = choosePrinter ? choosePrinter() : nullptr) {
        if (printPicture(*printer, shot))
            return PrintResult::Printed;
        const QString name = printer->printerName();
        dialogs.showError(name.isEmpty()
                              ? QStringLiteral("Impossibile avviare la stampa.")
                              : QStringLiteral("Impossibile avviare la stampa sulla stampante «%1».").arg(name));
        return PrintResult::Failed;
    }

    if (!dialogs.askYesNo(QStringLiteral("Non è configurata nessuna stampante predefinita.\n"
                                         "Salvare la stampa in un file PDF?")))
        return PrintResult::Declined;
    const QString file = dialogs.askPdfFileName();
    if (file.isEmpty())
        return PrintResult::Declined;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(file);
    if (printPicture(pdf, shot))
        return PrintResult::SavedAsPdf;
    dialogs.showError(QStringLiteral("Impossibile scrivere il file PDF «%1».").arg(QDir::toNativeSeparators(file)));
    return PrintResult::Failed;
}

}  // namespace velmoran::ui
