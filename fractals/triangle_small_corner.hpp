#pragma once

// A corner triangle within two by two device pixels, drawn at once: within
// one pixel as one of its leaves, which leaves the pixel as all of them do
// (C10 in docs/exactness.md); within two by two as the last colours the walk
// back from its last leaf finds (BlockColours). Its yields are accounted
// for at once (C6).

#include <optional>
#include <type_traits>

#include "core/canvas.hpp"
#include "fractals/triangle_arithmetic.hpp"
#include "fractals/triangle_block_colours.hpp"
#include "fractals/triangle_leaf.hpp"
#include "fractals/triangle_part_units.hpp"

namespace velmoran::triangle_detail {

// A corner triangle `depth` levels deep whose leaves all round into one
// device pixel is drawn as one of them (collapseSubtree; C6, C10); one
// within two by two pixels, as the colours its leaves leave there
// (skipSubtree; C6, BlockColours). Out of line: inlined, it slows the
// recursion where nothing can be collapsed.
template <class Surface, class Events>
[[gnu::noinline]] bool collapseSmallCorner(Canvas<Surface, Events>& canvas, Int16 depth, Coord x1, Coord y1,
                                           Coord x2, Coord y2, Coord x3, Coord y3)
{
    const auto units = PartUnits::of(depth, x1, y1, x2, y2, x3, y3);
    const auto block = units ? units->block(canvas.surface) : std::nullopt;
    if (!block)
        return false;  // not within two by two pixels: no shortcut
    if (units->withinOnePixel(*block))
        return collapseSubtree<3>(canvas, depth, [] { return true; }, [&] {  // C6, C10
            sides(canvas.surface, InDouble::rounded(x1), InDouble::rounded(y1), InDouble::rounded(x2),
                  InDouble::rounded(y2), InDouble::rounded(x3), InDouble::rounded(y3));
        });
    return skipSubtree<3>(canvas, depth, [&] {  // C6, and BlockColours's claims
        BlockColours<std::decay_t<decltype(*block)>> colours(*block, units->xs, units->ys);
        if (!colours.find(depth, x1, y1, x2, y2, x3, y3))
            return false;
        canvas.beforeLeaf();
        colours.paint(canvas.surface);
        return true;
    });
}

}  // namespace velmoran::triangle_detail
