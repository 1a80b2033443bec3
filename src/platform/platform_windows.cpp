// Windows implementation of the platform layer (64-bit Windows 10 and later, built
// with MinGW-w64). Text crosses the boundary as UTF-8: the command line, paths,
// console output and console input are converted from and to UTF-16 here.
#include "platform/platform.hpp"
#include "platform/quit_signals.hpp"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// after windows.h, which they need
#include <bcrypt.h>
#include <psapi.h>
#include <shellapi.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cwchar>
#include <string_view>

namespace quenra::platform {

namespace {

std::wstring widen(std::string_view text) {
    if (text.empty()) return {};
    int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD, or, with `strict`, make the
// conversion fail (false).
bool narrow(const wchar_t* text, std::size_t size, std::string& out, bool strict = false) {
    out.clear();
    if (size == 0) return true;
    DWORD flags = strict ? WC_ERR_INVALID_CHARS : 0;
    int length = ::WideCharToMultiByte(CP_UTF8, flags, text, static_cast<int>(size), nullptr, 0,
                                       nullptr, nullptr);
    if (length <= 0) return false;
    out.resize(static_cast<std::size_t>(length));
    ::WideCharToMultiByte(CP_UTF8, flags, text, static_cast<int>(size), out.data(), length, nullptr,
                          nullptr);
    return true;
}

// A function pointer from GetProcAddress, without the cast warnings between
// unrelated function types.
template <typename F>
F function_from(FARPROC address) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(address));
}

bool is_console(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

}  // namespace

bool random_bytes(void* out, std::size_t size) {
    // ProcessPrng is the system's own generator (Windows 10 and later); it cannot
    // fail. Older systems and Wine may lack it: BCryptGenRandom serves there.
    using ProcessPrngFunction = BOOL(WINAPI*)(PBYTE, SIZE_T);
    static const ProcessPrngFunction process_prng = [] {
        HMODULE module =
            ::LoadLibraryExW(L"bcryptprimitives.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module == nullptr) return ProcessPrngFunction{nullptr};
        return function_from<ProcessPrngFunction>(::GetProcAddress(module, "ProcessPrng"));
    }();
    auto* bytes = static_cast<unsigned char*>(out);
    if (process_prng != nullptr) return process_prng(bytes, size) != FALSE;
    while (size > 0) {
        ULONG chunk = size > 0x10000000 ? 0x10000000 : static_cast<ULONG>(size);
        if (!BCRYPT_SUCCESS(
                ::BCryptGenRandom(nullptr, bytes, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
            return false;
        bytes += chunk;
        size -= chunk;
    }
    return true;
}

std::string os_error_text(int error_number) {
    wchar_t* buffer = nullptr;
    DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error_number), 0, reinterpret_cast<LPWSTR>(&buffer), 0,
        nullptr);
    std::string text;
    if (length > 0 && buffer != nullptr) {
        // System messages end with a line break (and sometimes a space before it).
        while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                              buffer[length - 1] == L' '))
            --length;
        narrow(buffer, length, text);
    }
    if (buffer != nullptr) ::LocalFree(buffer);
    if (text.empty()) text = "Unknown error";
    return text + " (os error " + std::to_string(error_number) + ")";
}

bool read_file(const std::string& path, std::string& out, int& error_number) {
    HANDLE file = ::CreateFileW(widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error_number = static_cast<int>(::GetLastError());
        return false;
    }
    out.clear();
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0) {
        out.reserve(static_cast<std::size_t>(size.QuadPart));
    }
    static char chunk[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            DWORD error = ::GetLastError();
            if (error == ERROR_BROKEN_PIPE) break;  // the writing end of a pipe closed
            error_number = static_cast<int>(error);
            ::CloseHandle(file);
            return false;
        }
        if (got == 0) break;
        out.append(chunk, got);
    }
    ::CloseHandle(file);
    return true;
}

// ---------------------------------------------------------------------------
// Standard streams

