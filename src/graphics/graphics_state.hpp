#pragma once
// The graphics part of an interpreter: the hold on SDL, the canvas (window and
// renderer) and the event pump, created together by a successful window() call and
// released together, in a fixed order, when the interpreter goes away. An
// interpreter without a window has no GraphicsState at all and has made no SDL call.

#include <SDL.h>

#include <cstdint>

#include "interpreter/interpreter.hpp"

namespace quenra {

struct GraphicsState {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::uint32_t pixel_format = SDL_PIXELFORMAT_UNKNOWN;  // the window's, read at start-up
    // SDL's own software renderer (the one the headless drivers get), whose fill
    // speed depends on the width of the rows it is handed (see drawing.cpp).
    bool software_renderer = false;
    // Cleared by a quit event or the Escape key, seen by present(); never set again.
    bool window_open = true;
};

}  // namespace quenra
