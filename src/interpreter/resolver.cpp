#include "interpreter/resolver.hpp"

#include "interpreter/builtins.hpp"
#include "interpreter/interpreter.hpp"

namespace quenra {

namespace {

std::unique_ptr<Node> boxed(Node node) { return std::make_unique<Node>(std::move(node)); }

Node constant(Value value) {
    Node node;
    node.kind = NodeKind::Constant;
    node.constant = std::move(value);
    return node;
}

bool reads(const Node& node, SymbolId name) {
    return node.kind == NodeKind::Variable && node.name == name;
}

BinaryOp compound_op(TokenKind kind) {
    if (kind == TokenKind::PlusAssign) return BinaryOp::Add;
    if (kind == TokenKind::MinusAssign) return BinaryOp::Sub;
    if (kind == TokenKind::StarAssign) return BinaryOp::Mul;
    if (kind == TokenKind::SlashAssign) return BinaryOp::Div;
    return BinaryOp::None;  // yields null
}

Step simple(StepKind kind, SymbolId name = 0) {
    Step step;
    step.kind = kind;
    step.name = name;
    return step;
}

Step definition(const FunctionDefStmt& stmt) {
    Step step = simple(StepKind::Define, stmt.name.id);
    auto function = std::make_shared<UserFunction>();
    function->source = stmt.function;
    for (const Name& param : stmt.function->params) function->params.push_back(param.id);
    step.function = std::move(function);
    return step;
}

}  // namespace

// Operands that are variables or constants are read straight from the binary node;
// anything else is a child evaluated on its own.
Node Resolver::binary(const BinaryExpr& expr) {
    Node left = expression(*expr.left);
    Node right = expression(*expr.right);
    Node node;
    node.op = binary_op(expr.op.kind);
    bool left_variable = left.kind == NodeKind::Variable;
    bool right_variable = right.kind == NodeKind::Variable;
    if (left_variable && right_variable) {
        node.kind = NodeKind::BinaryVarVar;
        node.name = left.name;
        node.other = right.name;
    } else if (left_variable && right.kind == NodeKind::Constant) {
        node.kind = NodeKind::BinaryVarConst;
        node.name = left.name;
        node.constant = std::move(right.constant);
    } else if (left.kind == NodeKind::Constant && right_variable) {
        node.kind = NodeKind::BinaryConstVar;
        node.constant = std::move(left.constant);
        node.other = right.name;
    } else {
        node.kind = NodeKind::Binary;
        node.pure = left.pure && right.pure;
        node.left = boxed(std::move(left));
        node.right = boxed(std::move(right));
    }
    return node;
}

// A unary operator over a constant is the constant it yields (neither operator has
// an effect of its own). Minus is folded only over a number or a float: over any
// other constant it stays a node, so that --warn can say where it gives null.
Node Resolver::unary(const UnaryExpr& expr) {
    Node operand = expression(*expr.operand);
    bool minus = expr.op.kind == TokenKind::Minus;
    if (operand.kind == NodeKind::Constant &&
        (!minus || operand.constant.is(Value::Number) || operand.constant.is(Value::Float))) {
        return constant(minus ? negate(operand.constant)
                              : Value::boolean(!is_truthy(operand.constant)));
    }
    Node node;
    node.kind = minus ? NodeKind::Negate : NodeKind::Not;
    node.pure = operand.pure;
    node.left = boxed(std::move(operand));
    return node;
}

void Resolver::add_children(Node& node, const std::vector<Expr>& exprs) {
    node.args.reserve(exprs.size());
    for (const Expr& expr : exprs) {
        node.args.push_back(expression(expr));
        node.pure = node.pure && node.args.back().pure;
    }
}

// A built-in name is settled here once; a built-in given too few arguments yields
// null without evaluating anything, so it becomes that constant.
Node Resolver::call(const CallExpr& expr) {
    BuiltinId builtin = find_builtin(expr.name.text);
    if (builtin != BuiltinId::None && expr.args.size() < builtin_entry(builtin).min_args)
        return constant(Value());
    Node node;
    add_children(node, expr.args);
    if (builtin != BuiltinId::None) {
        node.kind = NodeKind::Builtin;
        node.builtin = builtin;
    } else {
        node.kind = NodeKind::Call;
        node.name = expr.name.id;
        node.pure = false;
    }
    return node;
}

Node Resolver::dict(const DictExpr& expr) {
    Node node;
    node.kind = NodeKind::Dict;
    const auto& entries = expr.entries;
    node.args.reserve(entries.size());
    node.keys.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (std::size_t j = 0; j < i && node.unique_keys; ++j)
            node.unique_keys = entries[j].key.id != entries[i].key.id;
        node.keys.push_back(text(entries[i].key));
        node.args.push_back(expression(entries[i].value));
        node.pure = node.pure && node.args.back().pure;
    }
    return node;
}

