// The entry point. The interpreter runs on a thread with a large reserved stack, so
// that deep recursion in scripts ends in a clean message instead of a crash.
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "interpreter/payload_pool.hpp"
#include "main/driver.hpp"
#include "platform/platform.hpp"

namespace {

// Address space reserved for the interpreter's stack; pages are committed only as
// the stack grows into them.
#if defined(QUENRA_SANITIZED)
// Sanitizer builds use several times more stack per call; a smaller stack stops a
// runaway recursion after a few gigabytes rather than eight (500,000 calls still fit).
constexpr std::size_t STACK_BYTES = std::size_t{3} << 30;
#else
constexpr std::size_t STACK_BYTES = std::size_t{8} << 30;
#endif

struct Arguments {
    int argc;
    char** argv;
};

int run(void* context) {
    auto* arguments = static_cast<Arguments*>(context);
#if !defined(QUENRA_SANITIZED)
    // Room for as much data as the machine has memory: beyond that, allocations fail
    // and the run stops with "Error: out of memory" rather than being killed. (The
    // sanitizers reserve vast shadow regions, so they run uncapped.)
    std::uint64_t memory = quenra::platform::physical_memory();
    if (memory != 0) quenra::platform::cap_address_space(memory);
#endif
    // Whatever the run leaves in the record pool goes back when the run ends.
    struct PoolRelease {
        ~PoolRelease() { quenra::pool::release_cached(); }
    } pool_release;
    try {
        return quenra::run_command_line(arguments->argc, arguments->argv);
    } catch (const std::bad_alloc&) {
        return quenra::report_out_of_memory();
    } catch (const std::length_error&) {
        return quenra::report_out_of_memory();
    }
}

}  // namespace

int main(int argc, char** argv) {
    quenra::platform::ignore_broken_pipe_signal();
    std::vector<std::string> texts = quenra::platform::command_line(argc, argv);
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    Arguments arguments{static_cast<int>(texts.size()), pointers.data()};
    return quenra::platform::run_on_large_stack(STACK_BYTES, run, &arguments);
}
