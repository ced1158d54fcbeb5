#pragma once

// The walk back from a block's last leaf: the last colour each of its two
// by two device pixels gets from a triangle whose every corner rounds into
// the block, found by going through the triangle's leaves last first and
// keeping the first write seen to each pixel (C9 to C16 in
// docs/exactness.md). Where the walk takes more steps than it is worth it
// says so, and the triangle is drawn for real.

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

#include "fractals/figure_table.hpp"
#include "fractals/triangle_arithmetic.hpp"
#include "fractals/triangle_exact_reach.hpp"
#include "fractals/triangle_leaf.hpp"
#include "fractals/triangle_part_writes.hpp"
#include "fractals/triangle_reach.hpp"

namespace velmoran::triangle_detail {

// The last colour each pixel of a block gets from the leaves of a triangle
// whose every corner rounds into the block, where each line is drawn as its
// two end pixels, in order (C9). Found by walking the triangle from its
// last leaf back until every pixel it can reach has had its last write
// (C11).
template <class Block>
class BlockColours {
public:
    // `xs` and `ys`: the whole units the triangle's corners can round to.
    BlockColours(const Block& block, UnitRange xs, UnitRange ys)
        : block_(block),
          columnsFrom_(block.secondColumnFrom - 0.5),
          rowsFrom_(block.secondRowFrom - 0.5),
          xDriftPerLevel_(drift(1, xs.high + 1)),
          yDriftPerLevel_(drift(1, ys.high + 1))
    {
    }

    // False where the walk would take more steps than it is worth (a
    // heuristic: it only ever says "no shortcut"). `known`: the block's
    // pixels whose last colour is already known, as bits; the walk looks
    // only for the others.
    bool find(Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3, unsigned known = 0)
    {
        // The bound (C3) settles most parts in a few steps. Deep down it
        // widens and straddles edges the part never crosses, and the walk
        // would look there in vain: then it starts again from what is
        // exactly reached (C12). Where the leaves are a few steps wide, it
        // goes there at once. Known pixels count as reached, so that the
        // walk stops once it has found the others.
        const unsigned within = pixelsWithin(depth, x1, y1, x2, y2, x3, y3);
        known_ = known;
        exact_ = false;
        found_.written = known;
        reachable_ = within | known;
        stepsLeft_ = 8 * (depth + 4);
        if (leavesWiderThanTiny(depth, x1, y1, x2, y2, x3, y3) && walk(depth, x1, y1, x2, y2, x3, y3))
            return true;  // C11: the walk went back to the first leaf, or found every pixel
        exact_ = true;
        found_ = {};
        found_.written = known;
        reachable_ = pixelsReached(within, depth, x1, y1, x2, y2, x3, y3) | known;
        stepsLeft_ = kExactStepsPerLevel * (depth + 4);
        return walk(depth, x1, y1, x2, y2, x3, y3);
    }

    using Whole = Int16;  // InDouble::rounded()
    struct Pixel {
        Whole x{}, y{};  // a point of it
        Colour colour = 0;
    };

    // Each pixel found, numbered 0 to 3 across, then down, with a point of it
    // and its last colour.
    template <class Found>
    void forEachFound(Found&& found) const
    {
        for (unsigned i = 0; i < 4; ++i)
            if (found_.written & ~known_ & (1u << i))
                found(i, found_.pixels[i]);
    }

    // Each pixel found, drawn in its last colour.
    template <class Surface>
    void paint(Surface& s) const
    {
        forEachFound(
            [&](unsigned, const Pixel& p) { s.drawLine(LineKind::SegmentInOwnColour, p.x, p.y, p.x, p.y, p.colour); });
    }

private:
    static constexpr const Colour* kColours = figureInfo(Figure::SierpinskiTriangle).colours;

    // Writes to the block's pixels, numbered 0 to 3 across, then down, seen
    // last first: the first seen to a pixel is its last (C11).
    struct Writes {
        unsigned written = 0;
        Pixel pixels[4];

        void note(unsigned i, const Pixel& pixel)
        {
            assert(i < 4);
            if (written & (1u << i))
                return;
            written |= 1u << i;
            pixels[i] = pixel;
        }
    };

    void note(Writes& writes, Whole x, Whole y, Colour colour) const
    {
        writes.note(static_cast<unsigned>(x >= block_.secondColumnFrom) + 2 * (y >= block_.secondRowFrom),
                    {x, y, colour});
    }

