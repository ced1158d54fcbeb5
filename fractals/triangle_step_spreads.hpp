#pragma once

// Where the descendants of a narrow triple of values reach on one axis,
// exactly and by table: within one binade the figure's rule is integer
// arithmetic on the binade's steps, so the spread beyond a triple depends
// on its shape alone (C13 in docs/exactness.md), and is kept per shape.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <optional>

#include "fractals/triangle_arithmetic.hpp"
#include "fractals/triangle_reach.hpp"

namespace velmoran::triangle_detail {

// How far the descendants of three values of one axis, within one binade
// and four steps clear of its ends, spread beyond them, in steps: a
// function of their shape alone (C13), kept for shapes up to kWidest steps
// wide, level by level, each worked out when first asked, as the walks ask
// for few of its 5 million entries (docs/performance.md). Its pages are
// touched only as entries are filled in.
class StepSpreads {
public:
    static constexpr int kWidest = 256;
    // From this many levels down on, every shape's spread stays the same
    // (C13: a unit test checks it, level against level).
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
        assert(levels >= 0);
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
        assert(std::max({a, b, c}) - low <= kWidest);  // else beyond the table
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
    // half the shape's width and two steps wide, so within the table (C13).
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
// on their axis, exactly (C13), the three being at most StepSpreads::kWidest
// steps of this size apart, with room in their binade for the spread and
// the rounding before it (as spreadsStep() finds them).
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

}  // namespace velmoran::triangle_detail
