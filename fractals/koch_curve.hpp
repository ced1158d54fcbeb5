#pragma once

// The Koch curve: a segment replaced by four, the middle third raised into
// the two sides of an equilateral bump to the left of the direction of
// travel (upward for a segment drawn left to right, y growing downward).

#include <type_traits>

#include "core/canvas.hpp"
#include "fractals/figure_table.hpp"

namespace velmoran {

namespace koch_detail {

// Int16((2 * near + far) / 3): the point a third of the way from `near`.
inline Int16 third(Int16 near, Int16 far)
{
    return static_cast<Int16>(nearestThird(add(mul(2, near), far)));
}

// The apex coordinate: the half-sum of the ends, moved by a sixth of the
// rounded rise times the square root of 3. The rise is rounded before the
// division, so the offset moves in sixths of a unit, which is why the result
// can be worked out in integers (docs/exactness.md).
inline Int16 apex(Int16 a, Int16 b, Int16 riseFrom, Int16 riseTo, bool subtract)
{
    const int sum = add(a, b);
    const double raised = checkedFp(sub(riseTo, riseFrom) * std::sqrt(3));
    const int rise = static_cast<int>(roundHalfEven(raised));
    return static_cast<Int16>(nearestSixth(subtract ? 3 * sum - rise : 3 * sum + rise));
}

// A third of the way along, the apex, two thirds of the way along.
struct InnerPoints {
    Int16 ax, ay, tx, ty, bx, by;
};

// A segment of no length whose inner points are its point, as long as three
// times each coordinate fits (beyond that the arithmetic overflows): so is
// every part of it, at any depth. Past the first few levels almost every
// segment is one.
inline bool staysAPoint(Int16 x1, Int16 y1, Int16 x2, Int16 y2)
{
    constexpr Int16 kThird = INT16_MAX / 3;
    return x1 == x2 && y1 == y2 && x1 >= -kThird && x1 <= kThird && y1 >= -kThird && y1 <= kThird;
}

inline InnerPoints innerPoints(Int16 x1, Int16 y1, Int16 x2, Int16 y2)
{
    if (staysAPoint(x1, y1, x2, y2))
        return {x1, y1, x1, y1, x1, y1};
    return {third(x1, x2), third(y1, y2), apex(x1, x2, y1, y2, false), apex(y1, y2, x1, x2, true),
            third(x2, x1), third(y2, y1)};
}

}  // namespace koch_detail

// `Depth` is `const Int16&` for a top-level call (the window's count,
// reread before each of the four parts) and `Int16` below it.
template <class Depth, class Surface, class Events>
void subdivideSegment(Canvas<Surface, Events>& canvas, Depth depth, Int16 x1, Int16 y1, Int16 x2, Int16 y2)
{
    using namespace koch_detail;
    const NestingLevel level(canvas.state);

    Surface& s = canvas.surface;
    s.setForeColour(kKochColour);
    if (depth == 0) {
        canvas.beforeLeaf();
        s.drawLine(kLineInForeColour, x1, y1, x2, y2, 0);
        return;
    }
    if (depth < 0)  // see subdivideTriangle
        return;

    const auto [ax, ay, tx, ty, bx, by] = innerPoints(x1, y1, x2, y2);

    if constexpr (!std::is_reference_v<Depth>) {
        if (depth == 1) {
            auto leaf = [&](Int16 xa, Int16 ya, Int16 xb, Int16 yb) {
                s.setForeColour(kKochColour);
                canvas.beforeLeaf();
                s.drawLine(kLineInForeColour, xa, ya, xb, yb, 0);
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
    auto part = [&canvas, &s, &depth](Int16 xa, Int16 ya, Int16 xb, Int16 yb) {
        const Int16 partDepth = sub(depth, 1);
        const bool collapsed = collapseSubtree<4>(
            canvas, partDepth, [=] { return staysAPoint(xa, ya, xb, yb); },
            [&s, xa, ya] {
                s.setForeColour(kKochColour);
                s.drawLine(kLineInForeColour, xa, ya, xa, ya, 0);
            });
        if (!collapsed)
            subdivideSegment<Int16>(canvas, partDepth, xa, ya, xb, yb);
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
        const Coord firstHeight = s.scaleHeight();
        const Coord width = s.scaleWidth();
        const Coord secondHeight = s.scaleHeight();
        const Int16 y2 = toInt16(checkedFp(static_cast<double>(secondHeight) / 2, secondHeight));
        const Int16 x2 = toInt16(checkedFp(static_cast<double>(width) - 10, width));
        const Int16 y1 = toInt16(checkedFp(static_cast<double>(firstHeight) / 2, firstHeight));
        subdivideSegment<const Int16&>(canvas, canvas.state.iterations, 10, y1, x2, y2);
    }
};

}  // namespace velmoran
