#include "core/numeric.hpp"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

namespace velmoran {

namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitValue(char c, int radix)
{
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    return d < radix ? d : -1;
}

// A whole number in base 16 or 8. Exact up to 2^64; beyond that the value is
// carried in extended precision, far past anything a count can use.
double readWhole(std::string_view digits, int radix)
{
    std::uint64_t exact = 0;
    long double wide = 0;
    bool isWide = false;
    for (char c : digits) {
        const int d = digitValue(c, radix);
        if (d < 0)
            break;
        if (!isWide && exact > (std::numeric_limits<std::uint64_t>::max() - d) / radix) {
            isWide = true;
            wide = static_cast<long double>(exact);
        }
        if (isWide)
            wide = wide * radix + d;
        else
            exact = exact * radix + d;
    }
    if (!isWide)
        return static_cast<double>(exact);
    if (wide > std::numeric_limits<double>::max())
        throwError(ErrorKind::Overflow);
    return static_cast<double>(wide);
}

locale_t cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    return c;
}

}  // namespace

std::size_t decimalPrefixLength(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

double parseLeadingNumber(std::string_view text)
{
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (!isSkipped(c))
            s.push_back(c);

    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return readWhole(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o')
            return readWhole(std::string_view(s).substr(2), 8);
        return 0;
    }

    const std::size_t length = decimalPrefixLength(s);
    if (length == 0)
        return 0;
    s.resize(length);
    // The prefix is plain C syntax, so the C locale reads it exactly,
    // correctly rounded, whatever locale the program runs under.
    errno = 0;
    const double value = strtod_l(s.c_str(), nullptr, cLocale());
    if (errno == ERANGE && std::isinf(value))
        throwError(ErrorKind::Overflow);
    return value;
}

}  // namespace velmoran
