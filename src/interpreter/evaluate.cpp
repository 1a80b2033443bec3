// Expression evaluation: turns one resolved expression into a new value. Evaluation
// never fails: an operation that does not apply to its operands yields null.
#include <array>
#include <new>
#include <utility>

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
Value Interpreter::evaluate_kind(const Node& node) {
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
        case NodeKind::Call: return call_node(*this, node);
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

// A condition with --warn: the value is made, so that every null an operator gives
// is told.
bool Interpreter::holds_checked(const Node& node) { return is_truthy(evaluate_as<true>(node)); }

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

// The bounds of a range, start first; false, after the --warn note at `at`, when
// either is no integer. A for loop over a range reads them the same way.
bool Interpreter::range_bounds(const Node& first, const Node& last, const Node& at,
                               std::int64_t& start, std::int64_t& end) {
    Value start_value = evaluate(first);
    Value end_value = evaluate(last);
    if (to_integer(start_value, start) && to_integer(end_value, end)) return true;
    if (warnings_ != nullptr) [[unlikely]]
        warn_range(at, start_value, end_value);
    return false;
}

Value Interpreter::evaluate_range(const Node& node) {
    std::int64_t start, end;
    if (!range_bounds(*node.left, *node.right, node, start, end)) return Value();
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

template Value Interpreter::evaluate_kind<false>(const Node& node);
template Value Interpreter::evaluate_kind<true>(const Node& node);

namespace {

unsigned truth_class(const Value& value) {
    if (value.is(Value::Boolean)) return value.as_boolean() ? TRUTH : 0;
    return NOT_BOOLEAN | (is_truthy(value) ? TRUTH : 0);
}

// The truth of any other comparison, kept out of line so that the callers' cases
// for numbers, floats and strings need no frame.
[[gnu::noinline]] unsigned compared_other(const Value& left, BinaryOp op, const Value& right) {
    return truth_class(apply_other(left, op, right));
}

// A comparison of two operands; numbers, floats and string equality make no value.
template <BinaryOp OP>
[[gnu::always_inline]] inline unsigned compared(const Value& left, const Value& right) {
    // (ValueKind:: rather than Value::, which GCC 12 cannot read in a template here)
    if (left.kind() == right.kind()) {
        if (left.is(ValueKind::Number)) return compare(left.as_number(), OP, right.as_number());
        if (left.is(ValueKind::Float)) return compare(left.as_float(), OP, right.as_float());
        if constexpr (OP == BinaryOp::Eq) {
            if (left.is(ValueKind::String)) return primitive::equal(left.text(), right.text());
        }
        if constexpr (OP == BinaryOp::Ne) {
            if (left.is(ValueKind::String)) return primitive::different(left.text(), right.text());
        }
    }
    return compared_other(left, OP, right);
}

}  // namespace

// The functions a normal run evaluates and tests nodes with; the resolver gives each
// node one of each (evaluator_for, test_for).
struct NodeFunctions {
    static Value evaluate_generic(Interpreter& interpreter, const Node& node) {
        return interpreter.evaluate_kind<false>(node);
    }

    static Value evaluate_constant(Interpreter&, const Node& node) { return node.constant; }
    static Value evaluate_variable(Interpreter& interpreter, const Node& node) {
        return interpreter.peek(node.name);
    }
    static Value evaluate_builtin(Interpreter& interpreter, const Node& node) {
        return interpreter.call_builtin(node);
    }

    // A binary node with its operator fixed: the operator's rule is compiled into it.
    template <BinaryOp OP>
    static Value evaluate_var_var(Interpreter& interpreter, const Node& node) {
        return binary_operation(interpreter.peek(node.name), OP, interpreter.peek(node.other));
    }
    template <BinaryOp OP>
    static Value evaluate_var_const(Interpreter& interpreter, const Node& node) {
        return binary_operation(interpreter.peek(node.name), OP, node.constant);
    }
    template <BinaryOp OP>
    static Value evaluate_const_var(Interpreter& interpreter, const Node& node) {
        return binary_operation(node.constant, OP, interpreter.peek(node.other));
    }
    template <BinaryOp OP>
    static Value evaluate_subtrees(Interpreter& interpreter, const Node& node) {
        Value left = interpreter.evaluate_as<false>(*node.left);
        Value right = interpreter.evaluate_as<false>(*node.right);
        if (interpreter.stopped()) return Value();
        return apply_binary(std::move(left), OP, right);
    }
    // A subtree and a leaf: the leaf is read in place once the subtree has run.
    template <BinaryOp OP>
    static Value evaluate_tree_var(Interpreter& interpreter, const Node& node) {
        Value left = interpreter.evaluate_as<false>(*node.left);
        if (interpreter.stopped()) return Value();
        return apply_binary(std::move(left), OP, interpreter.peek(node.right->name));
    }
    template <BinaryOp OP>
    static Value evaluate_tree_const(Interpreter& interpreter, const Node& node) {
        Value left = interpreter.evaluate_as<false>(*node.left);
        if (interpreter.stopped()) return Value();
        return apply_binary(std::move(left), OP, node.right->constant);
    }
    // A variable and a subtree that runs no user function, so the variable is the same
    // before and after it and is read in place.
    template <BinaryOp OP>
    static Value evaluate_var_tree(Interpreter& interpreter, const Node& node) {
        Value right = interpreter.evaluate_as<false>(*node.right);
        if (interpreter.stopped()) return Value();
        return binary_operation(interpreter.peek(node.left->name), OP, right);
    }

    static Value evaluate_negate(Interpreter& interpreter, const Node& node) {
        return negate(interpreter.evaluate_as<false>(*node.left));
    }
    static Value evaluate_not(Interpreter& interpreter, const Node& node) {
        return Value::boolean(!is_truthy(interpreter.evaluate_as<false>(*node.left)));
    }
    static Value evaluate_path(Interpreter& interpreter, const Node& node) {
        return interpreter.locate<false>(node);
    }
    // A field of a variable (d.k): one look at the record, no frame.
    static Value evaluate_variable_field(Interpreter& interpreter, const Node& node) {
        return field_of(interpreter.peek(node.left->name), node);
    }
    // An element of a variable by a pure index (a[i], a[i + 1]): the index changes no
    // variable, so it is evaluated first and the object is read where it lies after.
    static Value evaluate_variable_element(Interpreter& interpreter, const Node& node) {
        const Node& position = *node.right;
        if (position.kind == NodeKind::Variable)
            return element_of(interpreter.peek(node.left->name), interpreter.peek(position.name));
        Value index = position.evaluator(interpreter, position);
        return element_of(interpreter.peek(node.left->name), index);
    }
    static Value evaluate_element(Interpreter& interpreter, const Node& node) {
        return interpreter.evaluate_index<false>(node);
    }
    static Value evaluate_array_node(Interpreter& interpreter, const Node& node) {
        return interpreter.evaluate_array(node);
    }
    static Value evaluate_dict_node(Interpreter& interpreter, const Node& node) {
        return interpreter.evaluate_dict(node);
    }
    static Value evaluate_range_node(Interpreter& interpreter, const Node& node) {
        return interpreter.evaluate_range(node);
    }

    static unsigned test_value(Interpreter& interpreter, const Node& node) {
        return truth_class(interpreter.evaluate_as<false>(node));
    }

    template <BinaryOp OP>
    static unsigned test_var_var(Interpreter& interpreter, const Node& node) {
        return compared<OP>(interpreter.peek(node.name), interpreter.peek(node.other));
    }
    template <BinaryOp OP>
    static unsigned test_var_const(Interpreter& interpreter, const Node& node) {
        return compared<OP>(interpreter.peek(node.name), node.constant);
    }
    template <BinaryOp OP>
    static unsigned test_const_var(Interpreter& interpreter, const Node& node) {
        return compared<OP>(node.constant, interpreter.peek(node.other));
    }

    // Both operands, left first. A path on the left is read where it lies when the
    // right side runs no user function: nothing can change or free it meanwhile.
    template <BinaryOp OP>
    static unsigned test_subtrees(Interpreter& interpreter, const Node& node) {
        const Node& right_node = *node.right;
        if (node.left->path && right_node.pure) {
            const Value& left = interpreter.locate<false>(*node.left);
            Value right = interpreter.evaluate_as<false>(right_node);
            if (interpreter.stopped()) return NOT_BOOLEAN;
            return compared<OP>(left, right);
        }
        Value left = interpreter.evaluate_as<false>(*node.left);
        Value right = interpreter.evaluate_as<false>(right_node);
        if (interpreter.stopped()) return NOT_BOOLEAN;
        return compared<OP>(left, right);
    }
    // A subtree against a constant: a path is read where it lies.
    template <BinaryOp OP>
    static unsigned test_tree_const(Interpreter& interpreter, const Node& node) {
        if (node.left->path)
            return compared<OP>(interpreter.locate<false>(*node.left), node.right->constant);
        Value left = interpreter.evaluate_as<false>(*node.left);
        if (interpreter.stopped()) return NOT_BOOLEAN;
        return compared<OP>(left, node.right->constant);
    }

    // "and" and "or" give a boolean only for two booleans (null otherwise), so a
    // condition built of them and of comparisons is decided without making the
    // booleans; both sides are still evaluated, left first.
    template <BinaryOp OP>
    static unsigned test_logical(Interpreter& interpreter, const Node& node) {
        unsigned left = node.left->test(interpreter, *node.left);
        unsigned right = node.right->test(interpreter, *node.right);
        if (interpreter.stopped() || ((left | right) & NOT_BOOLEAN) != 0) return NOT_BOOLEAN;
        return OP == BinaryOp::And ? left & right : left | right;
    }
};

namespace {

// One function per operator, from FIRST on: pick(op) for each, with the operator as
// a compile-time constant.
template <typename Function, BinaryOp FIRST, std::size_t COUNT, typename Pick>
constexpr std::array<Function, COUNT> operator_table(Pick pick) {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
        constexpr auto first = static_cast<std::size_t>(FIRST);
        return std::array<Function, COUNT>{
            pick(std::integral_constant<BinaryOp, static_cast<BinaryOp>(first + I)>{})...};
    }
    (std::make_index_sequence<COUNT>{});
}

// The tests of the six comparisons, Eq to Ge.
template <typename Pick>
constexpr std::array<NodeTest, 6> comparison_tests(Pick pick) {
    return operator_table<NodeTest, BinaryOp::Eq, 6>(pick);
}

// The evaluators of every operator.
constexpr auto OPERATOR_COUNT = static_cast<std::size_t>(BinaryOp::None);
template <typename Pick>
constexpr std::array<NodeEvaluator, OPERATOR_COUNT> operator_evaluators(Pick pick) {
    return operator_table<NodeEvaluator, BinaryOp::Add, OPERATOR_COUNT>(pick);
}

}  // namespace

NodeTest Interpreter::test_for(const Node& node) {
    using F = NodeFunctions;
    static constexpr auto VAR_VAR =
        comparison_tests([](auto op) -> NodeTest { return &F::test_var_var<decltype(op)::value>; });
    static constexpr auto VAR_CONST = comparison_tests(
        [](auto op) -> NodeTest { return &F::test_var_const<decltype(op)::value>; });
    static constexpr auto CONST_VAR = comparison_tests(
        [](auto op) -> NodeTest { return &F::test_const_var<decltype(op)::value>; });
    static constexpr auto SUBTREES = comparison_tests(
        [](auto op) -> NodeTest { return &F::test_subtrees<decltype(op)::value>; });
    static constexpr auto TREE_CONST = comparison_tests(
        [](auto op) -> NodeTest { return &F::test_tree_const<decltype(op)::value>; });
    if (node.kind == NodeKind::Binary && node.op == BinaryOp::And)
        return &F::test_logical<BinaryOp::And>;
    if (node.kind == NodeKind::Binary && node.op == BinaryOp::Or)
        return &F::test_logical<BinaryOp::Or>;
    if (!is_comparison(node.op)) return &F::test_value;
    auto op = static_cast<std::size_t>(node.op) - static_cast<std::size_t>(BinaryOp::Eq);
    switch (node.kind) {
        case NodeKind::BinaryVarVar: return VAR_VAR[op];
        case NodeKind::BinaryVarConst: return VAR_CONST[op];
        case NodeKind::BinaryConstVar: return CONST_VAR[op];
        case NodeKind::Binary:
            return node.right->kind == NodeKind::Constant ? TREE_CONST[op] : SUBTREES[op];
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
    return &F::test_value;
}

NodeEvaluator Interpreter::evaluator_for(const Node& node) {
    using F = NodeFunctions;
    static constexpr auto VAR_VAR = operator_evaluators(
        [](auto op) -> NodeEvaluator { return &F::evaluate_var_var<decltype(op)::value>; });
    static constexpr auto VAR_CONST = operator_evaluators(
        [](auto op) -> NodeEvaluator { return &F::evaluate_var_const<decltype(op)::value>; });
    static constexpr auto CONST_VAR = operator_evaluators(
        [](auto op) -> NodeEvaluator { return &F::evaluate_const_var<decltype(op)::value>; });
    static constexpr auto SUBTREES = operator_evaluators(
        [](auto op) -> NodeEvaluator { return &F::evaluate_subtrees<decltype(op)::value>; });
    static constexpr auto TREE_VAR = operator_evaluators(
        [](auto op) -> NodeEvaluator { return &F::evaluate_tree_var<decltype(op)::value>; });
    static constexpr auto TREE_CONST = operator_evaluators(
        [](auto op) -> NodeEvaluator { return &F::evaluate_tree_const<decltype(op)::value>; });
    static constexpr auto VAR_TREE = operator_evaluators(
        [](auto op) -> NodeEvaluator { return &F::evaluate_var_tree<decltype(op)::value>; });
    auto op = static_cast<std::size_t>(node.op);
    bool fixed = node.op != BinaryOp::None;
    switch (node.kind) {
        case NodeKind::Constant: return &F::evaluate_constant;
        case NodeKind::Variable: return &F::evaluate_variable;
        case NodeKind::Builtin: return &F::evaluate_builtin;
        case NodeKind::Call: return &Interpreter::call_node;
        case NodeKind::BinaryVarVar: return fixed ? VAR_VAR[op] : &F::evaluate_generic;
        case NodeKind::BinaryVarConst: return fixed ? VAR_CONST[op] : &F::evaluate_generic;
        case NodeKind::BinaryConstVar: return fixed ? CONST_VAR[op] : &F::evaluate_generic;
        case NodeKind::Binary: {
            if (!fixed) return &F::evaluate_generic;
            NodeKind left = node.left->kind, right = node.right->kind;
            if (right == NodeKind::Variable) return TREE_VAR[op];
            if (right == NodeKind::Constant) return TREE_CONST[op];
            if (left == NodeKind::Variable && node.right->pure) return VAR_TREE[op];
            return SUBTREES[op];
        }
        case NodeKind::Negate: return &F::evaluate_negate;
        case NodeKind::Not: return &F::evaluate_not;
        case NodeKind::Array: return &F::evaluate_array_node;
        case NodeKind::Dict: return &F::evaluate_dict_node;
        case NodeKind::Field:
            if (node.left->kind == NodeKind::Variable) return &F::evaluate_variable_field;
            return node.path ? &F::evaluate_path : &F::evaluate_element;
        case NodeKind::Index:
            if (!node.path) return &F::evaluate_element;
            if (node.left->kind == NodeKind::Variable) return &F::evaluate_variable_element;
            return &F::evaluate_path;
        case NodeKind::Range: return &F::evaluate_range_node;
    }
    return &F::evaluate_generic;
}

}  // namespace quenra
