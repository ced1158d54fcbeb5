#pragma once

// The Sierpinski carpet: a square split into a 3 by 3 grid, the eight outer
// cells split again, the centre left empty; the last level's squares are
// outlined in the carpet colour.

#include <type_traits>

#include "core/canvas.hpp"

namespace velmoran {

namespace tappeto_detail {

// Integer(numerator / 3 + origin), the double expression with its check: a
// third of a whole number is never a tie and never near one, so the double
// steps' rounding cannot move the result, worked out here in integers. The
// (2.0 / 3.0) * lato form is 2 * lato thirds the same way.
inline Integer corner(int numerator, Integer origin)
{
    return checkedInteger(origin + nearestThird(numerator));
}

// Integer(lato / 3): the side of the nine cells.
inline Integer cellSide(Integer lato) { return static_cast<Integer>(nearestThird(lato)); }

// The top-left corners of the eight outer cells, in the order they are
// drawn: the corners clockwise from the top-left, then the edges clockwise
// from the top-middle; the centre cell is never visited.
struct CellCorners {
    Integer cells[8][2];
};

inline CellCorners cellCorners(Integer x1, Integer y1, Integer lato)
{
    // A square of side 0 splits into eight of side 0 at its own corner; a
    // few levels down, every square of a deep carpet is one.
    if (lato == 0)
        return {{{x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}}};

    // Each far coordinate comes in two forms that agree whenever 2 * lato
    // fits; the second carries the overflow check on 2 * lato.
    const int twoLato = 2 * lato;  // (2.0 / 3.0) * lato: no check on 2 * lato
    const Integer xR = corner(twoLato, x1);
    const Integer yB = corner(twoLato, y1);
    const Integer xM = corner(lato, x1);
    const Integer xR2 = corner(mul(2, lato), x1);
    const Integer yM = corner(lato, y1);
    const Integer xM2 = corner(lato, x1);
    const Integer yB2 = corner(mul(2, lato), y1);
    const Integer yM2 = corner(lato, y1);
    return {{{x1, y1}, {xR, y1}, {xR, yB}, {x1, yB}, {xM, y1}, {xR2, yM}, {xM2, yB2}, {x1, yM2}}};
}

}  // namespace tappeto_detail

// One square of the last level, outlined in the carpet colour.
template <class Surface>
inline void tappetoLeaf(Surface& s, Integer x1, Integer y1, Integer lato)
{
    s.SetDrawStyle(0);
    const Colour colour = RGB(200, 80, 0);
    const Integer bottom = add(y1, lato);
    const Integer right = add(x1, lato);
    s.Line(kBoxWithColor, x1, y1, right, bottom, colour);
}

// `Depth` is `const Integer&` for the top-level call (the window's count,
// reread before each cell) and `Integer` below it.
template <class Depth, class Surface, class Events>
void tappeto(Canvas<Surface, Events>& canvas, Depth n, Integer x1, Integer y1, Integer lato)
{
    using namespace tappeto_detail;
    const NestingLevel level(canvas.state);

    if (n == 0) {
        tappetoLeaf(canvas.surface, x1, y1, lato);
        return;
    }
    if (n < 0)  // see Sierpinski
        return;

    const CellCorners corners = cellCorners(x1, y1, lato);
    const Integer side = cellSide(lato);
    if constexpr (!std::is_reference_v<Depth>) {
        if (n == 1) {
            // Seven in eight invocations are leaves: draw the eight here rather
            // than through eight calls. Their nesting level is checked once, as
            // the first of them would be.
            {
                const NestingLevel leaves(canvas.state);
                for (const auto& cell : corners.cells)
                    tappetoLeaf(canvas.surface, cell[0], cell[1], side);
            }
            canvas.DoEvents();
            return;
        }
    }
    for (const auto& cell : corners.cells)
        tappeto<Integer>(canvas, sub(n, 1), cell[0], cell[1], side);
    canvas.DoEvents();
}

// The carpet's own step of its press: the start square at (150, 50), its side
// the area's height less 100.
template <class Surface, class Events>
void Command2_Click(Canvas<Surface, Events>& canvas)
{
    const Single height = canvas.surface.ScaleHeight();
    const Integer side = toInteger(checkedFp(static_cast<double>(height) - 100, height));
    tappeto<const Integer&>(canvas, canvas.state.iterazioni, 150, 50, side);
}

}  // namespace velmoran
