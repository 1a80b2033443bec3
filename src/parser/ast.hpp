#pragma once
// The syntax tree: the only thing that passes from the parser to the interpreter.
// `Stmt` and `Expr` are closed tagged records: a kind plus the fields of that kind,
// held in a variant whose alternative index always equals the kind's ordinal.
// Consumers switch over the kind exhaustively.
//
// Invariants:
// - Every node owns its children; nothing is shared, except function bodies, which
//   are never changed and are shared behind a reference count so a function value can keep
//   its body without copying it.
// - Optional children are explicit (`std::optional`): an absent else branch differs
//   from an empty one, a bare return from `return 0`, the wildcard arm from any pattern.
// - Every name and string literal carries its text and its interned `SymbolId`.
// - No node is changed after the parser has built it; the tree holds nothing of the
//   evaluator's (the interpreter resolves each body into its own code).
// - Destruction never recurses more than a level deep, so a tree of any depth is
//   released without exhausting the native stack.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "lexer/token.hpp"
#include "parser/symbols.hpp"

namespace quenra {

// Whether T is one of the alternatives of the variant V (node constructors accept
// exactly the payload types of their kinds).
template <typename T, typename V>
inline constexpr bool IS_ALTERNATIVE = false;
template <typename T, typename... Ts>
inline constexpr bool IS_ALTERNATIVE<T, std::variant<Ts...>> = (std::is_same_v<T, Ts> || ...);

// The alternative T of a node's payload. Every node's kind equals its payload's
// index, so callers only ask for the right type; the sanitizer builds check it.
template <typename T, typename V>  // V may be const, and the payload then is too
auto& checked_get(V& data) {
    auto* payload = std::get_if<T>(&data);
#if defined(QUENRA_SANITIZED)
    if (payload == nullptr) __builtin_trap();
#else
    if (payload == nullptr) __builtin_unreachable();
#endif
    return *payload;
}

struct Name {
    std::string text;
    SymbolId id = 0;
};

struct Expr;
struct Stmt;
using ExprPtr = std::unique_ptr<Expr>;
using StmtList = std::vector<Stmt>;

enum class ExprKind : std::uint8_t {
    Number,    // NumberExpr: integer literal, or the 0 that stands in for a missing operand
    Float,     // FloatExpr: float literal
    String,    // StringExpr: string literal, or the key of a member access
    Boolean,   // BooleanExpr: true / false
    Variable,  // VariableExpr: an identifier
    Binary,    // BinaryExpr: left op right
    Unary,     // UnaryExpr: prefix "-" or "not"/"!"
    Call,      // CallExpr: name(args); only bare names are called
    Array,     // ArrayExpr: [elements]
    Dict,      // DictExpr: {key: value ...}
    Index,     // IndexExpr: object[index], and object.name
    Range,     // RangeExpr: start..end
};
inline constexpr std::size_t EXPR_KIND_COUNT = 12;

struct NumberExpr {
    std::int64_t value;
};
struct FloatExpr {
    double value;
};
struct StringExpr {
    Name value;
};
struct BooleanExpr {
    bool value;
};
struct VariableExpr {
    Name name;
};
struct BinaryExpr {
    ExprPtr left;
    Token op;
    ExprPtr right;
};
struct UnaryExpr {
    Token op;
    ExprPtr operand;
};
struct CallExpr {
    Name name;
    std::vector<Expr> args;
};
struct ArrayExpr {
    std::vector<Expr> elements;
};
struct DictEntry;
struct DictExpr {
    std::vector<DictEntry> entries;
};
struct IndexExpr {
    ExprPtr object;
    ExprPtr index;
};
struct RangeExpr {
    ExprPtr start;
    ExprPtr end;
};

using ExprData =
    std::variant<NumberExpr, FloatExpr, StringExpr, BooleanExpr, VariableExpr, BinaryExpr,
                 UnaryExpr, CallExpr, ArrayExpr, DictExpr, IndexExpr, RangeExpr>;
static_assert(std::variant_size_v<ExprData> == EXPR_KIND_COUNT);

struct Expr {
    ExprKind kind;
    // Height of the subtree (a leaf is 1), saturating at its type's maximum; the
    // parser bounds it far below that, so that walking any expression recursively
    // stays within a known depth.
    std::uint16_t depth = 1;
    // Where the node stands in the source, for warnings (0 when nobody asked for
    // places): the operator of a binary or unary node, the name of a call, the
    // bracket or dot of an index, the first dot of a range, else its first token.
    std::uint32_t offset = 0;
    ExprData data;

