// Quit requests while a window is open, the same on every system: the first one
// waits to be taken as a quit event, any later one gets the default action.
#include <atomic>
#include <csignal>

#include "platform/platform.hpp"
#include "platform/quit_signals.hpp"

namespace quenra::platform {

namespace {

enum QuitState : int { QUIT_NONE, QUIT_WAITING, QUIT_TAKEN };
std::atomic<int> quit_state{QUIT_NONE};

extern "C" void on_quit_request(int signal_number) {
    int expected = QUIT_NONE;
    bool first = quit_state.compare_exchange_strong(expected, QUIT_WAITING);
    // Set again even when it stays: Windows' C library resets the handler before
    // calling it.
    set_signal_handler(signal_number, first ? on_quit_request : SIG_DFL);
    // A second request: the default action, which ends the process.
    if (!first) std::raise(signal_number);
}

}  // namespace

void install_quit_request_handler() {
    quit_state.store(QUIT_NONE);
    replace_quit_handlers(SIG_DFL, on_quit_request);
}

void remove_quit_request_handler() { replace_quit_handlers(on_quit_request, SIG_DFL); }

bool take_quit_request() {
    int expected = QUIT_WAITING;
    return quit_state.compare_exchange_strong(expected, QUIT_TAKEN);
}

}  // namespace quenra::platform
