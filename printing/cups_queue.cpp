#include <cstdlib>
#include <cstring>
#include <string>

#include <cups/cups.h>

#include "printing/print_queue.hpp"

namespace velmoran::printing {

namespace {

// Qt names a printer's instance after a slash, as lpstat does.
struct Destination {
    QByteArray name;
    QByteArray instance;
};

Destination destinationOf(const QString& printer)
{
    const qsizetype slash = printer.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {printer.toUtf8(), {}};
    return {printer.left(slash).toUtf8(), printer.mid(slash + 1).toUtf8()};
}

// The printer as the server describes it, with the user's own defaults.
class NamedDestination {
public:
    explicit NamedDestination(const Destination& destination)
        : dest_(cupsGetNamedDest(CUPS_HTTP_DEFAULT, destination.name.constData(),
                                 destination.instance.isEmpty() ? nullptr : destination.instance.constData()))
    {
    }
    ~NamedDestination()
    {
        if (dest_)
            cupsFreeDests(1, dest_);
    }
    NamedDestination(const NamedDestination&) = delete;
    NamedDestination& operator=(const NamedDestination&) = delete;

    const cups_dest_t* get() const { return dest_; }
    const char* option(const char* name) const { return cupsGetOption(name, dest_->num_options, dest_->options); }

private:
    cups_dest_t* dest_;
};

class JobOptions {
public:
    ~JobOptions() { cupsFreeOptions(count_, options_); }
    void add(const char* name, const char* value) { count_ = cupsAddOption(name, value, count_, &options_); }
    int count() const { return count_; }
    cups_option_t* options() const { return options_; }

private:
    int count_ = 0;
    cups_option_t* options_ = nullptr;
};

// This user's jobs on one printer, finished ones included.
class JobList {
public:
    explicit JobList(const QByteArray& printer)
        : count_(cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs_, printer.constData(), 1, CUPS_WHICHJOBS_ALL))
    {
    }
    ~JobList() { cupsFreeJobs(count_, jobs_); }
    JobList(const JobList&) = delete;
    JobList& operator=(const JobList&) = delete;

    // False when the server could not be asked.
    bool known() const { return count_ >= 0; }
    const cups_job_t* find(JobId id) const
    {
        for (int i = 0; i < count_; ++i)
            if (jobs_[i].id == id)
                return &jobs_[i];
        return nullptr;
    }

private:
    cups_job_t* jobs_ = nullptr;
    int count_;
};

// cupsGetNamedDest says "not found" of a server it cannot reach, too.
bool serverAnswers()
{
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!http)
        return false;
    httpClose(http);
    return true;
}

JobState jobStateOf(ipp_jstate_t state)
{
    switch (state) {
    case IPP_JSTATE_COMPLETED:
        return JobState::Completed;
    case IPP_JSTATE_STOPPED:
        return JobState::Stopped;
    case IPP_JSTATE_CANCELED:
    case IPP_JSTATE_ABORTED:
        return JobState::Cancelled;
    case IPP_JSTATE_PENDING:
    case IPP_JSTATE_HELD:
    case IPP_JSTATE_PROCESSING:
        break;
    }
    return JobState::Waiting;
}

class CupsQueue final : public PrintQueue {
public:
    QueueState state(const QString& printer) override
    {
        const NamedDestination dest(destinationOf(printer));
        if (!dest.get())
            return cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND && serverAnswers() ? QueueState::Missing
                                                                                    : QueueState::Unreachable;
        const char* accepting = dest.option("printer-is-accepting-jobs");
        const char* state = dest.option("printer-state");
        if (accepting && std::strcmp(accepting, "false") == 0)
            return QueueState::Rejecting;
        if (state && std::atoi(state) == IPP_PSTATE_STOPPED)
            return QueueState::Stopped;
        return QueueState::Ready;
    }

    JobId submit(const QString& printer, const QByteArray& document, const QString& title, int copies) override
    {
        const Destination destination = destinationOf(printer);
        const char* name = destination.name.constData();
        const QByteArray jobTitle = title.toUtf8();
        JobOptions options;
        // What lp sends: the printer's and the user's defaults for the job.
        if (const NamedDestination dest(destination); dest.get())
            for (int i = 0; i < dest.get()->num_options; ++i)
                options.add(dest.get()->options[i].name, dest.get()->options[i].value);
        if (copies > 1)
            options.add("copies", std::to_string(copies).c_str());
        const JobId job =
            cupsCreateJob(CUPS_HTTP_DEFAULT, name, jobTitle.constData(), options.count(), options.options());
        if (job <= 0)
            return 0;
        http_status_t status =
            cupsStartDocument(CUPS_HTTP_DEFAULT, name, job, jobTitle.constData(), CUPS_FORMAT_PDF, 1);
        if (status == HTTP_STATUS_CONTINUE)
            status = cupsWriteRequestData(CUPS_HTTP_DEFAULT, document.constData(),
                                          static_cast<size_t>(document.size()));
        if (status != HTTP_STATUS_CONTINUE || cupsFinishDocument(CUPS_HTTP_DEFAULT, name) != IPP_STATUS_OK) {
            // A job without its document would wait for it, held, for long.
            cupsCancelJob2(CUPS_HTTP_DEFAULT, name, job, 0);
            return 0;
        }
        return job;
    }

    JobState jobState(const QString& printer, JobId job) override
    {
        const JobList jobs(destinationOf(printer).name);
        if (const cups_job_t* ours = jobs.find(job))
            return jobStateOf(ours->state);
        // A server that keeps no history forgets a job as soon as it ends.
        return jobs.known() ? JobState::Completed : JobState::Waiting;
    }
};

}  // namespace

std::unique_ptr<PrintQueue> makeCupsQueue() { return std::make_unique<CupsQueue>(); }

}  // namespace velmoran::printing