// A key that is a string literal (every member access) is a field read; a path of
// variables, fields and elements indexed by pure expressions is read in place.
Node Resolver::index(const IndexExpr& expr) {
    Node object = expression(*expr.object);
    Node node;
    if (expr.index->kind == ExprKind::String) {
        node.kind = NodeKind::Field;
        node.constant = text(expr.index->as<StringExpr>().value);
        node.pure = object.pure;
        node.path = object.path;
    } else {
        Node position = expression(*expr.index);
        node.kind = NodeKind::Index;
        node.pure = object.pure && position.pure;
        node.path = object.path && position.pure;
        node.right = boxed(std::move(position));
    }
    node.left = boxed(std::move(object));
    return node;
}

Node Resolver::pair(NodeKind kind, const Expr& first, const Expr& second) {
    Node node;
    node.kind = kind;
    node.left = boxed(expression(first));
    node.right = boxed(expression(second));
    node.pure = node.left->pure && node.right->pure;
    return node;
}

// name = value, with the forms that rebuild the variable from itself singled out:
// push(name, x) and concat(name, ...) can then grow its payload in place, name + x
// can join a string in place, and name op x can update a number where it lies.
Step Resolver::assignment(const Name& name, const Expr& value) {
    Step step;
    step.name = name.id;
    step.value = boxed(expression(value));
    const Node& node = *step.value;
    step.kind = StepKind::Assign;
    if (node.kind == NodeKind::Builtin && !node.args.empty() && reads(node.args.front(), name.id)) {
        if (node.builtin == BuiltinId::Push) step.kind = StepKind::AssignPush;
        if (node.builtin == BuiltinId::Concat) step.kind = StepKind::AssignConcat;
    }
    bool arithmetic = node.op >= BinaryOp::Add && node.op <= BinaryOp::Pow;
    bool from_itself = node.kind == NodeKind::BinaryVarVar || node.kind == NodeKind::BinaryVarConst
                           ? node.name == name.id
                           : node.kind == NodeKind::Binary && reads(*node.left, name.id);
    if (arithmetic && from_itself) step.kind = StepKind::AssignUpdate;
    return step;
}

Step Resolver::conditional(const IfStmt& stmt) {
    Step step = simple(StepKind::If);
    step.value = boxed(expression(stmt.condition));
    step.body = block(stmt.then_branch);
    step.has_else = stmt.else_branch.has_value();
    if (stmt.else_branch) step.alternative = block(*stmt.else_branch);
    return step;
}

// A for loop over a range literal counts without building the array.
Step Resolver::loop_for(const ForStmt& stmt) {
    Step step = simple(StepKind::For, stmt.variable.id);
    if (stmt.iterable.kind == ExprKind::Range) {
        const auto& range = stmt.iterable.as<RangeExpr>();
        step.kind = StepKind::ForRange;
        step.value = boxed(expression(*range.start));
        step.end = boxed(expression(*range.end));
    } else {
        step.value = boxed(expression(stmt.iterable));
    }
    step.body = block(stmt.body);
    return step;
}

Step Resolver::match(const MatchStmt& stmt) {
    Step step = simple(StepKind::Match);
    step.value = boxed(expression(stmt.subject));
    step.arms.reserve(stmt.arms.size());
    for (const MatchArm& arm : stmt.arms) {
        Arm resolved;
        if (arm.pattern) resolved.pattern = boxed(expression(*arm.pattern));
        resolved.body = block(arm.body);
        step.arms.push_back(std::move(resolved));
    }
    return step;
}

