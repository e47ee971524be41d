// The game's random numbers: round layouts depend on every bit of this sequence.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "media/clock.h"

namespace {

// The same generator written the long way, in 64 bits, so it shares no code or trick
// (Schrage's split) with the layer.
struct reference_generator {
    std::int64_t state;
    std::int64_t step() { return state = state * 48271 % 2147483647; }
    double unit() {
        const std::int64_t s1 = step();
        const std::int64_t s2 = step();
        return ((s1 & 0x1FFFFFFC) + (s2 & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
    }
};

TEST(unit_random, sequence_after_seeding_matches_the_generator_bit_for_bit) {
    for (const int seed : {1, 4660, 123456789, 2147483646, 987}) {
        media::seed_random(seed);
        reference_generator ref{seed};
        for (int i = 0; i < 2000; ++i) {
            const double expected = 5.0 + ref.unit() * 630.0;
            const double got = media::random_float(5.0, 635.0);
            ASSERT_EQ(expected, got) << "seed " << seed << ", draw " << i;
            ASSERT_EQ(ref.state, media::random_state()) << "seed " << seed << ", draw " << i;
        }
    }
}

TEST(unit_random, pinned_values) {
    media::seed_random(1);
    EXPECT_EQ(8.990869022751369e-05, media::random_float(0.0, 1.0));
    EXPECT_EQ(182605794, media::random_state());

    media::seed_random(0);  // the same as never seeded
    EXPECT_EQ(4660, media::random_state());
    EXPECT_EQ(0.4189887270692887, media::random_float(0.0, 1.0));
    EXPECT_EQ(539475828, media::random_state());

    media::seed_random(12345);
    EXPECT_EQ(74.27510290200546, media::random_float(635.0, 5.0));
}

TEST(unit_random, seeds_are_masked_and_the_two_fixed_points_are_replaced) {
    const struct {
        int seed;
        std::int32_t state;
    } cases[] = {
        {0, 4660},         {0x7FFFFFFF, 4660}, {-1, 4660}, {-2, 0x7FFFFFFE},
        {INT32_MIN, 4660}, {INT32_MIN + 5, 5}, {77, 77},
    };
    for (const auto& c : cases) {
        media::seed_random(c.seed);
        EXPECT_EQ(c.state, media::random_state()) << "seed " << c.seed;
    }
}

TEST(unit_random, state_before_any_seeding_is_4660) {
    // Only a fresh process has never been seeded.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(media::random_state() == 4660 ? 0 : 1), testing::ExitedWithCode(0), "");
}

TEST(unit_random, bounds_in_either_order_and_never_the_upper_bound) {
    media::seed_random(2024);
    double a[500];
    for (double& v : a) v = media::random_float(5.0, 635.0);
    media::seed_random(2024);
    for (int i = 0; i < 500; ++i) {
        const double v = media::random_float(635.0, 5.0);
        ASSERT_EQ(a[i], v) << "draw " << i << ": the bounds' order changed the value";
        ASSERT_GE(v, 5.0);
        ASSERT_LT(v, 635.0);
    }

    // Far from zero, a draw close to 1 rounds onto the upper bound unless the layer stops it.
    const double low = 1e15, high = 1e15 + 1.0;
    for (int i = 0; i < 5000; ++i) {
        const double v = media::random_float(low, high);
        ASSERT_GE(v, low);
        ASSERT_LT(v, high) << "draw " << i << " reached the upper bound";
    }

    EXPECT_EQ(7.0, media::random_float(7.0, 7.0));
}

}  // namespace
