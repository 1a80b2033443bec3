// An interrupt (Ctrl-C, or the fuzzer's time budget) is polled every so many steps.
// A step whose work grows with a count must bring that poll closer, or one loop of
// large steps runs for minutes before it stops.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "interpreter/interpreter.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"
#include "platform/platform.hpp"

namespace quenra {
namespace {

struct Script {
    SymbolTable symbols;
    Interpreter interpreter{symbols};
    std::vector<StmtList> programs;

    void execute(std::string_view source) {
        ParseResult result = parse(tokenize(source), symbols);
        ASSERT_FALSE(result.too_deep);
        interpreter.prepare();
        programs.push_back(std::move(result.statements));
        for (const Stmt& stmt : programs.back()) {
            interpreter.execute(stmt);
            if (interpreter.pending()) break;
        }
    }
    std::int64_t number(std::string_view name) {
        return interpreter.lookup(symbols.intern(name)).as_number();
    }
};

TEST(Interrupts, AStepThatBuildsALargeRangeLooksForAnInterrupt) {
    Script run;
    // The first steps poll and find nothing; the next poll is a full interval away.
    run.execute("let n = 0 for i in 0..3 { n += 1 }");
    ASSERT_EQ(run.interpreter.fatal(), Fatal::None);
    platform::request_interrupt();
    // Far fewer steps than the interval, each building 100,000 numbers.
    run.execute("let built = 0 for i in 0..40 { let r = 0..100000 built += 1 }");
    platform::clear_interrupt();
    EXPECT_EQ(run.interpreter.fatal(), Fatal::Interrupted);
    EXPECT_EQ(run.number("built"), 0);
}

TEST(Interrupts, SmallRangesKeepTheUsualInterval) {
    Script run;
    run.execute("let n = 0 for i in 0..3 { n += 1 }");
    platform::request_interrupt();
    // 40 ranges of 10 numbers are no more work than 40 ordinary steps.
    run.execute("let built = 0 for i in 0..40 { let r = 0..10 built += 1 }");
    platform::clear_interrupt();
    EXPECT_EQ(run.interpreter.fatal(), Fatal::None);
    EXPECT_EQ(run.number("built"), 40);
}

}  // namespace
}  // namespace quenra