    void noteLeaf(Writes& writes, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3) const
    {
        leafWritesLastFirst(x1, y1, x2, y2, x3, y3, [&](Coord x, Coord y, Colour colour) {
            note(writes, InDouble::rounded(x), InDouble::rounded(y), colour);
        });
    }

    static constexpr unsigned kFirstColumn = 0b0101, kSecondColumn = 0b1010, kFirstRow = 0b0011,
                              kSecondRow = 0b1100;

    static unsigned pixelBits(bool firstColumn, bool secondColumn, bool firstRow, bool secondRow)
    {
        const unsigned columns = (firstColumn ? 1u : 0u) | (secondColumn ? 2u : 0u);
        return (firstRow ? columns : 0u) | (secondRow ? columns << 2 : 0u);
    }

    // The pixels, as bits, that a part `levels` deep with these corners
    // reaches in columns and rows: those its corners round into, exactly
    // (C12), on each axis alone.
    // `within`: the pixelsWithin() of the part, which only an axis it
    // straddles can narrow.
    unsigned pixelsReached(unsigned within, Int16 levels, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3,
                           Coord y3)
    {
        std::pair<bool, bool> columns{(within & kFirstColumn) != 0, (within & kSecondColumn) != 0};
        std::pair<bool, bool> rows{(within & kFirstRow) != 0, (within & kSecondRow) != 0};
        if (columns.first && columns.second)
            columns = sidesReached(levels, x1, x2, x3, columnsFrom_, block_.secondColumnFrom);
        if (rows.first && rows.second)
            rows = sidesReached(levels, y1, y2, y3, rowsFrom_, block_.secondRowFrom);
        return pixelBits(columns.first, columns.second, rows.first, rows.second);
    }

    // On one axis, whether the part reaches the block's first and second
    // column (row): the cheap tests first, as most parts the walk asks
    // about either lie across the edge or clearly to one side of it.
    std::pair<bool, bool> sidesReached(Int16 levels, Coord a, Coord b, Coord c, double edge, int secondFrom)
    {
        // Each corner is a leaf's corner too.
        const Coord low = std::min(a, std::min(b, c)), high = std::max(a, std::max(b, c));
        if (InDouble::rounded(low) < secondFrom && InDouble::rounded(high) >= secondFrom)
            return {true, true};  // C12: the corners are reached
        const auto [first, last] = reachBounds(levels, a, b, c);
        if (!(first <= edge && last >= edge))
            return {first <= edge, last >= edge};  // C3, C14: the bound does not straddle the edge
        const UnitRange units = unitsReached(levels, a, b, c, unitsReached_);
        return {units.low < secondFrom, units.high >= secondFrom};
    }

    // The same, from the bound alone (C3), which is quicker and may take in
    // more: a value from a half below a second column's (row's) first unit
    // on may round into it, and one up to there may round below it.
    unsigned pixelsWithin(Int16 levels, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3) const
    {
        const auto columns = sidesWithin(levels * xDriftPerLevel_, x1, x2, x3, columnsFrom_);
        const auto rows = sidesWithin(levels * yDriftPerLevel_, y1, y2, y3, rowsFrom_);
        return pixelBits(columns.first, columns.second, rows.first, rows.second);
    }

    // On one axis, from the bound: whether the part may reach the first and
    // the second column (row).
    static std::pair<bool, bool> sidesWithin(double drift, Coord a, Coord b, Coord c, double edge)
    {
        return {std::min(a, std::min(b, c)) - drift <= edge, std::max(a, std::max(b, c)) + drift >= edge};
    }

    // The part's leaves, last first, down to the parts that settle at once.
    bool walk(Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        if (--stepsLeft_ < 0)
            return false;  // the step budget: no shortcut
        if (depth == 0) {
            noteLeaf(found_, x1, y1, x2, y2, x3, y3);  // C9
            return true;
        }
        // cornerTrianglesOnAxis() spelled out: this is the hot loop of a
        // deep press, and its arrays cost time here (docs/performance.md).
        const Coord cx = InDouble::centroid(x1, x2, x3), cy = InDouble::centroid(y1, y2, y3);
        const Coord p1x = InDouble::midpoint(cx, x1), p1y = InDouble::midpoint(cy, y1);
        const Coord p2x = InDouble::midpoint(cx, x2), p2y = InDouble::midpoint(cy, y2);
        const Coord p3x = InDouble::midpoint(cx, x3), p3y = InDouble::midpoint(cy, y3);
        const auto below = static_cast<Int16>(depth - 1);
        return part(below, p2x, p2y, p1x, p1y, x3, y3) && part(below, p3x, p3y, x2, y2, p1x, p1y)
               && part(below, x1, y1, p3x, p3y, p2x, p2y);
    }

