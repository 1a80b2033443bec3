#include "main/driver.hpp"

#include <cstdio>
#include <memory>
#include <new>

#include "graphics/builtins.hpp"
#include "interpreter/console.hpp"
#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "lexer/utf8.hpp"
#include "lexer/warnings.hpp"
#include "parser/parser.hpp"
#include "platform/platform.hpp"

namespace quenra {

namespace {

constexpr std::string_view USAGE =
    "Usage: quenra [--verbose | -v] [--warn | -W] [--check] [script.qn]\n"
    "\n"
    "Runs a Quenra script, or starts the interactive loop when no script is named.\n"
    "\n"
    "  -v, --verbose   log the phases of the run, with timings, to standard error\n"
    "  -W, --warn      report likely mistakes (unknown names, operations that give\n"
    "                  null, statements left out, ...) on standard error as\n"
    "                  FILE:LINE:COL: warning: MESSAGE; the run itself is unchanged\n"
    "      --check     only read the script: report the warnings found without\n"
    "                  running it; exit code 1 when there is any\n"
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

void write_warning_text(std::string_view text) {
    console::flush_out();
    console::write_err(text);
}

int report_out_of_memory() {
    console::flush_out();
    console::write_err(std::string(fatal_message(Fatal::OutOfMemory)) + "\n");
    return 1;
}

bool has_qn_extension(std::string_view path) {
#if defined(_WIN32)
    // Windows paths separate components with either slash, and a drive letter's
    // colon ends the drive part ("C:script.qn").
    constexpr std::string_view SEPARATORS = "/\\:";
#else
    constexpr std::string_view SEPARATORS = "/";
#endif
    while (!path.empty() && SEPARATORS.find(path.back()) != std::string_view::npos)
        path.remove_suffix(1);
    std::size_t slash = path.find_last_of(SEPARATORS);
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return false;
    return name.substr(dot + 1) == "qn";
}

int run_file(const std::string& path, RunOptions options) {
    bool verbose = options.verbose;
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

    // With warnings on, the sink keeps the text (for the lines it shows) and the front
    // end records places; without, nothing of this is made.
    std::unique_ptr<Warnings> warnings;
    FrontEndTrace trace;
    std::string_view source = text;
    if (options.warn || options.check) {
        warnings = std::make_unique<Warnings>(write_warning_text);
        source = warnings->add_source(path, std::move(text));
        trace.base = warnings->base_of_last();
        trace.sink = warnings.get();
    }

    auto started = platform::Clock::now();
    std::vector<Token> tokens = warnings ? tokenize(source, trace) : tokenize(source);
    auto tokenize_time = platform::Clock::now() - started;
    verbose_log(verbose, "Tokenization completed in " + milliseconds(tokenize_time));
    verbose_log(verbose, "Generated " + std::to_string(tokens.size()) + " tokens");

    SymbolTable symbols;
    started = platform::Clock::now();
    ParseResult parsed = warnings ? parse(tokens, symbols, trace) : parse(tokens, symbols);
    auto parse_time = platform::Clock::now() - started;
    verbose_log(verbose, "Parsing completed in " + milliseconds(parse_time));
    verbose_log(verbose, "Generated AST with " + std::to_string(parsed.statements.size()) +
                             " top-level statements");
    if (parsed.too_deep) return fail("Error: nesting too deep\n");
    if (warnings) warnings->report_front_end(std::move(trace.warnings));
    if (options.check) {
        bool clean = warnings->batch_count() == 0;
        warnings->finish_batch();
        return clean ? 0 : 1;
    }

    verbose_log(verbose, "Starting execution...");
    verbose_log(verbose, SEPARATOR_LINE);
    started = platform::Clock::now();
    Fatal fatal = run_program(parsed.statements, symbols, warnings.get());
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
    if (warnings) warnings->finish_batch();
    return fatal == Fatal::None ? 0 : 1;
}

int run_command_line(int argc, char** argv) {
    bool help = false, version = false;
    RunOptions options;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--verbose" || arg == "-v") {
            options.verbose = true;
        } else if (arg == "--warn" || arg == "-W") {
            options.warn = true;
        } else if (arg == "--check") {
            options.check = true;
        } else if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (path.empty()) {
            path = arg;  // an empty argument leaves the path empty
        }
    }
    graphics::provide_builtins();
    int code;
    if (help) {
        console::write_out(USAGE);
        code = 0;
    } else if (version) {
        console::write_out("quenra " QUENRA_VERSION "\n");
        code = 0;
    } else if (path.empty() && options.check) {
        code = fail("Error: --check needs a script to read\n");
    } else if (path.empty()) {
        code = run_repl(options.warn);
    } else {
        code = run_file(path, options);
    }
    console::flush_out();
    return code;
}

}  // namespace quenra