Node Resolver::expression_node(const Expr& expr) {
    switch (expr.kind) {
        case ExprKind::Number: return constant(Value::number(expr.as<NumberExpr>().value));
        case ExprKind::Float: return constant(Value::floating(expr.as<FloatExpr>().value));
        case ExprKind::String: return constant(text(expr.as<StringExpr>().value));
        case ExprKind::Boolean: return constant(Value::boolean(expr.as<BooleanExpr>().value));
        case ExprKind::Variable: {
            Node node;
            node.kind = NodeKind::Variable;
            node.name = expr.as<VariableExpr>().name.id;
            node.path = true;
            return node;
        }
        case ExprKind::Binary: return binary(expr.as<BinaryExpr>());
        case ExprKind::Unary: return unary(expr.as<UnaryExpr>());
        case ExprKind::Call: return call(expr.as<CallExpr>());
        case ExprKind::Array: {
            Node node;
            node.kind = NodeKind::Array;
            add_children(node, expr.as<ArrayExpr>().elements);
            return node;
        }
        case ExprKind::Dict: return dict(expr.as<DictExpr>());
        case ExprKind::Index: return index(expr.as<IndexExpr>());
        case ExprKind::Range: {
            const auto& range = expr.as<RangeExpr>();
            return pair(NodeKind::Range, *range.start, *range.end);
        }
    }
    return constant(Value());
}

Node Resolver::expression(const Expr& expr) {
    Node node = expression_node(expr);
    node.offset = expr.offset;
    node.evaluator = Interpreter::evaluator_for(node);
    node.test = Interpreter::test_for(node);
    return node;
}

Step Resolver::statement(const Stmt& stmt) {
    switch (stmt.kind) {
        case StmtKind::Let: {
            const auto& node = stmt.as<LetStmt>();
            return assignment(node.name, node.value);
        }
        case StmtKind::Assign: {
            const auto& node = stmt.as<AssignStmt>();
            return assignment(node.name, node.value);
        }
        case StmtKind::CompoundAssign: {
            const auto& node = stmt.as<CompoundAssignStmt>();
            Step step = simple(StepKind::Compound, node.name.id);
            step.op = compound_op(node.op.kind);
            step.value = boxed(expression(node.value));
            return step;
        }
        case StmtKind::FunctionDef: return definition(stmt.as<FunctionDefStmt>());
        case StmtKind::If: return conditional(stmt.as<IfStmt>());
        case StmtKind::While: {
            const auto& node = stmt.as<WhileStmt>();
            Step step = simple(StepKind::While);
            step.value = boxed(expression(node.condition));
            step.body = block(node.body);
            return step;
        }
        case StmtKind::For: return loop_for(stmt.as<ForStmt>());
        case StmtKind::Match: return match(stmt.as<MatchStmt>());
        case StmtKind::TryCatch: {
            const auto& node = stmt.as<TryCatchStmt>();
            Step step = simple(StepKind::Try, node.error_name.id);
            step.body = block(node.try_body);
            step.alternative = block(node.catch_body);
            return step;
        }
        case StmtKind::Return: {
            const auto& node = stmt.as<ReturnStmt>();
            Step step = simple(StepKind::Return);
            if (node.value) step.value = boxed(expression(*node.value));
            return step;
        }
        case StmtKind::Break: return simple(StepKind::Break);
        case StmtKind::Continue: return simple(StepKind::Continue);
        case StmtKind::Global: return simple(StepKind::Global, stmt.as<GlobalStmt>().name.id);
        case StmtKind::Expression: {
            Step step = simple(StepKind::Expression);
            step.value = boxed(expression(stmt.as<ExpressionStmt>().expr));
            return step;
        }
    }
    return simple(StepKind::Break);
}

// One string value per name, so that a dict built from a literal and a field read
// by the same name share the key's payload, which the dict's lookups compare first.
const Value& Resolver::text(const Name& name) {
    if (name.id >= strings_.size()) strings_.resize(name.id + 1);
    Value& string = strings_[name.id];
    if (!string.is(Value::String)) string = Value::string(name.text);
    return string;
}

Block Resolver::block(const StmtList& statements) {
    Block result;
    result.reserve(statements.size());
    for (const Stmt& stmt : statements) result.push_back(statement(stmt));
    return result;
}

}  // namespace quenra
