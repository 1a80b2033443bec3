// Whole programs: any bytes are lexed, parsed and run, with standard output thrown
// away and no window. A time budget (an interrupt after a few hundred milliseconds)
// and a cap on the size of any one value make endless loops and allocation bombs end
// the input instead of the fuzzer.
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "graphics/builtins.hpp"
#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "lexer/utf8.hpp"
#include "lexer/warnings.hpp"
#include "parser/parser.hpp"
#include "platform/platform.hpp"

namespace {

// The run's budget is over: ask the interpreter to stop, as Ctrl-C does.
extern "C" void on_alarm(int) { std::raise(SIGINT); }

void start_budget() {
    struct itimerval timer {};
    timer.it_value.tv_usec = 300000;
    setitimer(ITIMER_REAL, &timer, nullptr);
}

void stop_budget() {
    struct itimerval timer {};
    setitimer(ITIMER_REAL, &timer, nullptr);
    quenra::platform::clear_interrupt();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Scripts print; the fuzzer's own report goes to standard error.
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    int empty = open("/dev/null", O_RDONLY);
    if (empty >= 0) dup2(empty, STDIN_FILENO);
    quenra::set_value_size_limit(std::uint64_t{16} << 20);
    quenra::platform::install_interrupt_handler();
    quenra::graphics::provide_builtins();
    setenv("SDL_VIDEODRIVER", "none", 1);  // window() fails at once: no window is ever opened
    struct sigaction action {};
    action.sa_handler = on_alarm;
    sigaction(SIGALRM, &action, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view raw(reinterpret_cast<const char*>(data), size);
    if (!quenra::utf8::is_valid(raw)) return -1;  // the driver rejects these before lexing
    std::vector<quenra::Token> tokens = quenra::tokenize(raw);
    quenra::SymbolTable symbols;
    quenra::ParseResult parsed = quenra::parse(tokens, symbols);
    if (parsed.too_deep) return 0;
    start_budget();
    quenra::run_program(parsed.statements, symbols);
    stop_budget();

    // The same program again as --warn runs it: traced front end, every check on.
    quenra::Warnings sink([](std::string_view) {});
    std::string_view kept = sink.add_source("fuzz.qn", std::string(raw));
    quenra::FrontEndTrace trace;
    trace.sink = &sink;
    std::vector<quenra::Token> traced = quenra::tokenize(kept, trace);
    quenra::SymbolTable traced_symbols;
    quenra::ParseResult traced_parse = quenra::parse(traced, traced_symbols, trace);
    sink.report_front_end(std::move(trace.warnings));
    start_budget();
    quenra::run_program(traced_parse.statements, traced_symbols, &sink);
    stop_budget();
    sink.finish_batch();
    return 0;
}
