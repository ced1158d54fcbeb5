#pragma once

// Runs of the trace engine as lines of text, for comparing drawings call by
// call.

#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/trace.hpp"
#include "tests/support/doubles.hpp"
#include "tests/support/surface_and_state.hpp"
#include "tools/trace_run.hpp"

namespace velmoran::test {

using Lines = std::vector<std::string>;

inline Lines lines(const std::string& text)
{
    Lines out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

inline Lines concat(std::initializer_list<Lines> parts)
{
    Lines out;
    for (const Lines& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A trace up to its `yields`-th yield, that one included.
inline Lines throughYield(const Lines& all, int yields)
{
    Lines out;
    for (const std::string& line : all) {
        out.push_back(line);
        if (line == "doevents" && --yields == 0)
            break;
    }
    return out;
}

// The trace of one run, as the tool would print it.
inline Lines trace(const std::vector<std::string>& args)
{
    const auto parsed = parseTraceArguments(args);
    if (const auto* usage = std::get_if<UsageError>(&parsed))
        return {"usage: " + usage->message};
    TraceWriter writer;
    runTrace(std::get<TraceRequest>(parsed), writer);
    return lines(writer.text());
}

inline CountingSink count(const std::vector<std::string>& args)
{
    CountingSink sink;
    runTrace(std::get<TraceRequest>(parseTraceArguments(args)), sink);
    return sink;
}

// The trace a surface writes to, made before the surface.
struct TraceWriterFirst {
    TraceWriter writer;
};

// A canvas over a recording surface, for calling one renderer directly or
// pressing a figure, with every yield written to the trace.
struct Recorder : TraceWriterFirst, SurfaceAndState<RecordingSurface> {
    explicit Recorder(Coord width = 640, Coord height = 490) : SurfaceAndState(width, height, writer) {}
    Lines text() { return lines(writer.text()); }
    PressOutcome press(Figure figure, std::string_view text) { return SurfaceAndState::press(events, figure, text); }

    RecordingEvents events{&writer};
    Canvas<RecordingSurface, RecordingEvents> canvas{state, surface, events};
};

}  // namespace velmoran::test
