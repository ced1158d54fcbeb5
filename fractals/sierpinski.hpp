#pragma once

// The Sierpinski triangle: a triangle split into its three corner triangles
// of half the size, as deep as the count says; only the last level is drawn,
// three sides in three fixed colours.

#include "core/canvas.hpp"

namespace velmoran {

namespace sierpinski_detail {

// The centroid coordinate: the sum of three Singles in extended precision,
// divided by 3, checked, then stored.
inline Single centroid(Single a, Single b, Single c)
{
    const long double third = (static_cast<long double>(a) + b + c) / 3;
    return static_cast<Single>(checkedFp(third, a, b, c));
}

// The midpoint of the side opposite vertex v, reached through the centroid
// (1.5 C - 0.5 V, in extended precision), stored as a Single and then
// checked so that an overflow in the narrowing is caught too. It can differ
// from the plain mean of the other two vertices in its last bit: that is
// how the figure has always come out.
inline Single midpoint(Single c, Single v)
{
    const long double exact = static_cast<long double>(v) * -0.5L + static_cast<long double>(c) * 1.5L;
    return checkedFp(static_cast<Single>(exact), c, v);
}

inline Single whole(Single v) { return static_cast<Single>(Round(v)); }

}  // namespace sierpinski_detail

// `Depth` is `const Integer&` for the top-level call, which reads the
// window's count afresh before each corner triangle, and `Integer` below it,
// where nothing else can reach the depth.
template <class Depth, class Surface, class Events>
void Sierpinski(Canvas<Surface, Events>& canvas, Depth n, Single x1, Single y1, Single x2, Single y2,
                Single x3, Single y3)
{
    using namespace sierpinski_detail;
    const NestingLevel level(canvas.state);

    if (n == 0) {
        Surface& s = canvas.surface;
        s.Line(kLineWithColor, whole(x1), whole(y1), whole(x2), whole(y2), RGB(180, 80, 0));
        s.Line(kLineWithColor, whole(x2), whole(y2), whole(x3), whole(y3), RGB(200, 200, 0));
        s.Line(kLineWithColor, whole(x1), whole(y1), whole(x3), whole(y3), RGB(250, 50, 50));
        return;
    }
    // Only a nested press storing 0 under a subdividing top level gets here:
    // such a corner triangle would never reach its leaves.
    if (n < 0)
        return;

    const Single cx = centroid(x1, x2, x3);
    const Single cy = centroid(y1, y2, y3);
    const Single p1x = midpoint(cx, x1);
    const Single p1y = midpoint(cy, y1);
    const Single p2x = midpoint(cx, x2);
    const Single p2y = midpoint(cy, y2);
    const Single p3x = midpoint(cx, x3);
    const Single p3y = midpoint(cy, y3);

    Sierpinski<Integer>(canvas, sub(n, 1), x1, y1, p3x, p3y, p2x, p2y);
    Sierpinski<Integer>(canvas, sub(n, 1), p3x, p3y, x2, y2, p1x, p1y);
    Sierpinski<Integer>(canvas, sub(n, 1), p2x, p2y, p1x, p1y, x3, y3);
    canvas.DoEvents();
}

// The triangle's own step of its press: the corners loaded with the window.
template <class Surface, class Events>
void Command1_Click(Canvas<Surface, Events>& canvas)
{
    const auto& v = canvas.state.vertici;
    Sierpinski<const Integer&>(canvas, canvas.state.iterazioni, v[0][0], v[0][1], v[1][0], v[1][1],
                               v[2][0], v[2][1]);
}

}  // namespace velmoran
