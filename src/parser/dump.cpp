#include "parser/dump.hpp"

#include <charconv>

namespace quenra {

namespace {

void put(std::string& out, const Expr& expr);
void put(std::string& out, const Stmt& stmt);

void put_list(std::string& out, const StmtList& statements) {
    out += '(';
    for (std::size_t i = 0; i < statements.size(); ++i) {
        if (i > 0) out += ' ';
        put(out, statements[i]);
    }
    out += ')';
}

void put_exprs(std::string& out, const std::vector<Expr>& exprs) {
    for (const Expr& expr : exprs) {
        out += ' ';
        put(out, expr);
    }
}

void put_float(std::string& out, double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
    out += 'f';
}

void put(std::string& out, const Expr& expr) {
    switch (expr.kind) {
        case ExprKind::Number: out += std::to_string(expr.as<NumberExpr>().value); return;
        case ExprKind::Float: put_float(out, expr.as<FloatExpr>().value); return;
        case ExprKind::String: out += '"' + expr.as<StringExpr>().value.text + '"'; return;
        case ExprKind::Boolean: out += expr.as<BooleanExpr>().value ? "true" : "false"; return;
        case ExprKind::Variable: out += expr.as<VariableExpr>().name.text; return;
        case ExprKind::Binary: {
            const auto& node = expr.as<BinaryExpr>();
            out += '(';
            out += token_kind_text(node.op.kind);
            out += ' ';
            put(out, *node.left);
            out += ' ';
            put(out, *node.right);
            out += ')';
            return;
        }
        case ExprKind::Unary: {
            const auto& node = expr.as<UnaryExpr>();
            out += node.op.kind == TokenKind::Minus ? "(neg " : "(not ";
            put(out, *node.operand);
            out += ')';
            return;
        }
        case ExprKind::Call: {
            const auto& node = expr.as<CallExpr>();
            out += "(call " + node.name.text;
            put_exprs(out, node.args);
            out += ')';
            return;
        }
        case ExprKind::Array: {
            std::string inner;
            put_exprs(inner, expr.as<ArrayExpr>().elements);
            out += '[' + (inner.empty() ? inner : inner.substr(1)) + ']';
            return;
        }
        case ExprKind::Dict: {
            out += '{';
            bool first = true;
            for (const DictEntry& entry : expr.as<DictExpr>().entries) {
                if (!first) out += ", ";
                first = false;
                out += entry.key.text + ": ";
                put(out, entry.value);
            }
            out += '}';
            return;
        }
        case ExprKind::Index: {
            const auto& node = expr.as<IndexExpr>();
            out += "(index ";
            put(out, *node.object);
            out += ' ';
            put(out, *node.index);
            out += ')';
            return;
        }
        case ExprKind::Range: {
            const auto& node = expr.as<RangeExpr>();
            out += "(range ";
            put(out, *node.start);
            out += ' ';
            put(out, *node.end);
            out += ')';
            return;
        }
    }
}

void put_named(std::string& out, const char* head, const Name& name, const Expr& value) {
    out += '(';
    out += head;
    out += ' ' + name.text + ' ';
    put(out, value);
    out += ')';
}

void put(std::string& out, const Stmt& stmt) {
    switch (stmt.kind) {
        case StmtKind::Let: {
            const auto& node = stmt.as<LetStmt>();
            put_named(out, "let", node.name, node.value);
            return;
        }
        case StmtKind::Assign: {
            const auto& node = stmt.as<AssignStmt>();
            put_named(out, "=", node.name, node.value);
            return;
        }
        case StmtKind::CompoundAssign: {
            const auto& node = stmt.as<CompoundAssignStmt>();
            put_named(out, std::string(token_kind_text(node.op.kind)).c_str(), node.name,
                      node.value);
            return;
        }
        case StmtKind::FunctionDef: {
            const auto& node = stmt.as<FunctionDefStmt>();
            out += "(def " + node.name.text + " (";
            for (std::size_t i = 0; i < node.function->params.size(); ++i) {
                if (i > 0) out += ' ';
                out += node.function->params[i].text;
            }
            out += ") ";
            put_list(out, node.function->body);
            out += ')';
            return;
        }
        case StmtKind::If: {
            const auto& node = stmt.as<IfStmt>();
            out += "(if ";
            put(out, node.condition);
            out += ' ';
            put_list(out, node.then_branch);
            if (node.else_branch) {
                out += ' ';
                put_list(out, *node.else_branch);
            }
            out += ')';
            return;
        }
        case StmtKind::While: {
            const auto& node = stmt.as<WhileStmt>();
            out += "(while ";
            put(out, node.condition);
            out += ' ';
            put_list(out, node.body);
            out += ')';
            return;
        }
        case StmtKind::For: {
            const auto& node = stmt.as<ForStmt>();
            out += "(for " + node.variable.text + ' ';
            put(out, node.iterable);
            out += ' ';
            put_list(out, node.body);
            out += ')';
            return;
        }
        case StmtKind::Match: {
            const auto& node = stmt.as<MatchStmt>();
            out += "(match ";
            put(out, node.subject);
            for (const MatchArm& arm : node.arms) {
                out += " (arm ";
                if (arm.pattern) {
                    put(out, *arm.pattern);
                } else {
                    out += '_';
                }
                out += ' ';
                put_list(out, arm.body);
                out += ')';
            }
            out += ')';
            return;
        }
        case StmtKind::TryCatch: {
            const auto& node = stmt.as<TryCatchStmt>();
            out += "(try ";
            put_list(out, node.try_body);
            out += ' ' + node.error_name.text + ' ';
            put_list(out, node.catch_body);
            out += ')';
            return;
        }
        case StmtKind::Return: {
            const auto& node = stmt.as<ReturnStmt>();
            out += "(return";
            if (node.value) {
                out += ' ';
                put(out, *node.value);
            }
            out += ')';
            return;
        }
        case StmtKind::Break: out += "(break)"; return;
        case StmtKind::Continue: out += "(continue)"; return;
        case StmtKind::Global: out += "(global " + stmt.as<GlobalStmt>().name.text + ')'; return;
        case StmtKind::Expression: put(out, stmt.as<ExpressionStmt>().expr); return;
    }
}

}  // namespace

std::string dump(const Expr& expr) {
    std::string out;
    put(out, expr);
    return out;
}

std::string dump(const Stmt& stmt) {
    std::string out;
    put(out, stmt);
    return out;
}

std::string dump(const StmtList& statements) {
    std::string out;
    for (std::size_t i = 0; i < statements.size(); ++i) {
        if (i > 0) out += ' ';
        put(out, statements[i]);
    }
    return out;
}

}  // namespace quenra
