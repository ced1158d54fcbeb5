#pragma once

#include <array>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "core/window_state.hpp"

namespace velmoran {

namespace detail {
template <class T, class = void>
struct IsSurface : std::false_type {};
template <class T>
struct IsSurface<T, std::void_t<decltype(Single{std::declval<const T&>().scaleWidth()}),
                                decltype(Single{std::declval<const T&>().scaleHeight()}),
                                decltype(std::declval<T&>().clear()),
                                decltype(std::declval<T&>().setForeColour(Colour{})),
                                decltype(std::declval<T&>().setDrawStyle(Integer{})),
                                decltype(std::declval<T&>().drawLine(kLineWithColor, Single{}, Single{}, Single{},
                                                                     Single{}, Colour{}))>> : std::true_type {};

template <class T, class = void>
struct IsEventService : std::false_type {};
template <class T>
struct IsEventService<T, std::void_t<decltype(std::declval<T&>().yieldToEvents())>> : std::true_type {};

// The bulk entry an event service may offer besides yieldToEvents():
//   std::uint64_t quietYields() const: how many of the next yields hand
//     nothing over and read no clock, so that skipping them changes nothing;
//   void skipQuietYields(std::uint64_t n): accounts for n of those at once.
template <class T, class = void>
struct OffersQuietYields : std::false_type {};
template <class T>
struct OffersQuietYields<T, std::void_t<decltype(std::uint64_t{std::declval<const T&>().quietYields()}),
                                        decltype(std::declval<T&>().skipQuietYields(std::uint64_t{}))>>
    : std::true_type {};

// And, for a drawing that can never end, void waitForEvents(): hands events
// over as they come, sleeping until at least one was handled.
template <class T, class = void>
struct OffersWaiting : std::false_type {};
template <class T>
struct OffersWaiting<T, std::void_t<decltype(std::declval<T&>().waitForEvents())>> : std::true_type {};
}  // namespace detail

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

// More stack than any renderer invocation takes, in any build: where this
// much for every level of a subtree is not left above the stack's floor,
// only a real descent can tell whether the floor refuses it.
inline constexpr std::uintptr_t kStackPerLevelBound = 4096;

// What a renderer draws with: the shared window state, the drawing area and
// the event service. Templated on the concrete types so that the hot calls
// (a leaf's drawLine, the fast path of yieldToEvents) inline; instantiate
// with DrawingSurface and EventService for the plain virtual contract.
template <class Surface, class Events>
struct Canvas {
    static_assert(detail::IsSurface<Surface>::value,
                  "a surface offers what DrawingSurface declares: scaleWidth, scaleHeight, clear, "
                  "setForeColour, setDrawStyle and drawLine");
    static_assert(detail::IsEventService<Events>::value, "an event service offers yieldToEvents()");

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
    bool roomForDescent(Integer depth) const
    {
        if (state.nesting + depth + 1 > kMaxNesting)
            throwError(ErrorKind::Stack);
        const auto frame = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        const auto levels = static_cast<std::uintptr_t>(depth) + 1;
        return state.stackFloor == 0
               || (frame > state.stackFloor && (frame - state.stackFloor) / kStackPerLevelBound >= levels);
    }

    // A subtree `depth` levels deep that can never end, whose every leaf
    // paints what `drawLeaf` paints: the full drawing would stay in it for
    // ever, redrawing that pixel between hand-overs made with the subtree's
    // levels above the leaves entered. So draw it, enter them, and wait for
    // events instead, until the program ends or the drawing is stopped; a
    // press run meanwhile may have cleared the area, so draw it again after
    // each wait.
    template <class DrawLeaf>
    [[noreturn]] void stayForever(Integer depth, DrawLeaf&& drawLeaf)
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

// Accounts for the yields of a child subtree `depth` levels deep, in a
// renderer that splits into `Parts`, in bulk where none of them would hand
// anything over, `paintFinal()` painting instead what the subtree's leaves
// leave in the picture (or declining: false). The nesting bound refuses the
// subtree where its first descent would have been refused. False where the
// caller has to descend for real.
template <unsigned Parts, class Surface, class Events, class PaintFinal>
inline bool skipSubtree(Canvas<Surface, Events>& canvas, Integer depth, PaintFinal&& paintFinal)
{
    if constexpr (!detail::OffersQuietYields<Events>::value) {
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

// The same for a subtree whose every leaf, once `collapsible()` says so,
// paints what `drawLeaf` paints, and nothing else: one leaf stands for
// them all. A subtree that can never end is stayed in, where the event
// service can wait for events.
template <unsigned Parts, class Surface, class Events, class Collapsible, class DrawLeaf>
inline bool collapseSubtree(Canvas<Surface, Events>& canvas, Integer depth, Collapsible&& collapsible,
                            DrawLeaf&& drawLeaf)
{
    if constexpr (!detail::OffersQuietYields<Events>::value) {
        return false;
    } else {
        if (depth < 1 || !collapsible())
            return false;
        if (skipSubtree<Parts>(canvas, depth, [&] {
                drawLeaf();
                return true;
            }))
            return true;
        if constexpr (detail::OffersWaiting<Events>::value)
            if (subtreeYields<Parts>(depth) == kEndless && canvas.roomForDescent(depth))
                canvas.stayForever(depth, drawLeaf);
        return false;
    }
}

}  // namespace velmoran
