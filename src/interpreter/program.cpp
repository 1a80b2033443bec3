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

// With warnings on: the top-level statements a main function keeps from running.
void warn_not_run(Interpreter& in, const StmtList& statements) {
    for (const Stmt& stmt : statements) {
        if (stmt.kind == StmtKind::FunctionDef || stmt.kind == StmtKind::Let) continue;
        in.warnings()->report(stmt.offset, WarningKind::NotRunBecauseMain,
                              "this statement never runs: the program defines main, so only the "
                              "top-level let and def statements run, and then main");
    }
}

void run(Interpreter& in, const StmtList& statements, SymbolId main_name, std::size_t& current) {
    // A program with a top-level main runs its top-level lets and definitions in
    // order, then main alone. Otherwise only the definitions are stored ahead (so a
    // function can be called above its definition) and every statement then runs
    // once, in order: a let initialiser is never evaluated twice.
    bool with_main = defines_main(statements, main_name);
    if (in.warnings() != nullptr) in.check_builtin_counts(statements);
    Block code = in.resolve(statements);  // one step per statement
    for (std::size_t i = 0; i < statements.size(); ++i) {
        StmtKind kind = statements[i].kind;
        if (kind == StmtKind::FunctionDef || (with_main && kind == StmtKind::Let)) {
            current = i;
            in.run(code[i]);
            in.clear_loop_flags();
            if (in.stopped()) return;
        }
    }
    if (with_main) {
        Value main = in.lookup(main_name);
        if (main.is(Value::Function)) {
            if (in.warnings() != nullptr) warn_not_run(in, statements);
            in.call_function(main, nullptr, 0);
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
        in.run(code[i]);
        if (in.has_pending_return() || in.stopped()) return;  // a top-level return ends the program
        // A break or continue outside any loop must not linger over later statements.
        in.clear_loop_flags();
    }
}

}  // namespace

Fatal run_program(const StmtList& statements, SymbolTable& symbols, Warnings* warnings) {
    SymbolId main_name = symbols.intern("main");
    Interpreter in(symbols);
    in.set_warnings(warnings);
    std::size_t current = 0;  // the top-level statement running
    try {
        run(in, statements, main_name, current);
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
