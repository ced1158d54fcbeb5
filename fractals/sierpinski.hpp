#pragma once

// The Sierpinski triangle: a triangle split into its three corner triangles
// of half the size, as deep as the count says; only the last level is drawn,
// three sides in three fixed colours.

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "core/canvas.hpp"

namespace velmoran {

namespace sierpinski_detail {

// The centroid and midpoints as the figure's rule computes them.
struct Extended {
    // The centroid coordinate: the sum of three Singles in extended
    // precision, divided by 3, checked, then stored.
    static Single centroid(Single a, Single b, Single c)
    {
        const long double third = (static_cast<long double>(a) + b + c) / 3;
        return static_cast<Single>(checkedFp(third, a, b, c));
    }

    // The midpoint of the side opposite vertex v, reached through the
    // centroid (1.5 C - 0.5 V, in extended precision), stored as a Single and
    // then checked so that an overflow in the narrowing is caught too. It can
    // differ from the plain mean of the other two vertices in its last bit:
    // that is how the figure has always come out.
    static Single midpoint(Single c, Single v)
    {
        const long double exact = static_cast<long double>(v) * -0.5L + static_cast<long double>(c) * 1.5L;
        return checkedFp(static_cast<Single>(exact), c, v);
    }
};

// The same Singles, several times quicker, where every value involved has a
// magnitude from 1 up to 2^24: then every sum and product is exact in double
// as in extended precision, a quotient by 3 rounded to double and then to a
// Single is the one rounded once, and nothing can fault.
struct InDouble {
    static Single centroid(Single a, Single b, Single c)
    {
        return static_cast<Single>((static_cast<double>(a) + b + c) / 3);
    }
    static Single midpoint(Single c, Single v)
    {
        return static_cast<Single>(static_cast<double>(v) * -0.5 + static_cast<double>(c) * 1.5);
    }
};

// Whether InDouble draws the figure from these corners exactly as Extended
// does. Each midpoint lies within 2.5 * 2^-24 * hi of the mean of two
// corners (hi the largest coordinate), so however deep the recursion goes
// (kMaxNesting levels at most), every corner, centroid and midpoint stays
// within the corners' bounding box widened by kMaxNesting * 3 * 2^-24 * hi.
// Corners from 1 plus that margin up to 2^23, on both axes, keep it all
// within [1, 2^24).
inline bool inDoubleIsExact(const Single (&corners)[3][2])
{
    constexpr double kDrift = kMaxNesting * 3.0 / 16777216.0;
    for (int axis = 0; axis < 2; ++axis) {
        const double hi = std::max({corners[0][axis], corners[1][axis], corners[2][axis]});
        for (const auto& corner : corners)
            if (!(corner[axis] - hi * kDrift >= 1 && corner[axis] <= 8388608.0f))  // NaN fails
                return false;
    }
    return true;
}

// Round() of a Single, in single precision: below 2^23, adding and taking
// away 2^23 rounds the magnitude to a whole number, ties to even; from 2^23
// on (infinities and NaN too) the value is already whole.
inline Single whole(Single v)
{
    const Single magnitude = std::fabs(v);
    if (!(magnitude < 8388608.0f))
        return v;
    return std::copysign((magnitude + 8388608.0f) - 8388608.0f, v);
}

// The three sides of a triangle of the last level, each in its colour; the
// corners are already whole.
template <class Surface>
inline void sides(Surface& s, Single x1, Single y1, Single x2, Single y2, Single x3, Single y3)
{
    s.Line(kLineWithColor, x1, y1, x2, y2, RGB(180, 80, 0));
    s.Line(kLineWithColor, x2, y2, x3, y3, RGB(200, 200, 0));
    s.Line(kLineWithColor, x1, y1, x3, y3, RGB(250, 50, 50));
}

}  // namespace sierpinski_detail

// `Depth` is `const Integer&` for the top-level call, which reads the
// window's count afresh before each corner triangle, and `Integer` below it,
// where nothing else can reach the depth.
template <class Depth, class Arithmetic = sierpinski_detail::Extended, class Surface, class Events>
void Sierpinski(Canvas<Surface, Events>& canvas, Depth n, Single x1, Single y1, Single x2, Single y2,
                Single x3, Single y3)
{
    using namespace sierpinski_detail;
    const NestingLevel level(canvas.state);

    if (n == 0) {
        sides(canvas.surface, whole(x1), whole(y1), whole(x2), whole(y2), whole(x3), whole(y3));
        return;
    }
    // Only a nested press storing 0 under a subdividing top level gets here:
    // such a corner triangle would never reach its leaves.
    if (n < 0)
        return;

    const Single cx = Arithmetic::centroid(x1, x2, x3);
    const Single cy = Arithmetic::centroid(y1, y2, y3);
    const Single p1x = Arithmetic::midpoint(cx, x1);
    const Single p1y = Arithmetic::midpoint(cy, y1);
    const Single p2x = Arithmetic::midpoint(cx, x2);
    const Single p2y = Arithmetic::midpoint(cy, y2);
    const Single p3x = Arithmetic::midpoint(cx, x3);
    const Single p3y = Arithmetic::midpoint(cy, y3);

    if constexpr (!std::is_reference_v<Depth>) {
        if (n == 1) {
            // Two in three invocations are leaves: draw the three here rather
            // than through three calls. Their nesting level is checked once,
            // as the first of them would be.
            // The three share six corners, each rounded once.
            const Single v1x = whole(x1), v1y = whole(y1), v2x = whole(x2), v2y = whole(y2);
            const Single v3x = whole(x3), v3y = whole(y3);
            const Single m1x = whole(p1x), m1y = whole(p1y), m2x = whole(p2x), m2y = whole(p2y);
            const Single m3x = whole(p3x), m3y = whole(p3y);
            {
                const NestingLevel leaves(canvas.state);
                sides(canvas.surface, v1x, v1y, m3x, m3y, m2x, m2y);
                sides(canvas.surface, m3x, m3y, v2x, v2y, m1x, m1y);
                sides(canvas.surface, m2x, m2y, m1x, m1y, v3x, v3y);
            }
            canvas.DoEvents();
            return;
        }
    }
    Sierpinski<Integer, Arithmetic>(canvas, sub(n, 1), x1, y1, p3x, p3y, p2x, p2y);
    Sierpinski<Integer, Arithmetic>(canvas, sub(n, 1), p3x, p3y, x2, y2, p1x, p1y);
    Sierpinski<Integer, Arithmetic>(canvas, sub(n, 1), p2x, p2y, p1x, p1y, x3, y3);
    canvas.DoEvents();
}

// The triangle's own step of its press: the corners loaded with the window.
template <class Surface, class Events>
void Command1_Click(Canvas<Surface, Events>& canvas)
{
    using namespace sierpinski_detail;
    const auto& v = canvas.state.vertici;
    auto draw = [&](auto arithmetic) {
        Sierpinski<const Integer&, decltype(arithmetic)>(canvas, canvas.state.iterazioni, v[0][0], v[0][1],
                                                         v[1][0], v[1][1], v[2][0], v[2][1]);
    };
    if (inDoubleIsExact(v))
        draw(InDouble{});
    else
        draw(Extended{});
}

}  // namespace velmoran
