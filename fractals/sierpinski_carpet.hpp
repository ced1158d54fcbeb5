#pragma once

// The Sierpinski carpet: a square split into a 3 by 3 grid, the eight outer
// cells split again, the centre left empty; the last level's squares are
// outlined in the carpet colour.

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

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

// Levels until a square of this side splits into squares of side 0.
inline int levelsToPoints(Int16 side)
{
    int levels = 0;
    for (; side > 0; side = cellSide(side))
        ++levels;
    return levels;
}

// Beyond this side a square's points take more memory than drawing them
// saves.
constexpr Int16 kLargestSquareKept = 511;

struct Offset {
    Int16 x, y;
};

// The points a square of `side` (at most kLargestSquareKept) leaves once
// every leaf below it is a square of side 0, as offsets from its corner,
// each once. Its cells lie at the same offsets wherever it stands, so each
// side's are worked out once, from its cells'.
inline const std::vector<Offset>& squarePoints(Int16 side)
{
    thread_local std::vector<std::vector<Offset>> known;
    if (known.size() <= static_cast<std::size_t>(side))
        known.resize(static_cast<std::size_t>(side) + 1);  // the cells' sides are smaller: no resize below
    std::vector<Offset>& points = known[static_cast<std::size_t>(side)];
    if (!points.empty())
        return points;
    if (side == 0)
        return points = {{0, 0}};
    const int width = side + 1;
    std::vector<bool> seen(static_cast<std::size_t>(width * width));
    const Int16 cell = cellSide(side);
    for (const auto& at : cellCorners(0, 0, side).cells)
        for (const Offset o : squarePoints(cell)) {
            const Offset p{static_cast<Int16>(at[0] + o.x), static_cast<Int16>(at[1] + o.y)};
            auto once = seen[static_cast<std::size_t>(p.y * width + p.x)];
            if (!once) {
                once = true;
                points.push_back(p);
            }
        }
    return points;
}

}  // namespace carpet_detail

// One square of the last level, outlined in the carpet colour.
template <class Surface>
inline void outlineSquare(Surface& s, Int16 x1, Int16 y1, Int16 side)
{
    s.useSolidLines();
    const Int16 bottom = add(y1, side);
    const Int16 right = add(x1, side);
    s.drawLine(LineKind::BoxInOwnColour, x1, y1, right, bottom, figureInfo(Figure::SierpinskiCarpet).colours[0]);
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
        // A square's parts lie within it, and where it fits, with its side
        // doubled, nothing below it can overflow.
        if (skipOutOfView<8>(canvas, cellDepth, [&](const auto&) -> std::optional<UnitBox> {
                if (cell < 0 || cell > INT16_MAX / 2 || at[0] > INT16_MAX - cell || at[1] > INT16_MAX - cell)
                    return std::nullopt;
                return UnitBox{at[0], at[1], at[0] + cell, at[1] + cell};
            }))
            continue;
        // A square of side 0, or one deep enough for all its leaves to be
        // of side 0, leaves the set of its points (C7 in docs/exactness.md).
        const bool collapsed =
            collapseSubtree<8>(
                canvas, cellDepth, [cell] { return cell == 0; },
                [&] { outlineSquare(canvas.surface, at[0], at[1], cell); })
            || (cell <= kLargestSquareKept && cellDepth >= levelsToPoints(cell) && at[0] <= INT16_MAX - cell
                && at[1] <= INT16_MAX - cell && skipSubtree<8>(canvas, cellDepth, [&] {
                       canvas.beforeLeaf();
                       for (const Offset o : squarePoints(cell))
                           outlineSquare(canvas.surface, static_cast<Int16>(at[0] + o.x),
                                         static_cast<Int16>(at[1] + o.y), 0);
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
        const Coord height = canvas.surface.heightInUnits();
        const Int16 side = toInt16(checkedFp(static_cast<double>(height) - 100, height));
        subdivideSquare<const Int16&>(canvas, canvas.state.count, 150, 50, side);
    }
};

}  // namespace velmoran
