// Expression evaluation: turns one resolved expression into a new value. Evaluation
// never fails: an operation that does not apply to its operands yields null.
#include <new>

#include "interpreter/builtins.hpp"
#include "interpreter/dict.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/operators.hpp"

namespace quenra {

namespace {

const Value NULL_VALUE;

// The index rule: an array by a number (negative indices are out of range, as
// they compare as unsigned), a dict by a string; anything else has no element.
const Value& element_of(const Value& object, const Value& index) {
    if (object.is(Value::Array) && index.is(Value::Number)) {
        const auto& items = object.items();
        auto position = static_cast<std::uint64_t>(index.as_number());
        return position < items.size() ? items[position] : NULL_VALUE;
    }
    if (object.is(Value::Dict) && index.is(Value::String)) {
        const Value* found = object.entries().find(index);
        return found != nullptr ? *found : NULL_VALUE;
    }
    return NULL_VALUE;
}

// The field `node.constant` of a dict, starting the search where it was last found.
const Value& field_of(const Value& object, const Node& node) {
    if (!object.is(Value::Dict)) return NULL_VALUE;
    const Value* found = object.entries().find(node.constant, node.hint);
    return found != nullptr ? *found : NULL_VALUE;
}

}  // namespace

template <bool CHECKED>
Value Interpreter::evaluate_as(const Node& node) {
    switch (node.kind) {
        case NodeKind::Constant: return node.constant;
        case NodeKind::Variable:
            if constexpr (CHECKED) return read_checked(node);
            return peek(node.name);
        case NodeKind::BinaryVarVar:
            return binary_leaves<CHECKED>(node, peek(node.name), peek(node.other));
        case NodeKind::BinaryVarConst:
            return binary_leaves<CHECKED>(node, peek(node.name), node.constant);
        case NodeKind::BinaryConstVar:
            return binary_leaves<CHECKED>(node, node.constant, peek(node.other));
        case NodeKind::Binary: return evaluate_binary<CHECKED>(node);
        case NodeKind::Negate:
            if constexpr (CHECKED) return negate_checked(node);
            return negate(evaluate_as<CHECKED>(*node.left));
        case NodeKind::Not: return Value::boolean(!is_truthy(evaluate_as<CHECKED>(*node.left)));
        case NodeKind::Builtin: return call_builtin(node);
        case NodeKind::Call: return call_user(node);
        case NodeKind::Array: return evaluate_array(node);
        case NodeKind::Dict: return evaluate_dict(node);
        case NodeKind::Field:
        case NodeKind::Index:
            return node.path ? locate<CHECKED>(node) : evaluate_index<CHECKED>(node);
        case NodeKind::Range: return evaluate_range(node);
    }
    return Value();
}

// Both operands, always: "and" and "or" do not short-circuit.
template <bool CHECKED>
Value Interpreter::evaluate_binary(const Node& node) {
    Value left = evaluate_as<CHECKED>(*node.left);
    Value right = evaluate_as<CHECKED>(*node.right);
    // A stopped run unwinds without building anything more (joining strings on the
    // way out of a deep recursion would cost time quadratic in its depth).
    if (stopped()) return Value();
    if constexpr (CHECKED) return apply_checked(node, std::move(left), right);
    return apply_binary(std::move(left), node.op, right);
}

// Whether the comparison `node` holds for two operands; numbers and floats make no value.
[[gnu::always_inline]] inline bool Interpreter::compared(const Node& node, const Value& left,
                                                         const Value& right) {
    if (left.kind() == right.kind()) {
        if (left.is(Value::Number)) return compare(left.as_number(), node.op, right.as_number());
        if (left.is(Value::Float)) return compare(left.as_float(), node.op, right.as_float());
    }
    Value result = apply_other(left, node.op, right);
    if (warnings_ != nullptr) [[unlikely]]
        check_binary(node, node.op, left.kind(), right.kind(), result, node.offset);
    return is_truthy(result);
}

// The outcome of a condition's operand in a normal run: 1 or 0 for a boolean, -1 for
// any other value. "and" and "or" give a boolean only for two booleans (null
// otherwise), so a condition built of them and of comparisons is decided without
// making the booleans; both sides are still evaluated, left first.
int Interpreter::truth_of(const Node& node) {
    auto truth = [](const Value& value) {
        return value.is(Value::Boolean) ? int{value.as_boolean()} : -1;
    };
    auto comparison = [&](const Value& left, const Value& right) {
        if (left.kind() == right.kind()) {
            if (left.is(Value::Number))
                return int{compare(left.as_number(), node.op, right.as_number())};
            if (left.is(Value::Float))
                return int{compare(left.as_float(), node.op, right.as_float())};
        }
        return truth(apply_other(left, node.op, right));
    };
    bool logical = node.op == BinaryOp::And || node.op == BinaryOp::Or;
    switch (node.kind) {
        case NodeKind::BinaryVarVar:
            if (is_comparison(node.op)) return comparison(peek(node.name), peek(node.other));
            break;
        case NodeKind::BinaryVarConst:
            if (is_comparison(node.op)) return comparison(peek(node.name), node.constant);
            break;
        case NodeKind::BinaryConstVar:
            if (is_comparison(node.op)) return comparison(node.constant, peek(node.other));
            break;
        case NodeKind::Binary:
            if (logical) {
                int left = truth_of(*node.left);
                int right = truth_of(*node.right);
                if (stopped() || left < 0 || right < 0) return -1;
                return node.op == BinaryOp::And ? left & right : left | right;
            }
            if (is_comparison(node.op)) {
                // A path on the left is read where it lies when the right side runs no
                // user function: nothing can change or free it meanwhile.
                const Node& right_node = *node.right;
                if (node.left->path && right_node.pure) {
                    const Value& left = locate<false>(*node.left);
                    if (right_node.kind == NodeKind::Constant)
                        return comparison(left, right_node.constant);
                    Value right = evaluate_as<false>(right_node);
                    if (stopped()) return -1;
                    return comparison(left, right);
                }
                Value left = evaluate_as<false>(*node.left);
                Value right = evaluate_as<false>(right_node);
                if (stopped()) return -1;
                return comparison(left, right);
            }
            break;
        case NodeKind::Constant:
        case NodeKind::Variable:
        case NodeKind::Negate:
        case NodeKind::Not:
        case NodeKind::Builtin:
        case NodeKind::Call:
        case NodeKind::Array:
        case NodeKind::Dict:
        case NodeKind::Field:
        case NodeKind::Index:
        case NodeKind::Range: break;
    }
    return truth(evaluate_as<false>(node));
}

bool Interpreter::holds_in_general(const Node& node) {
    if (!is_comparison(node.op)) {
        // With --warn the general path runs, so that every null an operator gives is told.
        if ((node.op == BinaryOp::And || node.op == BinaryOp::Or) &&
            node.kind == NodeKind::Binary && warnings_ == nullptr)
            return truth_of(node) == 1;
        return is_truthy(evaluate(node));
    }
    switch (node.kind) {
        case NodeKind::BinaryVarVar: return compared(node, peek(node.name), peek(node.other));
        case NodeKind::BinaryVarConst: return compared(node, peek(node.name), node.constant);
        case NodeKind::BinaryConstVar: return compared(node, node.constant, peek(node.other));
        case NodeKind::Binary: return compared_operands(node);
        case NodeKind::Constant:
        case NodeKind::Variable:
        case NodeKind::Negate:
        case NodeKind::Not:
        case NodeKind::Builtin:
        case NodeKind::Call:
        case NodeKind::Array:
        case NodeKind::Dict:
        case NodeKind::Field:
        case NodeKind::Index:
        case NodeKind::Range: break;
    }
    return is_truthy(evaluate(node));
}

// A comparison node over operands that are evaluated first.
bool Interpreter::compared_operands(const Node& node) {
    if (warnings_ == nullptr) return truth_of(node) == 1;
    Value left = evaluate(*node.left);
    Value right = evaluate(*node.right);
    if (stopped()) return false;
    return compared(node, left, right);
}

// The resolver has checked the built-in's minimum argument count.
Value Interpreter::call_builtin(const Node& call) {
    if (warnings_ != nullptr) [[unlikely]]
        return call_builtin_watched(call);
    return builtin_entry(call.builtin).function(*this, call);
}

Value Interpreter::evaluate_array(const Node& node) {
    std::vector<Value> items;
    items.reserve(node.args.size());
    for (const Node& element : node.args) items.push_back(evaluate(element));
    return Value::array(std::move(items));
}

// Entries in source order; a later duplicate key replaces the earlier value.
Value Interpreter::evaluate_dict(const Node& node) {
    Value result = Value::dict(node.args.size());
    DictWriter dict = result.mutable_entries();
    for (std::size_t i = 0; i < node.args.size(); ++i) {
        Value value = evaluate(node.args[i]);
        if (node.unique_keys) {
            dict.insert_new(node.keys[i], std::move(value));
        } else {
            dict.insert(node.keys[i], std::move(value));
        }
    }
    return result;
}

// The field or element `node` selects from `object`, its index evaluated here.
template <bool CHECKED>
[[gnu::always_inline]] inline const Value& Interpreter::select(const Node& node,
                                                               const Value& object) {
    if (node.kind == NodeKind::Field) {
        const Value& field = field_of(object, node);
        if constexpr (CHECKED) check_element(node, object, node.constant, field);
        return field;
    }
    Value index = evaluate_as<CHECKED>(*node.right);
    const Value& element = element_of(object, index);
    if constexpr (CHECKED) check_element(node, object, index, element);
    return element;
}

// Object first, then the index, always both.
template <bool CHECKED>
Value Interpreter::evaluate_index(const Node& node) {
    Value object = evaluate_as<CHECKED>(*node.left);
    return select<CHECKED>(node, object);
}

// A path is read where it lies. Its index expressions are pure, so evaluating one
// after the object has been located changes no variable; the order is not seen.
template <bool CHECKED>
const Value& Interpreter::locate(const Node& path) {
    if (path.kind == NodeKind::Variable) {
        const Value& value = peek(path.name);
        if constexpr (CHECKED) {
            if (value.is(ValueKind::Null)) warn_read(path);
        }
        return value;
    }
    return select<CHECKED>(path, locate<CHECKED>(*path.left));
}

Value Interpreter::evaluate_range(const Node& node) {
    Value start_value = evaluate(*node.left);
    Value end_value = evaluate(*node.right);
    std::int64_t start, end;
    if (!to_integer(start_value, start) || !to_integer(end_value, end)) {
        if (warnings_ != nullptr) [[unlikely]]
            warn_range(node, start_value, end_value);
        return Value();
    }
    if (start >= end) return Value::array({});
    std::uint64_t count = static_cast<std::uint64_t>(end) - static_cast<std::uint64_t>(start);
    if (too_large(count, sizeof(Value))) {
        raise_fatal(Fatal::OutOfMemory);
        return Value();
    }
    if (charge(count)) return Value();
    std::vector<Value> items;
    items.reserve(count);
    for (std::int64_t i = start; i < end; ++i) items.push_back(Value::number(i));
    return Value::array(std::move(items));
}

Value Interpreter::right_operand(const Node& binary) {
    if (binary.kind == NodeKind::BinaryVarVar) return peek(binary.other);
    if (binary.kind == NodeKind::BinaryVarConst) return binary.constant;
    return evaluate(*binary.right);
}

template Value Interpreter::evaluate_as<false>(const Node& node);
template Value Interpreter::evaluate_as<true>(const Node& node);

}  // namespace quenra
