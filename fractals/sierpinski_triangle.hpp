#pragma once

// The Sierpinski triangle: a triangle split into its three corner triangles
// of half the size, as deep as the count says; only the last level is drawn,
// three sides in three fixed colours.

#include <algorithm>
#include <cmath>
#include <optional>
#include <type_traits>
#include <utility>

#include "core/canvas.hpp"
#include "fractals/figure_table.hpp"
#include "fractals/triangle_arithmetic.hpp"
#include "fractals/triangle_reach.hpp"
#include "fractals/triangle_part_writes.hpp"

namespace velmoran {

namespace triangle_detail {

// The three sides of a triangle of the last level, each in its colour; the
// corners are already whole, and stay Int16s where A::rounded made them so.
template <class Surface, class Whole>
inline void sides(Surface& s, Whole x1, Whole y1, Whole x2, Whole y2, Whole x3, Whole y3)
{
    constexpr const Colour* colours = figureInfo(Figure::SierpinskiTriangle).colours;
    s.drawLine(kLineWithColour, x1, y1, x2, y2, colours[0]);
    s.drawLine(kLineWithColour, x2, y2, x3, y3, colours[1]);
    s.drawLine(kLineWithColour, x1, y1, x3, y3, colours[2]);
}

// The last colour each pixel of a block gets from the leaves of a triangle
// whose every corner rounds into the block, where each line is drawn as its
// two end pixels, in order. Found by walking the triangle from its last
// leaf back until every pixel it can reach has had its last write.
template <class A, class Block>
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

    // False where the walk would take more steps than it is worth.
    // `known`: the block's pixels whose last colour is already known, as
    // bits; the walk looks only for the others.
    bool find(Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3, unsigned known = 0)
    {
        // The bound settles most parts in a few steps. Deep down it widens
        // and straddles edges the part never crosses, and the walk would
        // look there in vain: then it starts again from what is exactly
        // reached. Where the leaves are a few steps wide, it goes there at
        // once. Known pixels count as reached, so that the walk stops once
        // it has found the others.
        const unsigned within = pixelsWithin(depth, x1, y1, x2, y2, x3, y3);
        known_ = known;
        exact_ = false;
        found_.written = known;
        reachable_ = within | known;
        stepsLeft_ = 8 * (depth + 4);
        if (leavesWiderThanTiny(depth, x1, y1, x2, y2, x3, y3) && walk(depth, x1, y1, x2, y2, x3, y3))
            return true;
        exact_ = true;
        found_ = {};
        found_.written = known;
        reachable_ = pixelsReached(within, depth, x1, y1, x2, y2, x3, y3) | known;
        stepsLeft_ = kExactStepsPerLevel * (depth + 4);
        return walk(depth, x1, y1, x2, y2, x3, y3);
    }

    using Whole = decltype(A::rounded(Coord{}));
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
        forEachFound([&](unsigned, const Pixel& p) { s.drawLine(kLineWithColour, p.x, p.y, p.x, p.y, p.colour); });
    }

private:
    static constexpr const Colour* kColours = figureInfo(Figure::SierpinskiTriangle).colours;

    // Writes to the block's pixels, numbered 0 to 3 across, then down, seen
    // last first: the first seen to a pixel is its last.
    struct Writes {
        unsigned written = 0;
        Pixel pixels[4];

        void note(unsigned i, const Pixel& pixel)
        {
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
            note(writes, A::rounded(x), A::rounded(y), colour);
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
    // reaches in columns and rows: those its corners round into, exactly.
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
        if (A::rounded(low) < secondFrom && A::rounded(high) >= secondFrom)
            return {true, true};
        const auto [first, last] = reachBounds(levels, a, b, c);
        if (!(first <= edge && last >= edge))
            return {first <= edge, last >= edge};
        const UnitRange units = unitsReached<A>(levels, a, b, c, unitsReached_);
        return {units.low < secondFrom, units.high >= secondFrom};
    }

    // The same, from the bound alone, which is quicker and may take in more:
    // a value from a half below a second column's (row's) first unit on may
    // round into it, and one up to there may round below it.
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

