// "Stampa" pressed in the middle of a drawing when printing cannot be done
// as asked: each failure is told in Italian, once, and nothing else is lost:
// the drawing goes on to the same picture, the window's state stays, the
// window works on.

#include <QtTest>

#include "window_driver.hpp"
#include "ui/app_setup.hpp"
#include "ui/raster_surface.hpp"

using namespace velmoran;
using namespace velmoran::testing;

namespace {

const QString kNoPrinterQuestion = QStringLiteral("Non è configurata nessuna stampante predefinita.\n"
                                                  "Salvare la stampa in un file PDF?");

// A path as the test names it: absolute, or inside the test's folder.
QString placed(const QString& path, const QTemporaryDir& dir)
{
    return path.isEmpty() || path.startsWith('/') ? path : dir.filePath(path);
}

}  // namespace

class PrintFailureTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ui::setupApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }

    void printDuringADrawing_data()
    {
        QTest::addColumn<QString>("printer");   // its output file; empty: no printer at all
        QTest::addColumn<bool>("answerYes");    // to the offer of a PDF file
        QTest::addColumn<QString>("pdfFile");   // the file then chosen
        QTest::addColumn<QString>("message");   // %1: where it was to go
        QTest::addColumn<QString>("written");   // the PDF that must be whole afterwards

        QTest::newRow("no printer, offer declined") << "" << false << "" << "" << "";
        QTest::newRow("no printer, saved as PDF") << "" << true << "out.pdf" << "" << "out.pdf";
        QTest::newRow("printer that cannot be opened")
            << "missing/out.pdf" << false << "" << "Impossibile avviare la stampa nel file «%1»." << "";
        QTest::newRow("printer whose job fails")
            << "/dev/full" << false << "" << "La stampa nel file «%1» non è stata completata." << "";
        QTest::newRow("no printer, PDF file that cannot be made")
            << "" << true << "missing/out.pdf" << "Impossibile scrivere il file PDF «%1»." << "";
        QTest::newRow("no printer, PDF file that cannot be written")
            << "" << true << "/dev/full" << "Impossibile scrivere il file PDF «%1»." << "";
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
        DialogLog log;
        log.answerYes = answerYes;
        log.pdfFile = pdfFile;
        ui::MainWindow window;
        window.setDialogs(std::make_unique<RecordingDialogs>(log));
        window.setPrinterChoice([&] { return printer.isEmpty() ? nullptr : pdfPrinter(printer); });
        window.pump().setTiming(ui::PumpTiming::everyCall());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // A carpet of depth 3 makes 73 yieldToEvents calls; "Stampa" comes at the 30th.
        TraceRequest request;
        request.figure = Figure::SierpinskiCarpet;
        request.text = "3";
        TraceAction print;
        print.at = 30;
        print.kind = TraceAction::Kind::Print;
        request.actions.push_back(print);
        YieldScript script(window, request.actions);
        script.run(request.figure, request.text);

        QCOMPARE(script.pressedOf(TraceAction::Kind::Print), 1);
        QCOMPARE(log.questions, printer.isEmpty() ? QStringList{kNoPrinterQuestion} : QStringList{});
        QCOMPARE(log.fileQuestions, printer.isEmpty() && answerYes ? 1 : 0);
        QCOMPARE(log.errors, message.isEmpty() ? QStringList{}
                                               : QStringList{message.arg(printer.isEmpty() ? pdfFile : printer)});
        if (!written.isEmpty())
            QVERIFY(isCompletePdf(dir.filePath(written)));
        else
            QVERIFY(QDir(dir.path()).isEmpty());

        QCOMPARE(window.lastOutcome(), PressOutcome::done());
        QCOMPARE(window.surface().image(), predict(window, request).picture);
        QCOMPARE(window.state().iterations, Integer(3));
        QCOMPARE(window.state().nesting, 0);
        QVERIFY(window.isVisible());
        setSelectorText(window, "0");
        clickByMouse(*figureButton(window, Figure::KochCurve));
        QCOMPARE(window.lastOutcome(), PressOutcome::done());
    }
};

QTEST_MAIN(PrintFailureTest)
#include "print_failure_test.moc"
