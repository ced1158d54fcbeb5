#pragma once

// Where scale units fall in device pixels, and which pixels a segment
// lights: the arithmetic the drawing area's picture draws by, shared with a
// picture drawn only in part (CroppedSurface), so that both light the same
// pixels.

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "core/numeric.hpp"

namespace velmoran::picture::device_pixels {

// Whole unit coordinates inside the area, which is what the figures pass,
// map through a table of their device pixels, worked out once: a few
// comparisons instead of two divisions per call.
struct PixelTable {
    std::unique_ptr<int[]> pixel;  // -1 past the image's edge
    Coord size = 0;               // entries; a Coord for the range test
};

// Every whole unit from 0 up to the first that falls past the edge.
inline PixelTable makeTable(int devicePixels, Coord scale)
{
    const auto entries = static_cast<std::size_t>(std::floor(scale)) + 1;
    PixelTable table{std::make_unique<int[]>(entries), static_cast<Coord>(entries)};
    for (std::size_t i = 0; i < entries; ++i) {
        const double p = std::floor(static_cast<double>(i) * devicePixels / scale);
        table.pixel[i] = p < devicePixels ? static_cast<int>(p) : -1;
    }
    return table;
}

// The furthest apart two whole units in neighbouring pixels (or one) are.
inline int widestPair(const PixelTable& table)
{
    int widest = 0;
    const auto entries = static_cast<int>(table.size);
    for (int first = 0, second = 0; second < entries && table.pixel[second] >= 0; ++second) {
        while (table.pixel[second] - table.pixel[first] > 1)
            ++first;
        widest = std::max(widest, second - first);
    }
    return widest;
}

[[gnu::always_inline]] inline bool wholeInside(Coord v, const PixelTable& table, int& pixel)
{
    if (!(v >= 0 && v < table.size))  // NaN fails too
        return false;
    const int i = static_cast<int>(v);
    if (static_cast<Coord>(i) != v)
        return false;
    pixel = table.pixel[static_cast<std::size_t>(i)];
    return pixel >= 0;
}

// Whether whole units from `low` to `high` fall in at most two pixels,
// and from which unit on in the second (INT_MAX where one). The table's
// pixels never decrease, so its ends decide.
inline bool splitInTwo(int low, int high, const PixelTable& table, int& secondFrom)
{
    if (!(low >= 0 && low <= high && high < table.size))
        return false;
    const int firstPixel = table.pixel[static_cast<std::size_t>(low)];
    const int lastPixel = table.pixel[static_cast<std::size_t>(high)];
    if (firstPixel < 0 || lastPixel < 0 || lastPixel - firstPixel > 1)
        return false;
    secondFrom = INT_MAX;
    if (firstPixel != lastPixel)
        for (secondFrom = high; table.pixel[static_cast<std::size_t>(secondFrom - 1)] == lastPixel;)
            --secondFrom;
    return true;
}

// Bresenham from (x1, y1) to (x2, y2), both ends included: calls
// plot(x, y) for each pixel of the segment.
template <class Plot>
inline void bresenham(int x1, int y1, int x2, int y2, Plot&& plot)
{
    const int dx = x2 > x1 ? x2 - x1 : x1 - x2;
    const int dy = y2 > y1 ? y1 - y2 : y2 - y1;  // -|y2 - y1|
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int x = x1, y = y1;
    int err = dx + dy;
    for (;;) {
        plot(x, y);
        if (x == x2 && y == y2)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// The pixels bresenham() lights that lie in the box from (left, top) to
// (right, bottom), without walking the rest of the segment (C20 in
// docs/exactness.md; a unit test holds it to bresenham()).
template <class Plot>
inline void bresenhamWithin(int x1, int y1, int x2, int y2, int left, int top, int right, int bottom, Plot&& plot)
{
    if (std::max(x1, x2) < left || std::min(x1, x2) > right || std::max(y1, y2) < top || std::min(y1, y2) > bottom)
        return;
    const std::int64_t spanX = x2 > x1 ? std::int64_t{x2} - x1 : std::int64_t{x1} - x2;
    const std::int64_t spanY = y2 > y1 ? std::int64_t{y2} - y1 : std::int64_t{y1} - y2;
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    const bool acrossLonger = spanX >= spanY;
    const std::int64_t longer = acrossLonger ? spanX : spanY, shorter = acrossLonger ? spanY : spanX;
    if (longer == 0) {
        plot(x1, y1);
        return;
    }
    // The steps along the longer axis that stay between its edges of the box.
    const int from = acrossLonger ? x1 : y1, step = acrossLonger ? sx : sy;
    const int low = acrossLonger ? left : top, high = acrossLonger ? right : bottom;
    std::int64_t first = 0, last = longer;
    if (step > 0) {
        first = std::max<std::int64_t>(first, std::int64_t{low} - from);
        last = std::min<std::int64_t>(last, std::int64_t{high} - from);
    } else {
        first = std::max<std::int64_t>(first, std::int64_t{from} - high);
        last = std::min<std::int64_t>(last, std::int64_t{from} - low);
    }
    const int otherFrom = acrossLonger ? y1 : x1, otherStep = acrossLonger ? sy : sx;
    const int otherLow = acrossLonger ? top : left, otherHigh = acrossLonger ? bottom : right;
    for (std::int64_t k = first; k <= last; ++k) {
        const std::int64_t along = (2 * shorter * k + longer) / (2 * longer);
        const std::int64_t other = otherFrom + otherStep * along;
        if (other < otherLow || other > otherHigh) {
            // Past the box on the shorter axis, the rest of the segment is too.
            if ((otherStep > 0 && other > otherHigh) || (otherStep < 0 && other < otherLow))
                return;
            continue;
        }
        const int major = from + step * static_cast<int>(k);
        if (acrossLonger)
            plot(major, static_cast<int>(other));
        else
            plot(static_cast<int>(other), major);
    }
}

// Device coordinates beyond this are pulled in before clipping. Far outside
// any image, and small enough that clipping in double stays exact to well
// under a pixel.
inline constexpr double kFar = 1e9;

// The pixels a segment's ends fall in once it is clipped to a band one
// pixel wider than a `width` by `height` image on every side, so that the
// ends of a segment that only just leaves the image are not moved and its
// pixels are those of the unclipped segment; none where it misses the band.
struct PixelSegment {
    int x1, y1, x2, y2;
};
inline std::optional<PixelSegment> clipToBand(double x1, double y1, double x2, double y2, double width,
                                              double height)
{
    const double low = -1, highX = width + 1, highY = height + 1;
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    // Keeps the part of the segment where p * t <= q.
    auto keep = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double r = q / p;
        if (p < 0) {
            if (r > t1)
                return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0)
                return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    if (!keep(-dx, x1 - low) || !keep(dx, highX - x1) || !keep(-dy, y1 - low) || !keep(dy, highY - y1))
        return std::nullopt;
    const double cx1 = t0 > 0 ? x1 + t0 * dx : x1, cy1 = t0 > 0 ? y1 + t0 * dy : y1;
    const double cx2 = t1 < 1 ? x1 + t1 * dx : x2, cy2 = t1 < 1 ? y1 + t1 * dy : y2;
    auto toPixel = [low](double v, double high) { return static_cast<int>(std::floor(std::clamp(v, low, high))); };
    return PixelSegment{toPixel(cx1, highX), toPixel(cy1, highY), toPixel(cx2, highX), toPixel(cy2, highY)};
}

inline double pullIn(double v) { return std::clamp(v, -kFar, kFar); }

// A segment, or a box's four sides, between device points that may lie
// anywhere (NaN draws nothing), pulled in and handed to `segment` to clip.
template <class Segment>
void lineOrBoxPulledIn(bool box, double x1, double y1, double x2, double y2, Segment&& segment)
{
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2))
        return;
    x1 = pullIn(x1), y1 = pullIn(y1), x2 = pullIn(x2), y2 = pullIn(y2);
    if (!box) {
        segment(x1, y1, x2, y2);
        return;
    }
    segment(x1, y1, x2, y1);
    segment(x1, y2, x2, y2);
    segment(x1, y1, x1, y2);
    segment(x2, y1, x2, y2);
}

}  // namespace velmoran::picture::device_pixels
