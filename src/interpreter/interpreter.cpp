#include "interpreter/interpreter.hpp"

#include <algorithm>

#include "interpreter/resolver.hpp"
#include "platform/platform.hpp"

namespace quenra {

std::string_view fatal_message(Fatal fatal) {
    switch (fatal) {
        case Fatal::None: return "";
        case Fatal::RecursionDepth: return "Error: maximum recursion depth exceeded";
        case Fatal::OutOfMemory: return "Error: out of memory";
        case Fatal::Interrupted: return "Error: interrupted";
    }
    return "";
}

namespace {

// Native stack kept free below the deepest call: enough for the evaluator to walk
// an expression nested to the parser's limit, plus what built-ins need.
#if defined(QUENRA_SANITIZED)
constexpr std::uintptr_t STACK_RESERVE = 96u << 20;
#else
constexpr std::uintptr_t STACK_RESERVE = 32u << 20;
#endif

std::uintptr_t frame_address() {
    return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
}

}  // namespace

Interpreter::Interpreter(SymbolTable& symbols) : symbols_(symbols) {
    std::uintptr_t low = platform::current_stack_low();
    std::uintptr_t here = frame_address();
    // On a small stack (a test thread), keep a quarter of what is left instead.
    std::uintptr_t reserve = STACK_RESERVE;
    if (low != 0 && here > low && (here - low) / 2 < reserve) reserve = (here - low) / 4;
    stack_limit_ = low != 0 ? low + reserve : 0;
    prepare();
}

Interpreter::~Interpreter() {
    // Variables first, then the graphics state (the window closes last).
    pending_return_ = Value();
    saved_.truncate(0);
    bindings_.clear();
    symbol_strings_.clear();
    graphics_.reset();
}

void Interpreter::prepare() {
    std::size_t old_size = bindings_.size();
    if (old_size == symbols_.size()) return;
    bindings_.resize(symbols_.size());
}

void Interpreter::declare_global(SymbolId name) { bindings_[name].declared_global = true; }

void Interpreter::raise_fatal(Fatal fatal) {
    if (fatal_ == Fatal::None) fatal_ = fatal;
    signals_ |= SIGNAL_FATAL;
}

void Interpreter::clear_signals() {
    signals_ = 0;
    fatal_ = Fatal::None;
    pending_return_ = Value();
}

bool Interpreter::poll_interrupt() {
    interrupt_countdown_ = INTERRUPT_POLL_INTERVAL;
    if (!platform::interrupt_pending()) return false;
    platform::clear_interrupt();
    raise_fatal(Fatal::Interrupted);
    return true;
}

bool Interpreter::too_large(std::uint64_t count, std::uint64_t size) const {
    return count > value_size_limit() / size;
}

// The call protocol: each argument is evaluated straight into an entry of the
// saved-bindings stack, where it waits without a name while the other arguments are
// evaluated (they still read the caller's bindings). Binding a parameter then swaps
// the argument with the value the name had, so the entry holds what it shadows, and
// the return swaps them back: a call allocates nothing once the stack has grown,
// and one pass over the stack both unbinds and releases.
//
// The call node's evaluator is a static function, so that the node's function
// pointer leads straight here.
Value Interpreter::call_node(Interpreter& in, const Node& call) {
    const Value& found = in.peek(call.name);
    if (!found.is(Value::Function)) {  // arguments are not evaluated
        if (in.warnings_ != nullptr) [[unlikely]]
            in.warn_call(call, found);
        return Value();
    }
    // The function found now is the one called, even if an argument or the call
    // itself redefines the name: the definition that made it keeps it alive (see
    // `kept_`), so the call holds no reference of its own.
    UserFunction& function = found.user_function();
    std::size_t base = in.saved_.size();
    if (in.warnings_ != nullptr) [[unlikely]] {
        for (const Node& arg : call.args) in.push_argument(in.evaluate_as<true>(arg));
        return in.call_user_watched(call, function, base);
    }
    for (const Node& arg : call.args) in.push_argument(in.evaluate_as<false>(arg));
    return in.enter<false>(function, base);
}

Value Interpreter::call_function(const Value& function, Value* arguments, std::size_t count) {
    if (!function.is(Value::Function)) return Value();
    UserFunction& callee = function.user_function();
    std::size_t base = saved_.size();
    for (std::size_t i = 0; i < count; ++i) push_argument(std::move(arguments[i]));
    if (warnings_ != nullptr) return enter<true>(callee, base);
    return enter<false>(callee, base);
}

Value Interpreter::invoke_checked(UserFunction& function, std::size_t base) {
    return enter<true>(function, base);
}

// The call itself, compiled into each caller: a call is a handful of nested native
// calls less (each costs its register saves and restores). The arguments are the
// entries of `saved_` from `base` up. CHECKED: with the --warn checks.
template <bool CHECKED>
[[gnu::always_inline]] inline Value Interpreter::enter(UserFunction& function, std::size_t base) {
    if (depth_ >= MAX_CALL_DEPTH || frame_address() < stack_limit_)
        raise_fatal(Fatal::RecursionDepth);
    if (stopped() || check_interrupt()) {
        saved_.truncate(base);
        return Value();
    }
    if (!function.code)
        function.code =
            std::make_unique<Block>(Resolver(symbol_strings_).block(function.source->body));
    ++depth_;
    // Restores the caller's bindings and releases the arguments however the call ends.
    struct Frame {
        Interpreter& interpreter;
        std::size_t base;
        ~Frame() {
            interpreter.pop_frame(base);
            --interpreter.depth_;
        }
    } frame{*this, base};

    // Parameters without an argument stay unbound; surplus arguments stay nameless
    // and are released on return.
    std::size_t count = saved_.size() - base;
    if (count == 1 && function.params.size() == 1) {
        bind_parameter(function.params.front(), base);
    } else {
        std::size_t bound = std::min(function.params.size(), count);
        for (std::size_t i = 0; i < bound; ++i) bind_parameter(function.params[i], base + i);
    }

    bool done = false;
    Value result = run_statements<CHECKED>(*function.code, done);
    if (signals_ & SIGNAL_RETURN) {
        result = std::move(pending_return_);
        pending_return_ = Value();
        signals_ &= static_cast<std::uint8_t>(~SIGNAL_RETURN);
    }
    return result;
}

// Runs statements of a function body. A return met in the body itself, or in the
// branches of its ifs, hands its value (evaluated while the call's locals are still
// bound) straight back instead of travelling as a signal. `done` tells whether the
// body is done: after such a return, or when a signal is pending.
template <bool CHECKED>
Value Interpreter::run_body(const Block& block, bool& done) {
    return run_statements<CHECKED>(block, done);
}

// The body's own statements, compiled into the call; the branches of its ifs go
// through run_body, except a branch that is a lone return (a guard clause).
template <bool CHECKED>
[[gnu::always_inline]] inline Value Interpreter::run_statements(const Block& block, bool& done) {
    // A return hands back its value; the body is done.
    auto returned = [this, &done](const Step& step) {
        done = true;
        return step.value ? evaluate_as<CHECKED>(*step.value) : Value();
    };
    for (const Step& step : block) {
        if (step.kind == StepKind::Return) return returned(step);
        if (step.kind == StepKind::If) {
            bool taken = CHECKED ? holds_checked(*step.value)
                                 : (step.value->test(*this, *step.value) & TRUTH) != 0;
            const Block* branch = taken ? &step.body : step.has_else ? &step.alternative : nullptr;
            if (branch == nullptr) continue;
            if (branch->size() == 1 && branch->front().kind == StepKind::Return)
                return returned(branch->front());
            Value result = run_body<CHECKED>(*branch, done);
            if (done) return result;
            if (signals_ != 0) break;
            continue;
        }
        run(step);
        if (signals_ != 0) break;
    }
    done = signals_ != 0;
    return Value();
}

}  // namespace quenra
