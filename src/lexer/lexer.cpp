#include "lexer/lexer.hpp"

#include <unicode/uchar.h>

#include <array>
#include <cstdlib>

#include "lexer/utf8.hpp"

namespace quenra {

bool operator==(const Token& a, const Token& b) {
    if (a.kind != b.kind) return false;
    if (a.kind == TokenKind::Identifier || a.kind == TokenKind::String) return a.text() == b.text();
    if (a.kind == TokenKind::Integer) return a.integer() == b.integer();
    if (a.kind == TokenKind::Float) return a.number() == b.number();
    return true;
}

bool continues_identifier(char32_t c) {
    auto code = static_cast<UChar32>(c);
    if (u_hasBinaryProperty(code, UCHAR_ALPHABETIC)) return true;
    auto type = u_charType(code);
    return type == U_DECIMAL_DIGIT_NUMBER || type == U_LETTER_NUMBER || type == U_OTHER_NUMBER;
}

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// ASCII characters that continue a name: letters, digits and "_".
constexpr auto NAME_CHARACTER = [] {
    std::array<bool, 128> table{};
    for (int c = 0; c < 128; ++c) {
        table[c] =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    }
    return table;
}();

struct Keyword {
    std::string_view text;
    TokenKind kind;
};

constexpr Keyword KEYWORDS[] = {
    {"let", TokenKind::Let},       {"def", TokenKind::Def},
    {"return", TokenKind::Return}, {"if", TokenKind::If},
    {"else", TokenKind::Else},     {"while", TokenKind::While},
    {"for", TokenKind::For},       {"in", TokenKind::In},
    {"break", TokenKind::Break},   {"continue", TokenKind::Continue},
    {"true", TokenKind::True},     {"false", TokenKind::False},
    {"and", TokenKind::And},       {"or", TokenKind::Or},
    {"not", TokenKind::Not},       {"match", TokenKind::Match},
    {"try", TokenKind::Try},       {"catch", TokenKind::Catch},
    {"global", TokenKind::Global},
};
static_assert(std::size(KEYWORDS) == KEYWORD_COUNT);

bool find_keyword(std::string_view word, TokenKind& kind) {
    // Keywords are lower-case and 2 to 8 letters long; most names fail these tests
    // before any comparison.
    if (word.size() < 2 || word.size() > 8 || word[0] < 'a' || word[0] > 'w') return false;
    for (const Keyword& keyword : KEYWORDS) {
        if (keyword.text.size() == word.size() && keyword.text[0] == word[0] &&
            keyword.text == word) {
            kind = keyword.kind;
            return true;
        }
    }
    return false;
}

// Converts decimal text (digits, optionally one dot) to the nearest double; a value
// beyond the double range becomes +infinity.
double parse_decimal(const std::string& text) {
    // strtod rounds correctly and yields HUGE_VAL (infinity) beyond the range.
    return std::strtod(text.c_str(), nullptr);
}

}  // namespace

std::vector<Token> Lexer::tokenize() {
    tokens_.reserve(source_.size() / 4 + 1);
    if (trace_ != nullptr) {
        trace_->offsets.reserve(tokens_.capacity());
        scan<true>();
        trace_->offsets.push_back(place(source_.size()));
    } else {
        scan<false>();
    }
    emit(TokenKind::Eof);
    return std::move(tokens_);
}

std::uint32_t Lexer::place(std::size_t at) const {
    std::uint64_t offset = std::uint64_t{trace_->base} + at;
    return offset > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(offset);
}

void Lexer::warn(std::size_t at, WarningKind kind, std::uint32_t other) {
    Warning warning;
    warning.offset = place(at);
    warning.kind = kind;
    warning.other = other;
    trace_->warnings.push_back(warning);
}

