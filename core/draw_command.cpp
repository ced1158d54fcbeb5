#include "core/draw_command.hpp"

namespace velmoran {

Integer iterationCount(std::string_view text)
{
    const Integer count = toInteger(parseLeadingNumber(text));
    if (count < 0)
        throwError(ErrorKind::Count);
    return count;
}

}  // namespace velmoran
