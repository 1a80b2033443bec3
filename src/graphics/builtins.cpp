#include "graphics/builtins.hpp"

namespace quenra::graphics {

void provide_builtins() {
    namespace b = builtins;
    provide_builtin(BuiltinId::Window, b::window);
    provide_builtin(BuiltinId::IsOpen, b::is_open);
    provide_builtin(BuiltinId::Present, b::present);
    provide_builtin(BuiltinId::Clear, b::clear);
    provide_builtin(BuiltinId::WindowWidth, b::window_width);
    provide_builtin(BuiltinId::WindowHeight, b::window_height);
    provide_builtin(BuiltinId::Rect, b::rect);
    provide_builtin(BuiltinId::Color, b::color);
    provide_builtin(BuiltinId::Circle, b::circle);
    provide_builtin(BuiltinId::Triangle, b::triangle);
    provide_builtin(BuiltinId::Fill, b::fill);
    provide_builtin(BuiltinId::Draw, b::draw);
}

}  // namespace quenra::graphics
