#pragma once

// The figures the window offers, one row each: everything outside the
// renderers that names or lists a figure reads it from here. A new figure is
// one enumerator, one row below, and one header that specialises
// FigureRenderer (fractals/figures.hpp).

#include <cstddef>
#include <iterator>
#include <optional>
#include <string_view>

#include "core/numeric.hpp"

namespace velmoran {

enum class Figure { SierpinskiTriangle, SierpinskiCarpet, KochCurve, KochSnowflake };

struct FigureInfo {
    Figure id;
    // The figure's word on the trace tool's command line and in the export
    // option: observable, so it stays Italian.
    const char* traceWord;
    // The button's caption, which is its accessible name too.
    const char* caption;
    // The button's object name, which tests and accessibility tools find it by.
    const char* objectName;
    // What the button's tooltip says of the figure.
    const char* toolTip;
    // The colours of its lines, in the order a leaf draws them.
    Colour colours[3];
    int colourCount;
};

// Koch's curve and snowflake share the carpet's colour.
inline constexpr Colour kKochColour = RGB(200, 80, 0);

// In button order, top of the tab order first.
inline constexpr FigureInfo kFigures[] = {
    {Figure::SierpinskiTriangle, "triangolo", "Triangolo di Sierpinski", "Command1",
     "Disegna il triangolo di Sierpinski: ogni triangolo è diviso nei tre triangoli dei suoi angoli, con metà "
     "lato.",
     {RGB(180, 80, 0), RGB(200, 200, 0), RGB(250, 50, 50)}, 3},
    {Figure::SierpinskiCarpet, "tappeto", "Tappeto di Sierpinski", "Command2",
     "Disegna il tappeto di Sierpinski: ogni quadrato è diviso in nove e quello centrale resta vuoto.",
     {kKochColour}, 1},
    {Figure::KochCurve, "trina", "Trina di Koch", "Command3",
     "Disegna la trina di Koch: ogni segmento è diviso in tre e la parte centrale diventa una punta.",
     {kKochColour}, 1},
    {Figure::KochSnowflake, "fiocco", "Fiocco di neve di Koch", "Command4",
     "Disegna il fiocco di neve di Koch: una trina di Koch su ogni lato di un triangolo.", {kKochColour}, 1},
};
inline constexpr std::size_t kFigureCount = std::size(kFigures);

namespace detail {
constexpr bool rowsInEnumOrder()
{
    for (std::size_t i = 0; i < kFigureCount; ++i)
        if (static_cast<std::size_t>(kFigures[i].id) != i)
            return false;
    return true;
}
}  // namespace detail
static_assert(detail::rowsInEnumOrder(), "kFigures holds one row per Figure, in enumerator order");

constexpr const FigureInfo& figureInfo(Figure figure) { return kFigures[static_cast<std::size_t>(figure)]; }
constexpr const char* traceWord(Figure figure) { return figureInfo(figure).traceWord; }

// Draws one figure on a canvas: `template <class Surface, class Events>
// static void draw(Canvas<Surface, Events>&)`, specialised in the figure's
// header.
template <Figure>
struct FigureRenderer;

inline std::optional<Figure> figureWithTraceWord(std::string_view word) noexcept
{
    for (const FigureInfo& info : kFigures)
        if (word == info.traceWord)
            return info.id;
    return std::nullopt;
}

}  // namespace velmoran
