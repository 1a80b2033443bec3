#pragma once
// A compact S-expression text of a syntax tree, for tests and debugging:
//   1 + 2 * 3          -> (+ 1 (* 2 3))
//   if a { } else { }  -> (if a () ())      an absent else branch prints nothing
// Literals: 5, 1.5f, "text", true; names as their text; calls (call f args...);
// arrays [a b]; dicts {k: v, ...}; index (index o i); range (range a b).

#include <string>

#include "parser/ast.hpp"

namespace quenra {

std::string dump(const Expr& expr);
std::string dump(const Stmt& stmt);
// The statements joined by one space each.
std::string dump(const StmtList& statements);

}  // namespace quenra
