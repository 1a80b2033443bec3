#include "interpreter/interpreter.hpp"

#include <algorithm>

#include "interpreter/builtins.hpp"
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
    saved_.clear();
    bindings_.clear();
    symbol_texts_.clear();
    graphics_.reset();
}

void Interpreter::prepare() {
    std::size_t old_size = bindings_.size();
    if (old_size == symbols_.size()) return;
    bindings_.resize(symbols_.size());
    symbol_texts_.resize(symbols_.size());
    for (std::size_t id = old_size; id < bindings_.size(); ++id) {
        bindings_[id].builtin =
            static_cast<std::int8_t>(find_builtin(symbols_.text(static_cast<SymbolId>(id))));
    }
}

void Interpreter::make_symbol_string(SymbolId id) {
    symbol_texts_[id] = Value::string(symbols_.text(id));
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

Value Interpreter::call_user_function(const FunctionBody& function, Value* arguments,
                                      std::size_t count) {
    if (depth_ >= MAX_CALL_DEPTH || frame_address() < stack_limit_)
        raise_fatal(Fatal::RecursionDepth);
    if (stopped() || check_interrupt()) return Value();
    ++depth_;
    std::size_t slot_base = saved_.size();
    // Restores the caller's bindings however the call ends.
    struct Frame {
        Interpreter& interpreter;
        std::size_t slot_base;
        ~Frame() {
            interpreter.pop_frame(slot_base);
            --interpreter.depth_;
        }
    } frame{*this, slot_base};

    // Parameters without an argument stay unbound; surplus arguments are dropped.
    const SymbolId* params = function.param_ids.data();
    std::size_t bound = std::min(function.param_ids.size(), count);
    for (std::size_t i = 0; i < bound; ++i) store(params[i], std::move(arguments[i]));

    for (const Stmt& stmt : function.body) {
        if (stmt.kind == StmtKind::Return) {
            // A return of the body itself: its value goes straight to the caller,
            // evaluated while the call's locals are still bound.
            const auto& node = stmt.as<ReturnStmt>();
            return node.value ? evaluate_fast(*node.value) : Value();
        }
        execute(stmt);
        if (signals_ != 0) break;
    }
    Value result;
    if (signals_ & SIGNAL_RETURN) {
        result = std::move(pending_return_);
        pending_return_ = Value();
        signals_ &= static_cast<std::uint8_t>(~SIGNAL_RETURN);
    }
    return result;
}

}  // namespace quenra
