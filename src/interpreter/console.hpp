#pragma once
// The console streams as the interpreter uses them: standard output is buffered
// (and flushed after every line when it is a terminal, before input is read, and
// at exit); standard error is unbuffered, so messages appear when they happen;
// standard input is read a line at a time through one shared buffer, so the
// interactive loop and the input built-in read the same stream in order.
//
// Output failures end the process: a reader that has gone away (a broken pipe)
// ends it silently with exit code 1; any other failure writes one line to
// standard error first.

#include <string>
#include <string_view>

namespace quenra::console {

void write_out(std::string_view text);
// `text` and a line break.
void write_line(std::string_view text);
void flush_out();
void write_err(std::string_view text);

enum class ReadStatus {
    Line,         // `line` holds the bytes read, up to and including a line break if any
    End,          // end of input before any byte
    Error,        // the read failed
    Interrupted,  // an interrupt request arrived while waiting
};
ReadStatus read_line(std::string& line);

// Bytes already read from standard input but not yet handed out as a line.
bool has_buffered_input();

}  // namespace quenra::console
