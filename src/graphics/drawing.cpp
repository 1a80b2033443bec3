// The drawing built-ins fill and draw: a shape value and a colour value become
// points, spans and rectangles on the canvas. Everything handed to the renderer is
// first clipped to its viewport (see raster.hpp), so the picture is exact whatever
// the coordinates.
#include "graphics/drawing.hpp"
#include "graphics/sdl_library.hpp"

#include <string>

#include "graphics/graphics_state.hpp"
#include "graphics/raster.hpp"
#include "interpreter/builtin_functions.hpp"
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

// Hands points to the renderer in batches, one call per few hundred points instead
// of one per pixel (most of the drawing time went into the per-call cost), and each
// span as one horizontal line. Whatever the renderer refuses is left out of the
// frame; the script goes on.
class RendererSink {
public:
    explicit RendererSink(SDL_Renderer* renderer) : renderer_(renderer) {}
    RendererSink(const RendererSink&) = delete;
    RendererSink& operator=(const RendererSink&) = delete;
    ~RendererSink() { flush(); }

    void point(std::int32_t x, std::int32_t y) {
        if (count_ == BATCH) flush();
        points_[count_++] = {x, y};
    }
    void span(std::int32_t x0, std::int32_t x1, std::int32_t y) {
        sdl::api().RenderDrawLine(renderer_, x0, y, x1, y);
    }

private:
    static constexpr int BATCH = 512;
    void flush() {
        if (count_ > 0) sdl::api().RenderDrawPoints(renderer_, points_, count_);
        count_ = 0;
    }

    SDL_Renderer* renderer_;
    int count_ = 0;
    SDL_Point points_[BATCH];
};

enum class Style { Filled, Outline };

raster::Clip viewport_clip(SDL_Renderer* renderer) {
    SDL_Rect viewport;
    sdl::api().RenderGetViewport(renderer, &viewport);
    return raster::target_clip(viewport.w, viewport.h);
}

void draw_rect(SDL_Renderer* renderer, const RectData& rect, const raster::Clip& clip,
               Style style) {
    raster::Box box;
    bool visible = style == Style::Filled ? raster::fill_box(rect, clip, box)
                                          : raster::outline_box(rect, clip, box);
    if (!visible) return;
    SDL_Rect target{box.x, box.y, box.width, box.height};
    if (style == Style::Filled) {
        sdl::api().RenderFillRect(renderer, &target);
    } else {
        sdl::api().RenderDrawRect(renderer, &target);
    }
}

// Evaluates the shape and the colour (always both) and draws when there is a canvas,
// the first is a shape and the second a colour; anything else draws nothing.
Value draw_shape(Interpreter& in, const Node& call, Style style) {
    Value shape = in.evaluate(call.args[0]);
    Value colour = in.evaluate(call.args[1]);
    GraphicsState* state = in.graphics();
    if (in.stopped() || state == nullptr || !colour.is(Value::Color)) return Value();
    auto prepare = [&] {
        ColorData c = colour.color_data();
        set_draw_color_or_stop(state->renderer, c.r, c.g, c.b);
    };
    switch (shape.kind()) {
        case Value::Rect: {
            prepare();
            draw_rect(state->renderer, shape.rect_data(), viewport_clip(state->renderer), style);
            break;
        }
        case Value::Circle: {
            prepare();
            RendererSink sink(state->renderer);
            if (style == Style::Filled) {
                raster::circle_fill(shape.circle_data(), viewport_clip(state->renderer), sink);
            } else {
                raster::circle_outline(shape.circle_data(), viewport_clip(state->renderer), sink);
            }
            break;
        }
        case Value::Triangle: {
            prepare();
            RendererSink sink(state->renderer);
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
