#include "window/print_window.hpp"

#include "texts/user_texts.hpp"

namespace velmoran::ui {

void printWindow(QWidget& window, const PrinterChoice& choosePrinter, const std::shared_ptr<PrintQueue>& queue,
                 JobWatch& watch, UserDialogs& dialogs)
{
    std::optional<PrintFailure> failure;
    if (std::unique_ptr<QPrinter> printer = choosePrinter ? choosePrinter() : nullptr) {
        failure = printOn(*printer, window, queue, watch);
    } else {
        if (!dialogs.askYesNo(QString::fromStdString(texts::message(texts::Message::NoDefaultPrinter))))
            return;
        const QString file = dialogs.askPdfFileName();
        if (file.isEmpty())
            return;
        // A PDF printer's page, the way a printout to a file would come out.
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        failure = savePdf(file, window, pdf.pageLayout(), pdf.resolution());
    }
    if (failure)
        dialogs.showError(failureMessage(*failure));
}

}  // namespace velmoran::ui
