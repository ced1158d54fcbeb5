// velmoran-render: what the end-to-end test expects to see, made without the
// program's window.
//
//   velmoran-render FIGURE TEXT OUT.png
//       Draws one press the way the window draws it and saves the drawing
//       area's inner picture. FIGURE: triangolo, tappeto, trina or fiocco.
//   velmoran-render --box critical|question TEXT
//       Shows a message box titled "Velmoran" with TEXT until it is closed,
//       to be put beside the program's own box on the same X server.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include <QApplication>
#include <QMessageBox>

#include "fractals/figures.hpp"
#include "ui/app_setup.hpp"
#include "ui/picture_box.hpp"

namespace {

// The reference must not depend on when events would have been handed over.
struct NoEvents {
    void DoEvents() {}
};

int usage()
{
    std::fprintf(stderr,
                 "usage: velmoran-render FIGURE TEXT OUT.png\n"
                 "       velmoran-render --box critical|question TEXT\n");
    return 2;
}

int drawPicture(velmoran::Figure figure, const char* text, const char* out)
{
    // A drawing area of its own, placed and coloured as in the window, so its
    // picture has the window's size, scale and blank colour.
    velmoran::ui::PictureBox box(QRect(16, 24, 497, 353), nullptr);
    velmoran::ui::RasterSurface& surface = box.surface();
    velmoran::WindowState state;
    state.stackFloor = velmoran::stackFloorOfThisThread();
    velmoran::Form_Load(state, surface);
    NoEvents events;
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

}  // namespace

int main(int argc, char** argv)
{
    const bool box = argc == 4 && std::strcmp(argv[1], "--box") == 0;
    const std::optional<velmoran::Figure> figure = box || argc != 4 ? std::nullopt : velmoran::figureNamed(argv[1]);
    if (!box && !figure)
        return usage();
    if (!box && !std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The same fonts and Italian texts as the program.
    velmoran::ui::setupApplication(app);
    if (!box)
        return drawPicture(*figure, argv[2], argv[3]);

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
