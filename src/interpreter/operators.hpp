#pragma once
// The operators of the language on values. Only the operand kinds listed for an
// operator produce a result; every other combination yields null. There is no
// promotion between numbers and floats.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "interpreter/value.hpp"
#include "lexer/token.hpp"

namespace quenra {

// Exact: floats within this absolute distance compare equal.
inline constexpr double FLOAT_TOLERANCE = 2.220446049250313e-16;

// Rounds halves away from zero, as C's round does. Worked out here rather than by
// std::round, which some C runtimes (MinGW-w64's) get wrong just below a half:
// 0.49999999999999994 becomes 1 there. v - trunc(v) is exact, so the test is too.
inline double round_half_away_from_zero(double v) {
    double whole = std::trunc(v);
    return std::fabs(v - whole) >= 0.5 ? whole + std::copysign(1.0, v) : whole;
}

// The binary operators, classified once from the operator token's kind (None for
// a token that is no binary operator).
enum class BinaryOp : std::uint8_t {
    Add,
    Sub,
    Mul,
    Div,
    Mod,
    Pow,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    And,
    Or,
    None
};

// The tokens that are binary operators; every other token is none.
inline constexpr struct {
    TokenKind token;
    BinaryOp op;
} BINARY_OPERATOR_TOKENS[] = {
    {TokenKind::Plus, BinaryOp::Add},      {TokenKind::Minus, BinaryOp::Sub},
    {TokenKind::Star, BinaryOp::Mul},      {TokenKind::Slash, BinaryOp::Div},
    {TokenKind::Percent, BinaryOp::Mod},   {TokenKind::StarStar, BinaryOp::Pow},
    {TokenKind::EqualEqual, BinaryOp::Eq}, {TokenKind::NotEqual, BinaryOp::Ne},
    {TokenKind::Less, BinaryOp::Lt},       {TokenKind::Greater, BinaryOp::Gt},
    {TokenKind::LessEqual, BinaryOp::Le},  {TokenKind::GreaterEqual, BinaryOp::Ge},
    {TokenKind::And, BinaryOp::And},       {TokenKind::Or, BinaryOp::Or},
};

constexpr BinaryOp binary_op(TokenKind kind) {
    for (const auto& entry : BINARY_OPERATOR_TOKENS)
        if (entry.token == kind) return entry.op;
    return BinaryOp::None;
}

// The one definition of each operator on each kind of operand. Evaluation paths that
// read their operands differently all end here.

// Writes the division message and yields 0 (integer "/" and "%" by zero).
Value division_by_zero();
std::int64_t integer_power(std::int64_t base, std::int64_t exponent);

// The primitives of each operator, one overload per operand kind (numbers, floats).
// Integer arithmetic wraps in two's complement (done in unsigned, where overflow is
// defined); float arithmetic is IEEE, and dividing by zero gives an infinity or NaN,
// silently.
namespace primitive {

constexpr std::int64_t wrap(std::uint64_t value) { return static_cast<std::int64_t>(value); }
constexpr std::uint64_t bits(std::int64_t value) { return static_cast<std::uint64_t>(value); }

inline Value sum(std::int64_t a, std::int64_t b) { return Value::number(wrap(bits(a) + bits(b))); }
inline Value sum(double a, double b) { return Value::floating(a + b); }
inline Value difference(std::int64_t a, std::int64_t b) {
    return Value::number(wrap(bits(a) - bits(b)));
}
inline Value difference(double a, double b) { return Value::floating(a - b); }
inline Value product(std::int64_t a, std::int64_t b) {
    return Value::number(wrap(bits(a) * bits(b)));
}
inline Value product(double a, double b) { return Value::floating(a * b); }
inline Value quotient(std::int64_t a, std::int64_t b) {
    if (b == 0) return division_by_zero();
    // INT64_MIN / -1 would trap on x86; the wrapped result is INT64_MIN
    if (b == -1) return Value::number(wrap(0 - bits(a)));
    return Value::number(a / b);
}
inline Value quotient(double a, double b) { return Value::floating(a / b); }
inline Value remainder(std::int64_t a, std::int64_t b) {
    if (b == 0) return division_by_zero();
    // INT64_MIN % -1 would trap on x86; the result is 0
    if (b == -1) return Value::number(0);
    return Value::number(a % b);
}
inline Value remainder(double a, double b) { return Value::floating(std::fmod(a, b)); }
inline Value power(std::int64_t a, std::int64_t b) { return Value::number(integer_power(a, b)); }
inline Value power(double a, double b) { return Value::floating(std::pow(a, b)); }
constexpr bool equal(std::int64_t a, std::int64_t b) { return a == b; }
constexpr bool different(std::int64_t a, std::int64_t b) { return a != b; }
// Floats compare through their difference, with an absolute tolerance, so a NaN
// operand makes both == and != false.
inline bool equal(double a, double b) { return std::fabs(a - b) < FLOAT_TOLERANCE; }
inline bool different(double a, double b) { return std::fabs(a - b) >= FLOAT_TOLERANCE; }
// Strings are equal byte for byte; they have no order. Most unequal strings differ
// in length or in their first byte, and a literal compared with a value made from
// it is the same text, so the library's comparison is left for the rest.
inline bool equal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a.data() == b.data() || a.empty()) return true;
    if (a.front() != b.front()) return false;
    return std::memcmp(a.data(), b.data(), a.size()) == 0;
}
inline bool different(std::string_view a, std::string_view b) { return !equal(a, b); }

}  // namespace primitive

