// The non-template parts of rasterisation: clip boxes, rectangles, the
// single-precision triangle edge and the start of a clipped line walk.
#include "graphics/raster.hpp"

#include <cmath>

namespace quenra::raster {

namespace {

// Products of two 32-bit spans reach 2^65, beyond 64 bits.
__extension__ typedef __int128 Wide;

// [x, x + width - 1] cut to [lo, hi]; false when empty.
bool cut(std::int64_t x, std::int64_t width, std::int64_t lo, std::int64_t hi, std::int64_t& out_x,
         std::int64_t& out_width) {
    std::int64_t first = x > lo ? x : lo;
    std::int64_t last = x + width - 1 < hi ? x + width - 1 : hi;
    if (first > last) return false;
    out_x = first;
    out_width = last - first + 1;
    return true;
}

// The smallest m >= 0 with (2m + 1) * major >= 2 * minor * k: how far a line has
// moved along its minor axis after k steps along its major one (major > 0).
std::int64_t minor_steps(std::int64_t major, std::int64_t minor, std::int64_t k) {
    Wide numerator = Wide{2} * minor * k - major;
    if (numerator <= 0) return 0;
    Wide denominator = Wide{2} * major;
    return static_cast<std::int64_t>((numerator + denominator - 1) / denominator);
}

}  // namespace

Clip target_clip(std::int32_t width, std::int32_t height) {
    // An empty box: right < left.
    if (width <= 0 || height <= 0) return {0, 0, -1, -1};
    return {0, 0, clamp_coordinate(width - 1), clamp_coordinate(height - 1)};
}

bool fill_box(const RectData& rect, const Clip& clip, Box& out) {
    std::int64_t x = 0, y = 0, width = 0, height = 0;
    if (!cut(clamp_coordinate(rect.x), clamp_size(rect.width), clip.left, clip.right, x, width) ||
        !cut(clamp_coordinate(rect.y), clamp_size(rect.height), clip.top, clip.bottom, y, height)) {
        return false;
    }
    out = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
           static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
    return true;
}

bool outline_box(const RectData& rect, const Clip& clip, Box& out) {
    Box visible;
    if (!fill_box(rect, clip, visible)) return false;
    // Cutting to the clip grown by one pixel keeps every side that is inside the clip
    // where it is and moves every side the clip cuts off to just outside it.
    std::int64_t x = 0, y = 0, width = 0, height = 0;
    cut(clamp_coordinate(rect.x), clamp_size(rect.width), std::int64_t{clip.left} - 1,
        std::int64_t{clip.right} + 1, x, width);
    cut(clamp_coordinate(rect.y), clamp_size(rect.height), std::int64_t{clip.top} - 1,
        std::int64_t{clip.bottom} + 1, y, height);
    out = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
           static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
    return true;
}

std::int32_t truncate_to_int32(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value < -2147483648.0f) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::int32_t edge_x(std::int32_t xu, std::int32_t yu, std::int32_t xl, std::int32_t yl,
                    std::int32_t y) {
    const float fxu = static_cast<float>(xu), fyu = static_cast<float>(yu);
    const float t = (static_cast<float>(y) - fyu) / (static_cast<float>(yl) - fyu);
    // Rounded to single precision before the sum: a fused multiply-add would round
    // once and change some rows by a pixel.
    volatile float product = (static_cast<float>(xl) - fxu) * t;
    return truncate_to_int32(fxu + product);
}

namespace detail {

Range unclamped_range(std::int32_t lo, std::int32_t hi) {
    if (lo > hi || lo > COORDINATE_MAX || hi < COORDINATE_MIN) return {1, 0};
    return {lo <= COORDINATE_MIN ? std::int64_t{INT32_MIN} : lo,
            hi >= COORDINATE_MAX ? std::int64_t{INT32_MAX} : hi};
}

Range visible_distances(std::int32_t centre, std::int64_t reach, std::int32_t lo, std::int32_t hi) {
    Range shown{INT64_MAX, -1};
    const Range visible = unclamped_range(lo, hi);
    if (visible.first > visible.last) return shown;
    // A distance below 2^31 wraps a position around the 32-bit range at most once.
    constexpr std::int64_t WRAP = std::int64_t{1} << 32;
    const std::int64_t c = centre;
    const Range distances[4] = {
        {visible.first - c, visible.last - c},                // centre + d
        {visible.first - c + WRAP, visible.last - c + WRAP},  // centre + d, wrapped
        {c - visible.last, c - visible.first},                // centre - d
        {c - visible.last + WRAP, c - visible.first + WRAP},  // centre - d, wrapped
    };
    for (const Range& d : distances) {
        const std::int64_t first = d.first < 0 ? 0 : d.first;
        const std::int64_t last = d.last > reach ? reach : d.last;
        if (first > last) continue;
        if (first < shown.first) shown.first = first;
        if (last > shown.last) shown.last = last;
    }
    return shown;
}

LineWalk start_line(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                    const Clip& clip) {
    LineWalk w{};
    w.dx = std::int64_t{x1} - x0;
    if (w.dx < 0) w.dx = -w.dx;
    w.dy = std::int64_t{y1} - y0;
    if (w.dy < 0) w.dy = -w.dy;
    w.sx = x1 > x0 ? 1 : -1;
    w.sy = y1 > y0 ? 1 : -1;
    // Every step moves one pixel along the major axis (x when dx >= dy), so the
    // visible part of that axis bounds the steps worth taking.
    const bool x_major = w.dx >= w.dy;
    const std::int64_t major = x_major ? w.dx : w.dy;
    const std::int64_t minor = x_major ? w.dy : w.dx;
    const std::int64_t start = x_major ? x0 : y0;
    const std::int32_t step = x_major ? w.sx : w.sy;
    Range visible =
        x_major ? unclamped_range(clip.left, clip.right) : unclamped_range(clip.top, clip.bottom);
    if (visible.first > visible.last) return w;
    std::int64_t k_first = step > 0 ? visible.first - start : start - visible.last;
    std::int64_t k_last = step > 0 ? visible.last - start : start - visible.first;
    if (k_first < 0) k_first = 0;
    if (k_last > major) k_last = major;
    if (k_first > k_last) return w;
    const std::int64_t m = major == 0 ? 0 : minor_steps(major, minor, k_first);
    const std::int64_t i = x_major ? k_first : m;
    const std::int64_t j = x_major ? m : k_first;
    w.x = x0 + w.sx * i;
    w.y = y0 + w.sy * j;
    // Each x step subtracts dy from the error and each y step adds dx.
    w.err = static_cast<std::int64_t>(Wide{w.dx} - w.dy + Wide{j} * w.dx - Wide{i} * w.dy);
    w.remaining = k_last - k_first + 1;
    return w;
}

}  // namespace detail

}  // namespace quenra::raster
