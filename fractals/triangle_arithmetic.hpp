#pragma once

// How the triangle's corners, centroids and midpoints are computed: the
// figure's rule in extended precision (Extended), the same values in double
// where that is quicker and provably equal (InDouble, C4 and C5 in
// docs/exactness.md), the test that chooses between them, and a triangle's
// three corner triangles on one axis.

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "core/numeric.hpp"
#include "core/window_state.hpp"

namespace velmoran::triangle_detail {

// What the arithmetic below, and the claims of docs/exactness.md, take for
// granted of the floating point the compiler gives.
static_assert(std::is_same_v<Coord, float>, "the claims count single-precision steps");
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "binades, steps and ties to even are those of IEC 559 binary32 and binary64");
static_assert(sizeof(float) == sizeof(std::uint32_t), "a Coord's binade is read from its 32 bits");
static_assert(FLT_EVAL_METHOD == 0,
              "each float and double step is rounded to its own type, not held in a wider one");
static_assert(std::numeric_limits<float>::round_style == std::round_to_nearest,
              "whole() and InDouble::rounded() round half to even by adding and taking away 2^23");

// roundHalfEven() of a Coord, in single precision: below 2^23, adding and taking
// away 2^23 rounds the magnitude to a whole number, ties to even; from 2^23
// on (infinities and NaN too) the value is already whole.
inline Coord whole(Coord v)
{
    const Coord magnitude = std::fabs(v);
    if (!(magnitude < 8388608.0f))
        return v;
    return std::copysign((magnitude + 8388608.0f) - 8388608.0f, v);
}

// The centroid, the midpoints and the rounded corners as the figure's rule
// computes them.
struct Extended {
    // The centroid coordinate: the sum of three Coords in extended
    // precision, divided by 3, checked, then stored.
    static Coord centroid(Coord a, Coord b, Coord c)
    {
        const long double third = (static_cast<long double>(a) + b + c) / 3;
        return static_cast<Coord>(checkedFp(third, a, b, c));
    }

    // The midpoint of the side opposite vertex v, reached through the
    // centroid (1.5 C - 0.5 V, in extended precision), stored as a Coord and
    // then checked so that an overflow in the narrowing is caught too. It can
    // differ from the plain mean of the other two vertices in its last bit:
    // that is how the figure has always come out.
    static Coord midpoint(Coord c, Coord v)
    {
        const long double exact = static_cast<long double>(v) * -0.5L + static_cast<long double>(c) * 1.5L;
        return checkedFp(static_cast<Coord>(exact), c, v);
    }

    static Coord rounded(Coord v) { return whole(v); }
};

// The same values, quicker, for a figure whose every corner, centroid and
// midpoint lies from 1 to 32767 (C4). Its rounded corners are Int16s, so
// the drawing area's whole-number tests fold away. The triangle's fast path
// (the bulk drawings) computes in this alone.
struct InDouble {
    // A product by a third, not a quotient: the same Coord (C5), and quicker.
    static Coord centroid(Coord a, Coord b, Coord c)
    {
        return static_cast<Coord>((static_cast<double>(a) + b + c) * (1.0 / 3));
    }
    static Coord midpoint(Coord c, Coord v)
    {
        return static_cast<Coord>(static_cast<double>(v) * -0.5 + static_cast<double>(c) * 1.5);
    }
    static Int16 rounded(Coord v) { return static_cast<Int16>((v + 8388608.0f) - 8388608.0f); }
};

// Whether InDouble draws the figure from these corners exactly as Extended
// does (C4): the corners' box, widened by the most the midpoints can drift
// over kMaxNesting levels (C3), lies within [1, 32767] on both axes.
inline bool inDoubleIsExact(const Coord (&corners)[3][2])
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

// One axis of a triangle's three corner triangles, in drawing order, from
// that axis's values of its corners: each keeps one corner and takes the
// midpoints of the two sides beside it.
template <class A>
std::array<std::array<Coord, 3>, 3> cornerTrianglesOnAxis(Coord a, Coord b, Coord c)
{
    const Coord centroid = A::centroid(a, b, c);
    const Coord m1 = A::midpoint(centroid, a), m2 = A::midpoint(centroid, b), m3 = A::midpoint(centroid, c);
    return {{{a, m3, m2}, {m3, b, m1}, {m2, m1, c}}};
}

}  // namespace velmoran::triangle_detail
