#pragma once
// Run-time values.
//
// The language gives values plain-data semantics: reading a variable yields a copy,
// and nothing can change a value another variable holds. Quenra implements that
// without copying: a `Value` is a 16-byte tagged record that holds numbers, floats,
// booleans, null, colours and circles inline, and every larger payload (strings,
// arrays, dicts, functions, rectangles, triangles, errors) behind an intrusive
// reference count. Payloads are immutable while shared; an operation that "changes"
// a container either builds a new one or, when the payload is provably unshared
// (its count is 1), changes it in place, which no script can observe.
//
// Values are acyclic: no operation can make a value contain itself, so reference
// counting frees everything and no collector is needed. Releasing a deeply nested
// value is a loop, not a recursion.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "parser/symbols.hpp"

namespace quenra {

enum class ValueKind : std::uint8_t {
    Number,    // int64 inline
    Float,     // double inline
    String,    // StringObject
    Boolean,   // bool inline
    Array,     // ArrayObject
    Dict,      // quenra::Dict: header and entries in one block
    Function,  // FunctionObject: shared parameter names and body
    Rect,      // RectObject
    Color,     // r, g, b inline
    Circle,    // x inline in `aux_`, y and radius in the payload word
    Triangle,  // TriangleObject
    Null,      // nothing
    Error,     // ErrorObject
};
inline constexpr std::size_t VALUE_KIND_COUNT = 13;

class Value;
class Dict;
class DictWriter;
struct UserFunction;

struct StringObject {
    std::size_t refs = 1;
    mutable std::uint64_t hash = 0;  // 0 until computed
    std::string text;
};

struct ArrayObject {
    std::size_t refs = 1;
    std::vector<Value> items;
};

struct FunctionObject {
    std::size_t refs = 1;
    std::shared_ptr<UserFunction> function;
};

struct RectObject {
    std::size_t refs = 1;
    std::int32_t x, y;
    std::uint32_t width, height;
};

struct TriangleObject {
    std::size_t refs = 1;
    std::int32_t x1, y1, x2, y2, x3, y3;
};

struct ErrorObject {
    std::size_t refs = 1;
    std::string message;
};

struct RectData {
    std::int32_t x, y;
    std::uint32_t width, height;
};
struct CircleData {
    std::int32_t x, y;
    std::uint32_t radius;
};
struct ColorData {
    std::uint8_t r, g, b;
};
struct TriangleData {
    std::int32_t x1, y1, x2, y2, x3, y3;
};

class Value {
public:
    using enum ValueKind;  // so that kinds read as Value::Number, Value::Array, ...

    Value() noexcept : kind_(Null) { word_.integer = 0; }
    Value(const Value& other) noexcept {
        set_bits(bits_of(other));
        if (is_heap()) ++*counter();
    }
    Value(Value&& other) noexcept {
        set_bits(bits_of(other));
        other.kind_ = Null;
    }
    Value& operator=(const Value& other) noexcept {
        Value copy(other);
        swap(copy);
        return *this;
    }
    Value& operator=(Value&& other) noexcept {
        if (!is_heap()) {                 // nothing to release: a plain move
            Bits moved = bits_of(other);  // read first, so a move to itself keeps it
            other.kind_ = Null;
            set_bits(moved);
            return *this;
        }
        Value moved(std::move(other));
        swap(moved);
        return *this;
    }
    ~Value() {
        if (is_heap() && --*counter() == 0) release();
    }

    static Value number(std::int64_t value) noexcept {
        Value v(Number);
        v.word_.integer = value;
        return v;
    }
    static Value floating(double value) noexcept {
        Value v(Float);
        v.word_.real = value;
        return v;
    }
    static Value boolean(bool value) noexcept {
        Value v(Boolean);
        v.word_.integer = value ? 1 : 0;
        return v;
    }
    static Value null() noexcept { return Value(); }
    static Value string(std::string text);
    static Value array(std::vector<Value> items);
    // An empty dict with room for `room` entries (fill it through mutable_entries).
    static Value dict(std::size_t room);
    static Value function(std::shared_ptr<UserFunction> function);
    static Value error(std::string message);
    static Value rect(RectData rect);
    static Value color(ColorData color) noexcept;
    static Value circle(CircleData circle) noexcept;
    static Value triangle(TriangleData triangle);

    ValueKind kind() const noexcept { return kind_; }
    bool is(ValueKind kind) const noexcept { return kind_ == kind; }

    std::int64_t as_number() const noexcept { return word_.integer; }
    double as_float() const noexcept { return word_.real; }
    bool as_boolean() const noexcept { return word_.integer != 0; }
    const StringObject& string_object() const noexcept {
        return *static_cast<const StringObject*>(word_.pointer);
    }
    std::string_view text() const noexcept { return string_object().text; }
    const std::vector<Value>& items() const noexcept {
        return static_cast<const ArrayObject*>(word_.pointer)->items;
    }
    const quenra::Dict& entries() const noexcept;
    UserFunction& user_function() const noexcept {
        return *static_cast<const FunctionObject*>(word_.pointer)->function;
    }
    std::string_view error_message() const noexcept {
        return static_cast<const ErrorObject*>(word_.pointer)->message;
    }
    RectData rect_data() const noexcept;
    ColorData color_data() const noexcept { return {color_[0], color_[1], color_[2]}; }
    CircleData circle_data() const noexcept { return {aux_, word_.circle.y, word_.circle.radius}; }
    TriangleData triangle_data() const noexcept;

