// Number literals and float display: a float's display text must read back as the
// same double through the lexer, and a digit string must lex to the value strtod
// gives it.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "interpreter/value.hpp"
#include "lexer/lexer.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        std::string text;
        quenra::append_float(text, value);
        if (std::isnan(value)) {
            if (text != "NaN") std::abort();
        } else if (std::isinf(value)) {
            if (text != (value < 0 ? "-inf" : "inf")) std::abort();
        } else {
            if (text.find_first_of("eE") != std::string::npos) std::abort();  // never an exponent
            std::string digits = text[0] == '-' ? text.substr(1) : text;
            // A display text without a dot lexes as an integer when it fits; compare
            // through strtod, which is what the lexer uses for floats.
            double back = std::strtod(digits.c_str(), nullptr);
            if (text[0] == '-') back = -back;
            if (back != value || std::signbit(back) != std::signbit(value)) std::abort();
        }
    }
    // Digits with at most one dot: lex and compare with strtod.
    std::string digits;
    bool dot = false;
    for (std::size_t i = 0; i < size && digits.size() < 400; ++i) {
        char c = static_cast<char>('0' + data[i] % 11);
        if (c == '0' + 10) {
            if (dot || digits.empty()) continue;
            dot = true;
            c = '.';
        }
        digits += c;
    }
    if (digits.empty() || digits.back() == '.') return 0;
    std::vector<quenra::Token> tokens = quenra::tokenize(digits);
    double expected = std::strtod(digits.c_str(), nullptr);
    const quenra::Token& token = tokens[0];
    if (token.kind == quenra::TokenKind::Integer) {
        if (dot || static_cast<double>(token.integer()) != expected) std::abort();
        if (std::to_string(token.integer()) !=
            digits.substr(digits.find_first_not_of('0') == std::string::npos
                              ? digits.size() - 1
                              : digits.find_first_not_of('0')))
            std::abort();
    } else if (token.kind == quenra::TokenKind::Float) {
        if (token.number() != expected) std::abort();
    } else {
        std::abort();
    }
    if (tokens.size() != 2) std::abort();
    return 0;
}
