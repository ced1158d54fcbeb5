#pragma once

// Groups of blocks found from the last back: the last colours of the device
// pixels a quiet corner triangle a few pixels across reaches, found by
// going through its parts from the last to the first, each block's walk
// looking only for the pixels no later part settled (C17 in
// docs/exactness.md), and the group drawn as those colours, its yields
// accounted for at once (C6, C18).

#include <cassert>

#include "core/canvas.hpp"
#include "fractals/figure_table.hpp"
#include "fractals/triangle_arithmetic.hpp"
#include "fractals/triangle_block_colours.hpp"
#include "fractals/triangle_part_units.hpp"
#include "fractals/triangle_reentry_guard.hpp"

namespace velmoran::triangle_detail {

// The last colours of the device pixels a quiet corner triangle a few
// pixels across reaches, found from its last block back to its first: most
// pixels a block reaches, a later block reaches too, so its walk need only
// look for the others. A grid of kSide by kSide pixels from the triangle's
// first; a triangle reaching beyond it is drawn block by block (C17).
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
            s.drawLine(LineKind::SegmentInOwnColour, p.x, p.y, p.x, p.y, p.colour);
        }
    }

private:
    using Whole = Int16;  // InDouble::rounded()
    struct Pixel {
        bool known = false;
        Whole x{}, y{};  // a point of it
        Colour colour = 0;
    };

    // The grid's pixel, or none beyond the grid.
    Pixel* at(int column, int row)
    {
        const int c = column - left_, r = row - top_;
        return c >= 0 && r >= 0 && c < kSide && r < kSide ? &pixels_[r * kSide + c] : nullptr;
    }

    // The part's pixels, last corner triangle first, down to the parts
    // within a block (C17). False: no shortcut.
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
                // waits in a part within one pixel (collapseSubtree, C6).
                if (units->withinOnePixel(*block))
                    return false;
            }
        if (depth < 1)
            return false;
        const auto partXs = cornerTrianglesOnAxis<InDouble>(x1, x2, x3), partYs = cornerTrianglesOnAxis<InDouble>(y1, y2, y3);
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
                settle(pixels[0], InDouble::rounded(x3), InDouble::rounded(y3),
                       figureInfo(Figure::SierpinskiTriangle).colours[2]);
            return true;  // C10, C17
        }
        if (known == 0b1111)
            return true;  // C17: later parts settled all four
        BlockColours<Block> colours(block, units.xs, units.ys);
        if (!colours.find(depth, x1, y1, x2, y2, x3, y3, known))
            return false;
        colours.forEachFound([&](unsigned i, const auto& p) { settle(pixels[i], p.x, p.y, p.colour); });
        return true;
    }

    // `pixel` is the grid's, not yet known.
    void settle(Pixel* pixel, Whole x, Whole y, Colour colour)
    {
        assert(pixel >= pixels_ && pixel < pixels_ + kSide * kSide && !pixel->known);
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
// as the colours it leaves in its pixels (GroupColours; C6, C17).
template <class Surface, class Events>
[[gnu::noinline]] bool collapseQuietGroup(Canvas<Surface, Events>& canvas, Int16 depth, Coord x1, Coord y1,
                                          Coord x2, Coord y2, Coord x3, Coord y3)
{
    // One grid a thread, too large for every frame, taken by one press at
    // a time.
    static thread_local GroupColours colours;
    static thread_local bool inUse = false;
    const TakenOnThisThread taken(inUse);
    if (!taken)
        return false;
    auto find = [&] { return colours.find(canvas.surface, depth, x1, y1, x2, y2, x3, y3); };
    auto paint = [&] {
        canvas.beforeLeaf();
        colours.paint(canvas.surface);
    };
    // In the window's triangle from the count 48 on, a group's yields
    // overflow; it then stands for its parts that fit, as the real descent
    // would skip them.
    if (subtreeYields<3>(depth) == kEndless)
        return skipOverflowingSubtree<3>(canvas, depth, find, paint);  // C18
    return skipSubtree<3>(canvas, depth, [&] {
        if (!find())
            return false;
        paint();
        return true;
    });
}

}  // namespace velmoran::triangle_detail
