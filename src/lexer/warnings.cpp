#include "lexer/warnings.hpp"

#include <algorithm>
#include <cstdio>

#include "lexer/lexer.hpp"
#include "lexer/utf8.hpp"

namespace quenra {

std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out.append(text);
    out += '"';
    return out;
}

namespace {

// A displayed source line longer than this is cut to a window around the place.
constexpr std::size_t DISPLAY_WIDTH = 160;
constexpr std::size_t DISPLAY_CONTEXT = 70;

bool is_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::uint64_t key_of(std::uint32_t offset, WarningKind kind) {
    return (std::uint64_t{offset} << 8) | static_cast<std::uint8_t>(kind);
}

// How a token is named in a message: punctuation and keywords as written.
std::string token_name(TokenKind kind) {
    if (kind == TokenKind::Identifier) return "a name";
    if (kind == TokenKind::Integer || kind == TokenKind::Float) return "a number";
    if (kind == TokenKind::String) return "a string";
    if (kind == TokenKind::Eof) return "the end of the input";
    return quoted(token_kind_text(kind));
}

TokenKind opener_of(TokenKind closer) {
    if (closer == TokenKind::RightParen) return TokenKind::LeftParen;
    if (closer == TokenKind::RightBracket) return TokenKind::LeftBracket;
    return TokenKind::LeftBrace;
}

std::string code_point(char32_t c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

std::string dropped_character(char32_t c) {
    if (c == '\'') return "dropped \"'\": strings take double quotes, as in \"text\"";
    if (c == '&') return "dropped \"&\": write \"and\" to require both conditions";
    if (c == '|') return "dropped \"|\": write \"or\" to accept either condition";
    if (c >= 0x21 && c < 0x7F) {
        return "dropped " + quoted(std::string(1, static_cast<char>(c))) +
               ": no token starts with this character";
    }
    if (c < 0x80 || (c >= 0x80 && c < 0xA0)) {
        return "dropped the control character " + code_point(c) + ": it starts no token";
    }
    std::string text;
    utf8::append(text, c);
    std::string shown = quoted(text) + " (" + code_point(c) + ")";
    if (continues_identifier(c)) {
        return "dropped " + shown + ": a name must start with an ASCII letter or \"_\"";
    }
    return "dropped " + shown + ": no token starts with this character";
}

std::string_view form_text(FormFailure failure) {
    switch (failure) {
        case FormFailure::LetName:
            return "\"let\" statement left out: expected a name after \"let\"";
        case FormFailure::LetAssign:
            return "\"let\" statement left out: expected \"=\" after the name";
        case FormFailure::DefName:
            return "function definition left out: expected a name after \"def\"";
        case FormFailure::DefOpenParen:
            return "function definition left out: expected \"(\" after the name";
        case FormFailure::DefCloseParen:
            return "function definition left out: parameters are names separated by \",\"; "
                   "expected \")\"";
        case FormFailure::DefBrace:
            return "function definition left out: expected \"{\" after the parameters";
        case FormFailure::IfBrace:
            return "if statement left out: expected \"{\" after the condition";
        case FormFailure::WhileBrace:
            return "while statement left out: expected \"{\" after the condition";
        case FormFailure::ForName: return "for statement left out: expected a name after \"for\"";
        case FormFailure::ForIn:
            return "for statement left out: expected \"in\" after the loop variable";
        case FormFailure::ForBrace:
            return "for statement left out: expected \"{\" after what it loops over";
        case FormFailure::MatchBrace:
            return "match statement left out: expected \"{\" after the subject";
        case FormFailure::ArmArrow: return "match arm left out: expected \"=>\" after the pattern";
        case FormFailure::TryBrace: return "try statement left out: expected \"{\" after \"try\"";
        case FormFailure::TryCatch:
            return "try statement left out: expected \"catch\" after the try block";
        case FormFailure::CatchName:
            return "try statement left out: expected a name after \"catch\"";
        case FormFailure::CatchBrace:
            return "try statement left out: expected \"{\" after the name of \"catch\"";
        case FormFailure::GlobalName:
            return "global statement left out: expected a name after \"global\"";
    }
    return "statement left out";
}

std::string skipped_token(const Warning& warning) {
    std::string what = "skipped " + token_name(warning.token);
    switch (static_cast<SkipContext>(warning.code)) {
        case SkipContext::Statement:
            if (warning.token == TokenKind::Else) {
                return what + ": \"else\" must follow the \"}\" of an if statement";
            }
            return what + ": no statement starts with it";
        case SkipContext::List: return what + ": no expression starts with it, so 0 stands for it";
        case SkipContext::DictKey:
            return what + ": a dict key is a bare name followed by \":\", as in {name: 1}";
    }
    return what;
}

std::string line_note(const Warnings* sink, std::uint32_t offset) {
    if (sink == nullptr) return "";
    return " on line " + std::to_string(sink->line_of(offset));
}

}  // namespace

std::string describe(const Warning& warning, const Warnings* sink) {
    switch (warning.kind) {
        case WarningKind::DroppedCharacter: return dropped_character(warning.other);
        case WarningKind::UnclosedString:
            return "string not closed: it runs to the end of the input";
        case WarningKind::UnclosedComment:
            return "comment \"/*\" not closed: it runs to the end of the input";
        case WarningKind::IntegerTooLarge:
            return "integer literal beyond the 64-bit range: it is read as a float";
        case WarningKind::DoubleSlash:
            return "\"//\" is two divisions, not a comment: comments start with \"#\"";
        case WarningKind::SkippedToken: return skipped_token(warning);
        case WarningKind::ElementAssign:
            return "an element or a member cannot be assigned: this " + token_name(warning.token) +
                   " is skipped and the value after it is discarded (build a new array or "
                   "dict and assign that to the variable)";
        case WarningKind::StatementLeftOut:
            return std::string(form_text(static_cast<FormFailure>(warning.code))) + ", found " +
                   token_name(warning.token);
        case WarningKind::MissingOperand:
            if (warning.token == TokenKind::Eof) {
                return "missing operand at the end of the input: 0 is used in its place";
            }
            return "missing operand before " + token_name(warning.token) +
                   ": 0 is used in its place";
        case WarningKind::ElseWithoutBrace:
            if (warning.token == TokenKind::If) {
                return "\"else if\" is not supported: the \"if\" after \"else\" is a separate "
                       "statement, so both branches may run (write else { if ... })";
            }
            return "\"else\" is not followed by \"{\": what follows is a separate statement that "
                   "runs whatever the condition";
        case WarningKind::UnclosedBracket:
            return token_name(warning.token) + " opened" + line_note(sink, warning.other) +
                   " is still open at the end of the input";
        case WarningKind::MissingCloser:
            return "expected " + token_name(static_cast<TokenKind>(warning.code)) +
                   " to close the " + token_name(opener_of(static_cast<TokenKind>(warning.code))) +
                   line_note(sink, warning.other) + ", found " + token_name(warning.token);
        case WarningKind::CallOfNonName:
            return "only a name can be called, as in f(x): this argument list is ignored";
        case WarningKind::LoneDot:
            return "\".\" must be followed by a name: the \".\" is skipped, found " +
                   token_name(warning.token);
        case WarningKind::DictEntryLeftOut:
            return "dict entry left out: expected \":\" after the key, found " +
                   token_name(warning.token);
        case WarningKind::BreakOutsideLoop: {
            std::string word = warning.code & 1 ? "\"continue\"" : "\"break\"";
            if (warning.code & 2) {
                return word +
                       " outside a loop: it ends the function, and then acts on a loop "
                       "of the caller";
            }
            return word +
                   " outside a loop: it stays in force, and from then on every block "
                   "runs only its first statement";
        }
        case WarningKind::UnknownFunction:
        case WarningKind::EmptyVariable:
        case WarningKind::NullOperator:
        case WarningKind::NullComparison:
        case WarningKind::BuiltinArgument:
        case WarningKind::MissingElement:
        case WarningKind::ForOverNonArray:
        case WarningKind::NotRunBecauseMain:
        case WarningKind::RunStopped: break;
    }
    return "";
}

std::string_view Warnings::add_source(std::string name, std::string text) {
    std::uint64_t base = 0;
    if (!sources_.empty()) {
        const Source& last = sources_.back();
        // One place past the end of each text (its end of input) belongs to it.
        base = std::uint64_t{last.base} + last.text.size() + 1;
    }
    if (base > UINT32_MAX) base = UINT32_MAX;
    sources_.push_back(Source{
        std::move(name), std::move(text), static_cast<std::uint32_t>(base), {}, SIZE_MAX, 0, 1});
    return sources_.back().text;
}

const Warnings::Source* Warnings::source_of(std::uint32_t offset) const {
    auto after = std::upper_bound(
        sources_.begin(), sources_.end(), offset,
        [](std::uint32_t place, const Source& source) { return place < source.base; });
    if (after == sources_.begin()) return nullptr;
    return &*(after - 1);
}

std::uint32_t Warnings::line_of(std::uint32_t offset) const {
    const Source* source = source_of(offset);
    if (source == nullptr) return 1;
    if (source->line_starts.empty()) {
        source->line_starts.push_back(0);
        for (std::size_t i = 0; i < source->text.size(); ++i) {
            if (source->text[i] == '\n') {
                source->line_starts.push_back(
                    static_cast<std::uint32_t>(std::min<std::size_t>(i + 1, UINT32_MAX)));
            }
        }
    }
    std::uint32_t relative = offset - source->base;
    auto after = std::upper_bound(source->line_starts.begin(), source->line_starts.end(), relative);
    return static_cast<std::uint32_t>(after - source->line_starts.begin());
}

std::uint32_t Warnings::name_beside(std::uint32_t offset, std::string_view name, bool after,
                                    std::size_t skip) const {
    const Source* source = source_of(offset);
    if (source == nullptr || name.empty()) return offset;
    std::string_view text = source->text;
    std::size_t i = offset - source->base;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    if (after) {
        i += skip;
        while (i < text.size() && blank(text[i])) ++i;
        if (i < text.size() && text.substr(i, name.size()) == name)
            return static_cast<std::uint32_t>(source->base + i);
        return offset;
    }
    while (i > 0 && i <= text.size() && blank(text[i - 1])) --i;
    if (i >= name.size() && i <= text.size() && text.substr(i - name.size(), name.size()) == name)
        return static_cast<std::uint32_t>(source->base + i - name.size());
    return offset;
}

bool Warnings::is_new(std::uint32_t offset, WarningKind kind) const {
    return seen_.find(key_of(offset, kind)) == seen_.end();
}

void Warnings::report(std::uint32_t offset, WarningKind kind, std::string_view message) {
    if (!seen_.insert(key_of(offset, kind)).second) return;
    if (batch_count_ < WARNING_LIMIT) write(offset, message);
    ++batch_count_;
}

void Warnings::report_front_end(std::vector<Warning> warnings) {
    std::stable_sort(warnings.begin(), warnings.end(),
                     [](const Warning& a, const Warning& b) { return a.offset < b.offset; });
    for (const Warning& warning : warnings) {
        // Brackets left open all meet at the end of the input: each is its own place.
        bool open = warning.kind == WarningKind::UnclosedBracket;
        if (!seen_.insert(key_of(open ? warning.other : warning.offset, warning.kind)).second)
            continue;
        if (batch_count_ < WARNING_LIMIT) write(warning.offset, describe(warning, this));
        ++batch_count_;
    }
}

void Warnings::finish_batch() {
    if (batch_count_ > 0) {
        std::string line =
            std::to_string(batch_count_) + (batch_count_ == 1 ? " warning" : " warnings");
        if (batch_count_ > WARNING_LIMIT) {
            line += " (the first " + std::to_string(WARNING_LIMIT) + " shown)";
        }
        writer_(line + "\n");
    }
    batch_count_ = 0;
}

void Warnings::write(std::uint32_t offset, std::string_view message) {
    const Source* source = source_of(offset);
    if (source == nullptr) {
        writer_(std::string("warning: ") + std::string(message) + "\n");
        return;
    }
    std::size_t relative = std::min<std::size_t>(offset - source->base, source->text.size());
    // The end of the input is shown just past the last character, not on the empty
    // line after a final line break.
    if (relative == source->text.size()) {
        while (relative > 0 &&
               (source->text[relative - 1] == '\n' || source->text[relative - 1] == '\r'))
            --relative;
        offset = static_cast<std::uint32_t>(source->base + relative);
    }
    std::uint32_t line = line_of(offset);
    std::size_t start = source->line_starts[line - 1];
    std::size_t end = source->text.find('\n', start);
    if (end == std::string::npos) end = source->text.size();
    if (end > start && source->text[end - 1] == '\r') --end;
    if (relative > end) relative = end;
    // Columns count characters from the line's start. Places come mostly in source
    // order, so the count goes on from the last place when it is on the same line:
    // a long line with many warnings is walked once, not once per warning.
    std::size_t from = start, column = 1;
    if (source->column_line == start && source->column_at <= relative) {
        from = source->column_at;
        column = source->column;
    }
    for (std::size_t i = from; i < relative; ++i) {
        if (!is_continuation(source->text[i])) ++column;
    }
    source->column_line = start;
    source->column_at = relative;
    source->column = column;
    std::string text = source->name + ":" + std::to_string(line) + ":" + std::to_string(column) +
                       ": warning: " + std::string(message) + "\n";

    // The line, cut to a window of characters around the place when it is long, and
    // a caret under the place.
    std::size_t first = start, last = end;
    if (end - start > DISPLAY_WIDTH) {
        first = relative;
        for (std::size_t n = 0; n < DISPLAY_CONTEXT && first > start; ++n) {
            do --first;
            while (first > start && is_continuation(source->text[first]));
        }
        last = relative;
        for (std::size_t n = 0; n < DISPLAY_CONTEXT && last < end; ++n) {
            do ++last;
            while (last < end && is_continuation(source->text[last]));
        }
    }
    std::string display = first > start ? "..." : "";
    std::string marks(display.size(), ' ');
    for (std::size_t i = first; i < last; ++i) {
        char c = source->text[i];
        bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        display += control && c != '\t' ? '?' : c;
        if (i < relative && !is_continuation(c)) marks += c == '\t' ? '\t' : ' ';
    }
    if (last < end) display += "...";
    text += display + "\n" + marks + "^\n";
    writer_(text);
}

}  // namespace quenra
