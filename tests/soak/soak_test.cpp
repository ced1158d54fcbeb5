// Real use, at length: seeded random presses of all six buttons, typed
// counts and junk, landing at random moments inside drawings and nested
// several deep, printing to files and ending runs. Each run is a fresh
// window, checked against what the trace engine predicts for the same
// presses; memory must not grow from run to run.
//
//   VELMORAN_SOAK_RUNS=N   how many runs (default below)
//   VELMORAN_SOAK_CALLS=C  yieldToEvents calls a run may make (default 6000;
//                          each costs a repaint of the shown window)
//   VELMORAN_SOAK_SEED=S   run i uses the seed S + i (default 1), so a
//                          failing run can be replayed on its own

#include <QtTest>

#include <QPixmapCache>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "picture/raster_surface.hpp"
#include "tests/support/doubles.hpp"
#include "tests/support/qt_test_main.hpp"
#include "tests/widget/window_driver.hpp"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own allocator, which malloc statistics do not see.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace velmoran;
using namespace velmoran::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// Several times slower under the sanitizers.
constexpr int kDefaultRuns = 200;
std::size_t bytesInUse() { return __sanitizer_get_current_allocated_bytes(); }
#else
constexpr int kDefaultRuns = 500;
std::size_t bytesInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}
#endif

long long environmentNumber(const char* name, long long fallback)
{
    bool ok = false;
    const long long n = qgetenv(name).toLongLong(&ok);
    return ok ? n : fallback;
}

double mebibytes(std::size_t bytes) { return bytes / 1048576.0; }

using Rng = std::mt19937_64;

bool chance(Rng& rng, double p) { return std::bernoulli_distribution(p)(rng); }

template <class T>
T uniform(Rng& rng, T low, T high)
{
    return std::uniform_int_distribution<T>(low, high)(rng);
}

int randomCount(Rng& rng)
{
    static const double weights[] = {4, 4, 4, 4, 3, 3, 2, 2};
    return std::discrete_distribution<int>(std::begin(weights), std::end(weights))(rng);
}

// Anything a person may type besides a plain count.
const char* const kOddTexts[] = {
    "", "abc", " 3", "2.5", "3.5", "6.5", "7.49", "-0.4", "+2", "0 5", "4x", "&O7", "1E0", "\t1\n",
    "-1", "-32768", "&HFFFF", "40000", "32767.5", "1e400", "&H8000", "32767", "5000",
};

// Short to draw: refused, at most 7 deep, or past the nesting bound (refused
// on its way down).
bool endsQuickly(const std::string& text)
{
    try {
        const Int16 n = readCount(text);
        return n <= 7 || n >= kMaxNesting;
    } catch (const RuntimeError&) {
        return true;
    }
}

std::string randomText(Rng& rng)
{
    if (chance(rng, 0.75))
        return std::to_string(randomCount(rng));
    for (;;) {
        std::string text = kOddTexts[uniform<std::size_t>(rng, 0, std::size(kOddTexts) - 1)];
        if (endsQuickly(text))
            return text;
    }
}

Figure randomFigure(Rng& rng) { return kFigures[uniform<std::size_t>(rng, 0, kFigureCount - 1)].id; }

std::uint64_t yieldCalls(const TraceRequest& run)
{
    test::CountingSink counter;
    runTrace(run, counter);
    return static_cast<std::uint64_t>(counter.yields);
}

// A run whose presses make at most `budget` yieldToEvents calls in all, so that
// the deepest figures come in when something cuts them short: "Esci", a
// nested press that stores a smaller count or fails its drawing.
TraceRequest randomRun(Rng& rng, Coord width, Coord height, std::uint64_t budget)
{
    for (;;) {
        TraceRequest run;
        run.width = width;
        run.height = height;
        run.figure = randomFigure(rng);
        run.text = randomText(rng);
        // The moments to press at are spread over the first press's own calls.
        const std::uint64_t span = std::max<std::uint64_t>(1, yieldCalls(run));

        const int actions = uniform(rng, 0, 16);
        std::uint64_t at = 0;
        for (int i = 0; i < actions; ++i) {
            TraceAction action;
            // Often at the last one's call or just after: inside the press it
            // started, if that press draws, so presses nest several deep.
            action.at = at > 0 && chance(rng, 0.45) ? at + uniform<std::uint64_t>(rng, 0, 2)
                                                    : uniform<std::uint64_t>(rng, 1, span);
            const double kind = std::uniform_real_distribution<double>(0, 1)(rng);
            if (kind < 0.06) {
                action.kind = TraceAction::Kind::Exit;
            } else if (kind < 0.2) {
                action.kind = TraceAction::Kind::Print;
            } else {
                action.figure = randomFigure(rng);
                action.text = randomText(rng);
            }
            at = action.at;
            run.actions.push_back(action);
        }
        if (yieldCalls(run) <= budget)
            return run;
    }
}

