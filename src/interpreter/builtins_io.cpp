// Console built-ins: print and input.
#include "interpreter/builtin_functions.hpp"
#include "interpreter/console.hpp"
#include "interpreter/value_list.hpp"
#include "lexer/utf8.hpp"

namespace quenra::builtins {

Value print(Interpreter& in, const Node& call) {
    if (call.args.size() == 1) {
        Value value = in.argument(call, 0);
        if (in.stopped()) return Value();
        if (value.is(Value::String)) {
            console::write_line(value.text());
        } else {
            console::write_line(to_display_string(value));
        }
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
    if (prompt.is(Value::String)) {
        console::write_out(prompt.text());
    } else {
        console::write_out(to_display_string(prompt));
    }
    console::flush_out();
    std::string line;
    if (console::read_line(line) != console::ReadStatus::Line) return Value::string("");
    // Invalid UTF-8 becomes U+FFFD per ill-formed sequence; the script goes on.
    return Value::string(std::string(utf8::trim_white_space(utf8::sanitize(line))));
}

}  // namespace quenra::builtins
