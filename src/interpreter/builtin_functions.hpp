#pragma once
// Declarations of the built-in functions of the table (each evaluates its own
// arguments; the dispatch has already checked the minimum count).

#include "interpreter/interpreter.hpp"

namespace quenra::builtins {

Value len(Interpreter&, const Node&);
Value push(Interpreter&, const Node&);
Value pop(Interpreter&, const Node&);
Value reverse(Interpreter&, const Node&);
Value abs(Interpreter&, const Node&);
Value sqrt(Interpreter&, const Node&);
Value pow(Interpreter&, const Node&);
Value ceil(Interpreter&, const Node&);
Value floor(Interpreter&, const Node&);
Value round(Interpreter&, const Node&);
Value min(Interpreter&, const Node&);
Value max(Interpreter&, const Node&);
Value random(Interpreter&, const Node&);
Value random_range(Interpreter&, const Node&);
Value print(Interpreter&, const Node&);
Value input(Interpreter&, const Node&);
Value upper(Interpreter&, const Node&);
Value lower(Interpreter&, const Node&);
Value slice(Interpreter&, const Node&);
Value split(Interpreter&, const Node&);
Value concat(Interpreter&, const Node&);
Value contains(Interpreter&, const Node&);
Value type_of(Interpreter&, const Node&);
Value is_number(Interpreter&, const Node&);
Value is_string(Interpreter&, const Node&);
Value is_array(Interpreter&, const Node&);
Value is_dict(Interpreter&, const Node&);

// Graphics (window, frame, shapes, drawing).
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
