#pragma once

// What the triangle's deep parts leave in the units around them, worked out
// once per shape and kept in a table for every press: deep in the figure,
// wherever a corner lies on a unit's edge to the last steps, the same
// shapes recur in every block and at every count, and what a part leaves
// depends on its shape alone (C15 in docs/exactness.md).

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "fractals/figure_table.hpp"
#include "fractals/triangle_arithmetic.hpp"
#include "fractals/triangle_leaf.hpp"
#include "fractals/triangle_reach.hpp"
#include "fractals/triangle_step_spreads.hpp"

namespace velmoran::triangle_detail {

// The last write to each unit cell a part reaches, most recent first, as
// offsets from the whole units its lowest values round to. Compact, as
// tens of thousands are kept: a write's colour as the side it is drawn in.
struct CellWrites {
    struct Write {
        std::int8_t dx, dy;
        std::uint8_t side;

        Colour colour() const
        {
            assert(side < 3);
            return figureInfo(Figure::SierpinskiTriangle).colours[side];
        }
    };
    // A part's descendants reach at most this many cells (PartWrites): two
    // by two for a tiny part, four along a line.
    static constexpr unsigned kMostCells = 4;
    std::uint8_t count = 0;
    Write writes[kMostCells];

    // A write made before those noted so far.
    void noteEarlier(int dx, int dy, Colour colour)
    {
        for (unsigned i = 0; i < count; ++i)
            if (writes[i].dx == dx && writes[i].dy == dy)
                return;
        if (count < kMostCells)
            writes[count++] = {static_cast<std::int8_t>(dx), static_cast<std::int8_t>(dy), sideOf(colour)};
    }

private:
    static std::uint8_t sideOf(Colour colour)
    {
        constexpr const Colour* colours = figureInfo(Figure::SierpinskiTriangle).colours;
        return colour == colours[0] ? 0 : colour == colours[1] ? 1 : 2;
    }
};

// What a part leaves, relative to the units it rounds into, where it is
// tiny (at most kWidestTiny steps across on both axes, four steps inside
// their binades), or lies along one row or column of units at any width
// with all its descendants four steps inside their binade (reachInBinade):
// there it depends only on its values in steps from those units, the
// units' parity, the binades and its levels (C15). The table is kept per
// thread, for every press, and emptied when it would hold more than
// kMostKept, a few counts' worth of shapes (docs/performance.md).
class PartWrites {
public:
    // Steps, as many as StepSpreads knows: the wider, the shorter the walks'
    // chains down to a tiny part.
    static constexpr double kWidestTiny = StepSpreads::kWidest;
    // A unit is 512 steps in the highest binade: a tiny part and its
    // descendants, a step beyond it at most, reach two units an axis.
    static_assert(StepSpreads::kWidest + 2 < 512 && CellWrites::kMostCells >= 2 * 2,
                  "a tiny part's writes fit in CellWrites");
    // About 3 MB; the index's slots count its entries in 16 bits.
    static constexpr std::size_t kMostKept = (1 << 16) - 1;

    // One axis of a part: the whole unit its lowest value rounds to, and
    // the step of its binade.
    struct Axis {
        Coord unit;
        double step;
    };

    static std::optional<Axis> tinyAxis(Coord a, Coord b, Coord c)
    {
        if (const auto step = spreadsStep(a, b, c))
            return Axis{whole(std::min(a, std::min(b, c))), *step};
        return std::nullopt;
    }

    // What a tiny part `levels` deep with these corners leaves, relative
    // to x.unit and y.unit.
    static const CellWrites& tinyWrites(Int16 levels, const Coord (&xs)[3], const Coord (&ys)[3], const Axis& x,
                                        const Axis& y)
    {
        return find<true>(levels, xs, ys, x, y);
    }

