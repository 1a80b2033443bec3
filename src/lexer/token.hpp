#pragma once
// Tokens: the lexer's output and the parser's input. A token is a kind plus, for
// the four literal-bearing kinds only, a payload. Tokens carry no source position.

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

namespace quenra {

// The enumerator order is part of the language's definition (ordinals are stable).
enum class TokenKind : std::uint8_t {
    Let,
    Def,
    Return,
    If,
    Else,
    While,
    For,
    In,
    Break,
    Continue,
    True,
    False,
    And,
    Or,
    Not,
    Match,
    Try,
    Catch,
    Global,
    Identifier,  // payload: text
    Integer,     // payload: int64
    Float,       // payload: double
    String,      // payload: unescaped text
    Plus,
    Minus,
    Star,
    Slash,
    Percent,
    StarStar,
    Assign,
    PlusAssign,
    MinusAssign,
    StarAssign,
    SlashAssign,
    EqualEqual,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    LeftParen,
    RightParen,
    LeftBrace,
    RightBrace,
    LeftBracket,
    RightBracket,
    Comma,
    Colon,
    Semicolon,
    Arrow,
    FatArrow,
    Dot,
    Question,
    Eof,
};

inline constexpr std::size_t TOKEN_KIND_COUNT = 54;

// How each kind is written, indexed by ordinal (for dumps and messages in tests).
inline constexpr std::string_view TOKEN_KIND_TEXT[] = {
    "let",      "def",        "return",  "if",    "else",   "while", "for",   "in",  "break",
    "continue", "true",       "false",   "and",   "or",     "not",   "match", "try", "catch",
    "global",   "identifier", "integer", "float", "string", "+",     "-",     "*",   "/",
    "%",        "**",         "=",       "+=",    "-=",     "*=",    "/=",    "==",  "!=",
    "<",        ">",          "<=",      ">=",    "(",      ")",     "{",     "}",   "[",
    "]",        ",",          ":",       ";",     "->",     "=>",    ".",     "?",   "end of input",
};
static_assert(std::size(TOKEN_KIND_TEXT) == TOKEN_KIND_COUNT);
static_assert(static_cast<std::size_t>(TokenKind::Eof) + 1 == TOKEN_KIND_COUNT);

inline constexpr std::size_t KEYWORD_COUNT = 19;  // the kinds Let .. Global

constexpr std::string_view token_kind_text(TokenKind kind) {
    return TOKEN_KIND_TEXT[static_cast<std::size_t>(kind)];
}

struct Token {
    TokenKind kind = TokenKind::Eof;
    // The payload: `text_value` for Identifier and String, `integer_value` for
    // Integer, `float_value` for Float; unused (and empty) for every other kind.
    std::string text_value;
    std::int64_t integer_value = 0;
    double float_value = 0.0;

    static Token simple(TokenKind kind) { return Token{kind, {}, 0, 0.0}; }
    static Token with_text(TokenKind kind, std::string text) {
        return Token{kind, std::move(text), 0, 0.0};
    }
    static Token integer_literal(std::int64_t value) {
        return Token{TokenKind::Integer, {}, value, 0.0};
    }
    static Token float_literal(double value) { return Token{TokenKind::Float, {}, 0, value}; }

    const std::string& text() const { return text_value; }
    std::int64_t integer() const { return integer_value; }
    double number() const { return float_value; }
};

// Kinds equal and, for literal-bearing kinds, payloads equal (floats by ==, so a
// NaN never equals anything).
bool operator==(const Token& a, const Token& b);

}  // namespace quenra
