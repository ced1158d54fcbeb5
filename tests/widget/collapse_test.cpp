// Subtrees drawn as their one leaf, or as the colours their leaves leave,
// with their yields accounted for in bulk: under an event service that
// hands events over at every K-th call, the picture at every hand-over, the
// presses run from there and how each ended must be those of the drawing
// made call by call. Then the window itself, held in a drawing that can
// never end.

#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <functional>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

#include <QAbstractButton>

#include "fractals/press_figure.hpp"
#include "picture/raster_surface.hpp"
#include "tests/support/doubles.hpp"
#include "tests/support/qt_test_main.hpp"
#include "tests/support/surface_and_state.hpp"
#include "window/main_window.hpp"
#include "window_driver.hpp"

using namespace velmoran;
using namespace velmoran::picture;
using namespace velmoran::window;

namespace {

const QSize kInner(493, 349);
const QRgb kBlank = qRgb(239, 239, 239);

// A drawing area and the state loaded from it, the window's by default.
struct Drawing : test::SurfaceAndState<RasterSurface> {
    explicit Drawing(QSize inner = kInner, qreal ratio = 1) : SurfaceAndState(inner, ratio, kBlank) {}
};

std::uint64_t hashOf(const QImage& image) { return qHashBits(image.constBits(), image.sizeInBytes()); }

// What a run saw, to be compared between the two ways of drawing.
struct Run {
    std::vector<std::uint64_t> pictures;  // at each hand-over
    QStringList outcomes;                 // nested presses first, as they end
    std::uint64_t calls = 0;
    std::uint64_t skips = 0;  // subtrees accounted for in bulk
    QImage last;
};

// A drawing area, in logical pixels, at a device pixel ratio.
struct Area {
    QSize inner;
    qreal ratio;
};

struct Script {
    std::uint64_t every = 7;          // hand over at every K-th call
    int endAfter = 0;                 // hand-overs before "Esci"; 0: never
    std::vector<std::string> nested;  // counts pressed, in turn, from some hand-overs
};

// A press under `Events`, handing events over at every K-th yield counted
// over all presses: keeps the picture's hash, clears it at every second
// hand-over, presses a figure from some, and ends the program after a
// number of them.
template <class Events>
Run pressWith(Figure figure, const std::string& count, Area area, int startNesting, const Script& script)
{
    Run run;
    Drawing d(area.inner, area.ratio);
    d.state.nesting = startNesting;
    Events events;
    const auto press = [&](Figure f, const std::string& text) {
        run.outcomes << QString::fromStdString(test::nameOf(d.press(events, f, text)));
    };
    events.every = script.every;
    events.handOver = [&] {
        const auto n = run.pictures.size() + 1;
        run.pictures.push_back(hashOf(d.surface.image()));
        if (n % 2 == 0)
            d.surface.clear();
        if (n % 7 == 3 && !script.nested.empty() && d.state.runningPresses < 3) {
            const Figure nested = static_cast<Figure>(n / 7 % kFigureCount);
            press(nested, script.nested[n / 7 % script.nested.size()]);
        }
        if (static_cast<int>(n) == script.endAfter)
            d.state.ending = true;
    };
    press(figure, count);
    run.calls = events.calls();
    run.skips = events.skips();
    run.last = d.surface.image().copy();
    return run;
}

// Yields of a whole press, for keeping the call-by-call runs short.
double yieldsOf(Figure figure, int count)
{
    const FigureInfo& rule = figureInfo(figure);
    const double b = rule.splitsInto;
    return (std::pow(b, count) - 1) / (b - 1) * rule.startParts;
}

// How deep the stack is at the first yield, the bottom of a press's first
// descent, where the program ends. Under the bulk entry, so the renderers
// are built as for the window, but with no yield to skip.
std::uintptr_t deepestFrame(Figure figure, int count)
{
    Drawing d;
    test::RecordingEventsInBulk probe;
    std::uintptr_t deepest = 0;
    probe.handOver = [&] {
        if (!deepest)
            deepest = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        d.state.ending = true;
    };
    d.press(probe, figure, std::to_string(count));
    return deepest;
}

// The window's triangle's part `level` levels down toward a point, where
// deep counts meet the pixels' edges, drawn 11 levels deep under `Events`.
template <class Events>
QImage drawPartToward(int level, QPointF toward, std::uint64_t* skips = nullptr)
{
    using triangle_detail::InDouble;
    Drawing d;
    const auto& v = d.state.triangleCorners;
    std::array<Coord, 6> t{v[0][0], v[0][1], v[1][0], v[1][1], v[2][0], v[2][1]};
    for (int i = 0; i < level; ++i) {
        const auto xs = triangle_detail::cornerTrianglesOnAxis<InDouble>(t[0], t[2], t[4]);
        const auto ys = triangle_detail::cornerTrianglesOnAxis<InDouble>(t[1], t[3], t[5]);
        auto distance = [&](int p) {
            return std::hypot((xs[p][0] + xs[p][1] + xs[p][2]) / 3 - toward.x(),
                              (ys[p][0] + ys[p][1] + ys[p][2]) / 3 - toward.y());
        };
        const int p = std::min({0, 1, 2}, [&](int a, int b) { return distance(a) < distance(b); });
        t = {xs[p][0], ys[p][0], xs[p][1], ys[p][1], xs[p][2], ys[p][2]};
    }
    Events events;
    Canvas<RasterSurface, Events> canvas{d.state, d.surface, events};
    subdivideTriangle<Int16, InDouble>(canvas, 11, t[0], t[1], t[2], t[3], t[4], t[5]);
    if (skips)
        *skips = events.skips();
    return d.surface.image().copy();
}

__extension__ typedef unsigned __int128 Yields;  // counted in full, past 64 bits

// Hands events over at the yields in `at`, skipping none of them. Clocked,
// where it reads its clock, as the window's pump does: at every K-th call,
// a subtree skipped at once counting as one; it then offers quietCalls()
// and notes in `at` the yields at each hand-over.
template <bool Clocked>
class HandOvers final : public EventService {
public:
    void yieldToEvents() override
    {
        ++yields_;
        if (Clocked ? --countdown_ > 0 : next_ == at.size() || yields_ != at[next_])
            return;
        countdown_ = every;
        if (Clocked)
            at.push_back(yields_);
        ++next_;
        handOver();
    }
    std::uint64_t quietYields() const
    {
        if (Clocked)
            return countdown_ > 1 ? UINT64_MAX : 0;
        return next_ == at.size() ? UINT64_MAX
                                  : static_cast<std::uint64_t>(std::min<Yields>(at[next_] - yields_ - 1, UINT64_MAX));
    }
    void skipQuietYields(std::uint64_t n)
    {
        yields_ += n;
        --countdown_;
    }
    template <bool C = Clocked, class = std::enable_if_t<C>>
    std::uint64_t quietCalls() const
    {
        ++callsAsked;
        return countdown_ > 1 ? static_cast<std::uint64_t>(countdown_ - 1) : 0;
    }
    void waitForEvents() { wait(); }

