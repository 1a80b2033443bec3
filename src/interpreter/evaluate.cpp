// Expression evaluation: turns one expression into a new value by walking it.
// Evaluation never fails: an operation that does not apply to its operands
// yields null.
#include <new>

#include "interpreter/builtins.hpp"
#include "interpreter/dict.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/value_list.hpp"

namespace quenra {

Value Interpreter::evaluate_node(const Expr& expr) {
    switch (expr.kind) {
        case ExprKind::Number: return Value::number(expr.as<NumberExpr>().value);
        case ExprKind::Float: return Value::floating(expr.as<FloatExpr>().value);
        case ExprKind::String: return symbol_string(expr.as<StringExpr>().value.id);
        case ExprKind::Boolean: return Value::boolean(expr.as<BooleanExpr>().value);
        case ExprKind::Variable: return lookup(expr.as<VariableExpr>().name.id);
        case ExprKind::Binary: return evaluate_binary(expr.as<BinaryExpr>());
        case ExprKind::Unary: return evaluate_unary(expr.as<UnaryExpr>());
        case ExprKind::Call: return evaluate_call(expr.as<CallExpr>());
        case ExprKind::Array: return evaluate_array(expr.as<ArrayExpr>());
        case ExprKind::Dict: return evaluate_dict(expr.as<DictExpr>());
        case ExprKind::Index: {
            // A variable indexed by literals is read in place, without copying the
            // container or the key.
            const Value* element = peek_path(expr);
            if (element != nullptr) return *element;
            return evaluate_index(expr.as<IndexExpr>());
        }
        case ExprKind::Range: return evaluate_range(expr.as<RangeExpr>());
    }
    return Value();
}

// An operand that can be read where it is: a variable, a literal string, or a
// variable indexed by literals or scalar expressions. Reading it has no effects.
const Value* Interpreter::peek_operand(const Expr& expr) {
    if (expr.kind == ExprKind::String) return &symbol_string(expr.as<StringExpr>().value.id);
    return peek_path(expr);
}

Value Interpreter::evaluate_binary(const BinaryExpr& expr) {
    // Strings compared in place (when the arithmetic path was not tried on this node):
    // no copy of either side is made.
    if (expr.op.kind == TokenKind::EqualEqual || expr.op.kind == TokenKind::NotEqual) {
        Scalar same = scalar_string_equality(expr);
        if (same.ok()) return same.value();
    }
    Value left = evaluate_operand(*expr.left);
    Value right =
        evaluate_operand(*expr.right);  // always both: "and" and "or" do not short-circuit
    // A stopped run unwinds without building anything more (joining strings on the
    // way out of a deep recursion would cost time quadratic in its depth).
    if (stopped()) return Value();
    if (left.kind() == right.kind()) {
        if (left.is(Value::Number))
            return apply_numbers(left.as_number(), expr.op.kind, right.as_number());
        if (left.is(Value::Float))
            return apply_floats(left.as_float(), expr.op.kind, right.as_float());
    }
    return apply_binary(std::move(left), expr.op.kind, right);
}

Value Interpreter::evaluate_unary(const UnaryExpr& expr) {
    Value operand = evaluate_operand(*expr.operand);
    return apply_unary(expr.op.kind, operand);
}

Value Interpreter::evaluate_call(const CallExpr& call) {
    int builtin = bindings_[call.name.id].builtin;
    if (builtin >= 0) return call_builtin(builtin, call);
    Value callee = lookup(call.name.id);
    if (!callee.is(Value::Function)) return Value();  // arguments are not evaluated
    // `callee` keeps the body alive even if the call redefines the function.
    const FunctionBody& function = callee.function_body();
    if (call.args.size() == 1) {  // the most common call, without an argument list
        Value argument = evaluate_fast(call.args[0]);
        return call_user_function(function, &argument, 1);
    }
    ValueList arguments(call.args.size());
    for (const Expr& arg : call.args) arguments.push(evaluate_fast(arg));
    return call_user_function(function, arguments.data(), arguments.size());
}

Value Interpreter::evaluate_array(const ArrayExpr& expr) {
    std::vector<Value> items;
    items.reserve(expr.elements.size());
    for (const Expr& element : expr.elements) items.push_back(evaluate_fast(element));
    return Value::array(std::move(items));
}

// Literals with more entries than this insert every key through the dict's search.
constexpr std::size_t DICT_LITERAL_SCAN = 16;

Value Interpreter::evaluate_dict(const DictExpr& expr) {
    Dict dict(expr.entries.size());
    const auto& entries = expr.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Value value = evaluate(entries[i].value);
        // Keys are names: in a small literal a key seen before is found by its id
        // (a later duplicate wins), and a new one needs no search of the dict.
        bool seen = entries.size() > DICT_LITERAL_SCAN;
        for (std::size_t j = 0; j < i && !seen; ++j) seen = entries[j].key.id == entries[i].key.id;
        if (seen) {
            dict.insert(symbol_string(entries[i].key.id), std::move(value));
        } else {
            dict.insert_new(symbol_string(entries[i].key.id), std::move(value));
        }
    }
    return Value::dict(std::move(dict));
}

Value Interpreter::evaluate_index(const IndexExpr& expr) {
    Value object = evaluate_fast(*expr.object);
    Value index = evaluate_fast(*expr.index);
    return index_value(object, index);
}

Value Interpreter::index_value(const Value& object, const Value& index) {
    if (object.is(Value::Array) && index.is(Value::Number)) {
        const auto& items = object.items();
        // Compared as unsigned, so negative indices are out of range.
        auto position = static_cast<std::uint64_t>(index.as_number());
        return position < items.size() ? items[position] : Value();
    }
    if (object.is(Value::Dict) && index.is(Value::String)) {
        const Value* found = object.entries().find(index);
        return found != nullptr ? *found : Value();
    }
    return Value();
}

Value Interpreter::evaluate_range(const RangeExpr& expr) {
    Value start_value = evaluate(*expr.start);
    Value end_value = evaluate(*expr.end);
    std::int64_t start, end;
    if (!to_integer(start_value, start) || !to_integer(end_value, end)) return Value();
    if (start >= end) return Value::array({});
    std::uint64_t count = static_cast<std::uint64_t>(end) - static_cast<std::uint64_t>(start);
    if (too_large(count, sizeof(Value))) {
        raise_fatal(Fatal::OutOfMemory);
        return Value();
    }
    std::vector<Value> items;
    items.reserve(count);
    for (std::int64_t i = start; i < end; ++i) items.push_back(Value::number(i));
    return Value::array(std::move(items));
}

}  // namespace quenra
