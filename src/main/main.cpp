// The entry point. The interpreter runs on a thread with a large reserved stack, so
// that deep recursion in scripts ends in a clean message instead of a crash.
#include "main/driver.hpp"
#include "platform/platform.hpp"

namespace {

// Address space reserved for the interpreter's stack; pages are committed only as
// the stack grows into them.
constexpr std::size_t STACK_BYTES = std::size_t{8} << 30;

struct Arguments {
    int argc;
    char** argv;
};

int run(void* context) {
    auto* arguments = static_cast<Arguments*>(context);
    return quenra::run_command_line(arguments->argc, arguments->argv);
}

}  // namespace

int main(int argc, char** argv) {
    quenra::platform::ignore_broken_pipe_signal();
    Arguments arguments{argc, argv};
    return quenra::platform::run_on_large_stack(STACK_BYTES, run, &arguments);
}
