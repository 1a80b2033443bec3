#include "graphics/sdl_library.hpp"

#include "platform/platform.hpp"

namespace quenra::sdl {

namespace {

Library library;
bool loaded = false;

template <typename F>
bool resolve(void* handle, const char* name, F& out) {
    out = reinterpret_cast<F>(platform::library_symbol(handle, name));
    return out != nullptr;
}

}  // namespace

bool load_library(std::string& error) {
    if (loaded) return true;
#if defined(_WIN32)
    static const char* const NAMES[] = {"SDL2.dll", nullptr};  // beside quenra.exe
#else
    static const char* const NAMES[] = {"libSDL2-2.0.so.0", "libSDL2-2.0.so", "libSDL2.so",
                                        nullptr};
#endif
    void* handle = platform::open_library(NAMES);
    if (handle == nullptr) {
        error = "could not load SDL2 (" + platform::library_error() + ")";
        return false;
    }
    bool ok = true;
    ok = resolve(handle, "SDL_CreateRenderer", library.CreateRenderer) && ok;
    ok = resolve(handle, "SDL_CreateWindow", library.CreateWindow) && ok;
    ok = resolve(handle, "SDL_DestroyRenderer", library.DestroyRenderer) && ok;
    ok = resolve(handle, "SDL_DestroyWindow", library.DestroyWindow) && ok;
    ok = resolve(handle, "SDL_GetCurrentVideoDriver", library.GetCurrentVideoDriver) && ok;
    ok = resolve(handle, "SDL_GetError", library.GetError) && ok;
    ok = resolve(handle, "SDL_GetRenderDrawColor", library.GetRenderDrawColor) && ok;
    ok = resolve(handle, "SDL_GetRendererInfo", library.GetRendererInfo) && ok;
    ok = resolve(handle, "SDL_GetWindowPixelFormat", library.GetWindowPixelFormat) && ok;
    ok = resolve(handle, "SDL_GetWindowSize", library.GetWindowSize) && ok;
    ok = resolve(handle, "SDL_Init", library.Init) && ok;
    ok = resolve(handle, "SDL_InitSubSystem", library.InitSubSystem) && ok;
    ok = resolve(handle, "SDL_PollEvent", library.PollEvent) && ok;
    ok = resolve(handle, "SDL_Quit", library.Quit) && ok;
    ok = resolve(handle, "SDL_QuitSubSystem", library.QuitSubSystem) && ok;
    ok = resolve(handle, "SDL_RenderClear", library.RenderClear) && ok;
    ok = resolve(handle, "SDL_RenderDrawPoints", library.RenderDrawPoints) && ok;
    ok = resolve(handle, "SDL_RenderDrawRect", library.RenderDrawRect) && ok;
    ok = resolve(handle, "SDL_RenderFillRect", library.RenderFillRect) && ok;
    ok = resolve(handle, "SDL_RenderFillRects", library.RenderFillRects) && ok;
    ok = resolve(handle, "SDL_RenderGeometry", library.RenderGeometry) && ok;
    ok = resolve(handle, "SDL_RenderGetViewport", library.RenderGetViewport) && ok;
    ok = resolve(handle, "SDL_RenderPresent", library.RenderPresent) && ok;
    ok = resolve(handle, "SDL_SetRenderDrawColor", library.SetRenderDrawColor) && ok;
    if (!ok) {
        error = "could not load SDL2 (a function is missing: " + platform::library_error() + ")";
        return false;
    }
    loaded = true;
    return true;
}

const Library& api() { return library; }

}  // namespace quenra::sdl
