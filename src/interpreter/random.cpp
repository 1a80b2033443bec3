#include "interpreter/random.hpp"

#include <cstring>

#include "platform/platform.hpp"

namespace quenra {

namespace {

constexpr std::uint32_t rotl(std::uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

void quarter_round(std::uint32_t* x, int a, int b, int c, int d) {
    x[a] += x[b];
    x[d] = rotl(x[d] ^ x[a], 16);
    x[c] += x[d];
    x[b] = rotl(x[b] ^ x[c], 12);
    x[a] += x[b];
    x[d] = rotl(x[d] ^ x[a], 8);
    x[c] += x[d];
    x[b] = rotl(x[b] ^ x[c], 7);
}

// Blocks between rekeyings from the OS (each block gives eight 64-bit outputs).
constexpr std::uint64_t REKEY_BLOCKS = 1u << 16;

struct Generator {
    std::uint32_t key[8];
    std::uint32_t nonce[3] = {0, 0, 0};
    std::uint32_t counter = 0;
    std::uint32_t block[16];
    int next = 16;                                    // words of `block` already used
    std::uint64_t blocks_since_rekey = REKEY_BLOCKS;  // forces keying on first use

    void rekey() {
        std::uint32_t seed[11];
        if (!platform::random_bytes(seed, sizeof seed)) {
            // No OS source: fall back to the clock and addresses (still varies per run).
            auto now =
                static_cast<std::uint64_t>(platform::Clock::now().time_since_epoch().count());
            for (int i = 0; i < 11; ++i) {
                seed[i] = static_cast<std::uint32_t>(now >> (i % 2 ? 32 : 0)) ^
                          static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(this)) ^
                          (0x9E3779B9u * static_cast<std::uint32_t>(i + 1));
            }
        }
        std::memcpy(key, seed, sizeof key);
        std::memcpy(nonce, seed + 8, sizeof nonce);
        counter = 0;
        blocks_since_rekey = 0;
    }

    std::uint32_t next_word() {
        if (next == 16) {
            if (blocks_since_rekey >= REKEY_BLOCKS) rekey();
            chacha_block(key, counter++, nonce, CHACHA_ROUNDS, block);
            ++blocks_since_rekey;
            next = 0;
        }
        return block[next++];
    }
};

thread_local Generator generator;

}  // namespace

void chacha_block(const std::uint32_t key[8], std::uint32_t counter, const std::uint32_t nonce[3],
                  int rounds, std::uint32_t out[16]) {
    std::uint32_t state[16] = {0x61707865, 0x3320646e, 0x79622d32, 0x6b206574};
    std::memcpy(state + 4, key, 8 * sizeof(std::uint32_t));
    state[12] = counter;
    std::memcpy(state + 13, nonce, 3 * sizeof(std::uint32_t));
    std::uint32_t x[16];
    std::memcpy(x, state, sizeof x);
    for (int i = 0; i < rounds; i += 2) {
        quarter_round(x, 0, 4, 8, 12);
        quarter_round(x, 1, 5, 9, 13);
        quarter_round(x, 2, 6, 10, 14);
        quarter_round(x, 3, 7, 11, 15);
        quarter_round(x, 0, 5, 10, 15);
        quarter_round(x, 1, 6, 11, 12);
        quarter_round(x, 2, 7, 8, 13);
        quarter_round(x, 3, 4, 9, 14);
    }
    for (int i = 0; i < 16; ++i) out[i] = x[i] + state[i];
}

std::uint64_t random_u64() {
    std::uint64_t low = generator.next_word();
    std::uint64_t high = generator.next_word();
    return (high << 32) | low;
}

std::uint64_t random_below(std::uint64_t bound) {
    // Rejects the few draws above the largest multiple of `bound`, so every
    // remainder is equally likely.
    std::uint64_t limit = (0 - bound) % bound;  // 2^64 mod bound
    for (;;) {
        std::uint64_t r = random_u64();
        if (r >= limit) return r % bound;
    }
}

}  // namespace quenra
