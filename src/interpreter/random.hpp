#pragma once
// The random generator behind random() and random_range(): ChaCha with 12 rounds,
// keyed with 32 bytes from the OS random source on first use and rekeyed from it
// periodically. One generator per thread; its sequence is not reproducible.

#include <cstdint>

namespace quenra {

inline constexpr int CHACHA_ROUNDS = 12;

// The ChaCha block function: `rounds` rounds (20 for ChaCha20) over the state made
// of the constants, `key`, the 32-bit block `counter` and `nonce`; writes the 16
// output words (state plus input, as little-endian words).
void chacha_block(const std::uint32_t key[8], std::uint32_t counter, const std::uint32_t nonce[3],
                  int rounds, std::uint32_t out[16]);

// The next 64 random bits of this thread's generator.
std::uint64_t random_u64();

// A uniform integer in [0, bound) for bound > 0, without modulo bias.
std::uint64_t random_below(std::uint64_t bound);

}  // namespace quenra
