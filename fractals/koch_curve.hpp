#pragma once

// The Koch curve: a segment replaced by four, the middle third raised into
// the two sides of an equilateral bump to the left of the direction of
// travel (upward for a segment drawn left to right, y growing downward).

#include <type_traits>

#include "core/canvas.hpp"
#include "fractals/figure.hpp"

namespace velmoran {

namespace koch_detail {

// Integer((2 * near + far) / 3): the point a third of the way from `near`.
inline Integer third(Integer near, Integer far)
{
    return static_cast<Integer>(nearestThird(add(mul(2, near), far)));
}

// The apex coordinate: the half-sum of the ends, moved by a sixth of the
// rounded rise times the square root of 3. The rise is rounded before the
// division, so the offset moves in sixths of a unit, which is why the result
// can be worked out in integers (docs/exactness.md).
inline Integer apex(Integer a, Integer b, Integer riseFrom, Integer riseTo, bool subtract)
{
    const int sum = add(a, b);
    const double raised = checkedFp(sub(riseTo, riseFrom) * std::sqrt(3));
    const int rise = static_cast<int>(Round(raised));
    return static_cast<Integer>(nearestSixth(subtract ? 3 * sum - rise : 3 * sum + rise));
}

// A third of the way along, the apex, two thirds of the way along.
struct InnerPoints {
    Integer ax, ay, tx, ty, bx, by;
};

// A segment of no length whose inner points are its point, as long as three
// times each coordinate fits (beyond that the arithmetic overflows): so is
// every part of it, at any depth. Past the first few levels almost every
// segment is one.
inline bool staysAPoint(Integer x1, Integer y1, Integer x2, Integer y2)
{
    constexpr Integer kThird = INT16_MAX / 3;
    return x1 == x2 && y1 == y2 && x1 >= -kThird && x1 <= kThird && y1 >= -kThird && y1 <= kThird;
}

inline InnerPoints innerPoints(Integer x1, Integer y1, Integer x2, Integer y2)
{
    if (staysAPoint(x1, y1, x2, y2))
        return {x1, y1, x1, y1, x1, y1};
    return {third(x1, x2), third(y1, y2), apex(x1, x2, y1, y2, false), apex(y1, y2, x1, x2, true),
            third(x2, x1), third(y2, y1)};
}

}  // namespace koch_detail

// `Depth` is `const Integer&` for a top-level call (the window's count,
// reread before each of the four parts) and `Integer` below it.
template <class Depth, class Surface, class Events>
void subdivideSegment(Canvas<Surface, Events>& canvas, Depth depth, Integer x1, Integer y1, Integer x2, Integer y2)
{
    using namespace koch_detail;
    const NestingLevel level(canvas.state);

    Surface& s = canvas.surface;
    s.setForeColour(kKochColour);
    if (depth == 0) {
        s.drawLine(kLineInForeColor, x1, y1, x2, y2, 0);
        return;
    }
    if (depth < 0)  // see subdivideTriangle
        return;

    const auto [ax, ay, tx, ty, bx, by] = innerPoints(x1, y1, x2, y2);

    if constexpr (!std::is_reference_v<Depth>) {
        if (depth == 1) {
            auto leaf = [&s](Integer xa, Integer ya, Integer xb, Integer yb) {
                s.setForeColour(kKochColour);
                s.drawLine(kLineInForeColor, xa, ya, xb, yb, 0);
            };
            drawLastLevel(canvas, [&] {
                leaf(x1, y1, ax, ay);
                leaf(ax, ay, tx, ty);
                leaf(tx, ty, bx, by);
                leaf(bx, by, x2, y2);
            });
            return;
        }
    }
    auto part = [&canvas, &s, &depth](Integer xa, Integer ya, Integer xb, Integer yb) {
        const Integer partDepth = sub(depth, 1);
        const bool collapsed = collapseSubtree<4>(
            canvas, partDepth, [=] { return staysAPoint(xa, ya, xb, yb); },
            [&s, xa, ya] {
                s.setForeColour(kKochColour);
                s.drawLine(kLineInForeColor, xa, ya, xa, ya, 0);
            });
        if (!collapsed)
            subdivideSegment<Integer>(canvas, partDepth, xa, ya, xb, yb);
    };
    part(x1, y1, ax, ay);
    part(ax, ay, tx, ty);
    part(tx, ty, bx, by);
    part(bx, by, x2, y2);
    canvas.yieldToEvents();
}

// One curve at mid-height, 10 units inside either side edge. The three size
// reads and conversions keep their historical order.
template <>
struct FigureRenderer<Figure::KochCurve> {
    template <class Surface, class Events>
    static void draw(Canvas<Surface, Events>& canvas)
    {
        Surface& s = canvas.surface;
        const Single firstHeight = s.scaleHeight();
        const Single width = s.scaleWidth();
        const Single secondHeight = s.scaleHeight();
        const Integer y2 = toInteger(checkedFp(static_cast<double>(secondHeight) / 2, secondHeight));
        const Integer x2 = toInteger(checkedFp(static_cast<double>(width) - 10, width));
        const Integer y1 = toInteger(checkedFp(static_cast<double>(firstHeight) / 2, firstHeight));
        subdivideSegment<const Integer&>(canvas, canvas.state.iterations, 10, y1, x2, y2);
    }
};

}  // namespace velmoran
