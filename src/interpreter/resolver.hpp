#pragma once
// The resolver: turns a parsed body into resolved code (resolved.hpp) once, before
// it first runs. It settles everything that does not depend on run-time values:
// which operator a node applies, which built-in a call names (and whether it has
// enough arguments to run at all), how each operand is read, and which assignments
// and loops have a form of their own. Names stay dynamic: variables and user
// functions are still looked up when the code runs.

#include "interpreter/resolved.hpp"
#include "parser/ast.hpp"

namespace quenra {

Block resolve_block(const StmtList& statements);
Step resolve_statement(const Stmt& stmt);
Node resolve_expression(const Expr& expr);

}  // namespace quenra
