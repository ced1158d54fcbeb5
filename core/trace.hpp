#pragma once

// A drawing surface that records every call instead of drawing, and the text
// form of that record. The trace tool prints it; the tests read it.

#include <cstdio>
#include <cstring>
#include <string>

#include "core/drawing_surface.hpp"

namespace velmoran {

// Receives the events of a run in the order they happen.
class TraceSink {
public:
    virtual ~TraceSink() = default;
    virtual void clear() = 0;
    virtual void drawingColour(Colour colour) = 0;
    virtual void solidLines() = 0;
    virtual void line(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) = 0;
    virtual void yielded() = 0;
    virtual void print() = 0;
    virtual void end() = 0;
    virtual void error(ErrorKind kind) = 0;
};

namespace detail {
// Copies a string literal without its terminator; returns the end.
template <std::size_t N>
char* putLiteral(char* out, const char (&text)[N])
{
    std::memcpy(out, text, N - 1);
    return out + N - 1;
}
}  // namespace detail

// Writes one line per event: "cls", "forecolor 0x0050C8", "drawstyle 0",
// "line 6 10 290 490 290 0x0050B4", "doevents", "print", "end",
// "error overflow". Coordinates print as "%.9g" of the float, colours as
// "0x%06X". Lines are formatted straight into a fixed buffer (a deep carpet
// is a billion of them) that goes to `out`, or is kept as text when `out` is
// null.
class TraceWriter final : public TraceSink {
public:
    explicit TraceWriter(std::FILE* out = nullptr) : out_(out) {}
    ~TraceWriter() override;
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    void clear() override { literal("cls\n"); }
    void drawingColour(Colour colour) override;
    void solidLines() override { literal("drawstyle 0\n"); }
    void line(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) override;
    void yielded() override { literal("doevents\n"); }
    void print() override { literal("print\n"); }
    void end() override { literal("end\n"); }
    void error(ErrorKind kind) override;

    // Everything written so far, when there is no output file.
    const std::string& text();
    // Writes out what is buffered; false if the output ever failed.
    bool flush();

private:
    // Room for the longest line: four "%.9g" numbers, flags and colour.
    static constexpr std::size_t kLongestLine = 128;
    static constexpr std::size_t kBufferSize = 1 << 16;

    char* room()
    {
        if (used_ + kLongestLine > kBufferSize)
            drain();
        return buffer_ + used_;
    }
    void commit(char* end) { used_ = static_cast<std::size_t>(end - buffer_); }
    template <std::size_t N>
    void literal(const char (&text)[N])
    {
        commit(detail::putLiteral(room(), text));
    }
    void drain();

    std::FILE* out_;
    char buffer_[kBufferSize];
    std::size_t used_ = 0;
    std::string kept_;
    bool failed_ = false;
};

// The surface of a given size whose every call goes to a sink.
class RecordingSurface final : public DrawingSurface {
public:
    RecordingSurface(Coord width, Coord height, TraceSink& sink)
        : width_(width), height_(height), sink_(sink)
    {
    }

    Coord widthInUnits() const override { return width_; }
    Coord heightInUnits() const override { return height_; }
    void clear() override { sink_.clear(); }
    void setDrawingColour(Colour colour) override { sink_.drawingColour(colour); }
    void useSolidLines() override { sink_.solidLines(); }
    void drawLine(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour) override
    {
        sink_.line(kind, x1, y1, x2, y2, colour);
    }

private:
    Coord width_;
    Coord height_;
    TraceSink& sink_;
};

}  // namespace velmoran
