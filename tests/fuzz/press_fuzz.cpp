#include "press_fuzz.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/trace.hpp"
#include "fractals/press_figure.hpp"
#include "tests/support/doubles.hpp"

namespace velmoran::fuzz {

namespace {

// Reads the input front to back; past its end every read gives zeros.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    float rawFloat()
    {
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i)
            bits = bits << 8 | byte();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    std::string text(std::size_t length)
    {
        std::string s;
        while (length-- > 0 && pos_ < size_)
            s.push_back(static_cast<char>(data_[pos_++]));
        return s;
    }
    std::string rest() { return text(size_ - pos_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "press fuzz: %s\n", what);
    std::abort();
}

// Fails the run on a colour or a kind of line no figure draws with.
struct CheckingSink final : test::NullSink {
    void drawingColour(Colour c) override
    {
        if (c != rgbColour(200, 80, 0))
            fail("unexpected foreground colour");
    }
    void line(LineKind kind, Coord, Coord, Coord, Coord, Colour) override
    {
        if (kind != LineKind::SegmentInDrawingColour && kind != LineKind::SegmentInOwnColour
            && kind != LineKind::BoxInOwnColour)
            fail("unexpected line kind");
    }
};

struct Press {
    std::uint64_t at;
    Figure figure;
    std::string text;
    bool exits;
};

// Yields a run may make: counts that would draw for ages stay short.
constexpr std::uint64_t kCallBudget = 3000;

void press(WindowState& state, RecordingSurface& surface, test::RecordingEvents& events, Figure figure,
           const std::string& text)
{
    const int nestingBefore = state.nesting;
    const PressOutcome outcome = pressFigure(state, surface, events, figure, text);
    if (state.nesting != nestingBefore)
        fail("a press left renderer invocations behind");
    if (outcome.status == PressOutcome::Status::Ended && !state.ending)
        fail("a press ended without an exit");
}

Figure figureOf(std::uint8_t b) { return kFigures[b % kFigureCount].id; }

}  // namespace

void runOne(const std::uint8_t* data, std::size_t size)
{
    Bytes in(data, size);
    const std::uint8_t mode = in.byte();
    // Half the inputs get plausible whole-number sizes, half arbitrary floats.
    float width, height;
    if (mode & 1) {
        width = in.rawFloat();
        height = in.rawFloat();
    } else {
        width = static_cast<float>(static_cast<std::int16_t>(in.byte() << 8 | in.byte()));
        height = static_cast<float>(static_cast<std::int16_t>(in.byte() << 8 | in.byte()));
    }
    const Figure figure = figureOf(in.byte());
    std::vector<Press> script(in.byte() % 4);
    for (Press& p : script) {
        p.at = 1 + in.byte();
        const std::uint8_t kind = in.byte();
        p.exits = kind >= 250;
        p.figure = figureOf(kind);
        p.text = in.text(in.byte() % 8);
    }
    const std::string text = in.rest();

    CheckingSink sink;
    WindowState state;
    RecordingSurface surface(width, height, sink);
    test::RecordingEvents events;
    events.handOver = [&] {
        if (events.calls() >= kCallBudget) {
            state.ending = true;
            return;
        }
        for (const Press& p : script) {
            if (p.at != events.calls() || state.ending)
                continue;
            if (p.exits)
                state.ending = true;
            else
                press(state, surface, events, p.figure, p.text);
        }
    };
    try {
        loadWindowState(state, surface);
    } catch (const RuntimeError&) {
        // A size the triangle cannot be set up on; the other figures still draw.
    }
    press(state, surface, events, figure, text);
    if (state.nesting != 0)
        fail("renderer invocations left behind");
}

}  // namespace velmoran::fuzz
