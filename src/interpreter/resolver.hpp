#pragma once
// The resolver: turns a parsed body into resolved code (resolved.hpp) once, before
// it first runs. It settles everything that does not depend on run-time values:
// which operator a node applies, which built-in a call names (and whether it has
// enough arguments to run at all), how each operand is read, and which assignments
// and loops have a form of their own. Names stay dynamic: variables and user
// functions are still looked up when the code runs.

#include <vector>

#include "interpreter/resolved.hpp"
#include "parser/ast.hpp"

namespace quenra {

class Resolver {
public:
    // `strings` holds the string value of each name met so far, by symbol id; the
    // interpreter keeps it for all the code it resolves.
    explicit Resolver(std::vector<Value>& strings) : strings_(strings) {}

    Block block(const StmtList& statements);
    Step statement(const Stmt& stmt);
    Node expression(const Expr& expr);

private:
    Node expression_node(const Expr& expr);  // the node, without its place
    const Value& text(const Name& name);
    Node binary(const BinaryExpr& expr);
    Node unary(const UnaryExpr& expr);
    void add_children(Node& node, const std::vector<Expr>& exprs);
    Node call(const CallExpr& expr);
    Node dict(const DictExpr& expr);
    Node index(const IndexExpr& expr);
    Node pair(NodeKind kind, const Expr& first, const Expr& second);
    Step assignment(const Name& name, const Expr& value);
    Step conditional(const IfStmt& stmt);
    Step loop_for(const ForStmt& stmt);
    Step match(const MatchStmt& stmt);

    std::vector<Value>& strings_;
};

}  // namespace quenra
