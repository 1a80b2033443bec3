#pragma once
// What each system's platform file provides to the quit requests of quit_requests.cpp.

#include <csignal>

namespace quenra::platform {

using SignalHandler = void (*)(int);

// The signals that ask the program to quit.
inline constexpr int QUIT_SIGNALS[] = {SIGINT, SIGTERM};

// Makes `handler` the handler of `signal_number`, from inside a handler as well.
void set_signal_handler(int signal_number, SignalHandler handler);
// Puts `to` in place of `from` for Ctrl-C and SIGTERM, each where its handler is
// `from`.
void replace_quit_handlers(SignalHandler from, SignalHandler to);

}  // namespace quenra::platform
