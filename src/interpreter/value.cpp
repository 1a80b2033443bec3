#include "interpreter/value.hpp"

#include <charconv>
#include <cmath>
#include <new>

#include "interpreter/dict.hpp"
#include "interpreter/payload_pool.hpp"
#include "interpreter/resolved.hpp"
#include "platform/platform.hpp"

namespace quenra {

Value Value::string(std::string text) {
    return holding(String,
                   pool::make<StringObject>(std::size_t{1}, std::uint64_t{0}, std::move(text)));
}

Value Value::array(std::vector<Value> items) {
    return holding(Array, pool::make<ArrayObject>(std::size_t{1}, std::move(items)));
}

Value Value::dict(std::size_t room) { return holding(Dict, quenra::Dict::make(room)); }

Value Value::function(std::shared_ptr<UserFunction> function) {
    return holding(Function, pool::make<FunctionObject>(std::size_t{1}, std::move(function)));
}

Value Value::error(std::string message) {
    return holding(Error, pool::make<ErrorObject>(std::size_t{1}, std::move(message)));
}

Value Value::rect(RectData rect) {
    return holding(Rect,
                   pool::make<RectObject>(std::size_t{1}, rect.x, rect.y, rect.width, rect.height));
}

Value Value::color(ColorData color) noexcept {
    Value v(Color);
    v.color_[0] = color.r;
    v.color_[1] = color.g;
    v.color_[2] = color.b;
    return v;
}

Value Value::circle(CircleData circle) noexcept {
    Value v(Circle);
    v.aux_ = circle.x;
    v.word_.circle.y = circle.y;
    v.word_.circle.radius = circle.radius;
    return v;
}

Value Value::triangle(TriangleData t) {
    return holding(Triangle,
                   pool::make<TriangleObject>(std::size_t{1}, t.x1, t.y1, t.x2, t.y2, t.x3, t.y3));
}

RectData Value::rect_data() const noexcept {
    const auto* rect = static_cast<const RectObject*>(word_.pointer);
    return {rect->x, rect->y, rect->width, rect->height};
}

TriangleData Value::triangle_data() const noexcept {
    const auto* t = static_cast<const TriangleObject*>(word_.pointer);
    return {t->x1, t->y1, t->x2, t->y2, t->x3, t->y3};
}

void Value::unshare_items() { *this = Value::array(items()); }

DictWriter Value::mutable_entries() { return DictWriter(*this); }

std::string& Value::mutable_text() {
    if (!is_unique()) *this = Value::string(std::string(text()));
    auto* object = static_cast<StringObject*>(word_.pointer);
    object->hash = 0;  // the text is about to change
    return object->text;
}

namespace {

// Containers whose last reference goes away while another container is being
// released are parked here instead of being released recursively.
thread_local std::vector<Value>* parked = nullptr;

bool is_container(const Value& value) { return value.is(Value::Array) || value.is(Value::Dict); }

void park_children(std::vector<Value>& items, std::vector<Value>& sink) {
    for (Value& item : items) {
        if (is_container(item) && item.is_unique()) sink.push_back(std::move(item));
    }
}

void park_children(std::span<quenra::Dict::Entry> entries, std::vector<Value>& sink) {
    for (auto& entry : entries) {
        if (is_container(entry.value) && entry.value.is_unique())
            sink.push_back(std::move(entry.value));
    }
}

}  // namespace

void Value::release() noexcept {
    switch (kind_) {
        case String: pool::destroy(static_cast<StringObject*>(word_.pointer)); return;
        case Function: pool::destroy(static_cast<FunctionObject*>(word_.pointer)); return;
        case Rect: pool::destroy(static_cast<RectObject*>(word_.pointer)); return;
        case Triangle: pool::destroy(static_cast<TriangleObject*>(word_.pointer)); return;
        case Error: pool::destroy(static_cast<ErrorObject*>(word_.pointer)); return;
        case Array:
        case Dict: break;
        case Number:
        case Float:
        case Boolean:
        case Color:
        case Circle:
        case Null: return;
    }
    auto destroy = [](ValueKind kind, void* pointer, std::vector<Value>& sink) {
        if (kind == Array) {
            auto* array = static_cast<ArrayObject*>(pointer);
            park_children(array->items, sink);
            pool::destroy(array);
        } else {
            auto* dict = static_cast<quenra::Dict*>(pointer);
            park_children(dict->items_for_release(), sink);
            quenra::Dict::destroy(dict);
        }
    };
    if (parked != nullptr) {
        destroy(kind_, word_.pointer, *parked);
        return;
    }
    std::vector<Value> sink;
    parked = &sink;
    destroy(kind_, word_.pointer, sink);
    while (!sink.empty()) {
        Value next = std::move(sink.back());
        sink.pop_back();
        // `next` is released here; its own unshared containers land in `sink`.
    }
    parked = nullptr;
}

// ---------------------------------------------------------------------------
// Size limit

namespace {

std::uint64_t& size_limit() {
    static std::uint64_t limit = [] {
        std::uint64_t memory = platform::physical_memory();
        return memory != 0 ? memory : (std::uint64_t{1} << 36);
    }();
    return limit;
}

}  // namespace

std::uint64_t value_size_limit() { return size_limit(); }
void set_value_size_limit(std::uint64_t bytes) { size_limit() = bytes; }

void check_value_size(std::uint64_t bytes) {
    if (bytes > size_limit()) throw std::bad_alloc();
}

// ---------------------------------------------------------------------------
// Display text

void append_float(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-inf" : "inf";
        return;
    }
    // The shortest digits that read back as the same double, then written out
    // positionally: 1e21 prints as 1 and 21 zeros, 1.5e-7 as 0.00000015.
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    if (text.front() == '-') {
        out += '-';
        text.remove_prefix(1);
    }
    std::size_t e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    exponent);
    std::string digits;
    for (char c : text.substr(0, e)) {
        if (c != '.') digits += c;
    }
    int count = static_cast<int>(digits.size());
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else if (exponent >= count - 1) {
        out += digits;
        out.append(static_cast<std::size_t>(exponent - (count - 1)), '0');
    } else {
        out.append(digits, 0, static_cast<std::size_t>(exponent + 1));
        out += '.';
        out.append(digits, static_cast<std::size_t>(exponent + 1));
    }
}

