// velmoran-render: what the end-to-end test expects to see, made without the
// program's window, and the figures and layout the test finds its way by.
//
//   velmoran-render [--dpr S] FIGURE TEXT OUT.png
//       Draws one press the way the window draws it and saves the drawing
//       area's inner picture. FIGURE: a figure's trace word (see --figures).
//       With --dpr, the picture is made at device-pixel ratio S, as the window
//       makes it on a screen scaled by S: the inner size times S, rounded.
//   velmoran-render --leaves-of FIGURE TEXT PICTURE.png
//       Prints after how many leaves (last-level parts) that press leaves
//       exactly PICTURE in the drawing area, or -1 if it never does: what the
//       window may show at any moment of a paced drawing.
//   velmoran-render --box critical|question TEXT
//       Shows a message box titled "Velmoran" with TEXT until it is closed,
//       to be put beside the program's own box on the same X server.
//   velmoran-render --figures
//       One line per figure, in button order: WORD OBJECTNAME R,G,B...
//       (its trace word, its button's object name, the colours of its lines).
//   velmoran-render --layout
//       One line per control: OBJECTNAME X Y W H, in logical pixels of the
//       window's client area; first "Form1 0 0 W H", the client area itself.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include <QApplication>
#include <QColorSpace>
#include <QMessageBox>
#include <QPalette>

#include "core/window_state.hpp"
#include "fractals/press_figure.hpp"
#include "app/app_setup.hpp"
#include "tests/support/doubles.hpp"
#include "window/drawing_area.hpp"
#include "window/window_layout.hpp"

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: velmoran-render [--dpr S] FIGURE TEXT OUT.png\n"
                 "       velmoran-render --leaves-of FIGURE TEXT PICTURE.png\n"
                 "       velmoran-render --box critical|question TEXT\n"
                 "       velmoran-render --figures | --layout\n");
    return 2;
}

int drawPicture(velmoran::Figure figure, const char* text, const char* out, std::optional<double> dpr)
{
    // A drawing area of its own, placed and coloured as in the window, so its
    // picture has the window's size, scale and blank colour.
    velmoran::window::DrawingArea box(
        velmoran::window::layout::placeOf(velmoran::window::layout::Control::DrawingArea).geometry, nullptr);
    // At another ratio, a picture of the same logical size made as the box
    // makes its own, at that ratio.
    std::unique_ptr<velmoran::picture::RasterSurface> scaled;
    if (dpr)
        scaled = std::make_unique<velmoran::picture::RasterSurface>(box.contentsRect().size(), *dpr,
                                                                box.palette().color(QPalette::Button).rgb());
    velmoran::picture::RasterSurface& surface = scaled ? *scaled : box.surface();
    velmoran::WindowState state;
    try {
        velmoran::loadWindowState(state, surface);
    } catch (const velmoran::RuntimeError& error) {
        std::fprintf(stderr, "velmoran-render: cannot place the triangle: %s\n", error.what());
        return 1;
    }
    // The reference must not depend on when events would have been handed over.
    velmoran::test::RecordingEvents events;
    if (!(velmoran::pressFigure(state, surface, events, figure, std::string_view(text))
          == velmoran::PressOutcome::done())) {
        std::fprintf(stderr, "velmoran-render: the press did not finish\n");
        return 1;
    }
    if (!surface.image().save(QString::fromLocal8Bit(out), "PNG")) {
        std::fprintf(stderr, "velmoran-render: cannot write %s\n", out);
        return 1;
    }
    return 0;
}

// Lets a press draw `limit` leaves, then stops it before the next one.
class LeafLimit {
public:
    LeafLimit(velmoran::WindowState& state, long limit) : state_(state), left_(limit) {}
    void yieldToEvents() {}
    bool beforeLeaf()
    {
        if (left_-- != 0)
            return false;
        velmoran::stopDrawings(state_);
        return true;
    }

private:
    velmoran::WindowState& state_;
    long left_;
};
static_assert(velmoran::PacesLeaves<LeafLimit>::value, "the limit is told before each leaf, as the window's pace is");