    // One corner triangle of the walk, `depth` levels above its leaves:
    // passed by, settled at once or walked. Each exit cites its claim.
    bool part(Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        if (found_.written == reachable_)
            return true;  // C11: every pixel the triangle can reach has its last write
        unsigned pixels = pixelsWithin(depth, x1, y1, x2, y2, x3, y3);
        if (!(pixels & ~found_.written))
            return true;  // C3, C11: it can reach only pixels already found
        if (exact_ && (pixels & (pixels - 1))) {
            pixels = pixelsReached(pixels, depth, x1, y1, x2, y2, x3, y3);
            if (!(pixels & ~found_.written))
                return true;  // C12, C11: it reaches only pixels already found
        }
        // A part within one pixel leaves it in its last leaf's last colour;
        // that leaf's third corner is the part's own.
        if ((pixels & (pixels - 1)) == 0) {
            note(found_, InDouble::rounded(x3), InDouble::rounded(y3), kColours[2]);
            return true;  // C10
        }
        // Within one row (column), only the values across (down) decide
        // which of its two pixels the rest of the walk writes (C16).
        if (!(pixels & kFirstRow) || !(pixels & kSecondRow)) {
            enterLine(pixels & kFirstRow ? kFirstRow : kSecondRow, InDouble::rounded(y3));
            return partOnLine<0>(depth, x1, x2, x3);
        }
        if (!(pixels & kFirstColumn) || !(pixels & kSecondColumn)) {
            enterLine(pixels & kFirstColumn ? kFirstColumn : kSecondColumn, InDouble::rounded(x3));
            return partOnLine<1>(depth, y1, y2, y3);
        }
        if (const auto tinyX = PartWrites::tinyAxis(x1, x2, x3))
            if (const auto tinyY = PartWrites::tinyAxis(y1, y2, y3)) {
                noteTinyPart(depth, {x1, x2, x3}, {y1, y2, y3}, *tinyX, *tinyY);
                return true;  // C15
            }
        return walk(depth, x1, y1, x2, y2, x3, y3);
    }

    // The walk within one row of the block, on the values across it
    // (Along 0), or within one column, on the values down it (Along 1):
    // `line` has the bits of its two pixels, `at` is a whole unit of it on
    // the other axis.
    void enterLine(unsigned line, Whole at)
    {
        lineFirst_ = line & (0u - line);  // the lower bit
        lineSecond_ = line & ~lineFirst_;
        lineAt_ = at;
    }

    template <int Along>
    void noteOnLine(Whole v, Colour colour)
    {
        if constexpr (Along == 0)
            note(found_, v, lineAt_, colour);
        else
            note(found_, lineAt_, v, colour);
    }

    template <int Along>
    bool walkLine(Int16 depth, Coord a, Coord b, Coord c)
    {
        if (--stepsLeft_ < 0)
            return false;  // the step budget: no shortcut
        if (depth == 0) {
            leafWritesLastFirst(a, 0, b, 0, c, 0,
                                [&](Coord v, Coord, Colour colour) { noteOnLine<Along>(InDouble::rounded(v), colour); });
            return true;  // C9, C16
        }
        const Coord centroid = InDouble::centroid(a, b, c);
        const Coord m1 = InDouble::midpoint(centroid, a), m2 = InDouble::midpoint(centroid, b), m3 = InDouble::midpoint(centroid, c);
        const auto below = static_cast<Int16>(depth - 1);
        return partOnLine<Along>(below, m2, m1, c) && partOnLine<Along>(below, m3, b, m1)
               && partOnLine<Along>(below, a, m3, m2);
    }

