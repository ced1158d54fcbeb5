#pragma once

// The Sierpinski carpet: a square split into a 3 by 3 grid, the eight outer
// cells split again, the centre left empty; the last level's squares are
// outlined in the carpet colour.

#include <type_traits>

#include "core/canvas.hpp"

namespace velmoran {

namespace tappeto_detail {

// Integer(a + b) of a double expression, checked before the conversion.
inline Integer corner(double offset, Integer origin)
{
    return toInteger(checkedFp(offset + origin));
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
    using tappeto_detail::corner;
    const NestingLevel level(canvas.state);

    if (n == 0) {
        tappetoLeaf(canvas.surface, x1, y1, lato);
        return;
    }
    if (n < 0)  // see Sierpinski
        return;

    // Each far coordinate comes in two forms that agree whenever 2 * lato
    // fits; the second carries the overflow check on 2 * lato.
    constexpr double kTwoThirds = 2.0 / 3.0;
    const Integer xR = corner(kTwoThirds * lato, x1);
    const Integer yB = corner(kTwoThirds * lato, y1);
    const Integer xM = corner(lato / 3.0, x1);
    const Integer xR2 = corner(mul(2, lato) / 3.0, x1);
    const Integer yM = corner(lato / 3.0, y1);
    const Integer xM2 = corner(lato / 3.0, x1);
    const Integer yB2 = corner(mul(2, lato) / 3.0, y1);
    const Integer yM2 = corner(lato / 3.0, y1);

    // Corners clockwise from the top-left, then edges clockwise from the
    // top-middle; the centre cell is never visited.
    const Integer cells[8][2] = {
        {x1, y1}, {xR, y1}, {xR, yB}, {x1, yB}, {xM, y1}, {xR2, yM}, {xM2, yB2}, {x1, yM2},
    };
    if constexpr (!std::is_reference_v<Depth>) {
        if (n == 1) {
            // Seven in eight invocations are leaves: draw the eight here rather
            // than through eight calls. Their nesting level is checked once, as
            // the first of them would be.
            const Integer side = toInteger(checkedFp(lato / 3.0));
            {
                const NestingLevel leaves(canvas.state);
                for (const auto& cell : cells)
                    tappetoLeaf(canvas.surface, cell[0], cell[1], side);
            }
            canvas.DoEvents();
            return;
        }
    }
    for (const auto& cell : cells) {
        const Integer side = toInteger(checkedFp(lato / 3.0));
        tappeto<Integer>(canvas, sub(n, 1), cell[0], cell[1], side);
    }
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
