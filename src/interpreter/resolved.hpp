#pragma once
// Resolved code: what the resolver makes of a parsed body before it first runs, and
// what the interpreter executes. Every node's kind already says what to do: which
// operator, which built-in, how the operands are read. The parser's tree stays plain
// data; everything settled for execution lives here.
//
// Invariants:
// - A resolved node never changes the outcome of a rule: a specialised kind reads its
//   operands a cheaper way and then applies the one general rule of its operator.
// - Every node carries the function a normal run evaluates it with, and the one that
//   decides it as a condition, both picked by the resolver from its kind and operator
//   (a binary node's evaluator has its operator compiled in). A run with --warn
//   switches over the kind instead, with its checks.
// - Resolved code is immutable once built, except the field-position memo of
//   `NodeKind::Field` (which only decides where a lookup starts) and the body of a
//   user function, resolved on its first call.
// - Nesting is bounded by the parser's limit, so building, running and releasing a
//   resolved body recursively stays within a known depth.

#include <cstdint>
#include <memory>
#include <vector>

#include "interpreter/builtin_ids.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/value.hpp"
#include "parser/ast.hpp"

namespace quenra {

class Interpreter;
struct Node;
// How a normal run evaluates a node: the resolver picks it from the node's kind and
// operator, so that a binary node goes straight to its operator's rule.
using NodeEvaluator = Value (*)(Interpreter& interpreter, const Node& node);
// How a normal run decides a node used as a condition, without making a boolean
// value: bit 0 is the truth of the node's value, and bit 1 is set when that value is
// not a boolean (so "and" and "or" over it give null).
using NodeTest = unsigned (*)(Interpreter& interpreter, const Node& node);
inline constexpr unsigned TRUTH = 1;
inline constexpr unsigned NOT_BOOLEAN = 2;

enum class NodeKind : std::uint8_t {
    Constant,        // constant: a literal's value
    Variable,        // name
    BinaryVarVar,    // op; name (left) and other (right), both variables
    BinaryVarConst,  // op; name (left variable), constant (right)
    BinaryConstVar,  // op; constant (left), other (right variable)
    Binary,          // op; left, right: any other operands
    Negate,          // left: the operand of unary minus
    Not,             // left: the operand of "not" / "!"
    Builtin,         // builtin; args, unevaluated (the built-in evaluates what it uses)
    Call,            // name (the callee, looked up at each call); args
    Array,           // args: the elements
    Dict,            // keys; args: the values, in source order; unique_keys
    Field,           // left (object); constant (the key string); hint
    Index,           // left (object); right (index)
    Range,           // left (start); right (end)
};

struct Node {
    NodeEvaluator evaluator = nullptr;
    NodeTest test = nullptr;
    NodeKind kind = NodeKind::Constant;
    BinaryOp op = BinaryOp::Add;
    BuiltinId builtin = BuiltinId::None;
    // No user function runs while the node is evaluated, so no variable can change.
    bool pure = true;
    // A variable, or a field or element of a path, read in place without a copy.
    bool path = false;
    bool unique_keys = true;  // Dict: no key is repeated, so none needs a search
    SymbolId name = 0;
    SymbolId other = 0;
    Value constant;
    std::unique_ptr<Node> left;
    std::unique_ptr<Node> right;
    std::vector<Node> args;
    std::vector<Value> keys;
    // Field: where the key was found last time, so reads of the same field of
    // like-built dicts go straight there.
    mutable std::uint32_t hint = 0;
    // Where the node stands in the source (the parser's place of its expression),
    // for warnings; beside `hint` it takes no room of its own.
    std::uint32_t offset = 0;
};

struct Arm;

enum class StepKind : std::uint8_t {
    Assign,        // name = value
    AssignPush,    // name = push(name, item): value is the call
    AssignUpdate,  // name = name op x, op arithmetic: value is the binary node
    AssignConcat,  // name = concat(name, ...): value is the call
    Compound,      // name op= value
    Define,        // name; function
    If,            // value (condition); body (then); alternative (else, when has_else)
    While,         // value (condition); body
    For,           // name; value (iterable); body
    ForRange,      // name; value (start); end; body: counts without building the array
    Match,         // value (subject); arms
    Try,           // body; name (the error variable); alternative (catch body)
    Return,        // value, absent for a bare return
    Break,         //
    Continue,      //
    Global,        // name
    Expression,    // value
};

struct UserFunction;

struct Step {
    StepKind kind = StepKind::Expression;
    BinaryOp op = BinaryOp::Add;
    bool has_else = false;
    SymbolId name = 0;
    std::unique_ptr<Node> value;
    std::unique_ptr<Node> end;
    std::vector<Step> body;
    std::vector<Step> alternative;
    std::vector<Arm> arms;
    std::shared_ptr<UserFunction> function;
};
using Block = std::vector<Step>;

struct Arm {
    std::unique_ptr<Node> pattern;  // absent for the wildcard
    Block body;
};

// A function value's definition: the parsed parameters and body, shared by every
// value made from it, and the body resolved on the function's first call.
struct UserFunction {
    FunctionBodyPtr source;
    std::vector<SymbolId> params;
    std::unique_ptr<Block> code;
};

}  // namespace quenra
