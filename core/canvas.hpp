#pragma once

#include <type_traits>
#include <utility>

#include "core/window_state.hpp"

namespace velmoran {

namespace detail {
template <class T, class = void>
struct IsSurface : std::false_type {};
template <class T>
struct IsSurface<T, std::void_t<decltype(Single{std::declval<const T&>().scaleWidth()}),
                                decltype(Single{std::declval<const T&>().scaleHeight()}),
                                decltype(std::declval<T&>().clear()),
                                decltype(std::declval<T&>().setForeColour(Colour{})),
                                decltype(std::declval<T&>().setDrawStyle(Integer{})),
                                decltype(std::declval<T&>().drawLine(kLineWithColor, Single{}, Single{}, Single{},
                                                                     Single{}, Colour{}))>> : std::true_type {};

template <class T, class = void>
struct IsEventService : std::false_type {};
template <class T>
struct IsEventService<T, std::void_t<decltype(std::declval<T&>().yieldToEvents())>> : std::true_type {};
}  // namespace detail

// What a renderer draws with: the shared window state, the drawing area and
// the event service. Templated on the concrete types so that the hot calls
// (a leaf's drawLine, the fast path of yieldToEvents) inline; instantiate
// with DrawingSurface and EventService for the plain virtual contract.
template <class Surface, class Events>
struct Canvas {
    static_assert(detail::IsSurface<Surface>::value,
                  "a surface offers what DrawingSurface declares: scaleWidth, scaleHeight, clear, "
                  "setForeColour, setDrawStyle and drawLine");
    static_assert(detail::IsEventService<Events>::value, "an event service offers yieldToEvents()");

    WindowState& state;
    Surface& surface;
    Events& events;
    // Which of the running presses draws on this canvas.
    int pressIndex = state.runningPresses;

    void yieldToEvents()
    {
        events.yieldToEvents();
        if (state.ending)
            throw ProgramEnding{};
        if (pressIndex < state.stopBelow)
            throw DrawingStopped{};
    }
};

// One renderer invocation. Refuses to start one more when the nesting bound
// or the stack's floor is reached, so no count can overflow the stack.
class NestingLevel {
public:
    explicit NestingLevel(WindowState& state) : state_(state)
    {
        const auto frame = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        if (state.nesting >= kMaxNesting || frame < state.stackFloor)
            throwError(ErrorKind::Stack);
        ++state.nesting;
    }
    ~NestingLevel() { --state_.nesting; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;

private:
    WindowState& state_;
};

// Draws the leaves of a one-level-from-the-bottom invocation in place of a
// call per leaf (most invocations of a deep figure are leaves), then yields
// as the invocation would. The leaves' nesting level is checked once, as the
// first leaf's call would check it.
template <class Surface, class Events, class DrawLeaves>
inline void drawLastLevel(Canvas<Surface, Events>& canvas, DrawLeaves&& drawLeaves)
{
    {
        const NestingLevel leaves(canvas.state);
        drawLeaves();
    }
    canvas.yieldToEvents();
}

}  // namespace velmoran