    std::function<void()> handOver, wait;
    std::vector<Yields> at;
    std::int64_t every = 1;
    mutable int callsAsked = 0;

private:
    Yields yields_ = 0;
    std::size_t next_ = 0;
    std::int64_t countdown_ = 1;
};
static_assert(OffersQuietCalls<HandOvers<true>>::value && !OffersQuietCalls<HandOvers<false>>::value);

}  // namespace

Q_DECLARE_METATYPE(Figure)
Q_DECLARE_METATYPE(Area)

class CollapseTest : public QObject {
    Q_OBJECT

    // Compares the drawing made call by call with the one whose quiet yields
    // may be skipped in bulk; `skips` gets the subtrees the latter skipped.
    void compareRuns(Figure figure, const std::string& count, Area area, int startNesting, const Script& script,
                     std::uint64_t* skips = nullptr)
    {
        const Run full = pressWith<test::RecordingEvents>(figure, count, area, startNesting, script);
        const Run bulk = pressWith<test::RecordingEventsInBulk>(figure, count, area, startNesting, script);
        const auto differ = std::mismatch(full.pictures.begin(), full.pictures.end(), bulk.pictures.begin(),
                                          bulk.pictures.end());
        QVERIFY2(bulk.pictures == full.pictures,
                 qPrintable(QStringLiteral("hand-over %1").arg(differ.first - full.pictures.begin() + 1)));
        QCOMPARE(bulk.outcomes, full.outcomes);
        QCOMPARE(bulk.calls, full.calls);
        QVERIFY(bulk.last == full.last);
        if (skips)
            *skips = bulk.skips;
    }

private slots:
    // A press run in the wait before a part drawn in bulk paints (here on
    // another area) leaves that part's colours alone.
    void aPressInTheWaitBeforeALeafLeavesItsColours()
    {
        auto press = [](auto& events, Drawing& on) { on.press(events, Figure::SierpinskiTriangle, "12"); };
        Drawing expected, drawn, other;
        test::RecordingEventsInBulk quiet;
        press(quiet, expected);
        // The nested press, made before every 100th leaf, goes through a
        // service of the same type, as every press in the window goes
        // through its pump: the renderer, and the grid it keeps, are then
        // the same.
        test::AtEveryLeaf pressingNothing(other.state, [] {});
        int leaves = 0, nested = 0;
        test::AtEveryLeaf pressing(drawn.state, [&] {
            if (++leaves % 100 != 0)
                return;
            ++nested;
            press(pressingNothing, other);
        });
        press(pressing, drawn);
        QVERIFY(nested > 0);
        QVERIFY(drawn.surface.image() == expected.surface.image());
        QVERIFY(other.surface.image() == expected.surface.image());
    }

