// What scripts cannot reach: the error kind (no operation creates one, yet display,
// type name, truthiness, match and try must handle it) and the rule that an update
// in place never shows through another copy of a shared payload.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "interpreter/interpreter.hpp"
#include "interpreter/value.hpp"
#include "lexer/lexer.hpp"
#include "parser/parser.hpp"

namespace quenra {
namespace {

// One interpreter with its symbols, running source text at top level.
class Session {
public:
    Session() : interpreter_(std::make_unique<Interpreter>(symbols_)) {}

    void run(std::string_view source) {
        ParseResult result = parse(tokenize(source), symbols_);
        ASSERT_FALSE(result.too_deep);
        interpreter_->prepare();
        programs_.push_back(std::move(result.statements));
        for (const Stmt& stmt : programs_.back()) {
            interpreter_->execute(stmt);
            if (interpreter_->pending()) break;
        }
    }
    void set(std::string_view name, Value value) {
        SymbolId id = symbols_.intern(name);
        interpreter_->prepare();
        interpreter_->store(id, std::move(value));
    }
    Value get(std::string_view name) {
        SymbolId id = symbols_.intern(name);
        interpreter_->prepare();
        return interpreter_->lookup(id);
    }
    std::string text(std::string_view name) { return to_display_string(get(name)); }
    Interpreter& interpreter() { return *interpreter_; }

private:
    SymbolTable symbols_;
    std::vector<StmtList> programs_;  // executed trees stay alive with the session
    std::unique_ptr<Interpreter> interpreter_;
};

TEST(ValueError, DisplaysTypesAndTestsLikeTheOtherOpaqueKinds) {
    Value error = Value::error("boom");
    EXPECT_EQ(to_display_string(error), "Error: boom");
    EXPECT_EQ(type_name(error), "unknown");
    EXPECT_FALSE(is_truthy(error));
    EXPECT_EQ(to_display_string(Value::array({error, Value::number(1)})), "[Error: boom, 1]");
    Value copy = error;
    EXPECT_EQ(copy.error_message(), "boom");
}

TEST(ValueError, ReachesScriptsAsAnOrdinaryValue) {
    Session session;
    session.set("err", Value::error("bad thing"));
    session.run(
        "kind = typeof(err) text = concat(err) negated = not err "
        "same = err == err arm = 0 match err { null => { arm = 1 } _ => { arm = 2 } }");
    EXPECT_EQ(session.text("kind"), "unknown");
    EXPECT_EQ(session.text("text"), "Error: bad thing");
    EXPECT_EQ(session.text("negated"), "true");
    EXPECT_EQ(session.text("same"), "null");
    EXPECT_EQ(session.text("arm"), "2");
}

TEST(ValueError, TryCatchesAnErrorOnItsWayOut) {
    Session session;
    session.set("err", Value::error("caught me"));
    session.run("try { before = 1 return err after = 1 } catch message { got = message }");
    EXPECT_FALSE(session.interpreter().pending());
    EXPECT_EQ(session.text("before"), "1");
    EXPECT_EQ(session.text("after"), "null");
    EXPECT_EQ(session.text("got"), "caught me");
    EXPECT_EQ(type_name(session.get("got")), "string");
}

TEST(ValueError, TryLetsOtherReturnsTravelOn) {
    Session session;
    session.set("err", Value::error("inner"));
    session.run(
        "def give() { return err } "
        "def wrapped() { try { return give() } catch m { return concat(\"caught \", m) } } "
        "def plain() { try { return 5 } catch m { return \"never\" } return \"after\" } "
        "a = wrapped() b = plain() c = 0 try { c = give() } catch m { c = \"wrongly caught\" }");
    EXPECT_EQ(session.text("a"), "caught inner");
    EXPECT_EQ(session.text("b"), "5");
    // The error was returned by the call, not travelling out of the try body.
    EXPECT_EQ(session.text("c"), "Error: inner");
}

TEST(ValueCopies, UpdatingInPlaceNeverShowsThroughAnotherCopy) {
    Value a = Value::array({Value::number(1)});
    Value b = a;
    EXPECT_FALSE(a.is_unique());
    b.mutable_items().push_back(Value::number(2));
    EXPECT_EQ(to_display_string(a), "[1]");
    EXPECT_EQ(to_display_string(b), "[1, 2]");
    EXPECT_TRUE(a.is_unique());

    Value s = Value::string("ab");
    Value t = s;
    t.mutable_text() += "c";
    EXPECT_EQ(to_display_string(s), "ab");
    EXPECT_EQ(to_display_string(t), "abc");
}

TEST(ValueCopies, NestedPayloadsStaySharedOnlyUntilChanged) {
    Value inner = Value::array({Value::string("x")});
    Value outer = Value::array({inner});
    Value copy = outer;
    copy.mutable_items()[0].mutable_items().push_back(Value::string("y"));
    EXPECT_EQ(to_display_string(outer), "[[x]]");
    EXPECT_EQ(to_display_string(inner), "[x]");
    EXPECT_EQ(to_display_string(copy), "[[x, y]]");
}

TEST(ValueCopies, AVariableReadIsACopy) {
    Session session;
    session.run("a = [1, 2] b = a");
    Value read = session.get("a");
    read.mutable_items().push_back(Value::number(3));
    EXPECT_EQ(session.text("a"), "[1, 2]");
    EXPECT_EQ(session.text("b"), "[1, 2]");
}

TEST(ValueDisplay, ShapesShowTheirStoredFields) {
    EXPECT_EQ(to_display_string(Value::rect({-1, 2, 4294967291u, 0})),
              "Rect(-1, 2, 4294967291, 0)");
    EXPECT_EQ(to_display_string(Value::circle({-5, 6, 4294967295u})), "Circle(-5, 6, 4294967295)");
    EXPECT_EQ(to_display_string(Value::color({0, 128, 255})), "Color(0, 128, 255)");
    EXPECT_EQ(to_display_string(Value::triangle({1, -2, 3, -4, 5, -6})),
              "Triangle(1, -2, 3, -4, 5, -6)");
    EXPECT_TRUE(is_truthy(Value::color({0, 0, 0})));
}

}  // namespace
}  // namespace quenra
