// The shape constructors: rect, color, circle and triangle. Each evaluates all of
// its arguments, then keeps the low bits of each integer argument.
#include "graphics/builtins.hpp"
#include "interpreter/operators.hpp"

namespace quenra::builtins {

namespace {

// Evaluates every argument (all of them, even after one fails) and coerces each to
// an integer; false when any coercion failed.
template <std::size_t N>
bool integer_arguments(Interpreter& in, const Node& call, std::int64_t (&out)[N]) {
    bool ok = true;
    for (std::size_t i = 0; i < N; ++i) {
        Value value = in.argument(call, i);
        if (!to_integer(value, out[i])) ok = false;
    }
    return ok;
}

std::int32_t low_signed(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}
std::uint32_t low_unsigned(std::int64_t value) { return static_cast<std::uint32_t>(value); }
std::uint8_t low_byte(std::int64_t value) { return static_cast<std::uint8_t>(value); }

}  // namespace

Value rect(Interpreter& in, const Node& call) {
    std::int64_t a[4];
    if (!integer_arguments(in, call, a)) return Value();
    return Value::rect(
        {low_signed(a[0]), low_signed(a[1]), low_unsigned(a[2]), low_unsigned(a[3])});
}

Value color(Interpreter& in, const Node& call) {
    std::int64_t a[3];
    if (!integer_arguments(in, call, a)) return Value();
    return Value::color({low_byte(a[0]), low_byte(a[1]), low_byte(a[2])});
}

Value circle(Interpreter& in, const Node& call) {
    std::int64_t a[3];
    if (!integer_arguments(in, call, a)) return Value();
    return Value::circle({low_signed(a[0]), low_signed(a[1]), low_unsigned(a[2])});
}

Value triangle(Interpreter& in, const Node& call) {
    std::int64_t a[6];
    if (!integer_arguments(in, call, a)) return Value();
    return Value::triangle({low_signed(a[0]), low_signed(a[1]), low_signed(a[2]), low_signed(a[3]),
                            low_signed(a[4]), low_signed(a[5])});
}

}  // namespace quenra::builtins
