#pragma once

// The whole units the corners below a part exactly reach on one axis (C12
// in docs/exactness.md): asked by the walks only where a bound straddles a
// pixel's edge, and kept for the walk, as the parts around an edge ask
// about the same corner triangles again and again.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "fractals/triangle_arithmetic.hpp"
#include "fractals/triangle_reach.hpp"
#include "fractals/triangle_step_spreads.hpp"

namespace velmoran::triangle_detail {

// One axis of a part, its three values taken bit for bit, with the levels
// below it: the key of an answer worked out once, as parts recur.
struct ExactPart {
    Coord values[3];
    Int16 levels;

    bool operator==(const ExactPart& o) const
    {
        return levels == o.levels && std::memcmp(values, o.values, sizeof values) == 0;
    }
    struct Hash {
        std::size_t operator()(const ExactPart& part) const
        {
            std::uint32_t bits[3];
            std::memcpy(bits, part.values, sizeof bits);
            std::uint64_t h = static_cast<std::uint64_t>(part.levels) * 0x9E3779B97F4A7C15u;
            for (std::uint32_t b : bits)
                h = (h ^ b) * 0x100000001B3u;
            return static_cast<std::size_t>(h ^ (h >> 29));
        }
    };
};

using UnitsReachedCache = std::unordered_map<ExactPart, UnitRange, ExactPart::Hash>;

// The whole units the corners of the triangles `levels` subdivisions below
// a, b, c round to on their axis, lowest to highest: exactly (C12), for a
// part whose reachableUnits() lie from 0 to 32767. A corner triangle keeps
// its corner, so the three are reached; the descent goes on only into
// corner triangles whose bound reaches beyond what is known to be reached.
// Near an edge of the units the same corner triangles are asked about again
// and again, from the parts around them: `known` keeps their answers.
inline UnitRange unitsReached(Int16 levels, Coord a, Coord b, Coord c, UnitsReachedCache& known)
{
    auto bound = [](Int16 below, Coord x, Coord y, Coord z) {
        const auto [first, last] = reachBounds(below, x, y, z);
        return unitsBetween(first, last);
    };
    UnitRange reached{static_cast<int>(whole(std::min(a, std::min(b, c)))),
                      static_cast<int>(whole(std::max(a, std::max(b, c))))};
    const UnitRange possible = bound(levels, a, b, c);
    if (levels == 0 || (possible.low == reached.low && possible.high == reached.high))
        return reached;  // C12: the corners are reached, and the bound (C3, C14) holds no more
    if (const auto step = spreadsStep(a, b, c))
        return unitsFromSpreads(levels, a, b, c, *step);  // C13
    const ExactPart key{{a, b, c}, levels};
    if (const auto found = known.find(key); found != known.end())
        return found->second;

    const auto below = static_cast<Int16>(levels - 1);
    for (const auto& p : cornerTrianglesOnAxis<InDouble>(a, b, c)) {
        const UnitRange partBound = bound(below, p[0], p[1], p[2]);
        if (partBound.low >= reached.low && partBound.high <= reached.high)
            continue;  // C12: it adds nothing
        const UnitRange part = unitsReached(below, p[0], p[1], p[2], known);
        reached = {std::min(reached.low, part.low), std::max(reached.high, part.high)};
    }
    known.emplace(key, reached);
    return reached;
}

}  // namespace velmoran::triangle_detail
