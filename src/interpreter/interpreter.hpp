#pragma once
// The interpreter: executes syntax trees directly, by walking them.
//
// Variables follow the language's dynamic rule: a read finds the innermost active
// call's scope that holds the name, then the globals; a write goes only to the
// innermost scope (or the globals at top level, or for a name declared global).
// The rule is implemented by shallow binding, so that reads and writes cost O(1)
// whatever the call depth: every name has one `Binding` record (indexed by its
// symbol id) holding its global value and the index of its innermost local slot;
// a call pushes slots for the names it binds and pops them when it returns.
//
// Control flow travels as signals held here (a pending return, break, continue,
// and a fatal stop), tested after every statement; nothing is thrown through the
// evaluator for the language's own outcomes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "interpreter/value.hpp"
#include "parser/ast.hpp"
#include "parser/symbols.hpp"

namespace quenra {

// Calls deeper than this stop the run with "Error: maximum recursion depth exceeded".
inline constexpr std::uint32_t MAX_CALL_DEPTH = 1'000'000;
// Loop steps and calls between two looks at the interrupt flag.
inline constexpr std::uint32_t INTERRUPT_POLL_INTERVAL = 1024;

// Why a run stopped early.
enum class Fatal : std::uint8_t {
    None,
    RecursionDepth,  // "Error: maximum recursion depth exceeded"
    OutOfMemory,     // "Error: out of memory"
    Interrupted,     // "Error: interrupted"
};
std::string_view fatal_message(Fatal fatal);

struct GraphicsState;
struct GraphicsStateDeleter {
    void operator()(GraphicsState* state) const;
};

class Interpreter {
public:
    explicit Interpreter(SymbolTable& symbols);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // Must be called after parsing new code and before executing it, so that every
    // symbol the code uses has its record.
    void prepare();

    void execute(const Stmt& stmt);
    void execute_sequence(const StmtList& statements);
    // Evaluates an expression: a number, float or boolean expression over literals
    // and variables first through the scalar path, anything else by walking it.
    Value evaluate(const Expr& expr) {
        if (expr.kind == ExprKind::Binary) {
            if (may_be_scalar(expr.as<BinaryExpr>())) {
                Scalar scalar = scalar_binary(expr.as<BinaryExpr>());
                if (scalar.ok()) return scalar.value();
            }
        } else if (expr.kind == ExprKind::Unary) {
            Scalar scalar = scalar_unary(expr.as<UnaryExpr>());
            if (scalar.ok()) return scalar.value();
        } else if (expr.kind == ExprKind::Call) {
            const auto& call = expr.as<CallExpr>();
            if (is_scalar_builtin(call)) {
                Scalar scalar = scalar_call(call);
                if (scalar.ok()) return scalar.value();
            }
            return evaluate_call(call);
        }
        return evaluate_node(expr);
    }
    // The same, with literals and variables read here rather than in a call.
    Value evaluate_fast(const Expr& expr) { return leaf_first<true>(expr); }
    // Literals and variables read inline; anything else evaluated whole (with the
    // scalar path first when `TRY_SCALAR`).
    template <bool TRY_SCALAR>
    Value leaf_first(const Expr& expr) {
        switch (expr.kind) {
            case ExprKind::Number: return Value::number(expr.as<NumberExpr>().value);
            case ExprKind::Float: return Value::floating(expr.as<FloatExpr>().value);
            case ExprKind::Variable: return peek(expr.as<VariableExpr>().name.id);
            case ExprKind::String: return symbol_string(expr.as<StringExpr>().value.id);
            case ExprKind::Call:
                if constexpr (!TRY_SCALAR) return evaluate_call(expr.as<CallExpr>());
                break;
            case ExprKind::Boolean:
            case ExprKind::Binary:
            case ExprKind::Unary:
            case ExprKind::Array:
            case ExprKind::Dict:
            case ExprKind::Index:
            case ExprKind::Range: break;
        }
        if constexpr (TRY_SCALAR) return evaluate(expr);
        return evaluate_node(expr);
    }

    Value lookup(SymbolId name) const { return peek(name); }
    // The variable's value in place (valid until the next store).
    const Value& peek(SymbolId name) const { return bindings_[name].value; }
    [[gnu::always_inline]] void store(SymbolId name, Value&& value) {
        Binding& binding = bindings_[name];
        if (depth_ == 0 || binding.declared_global) {
            global_cell(binding) = std::move(value);
        } else if (binding.owner == depth_) {
            binding.value = std::move(value);
        } else {
            bind_local(name, std::move(value));
        }
    }
    void declare_global(SymbolId name);
    // Runs a user function on `count` evaluated arguments (moved from; the caller
    // releases them) and returns its result.
    Value call_user_function(const FunctionBody& function, Value* arguments, std::size_t count);

