#pragma once

#include "core/window_state.hpp"

namespace velmoran {

// What a renderer draws with: the shared window state, the drawing area and
// the event service. Templated on the concrete types so that the hot calls
// (a leaf's Line, DoEvents' fast path) inline; instantiate with
// DrawingSurface and DoEventsService for the plain virtual contract.
template <class Surface, class Events>
struct Canvas {
    WindowState& state;
    Surface& surface;
    Events& events;

    void DoEvents()
    {
        events.DoEvents();
        if (state.ending)
            throw ProgramEnding{};
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
            raise(ErrorKind::Stack);
        ++state.nesting;
    }
    ~NestingLevel() { --state_.nesting; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;

private:
    WindowState& state_;
};

}  // namespace velmoran
