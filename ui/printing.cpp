#include "ui/printing.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <QBuffer>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <QStyle>
#include <QTimerEvent>

#include "ui/classic_button.hpp"
#include "ui/drawing_area.hpp"
#include "ui/whole_file.hpp"

namespace velmoran::ui {

namespace {

// Pixels put on paper are enlarged to about this density, or the printer's
// own if lower: finer than a printer or viewer resamples them at, so none
// of them smooths a line into its neighbours.
constexpr double kPictureDpi = 300;

// How the pictures on a page are made: at `blocks` times the screen's
// pixel ratio, so that each screen pixel can become an even block.
struct PictureDensity {
    qreal screenRatio;
    int blocks;
    qreal pixelsPerUnit() const { return screenRatio * blocks; }
};

// Between two looks at the jobs followed, in milliseconds.
constexpr int kLookInterval = 100;

QString creator()
{
    return QStringLiteral("%1 %2")
        .arg(QString::fromUtf8(kDocumentTitle), QCoreApplication::applicationVersion())
        .trimmed();
}

// An opaque picture of `widget`'s size at `density` pixels a logical pixel,
// filled with what shows around it: a page with any transparency in it is
// turned whole into pixels on its way to a PostScript printer.
QImage blankPicture(const QWidget& widget, qreal density)
{
    QImage picture(qRound(widget.width() * density), qRound(widget.height() * density), QImage::Format_RGB32);
    picture.setDevicePixelRatio(density);
    const QWidget* below = widget.parentWidget() ? widget.parentWidget() : &widget;
    picture.fill(below->palette().color(below->backgroundRole()));
    return picture;
}

// `widget`'s own painting (not the widgets inside it) as a picture made at
// `density`, each of its pixels then enlarged to `blocks` by `blocks`.
void paintAsPicture(QPainter& painter, QWidget& widget, const QPoint& at, qreal density, int blocks)
{
    QImage picture = blankPicture(widget, density);
    widget.render(&picture, QPoint(), QRegion(), QWidget::RenderFlags());
    if (blocks > 1)
        picture = picture.scaled(picture.size() * blocks, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    painter.drawImage(QRectF(at, widget.size()), picture);
}

// Qt's styles draw a push button's bevel and focus mark with translucent
// strokes. Those go on paper as a picture, the caption as text, the way
// QPushButton puts the three together.
void paintStyledButton(QPainter& painter, const ClassicButton& button, const QPoint& at, qreal density)
{
    const QStyleOptionButton option = button.styleOption();
    const QStyle* style = button.style();
    QImage picture = blankPicture(button, density);
    {
        QPainter bevel(&picture);
        style->drawControl(QStyle::CE_PushButtonBevel, &option, &bevel, &button);
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.rect = style->subElementRect(QStyle::SE_PushButtonFocusRect, &option, &button);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &bevel, &button);
        }
    }
    painter.drawImage(QRectF(at, button.size()), picture);

    QStyleOptionButton label = option;
    label.rect = style->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    painter.save();
    painter.translate(at);
    // The caption as large as on screen: a size in points would be taken
    // at the printer's dpi, and then scaled up with the window.
    QFont font = button.font();
    font.setPixelSize(QFontInfo(QFont(font, &button)).pixelSize());
    painter.setFont(font);
    style->drawControl(QStyle::CE_PushButtonLabel, &label, &painter, &button);
    painter.restore();
}

// `widget` and the widgets inside it, each on its own: render() paints a
// whole tree the one way.
void paintTree(QPainter& painter, QWidget& widget, const QPoint& at, const PictureDensity& density,
               QWidget::RenderFlags flags)
{
    if (qobject_cast<const DrawingArea*>(&widget)) {
        // The figure and its frame exactly as on screen, pixel for pixel.
        paintAsPicture(painter, widget, at, density.screenRatio, density.blocks);
    } else if (qobject_cast<const QComboBox*>(&widget)) {
        // Qt's styles draw a combo box through a pixmap, whatever the device.
        paintAsPicture(painter, widget, at, density.pixelsPerUnit(), 1);
    } else if (auto* button = qobject_cast<ClassicButton*>(&widget); button && button->drawnByStyle()) {
        paintStyledButton(painter, *button, at, density.pixelsPerUnit());
    } else {
        widget.render(&painter, at, QRegion(), flags);
    }
    for (QObject* child : widget.children()) {
        auto* inner = qobject_cast<QWidget*>(child);
        if (inner && !inner->isWindow() && !inner->isHidden())
            paintTree(painter, *inner, at + inner->pos(), density, QWidget::RenderFlags());
    }
}

// The pictures' density on a page where a logical pixel spans `scale`
// device pixels of `device`.
PictureDensity pictureDensity(const QPaintDevice& device, qreal scale, qreal screenRatio)
{
    const double dpi = std::max(1, device.logicalDpiX());
    const double wanted = scale * std::min(dpi, kPictureDpi) / dpi;
    return {screenRatio, std::max(1, static_cast<int>(std::ceil(wanted / screenRatio)))};
}

QString fileProblem(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return QStringLiteral("permesso negato");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("spazio su disco esaurito");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("la cartella non esiste");
    case EROFS:
        return QStringLiteral("il disco è in sola lettura");
    case EISDIR:
        return QStringLiteral("è una cartella");
    case ENAMETOOLONG:
        return QStringLiteral("il nome è troppo lungo");
    case EIO:
        return QStringLiteral("errore di lettura o scrittura del disco");
    default:
        return QStringLiteral("errore di sistema n. %1").arg(errorNumber);
    }
}

}  // namespace

