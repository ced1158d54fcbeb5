#pragma once

#include <cstddef>
#include <cstdint>

namespace velmoran::fuzz {

// Runs one press made from arbitrary bytes: a surface size (any float, NaN
// and infinities included), a figure, the selector's text, and presses
// scripted into the first yieldToEvents calls. Returns normally when every press
// ended in a drawing, a known error, or the scripted exit; aborts otherwise.
void runOne(const std::uint8_t* data, std::size_t size);

}  // namespace velmoran::fuzz
