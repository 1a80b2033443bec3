// The scalar path of evaluation must agree with the full walk on every operator and
// operand kind: random expressions over numbers, floats and booleans are evaluated
// both ways and compared by display text and kind.
#include <gtest/gtest.h>

#include <random>

#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace quenra {
namespace {

const char* const ARITHMETIC[] = {"+", "-", "*", "/", "%", "**"};
const char* const COMPARISONS[] = {"==", "!=", "<", ">", "<=", ">="};
const char* const LOGIC[] = {"and", "or", "==", "!="};

std::string pick(std::mt19937& rng, const std::vector<std::string>& from) {
    return from[rng() % from.size()];
}

template <std::size_t N>
std::string pick(std::mt19937& rng, const char* const (&from)[N]) {
    return from[rng() % N];
}

std::string join(const std::string& a, const std::string& op, const std::string& b) {
    std::string out = "(";
    out.append(a);
    out.append(" ");
    out.append(op);
    out.append(" ");
    out.append(b);
    out.append(")");
    return out;
}

// An arithmetic expression over one kind's operands, with the odd prefix minus.
std::string arithmetic(std::mt19937& rng, int depth, const std::vector<std::string>& operands) {
    if (depth == 0 || rng() % 3 == 0) {
        static const char* const CALLS[] = {"abs", "sqrt", "floor", "ceil", "round", "len", "pow"};
        std::string leaf;
        if (rng() % 8 == 0) leaf.push_back('-');
        if (rng() % 6 == 0) {
            std::string callee = pick(rng, CALLS);
            leaf.append(callee);
            leaf.append("(");
            leaf.append(pick(rng, operands));
            if (callee == "pow") {
                leaf.append(", ");
                leaf.append(pick(rng, operands));
            }
            leaf.append(")");
            return leaf;
        }
        leaf.append(pick(rng, operands));
        return leaf;
    }
    return join(arithmetic(rng, depth - 1, operands), pick(rng, ARITHMETIC),
                arithmetic(rng, depth - 1, operands));
}

// A number, float or boolean expression that mostly stays within its kind; one
// time in eight an operand of another kind checks where the scalar path gives up.
std::string random_expression(std::mt19937& rng, const std::vector<std::string>& operands) {
    static const std::vector<std::string> STRAYS = {"s", "1", "0.5", "true"};
    std::vector<std::string> pool = operands;
    if (rng() % 8 == 0) pool.push_back(pick(rng, STRAYS));
    switch (rng() % 3) {
        case 0: return arithmetic(rng, 3, pool);
        case 1:
            return join(arithmetic(rng, 2, pool), pick(rng, COMPARISONS), arithmetic(rng, 2, pool));
        default: {
            std::string a =
                join(arithmetic(rng, 1, pool), pick(rng, COMPARISONS), arithmetic(rng, 1, pool));
            std::string b = rng() % 2
                                ? pick(rng, {"t", "u", "true", "false"})
                                : join(pick(rng, pool), pick(rng, COMPARISONS), pick(rng, pool));
            std::string joined = rng() % 4 == 0 ? "not " : "";
            joined.append(join(a, pick(rng, LOGIC), b));
            return joined;
        }
    }
}

const std::vector<std::vector<std::string>> FAMILIES = {
    {"n", "m", "z", "0", "1", "-1", "-3", "7", "2", "9223372036854775807"},
    {"f", "g", "h", "0.5", "2.0", "-0.0", "1.25", "0.1", "0.2", "0.3"},
};

TEST(ScalarPath, AgreesWithTheFullWalk) {
    std::mt19937 rng(12345);
    SymbolTable symbols;
    std::string prelude =
        "n = 6 m = -9223372036854775807 - 1 z = 0 f = 1.25 g = 0.0 / 0.0 h = 1.0 / 0.0 "
        "t = true u = false s = \"text\"";
    ParseResult setup = parse(tokenize(prelude), symbols);
    std::vector<std::string> sources;
    for (int i = 0; i < 4000; ++i) {
        sources.push_back(
            random_expression(rng, FAMILIES[static_cast<std::size_t>(i) % FAMILIES.size()]));
    }
    std::vector<ParseResult> parsed;
    for (const std::string& source : sources) parsed.push_back(parse(tokenize(source), symbols));
    Interpreter in(symbols);
    for (const Stmt& stmt : setup.statements) in.execute(stmt);
    int scalar = 0;
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        ASSERT_EQ(parsed[i].statements.size(), 1u) << sources[i];
        const Expr& expr = parsed[i].statements[0].as<ExpressionStmt>().expr;
        Interpreter::Scalar fast = in.try_scalar(expr);
        Value full = in.evaluate_node(expr);
        if (!fast.ok()) continue;  // the full walk alone decides these
        ++scalar;
        ASSERT_EQ(fast.value().kind(), full.kind()) << sources[i];
        ASSERT_EQ(to_display_string(fast.value()), to_display_string(full)) << sources[i];
    }
    // Most expressions must have gone the scalar way, or the comparison proves little.
    EXPECT_GT(scalar, 2500);
}

}  // namespace
}  // namespace quenra
