// String built-ins: upper, lower, slice, split, concat, contains. Texts are
// UTF-8; slice counts Unicode characters, everything else works on bytes.
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "interpreter/builtin_functions.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/value_list.hpp"
#include "lexer/utf8.hpp"

namespace quenra::builtins {

namespace {

enum class Case { Upper, Lower };

// Full Unicode case mapping in the root locale (so "ß" upper-cases to "SS", and a
// capital sigma at the end of a word lower-cases to the final form).
Value map_case(Interpreter& in, const Node& call, Case which) {
    Value s = in.argument(call, 0);
    if (!s.is(Value::String) || in.stopped()) return Value();
    std::string_view text = s.text();
    std::string out(text.size(), '\0');
    bool ascii = true;
    // ASCII maps byte for byte; no need to wake the Unicode tables.
    char low = which == Case::Upper ? 'a' : 'A';
    int shift = which == Case::Upper ? -32 : 32;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        out[i] = c >= low && c <= low + 25 ? static_cast<char>(c + shift) : c;
    }
    if (ascii) return Value::string(std::move(out));
    out.clear();
    icu::UnicodeString wide = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    if (which == Case::Upper) {
        wide.toUpper(icu::Locale::getRoot());
    } else {
        wide.toLower(icu::Locale::getRoot());
    }
    wide.toUTF8String(out);
    return Value::string(std::move(out));
}

}  // namespace

Value upper(Interpreter& in, const Node& call) { return map_case(in, call, Case::Upper); }
Value lower(Interpreter& in, const Node& call) { return map_case(in, call, Case::Lower); }

// slice(s, start, end): characters from `start` (read as unsigned, so a negative
// start skips everything) taking at most end - start (mod 2^64) of them.
Value slice(Interpreter& in, const Node& call) {
    Value s = in.argument(call, 0);
    Value start_value = in.argument(call, 1);
    Value end_value = in.argument(call, 2);
    std::int64_t start, end;
    bool ok = to_integer(start_value, start);
    ok = to_integer(end_value, end) && ok;
    if (!s.is(Value::String) || !ok || in.stopped()) return Value();
    std::string_view text = s.text();
    auto skip = static_cast<std::uint64_t>(start);
    std::uint64_t count = static_cast<std::uint64_t>(end) - skip;
    std::size_t pos = 0;
    for (std::uint64_t i = 0; i < skip && pos < text.size(); ++i) utf8::decode(text, pos);
    std::size_t from = pos;
    for (std::uint64_t i = 0; i < count && pos < text.size(); ++i) utf8::decode(text, pos);
    return Value::string(std::string(text.substr(from, pos - from)));
}

// split(s, sep) on display texts. An empty separator splits between characters,
// with an empty piece at each end; an empty s always gives one empty piece.
Value split(Interpreter& in, const Node& call) {
    Value text_value = in.argument(call, 0);
    Value separator_value = in.argument(call, 1);
    if (in.stopped()) return Value();
    std::string text = to_display_string(text_value);
    std::string separator = to_display_string(separator_value);
    std::vector<Value> pieces;
    if (text.empty()) {
        pieces.push_back(Value::string(""));
    } else if (separator.empty()) {
        pieces.push_back(Value::string(""));
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t from = pos;
            utf8::decode(text, pos);
            pieces.push_back(Value::string(text.substr(from, pos - from)));
        }
        pieces.push_back(Value::string(""));
    } else {
        std::size_t from = 0;
        for (;;) {
            std::size_t at = text.find(separator, from);
            if (at == std::string::npos) break;
            pieces.push_back(Value::string(text.substr(from, at - from)));
            from = at + separator.size();
        }
        pieces.push_back(Value::string(text.substr(from)));
    }
    return Value::array(std::move(pieces));
}

Value concat(Interpreter& in, const Node& call) {
    ValueList values(call.args.size());
    for (const Node& arg : call.args) values.push(in.evaluate(arg));
    if (in.stopped()) return Value();  // unwinding: build nothing more
    if (values.empty()) return Value::string("");
    in.give_up_first_argument(call);
    Value* items = values.data();
    std::size_t count = values.size();
    std::size_t strings_size = 0;  // what the string arguments add
    for (std::size_t i = 0; i < count; ++i) {
        if (items[i].is(Value::String)) strings_size += items[i].text().size();
    }
    Value result;
    std::size_t rest = 0;
    if (items[0].is(Value::String) && items[0].is_unique()) {
        // Extend the first string itself when nobody else holds it.
        result = std::move(items[0]);
        rest = 1;
        check_value_size(strings_size);
    } else {
        // A new text, made as large as the strings need at once.
        check_value_size(strings_size);
        std::string joined;
        joined.reserve(strings_size);
        result = Value::string(std::move(joined));
    }
    std::string& out = result.mutable_text();
    for (std::size_t i = rest; i < count; ++i) {
        if (items[i].is(Value::String)) {
            out += items[i].text();
        } else {
            append_display_string(out, items[i]);
        }
    }
    return result;
}

Value contains(Interpreter& in, const Node& call) {
    Value haystack_value = in.argument(call, 0);
    Value needle_value = in.argument(call, 1);
    if (in.stopped()) return Value();
    if (haystack_value.is(Value::String) && needle_value.is(Value::String)) {  // no copies needed
        return Value::boolean(haystack_value.text().find(needle_value.text()) !=
                              std::string_view::npos);
    }
    std::string haystack = to_display_string(haystack_value);
    std::string needle = to_display_string(needle_value);
    return Value::boolean(haystack.find(needle) != std::string::npos);
}

}  // namespace quenra::builtins
