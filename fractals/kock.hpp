#pragma once

// The Koch curve: a segment replaced by four, the middle third raised into
// the two sides of an equilateral bump to the left of the direction of
// travel (upward for a segment drawn left to right, y growing downward).

#include "core/canvas.hpp"

namespace velmoran {

namespace kock_detail {

// Integer((2 * near + far) / 3): the point a third of the way from `near`.
inline Integer third(Integer near, Integer far)
{
    return toInteger(checkedFp(add(mul(2, near), far) / 3.0));
}

// The apex coordinate: the half-sum of the ends, moved by a sixth of the
// rounded rise times the square root of 3. The rise is rounded before the
// division, so the offset moves in sixths of a unit.
inline Integer apex(Integer a, Integer b, Integer riseFrom, Integer riseTo, bool subtract)
{
    const double halfSum = checkedFp(add(a, b) / 2.0);
    const double raised = checkedFp(sub(riseTo, riseFrom) * Sqr(3));
    const double offset = Round(raised) / 6;
    return toInteger(subtract ? halfSum - offset : halfSum + offset);
}

}  // namespace kock_detail

constexpr Colour kKochColour = RGB(200, 80, 0);

// `Depth` is `const Integer&` for a top-level call (the window's count,
// reread before each of the four parts) and `Integer` below it.
template <class Depth, class Surface, class Events>
void Kock(Canvas<Surface, Events>& canvas, Depth l, Integer x1, Integer y1, Integer x2, Integer y2)
{
    using namespace kock_detail;
    const NestingLevel level(canvas.state);

    Surface& s = canvas.surface;
    s.SetForeColor(kKochColour);
    if (l == 0) {
        s.Line(kLineInForeColor, x1, y1, x2, y2, 0);
        return;
    }
    if (l < 0)  // see Sierpinski
        return;

    const Integer ax = third(x1, x2);
    const Integer ay = third(y1, y2);
    const Integer tx = apex(x1, x2, y1, y2, false);
    const Integer ty = apex(y1, y2, x1, x2, true);
    const Integer bx = third(x2, x1);
    const Integer by = third(y2, y1);

    Kock<Integer>(canvas, sub(l, 1), x1, y1, ax, ay);
    Kock<Integer>(canvas, sub(l, 1), ax, ay, tx, ty);
    Kock<Integer>(canvas, sub(l, 1), tx, ty, bx, by);
    Kock<Integer>(canvas, sub(l, 1), bx, by, x2, y2);
    canvas.DoEvents();
}

// The curve's own step of its press: one curve at mid-height, 10 units
// inside either side edge. The three size reads and conversions keep their
// historical order.
template <class Surface, class Events>
void Command3_Click(Canvas<Surface, Events>& canvas)
{
    Surface& s = canvas.surface;
    const Single firstHeight = s.ScaleHeight();
    const Single width = s.ScaleWidth();
    const Single secondHeight = s.ScaleHeight();
    const Integer y2 = toInteger(checkedFp(static_cast<double>(secondHeight) / 2, secondHeight));
    const Integer x2 = toInteger(checkedFp(static_cast<double>(width) - 10, width));
    const Integer y1 = toInteger(checkedFp(static_cast<double>(firstHeight) / 2, firstHeight));
    Kock<const Integer&>(canvas, canvas.state.iterazioni, 10, y1, x2, y2);
}

}  // namespace velmoran
