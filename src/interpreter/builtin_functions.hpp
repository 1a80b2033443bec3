#pragma once
// Declarations of the interpreter's own built-in functions (each evaluates its own
// arguments; the dispatch has already checked the minimum count). The graphics
// built-ins are the graphics library's.

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

}  // namespace quenra::builtins
