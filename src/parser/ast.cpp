#include "parser/ast.hpp"

namespace quenra {

namespace {

// Collects children of nodes being destroyed, so that releasing a deep tree is a
// loop instead of a recursion. While a reaper is active, a destructor only moves
// its nested children here; the outermost destructor drains the lists.
struct Reaper {
    std::vector<ExprPtr> exprs;
    std::vector<std::vector<Expr>> expr_lists;
    std::vector<std::vector<DictEntry>> entry_lists;
    std::vector<StmtList> lists;
    std::vector<FunctionBodyPtr> bodies;

    bool empty() const {
        return exprs.empty() && expr_lists.empty() && entry_lists.empty() && lists.empty() &&
               bodies.empty();
    }

    void drain() {
        while (!empty()) {
            if (!exprs.empty()) {
                ExprPtr expr = std::move(exprs.back());
                exprs.pop_back();
                continue;  // `expr` is destroyed here, detaching its own children
            }
            if (!expr_lists.empty()) {
                std::vector<Expr> list = std::move(expr_lists.back());
                expr_lists.pop_back();
                continue;
            }
            if (!entry_lists.empty()) {
                std::vector<DictEntry> list = std::move(entry_lists.back());
                entry_lists.pop_back();
                continue;
            }
            if (!lists.empty()) {
                StmtList list = std::move(lists.back());
                lists.pop_back();
                continue;
            }
            FunctionBodyPtr body = std::move(bodies.back());
            bodies.pop_back();
            if (body.use_count() == 1) {
                // Last owner: take the statements out before the body goes, so that
                // nested definitions do not recurse through the shared pointer.
                lists.push_back(std::move(const_cast<FunctionBody&>(*body).body));
            }
        }
    }
};

thread_local Reaper* active_reaper = nullptr;

void detach(Expr& expr, Reaper& reaper) {
    auto take = [&](ExprPtr& child) {
        if (child) reaper.exprs.push_back(std::move(child));
    };
    switch (expr.kind) {
        case ExprKind::Number:
        case ExprKind::Float:
        case ExprKind::String:
        case ExprKind::Boolean:
        case ExprKind::Variable: return;
        case ExprKind::Call: {
            auto& args = expr.as<CallExpr>().args;
            if (!args.empty()) reaper.expr_lists.push_back(std::move(args));
            return;
        }
        case ExprKind::Array: {
            auto& elements = expr.as<ArrayExpr>().elements;
            if (!elements.empty()) reaper.expr_lists.push_back(std::move(elements));
            return;
        }
        case ExprKind::Dict: {
            auto& entries = expr.as<DictExpr>().entries;
            if (!entries.empty()) reaper.entry_lists.push_back(std::move(entries));
            return;
        }
        case ExprKind::Binary:
            take(expr.as<BinaryExpr>().left);
            take(expr.as<BinaryExpr>().right);
            return;
        case ExprKind::Unary: take(expr.as<UnaryExpr>().operand); return;
        case ExprKind::Index:
            take(expr.as<IndexExpr>().object);
            take(expr.as<IndexExpr>().index);
            return;
        case ExprKind::Range:
            take(expr.as<RangeExpr>().start);
            take(expr.as<RangeExpr>().end);
            return;
    }
}

void detach(Stmt& stmt, Reaper& reaper) {
    auto take = [&](StmtList& list) {
        if (!list.empty()) reaper.lists.push_back(std::move(list));
    };
    switch (stmt.kind) {
        case StmtKind::Let:
        case StmtKind::Assign:
        case StmtKind::CompoundAssign:
        case StmtKind::Return:
        case StmtKind::Break:
        case StmtKind::Continue:
        case StmtKind::Global:
        case StmtKind::Expression: return;
        case StmtKind::FunctionDef: {
            auto& function = stmt.as<FunctionDefStmt>().function;
            if (function) reaper.bodies.push_back(std::move(function));
            return;
        }
        case StmtKind::If: {
            auto& node = stmt.as<IfStmt>();
            take(node.then_branch);
            if (node.else_branch) take(*node.else_branch);
            return;
        }
        case StmtKind::While: take(stmt.as<WhileStmt>().body); return;
        case StmtKind::For: take(stmt.as<ForStmt>().body); return;
        case StmtKind::Match:
            for (MatchArm& arm : stmt.as<MatchStmt>().arms) take(arm.body);
            return;
        case StmtKind::TryCatch:
            take(stmt.as<TryCatchStmt>().try_body);
            take(stmt.as<TryCatchStmt>().catch_body);
            return;
    }
}

// Whether a node holds children that would be released with it. Most nodes a
// parser destroys are moved-from temporaries or leaves, which need no reaper.
bool has_children(const Expr& expr) {
    switch (expr.kind) {
        case ExprKind::Number:
        case ExprKind::Float:
        case ExprKind::String:
        case ExprKind::Boolean:
        case ExprKind::Variable: return false;
        case ExprKind::Binary: return expr.as<BinaryExpr>().left || expr.as<BinaryExpr>().right;
        case ExprKind::Unary: return expr.as<UnaryExpr>().operand != nullptr;
        case ExprKind::Call: return !expr.as<CallExpr>().args.empty();
        case ExprKind::Array: return !expr.as<ArrayExpr>().elements.empty();
        case ExprKind::Dict: return !expr.as<DictExpr>().entries.empty();
        case ExprKind::Index: return expr.as<IndexExpr>().object || expr.as<IndexExpr>().index;
        case ExprKind::Range: return expr.as<RangeExpr>().start || expr.as<RangeExpr>().end;
    }
    return true;
}

bool has_children(const Stmt& stmt) {
    switch (stmt.kind) {
        case StmtKind::Let:
        case StmtKind::Assign:
        case StmtKind::CompoundAssign:
        case StmtKind::Return:
        case StmtKind::Break:
        case StmtKind::Continue:
        case StmtKind::Global:
        case StmtKind::Expression: return false;  // their expressions release themselves
        case StmtKind::FunctionDef:
        case StmtKind::If:
        case StmtKind::While:
        case StmtKind::For:
        case StmtKind::Match:
        case StmtKind::TryCatch: return true;
    }
    return true;
}

template <typename Node>
void release(Node& node) {
    if (!has_children(node)) return;
    if (active_reaper != nullptr) {
        detach(node, *active_reaper);
        return;
    }
    Reaper reaper;
    active_reaper = &reaper;
    detach(node, reaper);
    reaper.drain();
    active_reaper = nullptr;
}

ExprPtr clone_ptr(const ExprPtr& expr) {
    return expr ? std::make_unique<Expr>(clone(*expr)) : nullptr;
}

std::vector<Expr> clone_all(const std::vector<Expr>& exprs) {
    std::vector<Expr> out;
    out.reserve(exprs.size());
    for (const Expr& expr : exprs) out.push_back(clone(expr));
    return out;
}

}  // namespace

Expr::~Expr() { release(*this); }
Stmt::~Stmt() { release(*this); }

namespace {

Expr clone_payload(const Expr& expr) {
    switch (expr.kind) {
        case ExprKind::Number: return Expr(expr.as<NumberExpr>(), expr.depth);
        case ExprKind::Float: return Expr(expr.as<FloatExpr>(), expr.depth);
        case ExprKind::String: return Expr(expr.as<StringExpr>(), expr.depth);
        case ExprKind::Boolean: return Expr(expr.as<BooleanExpr>(), expr.depth);
        case ExprKind::Variable: return Expr(expr.as<VariableExpr>(), expr.depth);
        case ExprKind::Binary: {
            const auto& node = expr.as<BinaryExpr>();
            return Expr(BinaryExpr{clone_ptr(node.left), node.op, clone_ptr(node.right)},
                        expr.depth);
        }
        case ExprKind::Unary: {
            const auto& node = expr.as<UnaryExpr>();
            return Expr(UnaryExpr{node.op, clone_ptr(node.operand)}, expr.depth);
        }
        case ExprKind::Call: {
            const auto& node = expr.as<CallExpr>();
            return Expr(CallExpr{node.name, clone_all(node.args)}, expr.depth);
        }
        case ExprKind::Array:
            return Expr(ArrayExpr{clone_all(expr.as<ArrayExpr>().elements)}, expr.depth);
        case ExprKind::Dict: {
            DictExpr out;
            for (const DictEntry& entry : expr.as<DictExpr>().entries) {
                out.entries.push_back(DictEntry{entry.key, clone(entry.value)});
            }
            return Expr(std::move(out), expr.depth);
        }
        case ExprKind::Index: {
            const auto& node = expr.as<IndexExpr>();
            return Expr(IndexExpr{clone_ptr(node.object), clone_ptr(node.index)}, expr.depth);
        }
        case ExprKind::Range: {
            const auto& node = expr.as<RangeExpr>();
            return Expr(RangeExpr{clone_ptr(node.start), clone_ptr(node.end)}, expr.depth);
        }
    }
    return Expr(NumberExpr{0});
}

}  // namespace

Expr clone(const Expr& expr) {
    Expr out = clone_payload(expr);
    out.offset = expr.offset;
    return out;
}

StmtList clone(const StmtList& statements) {
    StmtList out;
    out.reserve(statements.size());
    for (const Stmt& stmt : statements) out.push_back(clone(stmt));
    return out;
}

MatchArm clone(const MatchArm& arm) {
    MatchArm out;
    if (arm.pattern) out.pattern.emplace(clone(*arm.pattern));
    out.body = clone(arm.body);
    return out;
}

namespace {

Stmt clone_payload(const Stmt& stmt) {
    switch (stmt.kind) {
        case StmtKind::Let: {
            const auto& node = stmt.as<LetStmt>();
            return Stmt(LetStmt{node.name, clone(node.value)});
        }
        case StmtKind::Assign: {
            const auto& node = stmt.as<AssignStmt>();
            return Stmt(AssignStmt{node.name, clone(node.value)});
        }
        case StmtKind::CompoundAssign: {
            const auto& node = stmt.as<CompoundAssignStmt>();
            return Stmt(CompoundAssignStmt{node.name, node.op, clone(node.value)});
        }
        case StmtKind::FunctionDef: return Stmt(stmt.as<FunctionDefStmt>());
        case StmtKind::If: {
            const auto& node = stmt.as<IfStmt>();
            IfStmt out{clone(node.condition), clone(node.then_branch), std::nullopt};
            if (node.else_branch) out.else_branch.emplace(clone(*node.else_branch));
            return Stmt(std::move(out));
        }
        case StmtKind::While: {
            const auto& node = stmt.as<WhileStmt>();
            return Stmt(WhileStmt{clone(node.condition), clone(node.body)});
        }
        case StmtKind::For: {
            const auto& node = stmt.as<ForStmt>();
            return Stmt(ForStmt{node.variable, clone(node.iterable), clone(node.body)});
        }
        case StmtKind::Match: {
            const auto& node = stmt.as<MatchStmt>();
            MatchStmt out{clone(node.subject), {}};
            for (const MatchArm& arm : node.arms) out.arms.push_back(clone(arm));
            return Stmt(std::move(out));
        }
        case StmtKind::TryCatch: {
            const auto& node = stmt.as<TryCatchStmt>();
            return Stmt(
                TryCatchStmt{clone(node.try_body), node.error_name, clone(node.catch_body)});
        }
        case StmtKind::Return: {
            const auto& node = stmt.as<ReturnStmt>();
            ReturnStmt out;
            if (node.value) out.value.emplace(clone(*node.value));
            return Stmt(std::move(out));
        }
        case StmtKind::Break: return Stmt(BreakStmt{});
        case StmtKind::Continue: return Stmt(ContinueStmt{});
        case StmtKind::Global: return Stmt(stmt.as<GlobalStmt>());
        case StmtKind::Expression:
            return Stmt(ExpressionStmt{clone(stmt.as<ExpressionStmt>().expr)});
    }
    return Stmt(BreakStmt{});
}

}  // namespace

Stmt clone(const Stmt& stmt) {
    Stmt out = clone_payload(stmt);
    out.offset = stmt.offset;
    return out;
}

}  // namespace quenra
