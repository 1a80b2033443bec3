// The interactive loop's line editor, on libedit. libedit works in wide characters;
// the editor feeds it scalar values decoded from UTF-8 here and encodes what it
// returns back to UTF-8, so the text arrives intact whatever the locale's converter
// would make of it. The locale still decides how characters are shown.
#include "main/line_editor.hpp"

#include <histedit.h>

#include <cstdio>

#include "lexer/utf8.hpp"
#include "platform/platform.hpp"

namespace quenra {

namespace {

// Entries kept for Up and Down; the oldest go first.
constexpr int HISTORY_SIZE = 1000;

// libedit, loaded when the loop first talks to a terminal: scripts and piped
// sessions never load it.
struct EditLibrary {
    decltype(&::el_init) el_init;
    decltype(&::el_end) el_end;
    decltype(&::el_wget) el_wget;
    decltype(&::el_wset) el_wset;
    decltype(&::el_wgets) el_wgets;
    decltype(&::history_winit) history_winit;
    decltype(&::history_wend) history_wend;
    decltype(&::history_w) history_w;
};

template <typename F>
bool resolve(void* library, const char* name, F& out) {
    out = reinterpret_cast<F>(platform::library_symbol(library, name));
    return out != nullptr;
}

// The loaded library, or null when it is not installed.
const EditLibrary* edit_library() {
    static const EditLibrary* loaded = []() -> const EditLibrary* {
        static const char* const NAMES[] = {"libedit.so.2", "libedit.so", nullptr};
        void* library = platform::open_library(NAMES);
        if (library == nullptr) return nullptr;
        static EditLibrary api;
        bool ok =
            resolve(library, "el_init", api.el_init) && resolve(library, "el_end", api.el_end) &&
            resolve(library, "el_wget", api.el_wget) && resolve(library, "el_wset", api.el_wset) &&
            resolve(library, "el_wgets", api.el_wgets) &&
            resolve(library, "history_winit", api.history_winit) &&
            resolve(library, "history_wend", api.history_wend) &&
            resolve(library, "history_w", api.history_w);
        return ok ? &api : nullptr;
    }();
    return loaded;
}

const EditLibrary& edit() { return *edit_library(); }

}  // namespace

struct LineEditor {
    EditLine* el = nullptr;
    HistoryW* history = nullptr;
    std::wstring prompt;
    bool malformed = false;    // the terminal sent a sequence that is not UTF-8
    bool interrupted = false;  // Ctrl-C while the line was being typed
};

namespace {

LineEditor& editor_of(EditLine* el) {
    void* data = nullptr;
    edit().el_wget(el, EL_CLIENTDATA, &data);
    return *static_cast<LineEditor*>(data);
}

wchar_t* current_prompt(EditLine* el) { return editor_of(el).prompt.data(); }

// One byte from standard input: 1, 0 at end of input, -1 on an error or an
// interrupt request (pending before the read or arriving during it).
int read_byte(unsigned char& byte) {
    if (platform::interrupt_pending()) return -1;
    char c = 0;
    int error = 0;
    long got = platform::read_input(&c, 1, error);
    if (got <= 0) return static_cast<int>(got);
    byte = static_cast<unsigned char>(c);
    return 1;
}

// The length of the UTF-8 sequence a byte starts, or 0 when it starts none.
std::size_t sequence_length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// libedit's character source: reads one UTF-8 sequence and hands over its scalar
// value. Returns 1 with a character, 0 at end of input, -1 otherwise.
//
// Ctrl-C is answered with a line break, which ends the line the way Enter does:
// libedit then leaves the cursor below the whole line however it wraps, and the
// line is dropped afterwards. Should the line break not end it (after a quoting
// key), the next read ends it as an error.
int read_character(EditLine* el, wchar_t* out) {
    LineEditor& editor = editor_of(el);
    if (editor.interrupted) return -1;
    std::string bytes;
    std::size_t length = 1;
    while (bytes.size() < length) {
        unsigned char byte = 0;
        int status = read_byte(byte);
        if (status < 0 && platform::take_interrupt()) {
            editor.interrupted = true;
            *out = L'\n';
            return 1;
        }
        if (status <= 0) return status;
        if (bytes.empty()) length = sequence_length(byte);
        bytes += static_cast<char>(byte);
    }
    if (!utf8::is_valid(bytes)) {
        editor.malformed = true;
        return -1;
    }
    std::size_t pos = 0;
    *out = static_cast<wchar_t>(utf8::decode(bytes, pos));
    return 1;
}

void append_wide(std::string& out, const wchar_t* text, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        auto c = static_cast<char32_t>(text[i]);
        bool scalar = c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        utf8::append(out, scalar ? c : utf8::REPLACEMENT);
    }
}

std::wstring widen(std::string_view text) {
    std::wstring wide;
    std::size_t pos = 0;
    while (pos < text.size()) wide += static_cast<wchar_t>(utf8::decode(text, pos));
    return wide;
}

}  // namespace

void LineEditorDeleter::operator()(LineEditor* editor) const {
    if (editor->el != nullptr) edit().el_end(editor->el);
    if (editor->history != nullptr) edit().history_wend(editor->history);
    delete editor;
}

LineEditorHandle open_line_editor() {
    if (edit_library() == nullptr) return nullptr;
    platform::use_utf8_terminal_locale();
    LineEditorHandle editor(new LineEditor);
    editor->el = edit().el_init("quenra", stdin, stdout, stderr);
    editor->history = edit().history_winit();
    if (editor->el == nullptr || editor->history == nullptr) return nullptr;
    HistEventW event;
    edit().history_w(editor->history, &event, H_SETSIZE, HISTORY_SIZE);
    edit().history_w(editor->history, &event, H_SETUNIQUE, 1);

    EditLine* el = editor->el;
    edit().el_wset(el, EL_CLIENTDATA, static_cast<void*>(editor.get()));
    edit().el_wset(el, EL_EDITOR, L"emacs");
    edit().el_wset(el, EL_HIST, edit().history_w, editor->history);
    edit().el_wset(el, EL_PROMPT, current_prompt);
    edit().el_wset(el, EL_GETCFN, read_character);
    return editor;
}

console::ReadStatus edit_line(LineEditor& editor, std::string_view prompt, std::string& line) {
    line.clear();
    editor.prompt = widen(prompt);
    editor.malformed = false;
    editor.interrupted = false;
    int count = 0;
    const wchar_t* text = edit().el_wgets(editor.el, &count);
    if (editor.interrupted) {
        if (text == nullptr) console::write_out("\n");  // the line break did not end the line
        return console::ReadStatus::Interrupted;
    }
    if (editor.malformed || (text == nullptr && count < 0)) return console::ReadStatus::Error;
    if (text == nullptr || count <= 0) return console::ReadStatus::End;
    append_wide(line, text, static_cast<std::size_t>(count));
    return console::ReadStatus::Line;
}

void remember_line(LineEditor& editor, std::string_view line) {
    HistEventW event;
    std::wstring wide = widen(line);
    edit().history_w(editor.history, &event, H_ENTER, wide.c_str());
}

}  // namespace quenra
