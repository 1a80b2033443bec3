#pragma once
// The graphics part of an interpreter: the SDL context, the canvas (window and
// renderer) and the event pump, created together by a successful window() call
// and released together, in a fixed order, when the interpreter goes away.

#include "interpreter/interpreter.hpp"

namespace quenra {

struct GraphicsState;

}  // namespace quenra
