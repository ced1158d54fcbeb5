#include "core/trace.hpp"

#include <cmath>
#include <cstring>

namespace velmoran {

namespace {

void appendInteger(std::string& out, long long value)
{
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        *--p = '-';
    out.append(p, end);
}

void appendColour(std::string& out, Colour colour)
{
    static const char hex[] = "0123456789ABCDEF";
    char text[8] = {'0', 'x'};
    for (int i = 0; i < 6; ++i)
        text[2 + i] = hex[(colour >> (20 - 4 * i)) & 0xF];
    // Colours never exceed 24 bits here, but a wider value must not be cut.
    if (colour > 0xFFFFFF) {
        char wide[16];
        const int n = std::snprintf(wide, sizeof wide, "0x%06X", colour);
        out.append(wide, static_cast<std::size_t>(n));
        return;
    }
    out.append(text, sizeof text);
}

}  // namespace

void appendCoordinate(std::string& out, Single value)
{
    // Whole numbers below 1e9 print without exponent under "%.9g"; almost
    // every coordinate is one, so they skip printf.
    if (value == std::trunc(value) && std::fabs(value) < 1e9f) {
        if (value == 0 && std::signbit(value))
            out += "-0";
        else
            appendInteger(out, static_cast<long long>(value));
        return;
    }
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    out.append(text, static_cast<std::size_t>(n));
}

TraceWriter::TraceWriter(std::FILE* out) : out_(out)
{
    if (out_)
        buffer_.reserve(kFlushAt + 256);
}

TraceWriter::~TraceWriter() { flush(); }

bool TraceWriter::flush()
{
    if (out_ && !buffer_.empty()) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
            failed_ = true;
        buffer_.clear();
    }
    if (out_ && std::fflush(out_) != 0)
        failed_ = true;
    return !failed_;
}

void TraceWriter::put(const char* literal)
{
    buffer_.append(literal);
    afterWrite();
}

void TraceWriter::foreColor(Colour colour)
{
    buffer_ += "forecolor ";
    appendColour(buffer_, colour);
    buffer_ += '\n';
    afterWrite();
}

void TraceWriter::drawStyle(Integer style)
{
    buffer_ += "drawstyle ";
    appendInteger(buffer_, style);
    buffer_ += '\n';
    afterWrite();
}

void TraceWriter::line(LineFlags flags, Single x1, Single y1, Single x2, Single y2, Colour colour)
{
    buffer_ += "line ";
    appendInteger(buffer_, flags);
    for (Single v : {x1, y1, x2, y2}) {
        buffer_ += ' ';
        appendCoordinate(buffer_, v);
    }
    buffer_ += ' ';
    appendColour(buffer_, colour);
    buffer_ += '\n';
    afterWrite();
}

void TraceWriter::error(ErrorKind kind)
{
    buffer_ += "error ";
    buffer_ += traceName(kind);
    buffer_ += '\n';
    afterWrite();
}

}  // namespace velmoran
