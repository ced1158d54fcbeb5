// A drawing pressed again and again from inside itself, each press a real
// click dispatched by the drawing's own yieldToEvents, until the program refuses
// to go deeper: the refusal must be the stack error, reported, and never an
// overflow; "Esci" then unwinds every press. Prints the stack each nested
// press takes and what is left below the deepest one.

#include <QtTest>

#include <QAbstractButton>
#include <QContextMenuEvent>

#include <pthread.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "files/png_file.hpp"
#include "tests/support/qt_test_main.hpp"
#include "texts/user_texts.hpp"
#include "window/print_window.hpp"
#include "window/user_dialogs.hpp"
#include "window_driver.hpp"

using namespace velmoran;
using namespace velmoran::test;

namespace {

std::uintptr_t here() { return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)); }

// The lowest address of this thread's stack.
std::uintptr_t stackEnd()
{
    pthread_attr_t attr;
    void* low = nullptr;
    std::size_t size = 0;
    pthread_getattr_np(pthread_self(), &attr);
    pthread_attr_getstack(&attr, &low, &size);
    pthread_attr_destroy(&attr);
    return reinterpret_cast<std::uintptr_t>(low);
}

constexpr unsigned char kPaint = 0xA5;
constexpr std::size_t kPainted = 1u << 20;

// Paints the stack below the caller, so that what a later call overwrites
// shows how deep it went. Unchecked: that stack belongs to no frame.
[[gnu::noinline, gnu::no_sanitize_address]] void paintStackBelow()
{
    auto* area = static_cast<volatile unsigned char*>(__builtin_alloca(kPainted));
    for (std::size_t i = 0; i < kPainted; ++i)
        area[i] = kPaint;
}

[[gnu::noinline, gnu::no_sanitize_address]] std::uintptr_t deepestOverwritten(std::uintptr_t from, std::uintptr_t to)
{
    auto p = reinterpret_cast<const volatile unsigned char*>(from);
    while (reinterpret_cast<std::uintptr_t>(p) < to && *p == kPaint)
        ++p;
    return reinterpret_cast<std::uintptr_t>(p);
}

// The stack `work` takes below its caller.
[[gnu::noinline]] std::size_t stackUsedBy(const std::function<void()>& work)
{
    const std::uintptr_t top = here();
    paintStackBelow();
    work();
    return top - deepestOverwritten(top - kPainted, top);
}

// What may run below the deepest press without a check on the stack: the
// error report, the offer of a PDF file and its save dialog, a printout,
// the picture's menu, its save dialog and file, the about box.
std::size_t stackOfTheWindowsDialogs(QWidget& window)
{
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
        if (QWidget* menu = QApplication::activePopupWidget())
            menu->close();
    });
    closer.start(10);
    window::MessageBoxDialogs dialogs(&window);
    const std::shared_ptr<printing::PrintQueue> queue = printing::makeCupsQueue();
    printing::JobWatch watch([](const QString&) {});
    QTemporaryDir dir;
    const std::size_t sizes[] = {
        stackUsedBy([&] { dialogs.showError(QString::fromStdString(texts::pressError(ErrorKind::Stack))); }),
        stackUsedBy([&] { dialogs.askYesNo(QStringLiteral("?")); }),
        stackUsedBy([&] { dialogs.askPdfFileName(); }),
        stackUsedBy([&] {
            window::printWindow(window, [&] { return pdfPrinter(dir.filePath("out.pdf")); }, queue, watch, dialogs);
        }),
        stackUsedBy([&] {
            QWidget* area = window.findChild<QWidget*>(QStringLiteral("Picture1"));
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), area->mapToGlobal(QPoint()));
            QApplication::sendEvent(area, &menu);
        }),
        stackUsedBy([&] { dialogs.askImageFileName(dir.path(), QStringLiteral("figura")); }),
        stackUsedBy([&] { files::savePng(window.grab().toImage(), dir.filePath("out.png")); }),
        stackUsedBy([&] { dialogs.showAbout(QStringLiteral("Velmoran"), QStringLiteral("?")); }),
    };
    return *std::max_element(std::begin(sizes), std::end(sizes));
}