QString failureMessage(const PrintFailure& failure)
{
    const QString& target = failure.target;
    switch (failure.cause) {
    case PrintFailure::Cause::PrinterStopped:
        return QStringLiteral("La stampante «%1» è ferma: la stampa non è stata inviata.").arg(target);
    case PrintFailure::Cause::PrinterRejecting:
        return QStringLiteral("La stampante «%1» non accetta lavori di stampa.").arg(target);
    case PrintFailure::Cause::PrinterMissing:
        return QStringLiteral("La stampante «%1» non esiste più sul server di stampa.").arg(target);
    case PrintFailure::Cause::ServerUnreachable:
        return QStringLiteral("Il server di stampa non risponde: la stampa su «%1» non è stata inviata.")
            .arg(target);
    case PrintFailure::Cause::JobRefused:
        return QStringLiteral("Il server di stampa ha rifiutato la stampa su «%1».").arg(target);
    case PrintFailure::Cause::JobStopped:
        return QStringLiteral("La stampa su «%1» è stata fermata dal server di stampa per un errore.").arg(target);
    case PrintFailure::Cause::JobCancelled:
        return QStringLiteral("La stampa su «%1» è stata annullata dal server di stampa.").arg(target);
    case PrintFailure::Cause::StoppedWithJob:
        return QStringLiteral("La stampante «%1» si è fermata: la stampa resta in coda.").arg(target);
    case PrintFailure::Cause::DocumentNotMade:
        return QStringLiteral("Impossibile preparare la pagina da stampare su «%1».").arg(target);
    case PrintFailure::Cause::FileNotWritten:
        break;
    }
    const QString file = QDir::toNativeSeparators(target);
    if (failure.errorNumber == 0)
        return QStringLiteral("Impossibile scrivere il file PDF «%1».").arg(file);
    return QStringLiteral("Impossibile scrivere il file PDF «%1»: %2.").arg(file, fileProblem(failure.errorNumber));
}

void paintWindow(QPainter& painter, QWidget& window)
{
    const QRectF page = painter.viewport();
    const QSizeF size = QSizeF(window.size()).scaled(page.size(), Qt::KeepAspectRatio);
    const qreal scale = size.width() / window.width();
    const QPointF origin = page.center() - QPointF(size.width(), size.height()) / 2;
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.translate(origin);
    painter.scale(scale, scale);
    const PictureDensity density = pictureDensity(*painter.device(), scale, window.devicePixelRatioF());
    paintTree(painter, window, QPoint(), density, QWidget::DrawWindowBackground);
}

std::optional<QByteArray> makePdf(QWidget& window, const QPageLayout& layout, int resolution)
{
    QBuffer document;
    document.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&document);
        pdf.setTitle(QString::fromUtf8(kDocumentTitle));
        pdf.setCreator(creator());
        pdf.setResolution(resolution);
        pdf.setPageLayout(layout);
        // Never a QPrinter: QWidget::render() paints onto a printer through
        // pixmaps at the printer's full resolution, slowly, and text and all
        // as pixels.
        QPainter painter;
        if (!painter.begin(&pdf))
            return std::nullopt;
        paintWindow(painter, window);
        if (!painter.end())
            return std::nullopt;
    }
    return document.data();
}

std::optional<PrintFailure> sendToQueue(const std::shared_ptr<PrintQueue>& queue, const QString& printer,
                                        const QByteArray& document, JobWatch& watch)
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
    const JobId job = queue->submit(printer, document, QString::fromUtf8(kDocumentTitle));
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
            report_(QStringLiteral("Errore imprevisto durante la stampa."));
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

std::optional<PrintFailure> printOn(QPrinter& printer, QWidget& window, const std::shared_ptr<PrintQueue>& queue,
                                    JobWatch& watch)
{
    if (!printer.outputFileName().isEmpty())
        return savePdf(printer.outputFileName(), window, printer.pageLayout(), printer.resolution());
    const QString name = printer.printerName();
    const std::optional<QByteArray> document = makePdf(window, printer.pageLayout(), printer.resolution());
    if (!document)
        return PrintFailure{PrintFailure::Cause::DocumentNotMade, name};
    return sendToQueue(queue, name, *document, watch);
}

std::optional<PrintFailure> savePdf(const QString& file, QWidget& window, const QPageLayout& layout, int resolution)
{
    // Qt's PDF engine drops write errors: a file on a full disk, cut short or
    // never written at all, still ends in success. So the document is made
    // in memory and written here, where a failed write shows.
    const std::optional<QByteArray> document = makePdf(window, layout, resolution);
    if (!document)
        return PrintFailure{PrintFailure::Cause::DocumentNotMade, file};
    if (const int error = writeWholeFile(file, *document))
        return PrintFailure{PrintFailure::Cause::FileNotWritten, file, error};
    return std::nullopt;
}

PrintResult printWindow(QWidget& window, const PrinterChoice& choosePrinter, const std::shared_ptr<PrintQueue>& queue,
                        JobWatch& watch, UserDialogs& dialogs)
{
    if (std::unique_ptr<QPrinter> printer = choosePrinter ? choosePrinter() : nullptr) {
        const std::optional<PrintFailure> failure = printOn(*printer, window, queue, watch);
        if (!failure)
            return PrintResult::Printed;
        dialogs.showError(failureMessage(*failure));
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
    const std::optional<PrintFailure> failure = savePdf(file, window, pdf.pageLayout(), pdf.resolution());
    if (!failure)
        return PrintResult::SavedAsPdf;
    dialogs.showError(failureMessage(*failure));
    return PrintResult::Failed;
}

}  // namespace velmoran::ui
