#pragma once

// The figures the window offers, one row each: everything outside the
// renderers that names or lists a figure reads it from here, or fails to
// build without its row. Adding a figure: docs/architecture.md, "Where to
// add", every step in order.

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
    // The colours of its lines, in the order a leaf draws them.
    Colour colours[3];
    int colourCount;
    // The rule: `startParts` parts at count 0, each split into `splitsInto`
    // copies `shrinksBy` times smaller at every level; a last-level part
    // draws `linesPerPart` lines.
    int startParts;
    int splitsInto;
    int shrinksBy;
    int linesPerPart;
};

// Koch's curve and snowflake share the carpet's colour.
inline constexpr Colour kKochColour = rgbColour(200, 80, 0);

// In button order, top of the tab order first.
inline constexpr FigureInfo kFigures[] = {
    {Figure::SierpinskiTriangle, "triangolo", {rgbColour(180, 80, 0), rgbColour(200, 200, 0), rgbColour(250, 50, 50)}, 3,
     1, 3, 2, 3},
    {Figure::SierpinskiCarpet, "tappeto", {kKochColour}, 1, 1, 8, 3, 1},
    {Figure::KochCurve, "trina", {kKochColour}, 1, 1, 4, 3, 1},
    {Figure::KochSnowflake, "fiocco", {kKochColour}, 1, 3, 4, 3, 1},
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