    template <typename T>
    requires IS_ALTERNATIVE<T, ExprData> Expr(T payload, std::uint32_t height = 1)
        : kind(ExprKind::Number),
          depth(static_cast<std::uint16_t>(height < UINT16_MAX ? height : UINT16_MAX)),
          data(std::move(payload)) {
        kind = static_cast<ExprKind>(data.index());
    }
    Expr(Expr&&) noexcept = default;
    Expr& operator=(Expr&&) noexcept = default;
    ~Expr();

    // The payload of the node's kind; T must be that kind's payload type.
    template <typename T>
    const T& as() const {
        return checked_get<T>(data);
    }
    template <typename T>
    T& as() {
        return checked_get<T>(data);
    }
};

struct DictEntry {
    Name key;
    Expr value;
};

enum class StmtKind : std::uint8_t {
    Let,             // LetStmt: let name = value
    Assign,          // AssignStmt: name = value
    CompoundAssign,  // CompoundAssignStmt: name += -= *= /= value
    FunctionDef,     // FunctionDefStmt: def name(params) { body }
    If,              // IfStmt: if condition { then } [else { else }]
    While,           // WhileStmt: while condition { body }
    For,             // ForStmt: for variable in iterable { body }
    Match,           // MatchStmt: match subject { arms }
    TryCatch,        // TryCatchStmt: try { body } catch name { body }
    Return,          // ReturnStmt: return [value]
    Break,           // BreakStmt
    Continue,        // ContinueStmt
    Global,          // GlobalStmt: global name
    Expression,      // ExpressionStmt: any other expression
};
inline constexpr std::size_t STMT_KIND_COUNT = 14;

// A function's parameter names and body, shared between the definition and every
// function value made from it. Never changed once built.
struct FunctionBody {
    std::vector<Name> params;
    StmtList body;
};
using FunctionBodyPtr = std::shared_ptr<const FunctionBody>;

struct MatchArm {
    std::optional<Expr> pattern;  // absent for the wildcard "_"
    StmtList body;
};

struct LetStmt {
    Name name;
    Expr value;
};
struct AssignStmt {
    Name name;
    Expr value;
};
struct CompoundAssignStmt {
    Name name;
    Token op;
    Expr value;
};
struct FunctionDefStmt {
    Name name;
    FunctionBodyPtr function;
};
struct IfStmt {
    Expr condition;
    StmtList then_branch;
    std::optional<StmtList> else_branch;
};
struct WhileStmt {
    Expr condition;
    StmtList body;
};
struct ForStmt {
    Name variable;
    Expr iterable;
    StmtList body;
};
struct MatchStmt {
    Expr subject;
    std::vector<MatchArm> arms;
};
struct TryCatchStmt {
    StmtList try_body;
    Name error_name;
    StmtList catch_body;
};
struct ReturnStmt {
    std::optional<Expr> value;
};
struct BreakStmt {};
struct ContinueStmt {};
struct GlobalStmt {
    Name name;
};
struct ExpressionStmt {
    Expr expr;
};

using StmtData = std::variant<LetStmt, AssignStmt, CompoundAssignStmt, FunctionDefStmt, IfStmt,
                              WhileStmt, ForStmt, MatchStmt, TryCatchStmt, ReturnStmt, BreakStmt,
                              ContinueStmt, GlobalStmt, ExpressionStmt>;
static_assert(std::variant_size_v<StmtData> == STMT_KIND_COUNT);

struct Stmt {
    StmtKind kind;
    std::uint32_t offset = 0;  // the statement's first token, for warnings (0 when unknown)
    StmtData data;

    template <typename T>
    requires IS_ALTERNATIVE<T, StmtData>
    explicit Stmt(T payload) : kind(StmtKind::Expression), data(std::move(payload)) {
        kind = static_cast<StmtKind>(data.index());
    }
    Stmt(Stmt&&) noexcept = default;
    Stmt& operator=(Stmt&&) noexcept = default;
    ~Stmt();

    template <typename T>
    const T& as() const {
        return checked_get<T>(data);
    }
    template <typename T>
    T& as() {
        return checked_get<T>(data);
    }
};

// Deep copies. A function body never changes, so a copied definition shares it.
Expr clone(const Expr& expr);
Stmt clone(const Stmt& stmt);
MatchArm clone(const MatchArm& arm);
StmtList clone(const StmtList& statements);

}  // namespace quenra
