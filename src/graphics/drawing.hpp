#pragma once
// What the frame and drawing built-ins share: setting the draw colour, and stopping
// the program when SDL cannot set up the frame.

#include <SDL.h>

#include <cstdint>
#include <string_view>

namespace quenra {

// The most points, or spans, that fill and draw hand to the renderer in one call.
inline constexpr int DRAW_BATCH = 256;

// Writes `prefix`, SDL's error text and a line break to standard error (after
// flushing standard output) and ends the process with exit code 1.
[[noreturn]] void stop_on_frame_failure(std::string_view prefix);

// Sets the opaque draw colour, or stops the program when SDL refuses.
void set_draw_color_or_stop(SDL_Renderer* renderer, std::uint8_t r, std::uint8_t g, std::uint8_t b);

}  // namespace quenra
