#pragma once

// Printing the window: its client area as shown, figure included, on the
// system's default printer, as large as the page allows. No print dialog;
// with no printer the person may save the printout as a PDF file instead.

#include <functional>
#include <memory>

#include <QPageLayout>
#include <QPixmap>
#include <QPrinter>

#include "ui/user_dialogs.hpp"

namespace velmoran::ui {

// Gives the printer to print on, or null when there is none.
using PrinterChoice = std::function<std::unique_ptr<QPrinter>()>;

// The system's default printer at high resolution; null when none is set up.
std::unique_ptr<QPrinter> systemDefaultPrinter();

enum class PrintResult {
    Printed,     // sent to the printer
    SavedAsPdf,  // there was no printer and the person chose a PDF file
    Declined,    // there was no printer and the person chose nothing
    Failed,      // the job could not be started or finished; already reported
};

// How one print job went.
enum class JobResult {
    Done,
    NotStarted,  // the printer or the file could not be opened
    Unfinished,  // started, but the page was not all sent or written
};

// Puts `picture` on one page, scaled to fit with its aspect kept, centred.
// A printer with an output file writes it through savePdf.
JobResult printPicture(QPrinter& printer, const QPixmap& picture);

// The same page as a PDF file at `file`. Done only when every byte of the
// document has reached the file.
JobResult savePdf(const QString& file, const QPixmap& picture, const QPageLayout& layout, int resolution);

// Prints `window` as it is on screen now. Every failure is reported through
// `dialogs`; none of them stops the program.
PrintResult printWindow(QWidget& window, const PrinterChoice& choosePrinter, UserDialogs& dialogs);

}  // namespace velmoran::ui
