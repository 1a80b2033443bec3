// The record pool: a block given back is handed out again only for a record of the
// same size class, and records of every class keep their contents while others
// are made and dropped around them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "interpreter/payload_pool.hpp"

namespace quenra {
namespace {

struct Small {
    std::uint64_t a;
};
struct Large {
    std::uint64_t words[8];
};

TEST(PayloadPool, SizeClassesCoverSixteenByteSteps) {
    EXPECT_EQ(pool::size_class(1), 0u);
    EXPECT_EQ(pool::size_class(16), 0u);
    EXPECT_EQ(pool::size_class(17), 1u);
    EXPECT_EQ(pool::size_class(48), 2u);
    EXPECT_EQ(pool::size_class(64), 3u);
}

#if !defined(QUENRA_SANITIZED)  // the sanitizer builds allocate every record afresh
TEST(PayloadPool, ReleasedBlockIsReusedOnlyBySameClass) {
    Small* small = pool::make<Small>(std::uint64_t{1});
    void* small_block = small;
    pool::destroy(small);
    Large* large = pool::make<Large>();
    EXPECT_NE(static_cast<void*>(large), small_block);
    Small* again = pool::make<Small>(std::uint64_t{2});
    EXPECT_EQ(static_cast<void*>(again), small_block);
    EXPECT_EQ(again->a, 2u);
    pool::destroy(again);
    pool::destroy(large);
    pool::release_cached();
}
#endif

TEST(PayloadPool, InterleavedRecordsKeepTheirContents) {
    std::vector<Small*> smalls;
    std::vector<Large*> larges;
    for (std::uint64_t i = 0; i < 1000; ++i) {
        smalls.push_back(pool::make<Small>(i));
        Large* large = pool::make<Large>();
        for (auto& word : large->words) word = i * 3;
        larges.push_back(large);
        if (i % 3 == 0) {  // drop some of each as we go, so blocks are reused
            pool::destroy(smalls.front());
            smalls.erase(smalls.begin());
            pool::destroy(larges.front());
            larges.erase(larges.begin());
        }
    }
    for (Small* small : smalls) EXPECT_LT(small->a, 1000u);
    for (std::size_t i = 1; i < smalls.size(); ++i) EXPECT_LT(smalls[i - 1]->a, smalls[i]->a);
    for (std::size_t i = 0; i < larges.size(); ++i) {
        for (auto word : larges[i]->words) EXPECT_EQ(word, smalls[i]->a * 3);
    }
    for (Small* small : smalls) pool::destroy(small);
    for (Large* large : larges) pool::destroy(large);
    pool::release_cached();
}

}  // namespace
}  // namespace quenra