// What runs did, for the summary: "most ..." entries are the most in one
// run, the others added up.
using Tally = std::map<std::string, long long>;

struct RunReport {
    std::string problem;  // empty when the run behaved
    Tally tally;
};

// One run in a fresh window, compared with the trace engine's prediction.
RunReport runInWindow(const TraceRequest& run, const QString& printFolder)
{
    QStringList printed;
    DrivenWindow driven(picture::PumpTiming::everyCall());
    window::MainWindow& window = driven.window;
    const DialogLog& log = driven.log;
    window.setPrinterChoice([&] {
        printed << QDir(printFolder).filePath(QStringLiteral("print-%1.pdf").arg(printed.size()));
        return pdfPrinter(printed.back());
    });
    QCoreApplication::processEvents();

    YieldScript script(window, run.actions);
    script.run(run.figure, run.text);

    const Prediction expected = predict(window, run);
    RunReport report;
    Tally& tally = report.tally;
    tally["yieldToEvents calls"] = static_cast<long long>(script.calls());
    tally["most presses running at once"] = script.deepestPresses();
    tally["most renderer invocations nested"] =
        std::max(script.deepestNesting(), expected.ended ? driven.nestingAtEnd : 0);
    for (const TraceAction& a : script.pressed()) {
        if (a.kind != TraceAction::Kind::Press) {
            ++tally[a.kind == TraceAction::Kind::Print ? "stampa" : "esci"];
            continue;
        }
        ++tally[traceWord(a.figure)];
        try {
            const int count = readCount(a.text);
            ++tally[count < 8 ? "presses at count " + std::to_string(count) : "presses past the nesting bound"];
        } catch (const RuntimeError&) {
        }
    }
    for (const QString& e : log.errors)
        ++tally["error: " + e.toStdString()];

    const QImage picture = window.surface().image();
    auto problem = [&](const std::string& what) {
        if (report.problem.empty())
            report.problem = what;
    };
    if (window.state().nesting != 0)
        problem("renderer invocations left active: " + std::to_string(window.state().nesting));
    if (script.calls() != expected.yields)
        problem("yieldToEvents calls: window " + std::to_string(script.calls()) + ", trace "
                + std::to_string(expected.yields));
    if (log.errors != expected.errors)
        problem("errors reported: window [" + log.errors.join(QStringLiteral(" | ")).toStdString() + "], trace ["
                + expected.errors.join(QStringLiteral(" | ")).toStdString() + "]");
    if (printed.size() != expected.prints)
        problem("printouts: window " + std::to_string(printed.size()) + ", trace " + std::to_string(expected.prints));
    for (const QString& file : printed)
        if (!isCompletePdf(file))
            problem("not a whole PDF: " + file.toStdString());
    if (driven.endings != (expected.ended ? 1 : 0))
        problem("end action ran " + std::to_string(driven.endings) + " times");
    if (expected.ended && (picture != driven.pictureAtEnd || !window.isHidden()))
        problem("the window drew, or stayed shown, after Esci");
    if (picture != expected.picture) {
        int differing = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                differing += picture.pixel(x, y) != expected.picture.pixel(x, y);
        problem("picture differs from the trace's in " + std::to_string(differing) + " pixels");
    }
    if (!report.problem.empty())
        report.problem += "\n  replay: " + traceCommand(run);
    for (const QString& file : printed)
        QFile::remove(file);
    return report;
}

}  // namespace

class SoakTest : public QObject {
    Q_OBJECT

    QTemporaryDir printFolder;

public:
    // A long soak outlasts QtTest's five minutes for one test function.
    SoakTest() { qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(7 * 24 * 3600 * 1000LL)); }

