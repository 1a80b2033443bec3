// The run-time checks of --warn. The evaluator reaches them only when a warning
// sink is set, through one untaken branch at each place; nothing here evaluates
// anything, so a run with warnings does exactly what a run without them does.
#include <algorithm>
#include <string>

#include "interpreter/builtins.hpp"
#include "interpreter/dict.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/operators.hpp"
#include "lexer/warnings.hpp"

namespace quenra {

namespace {

// A kind as a learner reads it: with an article, and the graphics kinds by name
// (typeof says "unknown" for them, which would not help here).
std::string a_kind(ValueKind kind) {
    switch (kind) {
        case Value::Number: return "a number";
        case Value::Float: return "a float";
        case Value::String: return "a string";
        case Value::Boolean: return "a boolean";
        case Value::Array: return "an array";
        case Value::Dict: return "a dict";
        case Value::Function: return "a function";
        case Value::Rect: return "a rectangle";
        case Value::Color: return "a colour";
        case Value::Circle: return "a circle";
        case Value::Triangle: return "a triangle";
        case Value::Null: return "null";
        case Value::Error: return "an error";
    }
    return "a value";
}

std::string_view op_text(BinaryOp op) {
    switch (op) {
        case BinaryOp::Add: return "+";
        case BinaryOp::Sub: return "-";
        case BinaryOp::Mul: return "*";
        case BinaryOp::Div: return "/";
        case BinaryOp::Mod: return "%";
        case BinaryOp::Pow: return "**";
        case BinaryOp::Eq: return "==";
        case BinaryOp::Ne: return "!=";
        case BinaryOp::Lt: return "<";
        case BinaryOp::Gt: return ">";
        case BinaryOp::Le: return "<=";
        case BinaryOp::Ge: return ">=";
        case BinaryOp::And: return "and";
        case BinaryOp::Or: return "or";
        case BinaryOp::None: return "the operator";
    }
    return "the operator";
}

bool is_numeric(ValueKind kind) { return kind == Value::Number || kind == Value::Float; }

// Why an operator gives null for these kinds, with what to write instead.
std::string operator_advice(BinaryOp op, ValueKind left, ValueKind right) {
    std::string text =
        quoted(op_text(op)) + " gives null for " + a_kind(left) + " and " + a_kind(right);
    if (is_numeric(left) && is_numeric(right) && left != right) {
        return text +
               ": numbers and floats do not mix; make both floats (write 2.0 for 2, or "
               "pow(n, 1) for a number n) or both numbers (round(x), floor(x) or ceil(x))";
    }
    if ((op == BinaryOp::And || op == BinaryOp::Or)) {
        return text + ": \"and\" and \"or\" take two booleans (write x != 0 for a number)";
    }
    if (op == BinaryOp::Add && (left == Value::String || right == Value::String)) {
        return text + ": to join a value to a text, write concat(a, b)";
    }
    if (left == Value::String && right == Value::String) {
        return text +
               ": strings can only be joined with \"+\" and compared with \"==\" and "
               "\"!=\"";
    }
    if (op == BinaryOp::Add && left == Value::Array) {
        return text + ": to add an element, write a = push(a, x)";
    }
    return text;
}

// Edit distance between two names, a swap of neighbours counting as one edit;
// gives up (returning `limit` + 1) when the lengths alone are too far apart.
std::size_t distance(std::string_view a, std::string_view b, std::size_t limit) {
    if (a.size() > b.size() + limit || b.size() > a.size() + limit) return limit + 1;
    std::size_t width = b.size() + 1;
    std::vector<std::size_t> d((a.size() + 1) * width);
    auto at = [&](std::size_t i, std::size_t j) -> std::size_t& { return d[i * width + j]; };
    for (std::size_t i = 0; i <= a.size(); ++i) at(i, 0) = i;
    for (std::size_t j = 0; j <= b.size(); ++j) at(0, j) = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
        }
    }
    return at(a.size(), b.size());
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The closest of `candidates` to `name`: a change of case first, then the fewest
// edits, at most a third of the name's length (and at least one).
class Closest {
public:
    explicit Closest(std::string_view name)
        : name_(name), limit_(std::max<std::size_t>(1, name.size() / 3)) {}
    void offer(std::string_view candidate) {
        // One- and two-letter names are too alike for a guess to help.
        if (candidate == name_ || name_.size() < 3 || candidate.size() < 3) return;
        // Long texts (string literals share the symbol table) are no names to offer.
        if (candidate.size() > name_.size() + limit_) return;
        std::size_t score =
            same_ignoring_case(candidate, name_) ? 0 : distance(name_, candidate, limit_) + 1;
        if (score <= limit_ + 1 && score < best_score_) {
            best_score_ = score;
            best_ = candidate;
        }
    }
    std::string suggestion() const {
        return best_.empty() ? "" : " (did you mean " + quoted(best_) + "?)";
    }

private:
    std::string_view name_;
    std::size_t limit_;
    std::size_t best_score_ = SIZE_MAX;
    std::string best_;
};

// What each argument of a built-in must be, for the built-ins that give null (or
// do nothing) when an argument does not fit: one mask of kinds per argument.
constexpr std::uint32_t bit(ValueKind kind) { return 1u << static_cast<unsigned>(kind); }
constexpr std::uint32_t NUMERIC = bit(Value::Number) | bit(Value::Float);
constexpr std::uint32_t SHAPE = bit(Value::Rect) | bit(Value::Circle) | bit(Value::Triangle);
constexpr std::size_t MAX_CHECKED_ARGUMENTS = 6;

struct ArgumentNeeds {
    std::uint32_t masks[MAX_CHECKED_ARGUMENTS];
};

ArgumentNeeds needs_of(BuiltinId id) {
    switch (id) {
        case BuiltinId::Len: return {{bit(Value::String) | bit(Value::Array) | bit(Value::Dict)}};
        case BuiltinId::Push:
        case BuiltinId::Pop:
        case BuiltinId::Reverse: return {{bit(Value::Array)}};
        case BuiltinId::Abs:
        case BuiltinId::Sqrt:
        case BuiltinId::Ceil:
        case BuiltinId::Floor:
        case BuiltinId::Round: return {{NUMERIC}};
        case BuiltinId::Pow:
        case BuiltinId::RandomRange:
        case BuiltinId::Window: return {{NUMERIC, NUMERIC}};
        case BuiltinId::Upper:
        case BuiltinId::Lower: return {{bit(Value::String)}};
        case BuiltinId::Slice: return {{bit(Value::String), NUMERIC, NUMERIC}};
        case BuiltinId::Rect: return {{NUMERIC, NUMERIC, NUMERIC, NUMERIC}};
        case BuiltinId::Color:
        case BuiltinId::Circle: return {{NUMERIC, NUMERIC, NUMERIC}};
        case BuiltinId::Triangle: return {{NUMERIC, NUMERIC, NUMERIC, NUMERIC, NUMERIC, NUMERIC}};
        case BuiltinId::Fill:
        case BuiltinId::Draw: return {{SHAPE, bit(Value::Color)}};
        case BuiltinId::Min:
        case BuiltinId::Max:
        case BuiltinId::Random:
        case BuiltinId::Print:
        case BuiltinId::Input:
        case BuiltinId::Split:
        case BuiltinId::Concat:
        case BuiltinId::Contains:
        case BuiltinId::Typeof:
        case BuiltinId::IsNumber:
        case BuiltinId::IsString:
        case BuiltinId::IsArray:
        case BuiltinId::IsDict:
        case BuiltinId::IsOpen:
        case BuiltinId::Present:
        case BuiltinId::Clear:
        case BuiltinId::WindowWidth:
        case BuiltinId::WindowHeight:
        case BuiltinId::None: break;
    }
    return {{0}};
}

std::string need_text(std::uint32_t mask) {
    if (mask == NUMERIC) return "a number or a float";
    if (mask == SHAPE) return "a rectangle, circle or triangle";
    if (mask == bit(Value::Color)) return "a colour (from color(r, g, b))";
    if (mask == bit(Value::Array)) return "an array";
    if (mask == bit(Value::String)) return "a string";
    return "a string, an array or a dict";
}

std::string ordinal(std::size_t index) {
    static const char* const WORDS[] = {"first", "second", "third", "fourth", "fifth", "sixth"};
    return index < std::size(WORDS) ? WORDS[index] : "argument " + std::to_string(index + 1);
}

}  // namespace

