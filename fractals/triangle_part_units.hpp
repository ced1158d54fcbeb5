#pragma once

// The whole units a part's corners, and all the corners below it, can
// round to on both axes (C3 in docs/exactness.md), and the block of device
// pixels they fall in: what the bulk drawings ask first of every part.

#include <cmath>
#include <optional>

#include "fractals/triangle_reach.hpp"

namespace velmoran::triangle_detail {

// The whole units the corners of a part `depth` levels deep can round to
// (C3), where they lie from 0 to 32767 and no corner is NaN (the ranges
// leave a NaN out).
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

    // Whether every corner below rounds into the block's first pixel (C10).
    template <class Block>
    bool withinOnePixel(const Block& block) const
    {
        return block.secondColumnFrom > xs.high && block.secondRowFrom > ys.high;
    }
};

}  // namespace velmoran::triangle_detail
