#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <utility>

#include "core/contracts.hpp"
#include "core/window_state.hpp"

namespace velmoran {

// The yields of a subtree `depth` levels deep in a renderer that splits into
// `Parts`: one for each invocation above the leaves, (Parts^depth - 1) /
// (Parts - 1) in all; kEndless where that does not fit below it.
inline constexpr std::uint64_t kEndless = UINT64_MAX;

namespace detail {
template <unsigned Parts>
struct SubtreeYields {
    static constexpr std::array<std::uint64_t, 64> make()
    {
        std::array<std::uint64_t, 64> totals{};
        for (std::size_t d = 1; d < totals.size(); ++d)
            totals[d] = totals[d - 1] <= (kEndless - 2) / Parts ? totals[d - 1] * Parts + 1 : kEndless;
        return totals;
    }
    static constexpr std::array<std::uint64_t, 64> kTotals = make();
};
}  // namespace detail

template <unsigned Parts>
constexpr std::uint64_t subtreeYields(int depth)
{
    constexpr auto& totals = detail::SubtreeYields<Parts>::kTotals;
    if (depth <= 0)
        return 0;
    return depth < static_cast<int>(totals.size()) ? totals[static_cast<std::size_t>(depth)] : kEndless;
}

// More stack than any renderer invocation takes, in any build: with less
// than this per level left, only a real descent can tell whether the floor
// refuses it.
inline constexpr std::uintptr_t kStackPerLevelBound = 4096;

// What a renderer draws with: the shared window state, the drawing area and
// the event service. Templated on the concrete types so that the hot calls
// (a leaf's drawLine, the fast path of yieldToEvents) inline; instantiate
// with DrawingSurface and EventService for the plain virtual contract.
template <class Surface, class Events>
struct Canvas {
    static_assert(IsSurface<Surface>::value,
                  "a surface offers what DrawingSurface declares: widthInUnits, heightInUnits, clear, "
                  "setDrawingColour, useSolidLines and drawLine");
    static_assert(IsEventService<Events>::value, "an event service offers yieldToEvents()");

    WindowState& state;
    Surface& surface;
    Events& events;
    // Which of the running presses draws on this canvas.
    int pressIndex = state.runningPresses;

    void yieldToEvents()
    {
        events.yieldToEvents();
        unwindIfEndingOrStopped();
    }

    // Where the event service paces drawings, waits before the next leaf.
    void beforeLeaf()
    {
        if constexpr (PacesLeaves<Events>::value)
            if (events.beforeLeaf())
                unwindIfEndingOrStopped();
    }

    void unwindIfEndingOrStopped() const
    {
        if (state.ending)
            throw ProgramEnding{};
        if (pressIndex < state.stopBelow)
            throw DrawingStopped{};
    }

    // Whether a subtree `depth` levels below the caller's invocation could
    // make its first descent, as its NestingLevels would judge it: raises
    // the stack error where the nesting bound would refuse it, and says
    // false where the stack's floor might.
    bool roomForDescent(Int16 depth) const
    {
        if (state.nesting + depth + 1 > kMaxNesting)
            throwError(ErrorKind::Stack);
        const auto frame = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        const auto levels = static_cast<std::uintptr_t>(depth) + 1;
        return state.stackFloor == 0
               || (frame > state.stackFloor && (frame - state.stackFloor) / kStackPerLevelBound >= levels);
    }

