#pragma once

// What the figures place once, from the surface's size, when the window is
// made: the triangle's corners. A press reads them from its WindowState, so
// a later change of size moves no figure drawn with that state.

#include "core/drawing_surface.hpp"
#include "core/numeric.hpp"
#include "core/window_state.hpp"

namespace velmoran {

namespace load_detail {
// One size-derived cell: formed in extended precision, stored as a Coord,
// then checked (so a fault in the narrowing is caught too).
inline Coord sizeCell(long double value, Coord size) { return checkedFp(static_cast<Coord>(value), size); }
}  // namespace load_detail

// Fills `triangleCorners` from the surface's size: the base 10 units above
// the bottom edge and 10 inside the side edges, the apex 10 below the top
// edge. The size is read once per cell, in this order.
inline void placeTriangleCorners(WindowState& state, DrawingSurface& surface)
{
    using load_detail::sizeCell;
    auto& v = state.triangleCorners;
    v[0][0] = 10;
    const Coord h1 = surface.heightInUnits();
    v[0][1] = sizeCell(static_cast<long double>(h1) - 10, h1);
    const Coord w1 = surface.widthInUnits();
    v[1][0] = sizeCell(static_cast<long double>(w1) - 10, w1);
    const Coord h2 = surface.heightInUnits();
    v[1][1] = sizeCell(static_cast<long double>(h2) - 10, h2);
    const Coord w2 = surface.widthInUnits();
    v[2][0] = sizeCell(static_cast<long double>(w2) / 2, w2);
    v[2][1] = 10;
}

// Readies a state for drawings on this thread and `surface`, as the window
// does when it is made: the stack's floor, then the triangle's corners.
// Raises what placing the corners raises, the floor already set.
inline void loadWindowState(WindowState& state, DrawingSurface& surface)
{
    state.stackFloor = stackFloorOfThisThread();
    placeTriangleCorners(state, surface);
}

}  // namespace velmoran