namespace {

struct OutputStream {
    DWORD which;
    int console = -1;     // -1 not yet known, else 0 or 1
    std::string pending;  // the start of a UTF-8 sequence whose end is still to come
};

OutputStream out_stream{STD_OUTPUT_HANDLE, -1, {}};
OutputStream err_stream{STD_ERROR_HANDLE, -1, {}};

// How many bytes at the end of `text` begin a UTF-8 sequence that is not complete.
std::size_t incomplete_tail(std::string_view text) {
    std::size_t back = 0;
    while (back < 3 && back < text.size()) {
        auto byte = static_cast<unsigned char>(text[text.size() - 1 - back]);
        ++back;
        if ((byte & 0xC0) != 0x80) {  // a lead byte (or ASCII)
            std::size_t need = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            return need > back ? back : 0;
        }
    }
    return 0;
}

int write_console(HANDLE handle, OutputStream& stream, const char* data, std::size_t size) {
    std::string text = std::move(stream.pending);
    stream.pending.clear();
    text.append(data, size);
    std::size_t tail = incomplete_tail(text);
    stream.pending.assign(text, text.size() - tail, tail);
    text.resize(text.size() - tail);
    std::wstring wide = widen(text);
    // Old consoles reject very long writes: a few thousand characters at a time, never
    // parting a surrogate pair.
    constexpr std::size_t CHUNK = 8192;
    std::size_t done = 0;
    while (done < wide.size()) {
        std::size_t count = wide.size() - done < CHUNK ? wide.size() - done : CHUNK;
        if (done + count < wide.size() && IS_HIGH_SURROGATE(wide[done + count - 1])) --count;
        DWORD written = 0;
        if (!::WriteConsoleW(handle, wide.data() + done, static_cast<DWORD>(count), &written,
                             nullptr))
            return static_cast<int>(::GetLastError());
        if (written == 0) return ERROR_WRITE_FAULT;
        done += written;
    }
    return 0;
}

}  // namespace

