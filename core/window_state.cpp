#include "core/window_state.hpp"

#include <algorithm>
#include <pthread.h>

namespace velmoran {

std::uintptr_t stackFloorOfThisThread()
{
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0)
        return 0;
    void* low = nullptr;
    std::size_t size = 0;
    const bool known = pthread_attr_getstack(&attr, &low, &size) == 0 && low != nullptr;
    pthread_attr_destroy(&attr);
    if (!known)
        return 0;
    // An unlimited stack is reported as huge; count on no more than 64 MiB.
    const std::size_t kMiB = 1024 * 1024;
    const std::uintptr_t top = reinterpret_cast<std::uintptr_t>(low) + size;
    const std::size_t usable = std::min<std::size_t>(size, 64 * kMiB);
    // Leave room for what runs between two renderer invocations: the event
    // dispatch inside yieldToEvents, a message box, the printer's code.
    const std::size_t margin = usable >= 4 * kMiB ? kMiB : usable / 4;
    return top - usable + margin;
}

}  // namespace velmoran
