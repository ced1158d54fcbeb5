#pragma once

// Bounds on where the corners of a triangle's descendants lie on one axis,
// and the whole units they can round to: cheap enough to ask of every part.
// The drift bound holds anywhere (C3); a sharper one holds within one
// binade (C14). None is exact: a bound may take in units no corner reaches
// (the exact reach is in triangle_exact_reach.hpp).

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "fractals/triangle_arithmetic.hpp"

namespace velmoran::triangle_detail {

// How far the corners of the triangles `levels` subdivisions down may lie
// outside their ancestor's corners' box, on an axis where its largest
// coordinate is `largest` (C3).
inline double drift(Int16 levels, double largest) { return levels * (3.0 / 16777216.0) * largest; }

// Whole units from `low` to `high`.
struct UnitRange {
    int low, high;
};

// The whole units values from `first` to `last` round to, whichever way a
// tie goes: [ceil(first - 1/2), floor(last + 1/2)] (C3).
inline UnitRange unitsBetween(double first, double last)
{
    // Where both are from a half to 32767, truncation is the floor; without
    // SSE4.1's rounding, quicker than std::floor and std::ceil.
    if (first >= 0.5 && last >= first && last < 32767) {  // NaN fails too
        const double low = first - 0.5, high = last + 0.5;
        const int lowFloor = static_cast<int>(low);
        return {lowFloor + (lowFloor < low), static_cast<int>(high)};
    }
    return {static_cast<int>(std::ceil(first - 0.5)), static_cast<int>(std::floor(last + 0.5))};
}

// The binade [start, 2 start) of a Coord from 1 to 32767, and the step
// between its Coords. From the bits: ilogb and ldexp cost more than a
// whole look-up in the walks that ask.
struct Binade {
    double start, step;

    explicit Binade(Coord v)
    {
        assert(v >= 1 && v < 32768);  // else the bits below are no binade of these
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        const std::uint32_t exponent = bits >> 23;  // v is positive
        start = fromBits(exponent << 23);
        step = fromBits((exponent - 23) << 23);
    }

    // Whether values from `low` to `high` lie `room` steps inside it.
    bool holds(double low, double high, double room) const
    {
        return low - room * step >= start && high + room * step <= 2 * start;
    }

private:
    static Coord fromBits(std::uint32_t bits)
    {
        Coord v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
};

// On one axis, the values the corners of the triangles `levels`
// subdivisions below these lie between.
inline std::pair<double, double> driftBounds(Int16 levels, Coord a, Coord b, Coord c)
{
    const Coord high = std::max(a, std::max(b, c));
    const double margin = drift(levels, high);  // high is the largest where the low bound is >= 0
    return {std::min(a, std::min(b, c)) - margin, high + margin};
}

// Where the three and all their descendants `levels` down lie four steps
// inside one binade: the values those descendants lie between, sharper
// than the drift, as its margin stops growing with the levels left (C14).
struct BinadeReach {
    double first, last;
    double step;  // of the binade
};
inline std::optional<BinadeReach> reachInBinade(Int16 levels, Coord a, Coord b, Coord c)
{
    const Coord low = std::min(a, std::min(b, c));
    const Coord high = std::max(a, std::max(b, c));
    if (!(low >= 1 && high < 32768))  // NaN fails too
        return std::nullopt;
    const Binade binade(high);
    const auto width = static_cast<std::uint32_t>((high - low) / binade.step);  // exact: whole steps
    // Halvings until width / 2^k <= 12, where the two steps a level add
    // keep the triangles within 12 + 4 steps, well within StepSpreads.
    const std::uint32_t twelves = (width + 11) / 12;
    const int toNarrow = twelves <= 1 ? 0 : 32 - __builtin_clz(twelves - 1);
    const double margin = (levels <= toNarrow ? levels : toNarrow + 1) * binade.step;
    if (!binade.holds(low - margin, high + margin, 4))
        return std::nullopt;
    return BinadeReach{low - margin, high + margin, binade.step};
}

// The same bound (C14), from the drift where it is not in one binade (C3).
inline std::pair<double, double> reachBounds(Int16 levels, Coord a, Coord b, Coord c)
{
    if (const auto reach = reachInBinade(levels, a, b, c))
        return {reach->first, reach->last};
    return driftBounds(levels, a, b, c);
}

// On one axis, whole units that include every one the corners of the
// triangles `levels` subdivisions below these can round to (C3). Only where
// they are from 0 to 32767.
inline std::optional<UnitRange> reachableUnits(Int16 levels, Coord a, Coord b, Coord c)
{
    const auto [first, last] = driftBounds(levels, a, b, c);
    if (!(first - 0.5 >= 0 && last + 0.5 < 32768))  // NaN fails too
        return std::nullopt;
    return unitsBetween(first, last);
}

}  // namespace velmoran::triangle_detail
