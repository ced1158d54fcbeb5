#include "window/print_window.hpp"

#include "texts/user_texts.hpp"

namespace velmoran::window {

void printWindow(QWidget& window, const printing::PrinterChoice& choosePrinter,
                 const std::shared_ptr<printing::PrintQueue>& queue, printing::JobWatch& watch, UserDialogs& dialogs)
{
    std::optional<printing::PrintFailure> failure;
    if (std::unique_ptr<QPrinter> printer = choosePrinter ? choosePrinter() : nullptr) {
        failure = printing::printOn(*printer, printing::windowPage(window), queue, watch);
    } else {
        if (!dialogs.askYesNo(QString::fromStdString(texts::message(texts::Message::NoDefaultPrinter))))
            return;
        const QString file = dialogs.askPdfFileName();
        if (file.isEmpty())
            return;
        // A PDF printer's page, the way a printout to a file would come out.
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        failure = printing::savePdf(file, printing::windowPage(window), pdf.pageLayout(), pdf.resolution());
    }
    if (failure)
        dialogs.showError(printing::failureMessage(*failure));
}

void printChosen(QWidget& window, const QImage& figure, const QString& caption,
                 const std::shared_ptr<printing::PrintQueue>& queue, printing::JobWatch& watch, UserDialogs& dialogs)
{
    QPrinter printer(QPrinter::HighResolution);
    const std::optional<PrintChoice> choice = dialogs.askPrint(printer);
    if (!choice)
        return;
    const printing::PagePainter figurePage = [&](QPainter& painter) {
        printing::paintFigure(painter, figure, caption);
    };
    if (const auto failure =
            printing::printOn(printer, *choice == PrintChoice::FigureAlone ? figurePage : printing::windowPage(window),
                              queue, watch))
        dialogs.showError(printing::failureMessage(*failure));
}

}  // namespace velmoran::window
