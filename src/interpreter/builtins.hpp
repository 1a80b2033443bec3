#pragma once
// The built-in function table. A call whose name is one of the 39 built-in names is
// handled completely by the built-in, which receives its argument nodes unevaluated
// and evaluates exactly those it uses, in its own order. The resolver settles which
// built-in a call names, and a call with too few arguments never gets here.

#include <cstdint>
#include <string_view>

#include "interpreter/builtin_ids.hpp"
#include "interpreter/interpreter.hpp"

namespace quenra {

using BuiltinFunction = Value (*)(Interpreter& interpreter, const Node& call);

struct Builtin {
    BuiltinId id;
    std::string_view name;
    std::uint8_t min_args;  // fewer arguments: the call yields null, evaluating nothing
    BuiltinFunction function;
};

extern const Builtin BUILTINS[BUILTIN_COUNT];

inline const Builtin& builtin_entry(BuiltinId id) { return BUILTINS[static_cast<std::size_t>(id)]; }

// The built-in named `name`, or BuiltinId::None.
BuiltinId find_builtin(std::string_view name);

}  // namespace quenra
