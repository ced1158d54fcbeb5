#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "core/trace.hpp"
#include "tests/unit/doubles.hpp"
#include "tools/trace_run.hpp"

namespace velmoran::test {

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The trace of one run, as the tool would print it.
inline std::vector<std::string> trace(const std::vector<std::string>& args)
{
    const auto parsed = parseTraceArguments(args);
    if (const auto* usage = std::get_if<UsageError>(&parsed))
        return {"usage: " + usage->message};
    TraceWriter writer;
    runTrace(std::get<TraceRequest>(parsed), writer);
    return lines(writer.text());
}

// Counts events instead of keeping them, for the deep figures.
struct CountingSink final : NullSink {
    long long clears = 0, foreColours = 0, drawStyles = 0, segments = 0, boxes = 0, yields = 0, errors = 0;
    void clear() override { ++clears; }
    void foreColour(Colour) override { ++foreColours; }
    void drawStyle(Int16) override { ++drawStyles; }
    void line(LineFlags flags, Coord, Coord, Coord, Coord, Colour) override
    {
        ++(flags == kBoxWithColour ? boxes : segments);
    }
    void yielded() override { ++yields; }
    void error(ErrorKind) override { ++errors; }
};

inline CountingSink count(const std::vector<std::string>& args)
{
    CountingSink sink;
    runTrace(std::get<TraceRequest>(parseTraceArguments(args)), sink);
    return sink;
}

// A canvas over a recording surface, for calling one renderer directly.
struct Recorder {
    explicit Recorder(Coord width = 640, Coord height = 490) : surface(width, height, writer) {}
    std::vector<std::string> text() { return lines(writer.text()); }

    TraceWriter writer;
    RecordingSurface surface;
    RecordingEvents events{writer};
    WindowState state;
    Canvas<RecordingSurface, RecordingEvents> canvas{state, surface, events};
};

}  // namespace velmoran::test