template <bool TRACE>
void Lexer::scan() {
    while (!at_end()) {
        std::size_t start = pos_;
        char c = source_[pos_];
        switch (c) {
            case '\t':
            case '\n':
            case '\r':
            case ' ': ++pos_; break;
            case '#': skip_line_comment(); break;
            case '"':
                if (!lex_string() && TRACE) warn(start, WarningKind::UnclosedString);
                break;
            case '/':
                if (peek(1) == '*') {
                    if (!skip_block_comment() && TRACE) warn(start, WarningKind::UnclosedComment);
                } else if (peek(1) == '=') {
                    pos_ += 2;
                    emit(TokenKind::SlashAssign);
                } else {
                    if (TRACE && peek(1) == '/' && (start == 0 || source_[start - 1] != '/')) {
                        warn(start, WarningKind::DoubleSlash);
                    }
                    ++pos_;
                    emit(TokenKind::Slash);
                }
                break;
            case '!':
            case '*':
            case '+':
            case '-':
            case '=':
            case '<':
            case '>': lex_operator(c); break;
            case '%':
                ++pos_;
                emit(TokenKind::Percent);
                break;
            case '(':
                ++pos_;
                emit(TokenKind::LeftParen);
                break;
            case ')':
                ++pos_;
                emit(TokenKind::RightParen);
                break;
            case '{':
                ++pos_;
                emit(TokenKind::LeftBrace);
                break;
            case '}':
                ++pos_;
                emit(TokenKind::RightBrace);
                break;
            case '[':
                ++pos_;
                emit(TokenKind::LeftBracket);
                break;
            case ']':
                ++pos_;
                emit(TokenKind::RightBracket);
                break;
            case ',':
                ++pos_;
                emit(TokenKind::Comma);
                break;
            case ':':
                ++pos_;
                emit(TokenKind::Colon);
                break;
            case ';':
                ++pos_;
                emit(TokenKind::Semicolon);
                break;
            case '.':
                ++pos_;
                emit(TokenKind::Dot);
                break;
            case '?':
                ++pos_;
                emit(TokenKind::Question);
                break;
            default:
                if (is_digit(c)) {
                    if (!lex_number() && TRACE) warn(start, WarningKind::IntegerTooLarge);
                } else if (is_ascii_letter(c) || c == '_') {
                    lex_word();
                } else if (static_cast<unsigned char>(c) < 0x80) {
                    ++pos_;  // a character that starts no token is dropped
                    if (TRACE) warn(start, WarningKind::DroppedCharacter, c);
                } else {
                    char32_t dropped = utf8::decode(source_, pos_);  // so is any non-ASCII one
                    // A byte-order mark at the very start is no mistake of the author's.
                    if (TRACE && !(start == 0 && dropped == 0xFEFF)) {
                        warn(start, WarningKind::DroppedCharacter, dropped);
                    }
                }
                break;
        }
        if constexpr (TRACE) {
            while (trace_->offsets.size() < tokens_.size()) trace_->offsets.push_back(place(start));
        }
    }
}

void Lexer::skip_line_comment() {
    std::size_t newline = source_.find('\n', pos_);
    pos_ = newline == std::string_view::npos ? source_.size() : newline + 1;
}

bool Lexer::skip_block_comment() {
    pos_ += 2;  // the opening "/*"; its star does not count towards the closing pair
    char previous = '\0';
    while (!at_end()) {
        char c = source_[pos_++];
        if (c == '/' && previous == '*') return true;
        previous = c;
    }
    return false;
}

bool Lexer::lex_string() {
    ++pos_;  // opening quote
    scratch_.clear();
    bool closed = false;
    while (!at_end()) {
        char c = source_[pos_++];
        if (c == '"') {
            closed = true;
            break;
        }
        if (c != '\\') {
            scratch_.push_back(c);
            continue;
        }
        if (at_end()) break;  // a backslash that ends the input is dropped
        char escaped = source_[pos_];
        switch (escaped) {
            case 'n':
                scratch_.push_back('\n');
                ++pos_;
                break;
            case 't':
                scratch_.push_back('\t');
                ++pos_;
                break;
            case 'r':
                scratch_.push_back('\r');
                ++pos_;
                break;
            case '\\':
                scratch_.push_back('\\');
                ++pos_;
                break;
            case '"':
                scratch_.push_back('"');
                ++pos_;
                break;
            default:
                // Unknown escape: the backslash stays, and the next character is taken
                // as an ordinary one (whole, if it is multi-byte).
                scratch_.push_back('\\');
                break;
        }
    }
    Token& token = tokens_.emplace_back();
    token.kind = TokenKind::String;
    token.text_value = scratch_;
    return closed;
}

