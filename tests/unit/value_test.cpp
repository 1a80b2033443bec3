// What scripts cannot reach: the error kind (no operation creates one, yet display,
// type name, truthiness, match and try must handle it) and the rule that an update
// in place never shows through another copy of a shared payload.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "interpreter/dict.hpp"
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

// A dict is one block with its entries inline; these follow it through growth
// past its first room and past the size where it starts keeping an index.

std::string key_text(int i) {
    std::string text = "k";
    text += std::to_string(i);
    return text;
}

// A dict of keys k0..k{count-1} to their numbers, grown from no room at all.
Value numbered_dict(int count) {
    Value dict = Value::dict(0);
    for (int i = 0; i < count; ++i)
        dict.mutable_entries().insert(Value::string(key_text(i)), Value::number(i));
    return dict;
}

// Every key of `numbered_dict(count)` found by its text (a fresh string object, so
// not by identity), in insertion order, and a missing key not found.
void expect_numbered(const Value& dict, int count) {
    const Dict& entries = dict.entries();
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(entries.items()[i].key.text(), key_text(i));
        const Value* found = entries.find(Value::string(key_text(i)));
        ASSERT_NE(found, nullptr) << key_text(i) << " of " << count;
        EXPECT_EQ(found->as_number(), i);
    }
    EXPECT_EQ(entries.find(Value::string(key_text(count))), nullptr);
    EXPECT_EQ(entries.find(Value::string("")), nullptr);
}

TEST(DictLayout, GrowsPastItsRoomAndItsIndexThresholdKeepingOrder) {
    // Every size from empty through several doublings of the block and the index.
    for (int count = 0; count <= 70; ++count) {
        SCOPED_TRACE(count);
        expect_numbered(numbered_dict(count), count);
    }
}

TEST(DictLayout, ReplacingAKeyKeepsItsPlaceOnBothSidesOfTheIndexThreshold) {
    for (int count : {3, 8, 9, 40}) {
        Value dict = numbered_dict(count);
        DictWriter writer = dict.mutable_entries();
        writer.insert(Value::string("k1"), Value::string("one"));
        writer.insert(Value::string(key_text(count - 1)), Value::string("last"));
        const Dict& entries = dict.entries();
        ASSERT_EQ(entries.size(), static_cast<std::size_t>(count));
        EXPECT_EQ(entries.items()[1].key.text(), "k1");
        EXPECT_EQ(entries.items()[1].value.text(), "one");
        EXPECT_EQ(entries.items()[count - 1].value.text(), "last");
        EXPECT_EQ(entries.find(Value::string("k0"))->as_number(), 0);
    }
}

TEST(DictLayout, TheRememberedEntryIsCheckedBeforeItIsTrusted) {
    Value dict = numbered_dict(12);
    Value key = dict.entries().items()[5].key;  // the key object itself
    std::uint32_t hint = 0;
    EXPECT_EQ(dict.entries().find(key, hint)->as_number(), 5);
    EXPECT_EQ(hint, 5u);
    hint = 999;  // stale, say from a larger dict at the same place in the program
    EXPECT_EQ(dict.entries().find(Value::string("k7"), hint)->as_number(), 7);
    EXPECT_EQ(hint, 7u);
    EXPECT_EQ(dict.entries().find(Value::string("k5"), hint)->as_number(), 5);
}

TEST(DictLayout, ASharedDictChangedThroughOneHolderLeavesTheOther) {
    for (int count : {2, 8, 9, 33}) {  // scanned and indexed, full and with room
        SCOPED_TRACE(count);
        Value first = numbered_dict(count);
        Value second = first;
        ASSERT_FALSE(first.is_unique());
        DictWriter writer = second.mutable_entries();
        writer.insert(Value::string("k0"), Value::string("changed"));
        writer.insert(Value::string("extra"), Value::number(-1));
        EXPECT_TRUE(first.is_unique());
        expect_numbered(first, count);
        EXPECT_EQ(second.entries().size(), static_cast<std::size_t>(count) + 1);
        EXPECT_EQ(second.entries().find(Value::string("k0"))->text(), "changed");
        EXPECT_EQ(second.entries().items()[count].key.text(), "extra");
        EXPECT_EQ(second.entries().find(Value::string(key_text(count - 1)))->as_number(),
                  count - 1);
    }
}

