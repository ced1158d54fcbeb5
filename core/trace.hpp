#pragma once

// A drawing surface that records every call instead of drawing, and the text
// form of that record. The trace tool prints it; the tests read it.

#include <cstdio>
#include <string>

#include "core/drawing_surface.hpp"

namespace velmoran {

// Receives the events of a run in the order they happen.
class TraceSink {
public:
    virtual ~TraceSink() = default;
    virtual void cls() = 0;
    virtual void foreColor(Colour colour) = 0;
    virtual void drawStyle(Integer style) = 0;
    virtual void line(LineFlags flags, Single x1, Single y1, Single x2, Single y2, Colour colour) = 0;
    virtual void doEvents() = 0;
    virtual void print() = 0;
    virtual void end() = 0;
    virtual void error(ErrorKind kind) = 0;
};

// Writes one line per event: "cls", "forecolor 0x0050C8", "drawstyle 0",
// "line 6 10 290 490 290 0x0050B4", "doevents", "print", "end",
// "error overflow". Coordinates print as "%.9g" of the float, colours as
// "0x%06X". Buffers, and flushes to `out` when it holds enough (or keeps the
// text when `out` is null).
class TraceWriter final : public TraceSink {
public:
    explicit TraceWriter(std::FILE* out = nullptr);
    ~TraceWriter() override;
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    void cls() override { put("cls\n"); }
    void foreColor(Colour colour) override;
    void drawStyle(Integer style) override;
    void line(LineFlags flags, Single x1, Single y1, Single x2, Single y2, Colour colour) override;
    void doEvents() override { put("doevents\n"); }
    void print() override { put("print\n"); }
    void end() override { put("end\n"); }
    void error(ErrorKind kind) override;

    // Everything written so far, when there is no output file.
    const std::string& text() const { return buffer_; }
    // Writes out what is buffered; false if the output failed.
    bool flush();

private:
    void put(const char* literal);
    void afterWrite()
    {
        if (out_ && buffer_.size() >= kFlushAt)
            flush();
    }

    static constexpr std::size_t kFlushAt = 1 << 16;
    std::FILE* out_;
    std::string buffer_;
    bool failed_ = false;
};

// Appends a coordinate as "%.9g" of the float widened to double.
void appendCoordinate(std::string& out, Single value);

// The surface of a given size whose every call goes to a sink.
class RecordingSurface final : public DrawingSurface {
public:
    RecordingSurface(Single width, Single height, TraceSink& sink)
        : width_(width), height_(height), sink_(sink)
    {
    }

    Single ScaleWidth() const override { return width_; }
    Single ScaleHeight() const override { return height_; }
    void Cls() override { sink_.cls(); }
    void SetForeColor(Colour colour) override { sink_.foreColor(colour); }
    void SetDrawStyle(Integer style) override { sink_.drawStyle(style); }
    void Line(LineFlags flags, Single x1, Single y1, Single x2, Single y2, Colour colour) override
    {
        sink_.line(flags, x1, y1, x2, y2, colour);
    }

private:
    Single width_;
    Single height_;
    TraceSink& sink_;
};

}  // namespace velmoran