    // One axis of a part on a line, `levels` deep, whose descendants reach
    // no more units than CellWrites holds.
    static std::optional<Axis> lineAxis(Int16 levels, Coord a, Coord b, Coord c)
    {
        const auto reach = reachInBinade(levels, a, b, c);
        if (!reach)
            return std::nullopt;
        const UnitRange units = unitsBetween(reach->first, reach->last);
        if (units.high - units.low >= static_cast<int>(CellWrites::kMostCells))
            return std::nullopt;
        return Axis{whole(std::min(a, std::min(b, c))), reach->step};
    }

    // What a part on a line leaves: its offsets along it, as dx. The rule
    // is the same on either axis, and a part that stays in one unit row
    // leaves what this says, so both share the table's entries.
    //
    // Looked up before its reach is worked out: the walks ask only of
    // parts that straddle an edge in their bound, and each press after a
    // count's first then costs a look-up alone.
    static const CellWrites& lineWrites(Int16 levels, const Coord (&vs)[3], const Axis& v)
    {
        const Key key = keyOf(levels, vs, vs, v, v, false, true);
        auto& known = table();
        if (const CellWrites* kept = known.find(key))
            return *kept;
        const UnitRange units = unitsAlong(levels, vs, v);
        // In one unit, the last leaf's last write (C10).
        return known.keep(key, units.low == units.high ? lastCornerOnly() : writesOfParts<false>(levels, vs, vs, v, v));
    }

private:
    // Without `TwoAxes`, `ys` and `y` are not read.
    template <bool TwoAxes>
    static const CellWrites& find(Int16 levels, const Coord (&xs)[3], const Coord (&ys)[3], const Axis& x,
                                  const Axis& y)
    {
        const UnitRange columns = unitsAlong(levels, xs, x);
        bool oneRow = true;
        if constexpr (TwoAxes) {
            const UnitRange rows = unitsAlong(levels, ys, y);
            oneRow = rows.low == rows.high;
        }
        // Within one unit cell, the last leaf's last write; its third
        // corner is the part's own.
        if (columns.low == columns.high && oneRow)
            return lastCornerOnly();  // C10

        const Key key = keyOf(levels, xs, ys, x, y, columns.low == columns.high, oneRow);
        auto& known = table();
        if (const CellWrites* kept = known.find(key))
            return *kept;
        return known.keep(key, writesOfParts<TwoAxes>(levels, xs, ys, x, y));
    }

    // The units a part reaches on one axis: exactly where it is tiny, else
    // from its bound; a part the bound finds in two units is worked out
    // from its corner triangles, which says the same where it is in one.
    static UnitRange unitsAlong(Int16 levels, const Coord (&vs)[3], const Axis& v)
    {
        const double width = std::max(vs[0], std::max(vs[1], vs[2])) - std::min(vs[0], std::min(vs[1], vs[2]));
        if (width <= kWidestTiny * v.step)
            return unitsFromSpreads(levels, vs[0], vs[1], vs[2], v.step);
        const auto [first, last] = reachBounds(levels, vs[0], vs[1], vs[2]);
        return unitsBetween(first, last);
    }

    // What a part leaves, from what its corner triangles leave.
    template <bool TwoAxes>
    static CellWrites writesOfParts(Int16 levels, const Coord (&xs)[3], const Coord (&ys)[3], const Axis& x,
                                    const Axis& y)
    {
        CellWrites found;
        auto note = [&](Coord px, Coord py, Colour colour) {
            found.noteEarlier(static_cast<int>(whole(px) - x.unit), TwoAxes ? static_cast<int>(whole(py) - y.unit) : 0,
                              colour);
        };
        if (levels == 0) {
            leafWritesLastFirst(xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], note);
        } else {
            const auto partXs = cornerTrianglesOnAxis<InDouble>(xs[0], xs[1], xs[2]);
            const auto partYs = TwoAxes ? cornerTrianglesOnAxis<InDouble>(ys[0], ys[1], ys[2]) : partXs;
            for (int i = 2; i >= 0; --i) {
                const Coord px[3] = {partXs[i][0], partXs[i][1], partXs[i][2]};
                const Coord py[3] = {partYs[i][0], partYs[i][1], partYs[i][2]};
                // The corner triangles stay within the part's binades, as
                // all its descendants do.
                const Axis partX{whole(std::min(px[0], std::min(px[1], px[2]))), x.step};
                const Axis partY{whole(std::min(py[0], std::min(py[1], py[2]))), y.step};
                const CellWrites& part = find<TwoAxes>(static_cast<Int16>(levels - 1), px, py, partX, partY);
                const int dx = static_cast<int>(partX.unit - x.unit);
                const int dy = TwoAxes ? static_cast<int>(partY.unit - y.unit) : 0;
                for (unsigned w = 0; w < part.count; ++w)
                    found.noteEarlier(part.writes[w].dx + dx, part.writes[w].dy + dy, part.writes[w].colour());
            }
        }
        return found;
    }