private slots:
    void initTestCase()
    {
        QVERIFY(printFolder.isValid());
        // Each new window's palettes key new pixmaps: with the usual 10 MiB
        // the cache would still be filling long after run 100.
        QPixmapCache::setCacheLimit(1024);
    }

    // The driver presses at exactly the yieldToEvents call the trace tool's --at
    // names: first on runs whose counts are known by heart.
    void pressesLandOnTheNamedCall_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("calls");
        QTest::newRow("triangle") << "triangolo 3" << 13;
        QTest::newRow("carpet") << "tappeto 2" << 9;
        QTest::newRow("Koch curve") << "trina 3" << 21;
        QTest::newRow("snowflake") << "fiocco 2" << 15;
        // 4 + 4 + 1, then the count of 1 it stored leaves the third corner a leaf, + 1.
        QTest::newRow("a press inside") << "--at 5 tappeto 1 triangolo 3" << 10;
        // 1, then 5 and 3 one after the other; the other corners are leaves, + 1.
        QTest::newRow("two at one call, one after the other") << "--at 1 trina 2 --at 1 fiocco 1 triangolo 2" << 10;
        QTest::newRow("Esci inside a nested press") << "--at 2 trina 1 --at 3 esci triangolo 2" << 3;
        QTest::newRow("Stampa, then a press") << "--at 1 stampa --at 1 tappeto 1 triangolo 1" << 2;
    }
    void pressesLandOnTheNamedCall()
    {
        QFETCH(QString, command);
        QFETCH(int, calls);
        std::vector<std::string> args;
        for (const QString& word : command.split(' '))
            args.push_back(word.toStdString());
        const auto parsed = parseTraceArguments(args);
        QVERIFY(std::holds_alternative<TraceRequest>(parsed));
        const RunReport report = runInWindow(std::get<TraceRequest>(parsed), printFolder.path());
        QVERIFY2(report.problem.empty(), report.problem.c_str());
        QCOMPARE(report.tally.at("yieldToEvents calls"), calls);
    }

    void soak()
    {
        const long long runs = environmentNumber("VELMORAN_SOAK_RUNS", kDefaultRuns);
        const auto seed = static_cast<std::uint64_t>(environmentNumber("VELMORAN_SOAK_SEED", 1));
        const auto budget = static_cast<std::uint64_t>(environmentNumber("VELMORAN_SOAK_CALLS", 6000));
        const long long baselineRun = std::min<long long>(100, std::max<long long>(1, runs / 2));

        Tally totals;
        std::size_t baseline = 0, peak = 0;
        QElapsedTimer clock;
        clock.start();
        for (long long i = 0; i < runs; ++i) {
            Rng rng(seed + static_cast<std::uint64_t>(i));
            const RunReport report = runInWindow(randomRun(rng, 640, 490, budget), printFolder.path());
            QVERIFY2(report.problem.empty(),
                     qPrintable(QStringLiteral("run %1 (seed %2): %3")
                                    .arg(i)
                                    .arg(seed + i)
                                    .arg(QString::fromStdString(report.problem))));
            for (const auto& [what, n] : report.tally)
                totals[what] = what.rfind("most ", 0) == 0 ? std::max(totals[what], n) : totals[what] + n;

            QCoreApplication::processEvents();  // what the window left behind goes, as in the event loop
            const std::size_t inUse = bytesInUse();
            peak = std::max(peak, inUse);
            if (i + 1 == baselineRun)
                baseline = inUse;
        }
        const std::size_t last = bytesInUse();
        std::printf("soak: %lld runs, seed %llu, at most %llu yieldToEvents calls a run, %.1f s\n", runs,
                    static_cast<unsigned long long>(seed), static_cast<unsigned long long>(budget),
                    clock.elapsed() / 1000.0);
        for (const auto& [what, n] : totals)
            std::printf("soak: %s: %lld\n", what.c_str(), n);
        const double perRun = runs > baselineRun ? (double(last) - double(baseline)) / double(runs - baselineRun) : 0;
        std::printf("soak: heap in use after run %lld %.2f MiB, after run %lld %.2f MiB (%+.0f bytes a run),"
                    " peak %.2f MiB\n",
                    baselineRun, mebibytes(baseline), runs, mebibytes(last), perRun, mebibytes(peak));
        // Qt 6.4's pixmap cache never lets go of the text of a key once its
        // pixmap is dropped, and every new window's palettes make new keys:
        // about 1.5 KB a window, once in the program's life but once a run
        // here. Beyond that, a window, a printer or a drawing's events lost
        // in every run would exceed this many times over.
        const std::size_t allowed = baseline / 10 + (1u << 20) + 4096 * static_cast<std::size_t>(runs - baselineRun);
        QVERIFY2(last <= baseline + allowed, "memory grows from run to run");
    }
};

VELMORAN_TEST_MAIN(SoakTest)
#include "soak_test.moc"