    // A number, float or boolean computed without making values, for expressions
    // of literals, variables and operators whose every step stays within one of
    // those kinds. Evaluating such an expression has no effects, so when the path
    // gives up (an operand of another kind, mixed kinds, a division by zero, whose
    // message the full evaluation writes) the expression is simply evaluated again.
    struct Scalar {
        ValueKind kind;  // Number, Float or Boolean; Null when the path gave up
        union {
            std::int64_t integer;
            double real;
            bool boolean;
        };
        static Scalar none() { return Scalar{ValueKind::Null, {0}}; }
        static Scalar number(std::int64_t v) { return Scalar{ValueKind::Number, {v}}; }
        static Scalar floating(double v) {
            Scalar s{ValueKind::Float, {0}};
            s.real = v;
            return s;
        }
        static Scalar truth(bool v) {
            Scalar s{ValueKind::Boolean, {0}};
            s.boolean = v;
            return s;
        }
        // A value of a scalar kind as a scalar; any other value gives up.
        static Scalar of(const Value& value) {
            // The three kinds keep their payload in the value's word, as a scalar does.
            constexpr std::uint32_t SCALAR_KINDS = (1u << static_cast<int>(ValueKind::Number)) |
                                                   (1u << static_cast<int>(ValueKind::Float)) |
                                                   (1u << static_cast<int>(ValueKind::Boolean));
            if (((SCALAR_KINDS >> static_cast<int>(value.kind())) & 1u) == 0) return none();
            return Scalar{value.kind(), {value.word_bits()}};
        }
        bool ok() const { return kind != ValueKind::Null; }
        Value value() const {
            if (kind == ValueKind::Number) return Value::number(integer);
            if (kind == ValueKind::Float) return Value::floating(real);
            return Value::boolean(boolean);
        }
        bool truthy() const {
            if (kind == ValueKind::Number) return integer != 0;
            if (kind == ValueKind::Float) return real != 0.0;
            return boolean;
        }
    };
    // A store of a scalar result: when the write goes to the record itself and
    // the value there holds no payload, the new one simply overwrites it.
    [[gnu::always_inline]] void store_scalar(SymbolId name, const Scalar& scalar);
    [[gnu::noinline]] void store_scalar_slowly(SymbolId name, const Scalar& scalar) {
        store(name, scalar.value());
    }
    Scalar try_scalar(const Expr& expr);
    // The value an expression of a variable and indexes by literals or scalar
    // expressions (a.b, a[i], a[i].b, ...) stands for, read in place: no copy of
    // the container or the key is made. Null when the expression is of another
    // form; a pointer to a null value when the element or key is missing.
    const Value* peek_path(const Expr& expr);
    const Value* peek_operand(const Expr& expr);
    // Operands that are literals or variables are read here, so the common leaf
    // cases cost no call.
    Scalar scalar_operand(const Expr& expr) {
        if (expr.kind == ExprKind::Variable)
            return Scalar::of(peek(expr.as<VariableExpr>().name.id));
        if (expr.kind == ExprKind::Number) return Scalar::number(expr.as<NumberExpr>().value);
        if (expr.kind == ExprKind::Float) return Scalar::floating(expr.as<FloatExpr>().value);
        return try_scalar(expr);
    }
    // Whether the scalar path can succeed on the node at all: not when the subtree
    // holds a string, array, dict or range literal or calls anything but a scalar
    // built-in (known once the subtree has been looked at; the children of a node
    // that may be scalar may be too).
    bool may_be_scalar(const BinaryExpr& node) {
        if (node.scalar_hint == ScalarHint::Unknown) settle_scalar_hint(node);
        return node.scalar_hint == ScalarHint::Maybe;
    }
    ScalarHint settle_scalar_hint(const BinaryExpr& node);
    ScalarHint scalar_hint_of(const Expr& expr);
    Scalar scalar_leaf(const OperandShape& shape) const;
    Scalar scalar_shaped(const OperandShape& shape, const Expr& expr);
    Scalar scalar_binary(const BinaryExpr& node);
    Scalar scalar_binary_nested(const BinaryExpr& node);
    Scalar scalar_string_equality(const BinaryExpr& node);
    Scalar scalar_unary(const UnaryExpr& node);
    Scalar scalar_call(const CallExpr& call);
    // Whether a call names one of the built-ins the scalar path computes.
    bool is_scalar_builtin(const CallExpr& call) const {
        // len, abs, sqrt, pow, ceil, floor, round: positions 0 and 4 to 9 of the table
        constexpr std::uint32_t SCALAR_BUILTINS = 0x3F1;
        auto builtin = static_cast<std::uint32_t>(bindings_[call.name.id].builtin);
        return builtin < 32 && ((SCALAR_BUILTINS >> builtin) & 1u) != 0;
    }
    // Whether a condition holds (the scalar path first).
    bool condition_holds(const Expr& expr) {
        if (expr.kind == ExprKind::Binary) {  // the common condition, without a dispatch
            const auto& binary = expr.as<BinaryExpr>();
            if (may_be_scalar(binary)) {
                Scalar scalar = scalar_binary(binary);
                if (scalar.ok()) return scalar.truthy();
            }
            return is_truthy(evaluate_binary(binary));
        }
        Scalar scalar = try_scalar(expr);
        if (scalar.ok()) return scalar.truthy();
        return is_truthy(evaluate_node(expr));
    }
    Value evaluate_node(const Expr& expr);
    // An operand of an operator: literals and variables inline, the rest walked
    // (the scalar path has already been tried on the whole expression).
    Value evaluate_operand(const Expr& expr) { return leaf_first<false>(expr); }

