#pragma once

#include "core/numeric.hpp"

namespace velmoran {

// What a drawLine call draws. The trace writes each as the flags word of the
// call it records (4, 6 and 38); nothing else depends on those numbers.
enum class LineKind {
    SegmentInDrawingColour,  // a segment in the colour of the latest setDrawingColour
    SegmentInOwnColour,      // a segment in the colour passed with it
    BoxInOwnColour,          // the outline of an axis-aligned box, in the colour passed with it
};

// The drawing area as the renderers see it. Coordinates are in the area's
// units, origin at the top-left inner corner, y growing downward.
//
// Renderers are templates over the concrete surface type, so a `final`
// implementation has its calls inlined on the hot paths; this base is the
// contract every implementation keeps, and the type to use where speed does
// not matter.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // The area's width and height, in its units.
    virtual Coord widthInUnits() const = 0;
    virtual Coord heightInUnits() const = 0;
    // Erases the whole area to its background colour.
    virtual void clear() = 0;
    // The colour of a line drawn with LineKind::SegmentInDrawingColour.
    virtual void setDrawingColour(Colour colour) = 0;
    // Lines are drawn solid, the one style the program uses; the trace records
    // the call as "drawstyle 0".
    virtual void useSolidLines() = 0;
    // A segment from (x1, y1) to (x2, y2), or with LineKind::BoxInOwnColour the
    // axis-aligned box with those opposite corners, outlined. `colour` is
    // ignored for LineKind::SegmentInDrawingColour (callers pass 0).
    virtual void drawLine(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) = 0;
};

// Lets the window handle pending events in the middle of a drawing. Any
// handler it runs (a nested press included) runs to completion before it
// returns.
class EventService {
public:
    virtual ~EventService() = default;
    virtual void yieldToEvents() = 0;
};

}  // namespace velmoran
