#pragma once

// The trace tool's logic, apart from main() so the tests can drive it:
// parse the command line, load the window state on a recording surface,
// press the button, and press the scripted actions from inside yieldToEvents.

#include <cstdint>
#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "core/trace.hpp"
#include "fractals/press_figure.hpp"

namespace velmoran {

struct TraceAction {
    enum class Kind { Press, Print, Exit };
    std::uint64_t at = 0;  // the yieldToEvents call, counted from 1 over the run
    Kind kind = Kind::Press;
    Figure figure = Figure::SierpinskiTriangle;  // for Press
    std::string text;                   // for Press
};

struct TraceRequest {
    Coord width = 640;
    Coord height = 490;
    std::vector<TraceAction> actions;  // in command-line order
    Figure figure = Figure::SierpinskiTriangle;
    std::string text;
};

struct UsageError {
    std::string message;
};

// Reads the arguments after the program name.
std::variant<TraceRequest, UsageError> parseTraceArguments(const std::vector<std::string>& args);

// Runs the request, sending every event to `sink`.
void runTrace(const TraceRequest& request, TraceSink& sink);

// The whole tool: parse, run, print. Returns the exit status.
int traceMain(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

extern const std::string kTraceUsage;

}  // namespace velmoran