    // The built-in dispatch, for a call whose name is a built-in name (the name's
    // position in the table, `index`, is settled once per symbol, so no text is
    // compared).
    inline Value call_builtin(int index, const CallExpr& call);  // in builtins.hpp

    // Signals.
    static constexpr std::uint8_t SIGNAL_RETURN = 1;
    static constexpr std::uint8_t SIGNAL_BREAK = 2;
    static constexpr std::uint8_t SIGNAL_CONTINUE = 4;
    static constexpr std::uint8_t SIGNAL_FATAL = 8;
    std::uint8_t signals() const { return signals_; }
    bool stopped() const { return (signals_ & SIGNAL_FATAL) != 0; }
    Fatal fatal() const { return fatal_; }
    void raise_fatal(Fatal fatal);
    // Clears the break and continue flags (after a top-level statement).
    void clear_loop_flags() {
        signals_ &= static_cast<std::uint8_t>(~(SIGNAL_BREAK | SIGNAL_CONTINUE));
    }
    // Clears every signal, the fatal stop included (the interactive loop, after a line).
    void clear_signals();
    bool has_pending_return() const { return (signals_ & SIGNAL_RETURN) != 0; }

    // A fresh copy of the string value of a symbol's text (literals, member keys).
    const Value& symbol_string(SymbolId id) {
        Value& text = symbol_texts_[id];
        if (!text.is(Value::String)) make_symbol_string(id);
        return text;
    }
    SymbolTable& symbols() { return symbols_; }

    // Graphics state: absent until a window has been opened successfully.
    GraphicsState* graphics() { return graphics_.get(); }
    void set_graphics(GraphicsState* state) { graphics_.reset(state); }

    // Whether an allocation of `count` elements of `size` bytes should be refused.
    bool too_large(std::uint64_t count, std::uint64_t size) const;

    // For built-ins that return an updated copy of their first argument (push,
    // concat): when the call is the whole right-hand side of an assignment to that
    // same variable, the variable gives up its reference once every argument has
    // been evaluated, so the payload can grow in place. No script can observe it:
    // the assignment replaces the variable right after.
    void give_up_first_argument(const CallExpr& call) {
        if (&call != update_call_ || call.args.empty()) return;
        const Expr& first = call.args.front();
        if (first.kind == ExprKind::Variable) release_for_update(first.as<VariableExpr>().name.id);
    }

private:
    // The binding a read of the name finds is kept in the name's record itself:
    // the innermost active call's local, or the global (Null when there is none).
    // Binding a local in a call moves the value it shadows to `saved_`; the call's
    // return moves it back.
    struct Binding {
        Value value;
        std::uint32_t owner = 0;     // call depth that owns `value`; 0 for the global
        std::int32_t shadowed = -1;  // entry of `saved_` holding what `value` shadows, or -1
        std::int8_t builtin = -1;    // index in the built-in table, or -1
        bool declared_global = false;
    };
    struct SavedBinding {
        // The value is moved in only once the entry's storage exists.
        SavedBinding(Value&& shadowed_value, SymbolId id, std::uint32_t depth,
                     std::int32_t previous)
            : value(std::move(shadowed_value)), name(id), owner(depth), shadowed(previous) {}
        Value value;
        SymbolId name;
        std::uint32_t owner;
        std::int32_t shadowed;
    };

    // Statements.
    void execute_assign(SymbolId name, const Expr& value_expr);
    [[gnu::noinline]] void assign_binary(SymbolId name, const BinaryExpr& binary);
    [[gnu::noinline]] void assign_value(SymbolId name, const Expr& value_expr);
    [[gnu::noinline]] void assign_call(SymbolId name, const CallExpr& call);
    [[gnu::noinline]] void assign_update(SymbolId name, const CallExpr& call);
    void assign_push(SymbolId name, const CallExpr& call);
    [[gnu::noinline]] void execute_definition(const FunctionDefStmt& stmt);
    [[gnu::noinline]] void execute_expression(const Expr& expr);
    void execute_compound(const CompoundAssignStmt& stmt);
    [[gnu::noinline]] void compound_general(const CompoundAssignStmt& stmt);
    void execute_if(const IfStmt& stmt);
    void execute_while(const WhileStmt& stmt);
    void execute_for(const ForStmt& stmt);
    void execute_for_range(const ForStmt& stmt, const RangeExpr& range);
    bool finish_iteration();
    void execute_match(const MatchStmt& stmt);
    void execute_try(const TryCatchStmt& stmt);
    void execute_return(const ReturnStmt& stmt);

