// Replays the inputs the fuzzer found interesting: each must end cleanly.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "press_fuzz.hpp"

namespace {

TEST(FuzzCorpus, EveryKeptInputEndsCleanly)
{
    const std::filesystem::path dir = VELMORAN_FUZZ_CORPUS;
    std::size_t replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        velmoran::fuzz::runOne(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    EXPECT_GT(replayed, 100u);
}

}  // namespace