std::string Interpreter::similar_name(std::string_view name, bool functions) const {
    Closest closest(name);
    for (std::size_t i = 0; i < BUILTIN_COUNT; ++i) {
        closest.offer(builtin_entry(static_cast<BuiltinId>(i)).name);
    }
    for (SymbolId id = 0; id < bindings_.size(); ++id) {
        const Value& value = bindings_[id].value;
        if (value.is(Value::Null) || (functions && !value.is(Value::Function))) continue;
        closest.offer(symbols_.text(id));
    }
    return closest.suggestion();
}

void Interpreter::warn_read(const Node& variable) {
    const std::string& name = symbols_.text(variable.name);
    // "null" is how learners write nothing; comparing with it is reported on its own.
    if (name == "null" || !warnings_->is_new(variable.offset, WarningKind::EmptyVariable)) return;
    warnings_->report(
        variable.offset, WarningKind::EmptyVariable,
        quoted(name) + " holds nothing here, so it reads as null" + similar_name(name, false));
}

Value Interpreter::read_checked(const Node& node) {
    const Value& value = peek(node.name);
    if (value.is(Value::Null)) warn_read(node);
    return value;
}

Value Interpreter::negate_checked(const Node& node) {
    Value operand = evaluate(*node.left);
    check_negate(node, operand);
    return negate(operand);
}

