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

void run(Interpreter& in, const StmtList& statements, SymbolId main_name) {
    // A program with a top-level main runs its top-level lets and definitions in
    // order, then main alone. Otherwise only the definitions are stored ahead (so a
    // function can be called above its definition) and every statement then runs
    // once, in order: a let initialiser is never evaluated twice.
    bool with_main = defines_main(statements, main_name);
    Block code = in.resolve(statements);  // one step per statement
    for (std::size_t i = 0; i < statements.size(); ++i) {
        StmtKind kind = statements[i].kind;
        if (kind == StmtKind::FunctionDef || (with_main && kind == StmtKind::Let)) {
            in.run(code[i]);
            in.clear_loop_flags();
            if (in.stopped()) return;
        }
    }
    if (with_main) {
        Value main = in.lookup(main_name);
        if (main.is(Value::Function)) {
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
        in.run(code[i]);
        if (in.has_pending_return() || in.stopped()) return;  // a top-level return ends the program
        // A break or continue outside any loop must not linger over later statements.
        in.clear_loop_flags();
    }
}

}  // namespace

Fatal run_program(const StmtList& statements, SymbolTable& symbols) {
    SymbolId main_name = symbols.intern("main");
    Interpreter in(symbols);
    try {
        run(in, statements, main_name);
    } catch (const std::bad_alloc&) {
        in.raise_fatal(Fatal::OutOfMemory);
    } catch (const std::length_error&) {
        in.raise_fatal(Fatal::OutOfMemory);
    }
    return in.fatal();
}

}  // namespace quenra
