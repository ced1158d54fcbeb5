#pragma once

// "Stampa": the window on the chosen printer or, with none, in a PDF file
// the person names.

#include <memory>

#include "printing/print_job.hpp"
#include "window/user_dialogs.hpp"

namespace velmoran::window {

// Prints `window` as it is now. Every failure is reported through
// `dialogs`, or by `watch` when it comes later; none of them stops the
// program.
void printWindow(QWidget& window, const printing::PrinterChoice& choosePrinter,
                 const std::shared_ptr<printing::PrintQueue>& queue, printing::JobWatch& watch, UserDialogs& dialogs);

// "Stampa…": the printer, copies, orientation and what to print (the
// window, or `figure` alone under `caption`) as the person chooses them in
// the print dialog, sent the way printWindow sends.
void printChosen(QWidget& window, const QImage& figure, const QString& caption,
                 const std::shared_ptr<printing::PrintQueue>& queue, printing::JobWatch& watch, UserDialogs& dialogs);

}  // namespace velmoran::window
