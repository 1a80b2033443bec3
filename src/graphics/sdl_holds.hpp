#pragma once
// Counted holds on SDL and its subsystems, shared by the whole process: the first
// holder starts SDL (or a subsystem) and the last one to let go shuts it down, so
// several owners (an interpreter's context, its window, its event pump) can release
// in any order without ending SDL under one another.

#include <string>

namespace quenra::sdl {

enum class Subsystem {
    Video,   // SDL_INIT_VIDEO
    Events,  // SDL_INIT_EVENTS
};

// Takes a hold on SDL itself. On failure returns false with SDL's error text.
bool hold_sdl(std::string& error);
void let_go_sdl();

// Takes a hold on a subsystem, which also holds SDL. On failure returns false with
// SDL's error text and holds nothing.
bool hold_subsystem(Subsystem subsystem, std::string& error);
void let_go_subsystem(Subsystem subsystem);

}  // namespace quenra::sdl
