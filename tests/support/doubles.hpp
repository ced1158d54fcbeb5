#pragma once

// Stand-ins for a run's trace sink and event service, shared by the tests
// and the benchmark.

#include "core/trace.hpp"

namespace velmoran::test {

// Takes every event and keeps none; derive and override what is needed.
class NullSink : public TraceSink {
public:
    void clear() override {}
    void foreColour(Colour) override {}
    void drawStyle(Int16) override {}
    void line(LineFlags, Coord, Coord, Coord, Coord, Colour) override {}
    void yielded() override {}
    void print() override {}
    void end() override {}
    void error(ErrorKind) override {}
};

// Yields to nothing: no event is handled, no time is taken.
class IgnoredEvents final : public EventService {
public:
    void yieldToEvents() override {}
};

// Writes each yield to a sink, where the trace tool writes "doevents".
class RecordingEvents final : public EventService {
public:
    explicit RecordingEvents(TraceSink& sink) : sink_(sink) {}
    void yieldToEvents() override { sink_.yielded(); }

private:
    TraceSink& sink_;
};

}  // namespace velmoran::test
