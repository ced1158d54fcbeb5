#pragma once

// Stand-ins for a run's trace sink and event service, shared by every test.

#include <cstdint>
#include <functional>

#include "core/contracts.hpp"
#include "core/trace.hpp"

namespace velmoran::test {

// Takes every event and keeps none; derive and override what is needed.
class NullSink : public TraceSink {
public:
    void clear() override {}
    void drawingColour(Colour) override {}
    void solidLines() override {}
    void line(LineKind, Coord, Coord, Coord, Coord, Colour) override {}
    void yielded() override {}
    void print() override {}
    void end() override {}
    void error(ErrorKind) override {}
};

// Counts events instead of keeping them, for the deep figures.
struct CountingSink final : NullSink {
    long long clears = 0, drawingColourCalls = 0, solidLineCalls = 0, segments = 0, boxes = 0, yields = 0, errors = 0;
    void clear() override { ++clears; }
    void drawingColour(Colour) override { ++drawingColourCalls; }
    void solidLines() override { ++solidLineCalls; }
    void line(LineKind kind, Coord, Coord, Coord, Coord, Colour) override
    {
        ++(kind == LineKind::BoxInOwnColour ? boxes : segments);
    }
    void yielded() override { ++yields; }
    void error(ErrorKind) override { ++errors; }
};

// Counts the yields, writes each to a sink where one is given (where the
// trace tool writes "doevents"), and hands over at every `every`-th one:
// runs `handOver`, what the person does meanwhile (a press, a stop, "Esci").
// Offers no bulk entry, so every yield is a real call.
class RecordingEvents : public EventService {
public:
    explicit RecordingEvents(TraceSink* sink = nullptr) : sink_(sink) {}

    void yieldToEvents() final
    {
        ++calls_;
        if (sink_)
            sink_->yielded();
        if (handOver && calls_ % every == 0)
            handOver();
    }
    // Yields so far, those skipped in bulk included.
    std::uint64_t calls() const { return calls_; }
    // Subtrees whose yields were skipped in bulk.
    std::uint64_t skips() const { return skips_; }

    std::function<void()> handOver;
    std::uint64_t every = 1;

protected:
    TraceSink* sink_;
    std::uint64_t calls_ = 0;
    std::uint64_t skips_ = 0;
};
static_assert(!OffersQuietYields<RecordingEvents>::value);

// The same, offering the bulk entry as the window's pump does: the yields
// before the next hand-over are quiet, and a subtree's are skipped at once,
// unwritten. Where nothing is handed over, every yield is quiet.
class RecordingEventsInBulk final : public RecordingEvents {
public:
    using RecordingEvents::RecordingEvents;
    std::uint64_t quietYields() const { return handOver ? every - calls_ % every - 1 : UINT64_MAX; }
    void skipQuietYields(std::uint64_t n)
    {
        calls_ += n;
        ++skips_;
    }
};
static_assert(OffersQuietYields<RecordingEventsInBulk>::value);

}  // namespace velmoran::test
