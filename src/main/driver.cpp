#include "main/driver.hpp"

#include <cstdio>
#include <new>

#include "interpreter/console.hpp"
#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "lexer/utf8.hpp"
#include "parser/parser.hpp"
#include "platform/platform.hpp"

namespace quenra {

namespace {

constexpr std::string_view USAGE =
    "Usage: quenra [--verbose | -v] [script.qn]\n"
    "\n"
    "Runs a Quenra script, or starts the interactive loop when no script is named.\n"
    "\n"
    "  -v, --verbose   log the phases of the run, with timings, to standard error\n"
    "  -h, --help      show this text\n"
    "      --version   show the version\n";

std::string milliseconds(platform::Clock::duration elapsed) {
    auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count();
    double seconds = static_cast<double>(nanoseconds / 1'000'000'000);
    double ms = (seconds + static_cast<double>(nanoseconds % 1'000'000'000) / 1e9) * 1000.0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3fms", ms);
    return buffer;
}

int fail(std::string_view message) {
    console::flush_out();
    console::write_err(message);
    return 1;
}

}  // namespace

void verbose_log(bool verbose, std::string_view message) {
    if (!verbose) return;
    std::string line(LOG_PREFIX);
    line += message;
    line += '\n';
    console::write_err(line);
}

int report_out_of_memory() {
    console::flush_out();
    console::write_err(std::string(fatal_message(Fatal::OutOfMemory)) + "\n");
    return 1;
}

bool has_qn_extension(std::string_view path) {
    while (!path.empty() && path.back() == '/') path.remove_suffix(1);
    std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return false;
    return name.substr(dot + 1) == "qn";
}

int run_file(const std::string& path, bool verbose) {
    verbose_log(verbose, SEPARATOR_LINE);
    verbose_log(verbose, "Starting Quenra interpreter...");
    if (!has_qn_extension(path)) return fail("Error: Only .qn files are allowed.\n");

    std::string text;
    int error_number = 0;
    if (!platform::read_file(path, text, error_number)) {
        return fail("Error: Failed to read the file: " + platform::os_error_text(error_number) +
                    "\n");
    }
    if (!utf8::is_valid(text)) {
        return fail("Error: Failed to read the file: stream did not contain valid UTF-8\n");
    }
    verbose_log(verbose, "File read successfully (" + std::to_string(text.size()) + " bytes)");

    auto started = platform::Clock::now();
    std::vector<Token> tokens = tokenize(text);
    auto tokenize_time = platform::Clock::now() - started;
    verbose_log(verbose, "Tokenization completed in " + milliseconds(tokenize_time));
    verbose_log(verbose, "Generated " + std::to_string(tokens.size()) + " tokens");

    SymbolTable symbols;
    started = platform::Clock::now();
    ParseResult parsed = parse(tokens, symbols);
    auto parse_time = platform::Clock::now() - started;
    verbose_log(verbose, "Parsing completed in " + milliseconds(parse_time));
    verbose_log(verbose, "Generated AST with " + std::to_string(parsed.statements.size()) +
                             " top-level statements");
    if (parsed.too_deep) return fail("Error: nesting too deep\n");

    verbose_log(verbose, "Starting execution...");
    verbose_log(verbose, SEPARATOR_LINE);
    started = platform::Clock::now();
    Fatal fatal = run_program(parsed.statements, symbols);
    auto run_time = platform::Clock::now() - started;
    console::flush_out();
    if (fatal != Fatal::None) {
        std::string message(fatal_message(fatal));
        console::write_err(message + "\n");
    }

    verbose_log(verbose, SEPARATOR_LINE);
    verbose_log(verbose, "Tokenization: " + milliseconds(tokenize_time));
    verbose_log(verbose, "Parsing:      " + milliseconds(parse_time));
    verbose_log(verbose, "Execution:    " + milliseconds(run_time));
    verbose_log(verbose, SEPARATOR_LINE);
    return fatal == Fatal::None ? 0 : 1;
}

int run_command_line(int argc, char** argv) {
    bool verbose = false, help = false, version = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--verbose" || arg == "-v") {
            verbose = true;
        } else if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (path.empty()) {
            path = arg;  // an empty argument leaves the path empty
        }
    }
    int code;
    if (help) {
        console::write_out(USAGE);
        code = 0;
    } else if (version) {
        console::write_out("quenra " QUENRA_VERSION "\n");
        code = 0;
    } else if (path.empty()) {
        code = run_repl();
    } else {
        code = run_file(path, verbose);
    }
    console::flush_out();
    return code;
}

}  // namespace quenra
