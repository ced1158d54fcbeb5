#include "core/draw_command.hpp"

namespace velmoran {

Integer iterationCount(std::string_view text)
{
    const Integer count = toInteger(Val(text));
    if (count < 0)
        raise(ErrorKind::Count);
    return count;
}

}  // namespace velmoran
