// The built-in table's split between the libraries: the interpreter knows every
// built-in's name and argument count, the graphics library provides the functions
// of its own. A run before that (a program embedding the interpreter alone) must
// still be sound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/builtins.hpp"
#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace quenra {
namespace {

// Runs `source` at top level on a fresh interpreter and returns the display text of
// each name in `names`.
std::vector<std::string> run_and_read(std::string_view source,
                                      const std::vector<std::string_view>& names) {
    SymbolTable symbols;
    ParseResult parsed = parse(tokenize(source), symbols);
    std::vector<SymbolId> ids;
    for (std::string_view name : names) ids.push_back(symbols.intern(name));
    Interpreter in(symbols);
    in.execute_sequence(parsed.statements);
    std::vector<std::string> texts;
    for (SymbolId id : ids) texts.push_back(to_display_string(in.lookup(id)));
    return texts;
}

bool graphics_provided() {
    // Before provision every graphics entry holds the same stand-in function.
    return builtin_entry(BuiltinId::Rect).function != builtin_entry(BuiltinId::Window).function;
}

constexpr std::string_view COUNTED_CALLS =
    "let n = 0\n"
    "def one() { global n n = n + 1 return 1 }\n"
    "let r = rect(one(), one(), one(), one())\n"
    "let o = is_open()\n";

TEST(BuiltinTable, GraphicsBuiltinsNotYetProvidedEvaluateTheirArgumentsAndYieldNull) {
    // Each test runs in a process of its own under ctest; run together, an earlier
    // test may have provided the graphics built-ins already.
    if (graphics_provided()) GTEST_SKIP() << "the graphics built-ins were provided earlier";
    std::string source(COUNTED_CALLS);
    source += "let w = window(one(), one())\n";
    EXPECT_EQ(run_and_read(source, {"n", "r", "o", "w"}),
              (std::vector<std::string>{"6", "null", "null", "null"}));
}

TEST(BuiltinTable, ProvidedGraphicsBuiltinsRunAndProvidingTwiceChangesNothing) {
    graphics::provide_builtins();
    graphics::provide_builtins();
    EXPECT_TRUE(graphics_provided());
    EXPECT_EQ(run_and_read(COUNTED_CALLS, {"n", "r", "o"}),
              (std::vector<std::string>{"4", "Rect(1, 1, 1, 1)", "false"}));
}

}  // namespace
}  // namespace quenra
