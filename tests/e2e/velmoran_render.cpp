// velmoran-render: what the end-to-end test expects to see, made without the
// program's window, and the figures and layout the test finds its way by.
// Run it with QT_QPA_PLATFORM=offscreen but for --box.
//
//   velmoran-render FIGURE TEXT SCALE OUT.png
//       Draws one press the way the window draws it, at SCALE device pixels a
//       logical pixel as on a screen scaled by SCALE, and saves the drawing
//       area's inner picture. FIGURE: a figure's trace word (see --figures).
//   velmoran-render --leaves-of FIGURE TEXT PICTURE.png...
//       Prints on one line, for each PICTURE, after how many leaves
//       (last-level parts) that press at scale 1 leaves exactly PICTURE in
//       the drawing area, or -1 if it never does: what the window may show
//       at any moment of a paced drawing.
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
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QColorSpace>
#include <QMessageBox>

#include "app/app_setup.hpp"
#include "tests/support/doubles.hpp"
#include "tests/support/surface_and_state.hpp"
#include "window/offscreen_press.hpp"
#include "window/window_layout.hpp"

using namespace velmoran;

namespace {

int usage()
{
    std::fprintf(stderr, "usage: velmoran-render FIGURE TEXT SCALE OUT.png | --leaves-of FIGURE TEXT PICTURE.png... |"
                         " --box critical|question TEXT | --figures | --layout\n");
    return 2;
}

int failure(const char* what, const std::string& file)
{
    std::fprintf(stderr, "velmoran-render: %s %s\n", what, file.c_str());
    return 1;
}

// A blank area of the size and colour of the window's drawing area (`look`),
// and the window state loaded from it, as the window readies them.
using Area = test::SurfaceAndState<picture::RasterSurface>;

int drawPicture(const window::AreaLook& look, Figure figure, const std::string& text, double scale,
                const std::string& out)
{
    Area area(look.inner, scale, look.background);
    // Every yield a real call, none handed over: the picture drawn call by
    // call, whatever the window's pump skips or whenever it hands over.
    test::RecordingEvents events;
    if (!(area.press(events, figure, text) == PressOutcome::done()))
        return failure("the press did not finish:", text);
    if (!area.surface.image().save(QString::fromStdString(out), "PNG"))
        return failure("cannot write", out);
    return 0;
}

// Before each leaf, and once more at the end, notes which of the pictures
// wanted the area shows, after how many leaves.
struct LeafWatch {
    const picture::RasterSurface& surface;
    const std::vector<QImage>& wanted;
    std::vector<long> found = std::vector<long>(wanted.size(), -1);
    long leaves = 0;

    void yieldToEvents() {}
    bool beforeLeaf()
    {
        look();
        ++leaves;
        return false;
    }
    void look()
    {
        const QImage shown = surface.image().convertToFormat(QImage::Format_RGB888);
        for (std::size_t i = 0; i < wanted.size(); ++i)
            if (found[i] < 0 && shown == wanted[i])
                found[i] = leaves;
    }
};
static_assert(PacesLeaves<LeafWatch>::value, "the watch is told before each leaf, as the window's pace is");

int leavesOf(const window::AreaLook& look, Figure figure, const std::string& text,
             const std::vector<std::string>& files)
{
    std::vector<QImage> wanted;
    for (const std::string& file : files) {
        QImage picture;
        if (!picture.load(QString::fromStdString(file)))
            return failure("cannot read", file);
        // Only the pixels count, not the colour space a screenshot's file names.
        picture = picture.convertToFormat(QImage::Format_RGB888);
        picture.setColorSpace(QColorSpace());
        wanted.push_back(picture);
    }
    Area area(look.inner, 1, look.background);
    LeafWatch watch{area.surface, wanted};
    area.press(watch, figure, text);
    watch.look();
    for (std::size_t i = 0; i < watch.found.size(); ++i)
        std::printf(i + 1 < watch.found.size() ? "%ld " : "%ld\n", watch.found[i]);
    return 0;
}

int printFigures()
{
    for (const FigureInfo& figure : kFigures) {
        std::printf("%s %s", figure.traceWord, window::layout::placeOf(window::layout::buttonOf(figure.id)).objectName);
        for (int i = 0; i < figure.colourCount; ++i) {
            const Colour c = figure.colours[i];
            std::printf(" %u,%u,%u", redOf(c), greenOf(c), blueOf(c));
        }
        std::printf("\n");
    }
    return 0;
}

int printLayout()
{
    namespace layout = window::layout;
    std::printf("Form1 0 0 %d %d\n", layout::kWindowSize.width(), layout::kWindowSize.height());
    for (const layout::ControlPlace& control : layout::kControls) {
        const QRect& g = control.geometry;
        std::printf("%s %d %d %d %d\n", control.objectName, g.x(), g.y(), g.width(), g.height());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string mode = args.empty() ? "" : args[0];
    if (args.size() == 1 && (mode == "--figures" || mode == "--layout"))
        return mode == "--figures" ? printFigures() : printLayout();
    const bool box = args.size() == 3 && mode == "--box" && (args[1] == "critical" || args[1] == "question");
    const bool leaves = args.size() >= 4 && mode == "--leaves-of";
    const std::optional<Figure> figure = figureWithTraceWord(leaves ? args[1] : mode);
    const double scale = args.size() == 4 && !leaves ? std::atof(args[2].c_str()) : 0;
    if (!box && !(figure && (leaves || scale > 0)))
        return usage();
    QApplication application(argc, argv);
    // The same fonts and Italian texts as the program.
    app::setupApplication(application);
    if (leaves)
        return leavesOf(window::drawingAreaLook(), *figure, args[2], {args.begin() + 3, args.end()});
    if (figure)
        return drawPicture(window::drawingAreaLook(), *figure, args[1], scale, args[3]);
    const QString title = QStringLiteral("Velmoran"), text = QString::fromStdString(args[2]);
    if (args[1] == "critical")
        QMessageBox::critical(nullptr, title, text);
    else
        QMessageBox::question(nullptr, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return 0;
}
