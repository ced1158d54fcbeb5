#pragma once

// The Sierpinski triangle: a triangle split into its three corner triangles
// of half the size, as deep as the count says; only the last level is drawn,
// three sides in three fixed colours.

#include <algorithm>
#include <cmath>
#include <optional>
#include <type_traits>

#include "core/canvas.hpp"
#include "fractals/figure_table.hpp"

namespace velmoran {

namespace triangle_detail {

// roundHalfEven() of a Coord, in single precision: below 2^23, adding and taking
// away 2^23 rounds the magnitude to a whole number, ties to even; from 2^23
// on (infinities and NaN too) the value is already whole.
inline Coord whole(Coord v)
{
    const Coord magnitude = std::fabs(v);
    if (!(magnitude < 8388608.0f))
        return v;
    return std::copysign((magnitude + 8388608.0f) - 8388608.0f, v);
}

// The centroid, the midpoints and the rounded corners as the figure's rule
// computes them.
struct Extended {
    // The centroid coordinate: the sum of three Coords in extended
    // precision, divided by 3, checked, then stored.
    static Coord centroid(Coord a, Coord b, Coord c)
    {
        const long double third = (static_cast<long double>(a) + b + c) / 3;
        return static_cast<Coord>(checkedFp(third, a, b, c));
    }

    // The midpoint of the side opposite vertex v, reached through the
    // centroid (1.5 C - 0.5 V, in extended precision), stored as a Coord and
    // then checked so that an overflow in the narrowing is caught too. It can
    // differ from the plain mean of the other two vertices in its last bit:
    // that is how the figure has always come out.
    static Coord midpoint(Coord c, Coord v)
    {
        const long double exact = static_cast<long double>(v) * -0.5L + static_cast<long double>(c) * 1.5L;
        return checkedFp(static_cast<Coord>(exact), c, v);
    }

