#include "parser/parser.hpp"

#include <algorithm>
#include <utility>

namespace quenra {

const Token Parser::EOF_TOKEN = Token::simple(TokenKind::Eof);

namespace {

// Holds one nesting level for as long as it lives.
class Nest {
public:
    explicit Nest(bool entered, std::uint32_t& depth) : ok(entered), depth_(depth) {}
    ~Nest() { --depth_; }
    Nest(const Nest&) = delete;
    Nest& operator=(const Nest&) = delete;
    const bool ok;

private:
    std::uint32_t& depth_;
};

std::uint32_t height_of(const std::vector<Expr>& exprs) {
    std::uint32_t height = 0;
    for (const Expr& expr : exprs) height = std::max<std::uint32_t>(height, expr.depth);
    return height + 1;
}

static_assert(TOKEN_KIND_COUNT <= 64, "operator sets are 64-bit masks");
constexpr std::uint64_t bit(TokenKind kind) {
    return std::uint64_t{1} << static_cast<unsigned>(kind);
}

bool is_compound_assign(TokenKind kind) {
    return kind == TokenKind::PlusAssign || kind == TokenKind::MinusAssign ||
           kind == TokenKind::StarAssign || kind == TokenKind::SlashAssign;
}

bool ends_list(TokenKind kind) {
    return kind == TokenKind::RightParen || kind == TokenKind::RightBrace ||
           kind == TokenKind::RightBracket || kind == TokenKind::Eof;
}

}  // namespace

ParseResult parse(const std::vector<Token>& tokens, SymbolTable& symbols) {
    return Parser(tokens, symbols).parse();
}

ParseResult parse(const std::vector<Token>& tokens, SymbolTable& symbols, FrontEndTrace& trace) {
    return Parser(tokens, symbols, &trace).parse();
}

// program -> statement* EOF
ParseResult Parser::parse() {
    ParseResult result;
    while (current() != TokenKind::Eof) {
        std::size_t start = position_;
        std::size_t mark = warning_mark();
        std::optional<Stmt> stmt = parse_statement();
        if (position_ == start) {
            skip_token(SkipContext::Statement, mark);  // nothing could use this token
            continue;
        }
        if (stmt) result.statements.push_back(std::move(*stmt));
    }
    result.too_deep = too_deep_;
    return result;
}

void Parser::warn(WarningKind kind, std::uint32_t offset, TokenKind token, std::uint8_t code,
                  std::uint32_t other) {
    if (trace_ == nullptr || too_deep_) return;
    Warning warning;
    warning.offset = offset;
    warning.kind = kind;
    warning.token = token;
    warning.code = code;
    warning.other = other;
    trace_->warnings.push_back(warning);
}

std::nullopt_t Parser::fail(FormFailure failure) {
    warn(WarningKind::StatementLeftOut, here(), current(), static_cast<std::uint8_t>(failure));
    return std::nullopt;
}

void Parser::skip_token(SkipContext context, std::size_t mark) {
    if (trace_ != nullptr && trace_->warnings.size() > mark) trace_->warnings.resize(mark);
    bool run = position_ == skipped_until_;
    TokenKind kind = current();
    std::uint32_t at = here();
    advance();
    skipped_until_ = position_;
    // One warning a place: a form that failed at this token has already said why.
    bool told =
        trace_ != nullptr && !trace_->warnings.empty() && trace_->warnings.back().offset == at;
    if (run || told) return;
    bool assigns = kind == TokenKind::Assign || kind == TokenKind::PlusAssign ||
                   kind == TokenKind::MinusAssign || kind == TokenKind::StarAssign ||
                   kind == TokenKind::SlashAssign;
    if (assigns && context == SkipContext::Statement && position_ >= 2) {
        // x[i] = v and x.m = v parse as the expression x[i] or x.m and a stray "=".
        TokenKind before = tokens_[position_ - 2].kind;
        bool member = before == TokenKind::Identifier && position_ >= 3 &&
                      tokens_[position_ - 3].kind == TokenKind::Dot;
        if (before == TokenKind::RightBracket || member) {
            warn(WarningKind::ElementAssign, at, kind);
            return;
        }
    }
    warn(WarningKind::SkippedToken, at, kind, static_cast<std::uint8_t>(context));
}

// After a list or body that began at the bracket at `opener`: takes its closer, or
// says why it is missing.
void Parser::expect_closer(TokenKind closer, std::uint32_t opener) {
    if (match_token(closer)) return;
    TokenKind found = current();
    if (found == TokenKind::Eof) {
        TokenKind open = closer == TokenKind::RightParen     ? TokenKind::LeftParen
                         : closer == TokenKind::RightBracket ? TokenKind::LeftBracket
                                                             : TokenKind::LeftBrace;
        // Reported where the input ends, which is where the bracket is missed.
        warn(WarningKind::UnclosedBracket, offset_at(tokens_.size() - 1), open, 0, opener);
    } else {
        warn(WarningKind::MissingCloser, here(), found, static_cast<std::uint8_t>(closer), opener);
    }
}

bool Parser::match_token(TokenKind expected) {
    if (current() != expected) return false;
    advance();
    return true;
}

Name Parser::take_name() {
    Name name{current_token().text(), 0};
    name.id = symbols_.intern(name.text);
    advance();
    return name;
}

bool Parser::enter() {
    ++depth_;
    if (depth_ <= MAX_NESTING && !too_deep_) return true;
    // Abandon the input: from here on every test sees the end of input, so every
    // loop and level unwinds at once.
    too_deep_ = true;
    position_ = tokens_.size();
    return false;
}

Expr Parser::node_depth_checked(Expr expr) {
    if (expr.depth > MAX_NESTING && !too_deep_) {
        too_deep_ = true;
        position_ = tokens_.size();
    }
    return expr;
}

// ---------------------------------------------------------------------------
// Statements

std::optional<Stmt> Parser::parse_statement() {
    std::uint32_t at = here();
    std::optional<Stmt> stmt = parse_statement_form();
    if (stmt) stmt->offset = at;
    return stmt;
}

std::optional<Stmt> Parser::parse_statement_form() {
    Nest nest(enter(), depth_);
    if (!nest.ok) return std::nullopt;
    TokenKind kind = current();
    if (kind == TokenKind::Let) return parse_let();
    if (kind == TokenKind::Def) return parse_def();
    if (kind == TokenKind::Return) return parse_return();
    if (kind == TokenKind::If) return parse_if();
    if (kind == TokenKind::While) return parse_while();
    if (kind == TokenKind::For) return parse_for();
    if (kind == TokenKind::Match) return parse_match();
    if (kind == TokenKind::Try) return parse_try();
    if (kind == TokenKind::Global) return parse_global();
    if (kind == TokenKind::Break || kind == TokenKind::Continue) {
        if (loop_depth_ == 0) {
            std::uint8_t code = (kind == TokenKind::Continue ? 1 : 0) | (in_function_ ? 2 : 0);
            warn(WarningKind::BreakOutsideLoop, here(), kind, code);
        }
        advance();
        optional_semicolon();
        if (kind == TokenKind::Break) return Stmt(BreakStmt{});
        return Stmt(ContinueStmt{});
    }
    if (kind == TokenKind::Identifier && next_kind() == TokenKind::Assign) {
        // assignment -> NAME "=" expression [";"]
        Name name = take_name();
        advance();
        Expr value = parse_expression();
        optional_semicolon();
        return Stmt(AssignStmt{std::move(name), std::move(value)});
    }
    if (kind == TokenKind::Identifier && is_compound_assign(next_kind())) {
        // compound -> NAME ("+=" | "-=" | "*=" | "/=") expression [";"]
        Name name = take_name();
        Token op = current_token();
        advance();
        Expr value = parse_expression();
        optional_semicolon();
        return Stmt(CompoundAssignStmt{std::move(name), std::move(op), std::move(value)});
    }
    if (kind == TokenKind::Semicolon) {
        // A lone ";" is an empty statement: the 0 read in its place is no mistake.
        advance();
        return Stmt(ExpressionStmt{Expr(NumberExpr{0})});
    }
    // expression_stmt -> expression [";"]
    Expr expr = parse_expression();
    optional_semicolon();
    return Stmt(ExpressionStmt{std::move(expr)});
}

// block -> statement* (up to "}" or the end of input, which is left in place)
StmtList Parser::parse_block() {
    StmtList statements;
    while (current() != TokenKind::RightBrace && current() != TokenKind::Eof) {
        std::size_t start = position_;
        std::size_t mark = warning_mark();
        std::optional<Stmt> stmt = parse_statement();
        if (position_ == start) {
            skip_token(SkipContext::Statement, mark);
            continue;
        }
        if (stmt) statements.push_back(std::move(*stmt));
    }
    return statements;
}

// The block after an opening "{" that has been matched, and its "}" if present.
StmtList Parser::parse_braced_body() {
    std::uint32_t opener = offset_at(position_ - 1);
    StmtList body = parse_block();
    expect_closer(TokenKind::RightBrace, opener);  // a body may run to the end of input
    return body;
}

// params -> (NAME [","])*
std::vector<Name> Parser::parse_params() {
    std::vector<Name> params;
    while (current() == TokenKind::Identifier) {
        params.push_back(take_name());
        match_token(TokenKind::Comma);
    }
    return params;
}

// let -> "let" NAME "=" expression [";"]
std::optional<Stmt> Parser::parse_let() {
    advance();
    if (current() != TokenKind::Identifier) return fail(FormFailure::LetName);
    Name name = take_name();
    if (!match_token(TokenKind::Assign)) return fail(FormFailure::LetAssign);
    Expr value = parse_expression();
    optional_semicolon();
    return Stmt(LetStmt{std::move(name), std::move(value)});
}

// def -> "def" NAME "(" params ")" "{" block "}"
std::optional<Stmt> Parser::parse_def() {
    advance();
    if (current() != TokenKind::Identifier) return fail(FormFailure::DefName);
    Name name = take_name();
    if (!match_token(TokenKind::LeftParen)) return fail(FormFailure::DefOpenParen);
    std::vector<Name> params = parse_params();
    if (!match_token(TokenKind::RightParen)) return fail(FormFailure::DefCloseParen);
    if (!match_token(TokenKind::LeftBrace)) return fail(FormFailure::DefBrace);
    // A function body is a world of its own: the loops around the definition are
    // not the loops around its statements when it runs.
    std::uint32_t outer_loops = std::exchange(loop_depth_, 0);
    bool outer_function = std::exchange(in_function_, true);
    StmtList body = parse_braced_body();
    loop_depth_ = outer_loops;
    in_function_ = outer_function;
    auto function =
        std::make_shared<const FunctionBody>(FunctionBody{std::move(params), std::move(body)});
    return Stmt(FunctionDefStmt{std::move(name), std::move(function)});
}

// return -> "return" [expression] [";"]   (no value before "}", ";" or the end)
std::optional<Stmt> Parser::parse_return() {
    advance();
    ReturnStmt stmt;
    TokenKind kind = current();
    if (kind != TokenKind::RightBrace && kind != TokenKind::Semicolon && kind != TokenKind::Eof) {
        stmt.value.emplace(parse_expression());
    }
    optional_semicolon();
    return Stmt(std::move(stmt));
}

// if -> "if" expression "{" block "}" ["else" "{" block "}"]
// An "else" not followed by "{" is consumed and what follows starts a new statement.
std::optional<Stmt> Parser::parse_if() {
    advance();
    Expr condition = parse_expression();
    if (!match_token(TokenKind::LeftBrace)) return fail(FormFailure::IfBrace);
    StmtList then_branch = parse_braced_body();
    std::optional<StmtList> else_branch;
    std::uint32_t else_at = here();
    if (match_token(TokenKind::Else)) {
        if (match_token(TokenKind::LeftBrace)) {
            else_branch.emplace(parse_braced_body());
        } else {
            warn(WarningKind::ElseWithoutBrace, else_at, current());
        }
    }
    return Stmt(IfStmt{std::move(condition), std::move(then_branch), std::move(else_branch)});
}

// while -> "while" expression "{" block "}"
std::optional<Stmt> Parser::parse_while() {
    advance();
    Expr condition = parse_expression();
    if (!match_token(TokenKind::LeftBrace)) return fail(FormFailure::WhileBrace);
    ++loop_depth_;
    StmtList body = parse_braced_body();
    --loop_depth_;
    return Stmt(WhileStmt{std::move(condition), std::move(body)});
}

// for -> "for" NAME "in" expression "{" block "}"
std::optional<Stmt> Parser::parse_for() {
    advance();
    if (current() != TokenKind::Identifier) return fail(FormFailure::ForName);
    Name variable = take_name();
    if (!match_token(TokenKind::In)) return fail(FormFailure::ForIn);
    Expr iterable = parse_expression();
    if (!match_token(TokenKind::LeftBrace)) return fail(FormFailure::ForBrace);
    ++loop_depth_;
    StmtList body = parse_braced_body();
    --loop_depth_;
    return Stmt(ForStmt{std::move(variable), std::move(iterable), std::move(body)});
}

// match -> "match" expression "{" arm* "}"
std::optional<Stmt> Parser::parse_match() {
    advance();
    Expr subject = parse_expression();
    if (!match_token(TokenKind::LeftBrace)) return fail(FormFailure::MatchBrace);
    std::uint32_t opener = offset_at(position_ - 1);
    std::vector<MatchArm> arms;
    while (current() != TokenKind::RightBrace && current() != TokenKind::Eof) {
        std::size_t start = position_;
        std::size_t mark = warning_mark();
        std::optional<MatchArm> arm = parse_arm();
        if (position_ == start) {
            skip_token(SkipContext::Statement, mark);
            continue;
        }
        if (arm) arms.push_back(std::move(*arm));
    }
    expect_closer(TokenKind::RightBrace, opener);
    return Stmt(MatchStmt{std::move(subject), std::move(arms)});
}

// arm -> ("_" | expression) "=>" ("{" block "}" | expression) [";"]
std::optional<MatchArm> Parser::parse_arm() {
    MatchArm arm;
    if (current() == TokenKind::Identifier && current_token().text() == "_") {
        advance();
    } else {
        arm.pattern.emplace(parse_expression());
    }
    if (!match_token(TokenKind::FatArrow)) return fail(FormFailure::ArmArrow);
    if (match_token(TokenKind::LeftBrace)) {
        arm.body = parse_braced_body();
    } else {
        std::uint32_t at = here();
        arm.body.push_back(Stmt(ExpressionStmt{parse_expression()}));
        arm.body.back().offset = at;
    }
    optional_semicolon();
    return arm;
}

// try -> "try" "{" block "}" "catch" NAME "{" block "}"
std::optional<Stmt> Parser::parse_try() {
    advance();
    if (!match_token(TokenKind::LeftBrace)) return fail(FormFailure::TryBrace);
    StmtList try_body = parse_braced_body();
    if (!match_token(TokenKind::Catch)) return fail(FormFailure::TryCatch);
    if (current() != TokenKind::Identifier) return fail(FormFailure::CatchName);
    Name error_name = take_name();
    if (!match_token(TokenKind::LeftBrace)) return fail(FormFailure::CatchBrace);
    StmtList catch_body = parse_braced_body();
    return Stmt(TryCatchStmt{std::move(try_body), std::move(error_name), std::move(catch_body)});
}

// global -> "global" NAME [";"]
std::optional<Stmt> Parser::parse_global() {
    advance();
    if (current() != TokenKind::Identifier) return fail(FormFailure::GlobalName);
    Name name = take_name();
    optional_semicolon();
    return Stmt(GlobalStmt{std::move(name)});
}

// ---------------------------------------------------------------------------
// Expressions

Expr Parser::make_binary(Expr left, Token op, Expr right, std::uint32_t offset) {
    std::uint32_t height = std::max(left.depth, right.depth) + 1;
    Expr node(BinaryExpr{std::make_unique<Expr>(std::move(left)), std::move(op),
                         std::make_unique<Expr>(std::move(right))},
              height);
    node.offset = offset;
    return node_depth_checked(std::move(node));
}

// Every binary level: operand (op operand)*, grouping to the left. `operators` is a
// set of token kinds, one bit per kind.
template <typename Next>
Expr Parser::parse_binary_level(std::uint64_t operators, Next next) {
    Expr left = (this->*next)();
    for (;;) {
        TokenKind kind = current();
        if (((operators >> static_cast<unsigned>(kind)) & 1u) == 0) return left;
        Token op = current_token();
        std::uint32_t at = here();
        advance();
        Expr right = (this->*next)();
        left = make_binary(std::move(left), std::move(op), std::move(right), at);
    }
}

// expression -> and ("or" and)*
Expr Parser::parse_expression() {
    Nest nest(enter(), depth_);
    if (!nest.ok) return Expr(NumberExpr{0});
    return parse_binary_level(bit(TokenKind::Or), &Parser::parse_and);
}

// and -> equality ("and" equality)*
Expr Parser::parse_and() {
    return parse_binary_level(bit(TokenKind::And), &Parser::parse_equality);
}

// equality -> comparison (("==" | "!=") comparison)*
Expr Parser::parse_equality() {
    return parse_binary_level(bit(TokenKind::EqualEqual) | bit(TokenKind::NotEqual),
                              &Parser::parse_comparison);
}

// comparison -> range (("<" | ">" | "<=" | ">=") range)*
Expr Parser::parse_comparison() {
    return parse_binary_level(bit(TokenKind::Less) | bit(TokenKind::Greater) |
                                  bit(TokenKind::LessEqual) | bit(TokenKind::GreaterEqual),
                              &Parser::parse_range);
}

// range -> additive [".." additive]   (at most one range per level)
Expr Parser::parse_range() {
    Expr start = parse_additive();
    if (current() != TokenKind::Dot || next_kind() != TokenKind::Dot) return start;
    std::uint32_t at = here();
    advance(2);
    Expr end = parse_additive();
    std::uint32_t height = std::max(start.depth, end.depth) + 1;
    Expr range(
        RangeExpr{std::make_unique<Expr>(std::move(start)), std::make_unique<Expr>(std::move(end))},
        height);
    range.offset = at;
    return node_depth_checked(std::move(range));
}

// additive -> multiplicative (("+" | "-") multiplicative)*
Expr Parser::parse_additive() {
    return parse_binary_level(bit(TokenKind::Plus) | bit(TokenKind::Minus),
                              &Parser::parse_multiplicative);
}

// multiplicative -> power (("*" | "/" | "%") power)*
Expr Parser::parse_multiplicative() {
    return parse_binary_level(
        bit(TokenKind::Star) | bit(TokenKind::Slash) | bit(TokenKind::Percent),
        &Parser::parse_power);
}

// power -> unary ("**" unary)*   (left-associative like every binary level)
Expr Parser::parse_power() {
    return parse_binary_level(bit(TokenKind::StarStar), &Parser::parse_unary);
}

// unary -> ("-" | "not" | "!") unary | primary suffix*
Expr Parser::parse_unary() {
    if (current() != TokenKind::Minus && current() != TokenKind::Not) {
        return parse_suffixes(parse_primary());
    }
    Nest nest(enter(), depth_);
    if (!nest.ok) return Expr(NumberExpr{0});
    Token op = current_token();
    std::uint32_t at = here();
    advance();
    Expr operand = parse_unary();
    std::uint32_t height = operand.depth + 1;
    Expr unary(UnaryExpr{std::move(op), std::make_unique<Expr>(std::move(operand))}, height);
    unary.offset = at;
    return node_depth_checked(std::move(unary));
}

// primary -> INTEGER | FLOAT | STRING | "true" | "false" | NAME
//          | "(" expression ")" | "[" list "]" | "{" dict "}"
// Where none fits, the integer 0 stands in and nothing is consumed.
Expr Parser::parse_primary() {
    std::uint32_t at = here();
    bool parenthesised = current() == TokenKind::LeftParen;
    Expr primary = parse_primary_at(at);
    if (!parenthesised) primary.offset = at;  // a parenthesised one keeps its own place
    return primary;
}

Expr Parser::parse_primary_at(std::uint32_t at) {
    const Token& token = current_token();
    switch (token.kind) {
        case TokenKind::Integer: advance(); return Expr(NumberExpr{token.integer()});
        case TokenKind::Float: advance(); return Expr(FloatExpr{token.number()});
        case TokenKind::String: {
            Name value{token.text(), 0};
            value.id = symbols_.intern(value.text);
            advance();
            return Expr(StringExpr{std::move(value)});
        }
        case TokenKind::True: advance(); return Expr(BooleanExpr{true});
        case TokenKind::False: advance(); return Expr(BooleanExpr{false});
        case TokenKind::Identifier: return Expr(VariableExpr{take_name()});
        case TokenKind::LeftParen: {
            advance();
            Expr inner = parse_expression();
            expect_closer(TokenKind::RightParen, at);
            return inner;
        }
        case TokenKind::LeftBracket: {
            advance();
            std::vector<Expr> elements = parse_expression_list();
            expect_closer(TokenKind::RightBracket, at);
            std::uint32_t height = height_of(elements);
            return node_depth_checked(Expr(ArrayExpr{std::move(elements)}, height));
        }
        case TokenKind::LeftBrace: advance(); return parse_dict(at);
        case TokenKind::Let:
        case TokenKind::Def:
        case TokenKind::Return:
        case TokenKind::If:
        case TokenKind::Else:
        case TokenKind::While:
        case TokenKind::For:
        case TokenKind::In:
        case TokenKind::Break:
        case TokenKind::Continue:
        case TokenKind::And:
        case TokenKind::Or:
        case TokenKind::Not:
        case TokenKind::Match:
        case TokenKind::Try:
        case TokenKind::Catch:
        case TokenKind::Global:
        case TokenKind::Plus:
        case TokenKind::Minus:
        case TokenKind::Star:
        case TokenKind::Slash:
        case TokenKind::Percent:
        case TokenKind::StarStar:
        case TokenKind::Assign:
        case TokenKind::PlusAssign:
        case TokenKind::MinusAssign:
        case TokenKind::StarAssign:
        case TokenKind::SlashAssign:
        case TokenKind::EqualEqual:
        case TokenKind::NotEqual:
        case TokenKind::Less:
        case TokenKind::Greater:
        case TokenKind::LessEqual:
        case TokenKind::GreaterEqual:
        case TokenKind::RightParen:
        case TokenKind::RightBrace:
        case TokenKind::RightBracket:
        case TokenKind::Comma:
        case TokenKind::Colon:
        case TokenKind::Semicolon:
        case TokenKind::Arrow:
        case TokenKind::FatArrow:
        case TokenKind::Dot:
        case TokenKind::Question:
        case TokenKind::Eof: break;
    }
    // The second "/" of "//" has been reported as such by the lexer.
    bool double_slash = token.kind == TokenKind::Slash && position_ > 0 &&
                        tokens_[position_ - 1].kind == TokenKind::Slash;
    if (!double_slash) warn(WarningKind::MissingOperand, at, token.kind);
    return Expr(NumberExpr{0});
}

// suffix -> "(" list ")" | "[" expression "]" | "." NAME
Expr Parser::parse_suffixes(Expr expr) {
    for (;;) {
        TokenKind kind = current();
        std::uint32_t at = here();
        if (kind == TokenKind::Dot) {
            if (next_kind() == TokenKind::Dot) return expr;  // the pair belongs to a range
            advance();
            if (current() != TokenKind::Identifier) {  // a lone "." is consumed
                warn(WarningKind::LoneDot, at, current());
                continue;
            }
            std::uint32_t key_at = here();
            Name key = take_name();
            std::uint32_t height = expr.depth + 1;
            Expr key_expr(StringExpr{std::move(key)});
            key_expr.offset = key_at;
            Expr index(IndexExpr{std::make_unique<Expr>(std::move(expr)),
                                 std::make_unique<Expr>(std::move(key_expr))},
                       height);
            index.offset = at;
            expr = node_depth_checked(std::move(index));
        } else if (kind == TokenKind::LeftBracket) {
            advance();
            Expr index = parse_expression();
            expect_closer(TokenKind::RightBracket, at);
            std::uint32_t height = std::max(expr.depth, index.depth) + 1;
            Expr node(IndexExpr{std::make_unique<Expr>(std::move(expr)),
                                std::make_unique<Expr>(std::move(index))},
                      height);
            node.offset = at;
            expr = node_depth_checked(std::move(node));
        } else if (kind == TokenKind::LeftParen) {
            advance();
            std::vector<Expr> args = parse_expression_list();
            expect_closer(TokenKind::RightParen, at);
            if (expr.kind != ExprKind::Variable) {  // only a bare name is called
                warn(WarningKind::CallOfNonName, at);
                continue;
            }
            std::uint32_t height = height_of(args);
            std::uint32_t name_at = expr.offset;
            Name name = std::move(expr.as<VariableExpr>().name);
            expr = node_depth_checked(Expr(CallExpr{std::move(name), std::move(args)}, height));
            expr.offset = name_at;
        } else {
            return expr;
        }
    }
}

// list -> (expression [","])*   (up to ")", "}", "]" or the end, left in place)
// An element position holding a token no expression can start with (";", ":", "=", a
// keyword...) yields its 0 like an empty slot does; the token is skipped so the loop
// moves on, and a "," right after it is that element's separator.
std::vector<Expr> Parser::parse_expression_list() {
    std::vector<Expr> list;
    while (!ends_list(current())) {
        std::size_t start = position_;
        std::size_t mark = warning_mark();
        list.push_back(parse_expression());
        match_token(TokenKind::Comma);
        if (position_ == start) {
            skip_token(SkipContext::List, mark);  // the 0 read in its place stays
            match_token(TokenKind::Comma);
        }
    }
    return list;
}

// dict -> (NAME ":" expression [","])* "}"
// A key without ":" is dropped; any other token in a key position is skipped.
Expr Parser::parse_dict(std::uint32_t opener) {
    std::vector<DictEntry> entries;
    std::uint32_t height = 1;
    for (;;) {
        TokenKind kind = current();
        if (kind == TokenKind::RightBrace || kind == TokenKind::Eof) {
            expect_closer(TokenKind::RightBrace, opener);
            break;
        }
        if (kind != TokenKind::Identifier) {
            skip_token(SkipContext::DictKey, warning_mark());
            continue;
        }
        Name key = take_name();
        if (!match_token(TokenKind::Colon)) {
            warn(WarningKind::DictEntryLeftOut, here(), current());
            continue;
        }
        Expr value = parse_expression();
        height = std::max<std::uint32_t>(height, value.depth + 1u);
        entries.push_back(DictEntry{std::move(key), std::move(value)});
        match_token(TokenKind::Comma);
    }
    return node_depth_checked(Expr(DictExpr{std::move(entries)}, height));
}

}  // namespace quenra