    // One corner triangle of a line's walk: as part(), on one axis (C16).
    template <int Along>
    bool partOnLine(Int16 depth, Coord a, Coord b, Coord c)
    {
        if (found_.written == reachable_)
            return true;  // C11
        const double edge = Along == 0 ? columnsFrom_ : rowsFrom_;
        auto sides = sidesWithin(depth * (Along == 0 ? xDriftPerLevel_ : yDriftPerLevel_), a, b, c, edge);
        auto lineBits = [this](std::pair<bool, bool> sides) {
            return (sides.first ? lineFirst_ : 0u) | (sides.second ? lineSecond_ : 0u);
        };
        if (!(lineBits(sides) & ~found_.written))
            return true;  // C3, C11
        if (sides.first && sides.second) {
            // Its writes, kept by shape, tell where it reaches as well.
            if (depth >= kFewestLevelsLookedUp)
                if (const auto v = PartWrites::lineAxis(depth, a, b, c)) {
                    noteLinePart<Along>(depth, {a, b, c}, *v);
                    return true;  // C15
                }
            if (exact_) {
                sides = sidesReached(depth, a, b, c, edge,
                                     Along == 0 ? block_.secondColumnFrom : block_.secondRowFrom);
                if (!(lineBits(sides) & ~found_.written))
                    return true;  // C12, C11
            }
        }
        if (!(sides.first && sides.second)) {
            noteOnLine<Along>(InDouble::rounded(c), kColours[2]);
            return true;  // C10: within one pixel of the line
        }
        return walkLine<Along>(depth, a, b, c);
    }

    // Along an edge a part straddles, its corner triangles straddle it too,
    // down a chain of levels, and the shapes they take recur in every
    // block; fewer levels than this are walked quicker than looked up (a
    // choice between two exact ways).
    static constexpr Int16 kFewestLevelsLookedUp = 3;

    template <int Along>
    void noteLinePart(Int16 depth, const Coord (&vs)[3], const typename PartWrites::Axis& v)
    {
        const CellWrites& writes = PartWrites::lineWrites(depth, vs, v);
        const Whole unit = InDouble::rounded(v.unit);
        for (unsigned i = 0; i < writes.count; ++i)
            noteOnLine<Along>(static_cast<Whole>(unit + writes.writes[i].dx), writes.writes[i].colour());
    }

    // Enough for the parts whose corners lie on a pixel's edge to the last
    // single-precision steps, a few of them each level down; a heuristic,
    // which only ever says "no shortcut".
    static constexpr int kExactStepsPerLevel = 64;

    // Around a corner that lies on a pixel's edges to the last step, tiny
    // parts cycle through a few shapes at every level, and the walk alone
    // would take them one by one for as many levels as are left.
    void noteTinyPart(Int16 depth, const Coord (&xs)[3], const Coord (&ys)[3], const typename PartWrites::Axis& x,
                      const typename PartWrites::Axis& y)
    {
        const CellWrites& writes = PartWrites::tinyWrites(depth, xs, ys, x, y);
        const Whole column = InDouble::rounded(x.unit), row = InDouble::rounded(y.unit);
        for (unsigned i = 0; i < writes.count; ++i) {
            const auto& w = writes.writes[i];
            note(found_, static_cast<Whole>(column + w.dx), static_cast<Whole>(row + w.dy), w.colour());
        }
    }

    // Whether the triangles `levels` down are more than a few steps wide on
    // the wider axis; where they are not, corners on a pixel's edge to the
    // last steps straddle it in the bound for good, and the bound's walk
    // would spend its steps there in vain. A heuristic: it only chooses
    // which walk goes first.
    static bool leavesWiderThanTiny(Int16 levels, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        constexpr double kFewSteps = 4;
        auto steps = [](Coord a, Coord b, Coord c) {
            const Coord low = std::min(a, std::min(b, c)), high = std::max(a, std::max(b, c));
            return low >= 1 && high < 32768 ? (high - low) / Binade(high).step : HUGE_VAL;
        };
        return std::max(steps(x1, x2, x3), steps(y1, y2, y3)) > std::ldexp(kFewSteps, levels);
    }

    const Block& block_;
    const double columnsFrom_, rowsFrom_;
    const double xDriftPerLevel_, yDriftPerLevel_;
    bool exact_ = false;
    unsigned reachable_ = 0;
    unsigned known_ = 0;
    unsigned lineFirst_ = 0, lineSecond_ = 0;
    Whole lineAt_{};
    Writes found_;
    int stepsLeft_ = 0;
    UnitsReachedCache unitsReached_;
};

}  // namespace velmoran::triangle_detail
