#pragma once
// The built-in function table. Every call expression is offered here first: a call
// whose name is one of the 39 built-in names is handled completely by the
// built-in, which receives its argument expressions unevaluated and evaluates
// exactly those it uses, in its own order.

#include <cstdint>
#include <string_view>

#include "interpreter/interpreter.hpp"

namespace quenra {

using BuiltinFunction = Value (*)(Interpreter& interpreter, const CallExpr& call);

struct Builtin {
    std::string_view name;
    std::uint8_t min_args;  // fewer arguments: the call yields null, evaluating nothing
    BuiltinFunction function;
};

inline constexpr std::size_t BUILTIN_COUNT = 39;
extern const Builtin BUILTINS[BUILTIN_COUNT];

// Positions in BUILTINS of the built-ins the evaluator's scalar path computes itself
// (they are pure: their only effects are those of their arguments).
inline constexpr int BUILTIN_LEN = 0;
inline constexpr int BUILTIN_PUSH = 1;
inline constexpr int BUILTIN_CONCAT = 20;
inline constexpr int BUILTIN_ABS = 4;
inline constexpr int BUILTIN_SQRT = 5;
inline constexpr int BUILTIN_POW = 6;
inline constexpr int BUILTIN_CEIL = 7;
inline constexpr int BUILTIN_FLOOR = 8;
inline constexpr int BUILTIN_ROUND = 9;

inline Value Interpreter::call_builtin(int index, const CallExpr& call) {
    const Builtin& builtin = BUILTINS[index];
    // Too few arguments: null at once, evaluating nothing and never falling back.
    if (call.args.size() < builtin.min_args) return Value();
    return builtin.function(*this, call);
}

// The index of `name` in BUILTINS, or -1.
int find_builtin(std::string_view name);

}  // namespace quenra
