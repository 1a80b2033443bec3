#pragma once
// The operators of the language on values. Only the operand kinds listed for an
// operator produce a result; every other combination yields null. There is no
// promotion between numbers and floats.

#include <array>
#include <cstdint>

#include "interpreter/value.hpp"
#include "lexer/token.hpp"

namespace quenra {

// Exact: floats within this absolute distance compare equal.
inline constexpr double FLOAT_TOLERANCE = 2.220446049250313e-16;

// The binary operators, classified once from the operator token's kind.
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
        case TokenKind::Let:
        case TokenKind::Def:
        case TokenKind::Return:
        case TokenKind::If:
        case TokenKind::Else:
        case TokenKind::While:
        case TokenKind::For:
        case TokenKind::In:
        case TokenKind::Break:
        case TokenKind::Continue:
        case TokenKind::True:
        case TokenKind::False:
        case TokenKind::Not:
        case TokenKind::Match:
        case TokenKind::Try:
        case TokenKind::Catch:
        case TokenKind::Global:
        case TokenKind::Identifier:
        case TokenKind::Integer:
        case TokenKind::Float:
        case TokenKind::String:
        case TokenKind::Assign:
        case TokenKind::PlusAssign:
        case TokenKind::MinusAssign:
        case TokenKind::StarAssign:
        case TokenKind::SlashAssign:
        case TokenKind::LeftParen:
        case TokenKind::RightParen:
        case TokenKind::LeftBrace:
        case TokenKind::RightBrace:
        case TokenKind::LeftBracket:
        case TokenKind::RightBracket:
        case TokenKind::Comma:
        case TokenKind::Colon:
        case TokenKind::Semicolon:
        case TokenKind::Arrow:
        case TokenKind::FatArrow:
        case TokenKind::Dot:
        case TokenKind::Question:
        case TokenKind::Eof: return BinaryOp::None;
    }
    return BinaryOp::None;
}

inline constexpr auto BINARY_OPS = [] {
    std::array<BinaryOp, TOKEN_KIND_COUNT> table{};
    for (std::size_t i = 0; i < TOKEN_KIND_COUNT; ++i)
        table[i] = classify(static_cast<TokenKind>(i));
    return table;
}();

constexpr BinaryOp binary_op(TokenKind kind) { return BINARY_OPS[static_cast<std::size_t>(kind)]; }

// `left` is taken by value so that an unshared string can be extended in place.
Value apply_binary(Value left, TokenKind op, const Value& right);
Value apply_floats(double left, TokenKind op, double right);
Value apply_unary(TokenKind op, const Value& operand);

// Writes the division message and yields 0 (integer "/" and "%" by zero).
Value division_by_zero();
std::int64_t integer_power(std::int64_t base, std::int64_t exponent);

// Two numbers: the common case, inline so the evaluator's fast paths stay cheap.
// Arithmetic wraps in two's complement (done in unsigned, where overflow is defined).
inline Value apply_numbers(std::int64_t a, TokenKind token, std::int64_t b) {
    auto wrap = [](std::uint64_t value) { return static_cast<std::int64_t>(value); };
    auto bits = [](std::int64_t value) { return static_cast<std::uint64_t>(value); };
    switch (binary_op(token)) {
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
        case BinaryOp::And:
        case BinaryOp::Or:
        case BinaryOp::None: return Value();
    }
    return Value();
}

// The number argument coercion: numbers and floats as a double.
bool to_double(const Value& value, double& out);
// The integer argument coercion: a number as is, a float truncated toward zero
// with saturation (NaN gives 0).
bool to_integer(const Value& value, std::int64_t& out);
std::int64_t saturate_to_int64(double value);

}  // namespace quenra
