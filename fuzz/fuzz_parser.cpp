// Any bytes through the lexer and the parser, then the tree's deep copy and release.
// The copy must print exactly like the original.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "lexer/lexer.hpp"
#include "parser/dump.hpp"
#include "parser/parser.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<quenra::Token> tokens = quenra::tokenize(text);
    quenra::SymbolTable symbols;
    quenra::ParseResult parsed = quenra::parse(tokens, symbols);
    quenra::StmtList copy = quenra::clone(parsed.statements);
    if (quenra::dump(copy) != quenra::dump(parsed.statements)) std::abort();
    return 0;
}
