// Window, frame and drawing built-ins. Until the SDL layer lands they evaluate
// their arguments as they will and report that no window exists.
#include "graphics/graphics_state.hpp"
#include "interpreter/builtin_functions.hpp"

namespace quenra {

struct GraphicsState {};

void GraphicsStateDeleter::operator()(GraphicsState* state) const { delete state; }

}  // namespace quenra

namespace quenra::builtins {

Value window(Interpreter& in, const CallExpr& call) {
    in.evaluate(call.args[0]);
    in.evaluate(call.args[1]);
    return Value();
}

Value is_open(Interpreter&, const CallExpr&) { return Value::boolean(false); }
Value present(Interpreter&, const CallExpr&) { return Value(); }
Value clear(Interpreter&, const CallExpr&) { return Value(); }
Value window_width(Interpreter&, const CallExpr&) { return Value(); }
Value window_height(Interpreter&, const CallExpr&) { return Value(); }

Value fill(Interpreter& in, const CallExpr& call) {
    in.evaluate(call.args[0]);
    in.evaluate(call.args[1]);
    return Value();
}

Value draw(Interpreter& in, const CallExpr& call) {
    in.evaluate(call.args[0]);
    in.evaluate(call.args[1]);
    return Value();
}

}  // namespace quenra::builtins
