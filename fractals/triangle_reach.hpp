#pragma once

// Which whole units the corners of a triangle's descendants can round to,
// on one axis: a bound cheap enough to ask of every part, and the exact
// answer for the parts drawn as what they leave, where the bound straddles
// a pixel's edge (docs/exactness.md).

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <unordered_map>
#include <utility>

#include "fractals/triangle_arithmetic.hpp"

namespace velmoran::triangle_detail {

// How far the corners of the triangles `levels` subdivisions down may lie
// outside their ancestor's corners' box, on an axis where its largest
// coordinate is `largest`.
inline double drift(Int16 levels, double largest) { return levels * (3.0 / 16777216.0) * largest; }

// Whole units from `low` to `high`.
struct UnitRange {
    int low, high;
};

// The whole units values from `first` to `last` round to, whichever way a
// tie goes: [ceil(first - 1/2), floor(last + 1/2)].
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
// than the drift. There each level's new corners lie at most a step outside
// their parent's (docs/exactness.md); a corner triangle is at most half its
// parent's width plus two steps, so after `toNarrow` levels every triangle
// is within StepSpreads's reach, and that one step is all it ever adds.
// Unlike the drift, the margin stops growing with the levels left.
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

// The same bound, from the drift where it is not in one binade.
inline std::pair<double, double> reachBounds(Int16 levels, Coord a, Coord b, Coord c)
{
    if (const auto reach = reachInBinade(levels, a, b, c))
        return {reach->first, reach->last};
    return driftBounds(levels, a, b, c);
}

// On one axis, whole units that include every one the corners of the
// triangles `levels` subdivisions below these can round to. Only where they
// are from 0 to 32767.
inline std::optional<UnitRange> reachableUnits(Int16 levels, Coord a, Coord b, Coord c)
{
    const auto [first, last] = driftBounds(levels, a, b, c);
    if (!(first - 0.5 >= 0 && last + 0.5 < 32768))  // NaN fails too
        return std::nullopt;
    return unitsBetween(first, last);
}

// Three values of one axis, within one binade and away from its ends, are
// whole numbers of its steps, and their centroid and midpoints are those
// numbers' integer rules: the nearest to a third of the sum (never a tie),
// and (3C - V) / 2 rounded half to even. The rules commute with shifts by
// an even number of steps, so how far the descendants of a triple spread
// beyond it depends only on its shape: its steps above the lowest, and
// that one's parity. This table holds that spread for shapes up to kWidest
// steps wide, level by level, each worked out when first asked: after every
// count from 20 to 50 the walks have filled under 2,000 of its 5 million
// entries, and all of them would cost a deep press's first drawing 5 ms and
// 5 MB. Its pages are touched only as entries are filled in.
class StepSpreads {
public:
    static constexpr int kWidest = 256;
    // From this many levels down on, every shape's spread stays the same
    // (the tests check it, level against level).
    static constexpr int kSettled = 12;

    // Steps below the lowest value and above the highest.
    struct Spread {
        int below, above;
    };

    // One a thread, filled in as it is asked.
    static StepSpreads& table()
    {
        static thread_local StepSpreads spreads;
        return spreads;
    }

    // `a`, `b` and `c` in steps, at most kWidest apart.
    Spread spread(int levels, std::int64_t a, std::int64_t b, std::int64_t c)
    {
        const std::uint8_t packed = at(std::min(levels, kSettled + 1), a, b, c);
        return {packed & 15, packed >> 4};
    }

private:
    static constexpr std::size_t kSide = kWidest + 1;  // offsets from the lowest, 0 to kWidest
    // Per level: the lowest's parity, which value is the lowest, and the
    // other two's offsets from it.
    static constexpr std::size_t kShapes = 2 * 3 * kSide * kSide;

    static std::int64_t parity(std::int64_t v) { return v & 1; }  // 0 or 1 for negative v too
    static std::int64_t floorDiv(std::int64_t n, std::int64_t d)
    {
        return n / d - ((n % d != 0) && ((n < 0) != (d < 0)));
    }
    static std::int64_t centroid(std::int64_t a, std::int64_t b, std::int64_t c) { return floorDiv(a + b + c + 1, 3); }
    static std::int64_t midpoint(std::int64_t centroid, std::int64_t v)
    {
        const std::int64_t twice = 3 * centroid - v;
        const std::int64_t half = floorDiv(twice, 2);
        return half + (parity(twice) && parity(half));  // a tie goes to the even one
    }
    static std::size_t shape(std::int64_t a, std::int64_t b, std::int64_t c)
    {
        const std::int64_t low = std::min({a, b, c});
        const std::size_t lowest = a == low ? 0 : b == low ? 1 : 2;
        const std::int64_t others[3][2] = {{b, c}, {a, c}, {a, b}};
        return ((static_cast<std::size_t>(parity(low)) * 3 + lowest) * kSide
                + static_cast<std::size_t>(others[lowest][0] - low))
                   * kSide
               + static_cast<std::size_t>(others[lowest][1] - low);
    }

