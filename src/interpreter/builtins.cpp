#include "interpreter/builtins.hpp"

#include <array>

#include "interpreter/builtin_functions.hpp"

namespace quenra {

namespace b = builtins;

namespace {

// The function of a built-in whose library has not provided it: every argument is
// evaluated, in order, as a call of any built-in evaluates what it is given, and
// the call yields null.
Value unprovided(Interpreter& in, const Node& call) {
    for (const Node& arg : call.args) in.evaluate(arg);
    return Value();
}

}  // namespace

// The table as it starts.
constexpr std::array<Builtin, BUILTIN_COUNT> INITIAL_BUILTINS = {{
    {BuiltinId::Len, "len", 1, b::len},
    {BuiltinId::Push, "push", 2, b::push},
    {BuiltinId::Pop, "pop", 1, b::pop},
    {BuiltinId::Reverse, "reverse", 1, b::reverse},
    {BuiltinId::Abs, "abs", 1, b::abs},
    {BuiltinId::Sqrt, "sqrt", 1, b::sqrt},
    {BuiltinId::Pow, "pow", 2, b::pow},
    {BuiltinId::Ceil, "ceil", 1, b::ceil},
    {BuiltinId::Floor, "floor", 1, b::floor},
    {BuiltinId::Round, "round", 1, b::round},
    {BuiltinId::Min, "min", 2, b::min},
    {BuiltinId::Max, "max", 2, b::max},
    {BuiltinId::Random, "random", 0, b::random},
    {BuiltinId::RandomRange, "random_range", 2, b::random_range},
    {BuiltinId::Print, "print", 0, b::print},
    {BuiltinId::Input, "input", 1, b::input},
    {BuiltinId::Upper, "upper", 1, b::upper},
    {BuiltinId::Lower, "lower", 1, b::lower},
    {BuiltinId::Slice, "slice", 3, b::slice},
    {BuiltinId::Split, "split", 2, b::split},
    {BuiltinId::Concat, "concat", 0, b::concat},
    {BuiltinId::Contains, "contains", 2, b::contains},
    {BuiltinId::Typeof, "typeof", 1, b::type_of},
    {BuiltinId::IsNumber, "is_number", 0, b::is_number},
    {BuiltinId::IsString, "is_string", 0, b::is_string},
    {BuiltinId::IsArray, "is_array", 0, b::is_array},
    {BuiltinId::IsDict, "is_dict", 0, b::is_dict},
    {BuiltinId::Window, "window", 2, unprovided},
    {BuiltinId::IsOpen, "is_open", 0, unprovided},
    {BuiltinId::Present, "present", 0, unprovided},
    {BuiltinId::Clear, "clear", 0, unprovided},
    {BuiltinId::WindowWidth, "window_width", 0, unprovided},
    {BuiltinId::WindowHeight, "window_height", 0, unprovided},
    {BuiltinId::Rect, "rect", 4, unprovided},
    {BuiltinId::Color, "color", 3, unprovided},
    {BuiltinId::Circle, "circle", 3, unprovided},
    {BuiltinId::Triangle, "triangle", 6, unprovided},
    {BuiltinId::Fill, "fill", 2, unprovided},
    {BuiltinId::Draw, "draw", 2, unprovided},
}};
// Every entry sits at the position of its id.
constexpr bool in_id_order() {
    for (std::size_t i = 0; i < BUILTIN_COUNT; ++i) {
        if (static_cast<std::size_t>(INITIAL_BUILTINS[i].id) != i) return false;
    }
    return true;
}
static_assert(in_id_order());

constinit std::array<Builtin, BUILTIN_COUNT> BUILTINS = INITIAL_BUILTINS;

BuiltinId find_builtin(std::string_view name) {
    for (std::size_t i = 0; i < BUILTIN_COUNT; ++i) {
        if (BUILTINS[i].name == name) return static_cast<BuiltinId>(i);
    }
    return BuiltinId::None;
}

void provide_builtin(BuiltinId id, BuiltinFunction function) {
    BUILTINS[static_cast<std::size_t>(id)].function = function;
}

}  // namespace quenra
