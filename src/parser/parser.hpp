#pragma once
// The parser: token list to top-level statements, by recursive descent with one
// token of look-ahead (two in two places). It never reports anything: a statement
// form that does not fit is dropped, a missing operand reads as 0, and parsing goes
// on from wherever the position stands. Every loop consumes at least one token per
// turn, so parsing is linear in the number of tokens.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "lexer/token.hpp"
#include "lexer/warnings.hpp"
#include "parser/ast.hpp"
#include "parser/symbols.hpp"

namespace quenra {

// How deeply statements and expressions may nest (and how tall an expression tree
// may grow). Deeper input stops the run with "Error: nesting too deep".
inline constexpr std::uint32_t MAX_NESTING = 25000;

struct ParseResult {
    StmtList statements;
    bool too_deep = false;  // the input nested beyond MAX_NESTING; `statements` is partial
};

class Parser {
public:
    // With a trace (which holds the tokens' offsets), the parser gives every node its
    // place and records what it skips, leaves out or puts in.
    Parser(const std::vector<Token>& tokens, SymbolTable& symbols, FrontEndTrace* trace = nullptr)
        : tokens_(tokens), symbols_(symbols), trace_(trace) {}

    ParseResult parse();

private:
    const Token& current_token() const {
        return position_ < tokens_.size() ? tokens_[position_] : EOF_TOKEN;
    }
    TokenKind current() const { return current_token().kind; }
    // The kind of the token after the current one, read from the list directly.
    TokenKind next_kind() const {
        return position_ + 1 < tokens_.size() ? tokens_[position_ + 1].kind : TokenKind::Eof;
    }
    void advance(std::size_t count = 1) { position_ += count; }
    // The parser only ever expects payload-free kinds, so comparing kinds is the
    // whole token comparison.
    bool match_token(TokenKind expected);
    void optional_semicolon() { match_token(TokenKind::Semicolon); }
    Name take_name();

    // Places and warnings; all of them do nothing without a trace.
    std::uint32_t offset_at(std::size_t index) const {
        if (trace_ == nullptr || trace_->offsets.empty()) return 0;
        return trace_->offsets[std::min(index, trace_->offsets.size() - 1)];
    }
    std::uint32_t here() const { return offset_at(position_); }
    std::size_t warning_mark() const { return trace_ ? trace_->warnings.size() : 0; }
    void warn(WarningKind kind, std::uint32_t offset, TokenKind token = TokenKind::Eof,
              std::uint8_t code = 0, std::uint32_t other = 0);
    std::nullopt_t fail(FormFailure failure);
    // A token that nothing could use is skipped; `mark` drops what the failed
    // attempt to use it recorded, and a run of skipped tokens is reported once.
    void skip_token(SkipContext context, std::size_t mark);
    void expect_closer(TokenKind closer, std::uint32_t opener);

    bool enter();  // counts one nesting level; false (and input abandoned) when too deep
    Expr node_depth_checked(Expr expr);

    std::optional<Stmt> parse_statement();
    std::optional<Stmt> parse_statement_form();
    StmtList parse_block();
    StmtList parse_braced_body();
    std::vector<Name> parse_params();
    std::optional<Stmt> parse_let();
    std::optional<Stmt> parse_def();
    std::optional<Stmt> parse_return();
    std::optional<Stmt> parse_if();
    std::optional<Stmt> parse_while();
    std::optional<Stmt> parse_for();
    std::optional<Stmt> parse_match();
    std::optional<Stmt> parse_try();
    std::optional<Stmt> parse_global();
    std::optional<MatchArm> parse_arm();

    Expr parse_expression();
    Expr parse_and();
    Expr parse_equality();
    Expr parse_comparison();
    Expr parse_range();
    Expr parse_additive();
    Expr parse_multiplicative();
    Expr parse_power();
    Expr parse_unary();
    Expr parse_primary();
    Expr parse_primary_at(std::uint32_t at);
    Expr parse_suffixes(Expr expr);
    Expr parse_dict(std::uint32_t opener);
    std::vector<Expr> parse_expression_list();

    template <typename Next>
    Expr parse_binary_level(std::uint64_t operators, Next next);
    Expr make_binary(Expr left, Token op, Expr right, std::uint32_t offset);

    static const Token EOF_TOKEN;

    const std::vector<Token>& tokens_;
    SymbolTable& symbols_;
    FrontEndTrace* trace_;
    std::size_t position_ = 0;
    std::size_t skipped_until_ = SIZE_MAX;  // the position after the last skipped token
    std::uint32_t loop_depth_ = 0;          // loops around the statement, within its function
    bool in_function_ = false;
    std::uint32_t depth_ = 0;
    bool too_deep_ = false;
};

// Parses a whole token list (which ends with Eof).
ParseResult parse(const std::vector<Token>& tokens, SymbolTable& symbols);
// The same, with places and warnings; `trace` holds the lexer's offsets.
ParseResult parse(const std::vector<Token>& tokens, SymbolTable& symbols, FrontEndTrace& trace);

}  // namespace quenra
