#pragma once

// The Koch curve: a segment replaced by four, the middle third raised into
// the two sides of an equilateral bump to the left of the direction of
// travel (upward for a segment drawn left to right, y growing downward).

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <type_traits>
#include <unordered_map>

#include "core/canvas.hpp"
#include "fractals/figure_table.hpp"

namespace velmoran {

namespace koch_detail {

// Int16((2 * near + far) / 3): the point a third of the way from `near`.
inline Int16 third(Int16 near, Int16 far)
{
    return static_cast<Int16>(nearestThird(add(mul(2, near), far)));
}

// The apex coordinate: the half-sum of the ends, moved by a sixth of the
// rounded rise times the square root of 3. The rise is rounded before the
// division, so the offset moves in sixths of a unit, which is why the result
// can be worked out in integers (C2 in docs/exactness.md).
inline Int16 apex(Int16 a, Int16 b, Int16 riseFrom, Int16 riseTo, bool subtract)
{
    const int sum = add(a, b);
    const double raised = checkedFp(sub(riseTo, riseFrom) * std::sqrt(3));
    const int rise = static_cast<int>(roundHalfEven(raised));
    return static_cast<Int16>(nearestSixth(subtract ? 3 * sum - rise : 3 * sum + rise));
}

// A third of the way along, the apex, two thirds of the way along.
struct InnerPoints {
    Int16 ax, ay, tx, ty, bx, by;
};

// A segment of no length whose inner points are its point, as long as three
// times each coordinate fits: so is every part of it, at any depth (C8 in
// docs/exactness.md). Past the first few levels almost every segment is one.
inline bool staysAPoint(Int16 x1, Int16 y1, Int16 x2, Int16 y2)
{
    constexpr Int16 kThird = INT16_MAX / 3;
    return x1 == x2 && y1 == y2 && x1 >= -kThird && x1 <= kThird && y1 >= -kThird && y1 <= kThird;
}

inline InnerPoints innerPoints(Int16 x1, Int16 y1, Int16 x2, Int16 y2)
{
    if (staysAPoint(x1, y1, x2, y2))
        return {x1, y1, x1, y1, x1, y1};
    return {third(x1, x2), third(y1, y2), apex(x1, x2, y1, y2, false), apex(y1, y2, x1, x2, true),
            third(x2, x1), third(y2, y1)};
}

// Where the segments `depth` levels below a segment can lie: the box of
// all their ends, or none where that is not worked out. third() commutes
// with any whole shift and apex() with an even one (its ties go to the even
// unit), so the segments below depend on the segment's shape and its
// start's parity alone, shifted; each shape's box is worked out once, by
// the rule itself. Only where every end stays within a third of the Int16
// range, so nothing below can overflow.
inline std::optional<UnitBox> reach(Int16 x1, Int16 y1, Int16 x2, Int16 y2, int depth)
{
    constexpr int kWidest = 2047, kDeepest = 31;
    const int dx = x2 - x1, dy = y2 - y1;
    if (depth < 0 || depth > kDeepest || std::abs(dx) > kWidest || std::abs(dy) > kWidest)
        return std::nullopt;
    struct Shape {
        static std::optional<UnitBox> box(int px, int py, int dx, int dy, int depth)
        {
            if (std::abs(dx) > kWidest || std::abs(dy) > kWidest)
                return std::nullopt;
            if (depth == 0 || (dx == 0 && dy == 0))
                return UnitBox{px + std::min(0, dx), py + std::min(0, dy), px + std::max(0, dx), py + std::max(0, dy)};
            thread_local std::unordered_map<std::uint32_t, std::optional<UnitBox>> known;
            const auto key = static_cast<std::uint32_t>(dx + kWidest + 1)
                             | static_cast<std::uint32_t>(dy + kWidest + 1) << 12
                             | static_cast<std::uint32_t>(px) << 24 | static_cast<std::uint32_t>(py) << 25
                             | static_cast<std::uint32_t>(depth) << 26;
            if (const auto found = known.find(key); found != known.end())
                return found->second;
            const auto x2 = static_cast<Int16>(px + dx), y2 = static_cast<Int16>(py + dy);
            const auto [ax, ay, tx, ty, bx, by] =
                innerPoints(static_cast<Int16>(px), static_cast<Int16>(py), x2, y2);
            const Int16 ends[5][2] = {{static_cast<Int16>(px), static_cast<Int16>(py)}, {ax, ay}, {tx, ty}, {bx, by},
                                      {x2, y2}};
            std::optional<UnitBox> all;
            for (int i = 0; i < 4; ++i) {
                const int sx = ends[i][0] & 1, sy = ends[i][1] & 1;
                const auto part = box(sx, sy, ends[i + 1][0] - ends[i][0], ends[i + 1][1] - ends[i][1], depth - 1);
                if (!part) {
                    all.reset();
                    break;
                }
                const int shiftX = ends[i][0] - sx, shiftY = ends[i][1] - sy;
                const UnitBox shifted{part->left + shiftX, part->top + shiftY, part->right + shiftX,
                                      part->bottom + shiftY};
                all = i == 0 ? shifted
                             : UnitBox{std::min(all->left, shifted.left), std::min(all->top, shifted.top),
                                       std::max(all->right, shifted.right), std::max(all->bottom, shifted.bottom)};
            }
            return known[key] = all;
        }
    };
    const int px = x1 & 1, py = y1 & 1;
    const auto box = Shape::box(px, py, dx, dy, depth);
    if (!box)
        return std::nullopt;
    const int shiftX = x1 - px, shiftY = y1 - py;
    constexpr int kThird = INT16_MAX / 3;
    const UnitBox shifted{box->left + shiftX, box->top + shiftY, box->right + shiftX, box->bottom + shiftY};
    if (shifted.left < -kThird || shifted.top < -kThird || shifted.right > kThird || shifted.bottom > kThird)
        return std::nullopt;
    return shifted;
}

}  // namespace koch_detail

// `Depth` is `const Int16&` for a top-level call (the window's count,
// reread before each of the four parts) and `Int16` below it.
template <class Depth, class Surface, class Events>
void subdivideSegment(Canvas<Surface, Events>& canvas, Depth depth, Int16 x1, Int16 y1, Int16 x2, Int16 y2)
{
    using namespace koch_detail;
    const NestingLevel level(canvas.state);

    Surface& s = canvas.surface;
    s.setDrawingColour(kKochColour);
    if (depth == 0) {
        canvas.beforeLeaf();
        s.drawLine(LineKind::SegmentInDrawingColour, x1, y1, x2, y2, 0);
        return;
    }
    if (depth < 0)  // see subdivideTriangle
        return;

    const auto [ax, ay, tx, ty, bx, by] = innerPoints(x1, y1, x2, y2);

    if constexpr (!std::is_reference_v<Depth>) {
        if (depth == 1) {
            auto leaf = [&](Int16 xa, Int16 ya, Int16 xb, Int16 yb) {
                s.setDrawingColour(kKochColour);
                canvas.beforeLeaf();
                s.drawLine(LineKind::SegmentInDrawingColour, xa, ya, xb, yb, 0);
            };
            drawLastLevel(canvas, [&] {
                leaf(x1, y1, ax, ay);
                leaf(ax, ay, tx, ty);
                leaf(tx, ty, bx, by);
                leaf(bx, by, x2, y2);
            });
            return;
        }
    }
    auto part = [&canvas, &s, &depth](Int16 xa, Int16 ya, Int16 xb, Int16 yb) {
        const Int16 partDepth = sub(depth, 1);
        // Its ends are ends of its leaves: where they show, so does it,
        // and its reach need not be worked out.
        if (skipOutOfView<4>(canvas, partDepth, [=](const auto& view) -> std::optional<UnitBox> {
                if (!view.missesView(std::min(xa, xb), std::min(ya, yb), std::max(xa, xb), std::max(ya, yb)))
                    return std::nullopt;
                return reach(xa, ya, xb, yb, partDepth);
            }))
            return;
        const bool collapsed = collapseSubtree<4>(
            canvas, partDepth, [=] { return staysAPoint(xa, ya, xb, yb); },
            [&s, xa, ya] {
                s.setDrawingColour(kKochColour);
                s.drawLine(LineKind::SegmentInDrawingColour, xa, ya, xa, ya, 0);
            });
        if (!collapsed)
            subdivideSegment<Int16>(canvas, partDepth, xa, ya, xb, yb);
    };
    part(x1, y1, ax, ay);
    part(ax, ay, tx, ty);
    part(tx, ty, bx, by);
    part(bx, by, x2, y2);
    canvas.yieldToEvents();
}

// One curve at mid-height, 10 units inside either side edge. The three size
// reads and conversions keep their historical order.
template <>
struct FigureRenderer<Figure::KochCurve> {
    template <class Surface, class Events>
    static void draw(Canvas<Surface, Events>& canvas)
    {
        Surface& s = canvas.surface;
        const Coord firstHeight = s.heightInUnits();
        const Coord width = s.widthInUnits();
        const Coord secondHeight = s.heightInUnits();
        const Int16 y2 = toInt16(checkedFp(static_cast<double>(secondHeight) / 2, secondHeight));
        const Int16 x2 = toInt16(checkedFp(static_cast<double>(width) - 10, width));
        const Int16 y1 = toInt16(checkedFp(static_cast<double>(firstHeight) / 2, firstHeight));
        subdivideSegment<const Int16&>(canvas, canvas.state.count, 10, y1, x2, y2);
    }
};

}  // namespace velmoran
