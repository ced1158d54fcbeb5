#include "core/errors.hpp"

namespace velmoran {

const char* traceName(ErrorKind kind) noexcept
{
    switch (kind) {
    case ErrorKind::Overflow: return "overflow";
    case ErrorKind::FloatingPoint: return "fp";
    case ErrorKind::Count: return "count";
    case ErrorKind::Stack: return "stack";
    }
    return "unknown";
}

void throwError(ErrorKind kind) { throw RuntimeError(kind); }

}  // namespace velmoran