bool Lexer::lex_number() {
    std::size_t start = pos_;
    while (!at_end() && is_digit(source_[pos_])) ++pos_;
    bool is_float = false;
    if (peek() == '.' && has(1) && is_digit(peek(1))) {
        is_float = true;
        ++pos_;
        while (!at_end() && is_digit(source_[pos_])) ++pos_;
    }
    scratch_.assign(source_.substr(start, pos_ - start));
    if (is_float) {
        tokens_.push_back(Token::float_literal(parse_decimal(scratch_)));
        return true;
    }
    // Digits beyond the int64 range become the nearest float.
    std::uint64_t value = 0;
    bool overflow = false;
    for (char digit : scratch_) {
        std::uint64_t d = static_cast<std::uint64_t>(digit - '0');
        if (value > (9223372036854775807ULL - d) / 10) {
            overflow = true;
            break;
        }
        value = value * 10 + d;
    }
    if (overflow) {
        tokens_.push_back(Token::float_literal(parse_decimal(scratch_)));
    } else {
        Token& token = tokens_.emplace_back();
        token.kind = TokenKind::Integer;
        token.integer_value = static_cast<std::int64_t>(value);
    }
    return !overflow;
}

void Lexer::lex_word() {
    // Every character that continues a name is kept as it is, so the name is always
    // one slice of the source.
    std::size_t start = pos_;
    const char* data = source_.data();
    std::size_t size = source_.size();
    while (pos_ < size) {
        auto c = static_cast<unsigned char>(data[pos_]);
        if (c < 0x80) {
            if (!NAME_CHARACTER[c]) break;
            ++pos_;
            continue;
        }
        std::size_t next = pos_;
        if (!continues_identifier(utf8::decode(source_, next))) break;
        pos_ = next;
    }
    std::string_view word = source_.substr(start, pos_ - start);
    TokenKind keyword;
    if (find_keyword(word, keyword)) {
        emit(keyword);
    } else {
        Token& token = tokens_.emplace_back();
        token.kind = TokenKind::Identifier;
        token.text_value.assign(word);
    }
}

void Lexer::lex_operator(char first) {
    char second = peek(1);
    TokenKind kind;
    bool pair = true;
    switch (first) {
        case '!':
            kind = second == '=' ? TokenKind::NotEqual : (pair = false, TokenKind::Not);
            break;
        case '*':
            if (second == '*')
                kind = TokenKind::StarStar;
            else if (second == '=')
                kind = TokenKind::StarAssign;
            else
                kind = (pair = false, TokenKind::Star);
            break;
        case '+':
            kind = second == '=' ? TokenKind::PlusAssign : (pair = false, TokenKind::Plus);
            break;
        case '-':
            if (second == '=')
                kind = TokenKind::MinusAssign;
            else if (second == '>')
                kind = TokenKind::Arrow;
            else
                kind = (pair = false, TokenKind::Minus);
            break;
        case '=':
            if (second == '=')
                kind = TokenKind::EqualEqual;
            else if (second == '>')
                kind = TokenKind::FatArrow;
            else
                kind = (pair = false, TokenKind::Assign);
            break;
        case '<':
            kind = second == '=' ? TokenKind::LessEqual : (pair = false, TokenKind::Less);
            break;
        default:  // '>'
            kind = second == '=' ? TokenKind::GreaterEqual : (pair = false, TokenKind::Greater);
            break;
    }
    pos_ += pair ? 2 : 1;
    emit(kind);
}

std::vector<Token> tokenize(std::string_view source) { return Lexer(source).tokenize(); }

std::vector<Token> tokenize(std::string_view source, FrontEndTrace& trace) {
    return Lexer(source, &trace).tokenize();
}

}  // namespace quenra