    static Coord rounded(Coord v) { return whole(v); }
};

// The same values, several times quicker, for a figure whose every corner,
// centroid and midpoint lies from 1 to 32767 (docs/exactness.md). Its rounded
// corners are Int16s, so the drawing area's whole-number tests fold away.
struct InDouble {
    static Coord centroid(Coord a, Coord b, Coord c)
    {
        return static_cast<Coord>((static_cast<double>(a) + b + c) / 3);
    }
    static Coord midpoint(Coord c, Coord v)
    {
        return static_cast<Coord>(static_cast<double>(v) * -0.5 + static_cast<double>(c) * 1.5);
    }
    static Int16 rounded(Coord v) { return static_cast<Int16>((v + 8388608.0f) - 8388608.0f); }
};

// Whether InDouble draws the figure from these corners exactly as Extended
// does: the corners' box, widened by the most the midpoints can drift over
// kMaxNesting levels, lies within [1, 32767] on both axes.
inline bool inDoubleIsExact(const Coord (&corners)[3][2])
{
    constexpr double kDrift = kMaxNesting * 3.0 / 16777216.0;
    for (int axis = 0; axis < 2; ++axis) {
        const double margin = std::max({corners[0][axis], corners[1][axis], corners[2][axis]}) * kDrift;
        for (const auto& corner : corners)
            if (!(corner[axis] - margin >= 1 && corner[axis] + margin <= 32767))  // NaN fails
                return false;
    }
    return true;
}

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

// How far the corners of the triangles `levels` subdivisions down may lie
// outside their ancestor's corners' box, on an axis where its largest
// coordinate is `largest` (docs/exactness.md).
inline double drift(Int16 levels, double largest) { return levels * (3.0 / 16777216.0) * largest; }

// Whole units from `low` to `high`.
struct UnitRange {
    int low, high;
};

// On one axis, whole units that include every one the corners of the
// triangles `levels` subdivisions below these can round to: a value in
// [v, w] rounds, whichever way a tie goes, into [ceil(v - 1/2), floor(w +
// 1/2)]. Only where they are from 0 to 32767.
inline std::optional<UnitRange> reachableUnits(Int16 levels, Coord a, Coord b, Coord c)
{
    const Coord low = std::min(a, std::min(b, c));
    const Coord high = std::max(a, std::max(b, c));
    const double margin = drift(levels, high);  // high is the largest where first >= 0
    const double first = low - margin - 0.5;
    const double last = high + margin + 0.5;
    if (!(first >= 0 && last < 32768))  // NaN fails too
        return std::nullopt;
    const int below = static_cast<int>(first);
    return UnitRange{below + (below < first), static_cast<int>(last)};
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
    bool find(Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        reachable_ = pixelsWithin(depth, x1, y1, x2, y2, x3, y3);
        stepsLeft_ = 8 * (depth + 4);
        return walk(depth, x1, y1, x2, y2, x3, y3);
    }

    // Each pixel reached, drawn in its last colour.
    template <class Surface>
    void paint(Surface& s) const
    {
        for (unsigned i = 0; i < 4; ++i)
            if (found_ & (1u << i))
                s.drawLine(kLineWithColour, pixels_[i].x, pixels_[i].y, pixels_[i].x, pixels_[i].y,
                           pixels_[i].colour);
    }

private:
    using Whole = decltype(A::rounded(Coord{}));
    struct Pixel {
        Whole x{}, y{};  // a point of it
        Colour colour = 0;
    };
    static constexpr const Colour* kColours = figureInfo(Figure::SierpinskiTriangle).colours;

    // Pixels are numbered 0 to 3 across, then down.
    template <class Coordinate>
    unsigned column(Coordinate x) const
    {
        return x >= block_.secondColumnFrom;
    }
    template <class Coordinate>
    unsigned row(Coordinate y) const
    {
        return y >= block_.secondRowFrom;
    }

    // The pixels, as bits, that a part `levels` deep with these corners can
    // reach: a value from a half below a second column's (row's) first unit
    // on may round into it, and one up to there may round below it.
    unsigned pixelsWithin(Int16 levels, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3) const
    {
        const double xDrift = levels * xDriftPerLevel_, yDrift = levels * yDriftPerLevel_;
        const unsigned columns = (std::min(x1, std::min(x2, x3)) - xDrift <= columnsFrom_ ? 1u : 0u)
                                 | (std::max(x1, std::max(x2, x3)) + xDrift >= columnsFrom_ ? 2u : 0u);
        const bool firstRow = std::min(y1, std::min(y2, y3)) - yDrift <= rowsFrom_;
        const bool secondRow = std::max(y1, std::max(y2, y3)) + yDrift >= rowsFrom_;
        return (firstRow ? columns : 0u) | (secondRow ? columns << 2 : 0u);
    }

    // Walking backward, the first write seen to a pixel is its last.
    void note(Whole x, Whole y, Colour colour)
    {
        const unsigned i = column(x) + 2 * row(y);
        if (found_ & (1u << i))
            return;
        found_ |= 1u << i;
        pixels_[i] = {x, y, colour};
    }

    bool walk(Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        if (--stepsLeft_ < 0)
            return false;
        if (depth == 0) {
            // The leaf's writes, last first (sides()).
            const Whole v1x = A::rounded(x1), v1y = A::rounded(y1), v2x = A::rounded(x2), v2y = A::rounded(y2);
            const Whole v3x = A::rounded(x3), v3y = A::rounded(y3);
            note(v3x, v3y, kColours[2]);
            note(v1x, v1y, kColours[2]);
            note(v3x, v3y, kColours[1]);
            note(v2x, v2y, kColours[1]);
            return true;  // the first colour is always drawn over
        }
        const Coord cx = A::centroid(x1, x2, x3);
        const Coord cy = A::centroid(y1, y2, y3);
        const Coord p1x = A::midpoint(cx, x1), p1y = A::midpoint(cy, y1);
        const Coord p2x = A::midpoint(cx, x2), p2y = A::midpoint(cy, y2);
        const Coord p3x = A::midpoint(cx, x3), p3y = A::midpoint(cy, y3);
        const auto depthBelow = static_cast<Int16>(depth - 1);
        return part(depthBelow, p2x, p2y, p1x, p1y, x3, y3) && part(depthBelow, p3x, p3y, x2, y2, p1x, p1y)
               && part(depthBelow, x1, y1, p3x, p3y, p2x, p2y);
    }

    bool part(Int16 depth, Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3)
    {
        if (found_ == reachable_)
            return true;
        const unsigned pixels = pixelsWithin(depth, x1, y1, x2, y2, x3, y3);
        if (!(pixels & ~found_))
            return true;
        // A part within one pixel leaves it in its last leaf's last colour;
        // that leaf's third corner is the part's own.
        if ((pixels & (pixels - 1)) == 0) {
            note(A::rounded(x3), A::rounded(y3), kColours[2]);
            return true;
        }
        return walk(depth, x1, y1, x2, y2, x3, y3);
    }

    const Block& block_;
    const double columnsFrom_, rowsFrom_;
    const double xDriftPerLevel_, yDriftPerLevel_;
    unsigned reachable_ = 0;
    unsigned found_ = 0;
    int stepsLeft_ = 0;
    Pixel pixels_[4];
};

// Below this, drawing a triangle costs less than finding out whether it can
// be collapsed, or walking it back.
constexpr Int16 kShallowestCollapse = 3;

// A corner triangle `depth` levels deep whose leaves all round into one
// device pixel is drawn as one of them (collapseSubtree); one within two by
// two pixels, as the colours its leaves leave there (skipSubtree). Out of
// line: inlined, it slows the recursion down by a few per cent where
// nothing can be collapsed.
template <class A, class Surface, class Events>
[[gnu::noinline]] bool collapseSmallCorner(Canvas<Surface, Events>& canvas, Int16 depth, Coord x1, Coord y1,
                                           Coord x2, Coord y2, Coord x3, Coord y3)
{
    const auto xs = reachableUnits(depth, x1, x2, x3);
    const auto ys = reachableUnits(depth, y1, y2, y3);
    if (!xs || !ys)
        return false;
    const auto block = canvas.surface.pixelBlock(xs->low, ys->low, xs->high, ys->high);
    // The ranges leave out a corner that is NaN.
    if (!block || std::isnan(x1 + x2 + x3 + y1 + y2 + y3))
        return false;
    if (block->secondColumnFrom > xs->high && block->secondRowFrom > ys->high)
        return collapseSubtree<3>(canvas, depth, [] { return true; }, [&] {
            sides(canvas.surface, A::rounded(x1), A::rounded(y1), A::rounded(x2), A::rounded(y2), A::rounded(x3),
                  A::rounded(y3));
        });
    return skipSubtree<3>(canvas, depth, [&] {
        BlockColours<A, std::decay_t<decltype(*block)>> colours(*block, *xs, *ys);
        if (!colours.find(depth, x1, y1, x2, y2, x3, y3))
            return false;
        canvas.beforeLeaf();
        colours.paint(canvas.surface);
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
        return depth >= kShallowestCollapse && std::fabs(x2 - x1) <= widest && std::fabs(y3 - y1) <= widest
               && collapseSmallCorner<A>(canvas, depth, x1, y1, x2, y2, x3, y3);
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
    if constexpr (!std::is_reference_v<Depth>)
        if (collapseCorner<A>(canvas, depth, x1, y1, x2, y2, x3, y3))
            return;
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
