// Token streams for the lexical rules scripts cannot see directly.
#include <gtest/gtest.h>

#include <cmath>

#include "lexer/lexer.hpp"

namespace quenra {
namespace {

// Tokens as compact text: kinds by their written form, payloads in parentheses.
std::string lex(std::string_view source) {
    std::string out;
    for (const Token& token : tokenize(source)) {
        if (!out.empty()) out += ' ';
        if (token.kind == TokenKind::Identifier) {
            out += "id(" + token.text() + ")";
        } else if (token.kind == TokenKind::String) {
            out += "str(" + token.text() + ")";
        } else if (token.kind == TokenKind::Integer) {
            out += "int(" + std::to_string(token.integer()) + ")";
        } else if (token.kind == TokenKind::Float) {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.17g", token.number());
            out += std::string("float(") + buffer + ")";
        } else {
            out += std::string(token_kind_text(token.kind));
        }
    }
    return out;
}

TEST(Lexer, EmptyAndBlankInputYieldOnlyEof) {
    EXPECT_EQ(lex(""), "end of input");
    EXPECT_EQ(lex(" \t\r\n # comment\n /* block */"), "end of input");
}

TEST(Lexer, NumbersAndDots) {
    EXPECT_EQ(lex("1.5"), "float(1.5) end of input");
    EXPECT_EQ(lex("1."), "int(1) . end of input");
    EXPECT_EQ(lex("1.2.3"), "float(1.2) . int(3) end of input");
    EXPECT_EQ(lex("1..2"), "int(1) . . int(2) end of input");
    EXPECT_EQ(lex(".5"), ". int(5) end of input");
    EXPECT_EQ(lex("a.b"), "id(a) . id(b) end of input");
    EXPECT_EQ(lex("-5"), "- int(5) end of input");
    EXPECT_EQ(lex("007 12abc"), "int(7) int(12) id(abc) end of input");
}

TEST(Lexer, IntegerLimitAndOverflowingLiteral) {
    EXPECT_EQ(lex("9223372036854775807"), "int(9223372036854775807) end of input");
    // Beyond int64 the literal becomes the nearest float.
    EXPECT_EQ(lex("9223372036854775808"), "float(9.2233720368547758e+18) end of input");
    EXPECT_EQ(lex("99999999999999999999999"), "float(9.9999999999999992e+22) end of input");
    std::vector<Token> huge = tokenize(std::string(400, '9') + ".5");
    ASSERT_EQ(huge[0].kind, TokenKind::Float);
    EXPECT_TRUE(std::isinf(huge[0].number()));
}

TEST(Lexer, OperatorsTakeTheLongestMatch) {
    EXPECT_EQ(lex("x**=2"), "id(x) ** = int(2) end of input");
    EXPECT_EQ(lex("a!==b"), "id(a) != = id(b) end of input");
    EXPECT_EQ(lex("a//b"), "id(a) / / id(b) end of input");
    EXPECT_EQ(lex("-> => -= += *= /= <= >= == !"), "-> => -= += *= /= <= >= == not end of input");
    EXPECT_EQ(lex("!x not x"), "not id(x) not id(x) end of input");
    EXPECT_EQ(lex("<"), "< end of input");
}

TEST(Lexer, DroppedCharacters) {
    EXPECT_EQ(lex("a && b || c"), "id(a) id(b) id(c) end of input");
    EXPECT_EQ(lex("'x'"), "id(x) end of input");
    EXPECT_EQ(lex(std::string("\x00\x01\x0b\x0c$@^`~\x7f", 11)), "end of input");
    EXPECT_EQ(lex("True NULL null"), "id(True) id(NULL) id(null) end of input");
}

TEST(Lexer, StringEscapes) {
    EXPECT_EQ(lex(R"("a\nb")"), "str(a\nb) end of input");
    EXPECT_EQ(lex(R"("\t\r\\\"")"), "str(\t\r\\\") end of input");
    EXPECT_EQ(lex(R"("\q")"), "str(\\q) end of input");
    EXPECT_EQ(lex("\"\\é\""), "str(\\é) end of input");
}

TEST(Lexer, UnterminatedLiteralsRunToTheEnd) {
    EXPECT_EQ(lex("\"abc"), "str(abc) end of input");
    EXPECT_EQ(lex("\"abc\\"), "str(abc) end of input");  // a final backslash is dropped
    EXPECT_EQ(lex("/*x"), "end of input");
    EXPECT_EQ(lex("x # words"), "id(x) end of input");
}

TEST(Lexer, BlockCommentClosing) {
    EXPECT_EQ(lex("/*/ x"), "end of input");  // the opening star does not close
    EXPECT_EQ(lex("/**/x"), "id(x) end of input");
    EXPECT_EQ(lex("/* a */ b */"), "id(b) * / end of input");  // no nesting
    EXPECT_EQ(lex("x # c\ny"), "id(x) id(y) end of input");
}

TEST(Lexer, NonAsciiIdentifiers) {
    EXPECT_EQ(lex("été"), "id(té) end of input");  // a non-ASCII letter cannot start one
    EXPECT_EQ(lex("x²"), "id(x²) end of input");   // Numeric continues
    EXPECT_EQ(lex("x٣y"), "id(x٣y) end of input");
    EXPECT_EQ(lex("a→b"), "id(a) id(b) end of input");  // a symbol ends it and is dropped
    EXPECT_EQ(lex("_"), "id(_) end of input");
}

TEST(Lexer, ByteOrderMarkIsDropped) {
    EXPECT_EQ(lex("\xEF\xBB\xBFprint"), "id(print) end of input");
    EXPECT_EQ(lex("x\xEF\xBB\xBFy"), "id(x) id(y) end of input");
}

TEST(Lexer, KeywordsAreExactAndCaseSensitive) {
    EXPECT_EQ(lex("let Let letter in_ global"),
              "let id(Let) id(letter) id(in_) global end of input");
}

TEST(Lexer, TokenEquality) {
    EXPECT_EQ(Token::simple(TokenKind::Plus), Token::simple(TokenKind::Plus));
    EXPECT_FALSE(Token::simple(TokenKind::Plus) == Token::simple(TokenKind::Minus));
    EXPECT_EQ(Token::with_text(TokenKind::Identifier, "a"),
              Token::with_text(TokenKind::Identifier, "a"));
    EXPECT_FALSE(Token::with_text(TokenKind::Identifier, "a") ==
                 Token::with_text(TokenKind::Identifier, "b"));
    EXPECT_FALSE(Token::float_literal(NAN) == Token::float_literal(NAN));
}

}  // namespace
}  // namespace quenra
