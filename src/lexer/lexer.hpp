#pragma once
// The lexer: source text to a token list that always ends with exactly one Eof.
// Lexing never fails: characters that start no token are dropped, and unterminated
// strings and block comments run to the end of the input.

#include <string>
#include <string_view>
#include <vector>

#include "lexer/token.hpp"
#include "lexer/warnings.hpp"

namespace quenra {

class Lexer {
public:
    // With a trace, the lexer also records each token's offset and what it drops.
    explicit Lexer(std::string_view source, FrontEndTrace* trace = nullptr)
        : source_(source), trace_(trace) {}

    // One pass over the whole source; callable once per Lexer.
    std::vector<Token> tokenize();

private:
    bool at_end() const { return pos_ >= source_.size(); }
    char peek(std::size_t ahead = 0) const {
        return pos_ + ahead < source_.size() ? source_[pos_ + ahead] : '\0';
    }
    bool has(std::size_t ahead) const { return pos_ + ahead < source_.size(); }

    // The pass itself; only a traced pass records offsets and warnings, so the
    // untraced one is the same loop with nothing added.
    template <bool TRACE>
    void scan();
    void warn(std::size_t at, WarningKind kind, std::uint32_t other = 0);
    std::uint32_t place(std::size_t at) const;

    void skip_line_comment();
    bool skip_block_comment();  // false when the input ends inside the comment
    bool lex_string();          // false when the input ends inside the string
    bool lex_number();          // false when the digits exceed the int64 range
    void lex_word();
    void lex_operator(char first);
    void emit(TokenKind kind) { tokens_.emplace_back().kind = kind; }

    std::string_view source_;
    FrontEndTrace* trace_;
    std::size_t pos_ = 0;
    std::vector<Token> tokens_;
    std::string scratch_;
};

// The lexer's one operation as a free function.
std::vector<Token> tokenize(std::string_view source);
// The same, recording into `trace` (token offsets counted from `trace.base`).
std::vector<Token> tokenize(std::string_view source, FrontEndTrace& trace);

// True when a non-ASCII character may continue an identifier (Unicode Alphabetic,
// or general category Nd, Nl or No).
bool continues_identifier(char32_t c);

}  // namespace quenra
