#pragma once

// A drawing surface and the window state loaded from it, as the window
// readies them before its first press: where every test that presses a
// figure, or calls a renderer, without a window starts.

#include <string_view>
#include <utility>

#include "core/window_state.hpp"
#include "fractals/press_figure.hpp"

namespace velmoran::test {

template <class Surface>
struct SurfaceAndState {
    template <class... SurfaceArguments>
    explicit SurfaceAndState(SurfaceArguments&&... arguments) : surface(std::forward<SurfaceArguments>(arguments)...)
    {
        loadWindowState(state, surface);
    }

    // A press of `figure` with `text` in the count box, yielding to `events`.
    template <class Events>
    PressOutcome press(Events& events, Figure figure, std::string_view text)
    {
        return pressFigure(state, surface, events, figure, text);
    }

    Surface surface;
    WindowState state;
};

}  // namespace velmoran::test
