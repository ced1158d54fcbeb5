#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "core/press.hpp"
#include "core/numeric.hpp"

namespace velmoran {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

template <class F>
std::optional<ErrorKind> errorOf(F&& f)
{
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.kind();
    }
    return std::nullopt;
}

TEST(IntegerConversion, RoundsHalfToEvenThenChecksTheRange)
{
    struct Row {
        double in;
        int out;
    };
    const Row rows[] = {
        {2.5, 2},         {3.5, 4},       {-2.5, -2},          {0.5, 0},         {1.5, 2},
        {-1.5, -2},       {0.4999, 0},    {-0.5, 0},           {2.6, 3},         {32767.4, 32767},
        {-32768.5, -32768}, {-32768.4, -32768}, {1e-300, 0},   {12, 12},
    };
    for (const Row& r : rows)
        EXPECT_EQ(toInt16(r.in), r.out) << r.in;

    for (double bad : {32767.5, 32768.0, -32768.51, -32769.0, 1e10, kNaN, kInf, -kInf})
        EXPECT_EQ(errorOf([&] { toInt16(bad); }), ErrorKind::Overflow) << bad;
}

TEST(CheckedArithmetic, FailsExactlyOutsideSixteenBits)
{
    struct Row {
        char op;
        int a, b;
        std::optional<int> out;  // nullopt: overflow
    };
    const Row rows[] = {
        {'+', 32766, 1, 32767},   {'+', 32767, 1, std::nullopt},  {'+', -32768, -1, std::nullopt},
        {'-', -32767, 1, -32768}, {'-', -32768, 1, std::nullopt}, {'-', 0, -32768, std::nullopt},
        {'*', 16383, 2, 32766},   {'*', 16384, 2, std::nullopt},  {'*', -16384, 2, -32768},
        {'*', -16385, 2, std::nullopt}, {'*', 181, 181, 32761},   {'*', 182, 181, std::nullopt},
    };
    for (const Row& r : rows) {
        const auto a = static_cast<Int16>(r.a), b = static_cast<Int16>(r.b);
        std::optional<int> got;
        const auto error = errorOf([&] {
            got = r.op == '+' ? add(a, b) : r.op == '-' ? sub(a, b) : mul(a, b);
        });
        if (r.out) {
            EXPECT_EQ(got, r.out) << r.a << r.op << r.b;
        } else {
            EXPECT_EQ(error, ErrorKind::Overflow) << r.a << r.op << r.b;
        }
    }
}

TEST(RoundHalfEven, TiesToEvenKeepingTheSignOfZero)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(831.384), 831);
    EXPECT_EQ(roundHalfEven(4655.5), 4656);
    EXPECT_EQ(roundHalfEven(1558.5), 1558);
    EXPECT_TRUE(std::signbit(roundHalfEven(-0.25)));
    EXPECT_EQ(roundHalfEven(1e300), 1e300);
    EXPECT_EQ(roundHalfEven(-kInf), -kInf);
    EXPECT_TRUE(std::isnan(roundHalfEven(kNaN)));
}

// The integer quotients stand in for a double division and the Int16
// conversion, over every dividend the figures can hand them.
TEST(WholeQuotients, AgreeWithTheDivisionAndConversionTheyReplace)
{
    struct Row {
        int divisor, from, to;
    };
    const Row rows[] = {
        {3, -2 * 32768, 2 * 32767},                       // 2 * side, 2 * near + far
        {6, -3 * 32768 - 56756, 3 * 32767 + 56756},       // 3 * sum +- rounded rise
    };
    for (const Row& r : rows)
        for (int v = r.from; v <= r.to; ++v)
            ASSERT_EQ(r.divisor == 3 ? nearestThird(v) : nearestSixth(v), toInt16(v / double(r.divisor)))
                << v << " / " << r.divisor;
}