    // The spread `levels` down, packed as below | above << 4.
    std::uint8_t at(int levels, std::int64_t a, std::int64_t b, std::int64_t c)
    {
        if (levels == 0)
            return 0;
        // Kept one up, so that a zeroed page reads as not yet worked out.
        std::uint8_t& known = known_.get()[static_cast<std::size_t>(levels - 1) * kShapes + shape(a, b, c)];
        if (known == 0)
            known = static_cast<std::uint8_t>(spreadBelow(levels, a, b, c) + 1);
        return static_cast<std::uint8_t>(known - 1);
    }

    // That of the three corner triangles a level down, each no more than
    // half the shape's width and two steps wide, so within the table.
    std::uint8_t spreadBelow(int levels, std::int64_t a, std::int64_t b, std::int64_t c)
    {
        const std::int64_t cc = centroid(a, b, c);
        const std::int64_t m1 = midpoint(cc, a), m2 = midpoint(cc, b), m3 = midpoint(cc, c);
        const std::int64_t parts[3][3] = {{a, m3, m2}, {m3, b, m1}, {m2, m1, c}};
        const std::int64_t low = std::min({a, b, c}), high = std::max({a, b, c});
        std::int64_t below = 0, above = 0;
        for (const auto& p : parts) {
            const std::uint8_t packed = at(levels - 1, p[0], p[1], p[2]);
            below = std::max(below, low - (std::min({p[0], p[1], p[2]}) - (packed & 15)));
            above = std::max(above, std::max({p[0], p[1], p[2]}) + (packed >> 4) - high);
        }
        return static_cast<std::uint8_t>(below | above << 4);
    }

    struct Free {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    // Levels 1 to kSettled + 1; calloc, unlike a vector, leaves fresh pages
    // untouched.
    std::unique_ptr<std::uint8_t, Free> known_{allocate()};

    static std::uint8_t* allocate()
    {
        void* table = std::calloc((kSettled + 1) * kShapes, 1);
        if (!table)
            throw std::bad_alloc();
        return static_cast<std::uint8_t*>(table);
    }
};

// The whole units the corners `levels` subdivisions below a, b, c round to
// on their axis, the three being at most StepSpreads::kWidest steps of this
// size apart, with room in their binade for the spread and the rounding
// before it.
inline UnitRange unitsFromSpreads(Int16 levels, Coord a, Coord b, Coord c, double step)
{
    auto steps = [step](Coord v) { return static_cast<std::int64_t>(v / step); };  // exact: a power of two
    const auto spread = StepSpreads::table().spread(levels, steps(a), steps(b), steps(c));
    // Both ends are Coords: grid steps inside the binade.
    return UnitRange{static_cast<int>(whole(static_cast<Coord>(std::min(a, std::min(b, c)) - spread.below * step))),
                     static_cast<int>(whole(static_cast<Coord>(std::max(a, std::max(b, c)) + spread.above * step)))};
}

// The step of the binade of a triple StepSpreads knows: positive, at most
// kWidest steps apart, and four steps inside one binade, room enough for the
// spread (a step at most) and the rounding before it.
inline std::optional<double> spreadsStep(Coord a, Coord b, Coord c)
{
    const Coord low = std::min(a, std::min(b, c));
    const Coord high = std::max(a, std::max(b, c));
    if (!(low >= 1 && high < 32768))  // NaN fails too
        return std::nullopt;
    const Binade binade(high);
    if (!binade.holds(low, high, 4) || high - low > StepSpreads::kWidest * binade.step)
        return std::nullopt;
    return binade.step;
}

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
// a, b, c round to on their axis, lowest to highest: exactly, for a part
// whose reachableUnits() lie from 0 to 32767. A corner triangle keeps its
// corner, so the three are reached; the descent goes on only into corner
// triangles whose bound reaches beyond what is known to be reached. Near an
// edge of the units the same corner triangles are asked about again and
// again, from the parts around them: `known` keeps their answers.
template <class A>
UnitRange unitsReached(Int16 levels, Coord a, Coord b, Coord c, UnitsReachedCache& known)
{
    auto bound = [](Int16 below, Coord x, Coord y, Coord z) {
        const auto [first, last] = reachBounds(below, x, y, z);
        return unitsBetween(first, last);
    };
    UnitRange reached{static_cast<int>(whole(std::min(a, std::min(b, c)))),
                      static_cast<int>(whole(std::max(a, std::max(b, c))))};
    const UnitRange possible = bound(levels, a, b, c);
    if (levels == 0 || (possible.low == reached.low && possible.high == reached.high))
        return reached;
    if (const auto step = spreadsStep(a, b, c))
        return unitsFromSpreads(levels, a, b, c, *step);
    const ExactPart key{{a, b, c}, levels};
    if (const auto found = known.find(key); found != known.end())
        return found->second;

    const auto below = static_cast<Int16>(levels - 1);
    for (const auto& p : cornerTrianglesOnAxis<A>(a, b, c)) {
        const UnitRange partBound = bound(below, p[0], p[1], p[2]);
        if (partBound.low >= reached.low && partBound.high <= reached.high)
            continue;
        const UnitRange part = unitsReached<A>(below, p[0], p[1], p[2], known);
        reached = {std::min(reached.low, part.low), std::max(reached.high, part.high)};
    }
    known.emplace(key, reached);
    return reached;
}

}  // namespace velmoran::triangle_detail
