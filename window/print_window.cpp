#include "window/print_window.hpp"

#include "texts/user_texts.hpp"

namespace velmoran::ui {

void printWindow(QWidget& window, const PrinterChoice& choosePrinter, const std::shared_ptr<PrintQueue>& queue,
                 JobWatch& watch, UserDialogs& dialogs)
{
    std::optional<PrintFailure> failure;
    if (std::unique_ptr<QPrinter> printer = choosePrinter ? choosePrinter() : nullptr) {
        failure = printOn(*printer, windowPage(window), queue, watch);
    } else {
        if (!dialogs.askYesNo(QString::fromStdString(texts::message(texts::Message::NoDefaultPrinter))))
            return;
        const QString file = dialogs.askPdfFileName();
        if (file.isEmpty())
            return;
        // A PDF printer's page, the way a printout to a file would come out.
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        failure = savePdf(file, windowPage(window), pdf.pageLayout(), pdf.resolution());
    }
    if (failure)
        dialogs.showError(failureMessage(*failure));
}

void printChosen(QWidget& window, const QImage& figure, const QString& caption,
                 const std::shared_ptr<PrintQueue>& queue, JobWatch& watch, UserDialogs& dialogs)
{
    QPrinter printer(QPrinter::HighResolution);
    const std::optional<PrintChoice> choice = dialogs.askPrint(printer);
    if (!choice)
        return;
    const PagePainter figurePage = [&](QPainter& painter) { paintFigure(painter, figure, caption); };
    if (const auto failure =
            printOn(printer, *choice == PrintChoice::FigureAlone ? figurePage : windowPage(window), queue, watch))
        dialogs.showError(failureMessage(*failure));
}

}  // namespace velmoran::ui
