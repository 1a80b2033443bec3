// Statement execution. Statements produce no value; their effects are variable
// writes, the output of the expressions they evaluate, and the signals.

#include "interpreter/interpreter.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/resolver.hpp"

namespace quenra {

Block Interpreter::resolve(const StmtList& statements) {
    prepare();
    return Resolver(symbol_strings_).block(statements);
}

void Interpreter::execute(const Stmt& stmt) {
    prepare();
    Block& code = *kept_.emplace_back(std::make_unique<Block>());
    code.push_back(Resolver(symbol_strings_).statement(stmt));
    run(code.front());
}

void Interpreter::execute_sequence(const StmtList& statements) {
    run_block(*kept_.emplace_back(std::make_unique<Block>(resolve(statements))));
}

void Interpreter::run(const Step& step) {
    switch (step.kind) {
        case StepKind::Assign: run_assign(step); return;
        case StepKind::AssignPush: run_assign_push(step); return;
        case StepKind::AssignUpdate: run_assign_update(step); return;
        case StepKind::AssignConcat: run_assign_concat(step); return;
        case StepKind::Compound: run_compound(step); return;
        case StepKind::Define: run_define(step); return;
        case StepKind::If: run_if(step); return;
        case StepKind::While: run_while(step); return;
        case StepKind::For: run_for(step); return;
        case StepKind::ForRange: run_for_range(step); return;
        case StepKind::Match: run_match(step); return;
        case StepKind::Try: run_try(step); return;
        case StepKind::Return: run_return(step); return;
        case StepKind::Break: signals_ |= SIGNAL_BREAK; return;
        case StepKind::Continue: signals_ |= SIGNAL_CONTINUE; return;
        case StepKind::Global: declare_global(step.name); return;
        case StepKind::Expression: run_expression(step); return;
    }
}

// Each kind of statement is a function of its own, so that dispatching one costs
// no more than a jump: the switch above keeps nothing in registers across it.
void Interpreter::run_assign(const Step& step) { store(step.name, evaluate(*step.value)); }

void Interpreter::run_define(const Step& step) { store(step.name, Value::function(step.function)); }

void Interpreter::run_expression(const Step& step) { evaluate(*step.value); }

// name = push(name, item), the way a list grows: exactly push's steps (the item
// is evaluated only when the variable holds an array; the variable still holds it
// while the item is evaluated), then the variable lets go of its reference so the
// array grows in place.
void Interpreter::run_assign_push(const Step& step) {
    const Node& call = *step.value;
    // When the item runs no user function, the variable cannot change meanwhile, so
    // the array grows where the variable holds it: the same steps without the copy.
    if (call.args[1].pure && peek(step.name).is(Value::Array) && writes_in_place(step.name)) {
        Value item = evaluate(call.args[1]);
        if (stopped()) return;
        bindings_[step.name].value.mutable_items().push_back(std::move(item));
        return;
    }
    Value result;
    if (peek(step.name).is(Value::Array)) {
        Value array = lookup(step.name);
        Value item = evaluate(call.args[1]);
        if (stopped()) return;
        release_for_update(step.name);
        array.mutable_items().push_back(std::move(item));
        result = std::move(array);
    }
    store(step.name, std::move(result));
}

void Interpreter::append_in_place(const Step& step) {
    const Node& binary = *step.value;
    Value left = lookup(step.name);
    // A copy: releasing the variable below must not change the operand (s = s + s).
    Value right = with_right_operand(
        binary, [](auto&& operand) { return Value(std::forward<decltype(operand)>(operand)); });
    if (stopped()) return;
    release_for_update(step.name);
    if (warnings_ != nullptr) [[unlikely]] {
        store(step.name, apply_checked(binary, std::move(left), right));
        return;
    }
    store(step.name, apply_binary(std::move(left), BinaryOp::Add, right));
}

// name = concat(name, ...): concat lets the variable go once every argument is known.
void Interpreter::run_assign_concat(const Step& step) {
    const Node* saved = update_call_;
    update_call_ = step.value.get();
    Value value = evaluate(*step.value);
    update_call_ = saved;
    store(step.name, std::move(value));
}

// The variable an update of `step.name` by an operand that runs no user function
// (the caller has checked) can change where it lies: a number or float in the
// binding a read finds. Null when the update must take the general path (another
// kind, another binding, or the --warn checks); nothing is evaluated then. The
// operand resolves no code either, so no record is added and the cell stays put.
[[gnu::always_inline]] inline Value* Interpreter::number_in_place(const Step& step) {
    if (!writes_in_place(step.name) || warnings_ != nullptr) return nullptr;
    Value& cell = bindings_[step.name].value;
    return cell.is(ValueKind::Number) || cell.is(ValueKind::Float) ? &cell : nullptr;
}

namespace {

// A number or float holds nothing to release, so the result is written over it.
[[gnu::always_inline]] inline void update_cell(Value& cell, BinaryOp op, const Value& right) {
    cell.replace_moved_from(binary_operation(cell, op, right));
}

}  // namespace

// name = name op x. On a number or float, with an operand that runs no user
// function, the variable is updated where it lies, as a compound assignment is; for
// name + x on a string, the variable lets go of its text once x is known, so the
// text grows in place; anything else is a plain assignment.
void Interpreter::run_assign_update(const Step& step) {
    const Node& binary = *step.value;
    if (binary.op == BinaryOp::Add && peek(step.name).is(Value::String)) {
        append_in_place(step);
        return;
    }
    Value* cell = binary.pure ? number_in_place(step) : nullptr;
    if (cell == nullptr) {
        run_assign(step);
        return;
    }
    // The operator is compiled in for the most common one.
    if (binary.op == BinaryOp::Add) {
        with_right_operand(
            binary, [cell](const Value& right) { update_cell(*cell, BinaryOp::Add, right); });
        return;
    }
    with_right_operand(
        binary, [cell, &binary](const Value& right) { update_cell(*cell, binary.op, right); });
}

void Interpreter::run_compound(const Step& step) {
    const Node& operand = *step.value;
    Value* cell = operand.pure ? number_in_place(step) : nullptr;
    if (cell == nullptr) {
        run_compound_general(step);
        return;
    }
    if (operand.kind == NodeKind::Constant) {
        update_cell(*cell, step.op, operand.constant);
    } else {
        update_cell(*cell, step.op, evaluate(operand));
    }
}

// The variable is read before the right-hand side runs.
void Interpreter::run_compound_general(const Step& step) {
    Value current = lookup(step.name);
    Value operand = evaluate(*step.value);
    if (current.is(Value::String)) release_for_update(step.name);
    if (warnings_ != nullptr) [[unlikely]] {
        store(step.name, compound_checked(step, std::move(current), operand));
        return;
    }
    store(step.name, apply_binary(std::move(current), step.op, operand));
}

Value Interpreter::compound_checked(const Step& step, Value current, const Value& operand) {
    ValueKind left_kind = current.kind();
    Value result = apply_binary(std::move(current), step.op, operand);
    check_binary(*step.value, step.op, left_kind, operand.kind(), result, step.value->offset,
                 false);
    return result;
}

void Interpreter::run_if(const Step& step) {
    if (holds(*step.value)) {
        run_block(step.body);
    } else if (step.has_else) {
        run_block(step.alternative);
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

void Interpreter::run_while(const Step& step) {
    for (;;) {
        if (!holds(*step.value) || stopped()) {
            signals_ &= static_cast<std::uint8_t>(~SIGNAL_BREAK);
            return;
        }
        run_block(step.body);
        if (finish_iteration()) {
            if (warnings_ != nullptr && stopped()) [[unlikely]]
                note_stop(step.value->offset);
            return;
        }
    }
}

void Interpreter::run_for(const Step& step) {
    Value iterable = evaluate(*step.value);
    if (!iterable.is(Value::Array)) {  // nothing else is iterated, and no flag changes
        if (warnings_ != nullptr) [[unlikely]]
            warn_iterable(step, iterable);
        return;
    }
    // `iterable` keeps its payload alive and unchanged whatever the body assigns.
    for (const Value& item : iterable.items()) {
        store(step.name, Value(item));
        run_block(step.body);
        if (finish_iteration()) break;
    }
    if (warnings_ != nullptr && stopped()) [[unlikely]]
        note_stop(step.value->offset);
    signals_ &= static_cast<std::uint8_t>(~SIGNAL_BREAK);
}

// A for loop over a range counts without building the array; the bounds are
// evaluated once, start first, exactly as the range value would be.
void Interpreter::run_for_range(const Step& step) {
    std::int64_t start, end;
    if (!range_bounds(*step.value, *step.end, *step.value, start, end)) return;
    for (std::int64_t i = start; i < end; ++i) {
        // After the first step the counter is written where it lies.
        if (writes_in_place(step.name)) {
            bindings_[step.name].value = Value::number(i);
        } else {
            store(step.name, Value::number(i));
        }
        run_block(step.body);
        if (finish_iteration()) break;
    }
    if (warnings_ != nullptr && stopped()) [[unlikely]]
        note_stop(step.value->offset);
    signals_ &= static_cast<std::uint8_t>(~SIGNAL_BREAK);
}

namespace {

// The match comparison is ==, within one kind: numbers, floats (within the
// tolerance), strings and booleans compare as == does; null matches null; no other
// kind matches anything (== yields null for them).
bool matches(const Value& subject, const Value& pattern) {
    if (subject.kind() != pattern.kind()) return false;
    if (subject.is(Value::Null)) return true;
    Value equal = apply_other_in_place(subject, BinaryOp::Eq, pattern);
    return equal.is(Value::Boolean) && equal.as_boolean();
}

}  // namespace

void Interpreter::run_match(const Step& step) {
    Value subject = evaluate(*step.value);
    for (const Arm& arm : step.arms) {
        if (stopped()) return;
        if (arm.pattern) {
            Value pattern = evaluate(*arm.pattern);
            if (!matches(subject, pattern)) continue;
        }
        run_block(arm.body);
        return;
    }
}

void Interpreter::run_try(const Step& step) {
    run_block(step.body);
    if (!(signals_ & SIGNAL_RETURN) || !pending_return_.is(Value::Error)) return;
    std::string message(pending_return_.error_message());
    pending_return_ = Value();
    signals_ &= static_cast<std::uint8_t>(~SIGNAL_RETURN);
    store(step.name, Value::string(std::move(message)));
    run_block(step.alternative);
}

void Interpreter::run_return(const Step& step) {
    Value value = step.value ? evaluate(*step.value) : Value();
    pending_return_ = std::move(value);
    signals_ |= SIGNAL_RETURN;
}

}  // namespace quenra
