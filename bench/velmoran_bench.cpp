// velmoran-bench: each figure's whole press (read the count, clear, draw) in
// the real window's drawing area with the real event pump, beside two
// references timed in the same iterations:
//   - the same press with an event service that hands nothing over (but,
//     like the window's, skips the yields of a collapsed subtree in bulk):
//     the difference is what staying responsive costs;
//   - the bare limit: the lines that press draws, recorded once beforehand,
//     replayed by Line calls into the same image after the same clear: the
//     difference is what the recursion, its exact arithmetic and finding
//     what can be collapsed cost.
// Counters also report how responsive the window stayed during the press
// (longest stretch without an event dispatched, the median wait of a zero
// timer, repaints per second) and the memory it took. Rows at count 1000,
// which never ends, time each figure's press up to its first wait, with an
// event service that hands nothing over; a last row holds the window in the
// carpet of count 1000 for a second: the share of a core the process takes
// meanwhile, and the longest a click posted at a random moment waited to
// be handled.
//
//   build/bench/velmoran-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include "fractals/press_figure.hpp"
#include "app/app_setup.hpp"
#include "window/main_window.hpp"
#include "window/drawing_area.hpp"
#include "window/animation_frames.hpp"
#include "window/offscreen_press.hpp"
#include "window/stage_zoom.hpp"
#include "files/vector_files.hpp"
#include "picture/raster_surface.hpp"

using namespace velmoran;
using namespace velmoran::picture;
using namespace velmoran::files;
using namespace velmoran::window;
using namespace velmoran::app;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// --- The references ------------------------------------------------------

// A run of identical consecutive Line calls. The deep carpet repeats each
// degenerate box hundreds of times in a row (its last levels have side 0),
// so runs keep its billion calls in a few tens of megabytes.
struct LineRun {
    LineKind kind;
    Coord x1, y1, x2, y2;
    Colour colour;
    Colour drawingColour;  // in effect for the run, for LineKind::SegmentInDrawingColour
    std::uint32_t repeat;
};

// Records the Line calls of a press, and the fore colour each one is drawn in.
class LineRecorder {
public:
    std::vector<LineRun> runs;
    std::uint64_t lines = 0;

    void drawingColour(Colour colour) { drawingColour_ = colour; }
    void line(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour)
    {
        ++lines;
        if (!runs.empty()) {
            LineRun& last = runs.back();
            if (last.kind == kind && same(last.x1, x1) && same(last.y1, y1) && same(last.x2, x2)
                && same(last.y2, y2) && last.colour == colour && last.drawingColour == drawingColour_
                && last.repeat < UINT32_MAX) {
                ++last.repeat;
                return;
            }
        }
        runs.push_back({kind, x1, y1, x2, y2, colour, drawingColour_, 1});
    }

private:
    // Bitwise: -0 and 0 are different calls.
    static bool same(Coord a, Coord b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    Colour drawingColour_ = 0;
};

// Hands nothing over, every yield being quiet: a collapsed subtree's yields
// are skipped at once, as the window's pump skips them.
class IgnoredEventsInBulk : public EventService {
public:
    void yieldToEvents() override {}
    std::uint64_t quietYields() const { return UINT64_MAX; }
    void skipQuietYields(std::uint64_t) {}
    std::uint64_t quietCalls() const { return UINT64_MAX; }
};
// A drifted signature would time the slow path, one yield at a time.
static_assert(OffersQuietYields<IgnoredEventsInBulk>::value && OffersQuietCalls<IgnoredEventsInBulk>::value,
              "the bench's events skip a collapsed subtree's yields at once, as the window's pump does");

// The drawing area as a press sees it, with its Line calls recorded instead
// of drawn.
class RecordedArea final : public DrawingSurface {
public:
    RecordedArea(const RasterSurface& area, LineRecorder& recorder) : area_(area), recorder_(recorder) {}

