// libFuzzer entry point: clang++ -fsanitize=fuzzer,address,undefined.
#include "press_fuzz.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    velmoran::fuzz::runOne(data, size);
    return 0;
}