Value Interpreter::binary_leaves_checked(const Node& node, const Value& left, const Value& right) {
    Value result = binary_operation(left, node.op, right);
    check_binary(node, node.op, left.kind(), right.kind(), result, node.offset);
    return result;
}

void Interpreter::check_binary(const Node& node, BinaryOp op, ValueKind left, ValueKind right,
                               const Value& result, std::uint32_t offset, bool leaves) {
    bool equality = op == BinaryOp::Eq || op == BinaryOp::Ne;
    if (equality && (left == Value::Null || right == Value::Null)) {
        warnings_->report(offset, WarningKind::NullComparison,
                          quoted(op_text(op)) +
                              " with null gives null, never true or false: to test whether "
                              "a value is null, write typeof(x) == \"null\"");
        return;
    }
    if (!result.is(Value::Null)) return;
    // An operand read from a variable that holds nothing: that is the mistake.
    if (leaves) {
        bool left_variable =
            node.kind == NodeKind::BinaryVarVar || node.kind == NodeKind::BinaryVarConst;
        bool right_variable =
            node.kind == NodeKind::BinaryVarVar || node.kind == NodeKind::BinaryConstVar;
        SymbolId empty = 0;
        bool found = false, after = false;
        if (left_variable && left == Value::Null) {
            empty = node.name;
            found = true;
        } else if (right_variable && right == Value::Null) {
            empty = node.other;
            found = after = true;
        }
        if (found) {
            // The operand has no place of its own in the node: it stands beside the
            // operator in the source.
            const std::string& name = symbols_.text(empty);
            std::uint32_t at = warnings_->name_beside(offset, name, after, op_text(op).size());
            if (name == "null" || !warnings_->is_new(at, WarningKind::EmptyVariable)) return;
            warnings_->report(at, WarningKind::EmptyVariable,
                              quoted(name) + " holds nothing here, so it reads as null" +
                                  similar_name(name, false));
            return;
        }
        // A variable child has been reported where it stands.
        bool left_read = node.kind == NodeKind::Binary && node.left->kind == NodeKind::Variable;
        bool right_read = node.kind == NodeKind::Binary && node.right->kind == NodeKind::Variable;
        if ((left_read && left == Value::Null) || (right_read && right == Value::Null)) return;
    }
    if (!warnings_->is_new(offset, WarningKind::NullOperator)) return;
    warnings_->report(offset, WarningKind::NullOperator, operator_advice(op, left, right));
}

Value Interpreter::apply_checked(const Node& node, Value left, const Value& right) {
    ValueKind left_kind = left.kind();
    Value result = apply_binary(std::move(left), node.op, right);
    check_binary(node, node.op, left_kind, right.kind(), result, node.offset);
    return result;
}

void Interpreter::check_negate(const Node& node, const Value& operand) {
    if (is_numeric(operand.kind()) || operand.is(Value::Null)) return;
    warnings_->report(node.offset, WarningKind::NullOperator,
                      "\"-\" gives null for " + a_kind(operand.kind()) +
                          ": only numbers and floats can be negated");
}

