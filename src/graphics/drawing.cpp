// The drawing built-ins fill and draw: a shape value and a colour value become
// points, spans and rectangles on the canvas. Everything handed to the renderer is
// first clipped to its viewport (see raster.hpp), so the picture is exact whatever
// the coordinates.
#include "graphics/drawing.hpp"
#include "graphics/sdl_library.hpp"

#include <string>

#include "graphics/builtins.hpp"
#include "graphics/graphics_state.hpp"
#include "graphics/raster.hpp"
#include "interpreter/console.hpp"
#include "platform/platform.hpp"

namespace quenra {

void stop_on_frame_failure(std::string_view prefix) {
    std::string line(prefix);
    line += sdl::api().GetError();
    line += '\n';
    console::flush_out();
    console::write_err(line);
    platform::exit_now(1);
}

void set_draw_color_or_stop(SDL_Renderer* renderer, std::uint8_t r, std::uint8_t g,
                            std::uint8_t b) {
    if (sdl::api().SetRenderDrawColor(renderer, r, g, b, 255) != 0) stop_on_frame_failure("");
}

namespace {

// Rows from 16 to NARROW_ROWS_BELOW - 1 pixels wide go to SDL's software renderer
// as pieces of at most MAX_NARROW_ROW pixels. Its fill writes a row of 16 pixels or
// more with non-temporal stores, which on a frame that sits in the cache cost up to
// six times the plain stores it uses for shorter rows; from about 256 pixels on the
// non-temporal stores win. The pieces cover the same pixels.
constexpr std::int32_t MAX_NARROW_ROW = 15;
constexpr std::int32_t NARROW_ROWS_BELOW = 256;

// The widest piece a fill row of `width` pixels is handed over in.
std::int32_t widest_piece(const GraphicsState& state, std::int32_t width) {
    return state.software_renderer && width < NARROW_ROWS_BELOW ? MAX_NARROW_ROW : width;
}

// Fills `count` rectangles as two triangles each, with one RenderGeometry call, so
// that a batch is one draw call on the renderers other than SDL's software one,
// whatever they make of RenderFillRects. Corners on whole pixel positions put every
// pixel centre strictly inside or outside, so the covered pixels are exactly the
// rectangles'.
void fill_as_triangles(SDL_Renderer* renderer, const SDL_Rect* rects, int count) {
    static SDL_Vertex vertices[4 * DRAW_BATCH];
    static int indices[6 * DRAW_BATCH];
    static const bool indices_ready = [] {
        for (int i = 0; i < DRAW_BATCH; ++i) {
            const int corner[6] = {0, 1, 2, 0, 2, 3};
            for (int k = 0; k < 6; ++k) indices[6 * i + k] = 4 * i + corner[k];
        }
        return true;
    }();
    (void)indices_ready;
    SDL_Color colour{0, 0, 0, 255};
    sdl::api().GetRenderDrawColor(renderer, &colour.r, &colour.g, &colour.b, &colour.a);
    for (int i = 0; i < count; ++i) {
        const auto left = static_cast<float>(rects[i].x), top = static_cast<float>(rects[i].y);
        const auto right = static_cast<float>(rects[i].x + rects[i].w);
        const auto bottom = static_cast<float>(rects[i].y + rects[i].h);
        vertices[4 * i] = {{left, top}, colour, {0, 0}};
        vertices[4 * i + 1] = {{right, top}, colour, {0, 0}};
        vertices[4 * i + 2] = {{right, bottom}, colour, {0, 0}};
        vertices[4 * i + 3] = {{left, bottom}, colour, {0, 0}};
    }
    sdl::api().RenderGeometry(renderer, nullptr, vertices, 4 * count, indices, 6 * count);
}

// Hands what one shape emits to the renderer in batches: points with one
// RenderDrawPoints call and spans, as rectangles one pixel high, with one
// RenderFillRects call per DRAW_BATCH of them, instead of one call per pixel or
// span (the per-call cost was nearly all of the drawing time). Everything in a
// batch is already inside the target, so the renderer's float coordinates hold it
// exactly. A batch the renderer refuses is left out of the frame and the next ones
// still go, as a single refused call would be: the script goes on.
class RendererSink {
public:
    explicit RendererSink(const GraphicsState& state) : state_(state) {}
    RendererSink(const RendererSink&) = delete;
    RendererSink& operator=(const RendererSink&) = delete;
    ~RendererSink() {
        flush_points();
        flush_rects();
    }

