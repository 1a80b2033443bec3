#pragma once
// The interpreter: runs resolved code (see resolved.hpp) by walking it.
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
#include <string_view>
#include <vector>

#include "interpreter/resolved.hpp"
#include "interpreter/value.hpp"
#include "interpreter/value_list.hpp"
#include "lexer/warnings.hpp"
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

// The graphics library's state (a window and what it needs), opaque here, and the
// function that releases it.
struct GraphicsState;
using GraphicsRelease = void (*)(GraphicsState* state);

class Interpreter {
public:
    explicit Interpreter(SymbolTable& symbols);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // ---- For the program that runs code: the driver, the interactive loop, tests.

    // Must be called after parsing new code and before executing it, so that every
    // symbol the code uses has its record.
    void prepare();
    // Resolves a parsed statement (or list) and runs it.
    void execute(const Stmt& stmt);
    void execute_sequence(const StmtList& statements);

    // The value a read of the name finds now.
    Value lookup(SymbolId name) const { return peek(name); }
    // Stores a value as an assignment to the name at the current scope does.
    void store(SymbolId name, Value&& value) {
        Binding& binding = bindings_[name];
        // Most often the binding a read finds is the one to write: a local of this
        // call, or a global at top level.
        if (binding.scope.owner == depth_ && !binding.declared_global) [[likely]] {
            binding.value = std::move(value);
            return;
        }
        store_elsewhere(binding, name, std::move(value));
    }

    // Whether the run has stopped (recursion depth, memory, an interrupt), and why.
    bool stopped() const { return (signals_ & SIGNAL_FATAL) != 0; }
    Fatal fatal() const { return fatal_; }
    // Whether a return, break, continue or stop is still pending after a statement.
    bool pending() const { return signals_ != 0; }
    // Clears every signal, the fatal stop included (the interactive loop, after a line).
    void clear_signals();

    // --warn: the sink for run-time warnings. Without one (a normal run) every check
    // is a single untaken branch; the checks themselves live in warn_checks.cpp.
    void set_warnings(Warnings* warnings) { warnings_ = warnings; }
    // With warnings on, after a run that stopped: where it was. `fallback` is the
    // place of the top-level statement that was running.
    void report_stop(std::uint32_t fallback);
    // With warnings on: calls of built-ins with too few arguments in `statements`
    // (function bodies included); such a call gives null without evaluating anything.
    void check_builtin_counts(const StmtList& statements);

    // ---- For built-in functions (this library's and the graphics library's). A
    // built-in receives its call node; these are all it needs of the interpreter.

    // Evaluates argument `index` of a built-in call, as every built-in does with the
    // arguments it uses; with warnings on, the value's kind is noted for the check
    // of the call's result.
    Value argument(const Node& call, std::size_t index) {
        Value value = evaluate(call.args[index]);
        if (argument_kinds_ != nullptr) [[unlikely]]
            note_argument(index, value);
        return value;
    }
    // Evaluates an expression node (an argument the built-in does not keep).
    Value evaluate(const Node& node) {
        return warnings_ == nullptr ? evaluate_as<false>(node) : evaluate_as<true>(node);
    }
    // For built-ins that return an updated copy of their first argument (push,
    // concat): when the call is the whole right-hand side of an assignment to that
    // same variable, the variable gives up its reference once every argument has
    // been evaluated, so the payload can grow in place. No script can observe it:
    // the assignment replaces the variable right after.
    void give_up_first_argument(const Node& call) {
        if (&call != update_call_ || call.args.empty()) return;
        const Node& first = call.args.front();
        if (first.kind == NodeKind::Variable) release_for_update(first.name);
    }
    // Whether an allocation of `count` elements of `size` bytes should be refused.
    bool too_large(std::uint64_t count, std::uint64_t size) const;
    // Graphics state: absent until a window has been opened successfully. The
    // interpreter owns what it is given and releases it with `release` when it goes
    // away, after its variables.
    GraphicsState* graphics() { return graphics_.get(); }
    void set_graphics(GraphicsState* state, GraphicsRelease release) {
        graphics_ = GraphicsHold(state, release);
    }

private:
    friend class Resolver;
    friend Fatal run_program(const StmtList& statements, SymbolTable& symbols, Warnings* warnings);

    // The whole-program run (see run_program).
    void run_program_statements(const StmtList& statements, SymbolId main_name,
                                std::size_t& current);
    [[gnu::cold]] void warn_not_run(const StmtList& statements);

