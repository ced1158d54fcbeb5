#pragma once

// What the renderers ask of the surfaces they draw on and of the event
// services they yield to, as compile-time tests. The required parts are
// asserted where a Canvas is made; the optional ones choose a faster path,
// so each class meant to offer them asserts so beside its definition, and
// a signature that drifts fails to build rather than going slow.

#include <cstdint>
#include <type_traits>
#include <utility>

#include "core/drawing_surface.hpp"

namespace velmoran {

// What DrawingSurface declares: widthInUnits, heightInUnits, clear,
// setDrawingColour, useSolidLines and drawLine.
template <class T, class = void>
struct IsSurface : std::false_type {};
template <class T>
struct IsSurface<
    T,
    std::void_t<decltype(Coord { std::declval<const T&>().widthInUnits() }),
                decltype(Coord { std::declval<const T&>().heightInUnits() }), decltype(std::declval<T&>().clear()),
                decltype(std::declval<T&>().setDrawingColour(Colour {})), decltype(std::declval<T&>().useSolidLines()),
                decltype(std::declval<T&>().drawLine(LineKind::SegmentInOwnColour, Coord {}, Coord {}, Coord {},
                                                     Coord {}, Colour {}))>> : std::true_type {
};

// What EventService declares: yieldToEvents().
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

// And, to skip a subtree whose yields overflow 64 bits as the parts of it
// that fit, std::uint64_t quietCalls() const: how many of the next calls,
// each a yieldToEvents() or a skipQuietYields() of however many yields,
// hand nothing over and read no clock.
template <class T, class = void>
struct OffersQuietCalls : std::false_type {};
template <class T>
struct OffersQuietCalls<T, std::void_t<decltype(std::uint64_t{std::declval<const T&>().quietCalls()})>>
    : std::true_type {};

// And, for a drawing that can never end, void waitForEvents(): hands events
// over as they come, sleeping until at least one was handled.
template <class T, class = void>
struct OffersWaiting : std::false_type {};
template <class T>
struct OffersWaiting<T, std::void_t<decltype(std::declval<T&>().waitForEvents())>> : std::true_type {};

// And, to draw at a person's pace, bool beforeLeaf(): called before each
// last-level part (or a part drawn as what its leaves leave) is drawn; it
// may hand events over while it waits, and then says true.
template <class T, class = void>
struct PacesLeaves : std::false_type {};
template <class T>
struct PacesLeaves<T, std::void_t<decltype(bool{std::declval<T&>().beforeLeaf()})>> : std::true_type {};

// A surface may say where the points with whole-unit coordinates in a box
// fall, when they lie within two by two device pixels:
//   std::optional<Block> pixelBlock(int left, int top, int right, int bottom) const
// where whole units from Block::secondColumnFrom and Block::secondRowFrom on
// fall in the block's second column and row (INT_MAX where it has one), and
// Block::firstColumn and Block::firstRow are its first device pixel's; and
//   int widestBlock() const
// beyond which no two whole units on an axis lie in one block.
template <class T, class = void>
struct LocatesPixels : std::false_type {};
template <class T>
struct LocatesPixels<T, std::void_t<decltype(std::declval<const T&>().pixelBlock(0, 0, 0, 0)->secondRowFrom),
                                    decltype(std::declval<const T&>().pixelBlock(0, 0, 0, 0)->firstColumn),
                                    decltype(int{std::declval<const T&>().widestBlock()})>> : std::true_type {};

// A surface may keep only part of the picture, a view of it, and say which
// parts of a figure cannot show there:
//   bool missesView(int left, int top, int right, int bottom) const
// true only where no line or box whose ends are whole units from (left,
// top) to (right, bottom) can light a pixel of the view.
template <class T, class = void>
struct ShowsPartOnly : std::false_type {};
template <class T>
struct ShowsPartOnly<T, std::void_t<decltype(bool{std::declval<const T&>().missesView(0, 0, 0, 0)})>>
    : std::true_type {};

}  // namespace velmoran
