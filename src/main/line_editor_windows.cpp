// The interactive loop on Windows needs no editor of its own: the console edits
// the line while ReadConsoleW waits for it (cursor keys, Home and End, history on
// Up, Down and F7), and the platform layer hands the line over as UTF-8. So no
// editor is opened, and the loop reads the console as a stream.
#include "main/line_editor.hpp"

namespace quenra {

struct LineEditor {};

void LineEditorDeleter::operator()(LineEditor* editor) const { delete editor; }

LineEditorHandle open_line_editor() { return nullptr; }

console::ReadStatus edit_line(LineEditor&, std::string_view, std::string& line) {
    line.clear();
    return console::ReadStatus::End;
}

void remember_line(LineEditor&, std::string_view) {}

}  // namespace quenra
