// Tree shapes the parser builds, compared through the S-expression dump, and the
// guarantees every input gets: no crash, no hang, and trees that copy faithfully.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "lexer/lexer.hpp"
#include "lexer/utf8.hpp"
#include "parser/dump.hpp"
#include "parser/parser.hpp"

namespace quenra {
namespace {

ParseResult parse_source(std::string_view source, SymbolTable& symbols) {
    return parse(tokenize(source), symbols);
}

// The dump of every top-level statement of `source`.
std::string tree(std::string_view source) {
    SymbolTable symbols;
    ParseResult result = parse_source(source, symbols);
    EXPECT_FALSE(result.too_deep) << source;
    return dump(result.statements);
}

std::size_t statement_count(std::string_view source) {
    SymbolTable symbols;
    return parse_source(source, symbols).statements.size();
}

TEST(ParserPrecedence, EachLevelBindsTighterThanTheOneBelow) {
    EXPECT_EQ(tree("a or b and c"), "(or a (and b c))");
    EXPECT_EQ(tree("a and b or c"), "(or (and a b) c)");
    EXPECT_EQ(tree("a and b == c"), "(and a (== b c))");
    EXPECT_EQ(tree("a == b < c"), "(== a (< b c))");
    EXPECT_EQ(tree("a < b..c"), "(< a (range b c))");
    EXPECT_EQ(tree("a..b + c"), "(range a (+ b c))");
    EXPECT_EQ(tree("a + b * c"), "(+ a (* b c))");
    EXPECT_EQ(tree("a * b ** c"), "(* a (** b c))");
    EXPECT_EQ(tree("a ** -b"), "(** a (neg b))");
    EXPECT_EQ(tree("-a.b"), "(neg (index a \"b\"))");
}

TEST(ParserPrecedence, ParenthesesLeaveNoNodeOfTheirOwn) {
    EXPECT_EQ(tree("(a + b) * c"), "(* (+ a b) c)");
    EXPECT_EQ(tree("((((a))))"), "a");
    EXPECT_EQ(tree("a ** (b ** c)"), "(** a (** b c))");
}

TEST(ParserAssociativity, EveryBinaryLevelGroupsToTheLeft) {
    EXPECT_EQ(tree("a or b or c"), "(or (or a b) c)");
    EXPECT_EQ(tree("a and b and c"), "(and (and a b) c)");
    EXPECT_EQ(tree("a == b != c"), "(!= (== a b) c)");
    EXPECT_EQ(tree("a < b >= c > d <= e"), "(<= (> (>= (< a b) c) d) e)");
    EXPECT_EQ(tree("1 - 2 - 3"), "(- (- 1 2) 3)");
    EXPECT_EQ(tree("a + b - c + d"), "(+ (- (+ a b) c) d)");
    EXPECT_EQ(tree("a / b * c % d"), "(% (* (/ a b) c) d)");
    EXPECT_EQ(tree("2 ** 3 ** 2"), "(** (** 2 3) 2)");
}

TEST(ParserRange, BindsBetweenComparisonAndAddition) {
    EXPECT_EQ(tree("0..10"), "(range 0 10)");
    EXPECT_EQ(tree("a..b"), "(range a b)");
    EXPECT_EQ(tree("1 + 1..2 * 3"), "(range (+ 1 1) (* 2 3))");
    EXPECT_EQ(tree("a..b < c"), "(< (range a b) c)");
    EXPECT_EQ(tree("-1..-a"), "(range (neg 1) (neg a))");
    EXPECT_EQ(tree("x.y..z"), "(range (index x \"y\") z)");
}

TEST(ParserRange, IsNotChained) {
    // The level takes one pair of dots; the second pair starts a new statement
    // whose missing start reads as 0.
    EXPECT_EQ(tree("a..b..c"), "(range a b) (range 0 c)");
    // Three dots: the third is a member access without a name, dropped on its own.
    EXPECT_EQ(tree("1...2"), "(range 1 0) 2");
    // A range inside brackets or as an argument is an ordinary operand.
    EXPECT_EQ(tree("[0..2, 3]"), "[(range 0 2) 3]");
}

TEST(ParserPrefix, BindsTighterThanEveryBinaryOperator) {
    EXPECT_EQ(tree("-2 ** 2"), "(** (neg 2) 2)");
    EXPECT_EQ(tree("not a == b"), "(== (not a) b)");
    EXPECT_EQ(tree("not a and b"), "(and (not a) b)");
    EXPECT_EQ(tree("!a or b"), "(or (not a) b)");
    EXPECT_EQ(tree("-a * b"), "(* (neg a) b)");
    EXPECT_EQ(tree("a - -b"), "(- a (neg b))");
}

TEST(ParserPrefix, NestsAndTakesTheSuffixesOfItsOperand) {
    EXPECT_EQ(tree("- - x"), "(neg (neg x))");
    EXPECT_EQ(tree("not !x"), "(not (not x))");
    EXPECT_EQ(tree("-not -x"), "(neg (not (neg x)))");
    EXPECT_EQ(tree("-a[0]"), "(neg (index a 0))");
    EXPECT_EQ(tree("-f(1)"), "(neg (call f 1))");
    // A minus before a literal is an operator, never part of the number.
    EXPECT_EQ(tree("-5"), "(neg 5)");
    EXPECT_EQ(tree("-1.5"), "(neg 1.5f)");
}

TEST(ParserSuffix, ChainsFromLeftToRight) {
    EXPECT_EQ(tree("a.b.c"), "(index (index a \"b\") \"c\")");
    EXPECT_EQ(tree("a[1][2]"), "(index (index a 1) 2)");
    EXPECT_EQ(tree("a.b[0].c"), "(index (index (index a \"b\") 0) \"c\")");
    EXPECT_EQ(tree("f(1)[0]"), "(index (call f 1) 0)");
    EXPECT_EQ(tree("f(1).x"), "(index (call f 1) \"x\")");
    EXPECT_EQ(tree("[1, 2][0]"), "(index [1 2] 0)");
    EXPECT_EQ(tree("{a: 1}.a"), "(index {a: 1} \"a\")");
    EXPECT_EQ(tree("\"s\"[0]"), "(index \"s\" 0)");
}

TEST(ParserSuffix, MemberAccessIsAnIndexByTheNameAsAString) {
    EXPECT_EQ(tree("x.y"), tree("x[\"y\"]"));
    EXPECT_EQ(tree("x.y"), "(index x \"y\")");
    // A keyword after the dot is not a name: only the dot goes.
    EXPECT_EQ(tree("x.if"), "x");
    // A dot before a number consumes only the dot; the number stands alone.
    EXPECT_EQ(tree("a.5"), "a 5");
    EXPECT_EQ(tree("a."), "a");
}

TEST(ParserSuffix, OnlyABareNameCanBeCalled) {
    EXPECT_EQ(tree("f()"), "(call f)");
    EXPECT_EQ(tree("f(1, 2)"), "(call f 1 2)");
    EXPECT_EQ(tree("(f)(1)"), "(call f 1)");
    // A second argument list has no name to call and is dropped with its arguments.
    EXPECT_EQ(tree("f(1)(2)"), "(call f 1)");
    EXPECT_EQ(tree("x.f(g())"), "(index x \"f\")");
    EXPECT_EQ(tree("a[0](1)"), "(index a 0)");
    EXPECT_EQ(tree("\"s\"(1)"), "\"s\"");
    EXPECT_EQ(tree("5(1)"), "5");
    EXPECT_EQ(tree("(a + b)(c)"), "(+ a b)");
    EXPECT_EQ(tree("f(1).g(2)[3]"), "(index (index (call f 1) \"g\") 3)");
}

TEST(ParserPrimary, MissingOperandReadsAsZero) {
    EXPECT_EQ(tree("+ 5"), "(+ 0 5)");
    EXPECT_EQ(tree("* 3"), "(* 0 3)");
    EXPECT_EQ(tree("x = ;"), "(= x 0)");
    EXPECT_EQ(tree("let x ="), "(let x 0)");
    EXPECT_EQ(tree("1 +"), "(+ 1 0)");
    EXPECT_EQ(tree(";"), "0");
    EXPECT_EQ(tree("(1"), "1");
    EXPECT_EQ(tree("()"), "0");
}

TEST(ParserPrimary, LiteralsAndNames) {
    EXPECT_EQ(tree("1 2.5 \"s\" true false null x_1"), "1 2.5f \"s\" true false null x_1");
    EXPECT_EQ(tree("[]"), "[]");
    EXPECT_EQ(tree("{}"), "{}");
}

TEST(ParserLists, CommasAreOptionalAndStrayCommasReadAsZero) {
    EXPECT_EQ(tree("[1 2 3]"), "[1 2 3]");
    EXPECT_EQ(tree("[1, 2, 3]"), "[1 2 3]");
    EXPECT_EQ(tree("[1,]"), "[1]");
    EXPECT_EQ(tree("[1,,2]"), "[1 0 2]");
    EXPECT_EQ(tree("[,]"), "[0]");
    EXPECT_EQ(tree("[,,]"), "[0 0]");
    EXPECT_EQ(tree("f(,)"), "(call f 0)");
    EXPECT_EQ(tree("f(1,,)"), "(call f 1 0)");
    EXPECT_EQ(tree("f(a b)"), "(call f a b)");
}

TEST(ParserLists, TokensNoElementCanStartWithYieldZeroAndAreSkipped) {
    EXPECT_EQ(tree("[1; 2]"), "[1 0 2]");
    EXPECT_EQ(tree("[1, ; 2]"), "[1 0 2]");
    EXPECT_EQ(tree("[1 : 2 = 3 => 4 -> 5 ? 6]"), "[1 0 2 0 3 0 4 0 5 0 6]");
    EXPECT_EQ(tree("[=]"), "[0]");
    EXPECT_EQ(tree("[; ; else]"), "[0 0 0]");
    EXPECT_EQ(tree("[1 ;]"), "[1 0]");
    EXPECT_EQ(tree("[;, 2]"), "[0 2]");
    EXPECT_EQ(tree("[1, =>, 2]"), "[1 0 2]");
    EXPECT_EQ(tree("f(if 1)"), "(call f 0 1)");
    EXPECT_EQ(tree("f(1, ; 2)"), "(call f 1 0 2)");
    EXPECT_EQ(tree("f(in catch)"), "(call f 0 0)");
    EXPECT_EQ(tree("[1 != = 2]"), "[(!= 1 0) 0 2]");
}

TEST(ParserLists, AWrongCloserEndsTheListAndStaysForTheEnclosingConstruct) {
    EXPECT_EQ(tree("f([1, 2)"), "(call f [1 2])");
    EXPECT_EQ(tree("[1, 2) x"), "[1 2] x");
    EXPECT_EQ(tree("f(1] x"), "(call f 1) x");
    EXPECT_EQ(tree("[f(1]"), "[(call f 1)]");
    EXPECT_EQ(tree("[1, 2"), "[1 2]");
}

TEST(ParserDict, EntriesInSourceOrderWithDuplicatesKept) {
    EXPECT_EQ(tree("{a: 1 b: 2}"), "{a: 1, b: 2}");
    EXPECT_EQ(tree("{a: 1, b: 2,}"), "{a: 1, b: 2}");
    EXPECT_EQ(tree("{b: 1, a: 2, b: 3}"), "{b: 1, a: 2, b: 3}");
    EXPECT_EQ(tree("{a: {b: [1]}}"), "{a: {b: [1]}}");
    EXPECT_EQ(tree("{a: }"), "{a: 0}");
    EXPECT_EQ(tree("{a: 1"), "{a: 1}");
}

TEST(ParserDict, RecoversFromKeysThatAreNotNames) {
    EXPECT_EQ(tree("{\"s\": 1, b: 2}"), "{b: 2}");
    EXPECT_EQ(tree("{1: 2, c: 3}"), "{c: 3}");
    EXPECT_EQ(tree("{if: 1, b: 2}"), "{b: 2}");
    EXPECT_EQ(tree("{a: 1,, b: 2}"), "{a: 1, b: 2}");
    // A key without ":" is dropped; what follows it is read as further keys.
    EXPECT_EQ(tree("{a 1, b: 2}"), "{b: 2}");
    EXPECT_EQ(tree("{a b: 2}"), "{b: 2}");
    EXPECT_EQ(tree("{(a): 1} x"), "{} x");
}

TEST(ParserDict, ABraceWhereAStatementStartsIsADict) {
    // There are no bare blocks: the call inside is lost to dict recovery.
    EXPECT_EQ(tree("{ print(1) }"), "{}");
    EXPECT_EQ(tree("{ x: 1 } y"), "{x: 1} y");
}

TEST(ParserStatements, NeedNoSeparators) {
    EXPECT_EQ(tree("x = 1 y = 2"), "(= x 1) (= y 2)");
    EXPECT_EQ(tree("x = 1; y = 2;"), "(= x 1) (= y 2)");
    // Line breaks are no tokens: a line starting with "(" or "[" continues the last.
    EXPECT_EQ(tree("x = f\n(1)"), "(= x (call f 1))");
    EXPECT_EQ(tree("y = a\n[0]"), "(= y (index a 0))");
    EXPECT_EQ(statement_count(""), 0u);
    EXPECT_EQ(statement_count("# only a comment\n"), 0u);
}

TEST(ParserStatements, AssignmentForms) {
    EXPECT_EQ(tree("let x = 1"), "(let x 1)");
    EXPECT_EQ(tree("x = y = 1"), "(= x y) 1");
    EXPECT_EQ(tree("x += 1 x -= 2 x *= 3 x /= 4"), "(+= x 1) (-= x 2) (*= x 3) (/= x 4)");
    // Only a bare name is a target: the statement ends before "=", which is skipped.
    EXPECT_EQ(tree("a[0] = 5"), "(index a 0) 5");
    EXPECT_EQ(tree("a.b = 5"), "(index a \"b\") 5");
    EXPECT_EQ(tree("x == 1"), "(== x 1)");
}

TEST(ParserStatements, FailedLetResumesAtTheOffendingToken) {
    EXPECT_EQ(tree("let x 5"), "5");
    EXPECT_EQ(tree("let 5 = 3"), "5 3");
    EXPECT_EQ(tree("let = 5"), "5");
    EXPECT_EQ(tree("let"), "");
    EXPECT_EQ(tree("let x = 1;;"), "(let x 1) 0");
}

TEST(ParserStatements, FunctionDefinitions) {
    EXPECT_EQ(tree("def f(a b) { }"), "(def f (a b) ())");
    EXPECT_EQ(tree("def f(a, b,) { }"), "(def f (a b) ())");
    EXPECT_EQ(tree("def f(a, a) { a }"), "(def f (a a) (a))");
    EXPECT_EQ(tree("def f() { def g() { 1 } g() }"), "(def f () ((def g () (1)) (call g)))");
    // A body that runs to the end of input is accepted whole.
    EXPECT_EQ(tree("def f() { return 1"), "(def f () ((return 1)))");
}

TEST(ParserStatements, FailedDefinitionsResumeAtTheOffendingToken) {
    EXPECT_EQ(tree("def 5"), "5");
    EXPECT_EQ(tree("def f x"), "x");
    EXPECT_EQ(tree("def f(a) x"), "x");
    EXPECT_EQ(tree("def f(1) { }"), "1 {}");
    EXPECT_EQ(tree("def f(a x"), "");
}

TEST(ParserStatements, ReturnValueIsAbsentBeforeBraceSemicolonAndEnd) {
    EXPECT_EQ(tree("def f() { return }"), "(def f () ((return)))");
    EXPECT_EQ(tree("return;"), "(return)");
    EXPECT_EQ(tree("return"), "(return)");
    EXPECT_EQ(tree("return 0"), "(return 0)");
    // A line break does not end the return: the next line is its value.
    EXPECT_EQ(tree("return\nx"), "(return x)");
    EXPECT_EQ(tree("return ) x"), "(return 0) x");
}

TEST(ParserStatements, IfAndItsElseBranch) {
    EXPECT_EQ(tree("if c { }"), "(if c ())");
    EXPECT_EQ(tree("if c { } else { }"), "(if c () ())");
    EXPECT_EQ(tree("if c { a } else { b }"), "(if c (a) (b))");
    EXPECT_EQ(tree("if (c) { a; b }"), "(if c (a b))");
    EXPECT_EQ(tree("if c { a"), "(if c (a))");
    EXPECT_EQ(tree("if c { } else { a"), "(if c () (a))");
}

TEST(ParserStatements, ElseIfSplitsIntoTwoStatements) {
    EXPECT_EQ(tree("if a { x } else if b { y }"), "(if a (x)) (if b (y))");
    EXPECT_EQ(tree("if a { x } else if b { y } else { z }"), "(if a (x)) (if b (y) (z))");
    EXPECT_EQ(tree("if a { } else z"), "(if a ()) z");
}

TEST(ParserStatements, FailedIfAndWhileResumeAtTheOffendingToken) {
    EXPECT_EQ(tree("if c x = 1"), "(= x 1)");
    EXPECT_EQ(tree("while c print(1)"), "(call print 1)");
    EXPECT_EQ(tree("while c { a }"), "(while c (a))");
    EXPECT_EQ(tree("while c { a"), "(while c (a))");
}

TEST(ParserStatements, ForLoops) {
    EXPECT_EQ(tree("for x in xs { a }"), "(for x xs (a))");
    EXPECT_EQ(tree("for i in 0..3 { }"), "(for i (range 0 3) ())");
    EXPECT_EQ(tree("for 5 in xs { }"), "5 xs {}");
    EXPECT_EQ(tree("for x xs { }"), "xs {}");
    EXPECT_EQ(tree("for x in xs a"), "a");
}

TEST(ParserStatements, MatchArms) {
    EXPECT_EQ(tree("match x { 1 => a 2 => { b c } _ => d }"),
              "(match x (arm 1 (a)) (arm 2 (b c)) (arm _ (d)))");
    EXPECT_EQ(tree("match x { 1 => a; 2 => b; }"), "(match x (arm 1 (a)) (arm 2 (b)))");
    EXPECT_EQ(tree("match x { }"), "(match x)");
    EXPECT_EQ(tree("match x { 1 => { } }"), "(match x (arm 1 ()))");
    EXPECT_EQ(tree("match f(x) { \"s\" => 1 }"), "(match (call f x) (arm \"s\" (1)))");
}

TEST(ParserStatements, OnlyALoneUnderscoreIsTheWildcard) {
    EXPECT_EQ(tree("match x { _x => a }"), "(match x (arm _x (a)))");
    EXPECT_EQ(tree("match x { __ => a }"), "(match x (arm __ (a)))");
    EXPECT_EQ(tree("match x { _ => a }"), "(match x (arm _ (a)))");
    // The dump shows the wildcard and a variable named "_" alike, so look at the arms.
    SymbolTable symbols;
    ParseResult result = parse_source("match x { _ => a; (_) => b }", symbols);
    ASSERT_EQ(result.statements.size(), 1u);
    const MatchStmt& match = result.statements[0].as<MatchStmt>();
    ASSERT_EQ(match.arms.size(), 2u);
    EXPECT_FALSE(match.arms[0].pattern.has_value());
    ASSERT_TRUE(match.arms[1].pattern.has_value());
    EXPECT_EQ(match.arms[1].pattern->kind, ExprKind::Variable);
}

TEST(ParserStatements, MatchArmRecovery) {
    // An arm without "=>" is dropped; the match itself survives.
    EXPECT_EQ(tree("match x { 1 a 2 => b }"), "(match x (arm 2 (b)))");
    // An arm that starts with "=>" has the pattern 0.
    EXPECT_EQ(tree("match x { => a }"), "(match x (arm 0 (a)))");
    // A token no pattern can start with is skipped; "," is no separator.
    EXPECT_EQ(tree("match x { ; 1 => a }"), "(match x (arm 1 (a)))");
    EXPECT_EQ(tree("match x { ) 1 => a }"), "(match x (arm 1 (a)))");
    EXPECT_EQ(tree("match x { 1 => a, 2 => b }"), "(match x (arm 1 (a)) (arm 2 (b)))");
    EXPECT_EQ(tree("match x { 1 => a"), "(match x (arm 1 (a)))");
    EXPECT_EQ(tree("match x 1"), "1");
}

TEST(ParserStatements, TryCatch) {
    EXPECT_EQ(tree("try { a } catch e { b }"), "(try (a) e (b))");
    EXPECT_EQ(tree("try { } catch e { }"), "(try () e ())");
    // Failing after the try body loses the body: it was consumed.
    EXPECT_EQ(tree("try { a } b"), "b");
    EXPECT_EQ(tree("try { a } catch { b }"), "{}");
    EXPECT_EQ(tree("try { a } catch e b"), "b");
    EXPECT_EQ(tree("try a"), "a");
}

TEST(ParserStatements, GlobalBreakContinue) {
    EXPECT_EQ(tree("global a b"), "(global a) b");
    EXPECT_EQ(tree("global a; global b"), "(global a) (global b)");
    EXPECT_EQ(tree("global 5"), "5");
    EXPECT_EQ(tree("break; continue"), "(break) (continue)");
    EXPECT_EQ(tree("while c { break continue }"), "(while c ((break) (continue)))");
}

TEST(ParserStatements, SemicolonAfterABlockIsAStatementOfItsOwn) {
    EXPECT_EQ(tree("if c { };"), "(if c ()) 0");
    EXPECT_EQ(tree("while c { };"), "(while c ()) 0");
    EXPECT_EQ(tree("def f() { };"), "(def f () ()) 0");
}

TEST(ParserStatements, TokensNoStatementCanStartWithAreSkipped) {
    for (const char* stray : {")", "]", "}", ",", ":", "=", "+=", "-=", "*=", "/=", "=>", "->", "?",
                              "else", "in", "catch"}) {
        EXPECT_EQ(tree(std::string(stray) + " x"), "x") << stray;
    }
    EXPECT_EQ(tree(") ] } , : ="), "");
    EXPECT_EQ(tree("if c { ) a }"), "(if c (a))");
}

TEST(ParserDepth, DeepInputWithinAnOrdinaryStackParsesWithoutTrippingTheLimit) {
    // Far below the limit: these tests run on an ordinary thread stack, and under the
    // sanitizers a parenthesis (one pass through every precedence level) costs several
    // kilobytes of it. The limit itself is exercised by the script tests.
    const int paren_levels = 300;
    std::string parens = std::string(paren_levels, '(') + "1" + std::string(paren_levels, ')');
    EXPECT_EQ(tree(parens), "1");

    const int block_levels = 800;
    std::string blocks;
    for (int i = 0; i < block_levels; ++i) blocks += "if c { ";
    blocks += "x";
    for (int i = 0; i < block_levels; ++i) blocks += " }";
    SymbolTable symbols;
    ParseResult result = parse_source(blocks, symbols);
    EXPECT_FALSE(result.too_deep);
    ASSERT_EQ(result.statements.size(), 1u);
    EXPECT_EQ(dump(clone(result.statements)), dump(result.statements));

    const int prefix_levels = 1500;
    std::string negations(prefix_levels, '-');
    EXPECT_EQ(tree(negations + "1").size(), 1 + 6u * prefix_levels);
}

// The trees of a few sources that together use every statement and expression kind.
const char* const EVERY_KIND[] = {
    "let x = 1.5 y = [1, {a: \"s\"}] y += -x ** 2",
    "def f(a, b) { if a < b { return a..b } else { return } }",
    "while not done { for i in xs { if i { break } continue } }",
    "match f(x)[0].k { 1 => a _ => { global g g = true } }",
    "try { a or b and c == d } catch e { print(e) }",
};

TEST(ParserClone, DeepCopyDumpsTheSameTree) {
    for (const char* source : EVERY_KIND) {
        SymbolTable symbols;
        ParseResult result = parse_source(source, symbols);
        StmtList copy = clone(result.statements);
        EXPECT_EQ(dump(copy), dump(result.statements)) << source;
        for (const Stmt& stmt : result.statements) EXPECT_EQ(dump(clone(stmt)), dump(stmt));
    }
}

TEST(ParserClone, CopyOutlivesTheOriginal) {
    SymbolTable symbols;
    std::string expected;
    StmtList copy;
    {
        ParseResult result = parse_source(EVERY_KIND[1], symbols);
        expected = dump(result.statements);
        copy = clone(result.statements);
    }
    EXPECT_EQ(dump(copy), expected);
    ASSERT_EQ(copy.size(), 1u);
    ASSERT_EQ(copy[0].kind, StmtKind::FunctionDef);
    const FunctionBody& body = *copy[0].as<FunctionDefStmt>().function;
    ASSERT_EQ(body.params.size(), 2u);
    EXPECT_EQ(body.params[1].text, "b");
    EXPECT_EQ(body.body.size(), 1u);
}

TEST(ParserClone, ExpressionAndArmCopies) {
    SymbolTable symbols;
    ParseResult result = parse_source("match v { a.b[c](d) => -e _ => 1 }", symbols);
    ASSERT_EQ(result.statements.size(), 1u);
    const MatchStmt& match = result.statements[0].as<MatchStmt>();
    EXPECT_EQ(dump(clone(match.subject)), "v");
    ASSERT_EQ(match.arms.size(), 2u);
    MatchArm arm = clone(match.arms[0]);
    ASSERT_TRUE(arm.pattern.has_value());
    EXPECT_EQ(dump(*arm.pattern), "(index (index a \"b\") c)");
    EXPECT_EQ(dump(arm.body), "(neg e)");
    EXPECT_FALSE(clone(match.arms[1]).pattern.has_value());
}

// Random inputs: the parser must end on everything, quickly, and its trees must copy.
Token random_token(std::mt19937& rng) {
    static const char* const NAMES[] = {"a", "b", "_", "_x", "f", "print", "main"};
    std::uniform_int_distribution<int> kind_pick(0, static_cast<int>(TOKEN_KIND_COUNT) - 2);
    auto kind = static_cast<TokenKind>(kind_pick(rng));
    if (kind == TokenKind::Identifier)
        return Token::with_text(kind, NAMES[rng() % std::size(NAMES)]);
    if (kind == TokenKind::String) return Token::with_text(kind, "s");
    if (kind == TokenKind::Integer)
        return Token::integer_literal(static_cast<std::int64_t>(rng() % 5));
    if (kind == TokenKind::Float) return Token::float_literal(0.5);
    return Token::simple(kind);
}

TEST(ParserProperty, RandomTokenSequencesParseAndCopy) {
    std::mt19937 rng(20240611);
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 4000; ++round) {
        std::vector<Token> tokens;
        std::size_t length = rng() % 120;
        for (std::size_t i = 0; i < length; ++i) tokens.push_back(random_token(rng));
        tokens.push_back(Token::simple(TokenKind::Eof));
        SymbolTable symbols;
        ParseResult result = parse(tokens, symbols);
        EXPECT_FALSE(result.too_deep);
        // Every statement comes from at least one token, so there are never more.
        EXPECT_LE(result.statements.size(), length);
        ASSERT_EQ(dump(clone(result.statements)), dump(result.statements));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// Random text built from the characters the lexer gives meaning to, plus others it
// drops, all as valid UTF-8.
std::string random_source(std::mt19937& rng) {
    static const char* const PIECES[] = {"(",
                                         ")",
                                         "[",
                                         "]",
                                         "{",
                                         "}",
                                         ".",
                                         "..",
                                         ",",
                                         ":",
                                         ";",
                                         "=",
                                         "==",
                                         "=>",
                                         "->",
                                         "+",
                                         "-",
                                         "*",
                                         "**",
                                         "/",
                                         "/*",
                                         "*/",
                                         "%",
                                         "!",
                                         "?",
                                         "<",
                                         ">=",
                                         "\"",
                                         "\\",
                                         "#",
                                         "\n",
                                         " ",
                                         "1",
                                         "2.5",
                                         "007",
                                         "x",
                                         "_",
                                         "if",
                                         "else",
                                         "def",
                                         "match",
                                         "for",
                                         "in",
                                         "return",
                                         "let",
                                         "try",
                                         "catch",
                                         "global",
                                         "while",
                                         "break",
                                         "é",
                                         "\xc2\xb2",
                                         "\xe2\x82\xac",
                                         "\xf0\x9f\x98\x80",
                                         "$",
                                         "'",
                                         "&",
                                         "|"};
    std::string source;
    std::size_t length = rng() % 80;
    for (std::size_t i = 0; i < length; ++i) {
        if (rng() % 8 == 0) {
            source += static_cast<char>(rng() % 128);  // any ASCII byte, controls included
        } else {
            source += PIECES[rng() % std::size(PIECES)];
        }
    }
    return source;
}

TEST(ParserProperty, RandomSourceTextLexesAndParses) {
    std::mt19937 rng(77);
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 4000; ++round) {
        std::string source = random_source(rng);
        std::vector<Token> tokens = tokenize(source);
        ASSERT_FALSE(tokens.empty());
        EXPECT_EQ(tokens.back().kind, TokenKind::Eof);
        SymbolTable symbols;
        ParseResult result = parse(tokens, symbols);
        EXPECT_LE(result.statements.size(), tokens.size());
        ASSERT_EQ(dump(clone(result.statements)), dump(result.statements)) << source;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(ParserProperty, RandomBytesLexAndParse) {
    // Arbitrary bytes, as they are and made well-formed (each ill-formed sequence
    // replaced), so every code point range the lexer's character tests see occurs.
    std::mt19937 rng(4242);
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(rng() % 100, '\0');
        for (char& c : bytes) c = static_cast<char>(rng() % 256);
        std::string valid = utf8::sanitize(bytes);
        ASSERT_TRUE(utf8::is_valid(valid));
        for (const std::string& source : {bytes, valid}) {
            std::vector<Token> tokens = tokenize(source);
            ASSERT_FALSE(tokens.empty());
            EXPECT_EQ(tokens.back().kind, TokenKind::Eof);
            SymbolTable symbols;
            ParseResult result = parse(tokens, symbols);
            EXPECT_LE(result.statements.size(), tokens.size());
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(ParserProperty, LongFlatInputParsesInLinearTime) {
    // 60,000 statements from about 500,000 tokens, most of them stray or recovering:
    // a parser that rescans or backtracks would take far longer than the bound.
    std::string source;
    for (int i = 0; i < 20000; ++i) source += "x = [1,,2] ) {\"k\": 1} match y { , 1 2 => 3 } ";
    SymbolTable symbols;
    auto start = std::chrono::steady_clock::now();
    ParseResult result = parse_source(source, symbols);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(result.statements.size(), 60000u);
}

}  // namespace
}  // namespace quenra
