#pragma once

#include <string_view>

#include "core/window_state.hpp"

namespace velmoran {

// How one button press ended.
struct PressOutcome {
    enum class Status { Done, Failed, Ended, Stopped };
    Status status = Status::Done;
    ErrorKind error = ErrorKind::Overflow;  // meaningful when Failed

    static PressOutcome done() { return {}; }
    static PressOutcome failed(ErrorKind kind) { return {Status::Failed, kind}; }
    static PressOutcome ended() { return {Status::Ended, ErrorKind::Overflow}; }
    static PressOutcome stopped() { return {Status::Stopped, ErrorKind::Overflow}; }
    bool operator==(const PressOutcome& o) const
    {
        return status == o.status && (status != Status::Failed || error == o.error);
    }
};

// The selector's text as a count: its leading number, then the Int16
// conversion. A negative count is refused (it could never finish drawing).
Int16 readCount(std::string_view text);

// The flow every draw button shares: read the count, store it, clear the
// area, then run the figure's own step. This is the one place a press's
// errors are caught; a press nested inside this one (run while it yields to
// events) has already caught its own.
template <class Surface, class FigureStep>
PressOutcome runPress(WindowState& state, Surface& surface, std::string_view text, FigureStep&& figureStep)
{
    if (state.ending)
        return PressOutcome::ended();
    struct Running {
        WindowState& state;
        explicit Running(WindowState& s) : state(s) { ++state.runningPresses; }
        ~Running()
        {
            --state.runningPresses;
            if (state.stopBelow > state.runningPresses)
                state.stopBelow = state.runningPresses;
        }
    } running(state);
    try {
        state.count = readCount(text);
        surface.clear();
        figureStep();
        return PressOutcome::done();
    } catch (const RuntimeError& error) {
        return PressOutcome::failed(error.kind());
    } catch (const ProgramEnding&) {
        return PressOutcome::ended();
    } catch (const DrawingStopped&) {
        return PressOutcome::stopped();
    }
}

}  // namespace velmoran
