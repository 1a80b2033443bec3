#pragma once
// The operators of the language on values. Only the operand kinds listed for an
// operator produce a result; every other combination yields null. There is no
// promotion between numbers and floats.

#include "interpreter/value.hpp"
#include "lexer/token.hpp"

namespace quenra {

// Exact: floats within this absolute distance compare equal.
inline constexpr double FLOAT_TOLERANCE = 2.220446049250313e-16;

// `left` is taken by value so that an unshared string can be extended in place.
Value apply_binary(Value left, TokenKind op, const Value& right);
// The same for two numbers (the common case, kept apart so callers can test for it
// first and skip the general dispatch).
Value apply_numbers(std::int64_t left, TokenKind op, std::int64_t right);
Value apply_unary(TokenKind op, const Value& operand);

// The number argument coercion: numbers and floats as a double.
bool to_double(const Value& value, double& out);
// The integer argument coercion: a number as is, a float truncated toward zero
// with saturation (NaN gives 0).
bool to_integer(const Value& value, std::int64_t& out);
std::int64_t saturate_to_int64(double value);

}  // namespace quenra
