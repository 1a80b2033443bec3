// The interactive loop: reads a line at a time and executes each complete input at
// once on one interpreter that lives as long as the loop. A bracket count over the
// raw characters decides whether the input is complete and which prompt to show.
#include <cstdint>
#include <limits>
#include <new>

#include "interpreter/console.hpp"
#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "lexer/utf8.hpp"
#include "main/driver.hpp"
#include "parser/parser.hpp"

namespace quenra {

namespace {

// Counters that stop at the ends of the 32-bit range instead of wrapping.
void add_saturating(std::int32_t& counter, int delta) {
    std::int64_t next = static_cast<std::int64_t>(counter) + delta;
    if (next < std::numeric_limits<std::int32_t>::min()) next = std::numeric_limits<std::int32_t>::min();
    if (next > std::numeric_limits<std::int32_t>::max()) next = std::numeric_limits<std::int32_t>::max();
    counter = static_cast<std::int32_t>(next);
}

struct Depths {
    std::int32_t paren = 0;  // "(" and "[" against ")" and "]"
    std::int32_t brace = 0;  // "{" against "}"

    void count(std::string_view line) {
        for (char c : line) {
            if (c == '(' || c == '[') add_saturating(paren, 1);
            if (c == ')' || c == ']') add_saturating(paren, -1);
            if (c == '{') add_saturating(brace, 1);
            if (c == '}') add_saturating(brace, -1);
        }
    }
    bool balanced() const { return paren == 0 && brace == 0; }
    bool open() const { return paren > 0 || brace > 0; }
};

void report(std::string_view message) {
    console::flush_out();
    std::string line(message);
    line += '\n';
    console::write_err(line);
}

// Tokenizes, parses and executes one complete input on the loop's interpreter.
void run_input(Interpreter& in, SymbolTable& symbols, const std::string& source) {
    std::vector<Token> tokens = tokenize(source);
    ParseResult parsed = parse(tokens, symbols);
    if (parsed.too_deep) {
        report("Error: nesting too deep");
        return;
    }
    in.prepare();
    try {
        for (const Stmt& stmt : parsed.statements) {
            in.execute(stmt);
            Fatal fatal = in.fatal();
            // A return, break or continue typed at the prompt ends with its statement.
            in.clear_signals();
            if (fatal != Fatal::None) {
                report(fatal_message(fatal));
                return;
            }
        }
    } catch (const std::bad_alloc&) {
        in.clear_signals();
        report(fatal_message(Fatal::OutOfMemory));
    }
}

}  // namespace

int run_repl() {
    console::write_out("Welcome to Quenra Interactive REPL!\n");
    console::write_out("Type 'exit' to quit.\n");
    console::write_out("\n");
    SymbolTable symbols;
    Interpreter in(symbols);
    Depths depths;
    std::string line, held;
    for (;;) {
        console::write_out(depths.balanced() ? ">>> " : "... ");
        console::flush_out();
        console::ReadStatus status = console::read_line(line);
        if (status != console::ReadStatus::Line) break;
        if (!utf8::is_valid(line)) break;
        std::string_view trimmed = utf8::trim_white_space(line);
        if (trimmed.empty()) continue;
        if (trimmed == "exit" || trimmed == "quit") {
            console::write_out("Goodbye!\n");
            break;
        }
        depths.count(trimmed);
        if (depths.open()) {
            // Kept, and run together with the line that completes it.
            held += trimmed;
            held += '\n';
            continue;
        }
        held += trimmed;
        std::string source = std::move(held);
        held.clear();
        run_input(in, symbols, source);
    }
    console::flush_out();
    return 0;
}

}  // namespace quenra