void Interpreter::warn_call(const Node& call, const Value& found) {
    if (!warnings_->is_new(call.offset, WarningKind::UnknownFunction)) return;
    const std::string& name = symbols_.text(call.name);
    std::string message;
    if (found.is(Value::Null)) {
        message = "call of " + quoted(name) +
                  ", which is neither a built-in nor a function: it gives null and its "
                  "arguments are not evaluated" +
                  similar_name(name, true);
    } else {
        message = quoted(name) + " holds " + a_kind(found.kind()) +
                  ", not a function: the call gives null and its arguments are not evaluated";
    }
    warnings_->report(call.offset, WarningKind::UnknownFunction, message);
}

// A user-function call with warnings on: the call is kept on `calls_` while it
// runs, so a stopped run can tell which function it was in.
Value Interpreter::call_user_watched(const Node& call, UserFunction& callee, std::size_t base) {
    calls_.push_back(CallSite{call.name, call.offset});
    Value result = invoke_checked(callee, base);
    if (stopped()) {
        note_stop(call.offset);
    } else {
        calls_.pop_back();
    }
    return result;
}

// A built-in call with warnings on: the kinds of the arguments it evaluates are
// noted, and a result of null (or, for the drawing built-ins, nothing drawn) is
// explained by the first argument that does not fit.
Value Interpreter::call_builtin_watched(const Node& call) {
    ValueKind kinds[MAX_CHECKED_ARGUMENTS];
    std::fill(std::begin(kinds), std::end(kinds), Value::Error);  // Error: not evaluated
    ValueKind* outer = argument_kinds_;
    argument_kinds_ = kinds;
    Value result = builtin_entry(call.builtin).function(*this, call);
    argument_kinds_ = outer;
    if (stopped()) return result;
    const Builtin& builtin = builtin_entry(call.builtin);
    ArgumentNeeds needs = needs_of(call.builtin);
    for (std::size_t i = 0; i < MAX_CHECKED_ARGUMENTS; ++i) {
        if (needs.masks[i] == 0 || kinds[i] == Value::Error) continue;
        if ((needs.masks[i] & bit(kinds[i])) != 0) continue;
        bool draws = call.builtin == BuiltinId::Fill || call.builtin == BuiltinId::Draw;
        std::string what = draws ? "nothing is drawn" : "the call gives null";
        if (call.builtin == BuiltinId::Window) what = "no window opens";
        warnings_->report(call.offset, WarningKind::BuiltinArgument,
                          "the " + ordinal(i) + " argument of " + std::string(builtin.name) +
                              " must be " + need_text(needs.masks[i]) + ", not " +
                              a_kind(kinds[i]) + ": " + what);
        return result;
    }
    if (!result.is(Value::Null)) return result;
    if (call.builtin == BuiltinId::Pop && kinds[0] == Value::Array) {
        warnings_->report(call.offset, WarningKind::BuiltinArgument,
                          "pop of an empty array gives null");
    } else if (call.builtin == BuiltinId::Min || call.builtin == BuiltinId::Max) {
        warnings_->report(call.offset, WarningKind::BuiltinArgument,
                          std::string(builtin.name) +
                              " gives null: none of its arguments is a number or a float");
    } else if (call.builtin == BuiltinId::WindowWidth || call.builtin == BuiltinId::WindowHeight) {
        warnings_->report(call.offset, WarningKind::BuiltinArgument,
                          std::string(builtin.name) + " gives null: no window is open");
    }
    return result;
}

void Interpreter::note_argument(std::size_t index, const Value& value) {
    if (index < MAX_CHECKED_ARGUMENTS) argument_kinds_[index] = value.kind();
}

