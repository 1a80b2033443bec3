#pragma once
// The graphics built-ins: the window and its frame, the shape constructors and
// drawing. The interpreter knows their names and argument counts; their functions
// are this library's, handed to the interpreter by provide_builtins.

#include "interpreter/builtins.hpp"

namespace quenra::graphics {

// Gives the interpreter the functions of the graphics built-ins. Called once before
// the first run (the driver does); calling it again changes nothing.
void provide_builtins();

}  // namespace quenra::graphics

namespace quenra::builtins {

Value window(Interpreter&, const Node&);
Value is_open(Interpreter&, const Node&);
Value present(Interpreter&, const Node&);
Value clear(Interpreter&, const Node&);
Value window_width(Interpreter&, const Node&);
Value window_height(Interpreter&, const Node&);
Value rect(Interpreter&, const Node&);
Value color(Interpreter&, const Node&);
Value circle(Interpreter&, const Node&);
Value triangle(Interpreter&, const Node&);
Value fill(Interpreter&, const Node&);
Value draw(Interpreter&, const Node&);

}  // namespace quenra::builtins
