#pragma once

#include "core/numeric.hpp"

namespace velmoran {

// The flags word of a Line call: 4 is always present, 2 says a colour is
// given, 32 selects box mode. Only these three combinations occur.
enum LineFlags : Int16 {
    kLineInForeColour = 4,
    kLineWithColour = 6,
    kBoxWithColour = 38,
};

// The drawing area as the renderers see it. Coordinates are in the area's
// scale units, origin at the top-left inner corner, y growing downward.
//
// Renderers are templates over the concrete surface type, so a `final`
// implementation has its calls inlined on the hot paths; this base is the
// contract every implementation keeps, and the type to use where speed does
// not matter.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual Coord scaleWidth() const = 0;
    virtual Coord scaleHeight() const = 0;
    // Erases the whole area to its background colour.
    virtual void clear() = 0;
    // The colour of a line drawn with kLineInForeColour.
    virtual void setForeColour(Colour colour) = 0;
    // 0 is solid, the only style the program writes.
    virtual void setDrawStyle(Int16 style) = 0;
    // A segment from (x1, y1) to (x2, y2), or with kBoxWithColour the
    // axis-aligned box with those opposite corners, outlined. `colour` is
    // ignored for kLineInForeColour (callers pass 0).
    virtual void drawLine(LineFlags flags, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) = 0;
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
