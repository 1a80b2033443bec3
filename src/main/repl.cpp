// The interactive loop: reads a line at a time and executes each complete input at
// once on one interpreter that lives as long as the loop. A bracket count over the
// raw characters decides whether the input is complete and which prompt to show.
//
// At a terminal the lines come through the line editor; otherwise (pipes, files)
// they are read from standard input as they are. Either way Ctrl-C never ends the
// loop: at the prompt it drops what was typed, while a line runs it stops the line.
#include <cstdint>
#include <limits>
#include <memory>
#include <new>

#include "interpreter/console.hpp"
#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "lexer/utf8.hpp"
#include "main/driver.hpp"
#include "main/line_editor.hpp"
#include "parser/parser.hpp"
#include "platform/platform.hpp"

namespace quenra {

namespace {

// Counters that stop at the ends of the 32-bit range instead of wrapping.
void add_saturating(std::int32_t& counter, int delta) {
    std::int64_t next = static_cast<std::int64_t>(counter) + delta;
    if (next < std::numeric_limits<std::int32_t>::min())
        next = std::numeric_limits<std::int32_t>::min();
    if (next > std::numeric_limits<std::int32_t>::max())
        next = std::numeric_limits<std::int32_t>::max();
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

// Tokenizes, parses and executes one complete input on the loop's interpreter. A
// fatal stop or an interrupt ends the input with its message; the interpreter
// keeps everything the statements before it did.
// With `warnings`, the chunk is kept there as "<input>", its lines counted from its
// own first line, and what the front end finds is reported before it runs.
void run_input(Interpreter& in, SymbolTable& symbols, std::string source, Warnings* warnings) {
    try {
        std::vector<Token> tokens;
        ParseResult parsed;
        if (warnings != nullptr) {
            FrontEndTrace trace;
            std::string_view kept = warnings->add_source("<input>", std::move(source));
            trace.base = warnings->base_of_last();
            trace.sink = warnings;
            tokens = tokenize(kept, trace);
            parsed = parse(tokens, symbols, trace);
            if (!parsed.too_deep) warnings->report_front_end(std::move(trace.warnings));
        } else {
            tokens = tokenize(source);
            parsed = parse(tokens, symbols);
        }
        if (parsed.too_deep) {
            report("Error: nesting too deep");
            return;
        }
        in.prepare();
        if (warnings != nullptr) in.check_builtin_counts(parsed.statements);
        for (const Stmt& stmt : parsed.statements) {
            in.execute(stmt);
            Fatal fatal = in.fatal();
            // Ctrl-C after the statement's last loop step or call still stops the input
            // before its next statement.
            if (fatal == Fatal::None && platform::take_interrupt()) fatal = Fatal::Interrupted;
            // A return, break or continue typed at the prompt ends with its statement.
            if (fatal != Fatal::None && warnings != nullptr) in.report_stop(stmt.offset);
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

// Shows `prompt` and reads the next line, through the editor when there is one.
console::ReadStatus read_prompted_line(LineEditor* editor, std::string_view prompt,
                                       std::string& line) {
    // Bytes the input built-in has already taken from the stream are lines typed
    // earlier: they come first, as they would without the editor.
    if (editor != nullptr && !console::has_buffered_input()) {
        console::flush_out();
        return edit_line(*editor, prompt, line);
    }
    console::write_out(prompt);
    console::flush_out();
    console::ReadStatus status = console::read_line(line);
    // The next prompt goes on a line of its own, as it does after the editor.
    if (status == console::ReadStatus::Interrupted) console::write_out("\n");
    return status;
}

}  // namespace

int run_repl(bool warn) {
    console::write_out("Welcome to Quenra Interactive REPL!\n");
    console::write_out("Type 'exit' to quit.\n");
    console::write_out("\n");
    LineEditorHandle editor;
    if (platform::stdin_is_terminal() && platform::stdout_is_terminal())
        editor = open_line_editor();
    SymbolTable symbols;
    Interpreter in(symbols);
    std::unique_ptr<Warnings> warnings;
    if (warn) warnings = std::make_unique<Warnings>(write_warning_text);
    in.set_warnings(warnings.get());
    platform::install_interrupt_handler();
    Depths depths;
    std::string line, held;
    bool ended_by_user = false;
    for (;;) {
        console::ReadStatus status =
            read_prompted_line(editor.get(), depths.balanced() ? ">>> " : "... ", line);
        bool stop = false;
        switch (status) {
            case console::ReadStatus::Line: stop = !utf8::is_valid(line); break;
            case console::ReadStatus::End:
            case console::ReadStatus::Error: stop = true; break;
            case console::ReadStatus::Interrupted:
                // Ctrl-C at the prompt: the typed and the kept lines are dropped and a
                // fresh input starts.
                platform::clear_interrupt();
                held.clear();
                depths = Depths{};
                continue;
        }
        if (stop) break;
        std::string_view trimmed = utf8::trim_white_space(line);
        if (trimmed.empty()) continue;
        if (editor) remember_line(*editor, trimmed);
        if (trimmed == "exit" || trimmed == "quit") {
            console::write_out("Goodbye!\n");
            ended_by_user = true;
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
        run_input(in, symbols, std::move(source), warnings.get());
        if (warnings) warnings->finish_batch();
    }
    // At a terminal the shell's prompt should not follow ">>> " on the same line.
    if (editor && !ended_by_user) console::write_out("\n");
    console::flush_out();
    platform::remove_interrupt_handler();
    return 0;
}

}  // namespace quenra
