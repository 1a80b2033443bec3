// Rasterisation on its own, without SDL: the exact sequences of points and spans,
// against hand-computed ones, and clipping against the unclipped sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "graphics/raster.hpp"

namespace quenra::raster {
namespace {

// What a rasteriser emitted, in order.
struct Mark {
    bool is_span;
    std::int32_t x0, x1, y;
};

// Records what a rasteriser emits, as "x,y" for a point and "x0-x1,y" for a span.
struct Recorder {
    std::vector<Mark> marks;
    std::vector<std::string> items;
    void point(std::int32_t x, std::int32_t y) {
        marks.push_back({false, x, x, y});
        items.push_back(std::to_string(x) + "," + std::to_string(y));
    }
    void span(std::int32_t x0, std::int32_t x1, std::int32_t y) {
        marks.push_back({true, x0, x1, y});
        items.push_back(std::to_string(x0) + "-" + std::to_string(x1) + "," + std::to_string(y));
    }
    // Recorded as its rows.
    void band(std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1) {
        ++bands;
        for (std::int64_t y = y0; y <= y1; ++y) span(x0, x1, static_cast<std::int32_t>(y));
    }
    int bands = 0;
};

using Items = std::vector<std::string>;

Recorder line_recorded(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                       const Clip& clip) {
    Recorder r;
    line(x0, y0, x1, y1, clip, r);
    return r;
}

Items line_points(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                  const Clip& clip = UNCLIPPED) {
    return line_recorded(x0, y0, x1, y1, clip).items;
}

TEST(Raster, Clamps) {
    EXPECT_EQ(clamp_coordinate(INT32_MIN), -1073741824);
    EXPECT_EQ(clamp_coordinate(-1073741825), -1073741824);
    EXPECT_EQ(clamp_coordinate(-1073741824), -1073741824);
    EXPECT_EQ(clamp_coordinate(1073741823), 1073741823);
    EXPECT_EQ(clamp_coordinate(1073741824), 1073741823);
    EXPECT_EQ(clamp_coordinate(INT32_MAX), 1073741823);
    EXPECT_EQ(clamp_size(0), 1);
    EXPECT_EQ(clamp_size(1), 1);
    EXPECT_EQ(clamp_size(1073741823), 1073741823);
    EXPECT_EQ(clamp_size(4294967291u), 1073741823);
}

TEST(Raster, CircleOutlineSequence) {
    Recorder r0;
    circle_outline({7, 9, 0}, UNCLIPPED, r0);
    EXPECT_EQ(r0.items, Items(8, "7,9"));
    // One step: x = 1, y = 0; then x drops below y.
    Recorder r1;
    circle_outline({100, 100, 1}, UNCLIPPED, r1);
    EXPECT_EQ(r1.items, (Items{"101,100", "99,100", "101,100", "99,100", "100,101", "100,101",
                               "100,99", "100,99"}));
    // Steps (5, 0), (5, 1), (4, 2), (3, 3), eight points each.
    Recorder r5;
    circle_outline({0, 0, 5}, UNCLIPPED, r5);
    ASSERT_EQ(r5.items.size(), 32u);
    EXPECT_EQ(Items(r5.items.begin() + 8, r5.items.begin() + 16),
              (Items{"5,1", "-5,1", "5,-1", "-5,-1", "1,5", "-1,5", "1,-5", "-1,-5"}));
    EXPECT_EQ(Items(r5.items.begin() + 16, r5.items.begin() + 18), (Items{"4,2", "-4,2"}));
    EXPECT_EQ(Items(r5.items.begin() + 24, r5.items.begin() + 26), (Items{"3,3", "-3,3"}));
    // A radius of 2^31 or more is negative as a signed number: nothing.
    Recorder none;
    circle_outline({0, 0, 4294967295u}, UNCLIPPED, none);
    circle_outline({0, 0, 2147483648u}, UNCLIPPED, none);
    EXPECT_TRUE(none.items.empty());
}

TEST(Raster, CircleFillSequence) {
    Recorder r0;
    circle_fill({3, 4, 0}, UNCLIPPED, r0);
    EXPECT_EQ(r0.items, Items(4, "3-3,4"));
    Recorder r2;
    circle_fill({10, 20, 2}, UNCLIPPED, r2);
    // Steps (2, 0) and (1, 1); then y = 2 takes x to 0.
    EXPECT_EQ(r2.items, (Items{"8-12,20", "10-10,22", "8-12,20", "10-10,18", "9-11,21", "9-11,21",
                               "9-11,19", "9-11,19"}));
}

TEST(Raster, CirclePositionsWrapThenClamp) {
    Recorder r;
    circle_outline({INT32_MAX, 0, 1}, UNCLIPPED, r);
    // INT32_MAX + 1 wraps to INT32_MIN, which clamps to -2^30.
    EXPECT_EQ(r.items[0], "-1073741824,0");
    EXPECT_EQ(r.items[1], "1073741823,0");
    Recorder f;
    circle_fill({INT32_MIN, 5, 3}, UNCLIPPED, f);
    // INT32_MIN - 3 wraps to the top of the range: the span covers every column.
    EXPECT_EQ(f.items[0], "-1073741824-1073741823,5");
}

TEST(Raster, LineSequenceDependsOnDirection) {
    EXPECT_EQ(line_points(0, 0, 4, 2), (Items{"0,0", "1,0", "2,1", "3,1", "4,2"}));
    EXPECT_EQ(line_points(4, 2, 0, 0), (Items{"4,2", "3,2", "2,1", "1,1", "0,0"}));
    EXPECT_EQ(line_points(3, 3, 3, 3), (Items{"3,3"}));
    EXPECT_EQ(line_points(0, 0, 0, -3), (Items{"0,0", "0,-1", "0,-2", "0,-3"}));
    EXPECT_EQ(line_points(0, 0, 2, 5), (Items{"0,0", "0,1", "1,2", "1,3", "2,4", "2,5"}));
    EXPECT_EQ(line_points(0, 0, -3, 3), (Items{"0,0", "-1,1", "-2,2", "-3,3"}));
}

TEST(Raster, TriangleOutlineIsThreeLinesInOrder) {
    Recorder r;
    triangle_outline({0, 0, 2, 0, 0, 2}, UNCLIPPED, r);
    EXPECT_EQ(r.items, (Items{"0,0", "1,0", "2,0", "2,0", "1,1", "0,2", "0,2", "0,1", "0,0"}));
}

Recorder fill_recorded(const TriangleData& t, const Clip& clip) {
    Recorder r;
    triangle_fill(t, clip, r);
    return r;
}

Items fill_spans(const TriangleData& t, const Clip& clip = UNCLIPPED) {
    return fill_recorded(t, clip).items;
}

TEST(Raster, TriangleFillRows) {
    // Flat top: row y runs from 0 to 4 - y.
    EXPECT_EQ(fill_spans({0, 0, 4, 0, 0, 4}), (Items{"0-4,0", "0-3,1", "0-2,2", "0-1,3", "0-0,4"}));
    // Flat bottom, vertices in another order.
    EXPECT_EQ(fill_spans({4, 4, 2, 0, 0, 4}), (Items{"2-2,0", "1-2,1", "1-3,2", "0-3,3", "0-4,4"}));
    // The row-7 case: 10 + (0 - 10) * 0.4f is 6 in single precision.
    Items seven = fill_spans({0, 0, 10, 5, 0, 10});
    ASSERT_EQ(seven.size(), 11u);
    EXPECT_EQ(seven[7], "0-6,7");
    EXPECT_EQ(seven[5], "0-10,5");
    // All on one row: nothing. Collinear: one pixel per row.
    EXPECT_TRUE(fill_spans({0, 5, 10, 5, 20, 5}).empty());
    EXPECT_EQ(fill_spans({0, 0, 2, 2, 1, 1}), (Items{"0-0,0", "1-1,1", "2-2,2"}));
}

TEST(Raster, EdgeArithmeticIsSinglePrecision) {
    EXPECT_EQ(edge_x(10, 5, 0, 10, 7), 6);
    // 100 - (-2^30) rounds to 2^30 + 128 in single precision.
    EXPECT_EQ(edge_x(-1073741824, 0, 100, 1, 1), 128);
    EXPECT_EQ(edge_x(INT32_MIN, 0, INT32_MAX, 1, 1), INT32_MAX);
    EXPECT_EQ(truncate_to_int32(-2.9f), -2);
    EXPECT_EQ(truncate_to_int32(2.9f), 2);
    EXPECT_EQ(truncate_to_int32(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(truncate_to_int32(3e9f), INT32_MAX);
    EXPECT_EQ(truncate_to_int32(-3e9f), INT32_MIN);
    EXPECT_EQ(truncate_to_int32(-2147483648.0f), INT32_MIN);
    EXPECT_EQ(truncate_to_int32(2147483520.0f), 2147483520);
}

TEST(Raster, RectanglesClampAndCut) {
    const Clip window = target_clip(200, 150);
    Box box;
    ASSERT_TRUE(fill_box({0, 0, 0, 0}, window, box));
    EXPECT_EQ((std::vector<int>{box.x, box.y, box.width, box.height}),
              (std::vector<int>{0, 0, 1, 1}));
    ASSERT_TRUE(fill_box({150, -20, 4294967291u, 30}, window, box));
    EXPECT_EQ((std::vector<int>{box.x, box.y, box.width, box.height}),
              (std::vector<int>{150, 0, 50, 10}));
    EXPECT_FALSE(fill_box({200, 0, 5, 5}, window, box));
    EXPECT_FALSE(fill_box({-5, 0, 5, 5}, window, box));
    // Outline: cut sides move just outside the window; inner sides stay.
    ASSERT_TRUE(outline_box({-10, 5, 30, 10}, window, box));
    EXPECT_EQ((std::vector<int>{box.x, box.y, box.width, box.height}),
              (std::vector<int>{-1, 5, 21, 10}));
    ASSERT_TRUE(outline_box({-100, -100, 1000, 1000}, window, box));
    EXPECT_EQ((std::vector<int>{box.x, box.y, box.width, box.height}),
              (std::vector<int>{-1, -1, 202, 152}));
    EXPECT_FALSE(outline_box({-10, -10, 5, 5}, window, box));
    // Unclipped, a rectangle is only clamped.
    ASSERT_TRUE(fill_box({INT32_MIN, 7, 0, 4294967295u}, UNCLIPPED, box));
    EXPECT_EQ((std::vector<int>{box.x, box.y, box.width, box.height}),
              (std::vector<int>{-1073741824, 7, 1, 1073741817}));
}

// Keeps what an unclipped rasteriser emits inside a clip, as the clipped one must
// emit it (spans cut to the clip), without holding the rest.
struct ClipRecorder {
    Clip clip;
    Recorder kept;
    void point(std::int32_t x, std::int32_t y) {
        if (y >= clip.top && y <= clip.bottom && x >= clip.left && x <= clip.right)
            kept.point(x, y);
    }
    void span(std::int32_t x0, std::int32_t x1, std::int32_t y) {
        if (y < clip.top || y > clip.bottom) return;
        x0 = std::max(x0, clip.left);
        x1 = std::min(x1, clip.right);
        if (x0 <= x1) kept.span(x0, x1, y);
    }
};

// What the clipped rasterisers must emit: the unclipped sequence minus what lies
// outside the clip, spans cut to it.
Items filter(const Recorder& unclipped, const Clip& clip) {
    ClipRecorder out{clip, {}};
    for (const Mark& m : unclipped.marks) {
        if (m.is_span) {
            out.span(m.x0, m.x1, m.y);
        } else {
            out.point(m.x0, m.y);
        }
    }
    return out.kept.items;
}

TEST(Raster, ClippingKeepsExactlyTheVisiblePart) {
    std::mt19937 random(12345);
    auto coordinate = [&](int range) {
        return static_cast<std::int32_t>(random() % (2 * range + 1)) - range;
    };
    for (int i = 0; i < 3000; ++i) {
        const int range = i % 3 == 0 ? 3000 : 60;
        Clip clip{coordinate(40), coordinate(40), 0, 0};
        clip.right = clip.left + static_cast<std::int32_t>(random() % 50);
        clip.bottom = clip.top + static_cast<std::int32_t>(random() % 50);
        std::int32_t a = coordinate(range), b = coordinate(range), c = coordinate(range),
                     d = coordinate(range);
        std::int32_t e = coordinate(range), f = coordinate(range);
        SCOPED_TRACE(testing::Message()
                     << a << "," << b << " " << c << "," << d << " " << e << "," << f << " clip "
                     << clip.left << "," << clip.top << "," << clip.right << "," << clip.bottom);
        EXPECT_EQ(line_points(a, b, c, d, clip),
                  filter(line_recorded(a, b, c, d, UNCLIPPED), clip));
        EXPECT_EQ(fill_spans({a, b, c, d, e, f}, clip),
                  filter(fill_recorded({a, b, c, d, e, f}, UNCLIPPED), clip));
        auto radius = static_cast<std::uint32_t>(random() % 80);
        Recorder outline, outline_clipped, filled, filled_clipped;
        circle_outline({a / 10, b / 10, radius}, UNCLIPPED, outline);
        circle_outline({a / 10, b / 10, radius}, clip, outline_clipped);
        circle_fill({a / 10, b / 10, radius}, UNCLIPPED, filled);
        circle_fill({a / 10, b / 10, radius}, clip, filled_clipped);
        EXPECT_EQ(outline_clipped.items, filter(outline, clip));
        EXPECT_EQ(filled_clipped.items, filter(filled, clip));
    }
}

// The pixels a recording covers, as "x,y" texts.
std::set<std::string> covered(const Recorder& r) {
    std::set<std::string> out;
    for (const Mark& m : r.marks) {
        for (std::int64_t x = m.x0; x <= m.x1; ++x)
            out.insert(std::to_string(x) + "," + std::to_string(m.y));
    }
    return out;
}

// A circle and the clip it is drawn into.
struct CircleCase {
    CircleData circle;
    Clip clip;
};

std::string describe(const CircleCase& c) {
    return std::to_string(c.circle.x) + "," + std::to_string(c.circle.y) + " r " +
           std::to_string(c.circle.radius) + " clip " + std::to_string(c.clip.left) + "," +
           std::to_string(c.clip.top) + "," + std::to_string(c.clip.right) + "," +
           std::to_string(c.clip.bottom);
}

TEST(Raster, CircleBandsCoverWhatTheFullSchemeCovers) {
    std::mt19937 random(777);
    std::vector<CircleCase> cases = {
        {{0, 0, 0}, UNCLIPPED},
        {{5, 5, 1}, UNCLIPPED},
        {{-3, 7, 2}, UNCLIPPED},
        // Near the ends of the 32-bit range: positions wrap, and the full scheme runs.
        {{INT32_MAX - 2, 10, 5}, target_clip(100, 100)},
        {{INT32_MIN + 1, INT32_MAX - 1, 4},
         {COORDINATE_MIN, COORDINATE_MAX - 5, COORDINATE_MIN + 5, COORDINATE_MAX}},
        {{10, INT32_MIN + 3, 6}, {-20, -20, 40, 40}},
        // Just inside the range: no wrap, one span per row.
        {{INT32_MAX - 5, 0, 5}, {INT32_MAX - 20, -10, INT32_MAX, 10}},
    };
    for (int i = 0; i < 400; ++i) {
        Clip clip{static_cast<std::int32_t>(random() % 80) - 40,
                  static_cast<std::int32_t>(random() % 80) - 40, 0, 0};
        clip.right = clip.left + static_cast<std::int32_t>(random() % 60);
        clip.bottom = clip.top + static_cast<std::int32_t>(random() % 60);
        cases.push_back({{static_cast<std::int32_t>(random() % 100) - 50,
                          static_cast<std::int32_t>(random() % 100) - 50,
                          static_cast<std::uint32_t>(random() % 70)},
                         i % 4 == 0 ? UNCLIPPED : clip});
    }
    for (const CircleCase& c : cases) {
        SCOPED_TRACE(describe(c));
        Recorder full, rows;
        circle_fill(c.circle, c.clip, full);
        circle_fill_bands(c.circle, c.clip, rows);
        EXPECT_EQ(covered(rows), covered(full));
        // Each row comes once, or twice where the two halves of the scheme meet (rows
        // that clamp to the edge of the range gather more).
        const std::int64_t reach = std::int64_t{c.circle.radius} + 1;
        if (std::abs(std::int64_t{c.circle.x}) + reach > COORDINATE_MAX ||
            std::abs(std::int64_t{c.circle.y}) + reach > COORDINATE_MAX)
            continue;
        std::map<std::int32_t, int> per_row;
        for (const Mark& m : rows.marks) ++per_row[m.y];
        for (auto [y, count] : per_row) EXPECT_LE(count, 2) << "row " << y;
    }
    // Rows of equal width next to each other come as one band: radius 20 covers 41
    // rows, each once, in 27 bands (one span a row would be 41).
    Recorder twenty;
    circle_fill_bands({0, 0, 20}, UNCLIPPED, twenty);
    EXPECT_EQ(twenty.marks.size(), 41u);
    EXPECT_EQ(twenty.bands, 27);
    // A radius of 2^31 or more draws nothing here either.
    Recorder none;
    circle_fill_bands({0, 0, 2147483648u}, UNCLIPPED, none);
    EXPECT_TRUE(none.marks.empty());
}

TEST(Raster, FarOutLinesStartWhereTheyBecomeVisible) {
    const Clip window = target_clip(10, 10);
    // Each of these would be billions of points unclipped.
    Items row;
    for (int x = 0; x < 10; ++x) row.push_back(std::to_string(x) + ",3");
    EXPECT_EQ(line_points(INT32_MIN, 3, INT32_MAX, 3, window), row);
    Items diagonal;
    for (int k = 9; k >= 0; --k) diagonal.push_back(std::to_string(k) + "," + std::to_string(k));
    EXPECT_EQ(line_points(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, window), diagonal);
    // Steep: x moves from 0 to 1 half way down, at y = 0.
    Items steep;
    for (int y = 0; y < 10; ++y) steep.push_back("1," + std::to_string(y));
    EXPECT_EQ(line_points(0, INT32_MIN, 1, INT32_MAX, window), steep);
    // Shallow, crossing the window corner to corner over 2^31 columns each way.
    Items shallow = line_points(-2147483000, -1000, 2147483000, 1000, window);
    ASSERT_FALSE(shallow.empty());
    EXPECT_EQ(shallow.front(), "0,0");
    EXPECT_EQ(shallow.size(), 10u);
}

// Whether centre +- d, wrapped and clamped, falls in [lo, hi].
bool visible_at(std::int32_t centre, std::int64_t d, std::int32_t lo, std::int32_t hi) {
    auto shown = [&](std::int32_t p) {
        p = clamp_coordinate(p);
        return p >= lo && p <= hi;
    };
    const auto distance = static_cast<std::int32_t>(d);
    return shown(wrapping_add(centre, distance)) || shown(wrapping_sub(centre, distance));
}

TEST(Raster, VisibleDistances) {
    std::mt19937 random(4242);
    const std::int32_t centres[] = {0,
                                    5,
                                    -7,
                                    1000,
                                    INT32_MAX,
                                    INT32_MAX - 3,
                                    INT32_MIN,
                                    INT32_MIN + 9,
                                    COORDINATE_MAX,
                                    COORDINATE_MIN - 1};
    const Clip clips[] = {target_clip(10, 10),
                          target_clip(0, 0),
                          {-20, -20, 20, 20},
                          {COORDINATE_MIN, COORDINATE_MIN, COORDINATE_MIN + 3, 0},
                          {COORDINATE_MAX - 3, COORDINATE_MAX - 3, COORDINATE_MAX, COORDINATE_MAX},
                          UNCLIPPED};
    // Small reaches against every distance.
    for (std::int32_t centre : centres) {
        for (const Clip& clip : clips) {
            for (std::int64_t reach : {0, 1, 9, 40, 300}) {
                std::int64_t first = -1, last = -1;
                for (std::int64_t d = 0; d <= reach; ++d) {
                    if (!visible_at(centre, d, clip.top, clip.bottom)) continue;
                    if (first < 0) first = d;
                    last = d;
                }
                SCOPED_TRACE(testing::Message() << centre << " reach " << reach << " clip "
                                                << clip.top << ".." << clip.bottom);
                detail::Range got = detail::visible_distances(centre, reach, clip.top, clip.bottom);
                if (first < 0) {
                    EXPECT_EQ(got.first, INT64_MAX);
                    EXPECT_EQ(got.last, -1);
                } else {
                    EXPECT_EQ(got.first, first);
                    EXPECT_EQ(got.last, last);
                }
            }
        }
    }
    // Reaches up to 2^31 - 1, where positions wrap: both ends of the range found show,
    // and distances outside it (a few hundred next to it, both ends of the reach, and
    // a sample) do not.
    for (int i = 0; i < 2000; ++i) {
        const std::int32_t centre = i % 2 == 0 ? centres[random() % std::size(centres)]
                                               : static_cast<std::int32_t>(random());
        const Clip& clip = clips[random() % std::size(clips)];
        const std::int64_t reach = i % 3 == 0 ? INT32_MAX : random() % (std::int64_t{1} << 31);
        detail::Range got = detail::visible_distances(centre, reach, clip.top, clip.bottom);
        SCOPED_TRACE(testing::Message()
                     << centre << " reach " << reach << " clip " << clip.top << ".." << clip.bottom
                     << " found " << got.first << ".." << got.last);
        if (got.first > got.last) {
            EXPECT_EQ(got.first, INT64_MAX);
            EXPECT_EQ(got.last, -1);
            got = {reach + 1, reach};  // every distance lies outside
        } else {
            ASSERT_GE(got.first, 0);
            ASSERT_LE(got.last, reach);
            EXPECT_TRUE(visible_at(centre, got.first, clip.top, clip.bottom));
            EXPECT_TRUE(visible_at(centre, got.last, clip.top, clip.bottom));
        }
        std::vector<std::int64_t> outside = {0, reach};
        for (std::int64_t k = 1; k <= 300; ++k) {
            outside.push_back(got.first - k);
            outside.push_back(got.last + k);
        }
        for (int k = 0; k < 50; ++k)
            outside.push_back(static_cast<std::int64_t>(random()) % (reach + 1));
        for (std::int64_t d : outside) {
            if (d < 0 || d > reach || (d >= got.first && d <= got.last)) continue;
            EXPECT_FALSE(visible_at(centre, d, clip.top, clip.bottom)) << d;
        }
    }
}

TEST(Raster, LargeCirclesDrawExactlyTheVisiblePart) {
    // Radii far beyond the clip, which the rasterisers stop early on; the full scheme,
    // clipped afterwards, is the reference.
    std::mt19937 random(99);
    std::vector<CircleCase> cases = {
        {{5, 5, 300000}, target_clip(10, 10)},
        {{-200000, 4, 200003}, target_clip(10, 10)},
        {{4, 250000, 250002}, target_clip(10, 10)},
        {{150000, 150000, 212132}, target_clip(40, 30)},
        // Positions wrap around the 32-bit range, or clamp onto a clip at its edge.
        {{INT32_MAX - 50, 3, 100000}, target_clip(10, 10)},
        {{0, INT32_MIN + 20, 80000}, {-10, COORDINATE_MIN, 10, COORDINATE_MIN + 10}},
        {{3, INT32_MAX - 20, 90000}, {-5, COORDINATE_MIN, 5, COORDINATE_MIN + 8}},
        {{3, INT32_MIN + 20, 90000}, {-5, COORDINATE_MAX - 8, 5, COORDINATE_MAX}},
    };
    for (int i = 0; i < 60; ++i) {
        Clip clip{static_cast<std::int32_t>(random() % 200) - 100,
                  static_cast<std::int32_t>(random() % 200) - 100, 0, 0};
        clip.right = clip.left + static_cast<std::int32_t>(random() % 40);
        clip.bottom = clip.top + static_cast<std::int32_t>(random() % 40);
        const auto radius = static_cast<std::uint32_t>(random() % 30000);
        auto near = [&] {
            return static_cast<std::int32_t>(random() % (2 * radius + 401)) -
                   static_cast<std::int32_t>(radius) - 200;
        };
        cases.push_back({{near(), near(), radius}, clip});
    }
    for (const CircleCase& c : cases) {
        SCOPED_TRACE(describe(c));
        ClipRecorder outline{c.clip, {}}, filled{c.clip, {}};
        circle_outline(c.circle, UNCLIPPED, outline);
        circle_fill(c.circle, UNCLIPPED, filled);
        Recorder outline_clipped, filled_clipped, bands;
        circle_outline(c.circle, c.clip, outline_clipped);
        circle_fill(c.circle, c.clip, filled_clipped);
        circle_fill_bands(c.circle, c.clip, bands);
        EXPECT_EQ(outline_clipped.items, outline.kept.items);
        EXPECT_EQ(filled_clipped.items, filled.kept.items);
        EXPECT_EQ(covered(bands), covered(filled.kept));
    }
}

}  // namespace
}  // namespace quenra::raster
