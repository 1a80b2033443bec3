#pragma once
// The built-in function table. A call whose name is one of the 39 built-in names is
// handled completely by the built-in, which receives its argument nodes unevaluated
// and evaluates exactly those it uses, in its own order. The resolver settles which
// built-in a call names, and a call with too few arguments never gets here.
//
// The names, ids and minimum argument counts are the language's and live here. The
// functions of the graphics built-ins live in the graphics library, above this one:
// it provides them (provide_builtin) before anything runs. Until then each of them
// evaluates its arguments and yields null, so a run without graphics is still sound.

#include <array>
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

// Written only by provide_builtin; read through builtin_entry.
extern std::array<Builtin, BUILTIN_COUNT> BUILTINS;

inline const Builtin& builtin_entry(BuiltinId id) { return BUILTINS[static_cast<std::size_t>(id)]; }

// The built-in named `name`, or BuiltinId::None.
BuiltinId find_builtin(std::string_view name);

// Sets the function of built-in `id` (the graphics library's, for its built-ins).
// Called before the first run; providing the same function again changes nothing.
void provide_builtin(BuiltinId id, BuiltinFunction function);

}  // namespace quenra
