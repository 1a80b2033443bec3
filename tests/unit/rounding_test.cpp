// round's halves-away-from-zero rule at the edges where C runtimes have erred.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "interpreter/operators.hpp"

namespace quenra {
namespace {

TEST(Rounding, HalvesGoAwayFromZero) {
    EXPECT_EQ(round_half_away_from_zero(2.5), 3.0);
    EXPECT_EQ(round_half_away_from_zero(-2.5), -3.0);
    EXPECT_EQ(round_half_away_from_zero(0.5), 1.0);
    EXPECT_EQ(round_half_away_from_zero(-0.5), -1.0);
    EXPECT_EQ(round_half_away_from_zero(1.4), 1.0);
    EXPECT_EQ(round_half_away_from_zero(-1.6), -2.0);
}

TEST(Rounding, JustBelowAHalfGoesDown) {
    // Adding 0.5 and flooring, the usual shortcut, turns these into the next integer.
    EXPECT_EQ(round_half_away_from_zero(0.49999999999999994), 0.0);
    EXPECT_EQ(round_half_away_from_zero(-0.49999999999999994), 0.0);
    EXPECT_EQ(round_half_away_from_zero(1.4999999999999998), 1.0);
    // At 2^52 and above every float is an integer, and stays itself.
    EXPECT_EQ(round_half_away_from_zero(4503599627370497.0), 4503599627370497.0);
    EXPECT_EQ(round_half_away_from_zero(-9007199254740993.0), -9007199254740993.0);
}

TEST(Rounding, SpecialValuesPassThrough) {
    double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(round_half_away_from_zero(infinity), infinity);
    EXPECT_EQ(round_half_away_from_zero(-infinity), -infinity);
    EXPECT_TRUE(std::isnan(round_half_away_from_zero(std::nan(""))));
    EXPECT_TRUE(std::signbit(round_half_away_from_zero(-0.25)));  // -0, as round gives
    EXPECT_EQ(round_half_away_from_zero(1e300), 1e300);
}

}  // namespace
}  // namespace quenra
