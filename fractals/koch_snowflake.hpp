#pragma once

// The Koch snowflake: three Koch curves over the sides of a fixed triangle,
// traversed clockwise on screen so that every bump points outward. The only
// figure that ignores the drawing area's size.

#include "fractals/koch_curve.hpp"

namespace velmoran {

template <>
struct FigureRenderer<Figure::KochSnowflake> {
    template <class Surface, class Events>
    static void draw(Canvas<Surface, Events>& canvas)
    {
        // Each side takes the count the window holds when that side begins.
        const Int16& count = canvas.state.count;
        subdivideSegment<const Int16&>(canvas, count, 150, 120, 490, 120);
        subdivideSegment<const Int16&>(canvas, count, 490, 120, 320, 414);
        subdivideSegment<const Int16&>(canvas, count, 320, 414, 150, 120);
    }
};

}  // namespace velmoran
