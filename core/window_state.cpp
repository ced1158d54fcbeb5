#include "core/window_state.hpp"

#include <algorithm>
#include <pthread.h>

namespace velmoran {

namespace {

// One size-derived cell: formed in extended precision, stored as a Coord,
// then checked (so a fault in the narrowing is caught too).
Coord sizeCell(long double value, Coord size)
{
    return checkedFp(static_cast<Coord>(value), size);
}

}  // namespace

void placeTriangleCorners(WindowState& state, DrawingSurface& surface)
{
    auto& v = state.triangleCorners;
    v[0][0] = 10;
    const Coord h1 = surface.scaleHeight();
    v[0][1] = sizeCell(static_cast<long double>(h1) - 10, h1);
    const Coord w1 = surface.scaleWidth();
    v[1][0] = sizeCell(static_cast<long double>(w1) - 10, w1);
    const Coord h2 = surface.scaleHeight();
    v[1][1] = sizeCell(static_cast<long double>(h2) - 10, h2);
    const Coord w2 = surface.scaleWidth();
    v[2][0] = sizeCell(static_cast<long double>(w2) / 2, w2);
    v[2][1] = 10;
}

void loadWindowState(WindowState& state, DrawingSurface& surface)
{
    state.stackFloor = stackFloorOfThisThread();
    placeTriangleCorners(state, surface);
}

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
