#pragma once

// A leaf of the triangle: the three sides it draws, and the same writes
// seen last first, as the walks back from a part's last leaf read them.
// The two are one fact written twice: leafWritesLastFirst() is sides()
// reversed, each side drawn from its first corner to its second, so a
// change to the order of the sides, their corners or their colours must be
// made to both (a unit test records sides() and holds the two together;
// C9 in docs/exactness.md).

#include "core/drawing_surface.hpp"
#include "core/numeric.hpp"
#include "fractals/figure_table.hpp"

namespace velmoran::triangle_detail {

// The three sides of a triangle of the last level, each in its colour; the
// corners are already whole, and stay Int16s where InDouble::rounded made
// them so.
template <class Surface, class Whole>
inline void sides(Surface& s, Whole x1, Whole y1, Whole x2, Whole y2, Whole x3, Whole y3)
{
    constexpr const Colour* colours = figureInfo(Figure::SierpinskiTriangle).colours;
    s.drawLine(LineKind::SegmentInOwnColour, x1, y1, x2, y2, colours[0]);
    s.drawLine(LineKind::SegmentInOwnColour, x2, y2, x3, y3, colours[1]);
    s.drawLine(LineKind::SegmentInOwnColour, x1, y1, x3, y3, colours[2]);
}

// A leaf's writes where its corners round within two by two pixels, last
// first: each side is then drawn as its two end pixels, from its first
// corner to its second (C9), so the third side's ends come last and the
// first side's ends are both drawn over (by the second side at x2, the
// third at x1).
template <class Note>
void leafWritesLastFirst(Coord x1, Coord y1, Coord x2, Coord y2, Coord x3, Coord y3, Note&& note)
{
    constexpr const Colour* colours = figureInfo(Figure::SierpinskiTriangle).colours;
    note(x3, y3, colours[2]);
    note(x1, y1, colours[2]);
    note(x3, y3, colours[1]);
    note(x2, y2, colours[1]);
}

}  // namespace velmoran::triangle_detail
