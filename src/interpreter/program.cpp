// The whole-program run of a source file.
#include <new>
#include <stdexcept>

#include "interpreter/interpreter.hpp"

namespace quenra {

namespace {

bool defines_main(const StmtList& statements, SymbolId main) {
    for (const Stmt& stmt : statements) {
        if (stmt.kind == StmtKind::FunctionDef && stmt.as<FunctionDefStmt>().name.id == main)
            return true;
    }
    return false;
}

}  // namespace

// With warnings on: the top-level statements a main function keeps from running.
void Interpreter::warn_not_run(const StmtList& statements) {
    for (const Stmt& stmt : statements) {
        if (stmt.kind == StmtKind::FunctionDef || stmt.kind == StmtKind::Let) continue;
        warnings_->report(stmt.offset, WarningKind::NotRunBecauseMain,
                          "this statement never runs: the program defines main, so only the "
                          "top-level let and def statements run, and then main");
    }
}

void Interpreter::run_program_statements(const StmtList& statements, SymbolId main_name,
                                         std::size_t& current) {
    // A program with a top-level main runs its top-level lets and definitions in
    // order, then main alone. Otherwise only the definitions are stored ahead (so a
    // function can be called above its definition) and every statement then runs
    // once, in order: a let initialiser is never evaluated twice.
    bool with_main = defines_main(statements, main_name);
    if (warnings_ != nullptr) check_builtin_counts(statements);
    Block code = resolve(statements);  // one step per statement
    for (std::size_t i = 0; i < statements.size(); ++i) {
        StmtKind kind = statements[i].kind;
        if (kind == StmtKind::FunctionDef || (with_main && kind == StmtKind::Let)) {
            current = i;
            run(code[i]);
            clear_loop_flags();
            if (stopped()) return;
        }
    }
    if (with_main) {
        Value main = lookup(main_name);
        if (main.is(Value::Function)) {
            if (warnings_ != nullptr) warn_not_run(statements);
            call_function(main, nullptr, 0);
            return;
        }
    }
    for (std::size_t i = 0; i < statements.size(); ++i) {
        // A main that a later let replaced leaves the rest to run in order; the lets
        // and definitions have run already and must not run twice.
        StmtKind kind = statements[i].kind;
        bool done = with_main && (kind == StmtKind::FunctionDef || kind == StmtKind::Let);
        if (done) continue;
        current = i;
        run(code[i]);
        if (has_pending_return() || stopped()) return;  // a top-level return ends the program
        // A break or continue outside any loop must not linger over later statements.
        clear_loop_flags();
    }
}

Fatal run_program(const StmtList& statements, SymbolTable& symbols, Warnings* warnings) {
    SymbolId main_name = symbols.intern("main");
    Interpreter in(symbols);
    in.set_warnings(warnings);
    std::size_t current = 0;  // the top-level statement running
    try {
        in.run_program_statements(statements, main_name, current);
    } catch (const std::bad_alloc&) {
        in.raise_fatal(Fatal::OutOfMemory);
    } catch (const std::length_error&) {
        in.raise_fatal(Fatal::OutOfMemory);
    }
    if (warnings != nullptr && in.fatal() != Fatal::None && current < statements.size())
        in.report_stop(statements[current].offset);
    return in.fatal();
}

}  // namespace quenra
