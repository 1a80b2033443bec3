#include "interpreter/console.hpp"

#include <cerrno>
#include <cstring>

#include "platform/platform.hpp"

namespace quenra::console {

namespace {

constexpr std::size_t OUT_CAPACITY = 1 << 16;

struct OutBuffer {
    char data[OUT_CAPACITY];
    std::size_t used = 0;
    int terminal = -1;  // unknown until first asked
};

OutBuffer& out_buffer() {
    static OutBuffer buffer;
    return buffer;
}

[[noreturn]] void fail_output(int error_number) {
    if (!platform::is_broken_pipe(error_number)) {
        std::string message =
            "Error: could not write to standard output: " + platform::os_error_text(error_number) +
            "\n";
        platform::write_all(platform::Stream::Err, message.data(), message.size());
    }
    platform::exit_now(1);
}

void write_through(const char* data, std::size_t size) {
    int error = platform::write_all(platform::Stream::Out, data, size);
    if (error != 0) fail_output(error);
}

bool stdout_terminal() {
    OutBuffer& out = out_buffer();
    if (out.terminal < 0) out.terminal = platform::stdout_is_terminal() ? 1 : 0;
    return out.terminal == 1;
}

struct InBuffer {
    std::string data;
    std::size_t start = 0;  // first byte not yet handed out
    bool ended = false;
};

InBuffer& in_buffer() {
    static InBuffer buffer;
    return buffer;
}

}  // namespace

void flush_out() {
    OutBuffer& out = out_buffer();
    if (out.used == 0) return;
    std::size_t used = out.used;
    out.used = 0;
    write_through(out.data, used);
}

void write_out(std::string_view text) {
    OutBuffer& out = out_buffer();
    if (text.size() > OUT_CAPACITY - out.used) {
        flush_out();
        if (text.size() >= OUT_CAPACITY) {
            write_through(text.data(), text.size());
            return;
        }
    }
    std::memcpy(out.data + out.used, text.data(), text.size());
    out.used += text.size();
}

void write_line(std::string_view text) {
    write_out(text);
    write_out("\n");
    if (stdout_terminal()) flush_out();
}

void write_err(std::string_view text) {
    platform::write_all(platform::Stream::Err, text.data(), text.size());
}

bool has_buffered_input() {
    InBuffer& in = in_buffer();
    return in.start < in.data.size();
}

ReadStatus read_line(std::string& line) {
    InBuffer& in = in_buffer();
    line.clear();
    std::size_t scanned = in.start;
    for (;;) {
        std::size_t newline = in.data.find('\n', scanned);
        if (newline != std::string::npos) {
            line.assign(in.data, in.start, newline + 1 - in.start);
            in.start = newline + 1;
            return ReadStatus::Line;
        }
        if (in.ended) break;
        // Keep the unread tail and read more after it.
        if (in.start > 0) {
            in.data.erase(0, in.start);
            in.start = 0;
        }
        scanned = in.data.size();
        char chunk[1 << 16];
        int error = 0;
        long got = platform::read_input(chunk, sizeof chunk, error);
        if (got < 0) {
            if (error == EINTR) return ReadStatus::Interrupted;
            in.ended = true;
            if (in.data.empty()) return ReadStatus::Error;
            break;
        }
        if (got == 0) {
            // A terminal can go on after an end of input (Ctrl-D), so only a pipe or a
            // file stays ended.
            if (!platform::stdin_is_terminal()) in.ended = true;
            if (in.start >= in.data.size()) return ReadStatus::End;
            break;
        }
        in.data.append(chunk, static_cast<std::size_t>(got));
    }
    // End of input: hand out an unterminated last line, if any.
    if (in.start >= in.data.size()) return ReadStatus::End;
    line.assign(in.data, in.start, std::string::npos);
    in.start = in.data.size();
    return ReadStatus::Line;
}

}  // namespace quenra::console
