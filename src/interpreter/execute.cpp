// Statement execution. Statements produce no value; their effects are variable
// writes, the output of the expressions they evaluate, and the signals.
#include <cmath>

#include "interpreter/builtins.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/scalar_ops.hpp"
#include "platform/platform.hpp"

namespace quenra {

void Interpreter::execute(const Stmt& stmt) {
    switch (stmt.kind) {
        case StmtKind::Let: {
            const auto& node = stmt.as<LetStmt>();
            execute_assign(node.name.id, node.value);
            return;
        }
        case StmtKind::Assign: {
            const auto& node = stmt.as<AssignStmt>();
            execute_assign(node.name.id, node.value);
            return;
        }
        case StmtKind::CompoundAssign: execute_compound(stmt.as<CompoundAssignStmt>()); return;
        case StmtKind::FunctionDef: execute_definition(stmt.as<FunctionDefStmt>()); return;
        case StmtKind::If: execute_if(stmt.as<IfStmt>()); return;
        case StmtKind::While: execute_while(stmt.as<WhileStmt>()); return;
        case StmtKind::For: execute_for(stmt.as<ForStmt>()); return;
        case StmtKind::Match: execute_match(stmt.as<MatchStmt>()); return;
        case StmtKind::TryCatch: execute_try(stmt.as<TryCatchStmt>()); return;
        case StmtKind::Return: execute_return(stmt.as<ReturnStmt>()); return;
        case StmtKind::Break: signals_ |= SIGNAL_BREAK; return;
        case StmtKind::Continue: signals_ |= SIGNAL_CONTINUE; return;
        case StmtKind::Global: declare_global(stmt.as<GlobalStmt>().name.id); return;
        case StmtKind::Expression: execute_expression(stmt.as<ExpressionStmt>().expr); return;
    }
}

// Kept out of execute() so that its dispatch needs no frame of its own.
void Interpreter::execute_definition(const FunctionDefStmt& stmt) {
    store(stmt.name.id, Value::function(stmt.function));
}

void Interpreter::execute_expression(const Expr& expr) { evaluate(expr); }

void Interpreter::execute_sequence(const StmtList& statements) {
    for (const Stmt& stmt : statements) {
        execute(stmt);
        if (signals_ != 0) return;
    }
}

// Whether the right-hand side rebuilds the target variable from itself, so that the
// variable can give up its payload for an in-place update (see release_for_update).
bool Interpreter::steals_variable(const CallExpr& call, SymbolId target) const {
    if (call.args.empty() || call.args.front().kind != ExprKind::Variable) return false;
    if (call.args.front().as<VariableExpr>().name.id != target) return false;
    std::int8_t builtin = bindings_[call.name.id].builtin;
    return builtin == BUILTIN_PUSH || builtin == BUILTIN_CONCAT;
}

// The statements' common forms are decided here with as little as possible around
// them: number, float and boolean results are stored in place, everything else
// goes to a function of its own (so this one needs almost no frame).
void Interpreter::execute_assign(SymbolId name, const Expr& value_expr) {
    Scalar scalar = Scalar::none();
    switch (value_expr.kind) {
        case ExprKind::Binary: {
            const auto& binary = value_expr.as<BinaryExpr>();
            if (!may_be_scalar(binary) || !(scalar = scalar_binary(binary)).ok()) {
                assign_binary(name, binary);
                return;
            }
            break;
        }
        case ExprKind::Call: {
            const auto& call = value_expr.as<CallExpr>();
            if (!is_scalar_builtin(call) || !(scalar = scalar_call(call)).ok()) {
                assign_call(name, call);
                return;
            }
            break;
        }
        case ExprKind::Variable:
        case ExprKind::Unary:
            scalar = value_expr.kind == ExprKind::Variable
                         ? Scalar::of(peek(value_expr.as<VariableExpr>().name.id))
                         : scalar_unary(value_expr.as<UnaryExpr>());
            if (!scalar.ok()) {
                assign_value(name, value_expr);
                return;
            }
            break;
        case ExprKind::Number: scalar = Scalar::number(value_expr.as<NumberExpr>().value); break;
        case ExprKind::Float: scalar = Scalar::floating(value_expr.as<FloatExpr>().value); break;
        case ExprKind::Boolean: scalar = Scalar::truth(value_expr.as<BooleanExpr>().value); break;
        case ExprKind::String:
        case ExprKind::Array:
        case ExprKind::Dict:
        case ExprKind::Index:
        case ExprKind::Range: assign_value(name, value_expr); return;
    }
    store_scalar(name, scalar);
}

// Everything the arithmetic path does not take, or has already tried and given up
// on (a unary expression), is evaluated in full here, without trying it again.
void Interpreter::assign_value(SymbolId name, const Expr& value_expr) {
    store(name, value_expr.kind == ExprKind::Unary ? evaluate_node(value_expr)
                                                   : evaluate_fast(value_expr));
}

void Interpreter::assign_call(SymbolId name, const CallExpr& call) {
    if (steals_variable(call, name)) {
        if (bindings_[call.name.id].builtin == BUILTIN_PUSH) {
            assign_push(name, call);
        } else {
            assign_update(name, call);
        }
        return;
    }
    store(name, evaluate_call(call));  // the scalar path has been tried
}

void Interpreter::assign_binary(SymbolId name, const BinaryExpr& binary) {
    // name = name + x: read, evaluate x, then let the variable go before joining.
    if (binary.op.kind == TokenKind::Plus && binary.left->kind == ExprKind::Variable &&
        binary.left->as<VariableExpr>().name.id == name && peek(name).is(Value::String)) {
        Value left = lookup(name);
        Value right = evaluate_fast(*binary.right);
        release_for_update(name);
        store(name, apply_binary(std::move(left), TokenKind::Plus, right));
        return;
    }
    store(name, evaluate_binary(binary));  // the scalar path has been tried on the whole
}

void Interpreter::assign_update(SymbolId name, const CallExpr& call) {
    const CallExpr* saved = update_call_;
    update_call_ = &call;
    Value value = evaluate_call(call);
    update_call_ = saved;
    store(name, std::move(value));
}

// name = push(name, item), the way a list grows: exactly push's steps (the item
// is evaluated only when the variable holds an array; the variable still holds it
// while the item is evaluated), without the general call around them.
void Interpreter::assign_push(SymbolId name, const CallExpr& call) {
    Value result;
    if (call.args.size() >= 2 && peek(name).is(Value::Array)) {
        Value array = lookup(name);
        Value item = evaluate(call.args[1]);
        if (!stopped()) {
            release_for_update(name);
            array.mutable_items().push_back(std::move(item));
            result = std::move(array);
        }
    }
    store(name, std::move(result));
}

namespace {

BinaryOp compound_op(TokenKind kind) {
    if (kind == TokenKind::PlusAssign) return BinaryOp::Add;
    if (kind == TokenKind::MinusAssign) return BinaryOp::Sub;
    if (kind == TokenKind::StarAssign) return BinaryOp::Mul;
    if (kind == TokenKind::SlashAssign) return BinaryOp::Div;
    return BinaryOp::None;
}

}  // namespace

void Interpreter::execute_compound(const CompoundAssignStmt& stmt) {
    // Numbers and floats in place of the general path: the right-hand side's scalar
    // path has no effects, so reading the variable after it is the same as before.
    const Value& current = peek(stmt.name.id);
    if (current.is(Value::Number) || current.is(Value::Float)) {
        Scalar operand = scalar_operand(stmt.value);
        if (operand.kind == current.kind()) {
            Scalar result =
                combine_scalars(Scalar::of(current), compound_op(stmt.op.kind), operand);
            if (result.ok()) {
                store_scalar(stmt.name.id, result);
                return;
            }
        }
    }
    compound_general(stmt);
}

void Interpreter::compound_general(const CompoundAssignStmt& stmt) {
    Value current = lookup(stmt.name.id);  // read before the right-hand side runs
    Value operand = evaluate_fast(stmt.value);
    TokenKind op = TokenKind::Eof;  // no operation: any other kind yields null
    if (stmt.op.kind == TokenKind::PlusAssign) op = TokenKind::Plus;
    if (stmt.op.kind == TokenKind::MinusAssign) op = TokenKind::Minus;
    if (stmt.op.kind == TokenKind::StarAssign) op = TokenKind::Star;
    if (stmt.op.kind == TokenKind::SlashAssign) op = TokenKind::Slash;
    if (current.is(Value::Number) && operand.is(Value::Number)) {
        store(stmt.name.id, apply_numbers(current.as_number(), op, operand.as_number()));
        return;
    }
    release_for_update(stmt.name.id);
    store(stmt.name.id, apply_binary(std::move(current), op, operand));
}

void Interpreter::execute_if(const IfStmt& stmt) {
    if (condition_holds(stmt.condition)) {
        execute_sequence(stmt.then_branch);
    } else if (stmt.else_branch) {
        execute_sequence(*stmt.else_branch);
    }
}

// After a loop body has run: true when the loop must end (a return, a break or a
// fatal stop is pending; a break is consumed here); otherwise a pending continue is
// consumed and the loop goes on.
bool Interpreter::finish_iteration() {
    if (signals_ & (SIGNAL_RETURN | SIGNAL_BREAK | SIGNAL_FATAL)) {
        signals_ &= static_cast<std::uint8_t>(~SIGNAL_BREAK);
        return true;
    }
    signals_ &= static_cast<std::uint8_t>(~SIGNAL_CONTINUE);
    return check_interrupt();
}

void Interpreter::execute_while(const WhileStmt& stmt) {
    for (;;) {
        if (!condition_holds(stmt.condition) || stopped()) {
            signals_ &= static_cast<std::uint8_t>(~SIGNAL_BREAK);
            return;
        }
        execute_sequence(stmt.body);
        if (finish_iteration()) return;
    }
}

void Interpreter::execute_for(const ForStmt& stmt) {
    if (stmt.iterable.kind == ExprKind::Range) {
        execute_for_range(stmt, stmt.iterable.as<RangeExpr>());
        return;
    }
    Value iterable = evaluate(stmt.iterable);
    if (!iterable.is(Value::Array)) return;  // nothing else is iterated, and no flag changes
    // `iterable` keeps its payload alive and unchanged whatever the body assigns.
    const std::vector<Value>& items = iterable.items();
    for (const Value& item : items) {
        Scalar scalar = Scalar::of(item);
        if (scalar.ok()) {
            store_scalar(stmt.variable.id, scalar);
        } else {
            store(stmt.variable.id, Value(item));
        }
        execute_sequence(stmt.body);
        if (finish_iteration()) break;
    }
    signals_ &= static_cast<std::uint8_t>(~SIGNAL_BREAK);
}

// A for loop over a range counts without building the array; the bounds are
// evaluated once, start first, exactly as the range value would be.
void Interpreter::execute_for_range(const ForStmt& stmt, const RangeExpr& range) {
    Value start_value = evaluate(*range.start);
    Value end_value = evaluate(*range.end);
    std::int64_t start, end;
    if (!to_integer(start_value, start) || !to_integer(end_value, end)) return;
    for (std::int64_t i = start; i < end; ++i) {
        store_scalar(stmt.variable.id, Scalar::number(i));
        execute_sequence(stmt.body);
        if (finish_iteration()) break;
    }
    signals_ &= static_cast<std::uint8_t>(~SIGNAL_BREAK);
}

namespace {

// The match comparison: same kind only, floats within the tolerance.
bool matches(const Value& subject, const Value& pattern) {
    if (subject.kind() != pattern.kind()) return false;
    switch (subject.kind()) {
        case Value::Number: return subject.as_number() == pattern.as_number();
        case Value::Float:
            return std::fabs(subject.as_float() - pattern.as_float()) < FLOAT_TOLERANCE;
        case Value::String: return subject.text() == pattern.text();
        case Value::Boolean: return subject.as_boolean() == pattern.as_boolean();
        case Value::Null: return true;
        case Value::Array:
        case Value::Dict:
        case Value::Function:
        case Value::Rect:
        case Value::Color:
        case Value::Circle:
        case Value::Triangle:
        case Value::Error: return false;
    }
    return false;
}

}  // namespace

void Interpreter::execute_match(const MatchStmt& stmt) {
    Value subject = evaluate(stmt.subject);
    for (const MatchArm& arm : stmt.arms) {
        if (stopped()) return;
        if (arm.pattern) {
            Value pattern = evaluate(*arm.pattern);
            if (!matches(subject, pattern)) continue;
        }
        execute_sequence(arm.body);
        return;
    }
}

void Interpreter::execute_try(const TryCatchStmt& stmt) {
    execute_sequence(stmt.try_body);
    if (!(signals_ & SIGNAL_RETURN) || !pending_return_.is(Value::Error)) return;
    std::string message(pending_return_.error_message());
    pending_return_ = Value();
    signals_ &= static_cast<std::uint8_t>(~SIGNAL_RETURN);
    store(stmt.error_name.id, Value::string(std::move(message)));
    execute_sequence(stmt.catch_body);
}

void Interpreter::execute_return(const ReturnStmt& stmt) {
    Value value = stmt.value ? evaluate_fast(*stmt.value) : Value();
    pending_return_ = std::move(value);
    signals_ |= SIGNAL_RETURN;
}

}  // namespace quenra