TEST(DictLayout, AWriterTakenBeforeACopyStillLeavesTheCopyAlone) {
    Value dict = numbered_dict(9);
    DictWriter writer = dict.mutable_entries();
    Value copy = dict;
    writer.insert(Value::string("k0"), Value::string("changed"));
    writer.insert_new(Value::string("new"), Value::null());
    expect_numbered(copy, 9);
    EXPECT_EQ(dict.entries().size(), 10u);
    EXPECT_EQ(dict.entries().items()[0].value.text(), "changed");
}

TEST(DictLayout, ACopyGrowsOnItsOwnAfterTheOriginalGrew) {
    Value original = numbered_dict(20);
    Value copy = original;
    // The copy takes a block of its own with no spare room; growing it moves the
    // entries and the copied index once more.
    for (int i = 20; i < 50; ++i)
        copy.mutable_entries().insert(Value::string(key_text(i)), Value::number(i));
    expect_numbered(copy, 50);
    expect_numbered(original, 20);
    original.mutable_entries().insert(Value::string("k20"), Value::string("mine"));
    EXPECT_EQ(copy.entries().find(Value::string("k20"))->as_number(), 20);
    EXPECT_EQ(original.entries().find(Value::string("k20"))->text(), "mine");
}

TEST(DictLayout, ADeepNestIsReleasedWithoutRecursionAndKeepsWhatIsShared) {
    constexpr int DEPTH = 1'000'000;  // far beyond what a recursive release survives
    Value key = Value::string("in");
    Value nest = Value::dict(1);
    Value kept;
    for (int level = 1; level < DEPTH; ++level) {
        Value outer = Value::dict(level % 3 == 0 ? 0 : 1);  // some levels grow
        outer.mutable_entries().insert_new(key, std::move(nest));
        nest = std::move(outer);
        if (level == DEPTH / 2) kept = nest;  // shared: must survive the release
    }
    nest = Value();
    ASSERT_TRUE(kept.is_unique());
    int depth = 0;
    for (const Value* level = &kept; level->is(Value::Dict); ++depth) {
        const Value* inner = level->entries().find(key);
        if (inner == nullptr) break;
        level = inner;
    }
    EXPECT_EQ(depth, DEPTH / 2);
}

TEST(DictLayout, ADictTooLargeToMakeFailsAsAnAllocationDoes) {
    // The run stops on bad_alloc; no half-made value may be left to release.
    EXPECT_THROW(Value::dict(std::size_t{1} << 40), std::bad_alloc);
    Value dict = numbered_dict(3);
    EXPECT_EQ(dict.entries().size(), 3u);
}

TEST(DictLayout, LiteralsKeepSourceOrderAndTheLaterOfTwoEqualKeys) {
    Session session;
    session.run(
        "small = {b: 1, a: 2, b: 3} "
        "big = {k0: 0, k1: 1, k2: 2, k3: 3, k4: 4, k5: 5, k6: 6, k7: 7, k8: 8, k3: 33, k9: 9} "
        "copy = big three = big.k3 nine = big[\"k9\"] none = big.k10 size = len(big)");
    EXPECT_EQ(session.text("small"), "{b: 3, a: 2}");
    EXPECT_EQ(session.text("big"),
              "{k0: 0, k1: 1, k2: 2, k3: 33, k4: 4, k5: 5, k6: 6, k7: 7, k8: 8, k9: 9}");
    EXPECT_EQ(session.text("copy"), session.text("big"));
    EXPECT_EQ(session.text("three"), "33");
    EXPECT_EQ(session.text("nine"), "9");
    EXPECT_EQ(session.text("none"), "null");
    EXPECT_EQ(session.text("size"), "10");
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
