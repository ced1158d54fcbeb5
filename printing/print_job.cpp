#include "printing/print_job.hpp"

#include <QDir>
#include <QPrinterInfo>
#include <QTimerEvent>

#include "files/whole_file.hpp"
#include "printing/page.hpp"
#include "texts/user_texts.hpp"

namespace velmoran::printing {

namespace {

// Between two looks at the jobs followed, in milliseconds.
constexpr int kLookInterval = 100;

}  // namespace

QString failureMessage(const PrintFailure& failure)
{
    using texts::Message;
    const std::string target = failure.target.toStdString();
    auto said = [&](Message id) { return QString::fromStdString(texts::message(id, {target})); };
    switch (failure.cause) {
    case PrintFailure::Cause::PrinterStopped: return said(Message::PrinterStopped);
    case PrintFailure::Cause::PrinterRejecting: return said(Message::PrinterRejecting);
    case PrintFailure::Cause::PrinterMissing: return said(Message::PrinterMissing);
    case PrintFailure::Cause::ServerUnreachable: return said(Message::ServerUnreachable);
    case PrintFailure::Cause::JobRefused: return said(Message::JobRefused);
    case PrintFailure::Cause::JobStopped: return said(Message::JobStopped);
    case PrintFailure::Cause::JobCancelled: return said(Message::JobCancelled);
    case PrintFailure::Cause::StoppedWithJob: return said(Message::StoppedWithJob);
    case PrintFailure::Cause::DocumentNotMade: return said(Message::PageNotMade);
    case PrintFailure::Cause::FileNotWritten: break;
    }
    const QString file = QDir::toNativeSeparators(failure.target);
    return QString::fromStdString(texts::pdfNotWritten(file.toStdString(), failure.errorNumber));
}

std::optional<PrintFailure> sendToQueue(const std::shared_ptr<PrintQueue>& queue, const QString& printer,
                                        const QByteArray& document, int copies, JobWatch& watch)
{
    using Cause = PrintFailure::Cause;
    auto cannotTake = [&](QueueState state) -> std::optional<PrintFailure> {
        switch (state) {
        case QueueState::Stopped:
            return PrintFailure{Cause::PrinterStopped, printer};
        case QueueState::Rejecting:
            return PrintFailure{Cause::PrinterRejecting, printer};
        case QueueState::Missing:
            return PrintFailure{Cause::PrinterMissing, printer};
        case QueueState::Unreachable:
            return PrintFailure{Cause::ServerUnreachable, printer};
        case QueueState::Ready:
            break;
        }
        return std::nullopt;
    };
    if (std::optional<PrintFailure> failure = cannotTake(queue->state(printer)))
        return failure;
    const JobId job = queue->submit(printer, document, QString::fromUtf8(texts::kProgramName), copies);
    if (job == 0) {
        // Why, if the printer has changed since it was asked (a stopped one
        // still takes jobs, so that is no reason); else the server refused
        // this job.
        const QueueState now = queue->state(printer);
        if (now != QueueState::Stopped)
            if (std::optional<PrintFailure> failure = cannotTake(now))
                return failure;
        return PrintFailure{Cause::JobRefused, printer};
    }
    watch.follow(queue, printer, job);
    return std::nullopt;
}

JobWatch::JobWatch(Report report, std::chrono::milliseconds patience, QObject* parent)
    : QObject(parent), report_(std::move(report)), patience_(patience)
{
}

void JobWatch::follow(std::shared_ptr<PrintQueue> queue, const QString& printer, JobId job)
{
    jobs_.push_back({std::move(queue), printer, job, std::chrono::steady_clock::now() + patience_});
    if (!timer_.isActive())
        timer_.start(kLookInterval, this);
}

void JobWatch::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != timer_.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    try {
        look();
    } catch (...) {
        jobs_.clear();
        timer_.stop();
        try {
            report_(QString::fromStdString(texts::message(texts::Message::UnexpectedInPrinting)));
        } catch (...) {
            // Nothing more can be told; the window goes on.
        }
    }
}

void JobWatch::look()
{
    using Cause = PrintFailure::Cause;
    const auto now = std::chrono::steady_clock::now();
    std::vector<PrintFailure> failures;
    std::vector<Followed> still;
    for (Followed& followed : jobs_) {
        const JobState state = followed.queue->jobState(followed.printer, followed.job);
        if (state == JobState::Waiting && now < followed.until) {
            still.push_back(std::move(followed));
            continue;
        }
        if (state == JobState::Stopped)
            failures.push_back({Cause::JobStopped, followed.printer});
        else if (state == JobState::Cancelled)
            failures.push_back({Cause::JobCancelled, followed.printer});
        else if (state == JobState::Waiting && followed.queue->state(followed.printer) == QueueState::Stopped)
            failures.push_back({Cause::StoppedWithJob, followed.printer});
    }
    jobs_ = std::move(still);
    if (jobs_.empty())
        timer_.stop();
    // Last: a report may wait for the person, and the watch go on meanwhile.
    for (const PrintFailure& failure : failures)
        report_(failureMessage(failure));
}

std::unique_ptr<QPrinter> systemDefaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

std::optional<PrintFailure> printOn(QPrinter& printer, const PagePainter& paint,
                                    const std::shared_ptr<PrintQueue>& queue, JobWatch& watch)
{
    if (!printer.outputFileName().isEmpty())
        return savePdf(printer.outputFileName(), paint, printer.pageLayout(), printer.resolution());
    const QString name = printer.printerName();
    const std::optional<QByteArray> document = makePdf(paint, printer.pageLayout(), printer.resolution());
    if (!document)
        return PrintFailure{PrintFailure::Cause::DocumentNotMade, name};
    return sendToQueue(queue, name, *document, printer.copyCount(), watch);
}

std::optional<PrintFailure> savePdf(const QString& file, const PagePainter& paint, const QPageLayout& layout,
                                    int resolution)
{
    // Qt's PDF engine drops write errors: a file on a full disk, cut short or
    // never written at all, still ends in success. So the document is made
    // in memory and written here, where a failed write shows.
    const std::optional<QByteArray> document = makePdf(paint, layout, resolution);
    if (!document)
        return PrintFailure{PrintFailure::Cause::DocumentNotMade, file};
    if (const int error = files::writeWholeFile(file, *document))
        return PrintFailure{PrintFailure::Cause::FileNotWritten, file, error};
    return std::nullopt;
}

}  // namespace velmoran::printing
