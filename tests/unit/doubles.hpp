#pragma once

// Stand-ins for a run's trace sink and event service, shared by the tests
// and the benchmark.

#include "core/trace.hpp"

namespace velmoran::test {

// Takes every event and keeps none; derive and override what is needed.
class NullSink : public TraceSink {
public:
    void cls() override {}
    void foreColor(Colour) override {}
    void drawStyle(Integer) override {}
    void line(LineFlags, Single, Single, Single, Single, Colour) override {}
    void doEvents() override {}
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
    void yieldToEvents() override { sink_.doEvents(); }

private:
    TraceSink& sink_;
};

}  // namespace velmoran::test