    Coord widthInUnits() const override { return area_.widthInUnits(); }
    Coord heightInUnits() const override { return area_.heightInUnits(); }
    void clear() override {}
    void setDrawingColour(Colour colour) override { recorder_.drawingColour(colour); }
    void useSolidLines() override {}
    void drawLine(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) override
    {
        recorder_.line(kind, x1, y1, x2, y2, colour);
    }
    std::optional<PixelBlock> pixelBlock(int left, int top, int right, int bottom) const
    {
        return area_.pixelBlock(left, top, right, bottom);
    }
    int widestBlock() const { return area_.widestBlock(); }

private:
    const RasterSurface& area_;
    LineRecorder& recorder_;
};
static_assert(LocatesPixels<RecordedArea>::value,
              "the recorded area locates pixels as the drawing area does, so the triangle takes its fast path");

// The lines of the whole figure, drawn call by call.
double figureLines(Figure figure, int count)
{
    const FigureInfo& rule = figureInfo(figure);
    return rule.startParts * rule.linesPerPart * std::pow(static_cast<double>(rule.splitsInto), count);
}

struct BareFigure {
    Figure figure;
    int count = -1;
    std::vector<LineRun> runs;
    std::uint64_t lines = 0;
};

// The lines a press of the figure being measured draws, kept across its
// repetitions.
const BareFigure& bareFigure(Figure figure, int count, const RasterSurface& area)
{
    static BareFigure cached;
    if (cached.figure == figure && cached.count == count)
        return cached;
    cached = {};
    LineRecorder recorder;
    RecordedArea surface(area, recorder);
    WindowState state;
    loadWindowState(state, surface);
    IgnoredEventsInBulk ignored;
    pressFigure<RecordedArea, IgnoredEventsInBulk>(state, surface, ignored, figure, std::to_string(count));
    cached.figure = figure;
    cached.count = count;
    cached.runs = std::move(recorder.runs);
    cached.runs.shrink_to_fit();
    cached.lines = recorder.lines;
    return cached;
}

void drawBare(RasterSurface& surface, const BareFigure& bare)
{
    surface.clear();
    Colour drawingColour = ~Colour{0};
    for (const LineRun& run : bare.runs) {
        if (run.kind == LineKind::SegmentInDrawingColour && run.drawingColour != drawingColour)
            surface.setDrawingColour(drawingColour = run.drawingColour);
        for (std::uint32_t i = 0; i < run.repeat; ++i)
            surface.drawLine(run.kind, run.x1, run.y1, run.x2, run.y2, run.colour);
    }
}

// --- Responsiveness and memory ------------------------------------------

// Sees every event the application dispatches: the longest stretch of a
// press without one is the longest a click would have waited. A zero timer
// runs during the press too: the stretches between its turns (the press's
// start and end count as turns) are how long a click usually waits.
class DispatchWatch final : public QObject {
public:
    explicit DispatchWatch(const QObject* drawingArea) : drawingArea_(drawingArea)
    {
        connect(&probe_, &QTimer::timeout, this, [this] { noteTurn(Clock::now()); });
    }

    void begin()
    {
        active_ = true;
        last_ = lastTurn_ = Clock::now();
        probe_.start(0);
    }
    void end()
    {
        const Clock::time_point now = Clock::now();
        note(now);
        noteTurn(now);
        probe_.stop();
        active_ = false;
    }
    Clock::duration longestGap() const { return longestGap_; }
    Clock::duration medianTurnGap()
    {
        if (turnGaps_.empty())
            return {};
        const auto middle = turnGaps_.begin() + static_cast<std::ptrdiff_t>(turnGaps_.size() / 2);
        std::nth_element(turnGaps_.begin(), middle, turnGaps_.end());
        return *middle;
    }
    std::uint64_t paints() const { return paints_; }
    void reset()
    {
        longestGap_ = {};
        turnGaps_.clear();
        paints_ = 0;
    }

    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (active_) {
            note(Clock::now());
            if (receiver == drawingArea_ && event->type() == QEvent::Paint)
                ++paints_;
        }
        return false;
    }

private:
    void note(Clock::time_point now)
    {
        longestGap_ = std::max(longestGap_, now - last_);
        last_ = now;
    }
    void noteTurn(Clock::time_point now)
    {
        turnGaps_.push_back(now - lastTurn_);
        lastTurn_ = now;
    }

