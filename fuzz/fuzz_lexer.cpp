// Any bytes through the lexer: it must end with exactly one Eof and never fail.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "lexer/lexer.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<quenra::Token> tokens = quenra::tokenize(text);
    if (tokens.empty() || tokens.back().kind != quenra::TokenKind::Eof) std::abort();
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i].kind == quenra::TokenKind::Eof) std::abort();
    }
    return 0;
}
