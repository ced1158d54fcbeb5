#pragma once

// The Koch snowflake: three Koch curves over the sides of a fixed triangle,
// traversed clockwise on screen so that every bump points outward. The only
// figure that ignores the drawing area's size.

#include "fractals/kock.hpp"

namespace velmoran {

template <class Surface, class Events>
void Command4_Click(Canvas<Surface, Events>& canvas)
{
    // Each side takes the count the window holds when that side begins.
    const Integer& count = canvas.state.iterazioni;
    Kock<const Integer&>(canvas, count, 150, 120, 490, 120);
    Kock<const Integer&>(canvas, count, 490, 120, 320, 414);
    Kock<const Integer&>(canvas, count, 320, 414, 150, 120);
}

}  // namespace velmoran
