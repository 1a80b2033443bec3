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
    arguments_.truncate(0);
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

// The call protocol: the arguments are evaluated onto `arguments_`, the callee's
// parameters take them from there (binding allocates nothing once the save stack
// has grown), and the frame is popped however the call ends.
Value Interpreter::call_user(const Node& call) {
    const Value& found = peek(call.name);
    if (!found.is(Value::Function)) {  // arguments are not evaluated
        if (warnings_ != nullptr) [[unlikely]]
            warn_call(call, found);
        return Value();
    }
    // `callee` keeps the function alive even if the call redefines it.
    Value callee = found;
    std::size_t base = arguments_.size();
    for (const Node& arg : call.args) arguments_.push(evaluate(arg));
    if (warnings_ != nullptr) [[unlikely]]
        return call_user_watched(call, callee, base);
    return enter(callee.user_function(), base, call.args.size());
}

Value Interpreter::call_function(const Value& function, Value* arguments, std::size_t count) {
    if (!function.is(Value::Function)) return Value();
    Value callee = function;
    std::size_t base = arguments_.size();
    for (std::size_t i = 0; i < count; ++i) arguments_.push(std::move(arguments[i]));
    return enter(callee.user_function(), base, count);
}

Value Interpreter::invoke(UserFunction& function, std::size_t base, std::size_t count) {
    return enter(function, base, count);
}

// The call itself, compiled into each caller: a call is a handful of nested native
// calls less (each costs its register saves and restores).
[[gnu::always_inline]] inline Value Interpreter::enter(UserFunction& function, std::size_t base,
                                                       std::size_t count) {
    if (depth_ >= MAX_CALL_DEPTH || frame_address() < stack_limit_)
        raise_fatal(Fatal::RecursionDepth);
    if (stopped() || check_interrupt()) {
        arguments_.truncate(base);
        return Value();
    }
    if (!function.code)
        function.code =
            std::make_unique<Block>(Resolver(symbol_strings_).block(function.source->body));
    ++depth_;
    // Restores the caller's bindings and releases the arguments however the call ends.
    struct Frame {
        Interpreter& interpreter;
        std::size_t saved_base;
        std::size_t argument_base;
        ~Frame() {
            interpreter.pop_frame(saved_base);
            interpreter.arguments_.truncate(argument_base);
            --interpreter.depth_;
        }
    } frame{*this, saved_.size(), base};

    // Parameters without an argument stay unbound; surplus arguments are dropped.
    const SymbolId* params = function.params.data();
    std::size_t bound = std::min(function.params.size(), count);
    Value* arguments = arguments_.at(base);
    for (std::size_t i = 0; i < bound; ++i) store(params[i], std::move(arguments[i]));

    Value result;
    if (run_statements(*function.code, result) && (signals_ & SIGNAL_RETURN)) {
        result = std::move(pending_return_);
        pending_return_ = Value();
        signals_ &= static_cast<std::uint8_t>(~SIGNAL_RETURN);
    }
    return result;
}

// Runs statements of a function body. A return met in the body itself, or in the
// branches of its ifs, hands its value (evaluated while the call's locals are still
// bound) straight to `result` instead of travelling as a signal. True when the body
// is done: after such a return, or when a signal is pending.
bool Interpreter::run_body(const Block& block, Value& result) {
    return run_statements(block, result);
}

// The body's own statements, compiled into the call; the branches of its ifs go
// through run_body.
[[gnu::always_inline]] inline bool Interpreter::run_statements(const Block& block, Value& result) {
    for (const Step& step : block) {
        if (step.kind == StepKind::Return) {
            if (step.value) result = evaluate(*step.value);
            return true;
        }
        if (step.kind == StepKind::If) {
            const Block* branch = holds(*step.value) ? &step.body
                                  : step.has_else    ? &step.alternative
                                                     : nullptr;
            if (branch != nullptr && run_body(*branch, result)) return true;
            if (signals_ != 0) return true;
            continue;
        }
        run(step);
        if (signals_ != 0) return true;
    }
    return false;
}

}  // namespace quenra