int write_all(Stream stream, const char* data, std::size_t size) {
    OutputStream& target = stream == Stream::Out ? out_stream : err_stream;
    HANDLE handle = ::GetStdHandle(target.which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
    if (target.console < 0) {
        DWORD mode = 0;
        target.console = ::GetConsoleMode(handle, &mode) ? 1 : 0;
        // The verbose log's colours are ANSI sequences: let the console interpret
        // them (Windows 10 and later; older consoles keep their mode).
        if (target.console == 1)
            ::SetConsoleMode(handle,
                             mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
    if (target.console == 1) return write_console(handle, target, data, size);
    while (size > 0) {
        DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(handle, data, chunk, &written, nullptr))
            return static_cast<int>(::GetLastError());
        data += written;
        size -= written;
    }
    return 0;
}

namespace {

std::atomic<bool> interrupt_flag{false};
// Set by the control handler, so that a console read that Ctrl-C ended can tell
// an interrupt from an empty read (the handler runs on a thread of its own, a
// little after the read returns).
HANDLE interrupt_event = nullptr;
// The thread the interpreter runs on: a blocking read on it is cancelled by Ctrl-C.
std::atomic<HANDLE> interpreter_thread{nullptr};
// Whether the interactive loop's Ctrl-C handler is in place (the C library's signal
// disposition does not show it).
std::atomic<bool> console_handler_installed{false};

// Console input already converted to UTF-8 and not yet handed out.
std::string console_pending;
// A high surrogate read at the end of one console read, waiting for its partner.
wchar_t console_surrogate = 0;

bool wait_for_interrupt(DWORD milliseconds) {
    if (interrupt_pending()) return true;
    if (interrupt_event != nullptr) ::WaitForSingleObject(interrupt_event, milliseconds);
    return interrupt_pending();
}

long read_console(HANDLE handle, char* data, std::size_t size, int& error_number) {
    while (console_pending.empty()) {
        wchar_t buffer[4096];
        std::size_t start = 0;
        if (console_surrogate != 0) {
            buffer[0] = console_surrogate;
            console_surrogate = 0;
            start = 1;
        }
        DWORD got = 0;
        BOOL read =
            ::ReadConsoleW(handle, buffer + start, static_cast<DWORD>(4096 - start), &got, nullptr);
        DWORD error = read ? ERROR_SUCCESS : ::GetLastError();
        if (!read || got == 0) {
            // Ctrl-C ends a cooked read, failed or with nothing read, a little before
            // the handler runs on its thread.
            if (wait_for_interrupt(100)) {
                error_number = EINTR;
                return -1;
            }
            if (read) return 0;  // nothing read and no Ctrl-C: taken as the end of input
            error_number = static_cast<int>(error);
            return -1;
        }
        std::size_t count = start + got;
        // Ctrl-Z at the start of a line is the console's end of input.
        if (buffer[0] == 0x1A) return 0;
        if (IS_HIGH_SURROGATE(buffer[count - 1])) console_surrogate = buffer[--count];
        if (!narrow(buffer, count, console_pending, true)) {
            // Unpaired surrogates are not text: the read fails, as bytes that are not
            // UTF-8 do on other systems.
            console_pending.clear();
            error_number = ERROR_NO_UNICODE_TRANSLATION;
            return -1;
        }
    }
    std::size_t count = console_pending.size() < size ? console_pending.size() : size;
    console_pending.copy(data, count);
    console_pending.erase(0, count);
    return static_cast<long>(count);
}

}  // namespace

long read_input(char* data, std::size_t size, int& error_number) {
    HANDLE handle = ::GetStdHandle(STD_INPUT_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        error_number = ERROR_INVALID_HANDLE;
        return -1;
    }
    if (!console_pending.empty() || is_console(handle))
        return read_console(handle, data, size, error_number);
    DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    for (;;) {
        DWORD got = 0;
        if (::ReadFile(handle, data, chunk, &got, nullptr)) return static_cast<long>(got);
        DWORD error = ::GetLastError();
        if (error == ERROR_BROKEN_PIPE) return 0;  // the writing end closed: end of input
        if (error == ERROR_OPERATION_ABORTED) {
            // Cancelled by the Ctrl-C handler: the caller reacts to the interrupt.
            if (interrupt_pending()) {
                error_number = EINTR;
                return -1;
            }
            continue;
        }
        error_number = static_cast<int>(error);
        return -1;
    }
}

bool stdin_is_terminal() { return is_console(::GetStdHandle(STD_INPUT_HANDLE)); }
bool stdout_is_terminal() { return is_console(::GetStdHandle(STD_OUTPUT_HANDLE)); }

bool is_broken_pipe(int error_number) {
    // ERROR_NO_DATA: the pipe is being closed (its reader has gone away).
    return error_number == ERROR_BROKEN_PIPE || error_number == ERROR_NO_DATA;
}

// Windows has no signal for a closed pipe: the write already fails with an error.
void ignore_broken_pipe_signal() {}

// ---------------------------------------------------------------------------
// Interrupts

namespace {

BOOL WINAPI on_console_control(DWORD type) {
    // Only Ctrl-C is caught; Ctrl-Break and closing the console end the process as
    // they do by default.
    if (type != CTRL_C_EVENT) return FALSE;
    interrupt_flag.store(true, std::memory_order_relaxed);
    if (interrupt_event != nullptr) ::SetEvent(interrupt_event);
    // A read from a pipe or file does not end by itself: cancel it. (The console
    // ends a cooked read at Ctrl-C by itself; cancelling it too ends it at once.)
    if (HANDLE thread = interpreter_thread.load()) ::CancelSynchronousIo(thread);
    return TRUE;
}

}  // namespace

void install_interrupt_handler() {
    if (interrupt_event == nullptr) interrupt_event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(on_console_control, TRUE);
    console_handler_installed = true;
}

void remove_interrupt_handler() {
    ::SetConsoleCtrlHandler(on_console_control, FALSE);
    console_handler_installed = false;
}
bool interrupt_pending() { return interrupt_flag.load(std::memory_order_relaxed); }

void request_interrupt() {
    interrupt_flag.store(true, std::memory_order_relaxed);
    if (interrupt_event != nullptr) ::SetEvent(interrupt_event);
}

bool take_interrupt() {
    bool was = interrupt_flag.exchange(false, std::memory_order_relaxed);
    if (was && interrupt_event != nullptr) ::ResetEvent(interrupt_event);
    return was;
}

void clear_interrupt() {
    interrupt_flag.store(false, std::memory_order_relaxed);
    if (interrupt_event != nullptr) ::ResetEvent(interrupt_event);
}

void set_signal_handler(int signal_number, SignalHandler handler) {
    std::signal(signal_number, handler);
}

// The C library only tells the handler it replaces, so a wrong one is put back.
void replace_quit_handlers(SignalHandler from, SignalHandler to) {
    for (int signal_number : QUIT_SIGNALS) {
        // The interactive loop's Ctrl-C handler is not a C library one.
        if (signal_number == SIGINT && console_handler_installed) continue;
        SignalHandler previous = std::signal(signal_number, to);
        if (previous != from && previous != SIG_ERR) std::signal(signal_number, previous);
    }
}

// Console text is converted to and from UTF-16 here, whatever the code page.
bool use_utf8_terminal_locale() { return true; }

// ---------------------------------------------------------------------------
// Arguments, threads, libraries, process

std::vector<std::string> command_line(int argc, char** argv) {
    // The narrow argv is in the ANSI code page, which cannot hold every file name:
    // the UTF-16 command line is split the way the C runtime splits it.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (wide == nullptr) {
        for (int i = 0; i < argc; ++i) arguments.emplace_back(argv[i]);
        return arguments;
    }
    for (int i = 0; i < count; ++i) {
        std::string text;
        narrow(wide[i], std::wcslen(wide[i]), text);
        arguments.push_back(std::move(text));
    }
    ::LocalFree(wide);
    return arguments;
}

namespace {

struct ThreadStart {
    int (*body)(void*);
    void* context;
    int result;
};

DWORD WINAPI thread_main(LPVOID raw) {
    auto* start = static_cast<ThreadStart*>(raw);
    start->result = start->body(start->context);
    return 0;
}

}  // namespace

int run_on_large_stack(std::size_t stack_bytes, int (*body)(void*), void* context) {
    ThreadStart start{body, context, 0};
    // Reserved address space; pages are committed as the stack grows into them.
    HANDLE thread = ::CreateThread(nullptr, stack_bytes, thread_main, &start,
                                   STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) return body(context);  // no thread: run on the current stack
    interpreter_thread.store(thread);
    ::WaitForSingleObject(thread, INFINITE);
    interpreter_thread.store(nullptr);
    ::CloseHandle(thread);
    return start.result;
}

std::uintptr_t current_stack_low() {
    ULONG_PTR low = 0, high = 0;
    ::GetCurrentThreadStackLimits(&low, &high);
    return static_cast<std::uintptr_t>(low);
}

namespace {
DWORD last_library_error = 0;
}

void* open_library(const char* const* names) {
    for (; *names != nullptr; ++names) {
        // The program's own folder and the system folders only: never the current
        // folder, where a script's directory could plant a library of that name.
        HMODULE module =
            ::LoadLibraryExW(widen(*names).c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
        if (module != nullptr) return reinterpret_cast<void*>(module);
        last_library_error = ::GetLastError();
    }
    return nullptr;
}

void* library_symbol(void* library, const char* symbol) {
    FARPROC address = ::GetProcAddress(static_cast<HMODULE>(library), symbol);
    if (address == nullptr) {
        last_library_error = ::GetLastError();
        return nullptr;
    }
    return reinterpret_cast<void*>(address);
}

std::string library_error() { return os_error_text(static_cast<int>(last_library_error)); }

void exit_now(int code) { std::_Exit(code); }

std::uint64_t physical_memory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return 0;
    return status.ullTotalPhys;
}

bool cap_address_space(std::uint64_t extra_bytes) {
    // Windows commits memory when it is allocated, so a job's limit on committed
    // memory plays the part of the address-space limit: allocations beyond it fail.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return false;
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limits.ProcessMemoryLimit = static_cast<SIZE_T>(counters.PagefileUsage + extra_bytes);
    bool capped =
        ::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) &&
        ::AssignProcessToJobObject(job, ::GetCurrentProcess());
    // The job stays open for the life of the process (it ends with it).
    if (!capped) ::CloseHandle(job);
    return capped;
}

}  // namespace quenra::platform
