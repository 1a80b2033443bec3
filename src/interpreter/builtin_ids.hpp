#pragma once
// The built-in functions by id, in the order of the built-in table (builtins.cpp
// asserts that each id names its own entry).

#include <cstddef>
#include <cstdint>

namespace quenra {

enum class BuiltinId : std::uint8_t {
    Len,
    Push,
    Pop,
    Reverse,
    Abs,
    Sqrt,
    Pow,
    Ceil,
    Floor,
    Round,
    Min,
    Max,
    Random,
    RandomRange,
    Print,
    Input,
    Upper,
    Lower,
    Slice,
    Split,
    Concat,
    Contains,
    Typeof,
    IsNumber,
    IsString,
    IsArray,
    IsDict,
    Window,
    IsOpen,
    Present,
    Clear,
    WindowWidth,
    WindowHeight,
    Rect,
    Color,
    Circle,
    Triangle,
    Fill,
    Draw,
    None,  // not a built-in name
};
inline constexpr std::size_t BUILTIN_COUNT = static_cast<std::size_t>(BuiltinId::None);
static_assert(BUILTIN_COUNT == 39);

}  // namespace quenra