    // Resolves parsed code for this interpreter.
    Block resolve(const StmtList& statements);
    // Runs resolved code.
    void run(const Step& step);
    void run_block(const Block& block) {
        for (const Step& step : block) {
            run(step);
            if (signals_ != 0) return;
        }
    }
    // Whether a condition holds; comparisons and the "and" and "or" of conditions
    // make no value.
    bool holds(const Node& condition) {
        if (warnings_ == nullptr) [[likely]]
            return (condition.test(*this, condition) & TRUTH) != 0;
        return holds_checked(condition);
    }
    // The variable's value in place (valid until the next store).
    const Value& peek(SymbolId name) const { return bindings_[name].value; }
    void declare_global(SymbolId name);
    // Calls a function value with `count` evaluated arguments (moved from) and
    // returns its result.
    Value call_function(const Value& function, Value* arguments, std::size_t count);

    // Signals.
    static constexpr std::uint8_t SIGNAL_RETURN = 1;
    static constexpr std::uint8_t SIGNAL_BREAK = 2;
    static constexpr std::uint8_t SIGNAL_CONTINUE = 4;
    static constexpr std::uint8_t SIGNAL_FATAL = 8;
    void raise_fatal(Fatal fatal);
    // Clears the break and continue flags (after a top-level statement).
    void clear_loop_flags() {
        signals_ &= static_cast<std::uint8_t>(~(SIGNAL_BREAK | SIGNAL_CONTINUE));
    }
    bool has_pending_return() const { return (signals_ & SIGNAL_RETURN) != 0; }

    using GraphicsHold = std::unique_ptr<GraphicsState, GraphicsRelease>;

    // Which call a binding's value belongs to, and where what it shadows was saved
    // (one word, copied whole when a binding is saved or restored).
    struct Scope {
        std::uint32_t owner = 0;     // call depth that owns the value; 0 for the global
        std::int32_t shadowed = -1;  // entry of `saved_` holding what the value shadows, or -1
    };
    // The binding a read of the name finds is kept in the name's record itself:
    // the innermost active call's local, or the global (Null when there is none).
    // Binding a local in a call moves the value it shadows to `saved_`; the call's
    // return moves it back.
    struct Binding {
        Value value;
        Scope scope;
        bool declared_global = false;
    };
    // The name of a saved entry that holds an argument not bound to a parameter.
    static constexpr SymbolId UNNAMED = ~SymbolId{0};
    struct SavedBinding {
        // The value is moved in only once the entry's storage exists.
        SavedBinding(Value&& shadowed_value, Scope shadowed_scope, SymbolId id)
            : value(std::move(shadowed_value)), scope(shadowed_scope), name(id) {}
        Value value;
        Scope scope;
        SymbolId name;
    };

    // Statements.
    [[gnu::noinline]] void run_assign(const Step& step);
    [[gnu::noinline]] void run_define(const Step& step);
    [[gnu::noinline]] void run_expression(const Step& step);
    [[gnu::noinline]] void run_assign_push(const Step& step);
    [[gnu::noinline]] void run_assign_update(const Step& step);
    [[gnu::noinline]] void run_assign_concat(const Step& step);
    [[gnu::noinline]] void append_in_place(const Step& step);
    [[gnu::noinline]] void run_compound(const Step& step);
    Value* number_in_place(const Step& step);
    [[gnu::noinline]] void run_compound_general(const Step& step);
    [[gnu::noinline]] void run_if(const Step& step);
    [[gnu::noinline]] void run_while(const Step& step);
    [[gnu::noinline]] void run_for(const Step& step);
    [[gnu::noinline]] void run_for_range(const Step& step);
    bool finish_iteration();
    [[gnu::noinline]] void run_match(const Step& step);
    [[gnu::noinline]] void run_try(const Step& step);
    [[gnu::noinline]] void run_return(const Step& step);

    // Run-time warnings (warn_checks.cpp), reached only when `warnings_` is set.
    struct CallSite {
        SymbolId callee;
        std::uint32_t offset;
    };
    [[gnu::cold]] void warn_read(const Node& variable);
    // `leaves`: the node's own variable operands are `left` and `right`.
    [[gnu::cold]] void check_binary(const Node& node, BinaryOp op, ValueKind left, ValueKind right,
                                    const Value& result, std::uint32_t offset, bool leaves = true);
    [[gnu::cold]] Value apply_checked(const Node& node, Value left, const Value& right);
    [[gnu::cold, gnu::noinline]] Value compound_checked(const Step& step, Value current,
                                                        const Value& operand);
    [[gnu::cold]] void check_negate(const Node& node, const Value& operand);
    [[gnu::cold]] void warn_call(const Node& call, const Value& found);
    [[gnu::cold]] Value call_user_watched(const Node& call, UserFunction& callee, std::size_t base);
    [[gnu::cold]] Value call_builtin_watched(const Node& call);
    [[gnu::cold]] void note_argument(std::size_t index, const Value& value);
    [[gnu::cold]] void check_element(const Node& node, const Value& object, const Value& index,
                                     const Value& element);
    [[gnu::cold]] void warn_iterable(const Step& step, const Value& iterable);
    [[gnu::cold]] void warn_range(const Node& at, const Value& start, const Value& end);
    [[gnu::cold]] void note_stop(std::uint32_t offset);
    // A name close to `name` among the built-ins and the names that hold a value
    // (only functions, when `functions`), for "did you mean"; empty when none is.
    std::string similar_name(std::string_view name, bool functions) const;