constexpr bool is_comparison(BinaryOp op) { return op >= BinaryOp::Eq && op <= BinaryOp::Ge; }

// The comparisons (Eq to Ge) of two numbers or two floats; conditions use it
// without making a value. Ordering a NaN is false.
template <typename T>
[[gnu::always_inline]] inline bool compare(T a, BinaryOp op, T b) {
    switch (op) {
        case BinaryOp::Eq: return primitive::equal(a, b);
        case BinaryOp::Ne: return primitive::different(a, b);
        case BinaryOp::Lt: return a < b;
        case BinaryOp::Gt: return a > b;
        case BinaryOp::Le: return a <= b;
        case BinaryOp::Ge: return a >= b;
        case BinaryOp::Add:
        case BinaryOp::Sub:
        case BinaryOp::Mul:
        case BinaryOp::Div:
        case BinaryOp::Mod:
        case BinaryOp::Pow:
        case BinaryOp::And:
        case BinaryOp::Or:
        case BinaryOp::None: return false;
    }
    return false;
}

// The operator table of two numbers (T = std::int64_t) and of two floats
// (T = double); "and" and "or" take neither.
template <typename T>
[[gnu::always_inline]] inline Value arithmetic(T a, BinaryOp op, T b) {
    switch (op) {
        case BinaryOp::Add: return primitive::sum(a, b);
        case BinaryOp::Sub: return primitive::difference(a, b);
        case BinaryOp::Mul: return primitive::product(a, b);
        case BinaryOp::Div: return primitive::quotient(a, b);
        case BinaryOp::Mod: return primitive::remainder(a, b);
        case BinaryOp::Pow: return primitive::power(a, b);
        case BinaryOp::Eq:
        case BinaryOp::Ne:
        case BinaryOp::Lt:
        case BinaryOp::Gt:
        case BinaryOp::Le:
        case BinaryOp::Ge: return Value::boolean(compare(a, op, b));
        case BinaryOp::And:
        case BinaryOp::Or:
        case BinaryOp::None: return Value();
    }
    return Value();
}

// Any two values whose kinds are not both numbers or both floats (strings, booleans,
// and every pair that yields null).
Value apply_other(Value left, BinaryOp op, const Value& right);

// Any two values; `left` is moved from (only by the rule for other kinds) so that an
// unshared string can be extended in place, and numbers and floats are not moved.
inline Value apply_binary(Value&& left, BinaryOp op, const Value& right) {
    if (left.kind() == right.kind()) {
        if (left.is(Value::Number)) return arithmetic(left.as_number(), op, right.as_number());
        if (left.is(Value::Float)) return arithmetic(left.as_float(), op, right.as_float());
    }
    return apply_other(std::move(left), op, right);
}

// apply_other with the left operand read where it is (the copy is made inside, so
// that a caller's fast path needs no frame of its own).
Value apply_other_in_place(const Value& left, BinaryOp op, const Value& right);

// The same for operands read where they are: nothing is copied for numbers and floats.
inline Value binary_operation(const Value& left, BinaryOp op, const Value& right) {
    if (left.kind() == right.kind()) {
        if (left.is(Value::Number)) return arithmetic(left.as_number(), op, right.as_number());
        if (left.is(Value::Float)) return arithmetic(left.as_float(), op, right.as_float());
    }
    return apply_other_in_place(left, op, right);
}

// Unary minus: numbers wrap (the smallest stays itself), floats flip their sign.
Value negate(const Value& operand);

// The number argument coercion: numbers and floats as a double.
bool to_double(const Value& value, double& out);
// The integer argument coercion: a number as is, a float truncated toward zero
// with saturation (NaN gives 0).
bool to_integer(const Value& value, std::int64_t& out);
std::int64_t saturate_to_int64(double value);

}  // namespace quenra
