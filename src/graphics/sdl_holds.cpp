// Counted holds on SDL and its subsystems. Single-threaded, as all SDL use is.
#include "graphics/sdl_holds.hpp"
#include "graphics/sdl_library.hpp"

#include <SDL.h>

namespace quenra::sdl {

namespace {

int sdl_holders = 0;
int subsystem_holders[2] = {0, 0};

Uint32 init_flag(Subsystem subsystem) {
    switch (subsystem) {
        case Subsystem::Video: return SDL_INIT_VIDEO;
        case Subsystem::Events: return SDL_INIT_EVENTS;
    }
    return 0;
}

int& holders(Subsystem subsystem) { return subsystem_holders[static_cast<int>(subsystem)]; }

}  // namespace

bool hold_sdl(std::string& error) {
    if (sdl_holders == 0 && !load_library(error)) return false;
    if (sdl_holders == 0 && sdl::api().Init(0) != 0) {
        error = sdl::api().GetError();
        return false;
    }
    ++sdl_holders;
    return true;
}

void let_go_sdl() {
    if (sdl_holders == 0) return;
    if (--sdl_holders == 0) sdl::api().Quit();
}

bool hold_subsystem(Subsystem subsystem, std::string& error) {
    if (!hold_sdl(error)) return false;
    if (holders(subsystem) == 0 && sdl::api().InitSubSystem(init_flag(subsystem)) != 0) {
        error = sdl::api().GetError();
        let_go_sdl();
        return false;
    }
    ++holders(subsystem);
    return true;
}

void let_go_subsystem(Subsystem subsystem) {
    if (holders(subsystem) == 0) return;
    if (--holders(subsystem) == 0) sdl::api().QuitSubSystem(init_flag(subsystem));
    let_go_sdl();
}

}  // namespace quenra::sdl