// Clicks the button again from each of its releases, so that the next press
// is dispatched by the next yieldToEvents of the drawing the release starts. Once
// enough presses were refused, clicks "Esci" instead and lets no more
// presses start.
class PressAgain final : public QObject {
public:
    PressAgain(QAbstractButton& button, window::MainWindow& window, const DialogLog& log, int refusals)
        : button_(button), window_(window), log_(log), refusals_(refusals)
    {
        button.installEventFilter(this);
    }

    std::vector<std::uintptr_t> frames;  // one per press, at its release

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonRelease)
            return false;
        frames.push_back(here());
        if (log_.errors.size() < refusals_) {
            postClick(button_);
            return false;
        }
        postClick(*buttonNamed(window_, "Command5"));
        return true;
    }

private:
    QAbstractButton& button_;
    window::MainWindow& window_;
    const DialogLog& log_;
    qsizetype refusals_;
};

}  // namespace

class DeepNestingTest : public QObject {
    Q_OBJECT

    // Where the first press was refused.
    struct Refusal {
        int nesting = -1;  // renderer invocations active
        std::uintptr_t frame = 0;
        std::uintptr_t floor = 0;  // the stack's
        std::size_t perPress = 0;  // stack a nested press takes
    };

    // The triangle at `count` pressed from inside itself until `refusals`
    // presses were refused, then "Esci".
    void pressedFromInsideItselfUntilRefused(const QString& count, int refusals, Refusal& refusal)
    {
        std::size_t pressesAtFirstError = 0;
        DrivenWindow driven(picture::PumpTiming::everyCall());
        window::MainWindow& window = driven.window;
        const DialogLog& log = driven.log;
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PressAgain again(*figureButton(window, Figure::SierpinskiTriangle), window, log, refusals);
        driven.log.onError = [&] {
            if (log.errors.size() > 1)
                return;
            refusal.nesting = window.state().nesting;
            pressesAtFirstError = again.frames.size();
            refusal.frame = here();
        };

        press(window, Figure::SierpinskiTriangle, count.toStdString());
        // When no drawing is left to take them, the last clicks wait for the event loop.
        QTRY_COMPARE(driven.endings, 1);
        QCOMPARE(window.state().nesting, 0);
        QCOMPARE(log.errors, QStringList(refusals, QString::fromStdString(texts::pressError(ErrorKind::Stack))));

        // Each nested press, the first refused one excluded, took its own
        // share of stack; the shares are alike.
        std::vector<std::size_t> shares;
        for (std::size_t i = 1; i + 1 < pressesAtFirstError; ++i)
            shares.push_back(again.frames[i - 1] - again.frames[i]);
        QVERIFY(shares.size() > 10);
        std::nth_element(shares.begin(), shares.begin() + shares.size() / 2, shares.end());
        refusal.perPress = shares[shares.size() / 2];
        refusal.floor = window.state().stackFloor;
        const std::size_t left = refusal.frame - stackEnd();
        const std::size_t dialogsNeed = stackOfTheWindowsDialogs(window);
        std::printf("count %s: %zu presses nested when the first was refused, %d renderer invocations active;"
                    " %zu bytes of stack a nested press; %zu KiB used at the refusal, %zu KiB left below it"
                    " (floor at %zu KiB); the window's dialogs and printing take up to %zu KiB\n",
                    qPrintable(count), pressesAtFirstError - 1, refusal.nesting, refusal.perPress,
                    (again.frames.front() - refusal.frame) / 1024, left / 1024, (refusal.floor - stackEnd()) / 1024,
                    dialogsNeed / 1024);

        // The report of the refusal, or a printout, still fits, with room to spare.
        QVERIFY(left > 2 * dialogsNeed);
    }

private slots:
    // 30 renderer levels a press: the bound on them stops it long before
    // the stack's floor; the presses after it are refused one by one.
    void refusedByTheNestingBound()
    {
        Refusal r;
        pressedFromInsideItselfUntilRefused("30", 2000, r);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(r.nesting > kMaxNesting - 30);
        QVERIFY(r.frame > r.floor);
    }
    // One level a press, so the Qt frames between presses dominate: only
    // the floor can stop it.
    void refusedByTheStackFloor()
    {
        Refusal r;
        pressedFromInsideItselfUntilRefused("1", 1, r);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(r.nesting < kMaxNesting);
        QVERIFY(r.frame < r.floor + 4 * r.perPress);
    }
};

VELMORAN_TEST_MAIN(DeepNestingTest)
#include "deep_nesting_test.moc"