TEST(FloatingPointCheck, FaultsOnlyWhenTheStepMadeTheNonFiniteValue)
{
    const float fInf = std::numeric_limits<float>::infinity();
    const float fNaN = std::numeric_limits<float>::quiet_NaN();
    const float big = std::numeric_limits<float>::max();
    // Overflow in the narrowing to float.
    EXPECT_EQ(errorOf([&] { checkedFp(static_cast<float>(big * 2.0L), big); }),
              ErrorKind::FloatingPoint);
    // inf - inf is an invalid operation.
    EXPECT_EQ(errorOf([&] { checkedFp(fInf * -0.5L + fInf * 1.5L, fInf, fInf); }),
              ErrorKind::FloatingPoint);
    // Division by zero of integers (the operand list is empty: finite).
    EXPECT_EQ(errorOf([&] { checkedFp(1.0 / std::sqrt(0.0)); }), ErrorKind::FloatingPoint);
    // Non-finite values carried in from operands raise nothing.
    EXPECT_EQ(errorOf([&] { checkedFp(fInf - 10.0L, fInf); }), std::nullopt);
    EXPECT_EQ(errorOf([&] { checkedFp(fNaN / 3.0L, fNaN); }), std::nullopt);
    // Underflow is not a fault.
    EXPECT_EQ(errorOf([&] { checkedFp(1e-300 * 1e-300); }), std::nullopt);
}

TEST(LeadingNumber, IsReadFromTheFrontOfTheText)
{
    struct Row {
        const char* text;
        double value;
    };
    const Row rows[] = {
        {"", 0},          {"   ", 0},        {"abc", 0},          {"3x", 3},
        {"1 0", 10},      {"2.5", 2.5},      {"&H0A", 10},        {"-4", -4},
        {"&O17", 15},     {"&h ff", 255},    {"&o8", 0},          {"&H1G", 1},
        {"&H", 0},        {"&Z1", 0},        {"-&H10", 0},        {"1e3", 1000},
        {"1E+2", 100},    {"25e-1", 2.5},    {"1e", 1},           {"1e+", 1},
        {"1ex", 1},       {".5", 0.5},       {"5.", 5},           {"1.2.3", 1.2},
        {"--5", 0},       {"+5", 5},         {"+.5e1", 5},        {" \t\n-\t1 2", -12},
        {"\r5", 0},       {"1e-400", 0},     {"0e99999", 0},      {"12,5", 12},
        {"00000000000000000000000000000000000007", 7},
        {"&HFFFFFFFFFFFFFFFF", 18446744073709551615.0},
        {"&O777", 511},   {"1d3", 1},        {"٣", 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(parseLeadingNumber(r.text), r.value) << '"' << r.text << '"';

    for (const std::string& big : {std::string("1e400"), std::string(400, '9'), std::string("-1e309"),
                                  "&H" + std::string(300, 'F')})
        EXPECT_EQ(errorOf([&] { parseLeadingNumber(big); }), ErrorKind::Overflow) << big;
}

TEST(ReadCount, ConvertsAndRefusesWhatCannotBeDrawn)
{
    struct Row {
        const char* text;
        std::optional<int> count;
        ErrorKind error;
    };
    const Row rows[] = {
        {"0", 0, {}},     {"2.5", 2, {}},   {"3.5", 4, {}},   {"12", 12, {}},
        {"abc", 0, {}},   {"", 0, {}},      {"-0.4", 0, {}},  {"-0.5", 0, {}},
        {"32767", 32767, {}},
        {"40000", std::nullopt, ErrorKind::Overflow},
        {"&HFFFF", std::nullopt, ErrorKind::Overflow},
        {"1e400", std::nullopt, ErrorKind::Overflow},
        {"-1", std::nullopt, ErrorKind::Count},
        {"-0.6", std::nullopt, ErrorKind::Count},
        {"-32768", std::nullopt, ErrorKind::Count},
    };
    for (const Row& r : rows) {
        std::optional<int> got;
        const auto error = errorOf([&] { got = readCount(r.text); });
        if (r.count)
            EXPECT_EQ(got, r.count) << r.text;
        else
            EXPECT_EQ(error, r.error) << r.text;
    }
}

TEST(Colour, PacksRedGreenBlueLowToHigh)
{
    EXPECT_EQ(rgbColour(200, 80, 0), 0x50C8u);
    EXPECT_EQ(rgbColour(250, 50, 50), 0x3232FAu);
    EXPECT_EQ(rgbColour(180, 80, 0), 0x0050B4u);
}

}  // namespace
}  // namespace velmoran