    const QObject* drawingArea_;
    QTimer probe_;
    bool active_ = false;
    Clock::time_point last_;
    Clock::time_point lastTurn_;
    Clock::duration longestGap_{};
    std::vector<Clock::duration> turnGaps_;
    std::uint64_t paints_ = 0;
};

long statusKiB(const char* field)
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long value = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, length) == 0 && line[length] == ':')
            value = std::strtol(line + length + 1, nullptr, 10);
    std::fclose(f);
    return value;
}

// Lowers the peak resident size to the present one, so the next reading is
// the peak of what ran in between. False where the kernel does not allow it.
bool resetPeakMemory()
{
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    const bool written = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && written;
}

long maxRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// --- The window ------------------------------------------------------------

struct Window {
    MainWindow* mainWindow = nullptr;
    DispatchWatch* watch = nullptr;
};
Window realWindow;

void pressBenchmark(benchmark::State& st, Figure figure, int count)
{
    RasterSurface& surface = realWindow.mainWindow->surface();
    if (surface.image().size() != QSize(493, 349) || surface.image().devicePixelRatio() != 1) {
        st.SkipWithError("the drawing area is not 493 by 349 pixels at ratio 1");
        return;
    }
    QtEventPump& pump = realWindow.mainWindow->pump();
    WindowState state;
    loadWindowState(state, surface);
    IgnoredEventsInBulk ignored;
    const std::string text = std::to_string(count);
    const BareFigure& bare = bareFigure(figure, count, surface);

    DispatchWatch& watch = *realWindow.watch;
    watch.reset();
    const std::uint64_t dispatchesBefore = pump.dispatches();
    const long rssBefore = statusKiB("VmRSS");
    const bool peakReset = resetPeakMemory();

    double full = 0, ignoringEvents = 0, bareTime = 0;
    bool failed = false;
    for (auto _ : st) {
        watch.begin();
        Clock::time_point t0 = Clock::now();
        pump.beginPress();  // as the window does for each press
        const PressOutcome outcome = pressFigure<RasterSurface, QtEventPump>(state, surface, pump, figure, text);
        Clock::time_point t1 = Clock::now();
        watch.end();
        const double fullTime = seconds(t1 - t0);
        st.SetIterationTime(fullTime);
        full += fullTime;

        t0 = Clock::now();
        const PressOutcome quiet =
            pressFigure<RasterSurface, IgnoredEventsInBulk>(state, surface, ignored, figure, text);
        t1 = Clock::now();
        ignoringEvents += seconds(t1 - t0);

        t0 = Clock::now();
        drawBare(surface, bare);
        t1 = Clock::now();
        bareTime += seconds(t1 - t0);

        failed = failed || !(outcome == PressOutcome::done()) || !(quiet == PressOutcome::done());
    }
    const long peakRise = statusKiB("VmHWM") - rssBefore;
    if (failed) {
        st.SkipWithError("a press did not finish");
        return;
    }

    using benchmark::Counter;
    const double ms = 1e3;
    st.counters["no_yield_ms"] = Counter(ignoringEvents * ms, Counter::kAvgIterations);
    st.counters["bare_ms"] = Counter(bareTime * ms, Counter::kAvgIterations);
    st.counters["full/bare"] = full / bareTime;
    st.counters["full/no_yield"] = full / ignoringEvents;
    st.counters["max_gap_ms"] = seconds(watch.longestGap()) * ms;
    st.counters["median_gap_ms"] = seconds(watch.medianTurnGap()) * ms;
    st.counters["repaints/s"] = static_cast<double>(watch.paints()) / full;
    st.counters["dispatches/s"] = static_cast<double>(pump.dispatches() - dispatchesBefore) / full;
    st.counters["lines"] = figureLines(figure, count);
    st.counters["drawn"] = static_cast<double>(bare.lines);
    if (peakReset)
        st.counters["peak_rise_KiB"] = static_cast<double>(peakRise);
    st.counters["maxrss_MiB"] = static_cast<double>(maxRssKiB()) / 1024;
}

