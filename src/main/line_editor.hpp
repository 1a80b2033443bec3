#pragma once
// Line editing for the interactive loop when it talks to a terminal: cursor keys,
// the usual Emacs keys and an in-memory history recalled with Up and Down. Nothing
// is kept across runs.
//
// Characters are taken from standard input one read at a time, so the editor never
// holds bytes beyond the line it returns: what follows stays in the stream for the
// input built-in, which reads the same terminal.

#include <memory>
#include <string>
#include <string_view>

#include "interpreter/console.hpp"

namespace quenra {

struct LineEditor;
struct LineEditorDeleter {
    void operator()(LineEditor* editor) const;
};
using LineEditorHandle = std::unique_ptr<LineEditor, LineEditorDeleter>;

// Sets up editing on the terminal behind standard input and output; null when the
// terminal cannot be edited on.
LineEditorHandle open_line_editor();

// Shows `prompt` and lets the user type one line, returned in `line` with its line
// break. Line: a line was entered. End: Ctrl-D on an empty line, or the end of the
// input. Error: the terminal failed or sent bytes that are not UTF-8. Interrupted:
// Ctrl-C (the half-typed line is dropped).
console::ReadStatus edit_line(LineEditor& editor, std::string_view prompt, std::string& line);

// Adds `line` to the history, unless it repeats the latest entry.
void remember_line(LineEditor& editor, std::string_view line);

}  // namespace quenra