    void point(std::int32_t x, std::int32_t y) {
        if (point_count_ == DRAW_BATCH) flush_points();
        points_[point_count_++] = {x, y};
    }
    // The clip box keeps x1 - x0 + 1 within 2^31 - 1.
    void span(std::int32_t x0, std::int32_t x1, std::int32_t y) { rect({x0, y, x1 - x0 + 1, 1}); }
    void band(std::int32_t x0, std::int32_t x1, std::int32_t y0, std::int32_t y1) {
        rect({x0, y0, x1 - x0 + 1, y1 - y0 + 1});
    }
    // A filled rectangle inside the target, cut into pieces side by side where
    // widest_piece says so.
    void rect(const SDL_Rect& r) {
        const std::int32_t widest = widest_piece(state_, r.w);
        for (std::int32_t left = 0; left < r.w; left += widest) {
            if (rect_count_ == DRAW_BATCH) flush_rects();
            rects_[rect_count_++] = {r.x + left, r.y, r.w - left < widest ? r.w - left : widest,
                                     r.h};
        }
    }

private:
    void flush_points() {
        if (point_count_ > 0) sdl::api().RenderDrawPoints(state_.renderer, points_, point_count_);
        point_count_ = 0;
    }
    void flush_rects() {
        if (rect_count_ == 0) return;
        if (state_.software_renderer) {
            sdl::api().RenderFillRects(state_.renderer, rects_, rect_count_);
        } else {
            fill_as_triangles(state_.renderer, rects_, rect_count_);
        }
        rect_count_ = 0;
    }

    const GraphicsState& state_;
    int point_count_ = 0;
    int rect_count_ = 0;
    SDL_Point points_[DRAW_BATCH];
    SDL_Rect rects_[DRAW_BATCH];
};

enum class Style { Filled, Outline };

raster::Clip viewport_clip(SDL_Renderer* renderer) {
    SDL_Rect viewport;
    sdl::api().RenderGetViewport(renderer, &viewport);
    return raster::target_clip(viewport.w, viewport.h);
}

void draw_rect(const GraphicsState& state, const RectData& rect, const raster::Clip& clip,
               Style style) {
    raster::Box box;
    bool visible = style == Style::Filled ? raster::fill_box(rect, clip, box)
                                          : raster::outline_box(rect, clip, box);
    if (!visible) return;
    SDL_Rect target{box.x, box.y, box.width, box.height};
    if (style == Style::Filled) {
        RendererSink(state).rect(target);
    } else {
        sdl::api().RenderDrawRect(state.renderer, &target);
    }
}

// Evaluates the shape and the colour (always both) and draws when there is a canvas,
// the first is a shape and the second a colour; anything else draws nothing.
Value draw_shape(Interpreter& in, const Node& call, Style style) {
    Value shape = in.argument(call, 0);
    Value colour = in.argument(call, 1);
    GraphicsState* state = in.graphics();
    if (in.stopped() || state == nullptr || !colour.is(Value::Color)) return Value();
    auto prepare = [&] {
        ColorData c = colour.color_data();
        set_draw_color_or_stop(state->renderer, c.r, c.g, c.b);
    };
    switch (shape.kind()) {
        case Value::Rect: {
            prepare();
            draw_rect(*state, shape.rect_data(), viewport_clip(state->renderer), style);
            break;
        }
        case Value::Circle: {
            prepare();
            RendererSink sink(*state);
            if (style == Style::Filled) {
                raster::circle_fill_bands(shape.circle_data(), viewport_clip(state->renderer),
                                          sink);
            } else {
                raster::circle_outline(shape.circle_data(), viewport_clip(state->renderer), sink);
            }
            break;
        }
        case Value::Triangle: {
            prepare();
            RendererSink sink(*state);
            if (style == Style::Filled) {
                raster::triangle_fill(shape.triangle_data(), viewport_clip(state->renderer), sink);
            } else {
                raster::triangle_outline(shape.triangle_data(), viewport_clip(state->renderer),
                                         sink);
            }
            break;
        }
        case Value::Number:
        case Value::Float:
        case Value::String:
        case Value::Boolean:
        case Value::Array:
        case Value::Dict:
        case Value::Function:
        case Value::Color:
        case Value::Null:
        case Value::Error: break;
    }
    return Value();
}

}  // namespace

}  // namespace quenra

namespace quenra::builtins {

Value fill(Interpreter& in, const Node& call) { return draw_shape(in, call, Style::Filled); }
Value draw(Interpreter& in, const Node& call) { return draw_shape(in, call, Style::Outline); }

}  // namespace quenra::builtins
