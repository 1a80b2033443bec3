#pragma once
// SDL2, loaded at run time by the first window() call: a script that never opens a
// window does not load SDL or the many libraries it depends on. The functions are
// SDL's own, reached through this table.

#include <SDL.h>

#include <string>

namespace quenra::sdl {

struct Library {
    decltype(&::SDL_CreateRenderer) CreateRenderer;
    decltype(&::SDL_CreateWindow) CreateWindow;
    decltype(&::SDL_DestroyRenderer) DestroyRenderer;
    decltype(&::SDL_DestroyWindow) DestroyWindow;
    decltype(&::SDL_GetCurrentVideoDriver) GetCurrentVideoDriver;
    decltype(&::SDL_GetError) GetError;
    decltype(&::SDL_GetRenderDrawColor) GetRenderDrawColor;
    decltype(&::SDL_GetRendererInfo) GetRendererInfo;
    decltype(&::SDL_GetWindowPixelFormat) GetWindowPixelFormat;
    decltype(&::SDL_GetWindowSize) GetWindowSize;
    decltype(&::SDL_Init) Init;
    decltype(&::SDL_InitSubSystem) InitSubSystem;
    decltype(&::SDL_PollEvent) PollEvent;
    decltype(&::SDL_Quit) Quit;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem;
    decltype(&::SDL_RenderClear) RenderClear;
    decltype(&::SDL_RenderDrawPoints) RenderDrawPoints;
    decltype(&::SDL_RenderDrawRect) RenderDrawRect;
    decltype(&::SDL_RenderFillRect) RenderFillRect;
    decltype(&::SDL_RenderFillRects) RenderFillRects;
    decltype(&::SDL_RenderGeometry) RenderGeometry;
    decltype(&::SDL_RenderGetViewport) RenderGetViewport;
    decltype(&::SDL_RenderPresent) RenderPresent;
    decltype(&::SDL_SetRenderDrawColor) SetRenderDrawColor;
};

// Loads SDL2 once; false, with the reason in `error`, when it cannot be loaded.
bool load_library(std::string& error);

// The loaded library (only after load_library has succeeded).
const Library& api();

}  // namespace quenra::sdl