    // Expressions. A normal run calls the function the resolver gave the node, which
    // carries no --warn check; with CHECKED, evaluation switches over the node's kind
    // and the checks are part of it.
    template <bool CHECKED>
    Value evaluate_as(const Node& node) {
        if constexpr (CHECKED) {
            return evaluate_kind<true>(node);
        } else {
            return node.evaluator(*this, node);
        }
    }
    // The evaluation of any node by its kind: the checked evaluation, and in a normal
    // run the evaluator of a binary node that names no operator.
    template <bool CHECKED>
    Value evaluate_kind(const Node& node);
    // The functions a normal run evaluates and tests nodes with (evaluate.cpp), and
    // the ones the resolver gives a node.
    friend struct NodeFunctions;
    static NodeEvaluator evaluator_for(const Node& node);
    static NodeTest test_for(const Node& node);
    template <bool CHECKED>
    Value evaluate_binary(const Node& node);
    // A binary node whose operands are leaves read in place.
    template <bool CHECKED>
    [[gnu::always_inline]] Value binary_leaves(const Node& node, const Value& left,
                                               const Value& right) {
        if constexpr (CHECKED) return binary_leaves_checked(node, left, right);
        return binary_operation(left, node.op, right);
    }
    // The variable and unary-minus nodes with their checks.
    [[gnu::cold, gnu::noinline]] Value read_checked(const Node& node);
    [[gnu::cold, gnu::noinline]] Value negate_checked(const Node& node);
    [[gnu::cold, gnu::noinline]] Value binary_leaves_checked(const Node& node, const Value& left,
                                                             const Value& right);
    Value call_builtin(const Node& call);
    static Value call_node(Interpreter& in, const Node& call);
    // Enters a function whose arguments are the entries of `saved_` from `base` up.
    Value invoke_checked(UserFunction& function, std::size_t base);
    template <bool CHECKED>
    [[gnu::always_inline]] inline Value enter(UserFunction& function, std::size_t base);
    template <bool CHECKED>
    Value run_body(const Block& block, bool& done);
    template <bool CHECKED>
    [[gnu::always_inline]] inline Value run_statements(const Block& block, bool& done);
    [[gnu::cold]] bool holds_checked(const Node& condition);
    Value evaluate_array(const Node& node);
    Value evaluate_dict(const Node& node);
    template <bool CHECKED>
    Value evaluate_index(const Node& node);
    template <bool CHECKED>
    const Value& select(const Node& node, const Value& object);
    Value evaluate_range(const Node& node);
    bool range_bounds(const Node& first, const Node& last, const Node& at, std::int64_t& start,
                      std::int64_t& end);
    // The value a path node (a variable, or a field or element of a path) stands for,
    // read in place; a null value when an element or key is missing.
    template <bool CHECKED>
    const Value& locate(const Node& path);
    // Hands `use` the right operand of a binary node whose left operand is a
    // variable: a variable or constant read where it lies, anything else evaluated.
    template <typename Use>
    decltype(auto) with_right_operand(const Node& binary, Use&& use) {
        if (binary.kind == NodeKind::BinaryVarVar) return use(peek(binary.other));
        if (binary.kind == NodeKind::BinaryVarConst) return use(binary.constant);
        return use(evaluate(*binary.right));
    }

    // A value about to be replaced by an assignment to `name`: when the binding the
    // assignment will write is also the one a read of `name` finds, the variable
    // gives up its reference, so an unshared payload can be changed in place.
    void release_for_update(SymbolId name) {
        if (writes_in_place(name)) bindings_[name].value = Value();
    }
    // Whether an assignment to `name` writes the binding a read of it finds.
    bool writes_in_place(SymbolId name) const {
        const Binding& binding = bindings_[name];
        bool writes_global = depth_ == 0 || binding.declared_global;
        return writes_global ? binding.scope.owner == 0 : binding.scope.owner == depth_;
    }