    // Stands for a subtree that can never end and only ever paints what
    // `drawLeaf` paints: draws that, then waits for events instead of
    // spinning, drawing it again after each wait (a press run meanwhile may
    // have cleared the area). Why this is exact: C6 in docs/exactness.md.
    template <class DrawLeaf>
    [[noreturn]] void stayForever(Int16 depth, DrawLeaf&& drawLeaf)
    {
        struct Entered {
            WindowState& state;
            int levels;
            ~Entered() { state.nesting -= levels; }
        } entered{state, depth};
        state.nesting += depth;
        for (;;) {
            drawLeaf();
            events.waitForEvents();
            unwindIfEndingOrStopped();
        }
    }
};

// One renderer invocation. Refuses to start one more when the nesting bound
// or the stack's floor is reached, so no count can overflow the stack.
class NestingLevel {
public:
    explicit NestingLevel(WindowState& state) : state_(state)
    {
        const auto frame = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        if (state.nesting >= kMaxNesting || frame < state.stackFloor)
            throwError(ErrorKind::Stack);
        ++state.nesting;
    }
    ~NestingLevel() { --state_.nesting; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;

private:
    WindowState& state_;
};

// Draws the leaves of a one-level-from-the-bottom invocation in place of a
// call per leaf (most invocations of a deep figure are leaves), then yields
// as the invocation would. The leaves' nesting level is checked once, as the
// first leaf's call would check it.
template <class Surface, class Events, class DrawLeaves>
inline void drawLastLevel(Canvas<Surface, Events>& canvas, DrawLeaves&& drawLeaves)
{
    {
        const NestingLevel leaves(canvas.state);
        drawLeaves();
    }
    canvas.yieldToEvents();
}

// Skips a child subtree `depth` levels deep, in a renderer that splits into
// `Parts`, where none of its yields would hand anything over:
// `paintFinal()` paints what its leaves leave (or declines). False where the
// caller has to descend for real.
template <unsigned Parts, class Surface, class Events, class PaintFinal>
inline bool skipSubtree(Canvas<Surface, Events>& canvas, Int16 depth, PaintFinal&& paintFinal)
{
    if constexpr (!OffersQuietYields<Events>::value) {
        return false;
    } else {
        const std::uint64_t yields = subtreeYields<Parts>(depth);
        if (depth < 1 || yields == kEndless || yields > canvas.events.quietYields() || !canvas.roomForDescent(depth)
            || !paintFinal())
            return false;
        canvas.events.skipQuietYields(yields);
        return true;
    }
}

// Whole units from (left, top) to (right, bottom).
struct UnitBox {
    int left, top, right, bottom;
};

// Skips a child subtree `depth` levels deep that cannot show: on a surface
// that keeps only a view of the picture, where `reach(surface)` gives a box of
// whole units holding both ends of every line and box the subtree draws,
// and none of those can light a pixel of the view. The caller's claim too:
// nothing in the subtree can raise an error. Then, skipped as skipSubtree
// skips, only its pixels out of view are missing (C21 in docs/exactness.md). A
// paced drawing is never skipped so: its waits before each leaf would go.
template <unsigned Parts, class Surface, class Events, class Reach>
inline bool skipOutOfView(Canvas<Surface, Events>& canvas, Int16 depth, Reach&& reach)
{
    if constexpr (!ShowsPartOnly<Surface>::value || PacesLeaves<Events>::value) {
        return false;
    } else {
        if (depth < 1 || subtreeYields<Parts>(depth) == kEndless)
            return false;
        const std::optional<UnitBox> box = reach(std::as_const(canvas.surface));
        return box && canvas.surface.missesView(box->left, box->top, box->right, box->bottom)
               && skipSubtree<Parts>(canvas, depth, [] { return true; });
    }
}

// The same for a subtree whose yields overflow 64 bits, accounted for as
// the real descent goes: each invocation down to the first level whose
// subtrees' yields fit yields once, after its parts, and each of those
// subtrees is skipped at once. Only where all those calls are quiet, and
// that level lies at most kMostLevelsAbove below. `find()` works out what
// its leaves leave (or declines), `paint()` paints it.
template <unsigned Parts, class Surface, class Events, class Find, class Paint>
inline bool skipOverflowingSubtree(Canvas<Surface, Events>& canvas, Int16 depth, Find&& find, Paint&& paint)
{
    if constexpr (!OffersQuietYields<Events>::value || !OffersQuietCalls<Events>::value) {
        return false;
    } else {
        constexpr int kMostLevelsAbove = 4;
        int above = 0;
        std::uint64_t parts = 1, invocations = 0;
        while (subtreeYields<Parts>(depth - above) == kEndless) {
            if (++above > kMostLevelsAbove)
                return false;
            invocations += parts;
            parts *= Parts;
        }
        const std::uint64_t fittingYields = subtreeYields<Parts>(depth - above);
        if (above == 0 || fittingYields == 0 || parts + invocations > canvas.events.quietCalls()
            || fittingYields > canvas.events.quietYields() || !canvas.roomForDescent(depth) || !find())
            return false;
        // Before the paint, which may wait for events (a paced drawing).
        auto account = [&](auto& self, int levels) -> void {
            if (levels == 0) {
                canvas.events.skipQuietYields(fittingYields);
                return;
            }
            for (unsigned i = 0; i < Parts; ++i)
                self(self, levels - 1);
            canvas.yieldToEvents();
        };
        account(account, above);
        paint();
        return true;
    }
}

// The same for a subtree whose every leaf, where `collapsible()`, paints
// what `drawLeaf` paints: one leaf stands for them all, and one that can
// never end is waited in.
template <unsigned Parts, class Surface, class Events, class Collapsible, class DrawLeaf>
inline bool collapseSubtree(Canvas<Surface, Events>& canvas, Int16 depth, Collapsible&& collapsible,
                            DrawLeaf&& drawLeaf)
{
    if constexpr (!OffersQuietYields<Events>::value) {
        return false;
    } else {
        if (depth < 1 || !collapsible())
            return false;
        if (skipSubtree<Parts>(canvas, depth, [&] {
                canvas.beforeLeaf();
                drawLeaf();
                return true;
            }))
            return true;
        if constexpr (OffersWaiting<Events>::value)
            if (subtreeYields<Parts>(depth) == kEndless && canvas.roomForDescent(depth)) {
                canvas.beforeLeaf();
                canvas.stayForever(depth, drawLeaf);
            }
        return false;
    }
}

}  // namespace velmoran
