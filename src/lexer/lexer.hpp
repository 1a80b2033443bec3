#pragma once
// The lexer: source text to a token list that always ends with exactly one Eof.
// Lexing never fails: characters that start no token are dropped, and unterminated
// strings and block comments run to the end of the input.

#include <string>
#include <string_view>
#include <vector>

#include "lexer/token.hpp"

namespace quenra {

class Lexer {
public:
    explicit Lexer(std::string_view source) : source_(source) {}

    // One pass over the whole source; callable once per Lexer.
    std::vector<Token> tokenize();

private:
    bool at_end() const { return pos_ >= source_.size(); }
    char peek(std::size_t ahead = 0) const {
        return pos_ + ahead < source_.size() ? source_[pos_ + ahead] : '\0';
    }
    bool has(std::size_t ahead) const { return pos_ + ahead < source_.size(); }

    void skip_line_comment();
    void skip_block_comment();
    void lex_string();
    void lex_number();
    void lex_word();
    void lex_operator(char first);
    void emit(TokenKind kind) { tokens_.emplace_back().kind = kind; }

    std::string_view source_;
    std::size_t pos_ = 0;
    std::vector<Token> tokens_;
    std::string scratch_;
};

// The lexer's one operation as a free function.
std::vector<Token> tokenize(std::string_view source);

// True when a non-ASCII character may continue an identifier (Unicode Alphabetic,
// or general category Nd, Nl or No).
bool continues_identifier(char32_t c);

}  // namespace quenra
