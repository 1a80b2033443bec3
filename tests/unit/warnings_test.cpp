// Places and warnings of the --warn mode: the lexer's offsets beside the tokens, the
// places the parser gives nodes, tracing that changes no tree, and the sink's
// line and column arithmetic.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lexer/lexer.hpp"
#include "lexer/warnings.hpp"
#include "parser/dump.hpp"
#include "parser/parser.hpp"

namespace quenra {
namespace {

std::string written;
void capture(std::string_view text) { written += text; }

TEST(WarnOffsets, EveryTokenHasTheByteOffsetOfItsFirstCharacter) {
    FrontEndTrace trace;
    trace.base = 100;
    std::string_view source = "ab  \"\xc3\xa9\" 12.5\n x/* c */y";
    std::vector<Token> tokens = tokenize(source, trace);
    ASSERT_EQ(tokens.size(), 6u);  // ab, string, 12.5, x, y, Eof
    EXPECT_EQ(trace.offsets, (std::vector<std::uint32_t>{100, 104, 109, 115, 123, 124}));
}

TEST(WarnOffsets, TracingChangesNeitherTokensNorTrees) {
    const char* sources[] = {
        "let x = 1 + 2 * 3\nprint(x)",
        "def f(a b,) { return a ** b }\nmatch f(1, 2) { 1 => print(1); _ => { } }",
        "if a { } else if b { } x[1] = 2 ) ] } let = ; {\"k\": 1 a} s.f(1) d.5 //",
        "'quoted' 99999999999999999999 \"open",
        "print((1 + 2] while x { for i in 0..3 { break } continue",
    };
    for (const char* source : sources) {
        FrontEndTrace trace;
        std::vector<Token> plain = tokenize(source);
        std::vector<Token> traced = tokenize(source, trace);
        ASSERT_EQ(plain.size(), traced.size()) << source;
        EXPECT_EQ(trace.offsets.size(), traced.size()) << source;
        for (std::size_t i = 0; i < plain.size(); ++i) EXPECT_TRUE(plain[i] == traced[i]);
        SymbolTable a, b;
        EXPECT_EQ(dump(parse(plain, a).statements), dump(parse(traced, b, trace).statements))
            << source;
    }
}

TEST(WarnOffsets, NodesStandAtTheTokenAWarningPointsTo) {
    std::string_view source = "x = f(a) + b[2]\n  while d.k { }";
    FrontEndTrace trace;
    std::vector<Token> tokens = tokenize(source, trace);
    SymbolTable symbols;
    ParseResult parsed = parse(tokens, symbols, trace);
    ASSERT_EQ(parsed.statements.size(), 2u);
    const Stmt& assign = parsed.statements[0];
    EXPECT_EQ(assign.offset, 0u);
    const Expr& sum = assign.as<AssignStmt>().value;
    EXPECT_EQ(sum.offset, 9u);  // the "+"
    const auto& binary = sum.as<BinaryExpr>();
    EXPECT_EQ(binary.left->offset, 4u);    // the called name
    EXPECT_EQ(binary.right->offset, 12u);  // the "[" of the index
    EXPECT_EQ(binary.right->as<IndexExpr>().object->offset, 11u);
    const Stmt& loop = parsed.statements[1];
    EXPECT_EQ(loop.offset, 18u);
    EXPECT_EQ(loop.as<WhileStmt>().condition.offset, 25u);  // the "." of the member
}

TEST(WarnOffsets, AParenthesisedExpressionKeepsItsOwnPlace) {
    FrontEndTrace trace;
    std::vector<Token> tokens = tokenize("(a - b)", trace);
    SymbolTable symbols;
    ParseResult parsed = parse(tokens, symbols, trace);
    EXPECT_EQ(parsed.statements[0].as<ExpressionStmt>().expr.offset, 3u);
}

TEST(WarnSink, LinesAndColumnsCountCharactersWithinEachSource) {
    written.clear();
    Warnings sink(capture);
    sink.add_source("a.qn", "x\n\xc3\xa9\xc3\xa9 y\n");
    std::uint32_t second = static_cast<std::uint32_t>(sink.add_source("<input>", "zz").size());
    EXPECT_EQ(second, 2u);
    std::uint32_t base = sink.base_of_last();
    EXPECT_GT(base, 6u);                               // past the first text and its end of input
    sink.report(7, WarningKind::EmptyVariable, "m1");  // "y": line 2, after two characters
    sink.report(base + 1, WarningKind::EmptyVariable, "m2");
    EXPECT_EQ(written,
              "a.qn:2:4: warning: m1\n\xc3\xa9\xc3\xa9 y\n   ^\n"
              "<input>:1:2: warning: m2\nzz\n ^\n");
    EXPECT_EQ(sink.line_of(base), 1u);
    EXPECT_EQ(sink.line_of(2), 2u);
}

TEST(WarnSink, APlaceIsReportedOncePerKindAndTheBatchIsCounted) {
    written.clear();
    Warnings sink(capture);
    sink.add_source("a.qn", "a b");
    sink.report(0, WarningKind::EmptyVariable, "first");
    sink.report(0, WarningKind::EmptyVariable, "again");
    EXPECT_FALSE(sink.is_new(0, WarningKind::EmptyVariable));
    EXPECT_TRUE(sink.is_new(0, WarningKind::NullOperator));
    sink.finish_batch();
    EXPECT_EQ(written, "a.qn:1:1: warning: first\na b\n^\n1 warning\n");
    written.clear();
    sink.finish_batch();  // an empty batch says nothing
    EXPECT_EQ(written, "");
    sink.report(2, WarningKind::EmptyVariable, "x");
    sink.report(2, WarningKind::NullOperator, "y");
    sink.finish_batch();
    EXPECT_NE(written.find("\n2 warnings\n"), std::string::npos);
}

TEST(WarnSink, FrontEndWarningsComeInSourceOrder) {
    written.clear();
    Warnings sink(capture);
    std::string_view text = sink.add_source("a.qn", "let 5 $");
    FrontEndTrace trace;
    trace.sink = &sink;
    std::vector<Token> tokens = tokenize(text, trace);
    SymbolTable symbols;
    parse(tokens, symbols, trace);
    ASSERT_EQ(trace.warnings.size(), 2u);  // the parser's comes after the lexer's
    sink.report_front_end(trace.warnings);
    std::size_t let = written.find("a.qn:1:5:"), dollar = written.find("a.qn:1:7:");
    ASSERT_NE(let, std::string::npos);
    ASSERT_NE(dollar, std::string::npos);
    EXPECT_LT(let, dollar);
}

}  // namespace
}  // namespace quenra