int leavesOf(velmoran::Figure figure, const char* text, const char* file)
{
    QImage wanted;
    if (!wanted.load(QString::fromLocal8Bit(file))) {
        std::fprintf(stderr, "velmoran-render: cannot read %s\n", file);
        return 1;
    }
    // Only the pixels count, not the colour space a screenshot's file names.
    wanted = wanted.convertToFormat(QImage::Format_RGB888);
    wanted.setColorSpace(QColorSpace());
    namespace layout = velmoran::window::layout;
    velmoran::window::DrawingArea box(layout::placeOf(layout::Control::DrawingArea).geometry, nullptr);
    velmoran::WindowState state;
    velmoran::loadWindowState(state, box.surface());
    // Each limit draws afresh from a cleared area, up to the first press the
    // limit no longer stops.
    for (long limit = 0;; ++limit) {
        LeafLimit events(state, limit);
        const velmoran::PressOutcome outcome =
            velmoran::pressFigure(state, box.surface(), events, figure, std::string_view(text));
        if (box.surface().image().convertToFormat(QImage::Format_RGB888) == wanted) {
            std::printf("%ld\n", limit);
            return 0;
        }
        if (!(outcome == velmoran::PressOutcome::stopped()))
            break;
    }
    std::printf("-1\n");
    return 0;
}

void printFigures()
{
    for (const velmoran::FigureInfo& figure : velmoran::kFigures) {
        std::printf("%s %s", figure.traceWord,
                    velmoran::window::layout::placeOf(velmoran::window::layout::buttonOf(figure.id)).objectName);
        for (int i = 0; i < figure.colourCount; ++i) {
            const velmoran::Colour c = figure.colours[i];
            std::printf(" %u,%u,%u", velmoran::redOf(c), velmoran::greenOf(c), velmoran::blueOf(c));
        }
        std::printf("\n");
    }
}

void printLayout()
{
    namespace layout = velmoran::window::layout;
    std::printf("Form1 0 0 %d %d\n", layout::kWindowSize.width(), layout::kWindowSize.height());
    for (const layout::ControlPlace& control : layout::kControls) {
        const QRect& g = control.geometry;
        std::printf("%s %d %d %d %d\n", control.objectName, g.x(), g.y(), g.width(), g.height());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--figures") == 0) {
        printFigures();
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--layout") == 0) {
        printLayout();
        return 0;
    }
    std::optional<double> dpr;
    if (argc >= 3 && std::strcmp(argv[1], "--dpr") == 0) {
        char* end = nullptr;
        const double value = std::strtod(argv[2], &end);
        if (end == argv[2] || *end != '\0' || !(value >= 0.25 && value <= 8))
            return usage();
        dpr = value;
        argv[2] = argv[0];  // the rest as if the option were not there
        argv += 2;
        argc -= 2;
    }
    const bool leaves = !dpr && argc == 5 && std::strcmp(argv[1], "--leaves-of") == 0;
    if (leaves) {
        argv[1] = argv[0];  // the rest as for a picture, PICTURE read rather than written
        ++argv;
        --argc;
    }
    const bool box = !dpr && !leaves && argc == 4 && std::strcmp(argv[1], "--box") == 0;
    const std::optional<velmoran::Figure> figure = box || argc != 4 ? std::nullopt : velmoran::figureWithTraceWord(argv[1]);
    if (!box && !figure)
        return usage();
    if (!box && !std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The same fonts and Italian texts as the program.
    velmoran::app::setupApplication(app);
    if (!box)
        return leaves ? leavesOf(*figure, argv[2], argv[3]) : drawPicture(*figure, argv[2], argv[3], dpr);

    const QString title = QStringLiteral("Velmoran");
    const QString text = QString::fromUtf8(argv[3]);
    if (std::strcmp(argv[2], "critical") == 0)
        QMessageBox::critical(nullptr, title, text);
    else if (std::strcmp(argv[2], "question") == 0)
        QMessageBox::question(nullptr, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    else
        return usage();
    return 0;
}
