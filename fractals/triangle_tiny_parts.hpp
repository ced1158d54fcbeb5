#pragma once

// What the triangle's tiny parts leave in the units around them, worked out
// once per shape and kept for every press: deep in the figure, wherever a
// corner lies on a unit's edge to the last steps, the same shapes recur
// in every block and at every count (docs/exactness.md).

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "fractals/figure_table.hpp"
#include "fractals/triangle_arithmetic.hpp"
#include "fractals/triangle_reach.hpp"

namespace velmoran::triangle_detail {

// The last write to each unit cell a part reaches, most recent first, as
// offsets from the whole units its lowest values round to.
struct CellWrites {
    struct Write {
        std::int8_t dx, dy;
        Colour colour;
    };
    unsigned count = 0;
    // A tiny part and its descendants lie within less than a unit (see
    // TinyParts::kWidest): two units an axis at most.
    Write writes[4];

    // A write made before those noted so far.
    void noteEarlier(int dx, int dy, Colour colour)
    {
        for (unsigned i = 0; i < count; ++i)
            if (writes[i].dx == dx && writes[i].dy == dy)
                return;
        if (count < 4)
            writes[count++] = {static_cast<std::int8_t>(dx), static_cast<std::int8_t>(dy), colour};
    }
};

// A leaf's writes, last first: its three sides are drawn in order, each
// as its two end pixels (the leaf is within a pixel or two), so the third
// side's ends are the last and the first side's are all drawn over.
template <class Note>
void leafWritesLastFirst(Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3, Note&& note)
{
    constexpr const Colour* colours = figureInfo(Figure::SierpinskiTriangle).colours;
    note(x3, y3, colours[2]);
    note(x1, y1, colours[2]);
    note(x3, y3, colours[1]);
    note(x2, y2, colours[1]);
}

// Parts at most kWidest steps across on both axes, four steps inside their
// binades. There the figure's rule is integer arithmetic on steps that
// commutes with shifts by an even number of them, and a unit is an even
// number of steps; so what a part leaves, relative to the units it rounds
// into, depends only on its values in steps from those units, the units'
// parity (a tie rounds to the even one), the binades and its levels. The
// table is kept per thread, for every press: a count's first press adds
// about 11,000 shapes (21,000 at 50), its next ones none. It is emptied
// when it would hold more than kMostKept, a few counts' worth.
template <class A>
class TinyParts {
public:
    // Steps, as many as StepSpreads knows: the wider, the shorter the walks'
    // chains down to a tiny part.
    static constexpr double kWidest = StepSpreads::kWidest;
    // A unit is 512 steps in the highest binade: a tiny part and its
    // descendants, a step beyond it at most, reach two units an axis.
    static_assert(StepSpreads::kWidest + 2 < 512, "a tiny part's writes fit in CellWrites");
    // About 6 MB.
    static constexpr std::size_t kMostKept = 1 << 16;

    // One axis of a tiny part: the whole unit its lowest value rounds to,
    // and the step of its binade.
    struct Axis {
        Coord unit;
        double step;
    };

    static std::optional<Axis> axis(Coord a, Coord b, Coord c)
    {
        if (const auto step = spreadsStep(a, b, c))
            return Axis{whole(std::min(a, std::min(b, c))), *step};
        return std::nullopt;
    }

    // What a tiny part `levels` deep with these corners leaves, relative
    // to x.unit and y.unit.
    static const CellWrites& writes(Int16 levels, const Coord (&xs)[3], const Coord (&ys)[3], const Axis& x,
                                    const Axis& y)
    {
        return find<true>(levels, xs, ys, x, y);
    }

