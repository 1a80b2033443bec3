// Any bytes through the lexer: it must end with exactly one Eof and never fail. The
// traced pass of --warn must yield the same tokens, one offset per token, in order,
// and messages for whatever it records.
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
    quenra::FrontEndTrace trace;
    std::vector<quenra::Token> traced = quenra::tokenize(text, trace);
    if (traced.size() != tokens.size() || trace.offsets.size() != tokens.size()) std::abort();
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!(traced[i] == tokens[i])) std::abort();
        if (i > 0 && trace.offsets[i] < trace.offsets[i - 1]) std::abort();
        if (trace.offsets[i] > size) std::abort();
    }
    for (const quenra::Warning& warning : trace.warnings) {
        if (quenra::describe(warning, nullptr).empty()) std::abort();
    }
    return 0;
}
