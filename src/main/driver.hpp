#pragma once
// The driver: command line, the file runner with its optional progress log, and
// the interactive loop.

#include <string>
#include <string_view>

namespace quenra {

// Yellow "[QUENRA]" and a reset, in front of every verbose log line.
inline constexpr std::string_view LOG_PREFIX = "\x1b[33m[\x1b[93mQUENRA\x1b[33m]\x1b[0m ";
// 33 times U+2500.
inline constexpr std::string_view SEPARATOR_LINE = "─────────────────────────────────";

// The whole program: scans the arguments and runs a file or the interactive loop.
// Returns the process exit code.
int run_command_line(int argc, char** argv);

// What the command line asks of a run besides the script itself.
struct RunOptions {
    bool verbose = false;
    bool warn = false;   // --warn: report likely mistakes on standard error
    bool check = false;  // --check: only lex and parse, report, and exit 1 on a warning
};

void verbose_log(bool verbose, std::string_view message);
// Writes "Error: out of memory" and returns the exit code for it.
int report_out_of_memory();
int run_file(const std::string& path, RunOptions options);
int run_repl(bool warn = false);
// How warnings reach standard error: after what the script has printed so far.
void write_warning_text(std::string_view text);

// Whether `path` names a file with the extension "qn" (the part of the last path
// component after its last dot; a leading dot alone is no extension).
bool has_qn_extension(std::string_view path);

}  // namespace quenra
