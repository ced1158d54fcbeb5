#include "core/press.hpp"

namespace velmoran {

Int16 readCount(std::string_view text)
{
    const Int16 count = toInt16(parseLeadingNumber(text));
    if (count < 0)
        throwError(ErrorKind::Count);
    return count;
}

}  // namespace velmoran