    // Deep counts, a part at a time: parts of the triangle 10 to 42 levels
    // down toward points where its corners lie on pixels' edges to the last
    // single-precision step, drawn 11 levels deeper, so as the triangle at
    // 21 to 53 draws them.
    void deepTrianglePartsAsCallByCall_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QPointF>("toward");
        for (const QPointF toward : {QPointF(238.5, 372.5), QPointF(558.55, 419.41), QPointF(320, 362.5)})
            for (int level : {10, 13, 16, 19, 30, 42})
                QTest::addRow("%d toward %g,%g", level, toward.x(), toward.y()) << level << toward;
    }
    void deepTrianglePartsAsCallByCall()
    {
        QFETCH(int, level);
        QFETCH(QPointF, toward);
        std::uint64_t skips = 0;
        const QImage bulk = drawPartToward<test::RecordingEventsInBulk>(level, toward, &skips);
        QVERIFY(skips > 0);
        QCOMPARE(bulk, drawPartToward<test::RecordingEvents>(level, toward));
    }

    void samePictureAtEveryHandOver_data()
    {
        QTest::addColumn<Figure>("figure");
        QTest::addColumn<int>("count");
        QTest::addColumn<Area>("area");
        QTest::addColumn<qulonglong>("every");
        QTest::addColumn<bool>("shortcut");  // the bulk path must skip a subtree
        // Device pixels from 1.3 units down to 5 units wide, and an area
        // small enough for its figures to collapse a few levels down; the
        // deeper figures only where the call-by-call drawing stays short
        // and few pictures need hashing.
        const struct {
            const char* name;
            Area area;
            int firstCount;
        } areas[] = {{"window", {kInner, 1}, 7}, {"window at 0.25", {kInner, 0.25}, 7},
                     {"window at 2", {kInner, 2}, 7}, {"small", {QSize(160, 130), 1}, 4}};
        for (const FigureInfo& f : kFigures)
            for (const auto& a : areas) {
                const QSize device = a.area.inner * a.area.ratio;
                auto drawnShort = [&](int count, qulonglong every) {
                    const double yields = yieldsOf(f.id, count);
                    return yields <= 1e6 && yields / every * device.width() * device.height() <= 3e7;
                };
                for (qulonglong every : {7ull, 97ull, 1009ull, 100003ull})
                    for (int count = a.firstCount; count <= 12 && drawnShort(count, every); ++count) {
                        // The deepest drawing with the rarest hand-overs has
                        // subtrees that are surely quiet: it skips some.
                        const bool shortcut = every == 100003 && (count == 12 || !drawnShort(count + 1, every));
                        QTest::addRow("%s %d, %s, every %llu", f.traceWord, count, a.name, every)
                            << f.id << count << a.area << every << shortcut;
                    }
            }
    }
    void samePictureAtEveryHandOver()
    {
        QFETCH(Figure, figure);
        QFETCH(int, count);
        QFETCH(Area, area);
        QFETCH(qulonglong, every);
        QFETCH(bool, shortcut);
        std::uint64_t skips = 0;
        compareRuns(figure, std::to_string(count), area, 0, {every, 0, {"2", "3"}}, &skips);
        if (shortcut)
            QVERIFY(skips > 0);
    }

    // Counts no drawing can finish: their yields do not fit in 64 bits, or
    // the nesting bound refuses them on their way down.
    void countsBeyondAnyEnd_data()
    {
        QTest::addColumn<Figure>("figure");
        QTest::addColumn<QString>("count");
        QTest::addColumn<qulonglong>("every");
        for (const FigureInfo& f : kFigures)
            for (const char* count : {"1000", "4095", "32767"})
                for (qulonglong every : {7ull, 1009ull, 100003ull})
                    QTest::addRow("%s %s, every %llu", f.traceWord, count, every)
                        << f.id << QString::fromLatin1(count) << every;
    }
    void countsBeyondAnyEnd()
    {
        QFETCH(Figure, figure);
        QFETCH(QString, count);
        QFETCH(qulonglong, every);
        compareRuns(figure, count.toStdString(), {kInner, 1}, 0, {every, 40, {"2", "1000"}});
    }

    // From 48 levels on, a group's yields overflow 64 bits, and where the
    // pump's next calls are quiet it stands for the parts of it that fit:
    // the picture at every hand-over is that of the drawing without, at the
    // same yield. From 51 on a part within one pixel whose yields overflow
    // is waited in, and the program ended there.
    void overflowingGroupsAsTheirParts_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("every");
        for (int count : {48, 49, 50, 51})
            for (int every : {101, 1009, 10007})
                QTest::addRow("triangle %d, every %d", count, every) << count << every;
    }
    void overflowingGroupsAsTheirParts()
    {
        QFETCH(int, count);
        QFETCH(int, every);
        auto press = [count](auto& events, std::vector<std::uint64_t>& pictures) {
            Drawing d;
            events.handOver = [&] { pictures.push_back(hashOf(d.surface.image())); };
            events.wait = [&] { d.state.ending = true; };
            d.press(events, Figure::SierpinskiTriangle, std::to_string(count));
            return d.surface.image().copy();
        };
        HandOvers<true> pump;
        pump.every = every;
        std::vector<std::uint64_t> pumped, expected;
        const QImage last = press(pump, pumped);
        QVERIFY(pump.callsAsked > 0);
        HandOvers<false> reference;
        reference.at = pump.at;
        QVERIFY(press(reference, expected) == last);
        QVERIFY(pumped == expected);
    }

    // Deep inside other drawings the nesting bound refuses a press, or a
    // part of one deepened by a nested press, where its first descent
    // reaches the bound: a press of count d takes d + 1 levels, and d + 2
    // once a nested press has stored d + 1 for its next top-level part.
    void nestingBoundAtTheSamePoint_data()
    {
        QTest::addColumn<Figure>("figure");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("levelsLeft");
        constexpr int counts[] = {10, 6, 8, 7};  // deep enough to collapse in the small area
        static_assert(std::size(counts) == kFigureCount, "a count for every figure");
        for (const FigureInfo& f : kFigures) {
            const int count = counts[static_cast<std::size_t>(f.id)];
            for (int levelsLeft = count; levelsLeft <= count + 3; ++levelsLeft)
                QTest::addRow("%s %d with %d levels left", f.traceWord, count, levelsLeft)
                    << f.id << count << levelsLeft;
        }
    }
    void nestingBoundAtTheSamePoint()
    {
        QFETCH(Figure, figure);
        QFETCH(int, count);
        QFETCH(int, levelsLeft);
        for (qulonglong every : {97ull, 1009ull})
            compareRuns(figure, std::to_string(count), {QSize(160, 130), 1}, kMaxNesting - levelsLeft,
                        {every, 0, {"2", std::to_string(count + 1), "4"}});
    }

    // A subtree is collapsed only where kStackPerLevelBound for each of its
    // levels is left above the stack's floor, so that a descent for real
    // could not have been refused by the floor.
    void stackPerLevelWithinItsBound_data()
    {
        QTest::addColumn<Figure>("figure");
        for (const FigureInfo& f : kFigures)
            QTest::newRow(f.traceWord) << f.id;
    }
    void stackPerLevelWithinItsBound()
    {
        QFETCH(Figure, figure);
        const std::uintptr_t shallow = deepestFrame(figure, 20), deep = deepestFrame(figure, 60);
        QVERIFY(shallow > deep);
        const std::uintptr_t perLevel = (shallow - deep) / 40;
        qInfo("%s: %zu bytes of stack a level", traceWord(figure), static_cast<std::size_t>(perLevel));
        QVERIFY(perLevel <= kStackPerLevelBound);
    }

    // Carpet 1000 stays in its first square of side 0 for ever: the window
    // shows its one point at once and waits, takes a nested press, and
    // ends the press on "Esci".
    void endlessCarpetWaitsInTheWindow()
    {
        test::DrivenWindow driven;
        MainWindow& form = driven.window;
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        // The nested triangle, then the carpet's point drawn again over it.
        QCOMPARE(form.surface().background(), kBlank);
        Drawing expected(kInner, form.surface().image().devicePixelRatio());
        test::RecordingEvents none;
        expected.press(none, Figure::SierpinskiTriangle, "3");
        outlineSquare(expected.surface, 150, 50, 0);

        const test::PaintWatch painted(form);

        QImage atFirst, shownAtFirst, afterNested, shownAfterNested;
        int nestingWhileWaiting = 0;
        double cpuWhileWaiting = -1;
        auto* carpet = test::figureButton(form, Figure::SierpinskiCarpet);
        auto* triangle = test::figureButton(form, Figure::SierpinskiTriangle);
        auto after = [](int ms, std::function<void()> then) { QTimer::singleShot(ms, std::move(then)); };
        after(100, [&] {
            atFirst = form.surface().image().copy();
            shownAtFirst = painted.shown;
            nestingWhileWaiting = form.state().nesting;
            const std::clock_t cpu = std::clock();
            after(1000, [&, cpu] {
                cpuWhileWaiting = double(std::clock() - cpu) / CLOCKS_PER_SEC;
                test::setSelectorText(form, "3");
                triangle->click();
                after(50, [&] {
                    afterNested = form.surface().image().copy();
                    shownAfterNested = painted.shown;
                    test::buttonNamed(form, "Command5")->click();
                });
            });
        });
        test::setSelectorText(form, "1000");
        carpet->click();

        QCOMPARE(form.lastOutcome(), PressOutcome::ended());
        QCOMPARE(driven.endings, 1);
        QCOMPARE(form.state().nesting, 0);
        QCOMPARE(nestingWhileWaiting, 1000);
        QCOMPARE(test::countColour(atFirst, kBlank), atFirst.width() * atFirst.height() - 1);
        QCOMPARE(shownAtFirst, atFirst);
        QCOMPARE(afterNested, expected.surface.image());
        QCOMPARE(shownAfterNested, expected.surface.image());
        // Waiting, not spinning: a fraction of the second's CPU time.
        QVERIFY2(cpuWhileWaiting < 0.25, qPrintable(QString::number(cpuWhileWaiting)));
    }
};

VELMORAN_TEST_MAIN(CollapseTest)
#include "collapse_test.moc"
