#pragma once

// Sending the window's page to a printer, or to a PDF file, and following
// the job on the print server: what Qt's own printing does not tell (a job
// refused by the server, or left on a stopped printer, counts as printed
// there).

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QBasicTimer>
#include <QObject>
#include <QPageLayout>
#include <QPrinter>

#include "printing/page.hpp"
#include "printing/print_queue.hpp"

class QWidget;

namespace velmoran::printing {

// Gives the printer to print on, or null when there is none.
using PrinterChoice = std::function<std::unique_ptr<QPrinter>()>;

// The system's default printer, at high resolution: where the page goes,
// and its size and margins. Null when none is set up.
std::unique_ptr<QPrinter> systemDefaultPrinter();

// How long a job just queued is followed for the server to finish, stop or
// cancel it; one still waiting after that is taken as on its way.
inline constexpr std::chrono::milliseconds kJobPatience{5000};

// Why a printout did not reach its printer or file.
struct PrintFailure {
    enum class Cause {
        PrinterStopped,      // the printer holds every job: nothing was sent
        PrinterRejecting,    // the printer refuses new jobs
        PrinterMissing,      // the print server has no such printer
        ServerUnreachable,   // the print server does not answer
        JobRefused,          // the server would not queue the job
        JobStopped,          // the server stopped the job on an error
        JobCancelled,        // the server cancelled or aborted the job
        StoppedWithJob,      // the printer stopped with the job in its queue
        DocumentNotMade,     // the page could not be made
        FileNotWritten,      // a PDF file; errorNumber says why
    };
    Cause cause;
    QString target;       // the printer's name, or the file's path
    int errorNumber = 0;  // FileNotWritten: the system's errno, 0 if unknown
};

// What the person is told, in Italian.
QString failureMessage(const PrintFailure& failure);

// Follows the jobs queued on print servers for a while, without holding up
// the window: a job the server stops or cancels, or one left on a printer
// that stops, is reported then.
class JobWatch final : public QObject {
public:
    using Report = std::function<void(const QString& message)>;
    explicit JobWatch(Report report, std::chrono::milliseconds patience = kJobPatience, QObject* parent = nullptr);

    void follow(std::shared_ptr<PrintQueue> queue, const QString& printer, JobId job);
    // The jobs still followed.
    int following() const { return static_cast<int>(jobs_.size()); }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    struct Followed {
        std::shared_ptr<PrintQueue> queue;
        QString printer;
        JobId job;
        std::chrono::steady_clock::time_point until;
    };
    void look();

    Report report_;
    std::chrono::milliseconds patience_;
    QBasicTimer timer_;
    std::vector<Followed> jobs_;
};

// Hands `document` to `printer` on `queue`, `copies` times, and the job to
// `watch`: a printer that would hold or refuse it is sent nothing, and a
// job the server will not queue is a failure.
std::optional<PrintFailure> sendToQueue(const std::shared_ptr<PrintQueue>& queue, const QString& printer,
                                        const QByteArray& document, int copies, JobWatch& watch);

// Prints the page `paint` paints on `printer`, in its layout and number of
// copies, through `queue` and `watch`; a printer with an output file writes
// it as savePdf does.
std::optional<PrintFailure> printOn(QPrinter& printer, const PagePainter& paint,
                                    const std::shared_ptr<PrintQueue>& queue, JobWatch& watch);

// The same page as a PDF file at `file`. Succeeds only when every byte of
// the document has reached the file; when it fails, a file it created is
// removed again and an earlier file is left as it was.
std::optional<PrintFailure> savePdf(const QString& file, const PagePainter& paint, const QPageLayout& layout,
                                    int resolution);

}  // namespace velmoran::printing
