#pragma once

// The Sierpinski carpet: a square split into a 3 by 3 grid, the eight outer
// cells split again, the centre left empty; the last level's squares are
// outlined in the carpet colour.

#include <type_traits>

#include "core/canvas.hpp"
#include "fractals/figure_table.hpp"

namespace velmoran {

namespace carpet_detail {

// Int16(numerator / 3 + origin), the double expression with its check: a
// third of a whole number is never a tie and never near one, so the double
// steps' rounding cannot move the result, worked out here in integers.
inline Int16 corner(int numerator, Int16 origin)
{
    return checkedInt16(origin + nearestThird(numerator));
}

// Int16(side / 3): the side of the nine cells.
inline Int16 cellSide(Int16 side) { return static_cast<Int16>(nearestThird(side)); }

// The top-left corners of the eight outer cells, in the order they are
// drawn: the corners clockwise from the top-left, then the edges clockwise
// from the top-middle; the centre cell is never visited.
struct CellCorners {
    Int16 cells[8][2];
};

inline CellCorners cellCorners(Int16 x1, Int16 y1, Int16 side)
{
    // A square of side 0 splits into eight of side 0 at its own corner; a
    // few levels down, every square of a deep carpet is one.
    if (side == 0)
        return {{{x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}}};

    const Int16 twoSides = mul(2, side);
    const Int16 right = corner(twoSides, x1);
    const Int16 bottom = corner(twoSides, y1);
    const Int16 middleX = corner(side, x1);
    const Int16 middleY = corner(side, y1);
    return {{{x1, y1}, {right, y1}, {right, bottom}, {x1, bottom}, {middleX, y1}, {right, middleY},
             {middleX, bottom}, {x1, middleY}}};
}

}  // namespace carpet_detail

// One square of the last level, outlined in the carpet colour.
template <class Surface>
inline void outlineSquare(Surface& s, Int16 x1, Int16 y1, Int16 side)
{
    s.setDrawStyle(0);
    const Int16 bottom = add(y1, side);
    const Int16 right = add(x1, side);
    s.drawLine(kBoxWithColour, x1, y1, right, bottom, figureInfo(Figure::SierpinskiCarpet).colours[0]);
}

// `Depth` is `const Int16&` for the top-level call (the window's count,
// reread before each cell) and `Int16` below it.
template <class Depth, class Surface, class Events>
void subdivideSquare(Canvas<Surface, Events>& canvas, Depth depth, Int16 x1, Int16 y1, Int16 side)
{
    using namespace carpet_detail;
    const NestingLevel level(canvas.state);

    if (depth == 0) {
        canvas.beforeLeaf();
        outlineSquare(canvas.surface, x1, y1, side);
        return;
    }
    if (depth < 0)  // see subdivideTriangle
        return;

    const CellCorners corners = cellCorners(x1, y1, side);
    const Int16 cell = cellSide(side);
    if constexpr (!std::is_reference_v<Depth>) {
        if (depth == 1) {
            drawLastLevel(canvas, [&] {
                for (const auto& at : corners.cells) {
                    canvas.beforeLeaf();
                    outlineSquare(canvas.surface, at[0], at[1], cell);
                }
            });
            return;
        }
    }
    for (const auto& at : corners.cells) {
        const Int16 cellDepth = sub(depth, 1);
        // Every leaf of a square of side 0 is the same point box at its
        // corner. The eight cells of a square of side 1 are squares of side
        // 0 at its four corners, so its leaves are the point boxes there,
        // all in the one colour: their order does not matter (where those
        // corners fit, as then nothing can overflow).
        const bool collapsed =
            collapseSubtree<8>(
                canvas, cellDepth, [cell] { return cell == 0; },
                [&] { outlineSquare(canvas.surface, at[0], at[1], cell); })
            || (cell == 1 && at[0] < INT16_MAX && at[1] < INT16_MAX && skipSubtree<8>(canvas, cellDepth, [&] {
                    const Int16 x = at[0], y = at[1], right = x + 1, bottom = y + 1;
                    canvas.beforeLeaf();
                    outlineSquare(canvas.surface, x, y, 0);
                    outlineSquare(canvas.surface, right, y, 0);
                    outlineSquare(canvas.surface, right, bottom, 0);
                    outlineSquare(canvas.surface, x, bottom, 0);
                    return true;
                }));
        if (!collapsed)
            subdivideSquare<Int16>(canvas, cellDepth, at[0], at[1], cell);
    }
    canvas.yieldToEvents();
}

// The start square at (150, 50), its side the area's height less 100.
template <>
struct FigureRenderer<Figure::SierpinskiCarpet> {
    template <class Surface, class Events>
    static void draw(Canvas<Surface, Events>& canvas)
    {
        const Coord height = canvas.surface.scaleHeight();
        const Int16 side = toInt16(checkedFp(static_cast<double>(height) - 100, height));
        subdivideSquare<const Int16&>(canvas, canvas.state.iterations, 150, 50, side);
    }
};

}  // namespace velmoran