void Interpreter::check_element(const Node& node, const Value& object, const Value& index,
                                const Value& element) {
    if (!element.is(Value::Null) || object.is(Value::Null)) return;
    if (!warnings_->is_new(node.offset, WarningKind::MissingElement)) return;
    std::string message;
    if (object.is(Value::Array) && index.is(Value::Number)) {
        std::int64_t position = index.as_number();
        std::size_t size = object.items().size();
        if (position < 0) {
            message = "index " + std::to_string(position) +
                      " is outside the array: indices start at 0 and do not count from the end";
        } else if (static_cast<std::uint64_t>(position) >= size) {
            message = "index " + std::to_string(position) + " is past the end of an array of " +
                      std::to_string(size) + (size == 1 ? " element" : " elements") +
                      " (indices start at 0): it gives null";
        } else {
            return;  // the element itself is null
        }
    } else if (object.is(Value::Dict) && index.is(Value::String)) {
        if (object.entries().find(index) != nullptr) return;  // the value stored is null
        Closest closest(index.text());
        for (const Dict::Entry& entry : object.entries().items()) closest.offer(entry.key.text());
        message = "key " + quoted(index.text()) + " is not in the dict: it gives null" +
                  closest.suggestion();
    } else if (node.kind == NodeKind::Field) {
        std::string key(index.text());
        message = a_kind(object.kind()) + " has no members: ." + key + " gives null";
        if (find_builtin(key) != BuiltinId::None) {
            message += " (to call the built-in, write " + key + "(x))";
        } else if (!object.is(Value::Dict)) {
            message += " (only dicts have members)";
        }
    } else if (object.is(Value::Array)) {
        message = "an array is indexed by a number, not " + a_kind(index.kind()) +
                  (index.is(Value::Float) ? " (floor(i) makes a number of it)" : "") +
                  ": it gives null";
    } else if (object.is(Value::Dict)) {
        message =
            "a dict is indexed by a string key, not " + a_kind(index.kind()) + ": it gives null";
    } else if (object.is(Value::String)) {
        message =
            "a string cannot be indexed: it gives null (slice(s, i, i + 1) takes one "
            "character)";
    } else {
        message = a_kind(object.kind()) + " has no elements: indexing it gives null";
    }
    warnings_->report(node.offset, WarningKind::MissingElement, message);
}

void Interpreter::warn_iterable(const Step& step, const Value& iterable) {
    std::string message = "for over " + a_kind(iterable.kind()) +
                          " does nothing: only arrays and ranges (a..b) are looped over";
    if (iterable.is(Value::Dict)) message += "; keep the keys in an array to loop over them";
    if (iterable.is(Value::String)) message += "; split(s, \"\") gives the characters";
    warnings_->report(step.value->offset, WarningKind::ForOverNonArray, message);
}

void Interpreter::warn_range(const Node& at, const Value& start, const Value& end) {
    const Value& bad = is_numeric(start.kind()) ? end : start;
    warnings_->report(at.offset, WarningKind::NullOperator,
                      "a range needs numbers for its bounds, not " + a_kind(bad.kind()) +
                          ": it gives null (a loop over it does nothing)");
}

void Interpreter::note_stop(std::uint32_t offset) {
    if (stop_noted_) return;
    stop_noted_ = true;
    stop_offset_ = offset;
    // The call at `offset` (if it is one) is still on `calls_`: the function it was
    // in is the callee of the call below it.
    std::size_t inside = calls_.size();
    if (inside > 0 && calls_.back().offset == offset) --inside;
    stop_function_ = inside > 0 ? static_cast<std::int64_t>(calls_[inside - 1].callee) : -1;
}

void Interpreter::report_stop(std::uint32_t fallback) {
    if (warnings_ == nullptr || fatal_ == Fatal::None) return;
    // A run that ran out of memory unwound past the notes: the innermost call left
    // on `calls_` is where it was.
    if (!stop_noted_ && !calls_.empty()) note_stop(calls_.back().offset);
    if (!stop_noted_) note_stop(fallback);
    std::string where =
        stop_function_ >= 0
            ? "in function " + quoted(symbols_.text(static_cast<SymbolId>(stop_function_)))
            : std::string("at the top level");
    std::string why(fatal_message(fatal_));
    if (why.rfind("Error: ", 0) == 0) why = why.substr(7);
    warnings_->report(stop_offset_, WarningKind::RunStopped,
                      "the run stopped here, " + where + ": " + why);
    stop_noted_ = false;
    calls_.clear();
}

