// Console built-ins: print and input.
#include "interpreter/builtin_functions.hpp"
#include "interpreter/console.hpp"
#include "interpreter/value_list.hpp"
#include "lexer/utf8.hpp"

namespace quenra::builtins {

namespace {

// A value's display text: a string's own text as it is, any other value's written
// into `scratch`, which starts empty.
std::string_view display_text(const Value& value, std::string& scratch) {
    if (value.is(Value::String)) return value.text();
    append_display_string(scratch, value);
    return scratch;
}

}  // namespace

Value print(Interpreter& in, const Node& call) {
    if (call.args.size() == 1) {
        Value value = in.argument(call, 0);
        if (in.stopped()) return Value();
        std::string scratch;
        console::write_line(display_text(value, scratch));
        return Value();
    }
    // Every argument is evaluated before the first line is written.
    ValueList values(call.args.size());
    for (const Node& arg : call.args) values.push(in.evaluate(arg));
    if (in.stopped()) return Value();
    std::string line;
    for (const Value& value : values) {
        line.clear();
        append_display_string(line, value);
        console::write_line(line);
    }
    return Value();
}

Value input(Interpreter& in, const Node& call) {
    Value prompt = in.argument(call, 0);
    if (in.stopped()) return Value();
    std::string scratch;
    console::write_out(display_text(prompt, scratch));
    console::flush_out();
    std::string line;
    if (console::read_line(line) != console::ReadStatus::Line) return Value::string("");
    // Invalid UTF-8 becomes U+FFFD per ill-formed sequence; the script goes on.
    return Value::string(std::string(utf8::trim_white_space(utf8::sanitize(line))));
}

}  // namespace quenra::builtins