namespace {

void append_int(std::string& out, std::int64_t value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void append_ints(std::string& out, const char* head, std::initializer_list<std::int64_t> values) {
    out += head;
    bool first = true;
    for (std::int64_t value : values) {
        if (!first) out += ", ";
        first = false;
        append_int(out, value);
    }
    out += ')';
}

void append_scalar(std::string& out, const Value& value) {
    switch (value.kind()) {
        case Value::Number: append_int(out, value.as_number()); return;
        case Value::Float: append_float(out, value.as_float()); return;
        case Value::String: out += value.text(); return;
        case Value::Boolean: out += value.as_boolean() ? "true" : "false"; return;
        case Value::Function: out += "<function>"; return;
        case Value::Rect: {
            RectData r = value.rect_data();
            append_ints(out, "Rect(", {r.x, r.y, r.width, r.height});
            return;
        }
        case Value::Color: {
            ColorData c = value.color_data();
            append_ints(out, "Color(", {c.r, c.g, c.b});
            return;
        }
        case Value::Circle: {
            CircleData c = value.circle_data();
            append_ints(out, "Circle(", {c.x, c.y, c.radius});
            return;
        }
        case Value::Triangle: {
            TriangleData t = value.triangle_data();
            append_ints(out, "Triangle(", {t.x1, t.y1, t.x2, t.y2, t.x3, t.y3});
            return;
        }
        case Value::Null: out += "null"; return;
        case Value::Error:
            out += "Error: ";
            out += value.error_message();
            return;
        case Value::Array:
        case Value::Dict: return;  // containers are handled by the caller
    }
}

std::size_t container_size(const Value& value) {
    return value.is(Value::Array) ? value.items().size() : value.entries().size();
}

}  // namespace

void append_display_string(std::string& out, const Value& value) {
    if (!is_container(value)) {
        append_scalar(out, value);
        return;
    }
    // An explicit stack instead of recursion: a value may be nested a million deep.
    struct Frame {
        const Value* container;
        std::size_t next;
    };
    std::vector<Frame> stack;
    std::size_t steps = 0;
    auto open = [&](const Value& container) {
        out += container.is(Value::Array) ? '[' : '{';
        stack.push_back(Frame{&container, 0});
    };
    open(value);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const Value& container = *frame.container;
        if (frame.next == container_size(container)) {
            out += container.is(Value::Array) ? ']' : '}';
            stack.pop_back();
            continue;
        }
        if (frame.next > 0) out += ", ";
        const Value* child;
        if (container.is(Value::Array)) {
            child = &container.items()[frame.next];
        } else {
            const auto& entry = container.entries().items()[frame.next];
            out += entry.key.text();
            out += ": ";
            child = &entry.value;
        }
        ++frame.next;
        // A value that shares its parts can have a display text far larger than itself.
        if ((++steps & 4095) == 0) check_value_size(out.size());
        if (is_container(*child)) {
            open(*child);  // may reallocate `stack`; `frame` is not used after this
        } else {
            append_scalar(out, *child);
        }
    }
}

