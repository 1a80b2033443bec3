#include "interpreter/builtins.hpp"

#include <iterator>

#include "interpreter/builtin_functions.hpp"

namespace quenra {

namespace b = builtins;

constexpr Builtin BUILTINS[] = {
    {"len", 1, b::len},
    {"push", 2, b::push},
    {"pop", 1, b::pop},
    {"reverse", 1, b::reverse},
    {"abs", 1, b::abs},
    {"sqrt", 1, b::sqrt},
    {"pow", 2, b::pow},
    {"ceil", 1, b::ceil},
    {"floor", 1, b::floor},
    {"round", 1, b::round},
    {"min", 2, b::min},
    {"max", 2, b::max},
    {"random", 0, b::random},
    {"random_range", 2, b::random_range},
    {"print", 0, b::print},
    {"input", 1, b::input},
    {"upper", 1, b::upper},
    {"lower", 1, b::lower},
    {"slice", 3, b::slice},
    {"split", 2, b::split},
    {"concat", 0, b::concat},
    {"contains", 2, b::contains},
    {"typeof", 1, b::type_of},
    {"is_number", 0, b::is_number},
    {"is_string", 0, b::is_string},
    {"is_array", 0, b::is_array},
    {"is_dict", 0, b::is_dict},
    {"window", 2, b::window},
    {"is_open", 0, b::is_open},
    {"present", 0, b::present},
    {"clear", 0, b::clear},
    {"window_width", 0, b::window_width},
    {"window_height", 0, b::window_height},
    {"rect", 4, b::rect},
    {"color", 3, b::color},
    {"circle", 3, b::circle},
    {"triangle", 6, b::triangle},
    {"fill", 2, b::fill},
    {"draw", 2, b::draw},
};
static_assert(std::size(BUILTINS) == BUILTIN_COUNT);
static_assert(BUILTINS[BUILTIN_LEN].name == "len" && BUILTINS[BUILTIN_ABS].name == "abs" &&
              BUILTINS[BUILTIN_SQRT].name == "sqrt" && BUILTINS[BUILTIN_POW].name == "pow" &&
              BUILTINS[BUILTIN_CEIL].name == "ceil" && BUILTINS[BUILTIN_FLOOR].name == "floor" &&
              BUILTINS[BUILTIN_ROUND].name == "round");
static_assert(BUILTINS[BUILTIN_PUSH].name == "push" && BUILTINS[BUILTIN_CONCAT].name == "concat");
static_assert(BUILTIN_LEN == 0 && BUILTIN_ABS == 4 && BUILTIN_ROUND == 9,
              "the scalar path's set of built-ins is a mask of these positions");

int find_builtin(std::string_view name) {
    for (std::size_t i = 0; i < BUILTIN_COUNT; ++i) {
        if (BUILTINS[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace quenra
