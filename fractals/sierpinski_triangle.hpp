#pragma once

// The Sierpinski triangle: a triangle split into its three corner triangles
// of half the size, as deep as the count says; only the last level is drawn,
// three sides in three fixed colours. Here are the renderer, the choice of
// its arithmetic, and the dispatch to the bulk drawings that stand for a
// corner triangle's whole subtree; each bulk drawing, and each claim it
// rests on (docs/exactness.md), has a header of its own:
//
//   triangle_arithmetic.hpp     Extended and InDouble, and when they agree
//   triangle_leaf.hpp           a leaf's sides, and its writes last first
//   triangle_reach.hpp          bounds on where the corners below reach
//   triangle_step_spreads.hpp   the exact reach of narrow parts, by shape
//   triangle_exact_reach.hpp    the exact reach of any part
//   triangle_part_writes.hpp    what deep parts leave, kept by shape
//   triangle_block_colours.hpp  the walk back from a block's last leaf
//   triangle_part_units.hpp     a part's units and its block of pixels
//   triangle_small_corner.hpp   a part within one pixel, or two by two
//   triangle_reentry_guard.hpp  one press at a time in a thread's memory
//   triangle_groups.hpp         groups of blocks, from the last back

#include <cmath>
#include <optional>
#include <type_traits>

#include "core/canvas.hpp"
#include "fractals/figure_table.hpp"
#include "fractals/triangle_arithmetic.hpp"
#include "fractals/triangle_groups.hpp"
#include "fractals/triangle_leaf.hpp"
#include "fractals/triangle_reach.hpp"
#include "fractals/triangle_small_corner.hpp"

namespace velmoran {

namespace triangle_detail {

// Below this, drawing a triangle costs less than finding out whether it can
// be collapsed, or walking it back.
constexpr Int16 kShallowestCollapse = 3;
// Below this, a group of corner triangles has too few blocks to share
// pixels.
constexpr Int16 kShallowestGroup = kShallowestCollapse + 3;

// Whether a corner triangle was drawn at once, in bulk, as what it leaves:
// within two by two pixels (collapseSmallCorner) or as a group of blocks a
// few pixels across (collapseQuietGroup). Every test here is a heuristic,
// which only ever answers "no shortcut": the bulk drawings decide for
// themselves on their claims. Only InDouble's arithmetic has its claims
// argued and tested (docs/exactness.md): under Extended (a figure beyond the
// window's units, C4) the triangle is drawn for real, and no surface that
// locates pixels has such units.
template <class A, class Surface, class Events>
inline bool collapseCorner(Canvas<Surface, Events>& canvas, Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2,
                           Coord x3, Coord y3)
{
    if constexpr (!std::is_same_v<A, InDouble> || !LocatesPixels<Surface>::value
                  || !OffersQuietYields<Events>::value) {
        return false;
    } else {
        // Most triangles are far too large, as two of their corners tell: the
        // whole units a span rounds into reach at least its length less 1.
        const auto widest = static_cast<Coord>(canvas.surface.widestBlock() + 1);
        const Coord widestGroup = widest * GroupColours::kWidestInBlocks;
        if (depth < kShallowestCollapse || std::fabs(x2 - x1) > widestGroup || std::fabs(y3 - y1) > widestGroup)
            return false;
        if (std::fabs(x2 - x1) <= widest && std::fabs(y3 - y1) <= widest)
            return collapseSmallCorner(canvas, depth, x1, y1, x2, y2, x3, y3);
        return depth >= kShallowestGroup && collapseQuietGroup(canvas, depth, x1, y1, x2, y2, x3, y3);
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
        // Every corner below rounds within the drift bound's units (C3), and
        // there nothing can fault (C21).
        if (skipOutOfView<3>(canvas, depth, [&](const auto&) -> std::optional<UnitBox> {
                const auto xs = reachableUnits(depth, x1, x2, x3), ys = reachableUnits(depth, y1, y2, y3);
                if (!xs || !ys)
                    return std::nullopt;
                return UnitBox{xs->low, ys->low, xs->high, ys->high};
            }))
            return;  // C21
        if (collapseCorner<A>(canvas, depth, x1, y1, x2, y2, x3, y3))
            return;  // drawn in bulk, on the claims its drawing cites
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
// decides, once for the whole figure, how it is computed (C4).
template <>
struct FigureRenderer<Figure::SierpinskiTriangle> {
    template <class Surface, class Events>
    static void draw(Canvas<Surface, Events>& canvas)
    {
        using namespace triangle_detail;
        const auto& v = canvas.state.triangleCorners;
        auto drawWith = [&](auto arithmetic) {
            subdivideTriangle<const Int16&, decltype(arithmetic)>(canvas, canvas.state.count, v[0][0],
                                                                    v[0][1], v[1][0], v[1][1], v[2][0], v[2][1]);
        };
        if (inDoubleIsExact(v))
            drawWith(InDouble{});
        else
            drawWith(Extended{});
    }
};

}  // namespace velmoran
