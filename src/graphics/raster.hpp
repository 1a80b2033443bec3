#pragma once
// Rasterisation: circles, lines and triangles turned into points and horizontal
// spans, and rectangles clamped and cut, all without SDL and without allocating.
//
// A caller passes a sink with two members,
//   void point(std::int32_t x, std::int32_t y);
//   void span(std::int32_t x0, std::int32_t x1, std::int32_t y);  // x0 <= x1, both drawn
// and a clip box. Every coordinate handed to the sink has been clamped to the screen
// coordinate range and lies inside the clip box: points outside are dropped and spans
// are cut to it. With `UNCLIPPED` the sink sees the whole drawing sequence, in
// drawing order; with a smaller box it sees that same sequence minus what falls
// outside. Clipping here, in integers, is what keeps the picture exact: the renderer
// works in 32-bit floats, which cannot hold ends near the clamp limits exactly.
//
// Positions are computed in 32-bit two's-complement arithmetic that wraps, and only
// then clamped, so a circle centred near the edge of the 32-bit range wraps around.

#include <cstdint>

#include "interpreter/value.hpp"

namespace quenra::raster {

// The range every coordinate is clamped to before it reaches the renderer.
inline constexpr std::int32_t COORDINATE_MIN = -1073741824;  // -2^30
inline constexpr std::int32_t COORDINATE_MAX = 1073741823;   // 2^30 - 1
// Rectangle sizes are clamped to 1..SIZE_LIMIT (a size of 0 draws one pixel).
inline constexpr std::int32_t SIZE_LIMIT = 1073741823;

constexpr std::int32_t clamp_coordinate(std::int32_t value) {
    return value < COORDINATE_MIN   ? COORDINATE_MIN
           : value > COORDINATE_MAX ? COORDINATE_MAX
                                    : value;
}

constexpr std::int32_t clamp_size(std::uint32_t size) {
    if (size == 0) return 1;
    return size > static_cast<std::uint32_t>(SIZE_LIMIT) ? SIZE_LIMIT
                                                         : static_cast<std::int32_t>(size);
}

constexpr std::int32_t wrapping_add(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr std::int32_t wrapping_sub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// An inclusive box in clamped coordinates.
struct Clip {
    std::int32_t left, top, right, bottom;
};
inline constexpr Clip UNCLIPPED{COORDINATE_MIN, COORDINATE_MIN, COORDINATE_MAX, COORDINATE_MAX};

// The box of a render target of `width` by `height` pixels (empty when either is 0).
Clip target_clip(std::int32_t width, std::int32_t height);

// A rectangle as the renderer takes it.
struct Box {
    std::int32_t x, y, width, height;
};

// The filled rectangle, clamped and cut to `clip`; false when nothing is visible.
bool fill_box(const RectData& rect, const Clip& clip, Box& out);
// A rectangle whose outline, inside `clip`, is exactly the visible part of the
// clamped rectangle's outline: sides cut by the clip move one pixel outside it.
// False when the rectangle does not meet the clip at all.
bool outline_box(const RectData& rect, const Clip& clip, Box& out);

// The x of a triangle edge on row `y` in single precision, truncated with saturation.
// (xu, yu) is the upper end and (xl, yl) the lower one, yu < yl.
std::int32_t edge_x(std::int32_t xu, std::int32_t yu, std::int32_t xl, std::int32_t yl,
                    std::int32_t y);
// A float to a 32-bit integer: truncated toward zero, saturated, NaN giving 0.
std::int32_t truncate_to_int32(float value);

namespace detail {

// The unclamped coordinates whose clamped value lies in [lo, hi], as an inclusive
// interval (empty when first > last).
struct Range {
    std::int64_t first, last;
};
Range unclamped_range(std::int32_t lo, std::int32_t hi);

template <class Sink>
void emit_point(const Clip& clip, std::int32_t x, std::int32_t y, Sink& sink) {
    x = clamp_coordinate(x);
    y = clamp_coordinate(y);
    if (x < clip.left || x > clip.right || y < clip.top || y > clip.bottom) return;
    sink.point(x, y);
}

// A horizontal line between (xa, y) and (xb, y), ends in either order.
template <class Sink>
void emit_span(const Clip& clip, std::int32_t xa, std::int32_t xb, std::int32_t y, Sink& sink) {
    y = clamp_coordinate(y);
    if (y < clip.top || y > clip.bottom) return;
    xa = clamp_coordinate(xa);
    xb = clamp_coordinate(xb);
    std::int32_t lo = xa < xb ? xa : xb;
    std::int32_t hi = xa < xb ? xb : xa;
    if (lo < clip.left) lo = clip.left;
    if (hi > clip.right) hi = clip.right;
    if (lo <= hi) sink.span(lo, hi, y);
}

// The rows ya to yb (ya <= yb), each from xa to xb (ends in either order).
template <class Sink>
void emit_band(const Clip& clip, std::int32_t xa, std::int32_t xb, std::int32_t ya, std::int32_t yb,
               Sink& sink) {
    ya = clamp_coordinate(ya);
    yb = clamp_coordinate(yb);
    if (ya < clip.top) ya = clip.top;
    if (yb > clip.bottom) yb = clip.bottom;
    if (ya > yb) return;
    xa = clamp_coordinate(xa);
    xb = clamp_coordinate(xb);
    std::int32_t lo = xa < xb ? xa : xb;
    std::int32_t hi = xa < xb ? xb : xa;
    if (lo < clip.left) lo = clip.left;
    if (hi > clip.right) hi = clip.right;
    if (lo <= hi) sink.band(lo, hi, ya, yb);
}

// The state of the line walk at its first point inside the clip, and how many
// points remain from there. The walk's error term depends only on how far it has
// come along each axis, so it can start anywhere on the line.
struct LineWalk {
    std::int64_t x, y, err, dx, dy;
    std::int32_t sx, sy;
    std::int64_t remaining;
};
LineWalk start_line(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                    const Clip& clip);

// The smallest and the largest distance d from 0 to `reach` at which centre + d or
// centre - d, worked out with 32-bit wrap-around and then clamped, falls between lo
// and hi; {INT64_MAX, -1} when there is none, so that bounds taken from it admit no
// step of the midpoint scheme.
Range visible_distances(std::int32_t centre, std::int64_t reach, std::int32_t lo, std::int32_t hi);

}  // namespace detail

// Where the midpoint scheme can still show something: while y <= `last_y` and
// x >= `first_x`.
struct CircleSteps {
    std::int64_t first_x, last_y;
};
inline constexpr CircleSteps ALL_STEPS{INT64_MIN, INT64_MAX};
// Up to this radius the whole scheme costs less than working out where to stop.
inline constexpr std::int64_t SMALL_RADIUS = 1024;

namespace detail {

template <bool BOUNDED, class Step>
void midpoint_steps(std::int32_t r, const CircleSteps& shown, Step& step) {
    std::int32_t x = r, y = 0, err = 0;
    while (x >= y && (!BOUNDED || (y <= shown.last_y && x >= shown.first_x))) {
        step(x, y);
        // y has reached the largest 32-bit value: the loop could never end.
        if (y == INT32_MAX) return;
        y += 1;
        err = wrapping_add(err, wrapping_add(wrapping_add(y, y), 1));
        std::int32_t d = wrapping_sub(err, x);
        if (wrapping_add(wrapping_add(d, d), 1) > 0) {
            x -= 1;
            err = wrapping_add(err, wrapping_sub(1, wrapping_add(x, x)));
        }
    }
}

}  // namespace detail

// The midpoint scheme shared by both circle forms; calls step(x, y) for each step
// within `shown`. Draws nothing for a radius of 2^31 or more (negative as a signed
// 32-bit number). The loop without bounds is the one most circles take: the checks
// per step cost a small circle more than its whole drawing saves.
template <class Step>
void midpoint_circle(std::uint32_t radius, const CircleSteps& shown, Step&& step) {
    auto r = static_cast<std::int32_t>(radius);
    if (r < 0) return;
    if (shown.last_y == ALL_STEPS.last_y) {
        detail::midpoint_steps<false>(r, shown, step);
    } else {
        detail::midpoint_steps<true>(r, shown, step);
    }
}

// The steps of the midpoint scheme that can put anything of a filled circle inside
// the clip. The spans of the step at (x, y) lie y and x rows away from the centre,
// and those of every later step between y and x rows away (y grows, x shrinks, and
// x >= y): once y is past the farthest row distance at which the clip sees
// anything, or x short of the nearest, the rest of the scheme draws nothing there.
// A huge circle thus costs what shows of it, not its radius.
inline CircleSteps row_steps(const CircleData& circle, const Clip& clip) {
    const std::int64_t r = static_cast<std::int32_t>(circle.radius);
    if (r <= SMALL_RADIUS) return ALL_STEPS;
    const detail::Range rows = detail::visible_distances(circle.y, r, clip.top, clip.bottom);
    return {rows.first, rows.last};
}

// An outline's points need both their row and their column inside the clip, and
// what holds of rows holds of columns too: the tighter of the two bounds.
inline CircleSteps point_steps(const CircleData& circle, const Clip& clip) {
    const std::int64_t r = static_cast<std::int32_t>(circle.radius);
    if (r <= SMALL_RADIUS) return ALL_STEPS;
    const CircleSteps rows = row_steps(circle, clip);
    const detail::Range columns = detail::visible_distances(circle.x, r, clip.left, clip.right);
    return {rows.first_x > columns.first ? rows.first_x : columns.first,
            rows.last_y < columns.last ? rows.last_y : columns.last};
}

// Whether the box from (x0, y0) to (x1, y1), in 64 bits, lies inside the clip:
// then nothing in it wraps, clamps or falls outside, and a shape drawn there needs
// none of the checks per point.
constexpr bool box_inside(const Clip& clip, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                          std::int64_t y1) {
    return x0 >= clip.left && x1 <= clip.right && y0 >= clip.top && y1 <= clip.bottom;
}

// Eight points per step, in a fixed order; coinciding points are emitted again.
// Flattened: with two loops to choose from, the compiler otherwise calls the step
// out of line, eight points at a time.
template <class Sink>
[[gnu::flatten]] void circle_outline(const CircleData& circle, const Clip& clip, Sink& sink) {
    const std::int32_t cx = circle.x, cy = circle.y;
    const std::int64_t r = static_cast<std::int32_t>(circle.radius);
    if (r >= 0 && box_inside(clip, cx - r, cy - r, cx + r, cy + r)) {
        midpoint_circle(circle.radius, ALL_STEPS, [&](std::int32_t x, std::int32_t y) {
            sink.point(cx + x, cy + y);
            sink.point(cx - x, cy + y);
            sink.point(cx + x, cy - y);
            sink.point(cx - x, cy - y);
            sink.point(cx + y, cy + x);
            sink.point(cx - y, cy + x);
            sink.point(cx + y, cy - x);
            sink.point(cx - y, cy - x);
        });
        return;
    }
    midpoint_circle(circle.radius, point_steps(circle, clip), [&](std::int32_t x, std::int32_t y) {
        detail::emit_point(clip, wrapping_add(cx, x), wrapping_add(cy, y), sink);
        detail::emit_point(clip, wrapping_sub(cx, x), wrapping_add(cy, y), sink);
        detail::emit_point(clip, wrapping_add(cx, x), wrapping_sub(cy, y), sink);
        detail::emit_point(clip, wrapping_sub(cx, x), wrapping_sub(cy, y), sink);
        detail::emit_point(clip, wrapping_add(cx, y), wrapping_add(cy, x), sink);
        detail::emit_point(clip, wrapping_sub(cx, y), wrapping_add(cy, x), sink);
        detail::emit_point(clip, wrapping_add(cx, y), wrapping_sub(cy, x), sink);
        detail::emit_point(clip, wrapping_sub(cx, y), wrapping_sub(cy, x), sink);
    });
}

// Four spans per step, in a fixed order.
template <class Sink>
void circle_fill(const CircleData& circle, const Clip& clip, Sink& sink) {
    const std::int32_t cx = circle.x, cy = circle.y;
    midpoint_circle(circle.radius, row_steps(circle, clip), [&](std::int32_t x, std::int32_t y) {
        detail::emit_span(clip, wrapping_sub(cx, x), wrapping_add(cx, x), wrapping_add(cy, y),
                          sink);
        detail::emit_span(clip, wrapping_sub(cx, y), wrapping_add(cx, y), wrapping_add(cy, x),
                          sink);
        detail::emit_span(clip, wrapping_sub(cx, x), wrapping_add(cx, x), wrapping_sub(cy, y),
                          sink);
        detail::emit_span(clip, wrapping_sub(cx, y), wrapping_add(cx, y), wrapping_sub(cy, x),
                          sink);
    });
}

// The filled circle with each row covered once, by the widest of the spans
// circle_fill emits on it, and rows of equal width next to each other handed over
// together as one band: the same pixels in about a third of the pieces. All spans
// of a row are centred on cx, so the widest covers the others; that holds while no
// position wraps around the 32-bit range, and a circle that would wrap is emitted
// exactly as circle_fill emits it. The sink also takes
//   void band(std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1);
// for the rows y0 to y1 (y0 <= y1), each from x0 to x1.
template <class Sink>
void circle_fill_bands(const CircleData& circle, const Clip& clip, Sink& sink) {
    const std::int64_t r = static_cast<std::int32_t>(circle.radius);
    if (r < 0) return;
    if (circle.x - r < INT32_MIN || circle.x + r > INT32_MAX || circle.y - r < INT32_MIN ||
        circle.y + r > INT32_MAX) {
        circle_fill(circle, clip, sink);
        return;
    }
    const std::int32_t cx = circle.x, cy = circle.y;
    // The steps since x last changed: rows cy +- first..last have half-width x,
    // and rows cy +- x have half-width last (the widest of their spans).
    std::int32_t run_x = -1, first = 0, last = 0;
    auto emit_run = [&] {
        if (first == 0) {
            detail::emit_band(clip, cx - run_x, cx + run_x, cy - last, cy + last, sink);
        } else {
            detail::emit_band(clip, cx - run_x, cx + run_x, cy + first, cy + last, sink);
            detail::emit_band(clip, cx - run_x, cx + run_x, cy - last, cy - first, sink);
        }
        detail::emit_band(clip, cx - last, cx + last, cy + run_x, cy + run_x, sink);
        if (run_x != 0) detail::emit_band(clip, cx - last, cx + last, cy - run_x, cy - run_x, sink);
    };
    // Stopping early leaves a run pending whose rows cy +- run_x may have lost later
    // steps; those rows are out of sight then, as every later step's are.
    midpoint_circle(circle.radius, row_steps(circle, clip), [&](std::int32_t x, std::int32_t y) {
        if (x != run_x) {
            if (run_x >= 0) emit_run();
            run_x = x;
            first = y;
        }
        last = y;
    });
    if (run_x >= 0) emit_run();
}

// The points of the line from (x0, y0) to (x1, y1), both ends included, in order
// from the first end. The direction matters: the reversed line may differ.
template <class Sink>
void line(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, const Clip& clip,
          Sink& sink) {
    if (box_inside(clip, x0 < x1 ? x0 : x1, y0 < y1 ? y0 : y1, x0 < x1 ? x1 : x0,
                   y0 < y1 ? y1 : y0)) {
        // The walk from the first end, with every point inside.
        const std::int32_t dx = x1 > x0 ? x1 - x0 : x0 - x1, dy = y1 > y0 ? y1 - y0 : y0 - y1;
        const std::int32_t sx = x1 > x0 ? 1 : -1, sy = y1 > y0 ? 1 : -1;
        // Within the clamp range dx and dy fit 32 bits; twice the error needs more.
        std::int64_t err = std::int64_t{dx} - dy;
        while (true) {
            sink.point(x0, y0);
            if (x0 == x1 && y0 == y1) return;
            const std::int64_t e2 = 2 * err;
            if (e2 > -dy) {
                err -= dy;
                x0 += sx;
            }
            if (e2 < dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    detail::LineWalk w = detail::start_line(x0, y0, x1, y1, clip);
    for (; w.remaining > 0; --w.remaining) {
        detail::emit_point(clip, static_cast<std::int32_t>(w.x), static_cast<std::int32_t>(w.y),
                           sink);
        std::int64_t e2 = 2 * w.err;
        if (e2 > -w.dy) {
            w.err -= w.dy;
            w.x += w.sx;
        }
        if (e2 < w.dx) {
            w.err += w.dx;
            w.y += w.sy;
        }
    }
}

// Vertex 1 to 2, 2 to 3, 3 to 1; shared corners are emitted twice.
template <class Sink>
void triangle_outline(const TriangleData& t, const Clip& clip, Sink& sink) {
    line(t.x1, t.y1, t.x2, t.y2, clip, sink);
    line(t.x2, t.y2, t.x3, t.y3, clip, sink);
    line(t.x3, t.y3, t.x1, t.y1, clip, sink);
}

// One span per row from the top vertex's row to the bottom one's, from the smallest
// to the largest x at which the edges meet the row. Nothing when all three vertices
// share a row.
template <class Sink>
void triangle_fill(const TriangleData& t, const Clip& clip, Sink& sink) {
    struct Vertex {
        std::int32_t x, y;
    };
    Vertex v[3] = {{t.x1, t.y1}, {t.x2, t.y2}, {t.x3, t.y3}};
    // A stable sort by y: vertices on one row keep their order.
    for (int i = 1; i < 3; ++i) {
        for (int j = i; j > 0 && v[j].y < v[j - 1].y; --j) {
            Vertex swap = v[j];
            v[j] = v[j - 1];
            v[j - 1] = swap;
        }
    }
    if (v[0].y == v[2].y) return;
    detail::Range rows = detail::unclamped_range(clip.top, clip.bottom);
    std::int64_t first = rows.first > v[0].y ? rows.first : v[0].y;
    std::int64_t last = rows.last < v[2].y ? rows.last : v[2].y;
    const Vertex edges[3][2] = {{v[0], v[1]}, {v[1], v[2]}, {v[0], v[2]}};
    for (std::int64_t row = first; row <= last; ++row) {
        auto y = static_cast<std::int32_t>(row);
        std::int32_t lo = INT32_MAX, hi = INT32_MIN;
        for (const auto& edge : edges) {
            const Vertex& upper = edge[0];
            const Vertex& lower = edge[1];
            if (y < upper.y || y > lower.y) continue;
            if (upper.y == lower.y) {
                if (upper.x < lo) lo = upper.x;
                if (upper.x > hi) hi = upper.x;
                if (lower.x < lo) lo = lower.x;
                if (lower.x > hi) hi = lower.x;
                continue;
            }
            std::int32_t x = edge_x(upper.x, upper.y, lower.x, lower.y, y);
            if (x < lo) lo = x;
            if (x > hi) hi = x;
        }
        detail::emit_span(clip, lo, hi, y, sink);
    }
}

}  // namespace quenra::raster
