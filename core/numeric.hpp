#pragma once

// The numeric rules every figure is computed under: 16-bit checked integers,
// single-precision coordinates, conversions that round half to even, and the
// floating-point fault check. Everything here is inline because the renderers
// call it hundreds of millions of times per figure.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "core/errors.hpp"

namespace velmoran {

using Int16 = std::int16_t;
using Coord = float;
// A colour of the picture: red, green and blue, 0 to 255 each. Held as the
// number the trace writes for it, 0x00BBGGRR; made only by rgbColour and
// read only through redOf, greenOf and blueOf, so nothing else depends on
// that packing.
using Colour = std::uint32_t;

constexpr Colour rgbColour(unsigned r, unsigned g, unsigned b) noexcept
{
    return r + 256u * g + 65536u * b;
}
constexpr unsigned redOf(Colour c) noexcept { return c & 0xFFu; }
constexpr unsigned greenOf(Colour c) noexcept { return (c >> 8) & 0xFFu; }
constexpr unsigned blueOf(Colour c) noexcept { return (c >> 16) & 0xFFu; }

// --- Checked Int16 arithmetic ---------------------------------------------

inline Int16 checkedInt16(std::int32_t exact)
{
    if (exact < INT16_MIN || exact > INT16_MAX)
        throwError(ErrorKind::Overflow);
    return static_cast<Int16>(exact);
}

inline Int16 add(Int16 a, Int16 b) { return checkedInt16(std::int32_t{a} + b); }
inline Int16 sub(Int16 a, Int16 b) { return checkedInt16(std::int32_t{a} - b); }
inline Int16 mul(Int16 a, Int16 b) { return checkedInt16(std::int32_t{a} * b); }

// --- Rounding -----------------------------------------------------------------

namespace detail {
// Adding and subtracting 1.5 * 2^52 leaves a double rounded to a whole number,
// ties to even, without a library call (the SSE2 baseline has no round
// instruction). Exact for |v| < 2^51.
constexpr double kRoundingShift = 6755399441055744.0;
}  // namespace detail

// Round to a whole number, ties to even, as a floating-point value. Keeps the
// sign of zero (roundHalfEven(-0.25) is -0) and passes infinities and NaN through.
inline double roundHalfEven(double v) noexcept
{
    if (!(std::fabs(v) < 2251799813685248.0))  // already whole, or not finite
        return v;
    const double shifted = v + detail::kRoundingShift;
    return std::copysign(shifted - detail::kRoundingShift, v);
}

// Int16 conversion: round half to even, then the range check. NaN and the
// infinities are out of range too.
inline Int16 toInt16(double v)
{
    if (!(v >= -32768.5 && v < 32767.5))
        throwError(ErrorKind::Overflow);
    return static_cast<Int16>(roundHalfEven(v));
}

// --- Whole-number quotients ---------------------------------------------------
//
// The figures divide whole numbers by 3 and 6 and convert the quotient to an
// Int16. Worked out in integers, these give exactly what the double
// division and the conversion give (C1 in docs/exactness.md), for a fraction of the
// cost.

namespace detail {
// Shifts a dividend to a positive one, where integer division is floor.
constexpr int kQuotientBias = 1 << 20;
}  // namespace detail

// Int16(s / 3), for |s| < 2^20: a third of a whole number is never a tie,
// so the nearest whole number is floor((s + 1) / 3).
constexpr int nearestThird(int s)
{
    return static_cast<int>(static_cast<unsigned>(s + 1 + 3 * detail::kQuotientBias) / 3u)
           - detail::kQuotientBias;
}

// n / 6 rounded to a whole number, ties to even, for |n| < 2^20.
constexpr int nearestSixth(int n)
{
    const int floor = static_cast<int>(static_cast<unsigned>(n + 6 * detail::kQuotientBias) / 6u)
                      - detail::kQuotientBias;
    const int rest = n - 6 * floor;  // 0 to 5
    return floor + (rest > 3 || (rest == 3 && (floor & 1) != 0));
}

// --- Floating-point fault check ---------------------------------------------
//
// Under round-to-nearest an invalid operation yields NaN, and an overflow or a
// division by zero yields an infinity. So a checked step faulted exactly when
// it produced a NaN from operands that held none, or an infinity from
// operands that held none; inexact, underflow and denormal results pass. This
// reads no status flags (slow, and reordered freely by the optimizer) and
// costs one comparison on the usual finite path.

namespace detail {
template <class T, class... Operands>
[[gnu::noinline, gnu::cold]] void checkNonFinite(T result, Operands... operands)
{
    const bool inherited = std::isnan(result) ? (std::isnan(operands) || ...)
                                              : (std::isinf(operands) || ...);
    if (!inherited)
        throwError(ErrorKind::FloatingPoint);
}
}  // namespace detail

// Checks one step whose inputs were `operands`; returns `result` unchanged.
template <class T, class... Operands>
inline T checkedFp(T result, Operands... operands)
{
    if (!std::isfinite(result))
        detail::checkNonFinite(result, static_cast<long double>(operands)...);
    return result;
}

// --- Text to number -------------------------------------------------------------

// Reads the number at the front of `text`: blanks, tabs and line feeds are
// skipped wherever they stand; then an optional sign, decimal digits with at
// most one "." (whatever the locale), an optional exponent ("E" or "e",
// optional sign, digits); or "&H" / "&O" and a hexadecimal or octal whole
// number. Reading stops at the first character that cannot continue the
// number; no number in front gives 0. Raises the overflow error for a
// magnitude beyond the double range.
double parseLeadingNumber(std::string_view text);

// The length of the longest prefix of `text` that is a plain decimal number:
// sign, digits with at most one ".", and an exponent only where digits
// follow its letter; 0 when no digit leads.
std::size_t decimalPrefixLength(std::string_view text);

}  // namespace velmoran