std::string to_display_string(const Value& value) {
    std::string out;
    append_display_string(out, value);
    return out;
}

std::string_view type_name(const Value& value) {
    switch (value.kind()) {
        case Value::Number: return "number";
        case Value::Float: return "float";
        case Value::String: return "string";
        case Value::Boolean: return "boolean";
        case Value::Array: return "array";
        case Value::Dict: return "dict";
        case Value::Null: return "null";
        case Value::Function:
        case Value::Rect:
        case Value::Color:
        case Value::Circle:
        case Value::Triangle:
        case Value::Error: return "unknown";
    }
    return "unknown";
}

bool is_truthy(const Value& value) {
    switch (value.kind()) {
        case Value::Number: return value.as_number() != 0;
        case Value::Float: return value.as_float() != 0.0;  // NaN is truthy
        case Value::Boolean: return value.as_boolean();
        case Value::Null:
        case Value::Error: return false;
        case Value::String:
        case Value::Array:
        case Value::Dict:
        case Value::Function:
        case Value::Rect:
        case Value::Color:
        case Value::Circle:
        case Value::Triangle: return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Hashing

namespace {

std::uint64_t hash_seed() {
    // A per-process seed keeps crafted keys from predicting collisions; it does not
    // affect order, which follows insertion.
    static const std::uint64_t seed = [] {
        std::uint64_t value = 0x9E3779B97F4A7C15ULL;
        if (!platform::random_bytes(&value, sizeof value)) {
            value ^= reinterpret_cast<std::uintptr_t>(&value);  // some variation at least
        }
        return value;
    }();
    return seed;
}

std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
    __uint128_t product = static_cast<__uint128_t>(a) * b;
    return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

}  // namespace

std::uint64_t hash_text(std::string_view text) {
    constexpr std::uint64_t K1 = 0xA0761D6478BD642FULL, K2 = 0xE7037ED1A0B428DBULL;
    std::uint64_t h = hash_seed() ^ (text.size() * K1);
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, text.data() + i, 8);
        h = mix(h ^ chunk, K2);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, text.data() + i, text.size() - i);
    h = mix(h ^ tail, K1);
    h = mix(h, K2);
    return h == 0 ? 1 : h;
}

std::uint64_t string_hash(const StringObject& string) {
    if (string.hash == 0) string.hash = hash_text(string.text);
    return string.hash;
}

}  // namespace quenra
