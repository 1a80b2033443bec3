// POSIX implementation of the platform layer (Linux and other Unix systems).
#include "platform/platform.hpp"
#include "platform/quit_signals.hpp"

#include <dlfcn.h>
#include <fcntl.h>
#include <langinfo.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <clocale>
#include <csignal>
#include <cstring>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace quenra::platform {

std::vector<std::string> command_line(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

bool random_bytes(void* out, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(out);
    while (size > 0) {
        ssize_t got = getrandom(bytes, size, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

std::string os_error_text(int error_number) {
    char buffer[256];
    // The GNU variant returns a pointer that may or may not be `buffer`.
    const char* text = strerror_r(error_number, buffer, sizeof buffer);
    return std::string(text) + " (os error " + std::to_string(error_number) + ")";
}

bool read_file(const std::string& path, std::string& out, int& error_number) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error_number = errno;
        return false;
    }
    out.clear();
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        out.reserve(static_cast<std::size_t>(info.st_size));
    }
    char chunk[1 << 16];
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            error_number = errno;
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        out.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return true;
}

int write_all(Stream stream, const char* data, std::size_t size) {
    int fd = stream == Stream::Out ? STDOUT_FILENO : STDERR_FILENO;
    while (size > 0) {
        ssize_t done = ::write(fd, data, size);
        if (done < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return 0;
}

long read_input(char* data, std::size_t size, int& error_number) {
    for (;;) {
        ssize_t got = ::read(STDIN_FILENO, data, size);
        if (got >= 0) return static_cast<long>(got);
        if (errno == EINTR) {
            // An interrupt while waiting for input ends the wait, so the caller can
            // react to it; otherwise keep reading.
            if (interrupt_pending()) {
                error_number = EINTR;
                return -1;
            }
            continue;
        }
        error_number = errno;
        return -1;
    }
}

bool stdin_is_terminal() { return ::isatty(STDIN_FILENO) == 1; }
bool stdout_is_terminal() { return ::isatty(STDOUT_FILENO) == 1; }
bool is_broken_pipe(int error_number) { return error_number == EPIPE; }

void ignore_broken_pipe_signal() { std::signal(SIGPIPE, SIG_IGN); }

namespace {
std::atomic<bool> interrupt_flag{false};

extern "C" void on_interrupt(int) { interrupt_flag.store(true, std::memory_order_relaxed); }
}  // namespace

void install_interrupt_handler() {
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocking read returns with EINTR
    sigaction(SIGINT, &action, nullptr);
}

void remove_interrupt_handler() { std::signal(SIGINT, SIG_DFL); }
bool interrupt_pending() { return interrupt_flag.load(std::memory_order_relaxed); }
void request_interrupt() { interrupt_flag.store(true, std::memory_order_relaxed); }
bool take_interrupt() { return interrupt_flag.exchange(false, std::memory_order_relaxed); }
void clear_interrupt() { interrupt_flag.store(false, std::memory_order_relaxed); }

void set_signal_handler(int signal_number, SignalHandler handler) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal_number, &action, nullptr);
}

void replace_quit_handlers(SignalHandler from, SignalHandler to) {
    for (int signal_number : QUIT_SIGNALS) {
        struct sigaction current {};
        if (sigaction(signal_number, nullptr, &current) != 0) continue;
        if ((current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == from)
            set_signal_handler(signal_number, to);
    }
}

bool use_utf8_terminal_locale() {
    auto is_utf8 = [] {
        std::string_view codeset = ::nl_langinfo(CODESET);
        return codeset == "UTF-8" || codeset == "utf8";
    };
    if (std::setlocale(LC_CTYPE, "") != nullptr && is_utf8()) return true;
    if (std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr && is_utf8()) return true;
    return std::setlocale(LC_CTYPE, "C.utf8") != nullptr && is_utf8();
}

namespace {
struct ThreadStart {
    int (*body)(void*);
    void* context;
    int result;
};

extern "C" void* thread_main(void* raw) {
    auto* start = static_cast<ThreadStart*>(raw);
    start->result = start->body(start->context);
    return nullptr;
}
}  // namespace

int run_on_large_stack(std::size_t stack_bytes, int (*body)(void*), void* context) {
    ThreadStart start{body, context, 0};
    // Reserve the address space without committing memory: pages are only backed
    // when the stack actually grows into them.
    void* stack = ::mmap(nullptr, stack_bytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    bool custom =
        stack != MAP_FAILED && pthread_attr_setstack(&attributes, stack, stack_bytes) == 0;
    pthread_t thread;
    if (pthread_create(&thread, custom ? &attributes : nullptr, thread_main, &start) != 0) {
        pthread_attr_destroy(&attributes);
        if (stack != MAP_FAILED) ::munmap(stack, stack_bytes);
        return body(context);  // no thread: run on the current stack
    }
    // A process-wide SIGINT goes to a thread that does not block it, the waiting one
    // first; blocked here, it reaches the new thread (which did not inherit the
    // block), where a blocking read returns with EINTR and the handler's flag is seen.
    sigset_t interrupt_only;
    sigemptyset(&interrupt_only);
    sigaddset(&interrupt_only, SIGINT);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &interrupt_only, &previous);
    pthread_join(thread, nullptr);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    pthread_attr_destroy(&attributes);
    if (stack != MAP_FAILED) ::munmap(stack, stack_bytes);
    return start.result;
}

std::uintptr_t current_stack_low() {
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return 0;
    void* address = nullptr;
    std::size_t size = 0;
    pthread_attr_getstack(&attributes, &address, &size);
    pthread_attr_destroy(&attributes);
    return reinterpret_cast<std::uintptr_t>(address);
}

void* open_library(const char* const* names) {
    for (; *names != nullptr; ++names) {
        if (void* library = ::dlopen(*names, RTLD_NOW | RTLD_LOCAL)) return library;
    }
    return nullptr;
}

void* library_symbol(void* library, const char* symbol) { return ::dlsym(library, symbol); }

std::string library_error() {
    const char* text = ::dlerror();
    return text != nullptr ? text : "unknown error";
}

void exit_now(int code) { ::_exit(code); }

std::uint64_t physical_memory() {
    long pages = ::sysconf(_SC_PHYS_PAGES);
    long page_size = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
}

bool cap_address_space(std::uint64_t extra_bytes) {
    // statm's first field is the total program size in pages.
    int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char text[128] = {};
    ssize_t got = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (got <= 0) return false;
    std::uint64_t pages = std::strtoull(text, nullptr, 10);
    long page_size = ::sysconf(_SC_PAGESIZE);
    if (pages == 0 || page_size <= 0) return false;
    std::uint64_t limit = pages * static_cast<std::uint64_t>(page_size) + extra_bytes;
    struct rlimit current {};
    if (::getrlimit(RLIMIT_AS, &current) != 0) return false;
    if (current.rlim_max != RLIM_INFINITY && current.rlim_max < limit) limit = current.rlim_max;
    struct rlimit wanted {
        static_cast<rlim_t>(limit), current.rlim_max
    };
    return ::setrlimit(RLIMIT_AS, &wanted) == 0;
}

}  // namespace quenra::platform
