// The generator's block function against the published ChaCha20 test vectors
// (run with 20 rounds; the interpreter itself uses 12), and the unbiased bounded draw.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "interpreter/random.hpp"

namespace quenra {
namespace {

std::vector<unsigned char> block_bytes(const std::uint32_t key[8], std::uint32_t counter,
                                       const std::uint32_t nonce[3], int rounds) {
    std::uint32_t words[16];
    chacha_block(key, counter, nonce, rounds, words);
    std::vector<unsigned char> bytes;
    for (std::uint32_t word : words) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(word >> shift));
    }
    return bytes;
}

TEST(ChaCha, BlockFunctionMatchesTheWorkedExample) {
    // Key 00 01 .. 1f, nonce 00 00 00 09 00 00 00 4a 00 00 00 00, block counter 1.
    std::uint32_t key[8];
    for (int i = 0; i < 8; ++i) {
        key[i] = static_cast<std::uint32_t>(4 * i) | static_cast<std::uint32_t>(4 * i + 1) << 8 |
                 static_cast<std::uint32_t>(4 * i + 2) << 16 |
                 static_cast<std::uint32_t>(4 * i + 3) << 24;
    }
    const std::uint32_t nonce[3] = {0x09000000, 0x4a000000, 0x00000000};
    const std::vector<unsigned char> expected = {
        0x10, 0xf1, 0xe7, 0xe4, 0xd1, 0x3b, 0x59, 0x15, 0x50, 0x0f, 0xdd, 0x1f, 0xa3,
        0x20, 0x71, 0xc4, 0xc7, 0xd1, 0xf4, 0xc7, 0x33, 0xc0, 0x68, 0x03, 0x04, 0x22,
        0xaa, 0x9a, 0xc3, 0xd4, 0x6c, 0x4e, 0xd2, 0x82, 0x64, 0x46, 0x07, 0x9f, 0xaa,
        0x09, 0x14, 0xc2, 0xd7, 0x05, 0xd9, 0x8b, 0x02, 0xa2, 0xb5, 0x12, 0x9c, 0xd1,
        0xde, 0x16, 0x4e, 0xb9, 0xcb, 0xd0, 0x83, 0xe8, 0xa2, 0x50, 0x3c, 0x4e};
    EXPECT_EQ(block_bytes(key, 1, nonce, 20), expected);
}

TEST(ChaCha, BlockFunctionMatchesTheAllZeroVector) {
    const std::uint32_t key[8] = {};
    const std::uint32_t nonce[3] = {};
    const std::vector<unsigned char> expected = {
        0x76, 0xb8, 0xe0, 0xad, 0xa0, 0xf1, 0x3d, 0x90, 0x40, 0x5d, 0x6a, 0xe5, 0x53,
        0x86, 0xbd, 0x28, 0xbd, 0xd2, 0x19, 0xb8, 0xa0, 0x8d, 0xed, 0x1a, 0xa8, 0x36,
        0xef, 0xcc, 0x8b, 0x77, 0x0d, 0xc7, 0xda, 0x41, 0x59, 0x7c, 0x51, 0x57, 0x48,
        0x8d, 0x77, 0x24, 0xe0, 0x3f, 0xb8, 0xd8, 0x4a, 0x37, 0x6a, 0x43, 0xb8, 0xf4,
        0x15, 0x18, 0xa1, 0x1c, 0xc3, 0x87, 0xb6, 0x69, 0xb2, 0xee, 0x65, 0x86};
    EXPECT_EQ(block_bytes(key, 0, nonce, 20), expected);
    // Twelve rounds are a different function of the same state.
    EXPECT_NE(block_bytes(key, 0, nonce, CHACHA_ROUNDS), expected);
}

TEST(RandomBelow, StaysBelowTheBoundAndReachesEveryValue) {
    for (std::uint64_t bound : {1ULL, 2ULL, 3ULL, 7ULL, 10ULL}) {
        std::vector<int> seen(bound, 0);
        for (int i = 0; i < 2000; ++i) {
            std::uint64_t r = random_below(bound);
            ASSERT_LT(r, bound);
            ++seen[r];
        }
        for (std::uint64_t v = 0; v < bound; ++v) EXPECT_GT(seen[v], 0) << "bound " << bound;
    }
    // The largest bounds work too (no overflow in the rejection limit).
    EXPECT_LT(random_below(~0ULL), ~0ULL);
    EXPECT_LT(random_below(1ULL << 63), 1ULL << 63);
}

}  // namespace
}  // namespace quenra
