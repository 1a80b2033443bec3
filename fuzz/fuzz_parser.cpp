// Any bytes through the lexer and the parser, then the tree's deep copy and release.
// The copy must print exactly like the original. The traced parse of --warn must
// build the same tree, and its warnings must be reportable.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "lexer/lexer.hpp"
#include "lexer/utf8.hpp"
#include "lexer/warnings.hpp"
#include "parser/dump.hpp"
#include "parser/parser.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<quenra::Token> tokens = quenra::tokenize(text);
    quenra::SymbolTable symbols;
    quenra::ParseResult parsed = quenra::parse(tokens, symbols);
    quenra::StmtList copy = quenra::clone(parsed.statements);
    if (quenra::dump(copy) != quenra::dump(parsed.statements)) std::abort();

    quenra::Warnings sink([](std::string_view) {});
    std::string_view kept = sink.add_source("fuzz.qn", std::string(text));
    quenra::FrontEndTrace trace;
    trace.sink = &sink;
    std::vector<quenra::Token> traced = quenra::tokenize(kept, trace);
    quenra::SymbolTable traced_symbols;
    quenra::ParseResult traced_parse = quenra::parse(traced, traced_symbols, trace);
    if (quenra::dump(traced_parse.statements) != quenra::dump(parsed.statements)) std::abort();
    // The sink shows source lines, which the driver only ever hands it valid.
    if (quenra::utf8::is_valid(text)) sink.report_front_end(std::move(trace.warnings));
    sink.finish_batch();
    return 0;
}
