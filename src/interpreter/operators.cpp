#include "interpreter/operators.hpp"

#include <array>
#include <cmath>
#include <limits>

#include "interpreter/console.hpp"

namespace quenra {

namespace {

constexpr std::int64_t INT64_MIN_VALUE = std::numeric_limits<std::int64_t>::min();

using primitive::bits;
using primitive::wrap;

}  // namespace

Value division_by_zero() {
    console::write_err("Error: division by zero\n");
    return Value::number(0);
}

// Square-and-multiply with wrapping products; only the low 32 bits of the exponent count.
std::int64_t integer_power(std::int64_t base, std::int64_t exponent) {
    std::uint32_t e = static_cast<std::uint32_t>(bits(exponent));
    std::uint64_t result = 1, factor = bits(base);
    while (e != 0) {
        if (e & 1u) result *= factor;
        factor *= factor;
        e >>= 1;
    }
    return wrap(result);
}

namespace {

// Strings join with "+" and compare for equality byte for byte; they have no order.
Value string_op(Value left, BinaryOp op, const Value& right) {
    if (op == BinaryOp::Eq) return Value::boolean(primitive::equal(left.text(), right.text()));
    if (op == BinaryOp::Ne) return Value::boolean(primitive::different(left.text(), right.text()));
    if (op != BinaryOp::Add) return Value();
    check_value_size(left.text().size() + right.text().size());
    if (left.is_unique()) {
        left.mutable_text().append(right.text());
        return left;
    }
    std::string joined;
    joined.reserve(left.text().size() + right.text().size());
    joined.append(left.text());
    joined.append(right.text());
    return Value::string(std::move(joined));
}

// Booleans take "and", "or" and equality; nothing else.
Value boolean_op(bool a, BinaryOp op, bool b) {
    if (op == BinaryOp::And) return Value::boolean(a && b);
    if (op == BinaryOp::Or) return Value::boolean(a || b);
    if (op == BinaryOp::Eq) return Value::boolean(a == b);
    if (op == BinaryOp::Ne) return Value::boolean(a != b);
    return Value();
}

}  // namespace

Value apply_other_in_place(const Value& left, BinaryOp op, const Value& right) {
    return apply_other(left, op, right);
}

// Only numbers, floats, strings and booleans have operators, and only between two of
// one kind; every other pair yields null.
Value apply_other(Value left, BinaryOp op, const Value& right) {
    if (left.kind() != right.kind()) return Value();  // no promotion between kinds
    if (left.is(Value::Number)) return arithmetic(left.as_number(), op, right.as_number());
    if (left.is(Value::Float)) return arithmetic(left.as_float(), op, right.as_float());
    if (left.is(Value::String)) return string_op(std::move(left), op, right);
    if (left.is(Value::Boolean)) return boolean_op(left.as_boolean(), op, right.as_boolean());
    return Value();
}

Value negate(const Value& operand) {
    if (operand.is(Value::Number)) return Value::number(wrap(0 - bits(operand.as_number())));
    if (operand.is(Value::Float)) return Value::floating(-operand.as_float());
    return Value();
}

std::int64_t saturate_to_int64(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9223372036854775808.0) return std::numeric_limits<std::int64_t>::max();
    if (value < -9223372036854775808.0) return INT64_MIN_VALUE;
    return static_cast<std::int64_t>(value);  // truncates toward zero
}

bool to_double(const Value& value, double& out) {
    if (value.is(Value::Number)) {
        out = static_cast<double>(value.as_number());
        return true;
    }
    if (value.is(Value::Float)) {
        out = value.as_float();
        return true;
    }
    return false;
}

bool to_integer(const Value& value, std::int64_t& out) {
    if (value.is(Value::Number)) {
        out = value.as_number();
        return true;
    }
    if (value.is(Value::Float)) {
        out = saturate_to_int64(value.as_float());
        return true;
    }
    return false;
}

}  // namespace quenra