    // Whether two values share one payload (the same string object, for instance).
    bool same_payload(const Value& other) const noexcept {
        return is_heap() && kind_ == other.kind_ && word_.pointer == other.word_.pointer;
    }

    // Assignment to a value just moved from (so holding nothing to release).
    void replace_moved_from(Value&& other) noexcept {
        set_bits(bits_of(other));
        other.kind_ = Null;
    }
    // Whether this value holds the only reference to its payload.
    bool is_unique() const noexcept { return is_heap() && *counter() == 1; }

    // Writable access for in-place updates: makes the payload unshared first (by
    // copying it when it is shared), so no other value can see the change.
    std::vector<Value>& mutable_items() {
        if (!is_unique()) unshare_items();
        return static_cast<ArrayObject*>(word_.pointer)->items;
    }
    DictWriter mutable_entries();
    std::string& mutable_text();

    void swap(Value& other) noexcept {
        Bits mine = bits_of(*this);
        set_bits(bits_of(other));
        other.set_bits(mine);
    }

private:
    friend class DictWriter;  // moves a growing dict to a larger block

    explicit Value(ValueKind kind) noexcept : kind_(kind) { word_.integer = 0; }
    // A value of a heap kind holding `payload`, which is made first: if making it
    // throws, no value exists yet whose destructor would release a null payload.
    static Value holding(ValueKind kind, void* payload) noexcept {
        Value v(kind);
        v.word_.pointer = payload;
        return v;
    }

    static constexpr std::uint32_t HEAP_KINDS =
        (1u << static_cast<int>(String)) | (1u << static_cast<int>(Array)) |
        (1u << static_cast<int>(Dict)) | (1u << static_cast<int>(Function)) |
        (1u << static_cast<int>(Rect)) | (1u << static_cast<int>(Triangle)) |
        (1u << static_cast<int>(Error));

    bool is_heap() const noexcept { return (HEAP_KINDS >> static_cast<int>(kind_)) & 1u; }

    // A value is moved as two 8-byte words, never as one 16-byte block. Most values
    // are made by two word stores (the kind, then the payload) just before they are
    // moved, and a 16-byte load of two such fresh stores cannot be served from the
    // store buffer: it waits until both reach the cache, every time.
    struct Bits {
        std::uint64_t head, tail;
    };
    static Bits bits_of(const Value& value) noexcept {
        Bits bits;
        std::memcpy(&bits.head, static_cast<const void*>(&value), sizeof bits.head);
        std::memcpy(&bits.tail, reinterpret_cast<const char*>(&value) + sizeof bits.head,
                    sizeof bits.tail);
#if defined(__GNUC__)
        // Keeps the compiler from joining the two loads into one vector load.
        asm("" : "+r"(bits.head), "+r"(bits.tail));
#endif
        return bits;
    }
    void set_bits(Bits bits) noexcept {
        std::memcpy(static_cast<void*>(this), &bits.head, sizeof bits.head);
        std::memcpy(reinterpret_cast<char*>(this) + sizeof bits.head, &bits.tail, sizeof bits.tail);
    }
    // Every payload object begins with its reference count.
    std::size_t* counter() const noexcept { return static_cast<std::size_t*>(word_.pointer); }
    void release() noexcept;
    void unshare_items();

    ValueKind kind_;
    std::uint8_t color_[3] = {0, 0, 0};
    std::int32_t aux_ = 0;
    union Word {
        std::int64_t integer;
        double real;
        void* pointer;
        struct {
            std::int32_t y;
            std::uint32_t radius;
        } circle;
    } word_;
};
static_assert(sizeof(Value) == 16, "a Value must stay two machine words");

// The display text of a value (what print writes).
std::string to_display_string(const Value& value);
void append_display_string(std::string& out, const Value& value);
void append_float(std::string& out, double value);
// "number", "float", "string", "boolean", "array", "dict", "null", or "unknown".
std::string_view type_name(const Value& value);
bool is_truthy(const Value& value);

// The most bytes one value may take (a string's text, a display text, a range's
// elements): the machine's memory unless lowered (the fuzzer lowers it so that one
// input cannot take the machine). Building anything larger fails the way an
// allocation fails, with std::bad_alloc, which stops the run with "Error: out of
// memory".
std::uint64_t value_size_limit();
void set_value_size_limit(std::uint64_t bytes);
void check_value_size(std::uint64_t bytes);

// The hash of a string payload, computed once and cached in the payload.
std::uint64_t string_hash(const StringObject& string);
std::uint64_t hash_text(std::string_view text);

}  // namespace quenra