// A click as another thread posts it, stamped with when.
class StampedClick final : public QEvent {
public:
    static const QEvent::Type kType;
    explicit StampedClick(Clock::time_point posted) : QEvent(kType), posted(posted) {}
    Clock::time_point posted;
};
const QEvent::Type StampedClick::kType = static_cast<QEvent::Type>(QEvent::registerEventType());

class ClickWaits final : public QObject {
public:
    bool counting = false;
    Clock::duration longest{};
    std::uint64_t clicks = 0;

    bool event(QEvent* event) override
    {
        if (event->type() != StampedClick::kType)
            return QObject::event(event);
        if (counting) {
            longest = std::max(longest, Clock::now() - static_cast<StampedClick*>(event)->posted);
            ++clicks;
        }
        return true;
    }
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A press of the carpet at count 1000 in the window's drawing area with its
// pump, ended by "Esci" (the program ending) after a second; meanwhile
// another thread posts clicks 1 to 20 ms apart.
void endlessCarpetBenchmark(benchmark::State& st)
{
    RasterSurface& surface = realWindow.mainWindow->surface();
    QtEventPump& pump = realWindow.mainWindow->pump();
    WindowState state;
    loadWindowState(state, surface);
    ClickWaits waits;
    double cpu = 0, wall = 0;
    bool failed = false;
    for (auto _ : st) {
        std::atomic<bool> clicking{true};
        std::thread clicker([&] {
            std::mt19937 random(12345);
            std::uniform_int_distribution<int> pause(1000, 20000);
            while (clicking) {
                std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
                QCoreApplication::postEvent(&waits, new StampedClick(Clock::now()));
            }
        });
        QTimer::singleShot(1000, [&] { state.ending = true; });
        waits.counting = true;
        const double cpu0 = cpuSeconds();
        const Clock::time_point t0 = Clock::now();
        const PressOutcome outcome =
            pressFigure<RasterSurface, QtEventPump>(state, surface, pump, Figure::SierpinskiCarpet, "1000");
        const Clock::time_point t1 = Clock::now();
        const double cpu1 = cpuSeconds();
        waits.counting = false;
        clicking = false;
        clicker.join();
        QCoreApplication::sendPostedEvents(&waits);
        state.ending = false;
        st.SetIterationTime(seconds(t1 - t0));
        cpu += cpu1 - cpu0;
        wall += seconds(t1 - t0);
        failed = failed || !(outcome == PressOutcome::ended());
    }
    if (failed) {
        st.SkipWithError("the press did not end with the program");
        return;
    }
    st.counters["cpu_share_%"] = 100 * cpu / wall;
    st.counters["longest_click_wait_ms"] = seconds(waits.longest) * 1e3;
    st.counters["clicks"] = static_cast<double>(waits.clicks);
}

// Hands nothing over, and ends the press where it would first wait for
// events: a press that never ends has then shown all it ever will.
class EndAtFirstWait final : public IgnoredEventsInBulk {
public:
    explicit EndAtFirstWait(WindowState& state) : state_(state) {}
    void waitForEvents() { state_.ending = true; }

private:
    WindowState& state_;
};
static_assert(OffersQuietYields<EndAtFirstWait>::value && OffersWaiting<EndAtFirstWait>::value,
              "a press that never ends reaches its first wait as in the window");

// A file written as --export writes it, the press included: an animation,
// or the SVG. Its size in kB as a counter.
void exportBenchmark(benchmark::State& st, Figure figure, const char* text, PictureFormat format, AnimationKind kind,
                     double growthSeconds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(format == PictureFormat::Gif    ? QStringLiteral("a.gif")
                                      : format == PictureFormat::Webp ? QStringLiteral("a.webp")
                                                                      : QStringLiteral("a.svg"));
    bool failed = false;
    for (auto _ : st) {
        const Clock::time_point t0 = Clock::now();
        if (isAnimation(format)) {
            failed = failed
                     || saveAnimation({figure, text, 1, kind, growthSeconds}, format, path, nullptr).status
                            != WriteOutcome::Status::Written;
        } else {
            failed = failed || saveSvg(std::get<VectorPicture>(pressedVectors(figure, text, 1)), 1, path);
        }
        st.SetIterationTime(seconds(Clock::now() - t0));
    }
    if (failed)
        st.SkipWithError("the file was not written");
    st.counters["kB"] = static_cast<double>(QFileInfo(path).size()) / 1000;
}

// A press at count 1000, which never ends, up to its first wait.
void untilWaitingBenchmark(benchmark::State& st, Figure figure)
{
    RasterSurface& surface = realWindow.mainWindow->surface();
    WindowState state;
    loadWindowState(state, surface);
    EndAtFirstWait events(state);
    bool failed = false;
    for (auto _ : st) {
        const Clock::time_point t0 = Clock::now();
        const PressOutcome outcome =
            pressFigure<RasterSurface, EndAtFirstWait>(state, surface, events, figure, "1000");
        st.SetIterationTime(seconds(Clock::now() - t0));
        state.ending = false;
        failed = failed || !(outcome == PressOutcome::ended());
    }
    if (failed)
        st.SkipWithError("the press did not wait");
}

// A step of the stage's zoom in full screen at 1920 by 1080: the figure
// redrawn at `zoom` times the scale that fits, the view centred on a corner
// of the figure. `zoom` 0 stands for the deepest step.
void zoomStepBenchmark(benchmark::State& st, Figure figure, int count, int zoom)
{
    const QSize screen(1920, 1080);
    const AreaLook area = drawingAreaLook();
    const double fit = fittingScale(screen, area.inner);
    const int step = zoom == 0 ? deepestZoomStep(fit) : static_cast<int>(std::log2(zoom));
    const double scale = std::ldexp(fit, step);
    // The first corner of the first part each figure draws, in scale units,
    // in the order of kFigures.
    constexpr QPointF kFirstCorners[] = {{10, 480}, {150, 50}, {10, 245}, {150, 120}};
    static_assert(std::size(kFirstCorners) == kFigureCount, "every figure has the corner its zoom is centred on");
    const QPointF corner = kFirstCorners[static_cast<std::size_t>(figure)];
    const QPointF centre(corner.x() * std::round(area.inner.width() * scale) / 640,
                         corner.y() * std::round(area.inner.height() * scale) / 490);
    const QRect view = viewAround(centre, screen);
    const std::string text = std::to_string(count);
    // Given up where the stage gives up, so that one slow row (the deep
    // triangle zoomed out) cannot hold the whole run for minutes.
    const std::atomic<bool> never(false);
    for (auto _ : st) {
        const Clock::time_point t0 = Clock::now();
        const auto picture = zoomedPicture(area, figure, text, scale, view, &never, t0 + std::chrono::seconds(5));
        st.SetIterationTime(seconds(Clock::now() - t0));
        if (!std::holds_alternative<QImage>(picture)) {
            st.SkipWithError(std::holds_alternative<ErrorKind>(picture) ? "the zoomed press failed"
                                                                        : "over 5 s: given up, as the stage does");
            break;
        }
    }
    st.counters["scale"] = scale;
}

// The replayed list must paint exactly what the press paints, or the bare
// limit measures other work.
bool bareMatchesPress(Figure figure, int count)
{
    RasterSurface& surface = realWindow.mainWindow->surface();
    WindowState state;
    loadWindowState(state, surface);
    IgnoredEventsInBulk ignored;
    pressFigure<RasterSurface, IgnoredEventsInBulk>(state, surface, ignored, figure, std::to_string(count));
    const QImage pressed = surface.image().copy();
    drawBare(surface, bareFigure(figure, count, surface));
    return surface.image() == pressed;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    // Settings of its own: a pace saved by whoever runs it would time waits.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    MainWindow mainWindow;
    mainWindow.show();
    QElapsedTimer waited;
    waited.start();
    while (!(mainWindow.windowHandle() && mainWindow.windowHandle()->isExposed()) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    realWindow.mainWindow = &mainWindow;
    DispatchWatch watch(mainWindow.findChild<DrawingArea*>(QStringLiteral("Picture1")));
    realWindow.watch = &watch;
    app.installEventFilter(&watch);

    for (const FigureInfo& figure : kFigures)
        if (!bareMatchesPress(figure.id, 5) || !bareMatchesPress(figure.id, 12)) {
            std::fputs("velmoran-bench: the replayed lines do not paint what the press paints\n", stderr);
            return 1;
        }

    for (const FigureInfo& figure : kFigures)
        for (int count : {6, 8, 10, 12, 15, 20})
            benchmark::RegisterBenchmark((std::string(figure.traceWord) + "/" + std::to_string(count)).c_str(),
                                         pressBenchmark, figure.id, count)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
    // The triangle's counts whose corners meet the pixels' edges to the
    // last single-precision step, up to the last that ends (at 51 the
    // first corner triangle already waits for ever in one pixel).
    for (int count : {22, 25, 30, 40, 50})
        benchmark::RegisterBenchmark((std::string(figureInfo(Figure::SierpinskiTriangle).traceWord) + "/"
                                      + std::to_string(count))
                                         .c_str(),
                                     pressBenchmark, Figure::SierpinskiTriangle, count)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    for (const FigureInfo& figure : kFigures)
        benchmark::RegisterBenchmark((std::string(figure.traceWord) + "/1000/until_waiting").c_str(),
                                     untilWaitingBenchmark, figure.id)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    for (const FigureInfo& figure : kFigures)
        for (int count : {10, 30})
            for (int zoom : {1, 16, 0})
                benchmark::RegisterBenchmark((std::string(figure.traceWord) + "/" + std::to_string(count) + "/zoom_"
                                              + (zoom == 0 ? std::string("deepest") : std::to_string(zoom)))
                                                 .c_str(),
                                             zoomStepBenchmark, figure.id, count, zoom)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("tappeto/1000/waiting", endlessCarpetBenchmark)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);

    // The exports of animations and SVG: the triangle's levels 0 to 8, its
    // growth at 7 (2,187 parts) over 10 s, and the heaviest found: the
    // triangle's growth at 10 over 120 s, its SVG at 8.
    const struct {
        const char* name;
        Figure figure;
        const char* text;
        PictureFormat format;
        AnimationKind kind;
        double seconds;
    } exports[] = {
        {"export/triangolo/8/levels/gif", Figure::SierpinskiTriangle, "8", PictureFormat::Gif, AnimationKind::Levels, 10},
        {"export/triangolo/7/growth_10s/gif", Figure::SierpinskiTriangle, "7", PictureFormat::Gif, AnimationKind::Growth, 10},
        {"export/triangolo/7/growth_10s/webp", Figure::SierpinskiTriangle, "7", PictureFormat::Webp, AnimationKind::Growth, 10},
        {"export/triangolo/10/growth_120s/gif", Figure::SierpinskiTriangle, "10", PictureFormat::Gif, AnimationKind::Growth, 120},
        {"export/triangolo/10/growth_120s/webp", Figure::SierpinskiTriangle, "10", PictureFormat::Webp, AnimationKind::Growth, 120},
        {"export/triangolo/8/svg", Figure::SierpinskiTriangle, "8", PictureFormat::Svg, AnimationKind::Growth, 10},
    };
    for (const auto& e : exports)
        benchmark::RegisterBenchmark(e.name, exportBenchmark, e.figure, e.text, e.format, e.kind, e.seconds)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