    // The same on one axis, for a part whose writes all fall in one row or
    // column: their offsets along it, as dx. The rule is the same on
    // either axis, and a part that stays in one unit row leaves what this
    // says, so both share the table's entries.
    static const CellWrites& writesAlong(Int16 levels, const Coord (&vs)[3], const Axis& v)
    {
        return find<false>(levels, vs, vs, v, v);
    }

private:
    // Without `TwoAxes`, `ys` and `y` are not read.
    template <bool TwoAxes>
    static const CellWrites& find(Int16 levels, const Coord (&xs)[3], const Coord (&ys)[3], const Axis& x,
                                  const Axis& y)
    {
        const UnitRange columns = unitsFromSpreads(levels, xs[0], xs[1], xs[2], x.step);
        bool oneRow = true;
        if constexpr (TwoAxes) {
            const UnitRange rows = unitsFromSpreads(levels, ys[0], ys[1], ys[2], y.step);
            oneRow = rows.low == rows.high;
        }
        // Within one unit cell, the last leaf's last write; its third
        // corner is the part's own.
        if (columns.low == columns.high && oneRow)
            return lastCornerOnly();

        const Key key = keyOf(levels, xs, ys, x, y, columns.low == columns.high, oneRow);
        auto& known = table();
        if (const auto found = known.find(key); found != known.end())
            return found->second;

        CellWrites found;
        auto note = [&](Coord px, Coord py, Colour colour) {
            found.noteEarlier(static_cast<int>(whole(px) - x.unit), TwoAxes ? static_cast<int>(whole(py) - y.unit) : 0,
                              colour);
        };
        if (levels == 0) {
            leafWritesLastFirst(xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], note);
        } else {
            const auto partXs = cornerTrianglesOnAxis<A>(xs[0], xs[1], xs[2]);
            const auto partYs = TwoAxes ? cornerTrianglesOnAxis<A>(ys[0], ys[1], ys[2]) : partXs;
            for (int i = 2; i >= 0; --i) {
                const Coord px[3] = {partXs[i][0], partXs[i][1], partXs[i][2]};
                const Coord py[3] = {partYs[i][0], partYs[i][1], partYs[i][2]};
                // The corner triangles stay within the part's binades: its
                // spread is a step at most.
                const Axis partX{whole(std::min(px[0], std::min(px[1], px[2]))), x.step};
                const Axis partY{whole(std::min(py[0], std::min(py[1], py[2]))), y.step};
                const CellWrites& part = find<TwoAxes>(static_cast<Int16>(levels - 1), px, py, partX, partY);
                const int dx = static_cast<int>(partX.unit - x.unit);
                const int dy = TwoAxes ? static_cast<int>(partY.unit - y.unit) : 0;
                for (unsigned w = 0; w < part.count; ++w)
                    found.noteEarlier(part.writes[w].dx + dx, part.writes[w].dy + dy, part.writes[w].colour);
            }
        }
        // No reference into the table is held here: the parts' writes are
        // already copied into `found`.
        if (known.size() >= kMostKept)
            known.clear();
        return known.emplace(key, found).first->second;
    }

    static constexpr const Colour* kColours = figureInfo(Figure::SierpinskiTriangle).colours;

    static const CellWrites& lastCornerOnly()
    {
        static const CellWrites writes{1, {{0, 0, kColours[2]}}};
        return writes;
    }

    struct Key {
        std::int32_t v[9];  // offsets in steps on x and y, each axis's binade and parity, levels
        bool operator==(const Key& o) const { return std::memcmp(v, o.v, sizeof v) == 0; }
    };
    struct Hash {
        std::size_t operator()(const Key& key) const
        {
            std::uint64_t h = 0x9E3779B97F4A7C15u;
            for (std::int32_t v : key.v)
                h = (h ^ static_cast<std::uint32_t>(v)) * 0x100000001B3u;
            return static_cast<std::size_t>(h ^ (h >> 29));
        }
    };

    // An axis that stays in one unit says nothing more than that.
    static Key keyOf(Int16 levels, const Coord (&xs)[3], const Coord (&ys)[3], const Axis& x, const Axis& y,
                     bool oneColumn, bool oneRow)
    {
        // The step's exponent field tells the binade; its unit's parity,
        // which way a tie rounds.
        auto shape = [](const Coord (&vs)[3], const Axis& axis, std::int32_t* offsets) {
            const auto step = static_cast<Coord>(axis.step);
            std::uint32_t stepBits;
            std::memcpy(&stepBits, &step, sizeof stepBits);
            for (int i = 0; i < 3; ++i)
                offsets[i] = static_cast<std::int32_t>((vs[i] - static_cast<double>(axis.unit)) / axis.step);
            return static_cast<std::int32_t>(stepBits >> 23 << 1 | (static_cast<std::int32_t>(axis.unit) & 1));
        };
        Key key{};
        if (!oneColumn)
            key.v[6] = shape(xs, x, key.v);
        if (!oneRow)
            key.v[7] = shape(ys, y, key.v + 3);
        key.v[8] = levels;
        return key;
    }

    static std::unordered_map<Key, CellWrites, Hash>& table()
    {
        static thread_local std::unordered_map<Key, CellWrites, Hash> known;
        return known;
    }
};

}  // namespace velmoran::triangle_detail