namespace {

void count_arguments(Warnings& warnings, const Expr& expr);

void count_in(Warnings& warnings, const StmtList& statements);

void count_in(Warnings& warnings, const Stmt& stmt) {
    switch (stmt.kind) {
        case StmtKind::Let: count_arguments(warnings, stmt.as<LetStmt>().value); break;
        case StmtKind::Assign: count_arguments(warnings, stmt.as<AssignStmt>().value); break;
        case StmtKind::CompoundAssign:
            count_arguments(warnings, stmt.as<CompoundAssignStmt>().value);
            break;
        case StmtKind::FunctionDef:
            count_in(warnings, stmt.as<FunctionDefStmt>().function->body);
            break;
        case StmtKind::If: {
            const auto& node = stmt.as<IfStmt>();
            count_arguments(warnings, node.condition);
            count_in(warnings, node.then_branch);
            if (node.else_branch) count_in(warnings, *node.else_branch);
            break;
        }
        case StmtKind::While:
            count_arguments(warnings, stmt.as<WhileStmt>().condition);
            count_in(warnings, stmt.as<WhileStmt>().body);
            break;
        case StmtKind::For:
            count_arguments(warnings, stmt.as<ForStmt>().iterable);
            count_in(warnings, stmt.as<ForStmt>().body);
            break;
        case StmtKind::Match:
            count_arguments(warnings, stmt.as<MatchStmt>().subject);
            for (const MatchArm& arm : stmt.as<MatchStmt>().arms) {
                if (arm.pattern) count_arguments(warnings, *arm.pattern);
                count_in(warnings, arm.body);
            }
            break;
        case StmtKind::TryCatch:
            count_in(warnings, stmt.as<TryCatchStmt>().try_body);
            count_in(warnings, stmt.as<TryCatchStmt>().catch_body);
            break;
        case StmtKind::Return:
            if (stmt.as<ReturnStmt>().value)
                count_arguments(warnings, *stmt.as<ReturnStmt>().value);
            break;
        case StmtKind::Expression: count_arguments(warnings, stmt.as<ExpressionStmt>().expr); break;
        case StmtKind::Break:
        case StmtKind::Continue:
        case StmtKind::Global: break;
    }
}

void count_in(Warnings& warnings, const StmtList& statements) {
    for (const Stmt& stmt : statements) count_in(warnings, stmt);
}

void count_arguments(Warnings& warnings, const Expr& expr) {
    switch (expr.kind) {
        case ExprKind::Number:
        case ExprKind::Float:
        case ExprKind::String:
        case ExprKind::Boolean:
        case ExprKind::Variable: break;
        case ExprKind::Binary:
            count_arguments(warnings, *expr.as<BinaryExpr>().left);
            count_arguments(warnings, *expr.as<BinaryExpr>().right);
            break;
        case ExprKind::Unary: count_arguments(warnings, *expr.as<UnaryExpr>().operand); break;
        case ExprKind::Call: {
            const auto& call = expr.as<CallExpr>();
            BuiltinId id = find_builtin(call.name.text);
            if (id != BuiltinId::None) {
                std::size_t need = builtin_entry(id).min_args;
                if (call.args.size() < need) {
                    warnings.report(expr.offset, WarningKind::BuiltinArgument,
                                    call.name.text + " needs " + std::to_string(need) +
                                        (need == 1 ? " argument" : " arguments") + ", not " +
                                        std::to_string(call.args.size()) +
                                        ": the call gives null and evaluates nothing");
                }
            }
            for (const Expr& arg : call.args) count_arguments(warnings, arg);
            break;
        }
        case ExprKind::Array:
            for (const Expr& element : expr.as<ArrayExpr>().elements)
                count_arguments(warnings, element);
            break;
        case ExprKind::Dict:
            for (const DictEntry& entry : expr.as<DictExpr>().entries)
                count_arguments(warnings, entry.value);
            break;
        case ExprKind::Index:
            count_arguments(warnings, *expr.as<IndexExpr>().object);
            count_arguments(warnings, *expr.as<IndexExpr>().index);
            break;
        case ExprKind::Range:
            count_arguments(warnings, *expr.as<RangeExpr>().start);
            count_arguments(warnings, *expr.as<RangeExpr>().end);
            break;
    }
}

}  // namespace

void Interpreter::check_builtin_counts(const StmtList& statements) {
    if (warnings_ != nullptr) count_in(*warnings_, statements);
}

}  // namespace quenra