    static const CellWrites& lastCornerOnly()
    {
        static const CellWrites writes{1, {{0, 0, 2}}};
        return writes;
    }

    struct Key {
        // Offsets in steps on x and on y; both axes' binade and parity, x's
        // in the low half; the levels.
        std::int32_t v[8];
        bool operator==(const Key& o) const { return std::memcmp(v, o.v, sizeof v) == 0; }
    };

    // Open addressing over the entries, which lie densely in the order
    // kept: a look-up reads a slot of a small index and one entry, both
    // likely cached, where a table of whole entries spread by their hash
    // would miss on nearly every look-up.
    class Table {
    public:
        const CellWrites* find(const Key& key) const
        {
            for (std::size_t i = slotOf(key);; i = (i + 1) & (kSlots - 1)) {
                const std::uint16_t at = index_[i];
                if (at == 0)
                    return nullptr;
                if (entries_[at - 1].key == key)
                    return &entries_[at - 1].writes;
            }
        }

        // `key` is not yet kept.
        const CellWrites& keep(const Key& key, const CellWrites& writes)
        {
            assert(!find(key));
            if (kept_ == kMostKept) {
                std::fill(index_.get(), index_.get() + kSlots, 0);
                kept_ = 0;
            }
            std::size_t i = slotOf(key);
            while (index_[i] != 0)
                i = (i + 1) & (kSlots - 1);
            entries_[kept_] = Entry{key, writes};
            index_[i] = static_cast<std::uint16_t>(++kept_);
            return entries_[kept_ - 1].writes;
        }

    private:
        struct Entry {
            Key key;
            CellWrites writes;
        };
        // Half full at most, so that a probe seldom goes past its slot.
        static constexpr std::size_t kSlots = 2 * (kMostKept + 1);
        static_assert((kSlots & (kSlots - 1)) == 0, "slots are found by a mask");

        static std::size_t slotOf(const Key& key)
        {
            std::uint64_t h = 0x9E3779B97F4A7C15u;
            for (std::int32_t v : key.v)
                h = (h ^ static_cast<std::uint32_t>(v)) * 0x100000001B3u;
            return static_cast<std::size_t>(h ^ (h >> 29)) & (kSlots - 1);
        }

        // Each slot holds its entry's place plus one; 0 is free.
        std::unique_ptr<std::uint16_t[]> index_{new std::uint16_t[kSlots]()};
        std::unique_ptr<Entry[]> entries_{new Entry[kMostKept]};
        std::size_t kept_ = 0;
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
            const double perStep = 1 / axis.step;  // exact: a power of two
            for (int i = 0; i < 3; ++i)
                offsets[i] = static_cast<std::int32_t>((vs[i] - static_cast<double>(axis.unit)) * perStep);
            return static_cast<std::int32_t>(stepBits >> 23 << 1 | (static_cast<std::int32_t>(axis.unit) & 1));
        };
        Key key{};
        if (!oneColumn)
            key.v[6] = shape(xs, x, key.v);
        if (!oneRow)
            key.v[6] |= shape(ys, y, key.v + 3) << 16;
        key.v[7] = levels;
        return key;
    }

    static Table& table()
    {
        static thread_local Table known;
        return known;
    }
};

}  // namespace velmoran::triangle_detail