    bool walk(Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        if (--stepsLeft_ < 0)
            return false;
        if (depth == 0) {
            noteLeaf(found_, x1, y1, x2, y2, x3, y3);
            return true;
        }
        // cornerTrianglesOnAxis() spelled out: through its arrays this, the
        // hot loop of a deep press, runs a tenth slower.
        const Coord cx = A::centroid(x1, x2, x3), cy = A::centroid(y1, y2, y3);
        const Coord p1x = A::midpoint(cx, x1), p1y = A::midpoint(cy, y1);
        const Coord p2x = A::midpoint(cx, x2), p2y = A::midpoint(cy, y2);
        const Coord p3x = A::midpoint(cx, x3), p3y = A::midpoint(cy, y3);
        const auto below = static_cast<Int16>(depth - 1);
        return part(below, p2x, p2y, p1x, p1y, x3, y3) && part(below, p3x, p3y, x2, y2, p1x, p1y)
               && part(below, x1, y1, p3x, p3y, p2x, p2y);
    }

    bool part(Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        if (found_.written == reachable_)
            return true;
        unsigned pixels = pixelsWithin(depth, x1, y1, x2, y2, x3, y3);
        if (!(pixels & ~found_.written))
            return true;
        if (exact_ && (pixels & (pixels - 1))) {
            pixels = pixelsReached(pixels, depth, x1, y1, x2, y2, x3, y3);
            if (!(pixels & ~found_.written))
                return true;
        }
        // A part within one pixel leaves it in its last leaf's last colour;
        // that leaf's third corner is the part's own.
        if ((pixels & (pixels - 1)) == 0) {
            note(found_, A::rounded(x3), A::rounded(y3), kColours[2]);
            return true;
        }
        // Within one row (column), only the values across (down) decide
        // which of its two pixels the rest of the walk writes.
        if (!(pixels & kFirstRow) || !(pixels & kSecondRow)) {
            enterLine(pixels & kFirstRow ? kFirstRow : kSecondRow, A::rounded(y3));
            return partOnLine<0>(depth, x1, x2, x3);
        }
        if (!(pixels & kFirstColumn) || !(pixels & kSecondColumn)) {
            enterLine(pixels & kFirstColumn ? kFirstColumn : kSecondColumn, A::rounded(x3));
            return partOnLine<1>(depth, y1, y2, y3);
        }
        if (const auto tinyX = PartWrites<A>::tinyAxis(x1, x2, x3))
            if (const auto tinyY = PartWrites<A>::tinyAxis(y1, y2, y3)) {
                noteTinyPart(depth, {x1, x2, x3}, {y1, y2, y3}, *tinyX, *tinyY);
                return true;
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
            return false;
        if (depth == 0) {
            leafWritesLastFirst(a, 0, b, 0, c, 0,
                                [&](Coord v, Coord, Colour colour) { noteOnLine<Along>(A::rounded(v), colour); });
            return true;
        }
        const Coord centroid = A::centroid(a, b, c);
        const Coord m1 = A::midpoint(centroid, a), m2 = A::midpoint(centroid, b), m3 = A::midpoint(centroid, c);
        const auto below = static_cast<Int16>(depth - 1);
        return partOnLine<Along>(below, m2, m1, c) && partOnLine<Along>(below, m3, b, m1)
               && partOnLine<Along>(below, a, m3, m2);
    }

    template <int Along>
    bool partOnLine(Int16 depth, Coord a, Coord b, Coord c)
    {
        if (found_.written == reachable_)
            return true;
        const double edge = Along == 0 ? columnsFrom_ : rowsFrom_;
        auto sides = sidesWithin(depth * (Along == 0 ? xDriftPerLevel_ : yDriftPerLevel_), a, b, c, edge);
        auto lineBits = [this](std::pair<bool, bool> sides) {
            return (sides.first ? lineFirst_ : 0u) | (sides.second ? lineSecond_ : 0u);
        };
        if (!(lineBits(sides) & ~found_.written))
            return true;
        if (sides.first && sides.second) {
            // Its writes, kept by shape, tell where it reaches as well.
            if (depth >= kFewestLevelsLookedUp)
                if (const auto v = PartWrites<A>::lineAxis(depth, a, b, c)) {
                    noteLinePart<Along>(depth, {a, b, c}, *v);
                    return true;
                }
            if (exact_) {
                sides = sidesReached(depth, a, b, c, edge,
                                     Along == 0 ? block_.secondColumnFrom : block_.secondRowFrom);
                if (!(lineBits(sides) & ~found_.written))
                    return true;
            }
        }
        if (!(sides.first && sides.second)) {
            noteOnLine<Along>(A::rounded(c), kColours[2]);
            return true;
        }
        return walkLine<Along>(depth, a, b, c);
    }

    // Along an edge a part straddles, its corner triangles straddle it too,
    // down a chain of levels, and the shapes they take recur in every
    // block; fewer levels than this are walked quicker than looked up.
    static constexpr Int16 kFewestLevelsLookedUp = 3;

    template <int Along>
    void noteLinePart(Int16 depth, const Coord (&vs)[3], const typename PartWrites<A>::Axis& v)
    {
        const CellWrites& writes = PartWrites<A>::lineWrites(depth, vs, v);
        const Whole unit = A::rounded(v.unit);
        for (unsigned i = 0; i < writes.count; ++i)
            noteOnLine<Along>(static_cast<Whole>(unit + writes.writes[i].dx), writes.writes[i].colour());
    }

    // Enough for the parts whose corners lie on a pixel's edge to the last
    // single-precision steps, a few of them each level down.
    static constexpr int kExactStepsPerLevel = 64;

    // Around a corner that lies on a pixel's edges to the last step, tiny
    // parts cycle through a few shapes at every level, and the walk alone
    // would take them one by one for as many levels as are left.
    void noteTinyPart(Int16 depth, const Coord (&xs)[3], const Coord (&ys)[3], const typename PartWrites<A>::Axis& x,
                      const typename PartWrites<A>::Axis& y)
    {
        const CellWrites& writes = PartWrites<A>::tinyWrites(depth, xs, ys, x, y);
        const Whole column = A::rounded(x.unit), row = A::rounded(y.unit);
        for (unsigned i = 0; i < writes.count; ++i) {
            const auto& w = writes.writes[i];
            note(found_, static_cast<Whole>(column + w.dx), static_cast<Whole>(row + w.dy), w.colour());
        }
    }

    // Whether the triangles `levels` down are more than a few steps wide on
    // the wider axis; where they are not, corners on a pixel's edge to the
    // last steps straddle it in the bound for good, and the bound's walk
    // would spend its steps there in vain.
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

// Below this, drawing a triangle costs less than finding out whether it can
// be collapsed, or walking it back.
constexpr Int16 kShallowestCollapse = 3;
// Below this, a group of corner triangles has too few blocks to share
// pixels.
constexpr Int16 kShallowestGroup = kShallowestCollapse + 3;

// The whole units the corners of a part `depth` levels deep can round to,
// where they lie from 0 to 32767 and no corner is NaN (the ranges leave a
// NaN out).
struct PartUnits {
    UnitRange xs, ys;

    static std::optional<PartUnits> of(Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        const auto xs = reachableUnits(depth, x1, x2, x3);
        const auto ys = reachableUnits(depth, y1, y2, y3);
        if (!xs || !ys || std::isnan(x1 + x2 + x3 + y1 + y2 + y3))
            return std::nullopt;
        return PartUnits{*xs, *ys};
    }

    // The block of device pixels they fall in, where it is two by two at
    // most.
    template <class Surface>
    auto block(const Surface& surface) const
    {
        return surface.pixelBlock(xs.low, ys.low, xs.high, ys.high);
    }

    template <class Block>
    bool withinOnePixel(const Block& block) const
    {
        return block.secondColumnFrom > xs.high && block.secondRowFrom > ys.high;
    }
};

// A corner triangle `depth` levels deep whose leaves all round into one
// device pixel is drawn as one of them (collapseSubtree); one within two by
// two pixels, as the colours its leaves leave there (skipSubtree). Out of
// line: inlined, it slows the recursion down by a few per cent where
// nothing can be collapsed.
template <class A, class Surface, class Events>
[[gnu::noinline]] bool collapseSmallCorner(Canvas<Surface, Events>& canvas, Int16 depth, Coord x1, Coord y1,
                                           Coord x2, Coord y2, Coord x3, Coord y3)
{
    const auto units = PartUnits::of(depth, x1, y1, x2, y2, x3, y3);
    const auto block = units ? units->block(canvas.surface) : std::nullopt;
    if (!block)
        return false;
    if (units->withinOnePixel(*block))
        return collapseSubtree<3>(canvas, depth, [] { return true; }, [&] {
            sides(canvas.surface, A::rounded(x1), A::rounded(y1), A::rounded(x2), A::rounded(y2), A::rounded(x3),
                  A::rounded(y3));
        });
    return skipSubtree<3>(canvas, depth, [&] {
        BlockColours<A, std::decay_t<decltype(*block)>> colours(*block, units->xs, units->ys);
        if (!colours.find(depth, x1, y1, x2, y2, x3, y3))
            return false;
        canvas.beforeLeaf();
        colours.paint(canvas.surface);
        return true;
    });
}

// The last colours of the device pixels a quiet corner triangle a few
// pixels across reaches, found from its last block back to its first: most
// pixels a block reaches, a later block reaches too, so its walk need only
// look for the others. A grid of kSide by kSide pixels from the triangle's
// first; a triangle reaching beyond it is drawn block by block.
template <class A>
class GroupColours {
public:
    static constexpr int kSide = 24;
    // Groups are tried on triangles whose corners are at most this many
    // blocks' widths apart, which the grid holds with room.
    static constexpr int kWidestInBlocks = 6;

    // False where a part must be drawn for real, or reaches beyond the grid.
    template <class Surface>
    bool find(const Surface& surface, Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        const auto units = PartUnits::of(depth, x1, y1, x2, y2, x3, y3);
        const auto first =
            units ? surface.pixelBlock(units->xs.low, units->ys.low, units->xs.low, units->ys.low) : std::nullopt;
        if (!first)
            return false;
        left_ = first->firstColumn;
        top_ = first->firstRow;
        for (int i = 0; i < knownCount_; ++i)
            pixels_[known_[i]].known = false;
        knownCount_ = 0;
        return findBack(surface, depth, x1, y1, x2, y2, x3, y3);
    }

    template <class Surface>
    void paint(Surface& s) const
    {
        for (int i = 0; i < knownCount_; ++i) {
            const Pixel& p = pixels_[known_[i]];
            s.drawLine(kLineWithColour, p.x, p.y, p.x, p.y, p.colour);
        }
    }

private:
    using Whole = decltype(A::rounded(Coord{}));
    struct Pixel {
        bool known = false;
        Whole x{}, y{};  // a point of it
        Colour colour = 0;
    };

    Pixel* at(int column, int row)
    {
        const int c = column - left_, r = row - top_;
        return c >= 0 && r >= 0 && c < kSide && r < kSide ? &pixels_[r * kSide + c] : nullptr;
    }

    // The part's pixels, last corner triangle first, down to the parts
    // within a block.
    template <class Surface>
    bool findBack(const Surface& surface, Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        const auto units = PartUnits::of(depth, x1, y1, x2, y2, x3, y3);
        if (!units)
            return false;
        const int widestBlock = surface.widestBlock();
        if (units->xs.high - units->xs.low <= widestBlock && units->ys.high - units->ys.low <= widestBlock)
            if (const auto block = units->block(surface)) {
                if (subtreeYields<3>(depth) != kEndless)
                    return findInBlock(*block, *units, depth, x1, y1, x2, y2, x3, y3);
                // Whose yields overflow, the drawing descends for real, and
                // waits in a part within one pixel (collapseSubtree).
                if (units->withinOnePixel(*block))
                    return false;
            }
        if (depth < 1)
            return false;
        const auto partXs = cornerTrianglesOnAxis<A>(x1, x2, x3), partYs = cornerTrianglesOnAxis<A>(y1, y2, y3);
        for (int i = 2; i >= 0; --i)
            if (!findBack(surface, static_cast<Int16>(depth - 1), partXs[i][0], partYs[i][0], partXs[i][1],
                          partYs[i][1], partXs[i][2], partYs[i][2]))
                return false;
        return true;
    }

    template <class Block>
    bool findInBlock(const Block& block, const PartUnits& units, Int16 depth, Coord x1, Coord y1, Coord x2,
                     Coord y2, Coord x3, Coord y3)
    {
        Pixel* pixels[4];
        unsigned known = 0;
        for (unsigned i = 0; i < 4; ++i) {
            pixels[i] = at(block.firstColumn + static_cast<int>(i & 1), block.firstRow + static_cast<int>(i >> 1));
            if (!pixels[i])
                return false;
            known |= pixels[i]->known ? 1u << i : 0u;
        }
        // Within one pixel, the last leaf's last write, as collapseSubtree
        // draws it.
        if (units.withinOnePixel(block)) {
            if (!pixels[0]->known)
                settle(pixels[0], A::rounded(x3), A::rounded(y3), figureInfo(Figure::SierpinskiTriangle).colours[2]);
            return true;
        }
        if (known == 0b1111)
            return true;
        BlockColours<A, Block> colours(block, units.xs, units.ys);
        if (!colours.find(depth, x1, y1, x2, y2, x3, y3, known))
            return false;
        colours.forEachFound([&](unsigned i, const auto& p) { settle(pixels[i], p.x, p.y, p.colour); });
        return true;
    }

    void settle(Pixel* pixel, Whole x, Whole y, Colour colour)
    {
        *pixel = {true, x, y, colour};
        known_[knownCount_++] = static_cast<int>(pixel - pixels_);
    }

    int left_ = 0, top_ = 0;
    Pixel pixels_[kSide * kSide];
    // Those known, in the order found, so that a group costs what it reaches.
    int known_[kSide * kSide];
    int knownCount_ = 0;
};

// A corner triangle a few pixels across whose every yield is quiet is drawn
// as the colours it leaves in its pixels (GroupColours).
template <class A, class Surface, class Events>
[[gnu::noinline]] bool collapseQuietGroup(Canvas<Surface, Events>& canvas, Int16 depth, Coord x1, Coord y1,
                                          Coord x2, Coord y2, Coord x3, Coord y3)
{
    // One grid a thread, too large for every frame. A press nested in this
    // one's wait before its leaf (a paced drawing) finds it in use and draws
    // block by block.
    static thread_local GroupColours<A> colours;
    static thread_local bool inUse = false;
    if (inUse)
        return false;
    inUse = true;
    struct Release {
        ~Release() { inUse = false; }
    } release;
    auto find = [&] { return colours.find(canvas.surface, depth, x1, y1, x2, y2, x3, y3); };
    auto paint = [&] {
        canvas.beforeLeaf();
        colours.paint(canvas.surface);
    };
    // In the window's triangle from the count 48 on, a group's yields
    // overflow; it then stands for its parts that fit, as the real descent
    // would skip them.
    if (subtreeYields<3>(depth) == kEndless)
        return skipOverflowingSubtree<3>(canvas, depth, find, paint);
    return skipSubtree<3>(canvas, depth, [&] {
        if (!find())
            return false;
        paint();
        return true;
    });
}

template <class A, class Surface, class Events>
inline bool collapseCorner(Canvas<Surface, Events>& canvas, Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2,
                           Coord x3, Coord y3)
{
    if constexpr (!LocatesPixels<Surface>::value || !OffersQuietYields<Events>::value) {
        return false;
    } else {
        // Most triangles are far too large, as two of their corners tell: the
        // whole units a span rounds into reach at least its length less 1.
        const auto widest = static_cast<Coord>(canvas.surface.widestBlock() + 1);
        const Coord widestGroup = widest * GroupColours<A>::kWidestInBlocks;
        if (depth < kShallowestCollapse || std::fabs(x2 - x1) > widestGroup || std::fabs(y3 - y1) > widestGroup)
            return false;
        if (std::fabs(x2 - x1) <= widest && std::fabs(y3 - y1) <= widest)
            return collapseSmallCorner<A>(canvas, depth, x1, y1, x2, y2, x3, y3);
        return depth >= kShallowestGroup && collapseQuietGroup<A>(canvas, depth, x1, y1, x2, y2, x3, y3);
    }
}

}  // namespace triangle_detail

// `Depth` is `const Int16&` for the top-level call, which reads the
// window's count afresh before each corner triangle, and `Int16` below it,
// where nothing else can reach the depth. `A` computes the centroids,
// midpoints and rounded corners: Extended, or InDouble where that gives the
// same values.
template <class Depth, class A = triangle_detail::Extended, class Surface, class Events>
void subdivideTriangle(Canvas<Surface, Events>& canvas, Depth depth, Coord x1, Coord y1, Coord x2, Coord y2,
                Coord x3, Coord y3)
{
    using namespace triangle_detail;
    // A corner triangle may stand in for its whole subtree; deciding here,
    // before anything of it happens, decides as its parent would.
    if constexpr (!std::is_reference_v<Depth>) {
        // Every corner below rounds within the drift bound's units, and
        // there nothing can fault.
        if (skipOutOfView<3>(canvas, depth, [&](const auto&) -> std::optional<UnitBox> {
                const auto xs = reachableUnits(depth, x1, x2, x3), ys = reachableUnits(depth, y1, y2, y3);
                if (!xs || !ys)
                    return std::nullopt;
                return UnitBox{xs->low, ys->low, xs->high, ys->high};
            }))
            return;
        if (collapseCorner<A>(canvas, depth, x1, y1, x2, y2, x3, y3))
            return;
    }
    const NestingLevel level(canvas.state);

    if (depth == 0) {
        canvas.beforeLeaf();
        sides(canvas.surface, A::rounded(x1), A::rounded(y1), A::rounded(x2), A::rounded(y2), A::rounded(x3),
              A::rounded(y3));
        return;
    }
    // Only a nested press storing 0 under a subdividing top level gets here:
    // such a corner triangle would never reach its leaves.
    if (depth < 0)
        return;

    const Coord cx = A::centroid(x1, x2, x3);
    const Coord cy = A::centroid(y1, y2, y3);
    const Coord p1x = A::midpoint(cx, x1);
    const Coord p1y = A::midpoint(cy, y1);
    const Coord p2x = A::midpoint(cx, x2);
    const Coord p2y = A::midpoint(cy, y2);
    const Coord p3x = A::midpoint(cx, x3);
    const Coord p3y = A::midpoint(cy, y3);

    if constexpr (!std::is_reference_v<Depth>) {
        if (depth == 1) {
            // The six corners of the three leaves, each rounded once.
            const auto v1x = A::rounded(x1), v1y = A::rounded(y1), v2x = A::rounded(x2), v2y = A::rounded(y2);
            const auto v3x = A::rounded(x3), v3y = A::rounded(y3);
            const auto m1x = A::rounded(p1x), m1y = A::rounded(p1y), m2x = A::rounded(p2x), m2y = A::rounded(p2y);
            const auto m3x = A::rounded(p3x), m3y = A::rounded(p3y);
            drawLastLevel(canvas, [&] {
                canvas.beforeLeaf();
                sides(canvas.surface, v1x, v1y, m3x, m3y, m2x, m2y);
                canvas.beforeLeaf();
                sides(canvas.surface, m3x, m3y, v2x, v2y, m1x, m1y);
                canvas.beforeLeaf();
                sides(canvas.surface, m2x, m2y, m1x, m1y, v3x, v3y);
            });
            return;
        }
    }
    subdivideTriangle<Int16, A>(canvas, sub(depth, 1), x1, y1, p3x, p3y, p2x, p2y);
    subdivideTriangle<Int16, A>(canvas, sub(depth, 1), p3x, p3y, x2, y2, p1x, p1y);
    subdivideTriangle<Int16, A>(canvas, sub(depth, 1), p2x, p2y, p1x, p1y, x3, y3);
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
            subdivideTriangle<const Int16&, decltype(arithmetic)>(canvas, canvas.state.iterations, v[0][0],
                                                                    v[0][1], v[1][0], v[1][1], v[2][0], v[2][1]);
        };
        if (inDoubleIsExact(v))
            drawWith(InDouble{});
        else
            drawWith(Extended{});
    }
};

}  // namespace velmoran
