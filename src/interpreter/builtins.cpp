#include "interpreter/builtins.hpp"

#include <iterator>

#include "interpreter/builtin_functions.hpp"

namespace quenra {

namespace b = builtins;

constexpr Builtin BUILTINS[] = {
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
    {BuiltinId::Window, "window", 2, b::window},
    {BuiltinId::IsOpen, "is_open", 0, b::is_open},
    {BuiltinId::Present, "present", 0, b::present},
    {BuiltinId::Clear, "clear", 0, b::clear},
    {BuiltinId::WindowWidth, "window_width", 0, b::window_width},
    {BuiltinId::WindowHeight, "window_height", 0, b::window_height},
    {BuiltinId::Rect, "rect", 4, b::rect},
    {BuiltinId::Color, "color", 3, b::color},
    {BuiltinId::Circle, "circle", 3, b::circle},
    {BuiltinId::Triangle, "triangle", 6, b::triangle},
    {BuiltinId::Fill, "fill", 2, b::fill},
    {BuiltinId::Draw, "draw", 2, b::draw},
};
static_assert(std::size(BUILTINS) == BUILTIN_COUNT);
// Every entry sits at the position of its id.
constexpr bool in_id_order() {
    for (std::size_t i = 0; i < BUILTIN_COUNT; ++i) {
        if (static_cast<std::size_t>(BUILTINS[i].id) != i) return false;
    }
    return true;
}
static_assert(in_id_order());

BuiltinId find_builtin(std::string_view name) {
    for (std::size_t i = 0; i < BUILTIN_COUNT; ++i) {
        if (BUILTINS[i].name == name) return static_cast<BuiltinId>(i);
    }
    return BuiltinId::None;
}

}  // namespace quenra
