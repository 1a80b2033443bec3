#include "interpreter/operators.hpp"

#include <array>
#include <cmath>
#include <limits>

#include "interpreter/console.hpp"

namespace quenra {

namespace {

// The binary operators, classified once from the operator token's kind.
enum class BinaryOp : std::uint8_t { Add, Sub, Mul, Div, Mod, Pow, Eq, Ne, Lt, Gt, Le, Ge, And, Or, None };

constexpr BinaryOp classify(TokenKind kind) {
    switch (kind) {
        case TokenKind::Plus: return BinaryOp::Add;
        case TokenKind::Minus: return BinaryOp::Sub;
        case TokenKind::Star: return BinaryOp::Mul;
        case TokenKind::Slash: return BinaryOp::Div;
        case TokenKind::Percent: return BinaryOp::Mod;
        case TokenKind::StarStar: return BinaryOp::Pow;
        case TokenKind::EqualEqual: return BinaryOp::Eq;
        case TokenKind::NotEqual: return BinaryOp::Ne;
        case TokenKind::Less: return BinaryOp::Lt;
        case TokenKind::Greater: return BinaryOp::Gt;
        case TokenKind::LessEqual: return BinaryOp::Le;
        case TokenKind::GreaterEqual: return BinaryOp::Ge;
        case TokenKind::And: return BinaryOp::And;
        case TokenKind::Or: return BinaryOp::Or;
        case TokenKind::Let: case TokenKind::Def: case TokenKind::Return: case TokenKind::If:
        case TokenKind::Else: case TokenKind::While: case TokenKind::For: case TokenKind::In:
        case TokenKind::Break: case TokenKind::Continue: case TokenKind::True:
        case TokenKind::False: case TokenKind::Not: case TokenKind::Match: case TokenKind::Try:
        case TokenKind::Catch: case TokenKind::Global: case TokenKind::Identifier:
        case TokenKind::Integer: case TokenKind::Float: case TokenKind::String:
        case TokenKind::Assign: case TokenKind::PlusAssign: case TokenKind::MinusAssign:
        case TokenKind::StarAssign: case TokenKind::SlashAssign: case TokenKind::LeftParen:
        case TokenKind::RightParen: case TokenKind::LeftBrace: case TokenKind::RightBrace:
        case TokenKind::LeftBracket: case TokenKind::RightBracket: case TokenKind::Comma:
        case TokenKind::Colon: case TokenKind::Semicolon: case TokenKind::Arrow:
        case TokenKind::FatArrow: case TokenKind::Dot: case TokenKind::Question:
        case TokenKind::Eof: return BinaryOp::None;
    }
    return BinaryOp::None;
}

constexpr auto BINARY_OPS = [] {
    std::array<BinaryOp, TOKEN_KIND_COUNT> table{};
    for (std::size_t i = 0; i < TOKEN_KIND_COUNT; ++i) table[i] = classify(static_cast<TokenKind>(i));
    return table;
}();

constexpr std::int64_t INT64_MIN_VALUE = std::numeric_limits<std::int64_t>::min();

std::int64_t wrap(std::uint64_t value) { return static_cast<std::int64_t>(value); }
std::uint64_t bits(std::int64_t value) { return static_cast<std::uint64_t>(value); }

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

Value number_op(std::int64_t a, BinaryOp op, std::int64_t b) {
    switch (op) {
        case BinaryOp::Add: return Value::number(wrap(bits(a) + bits(b)));
        case BinaryOp::Sub: return Value::number(wrap(bits(a) - bits(b)));
        case BinaryOp::Mul: return Value::number(wrap(bits(a) * bits(b)));
        case BinaryOp::Div:
            if (b == 0) return division_by_zero();
            // INT64_MIN / -1 would trap on x86; the wrapped result is INT64_MIN
            if (b == -1) return Value::number(wrap(0 - bits(a)));
            return Value::number(a / b);
        case BinaryOp::Mod:
            if (b == 0) return division_by_zero();
            // INT64_MIN % -1 would trap on x86; the result is 0
            if (b == -1) return Value::number(0);
            return Value::number(a % b);
        case BinaryOp::Pow: return Value::number(integer_power(a, b));
        case BinaryOp::Eq: return Value::boolean(a == b);
        case BinaryOp::Ne: return Value::boolean(a != b);
        case BinaryOp::Lt: return Value::boolean(a < b);
        case BinaryOp::Gt: return Value::boolean(a > b);
        case BinaryOp::Le: return Value::boolean(a <= b);
        case BinaryOp::Ge: return Value::boolean(a >= b);
        case BinaryOp::And: case BinaryOp::Or: case BinaryOp::None: return Value();
    }
    return Value();
}

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
        case BinaryOp::And: case BinaryOp::Or: case BinaryOp::None: return Value();
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
        case BinaryOp::Sub: case BinaryOp::Mul: case BinaryOp::Div: case BinaryOp::Mod:
        case BinaryOp::Pow: case BinaryOp::Lt: case BinaryOp::Gt: case BinaryOp::Le:
        case BinaryOp::Ge: case BinaryOp::And: case BinaryOp::Or: case BinaryOp::None: return Value();
    }
    return Value();
}

Value boolean_op(bool a, BinaryOp op, bool b) {
    switch (op) {
        case BinaryOp::And: return Value::boolean(a && b);
        case BinaryOp::Or: return Value::boolean(a || b);
        case BinaryOp::Eq: return Value::boolean(a == b);
        case BinaryOp::Ne: return Value::boolean(a != b);
        case BinaryOp::Add: case BinaryOp::Sub: case BinaryOp::Mul: case BinaryOp::Div:
        case BinaryOp::Mod: case BinaryOp::Pow: case BinaryOp::Lt: case BinaryOp::Gt:
        case BinaryOp::Le: case BinaryOp::Ge: case BinaryOp::None: return Value();
    }
    return Value();
}

}  // namespace

Value apply_binary(Value left, TokenKind token, const Value& right) {
    if (left.kind() != right.kind()) return Value();
    BinaryOp op = BINARY_OPS[static_cast<std::size_t>(token)];
    switch (left.kind()) {
        case Value::Number: return number_op(left.as_number(), op, right.as_number());
        case Value::Float: return float_op(left.as_float(), op, right.as_float());
        case Value::String: return string_op(std::move(left), op, right);
        case Value::Boolean: return boolean_op(left.as_boolean(), op, right.as_boolean());
        case Value::Array: case Value::Dict: case Value::Function: case Value::Rect:
        case Value::Color: case Value::Circle: case Value::Triangle: case Value::Null:
        case Value::Error: return Value();
    }
    return Value();
}

Value apply_numbers(std::int64_t left, TokenKind token, std::int64_t right) {
    return number_op(left, BINARY_OPS[static_cast<std::size_t>(token)], right);
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
