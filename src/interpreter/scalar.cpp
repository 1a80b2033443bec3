// The scalar path of expression evaluation: numbers, floats and booleans computed
// without making values. It follows the operator tables exactly for the kinds it
// handles and gives up (a Null scalar) on everything else, which the full
// evaluation then does.
#include <cmath>

#include "interpreter/builtins.hpp"
#include "interpreter/dict.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/scalar_ops.hpp"

namespace quenra {

using Scalar = Interpreter::Scalar;

Scalar Interpreter::try_scalar(const Expr& expr) {
    switch (expr.kind) {
        case ExprKind::Number: return Scalar::number(expr.as<NumberExpr>().value);
        case ExprKind::Float: return Scalar::floating(expr.as<FloatExpr>().value);
        case ExprKind::Boolean: return Scalar::truth(expr.as<BooleanExpr>().value);
        case ExprKind::Variable: return Scalar::of(peek(expr.as<VariableExpr>().name.id));
        case ExprKind::Binary:
            if (!may_be_scalar(expr.as<BinaryExpr>())) return Scalar::none();
            return scalar_binary(expr.as<BinaryExpr>());
        case ExprKind::Unary: return scalar_unary(expr.as<UnaryExpr>());
        case ExprKind::Index: {
            const Value* element = peek_path(expr);
            return element != nullptr ? Scalar::of(*element) : Scalar::none();
        }
        case ExprKind::Call:
            if (!is_scalar_builtin(expr.as<CallExpr>())) return Scalar::none();
            return scalar_call(expr.as<CallExpr>());
        case ExprKind::String:
        case ExprKind::Array:
        case ExprKind::Dict:
        case ExprKind::Range: return Scalar::none();
    }
    return Scalar::none();
}

namespace {

// The number argument coercion on a scalar: numbers and floats as a double.
bool as_double(const Scalar& scalar, double& out) {
    if (scalar.kind == ValueKind::Number) {
        out = static_cast<double>(scalar.integer);
        return true;
    }
    if (scalar.kind == ValueKind::Float) {
        out = scalar.real;
        return true;
    }
    return false;
}

}  // namespace

// The pure numeric built-ins and len, computed exactly as their table entries do;
// any other call gives up. Arguments beyond those a built-in uses are not
// evaluated, here as there.
Scalar Interpreter::scalar_call(const CallExpr& call) {
    int builtin = bindings_[call.name.id].builtin;
    std::size_t count = call.args.size();
    double x, y;
    switch (builtin) {
        case BUILTIN_LEN: {
            if (count < 1) return Scalar::none();
            const Value* value = peek_path(call.args[0]);
            if (value == nullptr) return Scalar::none();
            if (value->is(Value::Array))
                return Scalar::number(static_cast<std::int64_t>(value->items().size()));
            if (value->is(Value::String))
                return Scalar::number(static_cast<std::int64_t>(value->text().size()));
            if (value->is(Value::Dict))
                return Scalar::number(static_cast<std::int64_t>(value->entries().size()));
            return Scalar::none();
        }
        case BUILTIN_ABS: {
            if (count < 1) return Scalar::none();
            Scalar a = scalar_operand(call.args[0]);
            if (a.kind == ValueKind::Number) {
                auto bits = static_cast<std::uint64_t>(a.integer);  // the smallest stays itself
                return Scalar::number(a.integer < 0 ? static_cast<std::int64_t>(0 - bits)
                                                    : a.integer);
            }
            if (a.kind == ValueKind::Float) return Scalar::floating(std::fabs(a.real));
            return Scalar::none();
        }
        case BUILTIN_SQRT:
            if (count < 1 || !as_double(scalar_operand(call.args[0]), x)) return Scalar::none();
            return Scalar::floating(std::sqrt(x));
        case BUILTIN_POW: {
            if (count < 2) return Scalar::none();
            Scalar base = scalar_operand(call.args[0]);
            if (!base.ok()) return Scalar::none();
            Scalar exponent = scalar_operand(call.args[1]);
            if (!as_double(base, x) || !as_double(exponent, y)) return Scalar::none();
            return Scalar::floating(std::pow(x, y));
        }
        case BUILTIN_CEIL:
            if (count < 1 || !as_double(scalar_operand(call.args[0]), x)) return Scalar::none();
            return Scalar::number(saturate_to_int64(std::ceil(x)));
        case BUILTIN_FLOOR:
            if (count < 1 || !as_double(scalar_operand(call.args[0]), x)) return Scalar::none();
            return Scalar::number(saturate_to_int64(std::floor(x)));
        case BUILTIN_ROUND:
            if (count < 1 || !as_double(scalar_operand(call.args[0]), x)) return Scalar::none();
            return Scalar::number(saturate_to_int64(std::round(x)));
        default: return Scalar::none();
    }
}

namespace {

const Value NULL_VALUE;

}  // namespace

const Value* Interpreter::peek_path(const Expr& expr) {
    if (expr.kind == ExprKind::Variable) return &peek(expr.as<VariableExpr>().name.id);
    if (expr.kind != ExprKind::Index) return nullptr;
    const auto& node = expr.as<IndexExpr>();
    const Expr& object_expr = *node.object;
    const Value* object = object_expr.kind == ExprKind::Variable
                              ? &peek(object_expr.as<VariableExpr>().name.id)
                              : peek_path(object_expr);
    if (object == nullptr) return nullptr;
    const Expr& index = *node.index;
    if (index.kind == ExprKind::String) {
        if (!object->is(Value::Dict)) return &NULL_VALUE;
        const Value* found =
            object->entries().find(symbol_string(index.as<StringExpr>().value.id), node.entry_hint);
        return found != nullptr ? found : &NULL_VALUE;
    }
    Scalar position = scalar_operand(index);
    if (!position.ok()) return nullptr;
    if (!object->is(Value::Array) || position.kind != ValueKind::Number) return &NULL_VALUE;
    const auto& items = object->items();
    auto at = static_cast<std::uint64_t>(position.integer);  // negative: out of range
    return at < items.size() ? &items[at] : &NULL_VALUE;
}

ScalarHint Interpreter::scalar_hint_of(const Expr& expr) {
    switch (expr.kind) {
        case ExprKind::Number:
        case ExprKind::Float:
        case ExprKind::Boolean:
        case ExprKind::Variable:
        case ExprKind::Index: return ScalarHint::Maybe;
        case ExprKind::String:
        case ExprKind::Array:
        case ExprKind::Dict:
        case ExprKind::Range: return ScalarHint::Never;
        case ExprKind::Call:
            return is_scalar_builtin(expr.as<CallExpr>()) ? ScalarHint::Maybe : ScalarHint::Never;
        case ExprKind::Unary: return scalar_hint_of(*expr.as<UnaryExpr>().operand);
        case ExprKind::Binary: {
            const auto& node = expr.as<BinaryExpr>();
            if (node.scalar_hint == ScalarHint::Unknown) settle_scalar_hint(node);
            return node.scalar_hint;
        }
    }
    return ScalarHint::Never;
}

ScalarHint Interpreter::settle_scalar_hint(const BinaryExpr& node) {
    // == and != also compare strings on this path, so a string literal may stand there.
    bool equality = node.op.kind == TokenKind::EqualEqual || node.op.kind == TokenKind::NotEqual;
    auto side = [&](const Expr& operand) {
        if (equality && operand.kind == ExprKind::String) return ScalarHint::Maybe;
        return scalar_hint_of(operand);
    };
    bool never = side(*node.left) == ScalarHint::Never || side(*node.right) == ScalarHint::Never;
    node.scalar_hint = never ? ScalarHint::Never : ScalarHint::Maybe;
    return node.scalar_hint;
}

// == or != between two strings, read where they are (variables, fields, elements,
// literals); anything else gives up. A number or float on the left never gets
// here: against a string it makes the result null, which the full path gives.
Scalar Interpreter::scalar_string_equality(const BinaryExpr& node) {
    TokenKind op = node.op.kind;
    if (op != TokenKind::EqualEqual && op != TokenKind::NotEqual) return Scalar::none();
    const Value* a = peek_operand(*node.left);
    if (a == nullptr || !a->is(Value::String)) return Scalar::none();
    const Value* b = peek_operand(*node.right);
    if (b == nullptr || !b->is(Value::String)) return Scalar::none();
    return Scalar::truth((a->text() == b->text()) == (op == TokenKind::EqualEqual));
}

// A leaf operand (a variable or a literal) read from its shape alone.
inline Scalar Interpreter::scalar_leaf(const OperandShape& shape) const {
    if (shape.kind == OperandShape::Kind::Variable) return Scalar::of(peek(shape.id));
    if (shape.kind == OperandShape::Kind::Number) return Scalar::number(shape.integer);
    return Scalar::floating(shape.real);
}

// An operand read through its shape: leaves come straight from the parent node.
inline Scalar Interpreter::scalar_shaped(const OperandShape& shape, const Expr& expr) {
    switch (shape.kind) {
        case OperandShape::Kind::Variable: return Scalar::of(peek(shape.id));
        case OperandShape::Kind::Number: return Scalar::number(shape.integer);
        case OperandShape::Kind::Float: return Scalar::floating(shape.real);
        case OperandShape::Kind::Other: break;
    }
    if (expr.kind == ExprKind::Binary) return scalar_binary(expr.as<BinaryExpr>());
    return try_scalar(expr);
}

// Both operands leaves (the most common node by far): no call is made, so this
// stays a leaf function; anything else continues in scalar_binary_nested.
Scalar Interpreter::scalar_binary(const BinaryExpr& node) {
    if (node.left_shape.kind == OperandShape::Kind::Other ||
        node.right_shape.kind == OperandShape::Kind::Other) {
        return scalar_binary_nested(node);
    }
    Scalar a = scalar_leaf(node.left_shape);
    Scalar b = scalar_leaf(node.right_shape);
    if (!a.ok()) return scalar_string_equality(node);
    if (b.kind != a.kind) return Scalar::none();  // no promotion: the result is null
    return combine_scalars(a, binary_op(node.op.kind), b);
}

Scalar Interpreter::scalar_binary_nested(const BinaryExpr& node) {
    Scalar a = scalar_shaped(node.left_shape, *node.left);
    if (!a.ok()) return scalar_string_equality(node);
    Scalar b = scalar_shaped(node.right_shape, *node.right);
    if (b.kind != a.kind) return Scalar::none();
    return combine_scalars(a, binary_op(node.op.kind), b);
}

Scalar Interpreter::scalar_unary(const UnaryExpr& node) {
    Scalar a = scalar_operand(*node.operand);
    if (!a.ok()) return a;
    if (node.op.kind == TokenKind::Not) return Scalar::truth(!a.truthy());
    if (a.kind == ValueKind::Number) {
        return Scalar::number(static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(a.integer)));
    }
    if (a.kind == ValueKind::Float) return Scalar::floating(-a.real);
    return Scalar::none();  // minus on a boolean is null
}

}  // namespace quenra
