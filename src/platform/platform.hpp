#pragma once
// The few operating-system calls Quenra needs, behind small functions. A port to
// another OS replaces this folder's implementation; nothing else includes OS headers.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quenra::platform {

// The process's arguments as UTF-8 texts, the program's own path first. (Windows
// passes narrow arguments in the ANSI code page, which cannot hold every path.)
std::vector<std::string> command_line(int argc, char** argv);

// The monotonic clock used for phase timings.
using Clock = std::chrono::steady_clock;

// Fills `size` bytes at `out` from the OS random source. Returns false when the
// source is unavailable (the caller decides what that means).
bool random_bytes(void* out, std::size_t size);

// The OS message for an error number followed by " (os error N)".
std::string os_error_text(int error_number);

// Reads a whole file into `out`. On failure returns false and sets `error_number`.
bool read_file(const std::string& path, std::string& out, int& error_number);

// Standard streams, unbuffered: the caller does its own buffering.
enum class Stream { Out, Err };
// Writes all of `size` bytes; returns 0 on success or the OS error number.
int write_all(Stream stream, const char* data, std::size_t size);
// Reads up to `size` bytes from standard input. Returns the count (0 at end of
// input) or -1 with `error_number` set: EINTR when an interrupt request ended the
// wait, on every system.
long read_input(char* data, std::size_t size, int& error_number);
bool stdin_is_terminal();
bool stdout_is_terminal();
// The error number of a write to a reader that has gone away.
bool is_broken_pipe(int error_number);

// Makes a write to a closed pipe fail with an error instead of killing the process.
void ignore_broken_pipe_signal();

// Interrupt requests (Ctrl-C). While installed, an interrupt sets a flag instead of
// ending the process; `take_interrupt` reads and clears it.
void install_interrupt_handler();
void remove_interrupt_handler();
bool interrupt_pending();
// Sets the flag as an interrupt does (for a caller that asks the run to stop).
void request_interrupt();
bool take_interrupt();
void clear_interrupt();

// Quit requests while a window is open. SDL would turn Ctrl-C and SIGTERM into quit
// events, which only the script's own loop can act on: a script busy elsewhere could
// then not be stopped at all. While this handler is installed, the first request
// waits for `take_quit_request` (the window's event polling takes it as a quit
// event) and any later one ends the process, as it would without a window. Signals
// that already have a handler (the interactive loop's Ctrl-C) are left alone.
void install_quit_request_handler();
void remove_quit_request_handler();
// Whether a request has come and not been taken yet; taking it arms the next one to
// end the process.
bool take_quit_request();

// Sets the character-type locale from the environment, as terminal line editing
// needs it to decode and display what is typed. When the environment names no
// UTF-8 encoding, a UTF-8 locale is chosen instead, since all of Quenra's text is
// UTF-8. Returns whether the locale in force is UTF-8.
bool use_utf8_terminal_locale();

// Runs `body(context)` on a new thread whose stack reserves `stack_bytes` of address
// space (committed only as it is used) and returns its result. Interrupt requests
// are delivered to that thread, so that they can end a read it is blocked in.
int run_on_large_stack(std::size_t stack_bytes, int (*body)(void*), void* context);

// The lowest usable address of the calling thread's stack.
std::uintptr_t current_stack_low();

// Loads the first shared library of `names` (a null-terminated list) that can be
// loaded, or returns null. Libraries that only some scripts need (graphics, line
// editing) are loaded this way on first use, so that a run that does not use them
// does not pay for them at start-up.
void* open_library(const char* const* names);
// The address of `symbol` in a library `open_library` returned, or null.
void* library_symbol(void* library, const char* symbol);
// Why the last library or symbol lookup failed.
std::string library_error();

// Ends the process at once with `code`, without running exit handlers.
[[noreturn]] void exit_now(int code);

// Physical memory of the machine in bytes (0 when unknown).
std::uint64_t physical_memory();

// Caps the process's address space at what it uses now plus `extra_bytes`, so that
// exhausting memory makes allocations fail (and the run stop cleanly) instead of
// inviting the OS to kill the process. Returns false when the cap cannot be set.
bool cap_address_space(std::uint64_t extra_bytes);

}  // namespace quenra::platform
