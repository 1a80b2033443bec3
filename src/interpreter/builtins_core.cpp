// Built-ins over containers and kinds: len, push, pop, reverse, typeof, is_*.
#include <algorithm>

#include "interpreter/builtin_functions.hpp"
#include "interpreter/dict.hpp"

namespace quenra::builtins {

Value len(Interpreter& in, const Node& call) {
    Value x = in.argument(call, 0);
    if (x.is(Value::Dict)) return Value::number(static_cast<std::int64_t>(x.entries().size()));
    if (x.is(Value::Array)) return Value::number(static_cast<std::int64_t>(x.items().size()));
    if (x.is(Value::String)) return Value::number(static_cast<std::int64_t>(x.text().size()));
    return Value();  // no other kind has a length
}

Value push(Interpreter& in, const Node& call) {
    Value array = in.argument(call, 0);
    if (!array.is(Value::Array)) return Value();  // the item is not evaluated
    Value item = in.argument(call, 1);
    if (in.stopped()) return Value();
    in.give_up_first_argument(call);
    array.mutable_items().push_back(std::move(item));
    return array;
}

Value pop(Interpreter& in, const Node& call) {
    Value array = in.argument(call, 0);
    if (!array.is(Value::Array) || array.items().empty()) return Value();
    return array.items().back();
}

Value reverse(Interpreter& in, const Node& call) {
    Value array = in.argument(call, 0);
    if (!array.is(Value::Array) || in.stopped()) return Value();
    if (array.is_unique()) {
        auto& items = array.mutable_items();
        std::reverse(items.begin(), items.end());
        return array;
    }
    const auto& items = array.items();
    return Value::array(std::vector<Value>(items.rbegin(), items.rend()));
}

Value type_of(Interpreter& in, const Node& call) {
    Value x = in.argument(call, 0);
    return Value::string(std::string(type_name(x)));
}

namespace {

// The is_* family: false without an argument, otherwise a test of the first one.
template <typename Test>
Value kind_test(Interpreter& in, const Node& call, Test test) {
    if (call.args.empty()) return Value::boolean(false);
    Value x = in.argument(call, 0);
    return Value::boolean(test(x));
}

}  // namespace

Value is_number(Interpreter& in, const Node& call) {
    return kind_test(in, call,
                     [](const Value& x) { return x.is(Value::Number) || x.is(Value::Float); });
}

Value is_string(Interpreter& in, const Node& call) {
    return kind_test(in, call, [](const Value& x) { return x.is(Value::String); });
}

Value is_array(Interpreter& in, const Node& call) {
    return kind_test(in, call, [](const Value& x) { return x.is(Value::Array); });
}

Value is_dict(Interpreter& in, const Node& call) {
    return kind_test(in, call, [](const Value& x) { return x.is(Value::Dict); });
}

}  // namespace quenra::builtins
