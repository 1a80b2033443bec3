// Numeric built-ins and random numbers.
#include <cmath>
#include <limits>

#include "interpreter/builtin_functions.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/random.hpp"

namespace quenra::builtins {

namespace {

// Applies `f` to one number argument; the result is converted back to a Number.
template <typename F>
Value rounding(Interpreter& in, const Node& call, F f) {
    Value x = in.argument(call, 0);
    double value;
    if (!to_double(x, value)) return Value();
    return Value::number(saturate_to_int64(f(value)));
}

// Evaluates every argument and keeps the numeric ones as floats.
std::vector<double> numeric_arguments(Interpreter& in, const Node& call) {
    std::vector<double> numbers;
    numbers.reserve(call.args.size());
    for (const Node& arg : call.args) {
        Value value = in.evaluate(arg);
        double number;
        if (to_double(value, number)) numbers.push_back(number);
    }
    return numbers;
}

}  // namespace

Value abs(Interpreter& in, const Node& call) {
    Value x = in.argument(call, 0);
    if (x.is(Value::Number)) {
        // Wrapping: the smallest integer is its own absolute value.
        auto bits = static_cast<std::uint64_t>(x.as_number());
        return Value::number(x.as_number() < 0 ? static_cast<std::int64_t>(0 - bits)
                                               : x.as_number());
    }
    if (x.is(Value::Float)) return Value::floating(std::fabs(x.as_float()));
    return Value();
}

Value sqrt(Interpreter& in, const Node& call) {
    Value x = in.argument(call, 0);
    double value;
    if (!to_double(x, value)) return Value();
    return Value::floating(std::sqrt(value));
}

Value pow(Interpreter& in, const Node& call) {
    Value base = in.argument(call, 0);
    Value exponent = in.argument(call, 1);
    double b, e;
    if (!to_double(base, b) || !to_double(exponent, e)) return Value();
    return Value::floating(std::pow(b, e));
}

Value ceil(Interpreter& in, const Node& call) {
    return rounding(in, call, [](double v) { return std::ceil(v); });
}

Value floor(Interpreter& in, const Node& call) {
    return rounding(in, call, [](double v) { return std::floor(v); });
}

Value round(Interpreter& in, const Node& call) {
    return rounding(in, call, round_half_away_from_zero);
}

Value min(Interpreter& in, const Node& call) {
    std::vector<double> numbers = numeric_arguments(in, call);
    if (numbers.empty()) return Value();
    double best = numbers[0];
    // Only a strictly smaller value replaces the best, so a NaN never does.
    for (std::size_t i = 1; i < numbers.size(); ++i) {
        if (numbers[i] < best) best = numbers[i];
    }
    return Value::floating(best);
}

Value max(Interpreter& in, const Node& call) {
    std::vector<double> numbers = numeric_arguments(in, call);
    if (numbers.empty()) return Value();
    double best = numbers[0];
    // A later value wins unless the best is strictly greater, so ties and NaN replace it.
    for (std::size_t i = 1; i < numbers.size(); ++i) {
        if (!(best > numbers[i])) best = numbers[i];
    }
    return Value::floating(best);
}

Value random(Interpreter&, const Node&) {
    return Value::floating(static_cast<double>(random_u64() >> 11) * 0x1.0p-53);
}

// A uniform integer between the bounds: in [a, b) when a < b, in [b + 1, a] when
// a > b, and a itself when they are equal. Unsigned arithmetic covers every pair.
Value random_range(Interpreter& in, const Node& call) {
    Value low_value = in.argument(call, 0);
    Value high_value = in.argument(call, 1);
    std::int64_t a, b;
    if (!to_integer(low_value, a) || !to_integer(high_value, b)) return Value();
    auto ua = static_cast<std::uint64_t>(a), ub = static_cast<std::uint64_t>(b);
    if (a < b) return Value::number(static_cast<std::int64_t>(ua + random_below(ub - ua)));
    if (a > b) return Value::number(static_cast<std::int64_t>(ua - random_below(ua - ub)));
    return Value::number(a);
}

}  // namespace quenra::builtins