    // Removes the locals a returning call bound, restoring what they shadowed, and
    // releases its arguments.
    void pop_frame(std::size_t saved_base) {
        Binding* bindings = bindings_.data();
        auto restore = [bindings](SavedBinding& entry) {
            if (entry.name == UNNAMED) return;
            Binding& binding = bindings[entry.name];
            binding.value.swap(entry.value);  // the local is released with the entry
            binding.scope = entry.scope;
        };
        // Most calls bind one parameter and no other local.
        if (saved_.size() == saved_base + 1) {
            saved_.unwind_one(restore);
        } else {
            saved_.unwind(saved_base, restore);
        }
    }
    // An evaluated argument of a call about to be entered, nameless until bound.
    void push_argument(Value&& value) { saved_.push(std::move(value), Scope{}, UNNAMED); }
    // Binds a parameter to the argument in entry `index`; the entry takes the value
    // the parameter's name shadows.
    void bind_parameter(SymbolId name, std::size_t index) {
        Binding& binding = bindings_[name];
        SavedBinding& entry = saved_[index];
        if (binding.declared_global || binding.scope.owner == depth_) [[unlikely]] {
            // A name declared global, or a parameter named twice: a plain store.
            store_parameter(name, index);
            return;
        }
        binding.value.swap(entry.value);
        entry.name = name;
        entry.scope = binding.scope;
        binding.scope = Scope{depth_, static_cast<std::int32_t>(index)};
    }
    [[gnu::noinline]] void store_parameter(SymbolId name, std::size_t index) {
        store(name, std::move(saved_[index].value));
    }
    // A store to a global shadowed by locals, or one that makes a new local.
    [[gnu::noinline]] void store_elsewhere(Binding& binding, SymbolId name, Value&& value) {
        if (depth_ == 0 || binding.declared_global) {
            global_cell(binding) = std::move(value);
        } else {
            bind_local(name, std::move(value));
        }
    }
    void bind_local(SymbolId name, Value&& value) {
        Binding& binding = bindings_[name];
        // The shadowed value moves only into storage that exists, so running out of
        // memory here cannot lose it.
        auto index = static_cast<std::int32_t>(saved_.size());
        saved_.push(std::move(binding.value), binding.scope, name);
        binding.value.replace_moved_from(std::move(value));
        binding.scope = Scope{depth_, index};
    }
    // Where the name's global lives: in the record, or, while locals shadow it, in
    // the oldest saved entry of the name.
    Value& global_cell(Binding& binding) {
        if (binding.scope.owner == 0) return binding.value;
        SavedBinding* entry = &saved_[static_cast<std::size_t>(binding.scope.shadowed)];
        while (entry->scope.owner != 0)
            entry = &saved_[static_cast<std::size_t>(entry->scope.shadowed)];
        return entry->value;
    }
    // Polls for an interrupt request now and then (every INTERRUPT_POLL_INTERVAL
    // loop steps and calls); raises the fatal stop when one is pending.
    bool check_interrupt() {
        if (--interrupt_countdown_ != 0) return false;
        return poll_interrupt();
    }
    // Work inside one step that grows with a count (a range of a million numbers)
    // brings the next poll closer by a step for every WORK_PER_STEP units, so an
    // interrupt is still seen soon when each step is that large.
    bool charge(std::uint64_t count) {
        std::uint64_t steps = count / WORK_PER_STEP;
        if (steps < interrupt_countdown_) {
            interrupt_countdown_ -= static_cast<std::uint32_t>(steps);
            return false;
        }
        return poll_interrupt();
    }
    static constexpr std::uint64_t WORK_PER_STEP = 64;
    bool poll_interrupt();

    SymbolTable& symbols_;
    std::vector<Binding> bindings_;
    RelocatingStack<SavedBinding> saved_;
    std::vector<Value> symbol_strings_;  // the string value of each name (see Resolver)
    // The resolved code of every statement run through `execute` and
    // `execute_sequence`, kept for the interpreter's life. A function lives as long
    // as the definition step that made it, and every definition is in such code, in
    // the program's code, or in the code of a function (resolved once, never
    // replaced): so no function is freed while a call of it runs.
    std::vector<std::unique_ptr<Block>> kept_;
    std::uint32_t depth_ = 0;
    std::uint8_t signals_ = 0;
    Fatal fatal_ = Fatal::None;
    Value pending_return_;
    const Node* update_call_ = nullptr;  // the call being assigned to its first argument
    std::uintptr_t stack_limit_ = 0;
    std::uint32_t interrupt_countdown_ = 1;
    GraphicsHold graphics_{nullptr, nullptr};
    Warnings* warnings_ = nullptr;
    // With warnings on: the user-function calls in progress, innermost last; the
    // kinds of the current built-in call's arguments; where a stopped run was.
    std::vector<CallSite> calls_;
    ValueKind* argument_kinds_ = nullptr;
    bool stop_noted_ = false;
    std::uint32_t stop_offset_ = 0;
    std::int64_t stop_function_ = -1;  // the symbol of the function it was in, or -1
};

// Runs a whole program on a fresh interpreter: stores the function definitions,
// then either calls "main" (after evaluating the top-level lets, when the program
// defines a top-level main) or runs every top-level statement in order. Returns
// how the run ended.
// With `warnings`, the run also reports its warnings there.
Fatal run_program(const StmtList& statements, SymbolTable& symbols, Warnings* warnings = nullptr);

}  // namespace quenra
