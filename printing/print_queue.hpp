#pragma once

// A printer's queue on the print server: whether it takes jobs now, handing
// it a document, and what became of the job. Qt's own printing tells none
// of it (a job refused by the server, or left waiting on a stopped printer,
// counts as printed there). Behind an interface, so the window and its
// tests can stand in for the server.

#include <memory>

#include <QByteArray>
#include <QString>

namespace velmoran::printing {

enum class QueueState {
    Ready,        // idle or printing, and taking jobs
    Stopped,      // takes jobs but holds them: nothing comes out
    Rejecting,    // refuses every new job
    Missing,      // the server has no such printer
    Unreachable,  // the server does not answer
};

enum class JobState {
    Waiting,    // queued, held or printing
    Completed,  // the printer has it all
    Stopped,    // stopped by an error; it stays in the queue
    Cancelled,  // cancelled or aborted by the server
};

// A print server's number for a job; 0 is none.
using JobId = int;

class PrintQueue {
public:
    virtual ~PrintQueue() = default;

    virtual QueueState state(const QString& printer) = 0;
    // Queues `document`, a PDF, on `printer` as one job titled `title` of
    // `copies` copies, with the printer's default options otherwise; 0 when
    // the server refused it.
    virtual JobId submit(const QString& printer, const QByteArray& document, const QString& title, int copies) = 0;
    virtual JobState jobState(const QString& printer, JobId job) = 0;
};

// The queue as CUPS sees it (the server Qt finds its printers on).
std::unique_ptr<PrintQueue> makeCupsQueue();

}  // namespace velmoran::printing
