#include "interpreter/operators.hpp"

#include <array>
#include <cmath>
#include <limits>

#include "interpreter/console.hpp"

namespace quenra {

namespace {

constexpr std::int64_t INT64_MIN_VALUE = std::numeric_limits<std::int64_t>::min();

std::int64_t wrap(std::uint64_t value) { return static_cast<std::int64_t>(value); }
std::uint64_t bits(std::int64_t value) { return static_cast<std::uint64_t>(value); }

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

Value float_op(double a, BinaryOp op, double b) {
    switch (op) {
        case BinaryOp::Add: return Value::floating(a + b);
        case BinaryOp::Sub: return Value::floating(a - b);
        case BinaryOp::Mul: return Value::floating(a * b);
        case BinaryOp::Div: return Value::floating(a / b);
        case BinaryOp::Mod: return Value::floating(std::fmod(a, b));
        case BinaryOp::Pow: return Value::floating(std::pow(a, b));
        // Through the difference, so a NaN operand makes both comparisons false.
        case BinaryOp::Eq: return Value::boolean(std::fabs(a - b) < FLOAT_TOLERANCE);
        case BinaryOp::Ne: return Value::boolean(std::fabs(a - b) >= FLOAT_TOLERANCE);
        case BinaryOp::Lt: return Value::boolean(a < b);
        case BinaryOp::Gt: return Value::boolean(a > b);
        case BinaryOp::Le: return Value::boolean(a <= b);
        case BinaryOp::Ge: return Value::boolean(a >= b);
        case BinaryOp::And:
        case BinaryOp::Or:
        case BinaryOp::None: return Value();
    }
    return Value();
}

Value string_op(Value left, BinaryOp op, const Value& right) {
    switch (op) {
        case BinaryOp::Add: {
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
        case BinaryOp::Eq: return Value::boolean(left.text() == right.text());
        case BinaryOp::Ne: return Value::boolean(left.text() != right.text());
        case BinaryOp::Sub:
        case BinaryOp::Mul:
        case BinaryOp::Div:
        case BinaryOp::Mod:
        case BinaryOp::Pow:
        case BinaryOp::Lt:
        case BinaryOp::Gt:
        case BinaryOp::Le:
        case BinaryOp::Ge:
        case BinaryOp::And:
        case BinaryOp::Or:
        case BinaryOp::None: return Value();
    }
    return Value();
}

Value boolean_op(bool a, BinaryOp op, bool b) {
    switch (op) {
        case BinaryOp::And: return Value::boolean(a && b);
        case BinaryOp::Or: return Value::boolean(a || b);
        case BinaryOp::Eq: return Value::boolean(a == b);
        case BinaryOp::Ne: return Value::boolean(a != b);
        case BinaryOp::Add:
        case BinaryOp::Sub:
        case BinaryOp::Mul:
        case BinaryOp::Div:
        case BinaryOp::Mod:
        case BinaryOp::Pow:
        case BinaryOp::Lt:
        case BinaryOp::Gt:
        case BinaryOp::Le:
        case BinaryOp::Ge:
        case BinaryOp::None: return Value();
    }
    return Value();
}

}  // namespace

Value apply_binary(Value left, TokenKind token, const Value& right) {
    if (left.kind() != right.kind()) return Value();
    BinaryOp op = binary_op(token);
    switch (left.kind()) {
        case Value::Number: return apply_numbers(left.as_number(), token, right.as_number());
        case Value::Float: return float_op(left.as_float(), op, right.as_float());
        case Value::String: return string_op(std::move(left), op, right);
        case Value::Boolean: return boolean_op(left.as_boolean(), op, right.as_boolean());
        case Value::Array:
        case Value::Dict:
        case Value::Function:
        case Value::Rect:
        case Value::Color:
        case Value::Circle:
        case Value::Triangle:
        case Value::Null:
        case Value::Error: return Value();
    }
    return Value();
}

Value apply_floats(double left, TokenKind token, double right) {
    return float_op(left, binary_op(token), right);
}

Value apply_unary(TokenKind op, const Value& operand) {
    if (op == TokenKind::Not) return Value::boolean(!is_truthy(operand));
    if (op != TokenKind::Minus) return Value();
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
