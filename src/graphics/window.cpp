// The window and frame built-ins: window, is_open, present, clear, window_width and
// window_height, and the release of the graphics state.
//
// window() is the only place SDL is started. Its start-up either completes, and the
// interpreter gets a GraphicsState holding SDL, the canvas and the event pump, or
// fails with one message on standard error and leaves no trace, so that a later
// call can start again from the beginning.
#include "graphics/graphics_state.hpp"
#include "graphics/sdl_library.hpp"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "graphics/builtins.hpp"
#include "graphics/drawing.hpp"
#include "graphics/sdl_holds.hpp"
#include "interpreter/console.hpp"
#include "interpreter/operators.hpp"
#include "platform/platform.hpp"

namespace quenra {

namespace {

constexpr const char* WINDOW_TITLE = "Quenra";
constexpr std::uint32_t MAX_WINDOW_SIDE = 2147483647;

// Only one event pump may exist in the process at a time.
bool event_pump_alive = false;

void report(std::string_view prefix, std::string_view text) {
    std::string line(prefix);
    line += text;
    line += '\n';
    console::write_err(line);
}

// The software fallbacks SDL picks by itself when no display is reachable: a
// window there would be invisible and impossible to close.
bool is_invisible_fallback(const char* driver) {
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    if (requested != nullptr && requested[0] != '\0') return false;
    return driver != nullptr &&
           (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// The message for a side SDL cannot take, or an empty text when it fits.
std::string side_too_high(const char* name, std::uint32_t side) {
    if (side <= MAX_WINDOW_SIDE) return "";
    return std::string("Window ") + name + " (" + std::to_string(side) + ") is too high.";
}

// The start-up sequence; nullptr (after writing its message) on failure.
GraphicsState* open_window(std::uint32_t width, std::uint32_t height) {
    std::string error;
    if (!sdl::hold_sdl(error)) {
        report("Failed to initialize SDL2: ", error);
        return nullptr;
    }
    if (!sdl::hold_subsystem(sdl::Subsystem::Video, error)) {
        report("Failed to get video subsystem: ", error);
        sdl::let_go_sdl();
        return nullptr;
    }
    auto fail = [](std::string_view prefix, std::string_view text) -> GraphicsState* {
        report(prefix, text);
        sdl::let_go_subsystem(sdl::Subsystem::Video);
        sdl::let_go_sdl();
        return nullptr;
    };
    if (is_invisible_fallback(sdl::api().GetCurrentVideoDriver())) {
        return fail("Failed to get video subsystem: ", "No available video device");
    }
    std::string too_high = side_too_high("width", width);
    if (too_high.empty()) too_high = side_too_high("height", height);
    if (!too_high.empty()) return fail("Failed to create window: ", too_high);
    SDL_Window* window =
        sdl::api().CreateWindow(WINDOW_TITLE, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                static_cast<int>(width), static_cast<int>(height), 0);
    if (window == nullptr)
        return fail("Failed to create window: SDL error: ", sdl::api().GetError());
    // The window holds the video subsystem for as long as it exists.
    sdl::hold_subsystem(sdl::Subsystem::Video, error);
    SDL_Renderer* renderer = sdl::api().CreateRenderer(window, -1, 0);
    std::uint32_t pixel_format = sdl::api().GetWindowPixelFormat(window);
    auto fail_with_window = [&](std::string_view prefix, std::string_view text) -> GraphicsState* {
        if (renderer != nullptr) sdl::api().DestroyRenderer(renderer);
        sdl::api().DestroyWindow(window);
        sdl::let_go_subsystem(sdl::Subsystem::Video);
        return fail(prefix, text);
    };
    if (renderer == nullptr) {
        return fail_with_window("Failed to create canvas: SDL error: ", sdl::api().GetError());
    }
    if (event_pump_alive) {
        return fail_with_window("Failed to create event pump: ",
                                "only one event pump may exist at a time");
    }
    if (!sdl::hold_subsystem(sdl::Subsystem::Events, error)) {
        return fail_with_window("Failed to create event pump: ", error);
    }
    event_pump_alive = true;
    // The interpreter keeps the hold on SDL taken first; the window keeps its own
    // hold on video, so the local one goes.
    sdl::let_go_subsystem(sdl::Subsystem::Video);
    SDL_RendererInfo info{};
    bool software = sdl::api().GetRendererInfo(renderer, &info) == 0 && info.name != nullptr &&
                    std::strcmp(info.name, "software") == 0;
    return new GraphicsState{window, renderer, pixel_format, software, true};
}

// Releases what open_window made, when the interpreter that holds it goes away.
void release_graphics(GraphicsState* state) {
    // The interpreter's hold on SDL, then the canvas (renderer before window, and with
    // the window its hold on video), then the event pump; the last hold ends SDL.
    sdl::let_go_sdl();
    sdl::api().DestroyRenderer(state->renderer);
    sdl::api().DestroyWindow(state->window);
    sdl::let_go_subsystem(sdl::Subsystem::Video);
    event_pump_alive = false;
    sdl::let_go_subsystem(sdl::Subsystem::Events);
    platform::remove_quit_request_handler();
    delete state;
}

}  // namespace

}  // namespace quenra

namespace quenra::builtins {

Value window(Interpreter& in, const Node& call) {
    Value width_value = in.argument(call, 0);
    Value height_value = in.argument(call, 1);
    if (in.stopped()) return Value();
    std::int64_t width, height;
    bool width_ok = to_integer(width_value, width);
    if (!to_integer(height_value, height) || !width_ok) return Value();
    // A second call never changes the window, whatever its sizes.
    if (in.graphics() != nullptr) return Value();
    // In place before SDL starts, so that SDL does not take the signals for itself.
    platform::install_quit_request_handler();
    GraphicsState* state =
        open_window(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    if (state == nullptr) {
        platform::remove_quit_request_handler();
        return Value();
    }
    in.set_graphics(state, release_graphics);
    return Value();
}

Value is_open(Interpreter& in, const Node&) {
    const GraphicsState* state = in.graphics();
    return Value::boolean(state != nullptr && state->window_open);
}

Value present(Interpreter& in, const Node&) {
    GraphicsState* state = in.graphics();
    if (state == nullptr) return Value();
    sdl::api().RenderPresent(state->renderer);
    // Ctrl-C or SIGTERM: the system asking the program to quit.
    if (platform::take_quit_request()) state->window_open = false;
    SDL_Event event;
    while (sdl::api().PollEvent(&event) != 0) {
        // Escape is not matched against the window id: the script has one window, and
        // a held key's repeats close it as well.
        if (event.type == SDL_QUIT ||
            (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)) {
            state->window_open = false;
        }
    }
    return Value();
}

Value clear(Interpreter& in, const Node&) {
    GraphicsState* state = in.graphics();
    if (state == nullptr) return Value();
    set_draw_color_or_stop(state->renderer, 0, 0, 0);
    if (sdl::api().RenderClear(state->renderer) != 0) stop_on_frame_failure("Could not clear: ");
    return Value();
}

namespace {

Value window_side(Interpreter& in, bool want_width) {
    GraphicsState* state = in.graphics();
    if (state == nullptr) return Value();
    int width = 0, height = 0;
    sdl::api().GetWindowSize(state->window, &width, &height);
    return Value::number(static_cast<std::uint32_t>(want_width ? width : height));
}

}  // namespace

Value window_width(Interpreter& in, const Node&) { return window_side(in, true); }
Value window_height(Interpreter& in, const Node&) { return window_side(in, false); }

}  // namespace quenra::builtins
