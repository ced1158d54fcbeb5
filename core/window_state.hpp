#pragma once

#include <cstddef>

#include "core/drawing_surface.hpp"

namespace velmoran {

// How deep renderer invocations may nest, counted over every drawing running
// at once (nested presses included). Far beyond any figure that can finish
// (3^1000 segments), and about 1 MiB of stack in a normal build (the
// triangle's frame, the deepest, at 256 bytes a level).
constexpr int kMaxNesting = 4096;

// The state the draw commands share for the window's whole life.
struct WindowState {
    // The count of the latest press that got past its conversion. Top-level
    // renderer calls hold a reference to it and reread it, so a nested press
    // changes the depth of the parts of an interrupted figure not yet begun.
    // A renderer's `depth` is not the count but the levels still to draw below
    // one invocation: the count at the top, one less on each level down.
    Int16 count = 0;
    // The triangle's corners, [vertex][0 = x, 1 = y], placed once at load
    // (placeTriangleCorners in fractals/load_window_state.hpp). Kept here
    // because every press, nested ones and the stage's thread included,
    // reads them from the state it is given.
    Coord triangleCorners[3][2] = {};

    // Renderer invocations active right now, over all running presses.
    int nesting = 0;
    // Lowest stack address a renderer may reach before it refuses to go
    // deeper; 0 where the stack's bounds are unknown.
    std::uintptr_t stackFloor = 0;
    // Set by "Esci": every running drawing unwinds at its next yieldToEvents.
    bool ending = false;

    // Presses running right now, the nested ones included; a press's index
    // is how many were running when it began, so the outermost is 0.
    int runningPresses = 0;
    // Presses whose index is below this are stopping: each unwinds at its
    // next yield. A press begun after the stop draws normally.
    int stopBelow = 0;
};

// Stops every drawing in progress, leaving what each has drawn.
inline void stopDrawings(WindowState& state) { state.stopBelow = state.runningPresses; }

// The lowest address this thread's stack may grow to, less a safety margin
// for the code that runs between two renderer invocations (event dispatch,
// message boxes); 0 if unknown.
std::uintptr_t stackFloorOfThisThread();

}  // namespace velmoran
