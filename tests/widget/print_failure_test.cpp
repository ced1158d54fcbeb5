// "Stampa" pressed in the middle of a drawing when printing cannot be done
// as asked: each failure is told in Italian, once, naming its cause, and
// nothing else is lost: the drawing goes on to the same picture, the
// window's state stays, the window works on. Then what the print server says
// of a job, and what the person is told of it.

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <QtTest>

#include "files/whole_file.hpp"
#include "picture/raster_surface.hpp"
#include "printing/print_job.hpp"
#include "tests/support/qt_test_main.hpp"
#include "window/print_window.hpp"
#include "window_driver.hpp"

using namespace velmoran;
using namespace velmoran::test;

namespace {

const QString kNoPrinterQuestion = QStringLiteral("Non è configurata nessuna stampante predefinita.\n"
                                                  "Salvare la stampa in un file PDF?");

// A path as the test names it: absolute, or inside the test's folder.
QString placed(const QString& path, const QTemporaryDir& dir)
{
    return path.isEmpty() || path.startsWith('/') ? path : dir.filePath(path);
}

// The folder "locked" of `dir`, where this process may not write while the
// object lives. Root may write anywhere, so root writes as nobody meanwhile.
class LockedFolder {
public:
    explicit LockedFolder(const QTemporaryDir& dir) : dir_(dir.path())
    {
        QDir(dir_).mkdir(QStringLiteral("locked"));
        ::chmod(QFile::encodeName(dir_).constData(), 0755);
        ::chmod(QFile::encodeName(dir_ + QStringLiteral("/locked")).constData(), 0555);
        if (::geteuid() == 0)
            ::setfsuid(65534);
    }
    ~LockedFolder()
    {
        if (::geteuid() == 0)
            ::setfsuid(0);
        ::chmod(QFile::encodeName(dir_ + QStringLiteral("/locked")).constData(), 0755);
    }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

private:
    QString dir_;
};

QStringList pdfFilesIn(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, {QStringLiteral("*.pdf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

// A string of the document's information as Qt writes it: UTF-16 with a
// byte order mark.
QByteArray pdfString(const QString& text)
{
    return "(\xfe\xff" + QByteArray(QStringEncoder(QStringConverter::Utf16BE).encode(text)) + ")";
}

// What is wrong with a PDF document for a printout; empty if nothing. No
// JPEG, nothing translucent (a PostScript printer's driver turns such a page
// whole into pixels), and the document says what it is.
QString pdfProblem(const QByteArray& document)
{
    if (!document.startsWith("%PDF-") || !document.trimmed().endsWith("%%EOF"))
        return QStringLiteral("not a whole PDF document");
    if (document.contains("/DCTDecode"))
        return QStringLiteral("a JPEG image");
    const QString text = QString::fromLatin1(document);
    if (text.contains(QRegularExpression(QStringLiteral("/SMask \\d"))))
        return QStringLiteral("an image with an alpha channel");
    QRegularExpressionMatchIterator alpha = QRegularExpression(QStringLiteral("/(ca|CA) ([0-9.]+)")).globalMatch(text);
    while (alpha.hasNext()) {
        const QRegularExpressionMatch match = alpha.next();
        if (match.captured(2).toDouble() != 1.0)
            return QStringLiteral("translucency: ") + match.captured(0);
    }
    if (!document.contains("/Title " + pdfString(QStringLiteral("Velmoran"))))
        return QStringLiteral("no title");
    if (!document.contains("/Creator " + pdfString(QStringLiteral("Velmoran 1.00"))))
        return QStringLiteral("no creator");
    return {};
}

// Stands in for the print server: answers `before` to the first question
// about the printer's state and `after` to the later ones.
class FakeQueue final : public printing::PrintQueue {
public:
    printing::QueueState before = printing::QueueState::Ready;
    printing::QueueState after = printing::QueueState::Ready;
    printing::JobId job = 7;  // given to a job submitted; 0: refused
    printing::JobState jobNow = printing::JobState::Completed;

    int stateQuestions = 0;
    QByteArrayList submitted;
    QStringList titles;
    QList<printing::JobId> looked;

    printing::QueueState state(const QString&) override { return stateQuestions++ == 0 ? before : after; }
    printing::JobId submit(const QString&, const QByteArray& document, const QString& title, int) override
    {
        submitted << document;
        titles << title;
        return job;
    }
    printing::JobState jobState(const QString&, printing::JobId id) override
    {
        looked << id;
        return jobNow;
    }
};

}  // namespace

class PrintFailureTest : public QObject {
    Q_OBJECT

private slots:
    void printDuringADrawing_data()
    {
        QTest::addColumn<QString>("printer");   // its output file; empty: no printer at all
        QTest::addColumn<bool>("answerYes");    // to the offer of a PDF file
        QTest::addColumn<QString>("pdfFile");   // the file then chosen
        QTest::addColumn<QString>("message");   // %1: where it was to go
        QTest::addColumn<QString>("written");   // the PDF that must be whole afterwards

        QTest::newRow("printer writing a PDF") << "out.pdf" << false << "" << "" << "out.pdf";
        QTest::newRow("no printer, offer declined") << "" << false << "" << "" << "";
        QTest::newRow("no printer, no file chosen") << "" << true << "" << "" << "";
        QTest::newRow("no printer, saved as PDF") << "" << true << "out.pdf" << "" << "out.pdf";
        // Each failure to write, by the printer and by the PDF file offered.
        for (const auto& [where, file, cause] :
             {std::tuple("into a missing folder", "missing/out.pdf", "la cartella non esiste."),
              {"into a folder without permission", "locked/out.pdf", "permesso negato."},
              {"onto a full disk", "/dev/full", "spazio su disco esaurito."}}) {
            const QString message = QStringLiteral("Impossibile scrivere il file PDF «%1»: ") + cause;
            QTest::addRow("printer writing %s", where) << file << false << "" << message << "";
            QTest::addRow("no printer, PDF %s", where) << "" << true << file << message << "";
        }
    }
    void printDuringADrawing()
    {
        QFETCH(QString, printer);
        QFETCH(bool, answerYes);
        QFETCH(QString, pdfFile);
        QFETCH(QString, message);
        QFETCH(QString, written);
        if ((printer + pdfFile).startsWith(QLatin1String("/dev/full")) && !QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        QTemporaryDir dir;
        printer = placed(printer, dir);
        pdfFile = placed(pdfFile, dir);
        DrivenWindow driven(picture::PumpTiming::everyCall());
        window::MainWindow& window = driven.window;
        DialogLog& log = driven.log;
        log.answerYes = answerYes;
        log.pdfFile = pdfFile;
        window.setPrinterChoice([&] { return printer.isEmpty() ? nullptr : pdfPrinter(printer); });
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // A carpet at count 3 makes 73 yieldToEvents calls; "Stampa" comes at the 30th.
        const TraceRequest request = std::get<TraceRequest>(parseTraceArguments({"--at", "30", "stampa", "tappeto", "3"}));
        YieldScript script(window, request.actions);
        {
            std::optional<LockedFolder> locked;
            if ((printer + pdfFile).contains(QLatin1String("/locked/")))
                locked.emplace(dir);
            script.run(request.figure, request.text);
        }

        QCOMPARE(script.pressedOf(TraceAction::Kind::Print), 1);
        QCOMPARE(log.questions, printer.isEmpty() ? QStringList{kNoPrinterQuestion} : QStringList{});
        QCOMPARE(log.fileQuestions, printer.isEmpty() && answerYes ? 1 : 0);
        QCOMPARE(log.errors, message.isEmpty() ? QStringList{}
                                               : QStringList{message.arg(printer.isEmpty() ? pdfFile : printer)});
        if (!written.isEmpty())
            QCOMPARE(pdfProblem(contents(dir.filePath(written))), QString());
        QCOMPARE(pdfFilesIn(dir.path()), written.isEmpty() ? QStringList{} : QStringList{dir.filePath(written)});

        QCOMPARE(window.lastOutcome(), PressOutcome::done());
        QCOMPARE(window.surface().image(), predict(window, request).picture);
        QCOMPARE(window.state().count, Int16(3));
        QCOMPARE(window.state().nesting, 0);
        QVERIFY(window.isVisible());
        press(window, Figure::KochCurve, "0");
        QCOMPARE(window.lastOutcome(), PressOutcome::done());
    }

    // A PDF that cannot be written whole (here no file may grow past 1 KiB)
    // leaves an earlier file of its name as it was; one that can, replaces it.
    void earlierPdfKeptUnlessReplacedWhole()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("out.pdf"));
        const QByteArray earlier("an earlier file");
        QCOMPARE(files::writeWholeFile(file, earlier), 0);
        window::MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QPrinter page(QPrinter::HighResolution);
        page.setOutputFormat(QPrinter::PdfFormat);
        const auto save = [&] {
            return printing::savePdf(file, printing::windowPage(window), page.pageLayout(), page.resolution());
        };

        rlimit usual{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &usual), 0);
        rlimit small = usual;
        small.rlim_cur = 1024;
        const auto usualHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const std::optional<printing::PrintFailure> failure = save();
        ::setrlimit(RLIMIT_FSIZE, &usual);
        std::signal(SIGXFSZ, usualHandler);

        QVERIFY(failure);
        QCOMPARE(failure->cause, printing::PrintFailure::Cause::FileNotWritten);
        QCOMPARE(failure->errorNumber, EFBIG);
        QCOMPARE(contents(file), earlier);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.pdf")});

        QVERIFY(!save());
        QCOMPARE(pdfProblem(contents(file)), QString());
    }

    void printServerSays_data()
    {
        using printing::JobState;
        using printing::QueueState;
        QTest::addColumn<QueueState>("before");  // the printer's state when asked first
        QTest::addColumn<bool>("refused");       // the server would not queue the job
        QTest::addColumn<JobState>("job");       // what became of the job
        QTest::addColumn<QueueState>("after");   // the printer's state when asked again
        QTest::addColumn<bool>("sent");
        QTest::addColumn<QString>("message");  // %1: the printer; empty: printed

        const auto ready = QueueState::Ready;
        const auto done = JobState::Completed;
        QTest::newRow("printed") << ready << false << done << ready << true << "";
        QTest::newRow("still printing") << ready << false << JobState::Waiting << ready << true << "";
        QTest::newRow("stopped printer") << QueueState::Stopped << false << done << ready << false
                                         << "La stampante «%1» è ferma: la stampa non è stata inviata.";
        QTest::newRow("printer not accepting jobs") << QueueState::Rejecting << false << done << ready << false
                                                    << "La stampante «%1» non accetta lavori di stampa.";
        QTest::newRow("printer gone from the server") << QueueState::Missing << false << done << ready << false
                                                      << "La stampante «%1» non esiste più sul server di stampa.";
        QTest::newRow("server not answering")
            << QueueState::Unreachable << false << done << ready << false
            << "Il server di stampa non risponde: la stampa su «%1» non è stata inviata.";
        QTest::newRow("job refused") << ready << true << done << ready << true
                                     << "Il server di stampa ha rifiutato la stampa su «%1».";
        QTest::newRow("job refused by a printer just turned to rejecting")
            << ready << true << done << QueueState::Rejecting << true
            << "La stampante «%1» non accetta lavori di stampa.";
        QTest::newRow("job refused, printer just stopped")
            << ready << true << done << QueueState::Stopped << true
            << "Il server di stampa ha rifiutato la stampa su «%1».";
        QTest::newRow("job stopped by an error")
            << ready << false << JobState::Stopped << ready << true
            << "La stampa su «%1» è stata fermata dal server di stampa per un errore.";
        QTest::newRow("job cancelled") << ready << false << JobState::Cancelled << ready << true
                                       << "La stampa su «%1» è stata annullata dal server di stampa.";
        QTest::newRow("printer stopped with the job queued")
            << ready << false << JobState::Waiting << QueueState::Stopped << true
            << "La stampante «%1» si è fermata: la stampa resta in coda.";
    }
    void printServerSays()
    {
        QFETCH(printing::QueueState, before);
        QFETCH(bool, refused);
        QFETCH(printing::JobState, job);
        QFETCH(printing::QueueState, after);
        QFETCH(bool, sent);
        QFETCH(QString, message);
        const QString printer = QStringLiteral("PDF");
        const QByteArray document = "%PDF-1.4 the page";
        auto queue = std::make_shared<FakeQueue>();
        queue->before = before;
        queue->after = after;
        queue->job = refused ? 0 : 7;
        queue->jobNow = job;
        QStringList told;
        // Patience over at the first look: a job still waiting is judged then.
        printing::JobWatch watch([&](const QString& text) { told << text; }, std::chrono::milliseconds(0));
        if (const std::optional<printing::PrintFailure> failure =
                printing::sendToQueue(queue, printer, document, 1, watch))
            told << printing::failureMessage(*failure);
        QCOMPARE(watch.following(), sent && !refused ? 1 : 0);
        QTRY_COMPARE(watch.following(), 0);
        QCOMPARE(queue->submitted, sent ? QByteArrayList{document} : QByteArrayList{});
        QCOMPARE(queue->titles, sent ? QStringList{QStringLiteral("Velmoran")} : QStringList{});
        QCOMPARE(queue->looked, sent && !refused ? QList<printing::JobId>{7} : QList<printing::JobId>{});
        QCOMPARE(told, message.isEmpty() ? QStringList{} : QStringList{message.arg(printer)});
    }

    // A job is looked at until it ends, or until the watch's patience is
    // over; the window goes on meanwhile.
    void jobFollowedUntilItEnds()
    {
        auto queue = std::make_shared<FakeQueue>();
        queue->jobNow = printing::JobState::Waiting;
        QStringList told;
        printing::JobWatch watch([&](const QString& text) { told << text; }, std::chrono::seconds(60));
        watch.follow(queue, QStringLiteral("PDF"), 7);
        QTRY_VERIFY(queue->looked.size() >= 3);
        QCOMPARE(watch.following(), 1);
        queue->jobNow = printing::JobState::Cancelled;
        QTRY_COMPARE(watch.following(), 0);
        QCOMPARE(told, QStringList{QStringLiteral("La stampa su «PDF» è stata annullata dal server di stampa.")});
    }

    // What goes to a printer's queue is the page a PDF file gets.
    void printerGetsThePdfPage()
    {
        auto queue = std::make_shared<FakeQueue>();
        printing::JobWatch watch([](const QString&) {});
        DrivenWindow driven;
        window::MainWindow& window = driven.window;
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10));
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(QStringLiteral("PDF"));
        printer.setPageLayout(a4);
        QVERIFY(!printing::printOn(printer, printing::windowPage(window), queue, watch));
        QCOMPARE(queue->submitted.size(), 1);
        QCOMPARE(pdfProblem(queue->submitted.front()), QString());
        QVERIFY(driven.log.errors.isEmpty());
    }
};

VELMORAN_TEST_MAIN(PrintFailureTest)
#include "print_failure_test.moc"
