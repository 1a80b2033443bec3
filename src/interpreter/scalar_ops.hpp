#pragma once
// The operators on scalars (numbers, floats, booleans of one kind), following the
// operator tables exactly; they give up (a Null scalar) where the full evaluation
// has more to do, such as writing the division-by-zero message.
#include <cmath>
#include <cstdint>

#include "interpreter/interpreter.hpp"
#include "interpreter/operators.hpp"

namespace quenra {

using Scalar = Interpreter::Scalar;

inline Scalar scalar_numbers(std::int64_t a, BinaryOp op, std::int64_t b) {
    auto ua = static_cast<std::uint64_t>(a), ub = static_cast<std::uint64_t>(b);
    switch (op) {
        case BinaryOp::Add: return Scalar::number(static_cast<std::int64_t>(ua + ub));
        case BinaryOp::Sub: return Scalar::number(static_cast<std::int64_t>(ua - ub));
        case BinaryOp::Mul: return Scalar::number(static_cast<std::int64_t>(ua * ub));
        case BinaryOp::Div:
            if (b == 0) return Scalar::none();  // the full evaluation writes the message
            // INT64_MIN / -1 would trap on x86; the wrapped result is INT64_MIN
            if (b == -1) return Scalar::number(static_cast<std::int64_t>(0 - ua));
            return Scalar::number(a / b);
        case BinaryOp::Mod:
            if (b == 0) return Scalar::none();
            // INT64_MIN % -1 would trap on x86; the result is 0
            if (b == -1) return Scalar::number(0);
            return Scalar::number(a % b);
        case BinaryOp::Pow: return Scalar::number(integer_power(a, b));
        case BinaryOp::Eq: return Scalar::truth(a == b);
        case BinaryOp::Ne: return Scalar::truth(a != b);
        case BinaryOp::Lt: return Scalar::truth(a < b);
        case BinaryOp::Gt: return Scalar::truth(a > b);
        case BinaryOp::Le: return Scalar::truth(a <= b);
        case BinaryOp::Ge: return Scalar::truth(a >= b);
        case BinaryOp::And:
        case BinaryOp::Or:
        case BinaryOp::None: return Scalar::none();
    }
    return Scalar::none();
}

inline Scalar scalar_floats(double a, BinaryOp op, double b) {
    switch (op) {
        case BinaryOp::Add: return Scalar::floating(a + b);
        case BinaryOp::Sub: return Scalar::floating(a - b);
        case BinaryOp::Mul: return Scalar::floating(a * b);
        case BinaryOp::Div: return Scalar::floating(a / b);
        case BinaryOp::Mod: return Scalar::floating(std::fmod(a, b));
        case BinaryOp::Pow: return Scalar::floating(std::pow(a, b));
        case BinaryOp::Eq: return Scalar::truth(std::fabs(a - b) < FLOAT_TOLERANCE);
        case BinaryOp::Ne: return Scalar::truth(std::fabs(a - b) >= FLOAT_TOLERANCE);
        case BinaryOp::Lt: return Scalar::truth(a < b);
        case BinaryOp::Gt: return Scalar::truth(a > b);
        case BinaryOp::Le: return Scalar::truth(a <= b);
        case BinaryOp::Ge: return Scalar::truth(a >= b);
        case BinaryOp::And:
        case BinaryOp::Or:
        case BinaryOp::None: return Scalar::none();
    }
    return Scalar::none();
}

inline Scalar scalar_booleans(bool a, BinaryOp op, bool b) {
    switch (op) {
        case BinaryOp::And: return Scalar::truth(a && b);
        case BinaryOp::Or: return Scalar::truth(a || b);
        case BinaryOp::Eq: return Scalar::truth(a == b);
        case BinaryOp::Ne: return Scalar::truth(a != b);
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
        case BinaryOp::None: return Scalar::none();
    }
    return Scalar::none();
}

inline Scalar combine_scalars(Scalar a, BinaryOp op, Scalar b) {
    if (a.kind == ValueKind::Number) return scalar_numbers(a.integer, op, b.integer);
    if (a.kind == ValueKind::Float) return scalar_floats(a.real, op, b.real);
    return scalar_booleans(a.boolean, op, b.boolean);
}

}  // namespace quenra