    // Expressions.
    Value evaluate_binary(const BinaryExpr& expr);
    Value evaluate_unary(const UnaryExpr& expr);
    Value evaluate_call(const CallExpr& expr);
    Value evaluate_array(const ArrayExpr& expr);
    Value evaluate_dict(const DictExpr& expr);
    Value evaluate_index(const IndexExpr& expr);
    static Value index_value(const Value& object, const Value& index);
    Value evaluate_range(const RangeExpr& expr);

    // A value about to be replaced by an assignment to `name`: when the binding the
    // assignment will write is also the one a read of `name` finds, the variable
    // gives up its reference, so an unshared payload can be changed in place.
    void release_for_update(SymbolId name) {
        Binding& binding = bindings_[name];
        // The assignment writes the global (at top level or for a declared name) or
        // the current call's local; give up the value only when that is also what
        // reads see.
        bool writes_global = depth_ == 0 || binding.declared_global;
        if (writes_global ? binding.owner == 0 : binding.owner == depth_) binding.value = Value();
    }
    bool steals_variable(const CallExpr& call, SymbolId target) const;

    // Removes the locals a returning call bound, restoring what they shadowed.
    void pop_frame(std::size_t saved_base) {
        while (saved_.size() > saved_base) {
            SavedBinding& entry = saved_.back();
            Binding& binding = bindings_[entry.name];
            binding.value.swap(entry.value);  // the local is released with the entry
            binding.owner = entry.owner;
            binding.shadowed = entry.shadowed;
            saved_.pop_back();
        }
    }
    void bind_local(SymbolId name, Value&& value) {
        Binding& binding = bindings_[name];
        // The shadowed value moves only into storage that exists, so running out of
        // memory here cannot lose it.
        auto index = static_cast<std::int32_t>(saved_.size());
        saved_.emplace_back(std::move(binding.value), name, binding.owner, binding.shadowed);
        binding.value.replace_moved_from(std::move(value));
        binding.owner = depth_;
        binding.shadowed = index;
    }
    // Where the name's global lives: in the record, or, while locals shadow it, in
    // the oldest saved entry of the name.
    Value& global_cell(Binding& binding) {
        if (binding.owner == 0) return binding.value;
        SavedBinding* entry = &saved_[static_cast<std::size_t>(binding.shadowed)];
        while (entry->owner != 0) entry = &saved_[static_cast<std::size_t>(entry->shadowed)];
        return entry->value;
    }
    void make_symbol_string(SymbolId id);
    // Polls for an interrupt request now and then (every INTERRUPT_POLL_INTERVAL
    // loop steps and calls); raises the fatal stop when one is pending.
    bool check_interrupt() {
        if (--interrupt_countdown_ != 0) return false;
        return poll_interrupt();
    }
    bool poll_interrupt();

    SymbolTable& symbols_;
    std::vector<Binding> bindings_;
    std::vector<Value> symbol_texts_;  // each symbol's text as a string value, made on first use
    std::vector<SavedBinding> saved_;
    std::uint32_t depth_ = 0;
    std::uint8_t signals_ = 0;
    Fatal fatal_ = Fatal::None;
    Value pending_return_;
    const CallExpr* update_call_ = nullptr;  // the call being assigned to its first argument
    std::uintptr_t stack_limit_ = 0;
    std::uint32_t interrupt_countdown_ = 1;
    std::unique_ptr<GraphicsState, GraphicsStateDeleter> graphics_;

    friend class InterpreterAccess;
};

inline void Interpreter::store_scalar(SymbolId name, const Scalar& scalar) {
    Binding& binding = bindings_[name];
    if (binding.owner == depth_ && (depth_ == 0 || !binding.declared_global) &&
        binding.value.holds_no_payload()) {
        binding.value.overwrite_scalar(scalar.kind, scalar.integer);
        return;
    }
    store_scalar_slowly(name, scalar);
}

// Runs a whole program on a fresh interpreter: stores the function definitions,
// then either calls "main" (after evaluating the top-level lets, when the program
// defines a top-level main) or runs every top-level statement in order. Returns
// how the run ended.
Fatal run_program(const StmtList& statements, SymbolTable& symbols);

}  // namespace quenra
