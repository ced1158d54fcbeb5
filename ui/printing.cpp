#include "ui/printing.hpp"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinterInfo>

namespace velmoran::ui {

namespace {

void drawPage(QPainter& painter, const QPixmap& picture)
{
    const QRect page = painter.viewport();
    QRect target(QPoint(), picture.size().scaled(page.size(), Qt::KeepAspectRatio));
    target.moveCenter(page.center());
    // Pixels enlarged as blocks: the figure's one-pixel lines stay sharp.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawPixmap(target, picture);
}

}  // namespace

std::unique_ptr<QPrinter> systemDefaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

JobResult printPicture(QPrinter& printer, const QPixmap& picture)
{
    if (!printer.outputFileName().isEmpty())
        return savePdf(printer.outputFileName(), picture, printer.pageLayout(), printer.resolution());
    QPainter painter;
    if (!painter.begin(&printer))
        return JobResult::NotStarted;
    drawPage(painter, picture);
    // A printer can still fail while the page is sent; printerState() is
    // the only word Qt gives about it.
    return painter.end() && printer.printerState() != QPrinter::Error ? JobResult::Done : JobResult::Unfinished;
}

JobResult savePdf(const QString& file, const QPixmap& picture, const QPageLayout& layout, int resolution)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return JobResult::NotStarted;
    // Qt's PDF engine drops write errors: a file on a full disk, cut short or
    // never written at all, still ends in success. So the document is made
    // in memory and written here, where a failed write shows.
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&document);
    pdf.setResolution(resolution);
    pdf.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&pdf))
        return JobResult::Unfinished;
    drawPage(painter, picture);
    if (!painter.end())
        return JobResult::Unfinished;
    if (out.write(document.data()) != document.size() || !out.flush())
        return JobResult::Unfinished;
    out.close();
    return out.error() == QFileDevice::NoError ? JobResult::Done : JobResult::Unfinished;
}

PrintResult printWindow(QWidget& window, const PrinterChoice& choosePrinter, UserDialogs& dialogs)
{
    const QPixmap shot = window.grab();
    if (std::unique_ptr<QPrinter> printer = choosePrinter ? choosePrinter() : nullptr) {
        const JobResult result = printPicture(*printer, shot);
        if (result == JobResult::Done)
            return PrintResult::Printed;
        const QString file = printer->outputFileName();
        const QString name = printer->printerName();
        const QString where = !file.isEmpty()    ? QStringLiteral(" nel file «%1»").arg(QDir::toNativeSeparators(file))
                              : !name.isEmpty() ? QStringLiteral(" sulla stampante «%1»").arg(name)
                                                : QString();
        dialogs.showError(result == JobResult::NotStarted
                              ? QStringLiteral("Impossibile avviare la stampa%1.").arg(where)
                              : QStringLiteral("La stampa%1 non è stata completata.").arg(where));
        return PrintResult::Failed;
    }

    if (!dialogs.askYesNo(QStringLiteral("Non è configurata nessuna stampante predefinita.\n"
                                         "Salvare la stampa in un file PDF?")))
        return PrintResult::Declined;
    const QString file = dialogs.askPdfFileName();
    if (file.isEmpty())
        return PrintResult::Declined;
    // A PDF printer's page, the way a printout to a file would come out.
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    if (savePdf(file, shot, pdf.pageLayout(), pdf.resolution()) == JobResult::Done)
        return PrintResult::SavedAsPdf;
    dialogs.showError(QStringLiteral("Impossibile scrivere il file PDF «%1».").arg(QDir::toNativeSeparators(file)));
    return PrintResult::Failed;
}

}  // namespace velmoran::ui
