#pragma once
// Declarations of the built-in functions of the table (each evaluates its own
// arguments; the dispatch has already checked the minimum count).

#include "interpreter/interpreter.hpp"

namespace quenra::builtins {

Value len(Interpreter&, const CallExpr&);
Value push(Interpreter&, const CallExpr&);
Value pop(Interpreter&, const CallExpr&);
Value reverse(Interpreter&, const CallExpr&);
Value abs(Interpreter&, const CallExpr&);
Value sqrt(Interpreter&, const CallExpr&);
Value pow(Interpreter&, const CallExpr&);
Value ceil(Interpreter&, const CallExpr&);
Value floor(Interpreter&, const CallExpr&);
Value round(Interpreter&, const CallExpr&);
Value min(Interpreter&, const CallExpr&);
Value max(Interpreter&, const CallExpr&);
Value random(Interpreter&, const CallExpr&);
Value random_range(Interpreter&, const CallExpr&);
Value print(Interpreter&, const CallExpr&);
Value input(Interpreter&, const CallExpr&);
Value upper(Interpreter&, const CallExpr&);
Value lower(Interpreter&, const CallExpr&);
Value slice(Interpreter&, const CallExpr&);
Value split(Interpreter&, const CallExpr&);
Value concat(Interpreter&, const CallExpr&);
Value contains(Interpreter&, const CallExpr&);
Value type_of(Interpreter&, const CallExpr&);
Value is_number(Interpreter&, const CallExpr&);
Value is_string(Interpreter&, const CallExpr&);
Value is_array(Interpreter&, const CallExpr&);
Value is_dict(Interpreter&, const CallExpr&);

// Graphics (window, frame, shapes, drawing).
Value window(Interpreter&, const CallExpr&);
Value is_open(Interpreter&, const CallExpr&);
Value present(Interpreter&, const CallExpr&);
Value clear(Interpreter&, const CallExpr&);
Value window_width(Interpreter&, const CallExpr&);
Value window_height(Interpreter&, const CallExpr&);
Value rect(Interpreter&, const CallExpr&);
Value color(Interpreter&, const CallExpr&);
Value circle(Interpreter&, const CallExpr&);
Value triangle(Interpreter&, const CallExpr&);
Value fill(Interpreter&, const CallExpr&);
Value draw(Interpreter&, const CallExpr&);

}  // namespace quenra::builtins
