#pragma once

// The Sierpinski triangle: a triangle split into its three corner triangles
// of half the size, as deep as the count says; only the last level is drawn,
// three sides in three fixed colours.

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "core/canvas.hpp"
#include "fractals/figure.hpp"

namespace velmoran {

namespace triangle_detail {

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

// The centroid, the midpoints and the rounded corners as the figure's rule
// computes them.
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

    static Single rounded(Single v) { return whole(v); }
};

// The same values, several times quicker, for a figure whose every corner,
// centroid and midpoint lies from 1 to 32767 (docs/exactness.md). Its rounded
// corners are Integers, so the drawing area's whole-number tests fold away.
struct InDouble {
    static Single centroid(Single a, Single b, Single c)
    {
        return static_cast<Single>((static_cast<double>(a) + b + c) / 3);
    }
    static Single midpoint(Single c, Single v)
    {
        return static_cast<Single>(static_cast<double>(v) * -0.5 + static_cast<double>(c) * 1.5);
    }
    static Integer rounded(Single v) { return static_cast<Integer>((v + 8388608.0f) - 8388608.0f); }
};

// Whether InDouble draws the figure from these corners exactly as Extended
// does: the corners' box, widened by the most the midpoints can drift over
// kMaxNesting levels, lies within [1, 32767] on both axes.
inline bool inDoubleIsExact(const Single (&corners)[3][2])
{
    constexpr double kDrift = kMaxNesting * 3.0 / 16777216.0;
    for (int axis = 0; axis < 2; ++axis) {
        const double margin = std::max({corners[0][axis], corners[1][axis], corners[2][axis]}) * kDrift;
        for (const auto& corner : corners)
            if (!(corner[axis] - margin >= 1 && corner[axis] + margin <= 32767))  // NaN fails
                return false;
    }
    return true;
}

// The three sides of a triangle of the last level, each in its colour; the
// corners are already whole, and stay Integers where A::rounded made them so.
template <class Surface, class Whole>
inline void sides(Surface& s, Whole x1, Whole y1, Whole x2, Whole y2, Whole x3, Whole y3)
{
    constexpr const Colour* colours = figureInfo(Figure::SierpinskiTriangle).colours;
    s.drawLine(kLineWithColor, x1, y1, x2, y2, colours[0]);
    s.drawLine(kLineWithColor, x2, y2, x3, y3, colours[1]);
    s.drawLine(kLineWithColor, x1, y1, x3, y3, colours[2]);
}

}  // namespace triangle_detail

// `Depth` is `const Integer&` for the top-level call, which reads the
// window's count afresh before each corner triangle, and `Integer` below it,
// where nothing else can reach the depth. `A` computes the centroids,
// midpoints and rounded corners: Extended, or InDouble where that gives the
// same values.
template <class Depth, class A = triangle_detail::Extended, class Surface, class Events>
void subdivideTriangle(Canvas<Surface, Events>& canvas, Depth depth, Single x1, Single y1, Single x2, Single y2,
                Single x3, Single y3)
{
    using namespace triangle_detail;
    const NestingLevel level(canvas.state);

    if (depth == 0) {
        sides(canvas.surface, A::rounded(x1), A::rounded(y1), A::rounded(x2), A::rounded(y2), A::rounded(x3),
              A::rounded(y3));
        return;
    }
    // Only a nested press storing 0 under a subdividing top level gets here:
    // such a corner triangle would never reach its leaves.
    if (depth < 0)
        return;

    const Single cx = A::centroid(x1, x2, x3);
    const Single cy = A::centroid(y1, y2, y3);
    const Single p1x = A::midpoint(cx, x1);
    const Single p1y = A::midpoint(cy, y1);
    const Single p2x = A::midpoint(cx, x2);
    const Single p2y = A::midpoint(cy, y2);
    const Single p3x = A::midpoint(cx, x3);
    const Single p3y = A::midpoint(cy, y3);

    if constexpr (!std::is_reference_v<Depth>) {
        if (depth == 1) {
            // The six corners of the three leaves, each rounded once.
            const auto v1x = A::rounded(x1), v1y = A::rounded(y1), v2x = A::rounded(x2), v2y = A::rounded(y2);
            const auto v3x = A::rounded(x3), v3y = A::rounded(y3);
            const auto m1x = A::rounded(p1x), m1y = A::rounded(p1y), m2x = A::rounded(p2x), m2y = A::rounded(p2y);
            const auto m3x = A::rounded(p3x), m3y = A::rounded(p3y);
            drawLastLevel(canvas, [&] {
                sides(canvas.surface, v1x, v1y, m3x, m3y, m2x, m2y);
                sides(canvas.surface, m3x, m3y, v2x, v2y, m1x, m1y);
                sides(canvas.surface, m2x, m2y, m1x, m1y, v3x, v3y);
            });
            return;
        }
    }
    subdivideTriangle<Integer, A>(canvas, sub(depth, 1), x1, y1, p3x, p3y, p2x, p2y);
    subdivideTriangle<Integer, A>(canvas, sub(depth, 1), p3x, p3y, x2, y2, p1x, p1y);
    subdivideTriangle<Integer, A>(canvas, sub(depth, 1), p2x, p2y, p1x, p1y, x3, y3);
    canvas.yieldToEvents();
}

// The triangle on the corners placed when the window was made. Their box
// decides, once for the whole figure, how it is computed.
template <>
struct FigureRenderer<Figure::SierpinskiTriangle> {
    template <class Surface, class Events>
    static void draw(Canvas<Surface, Events>& canvas)
    {
        using namespace triangle_detail;
        const auto& v = canvas.state.triangleCorners;
        auto drawWith = [&](auto arithmetic) {
            subdivideTriangle<const Integer&, decltype(arithmetic)>(canvas, canvas.state.iterations, v[0][0],
                                                                    v[0][1], v[1][0], v[1][1], v[2][0], v[2][1]);
        };
        if (inDoubleIsExact(v))
            drawWith(InDouble{});
        else
            drawWith(Extended{});
    }
};

}  // namespace velmoran
