#include "core/trace.hpp"

#include <cmath>
#include <cstring>

namespace velmoran {

namespace {

char* putInteger(char* out, long long value)
{
    unsigned long long magnitude = static_cast<unsigned long long>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0ull - magnitude;
    }
    int length = 1;
    for (unsigned long long rest = magnitude / 10; rest != 0; rest /= 10)
        ++length;
    char* const end = out + length;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    return end;
}

// The flags word the trace writes for a kind of line: 4 always, 2 where
// the line has a colour of its own, 32 for a box.
int traceFlags(LineKind kind)
{
    switch (kind) {
    case LineKind::SegmentInDrawingColour: return 4;
    case LineKind::SegmentInOwnColour: return 6;
    case LineKind::BoxInOwnColour: return 38;
    }
    return 0;  // not reached: every kind has its case
}

char* putColour(char* out, Colour colour)
{
    // Colours are 24-bit; a wider value still prints whole, as "%06X" would.
    if (colour > 0xFFFFFF)
        return out + std::sprintf(out, "0x%06X", colour);
    static const char hex[] = "0123456789ABCDEF";
    *out++ = '0';
    *out++ = 'x';
    for (int shift = 20; shift >= 0; shift -= 4)
        *out++ = hex[(colour >> shift) & 0xF];
    return out;
}

// Writes a coordinate as "%.9g" of the float widened to double, at most 16
// characters; returns the end.
char* putCoordinate(char* out, Coord value)
{
    // Whole numbers below 1e9 print without exponent under "%.9g"; almost
    // every coordinate is one, so they skip printf.
    if (value == std::trunc(value) && std::fabs(value) < 1e9f) {
        if (value == 0 && std::signbit(value))
            return detail::putLiteral(out, "-0");
        return putInteger(out, static_cast<long long>(value));
    }
    return out + std::sprintf(out, "%.9g", static_cast<double>(value));
}

}  // namespace

TraceWriter::~TraceWriter() { flush(); }

void TraceWriter::drain()
{
    if (out_) {
        if (std::fwrite(buffer_, 1, used_, out_) != used_)
            failed_ = true;
    } else {
        kept_.append(buffer_, used_);
    }
    used_ = 0;
}

bool TraceWriter::flush()
{
    drain();
    if (out_ && std::fflush(out_) != 0)
        failed_ = true;
    return !failed_;
}

const std::string& TraceWriter::text()
{
    drain();
    return kept_;
}

void TraceWriter::drawingColour(Colour colour)
{
    char* p = detail::putLiteral(room(), "forecolor ");
    p = putColour(p, colour);
    *p++ = '\n';
    commit(p);
}

void TraceWriter::line(LineKind kind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour)
{
    char* p = detail::putLiteral(room(), "line ");
    p = putInteger(p, traceFlags(kind));
    for (Coord v : {x1, y1, x2, y2}) {
        *p++ = ' ';
        p = putCoordinate(p, v);
    }
    *p++ = ' ';
    p = putColour(p, colour);
    *p++ = '\n';
    commit(p);
}

void TraceWriter::error(ErrorKind kind)
{
    char* p = detail::putLiteral(room(), "error ");
    const char* name = traceName(kind);
    const std::size_t length = std::strlen(name);
    std::memcpy(p, name, length);
    p += length;
    *p++ = '\n';
    commit(p);
}

}  // namespace velmoran
