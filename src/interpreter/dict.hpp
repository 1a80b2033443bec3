#pragma once
// The dict payload: text keys to values, kept in insertion order. Replacing the
// value of an existing key keeps its place. The language has no way to remove a
// key, so entries only grow.
//
// A dict is one block: this header, then its entries inline, so a record of a few
// fields costs one allocation. Dicts above LINEAR_LIMIT entries also keep an
// open-addressing index in a block of its own; smaller ones are scanned.
//
// Invariants: the first `size_` of the `capacity_` entry places hold entries;
// `slots_` is null exactly while size_ <= LINEAR_LIMIT, and otherwise holds
// `slot_mask_ + 1` slots, at most half of them used.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "interpreter/value.hpp"

namespace quenra {

class Dict {
public:
    struct Entry {
        Value key;  // always a string
        Value value;
        std::uint64_t hash;  // of the key's text
    };

    Dict(const Dict&) = delete;
    Dict& operator=(const Dict&) = delete;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::span<const Entry> items() const { return {entries(), size_}; }

    // The value under `key` (a string value), or nullptr.
    const Value* find(const Value& key) const;
    // The same, trying entry `hint` first; on a find, `hint` is set to its entry.
    const Value* find(const Value& key, std::uint32_t& hint) const {
        if (hint < size_ && entries()[hint].key.same_payload(key)) return &entries()[hint].value;
        return find_and_remember(key, hint);
    }

private:
    friend class Value;
    friend class DictWriter;

    static constexpr std::size_t LINEAR_LIMIT = 8;  // small dicts are scanned, not indexed

    explicit Dict(std::uint32_t capacity) : capacity_(capacity) {}

    // A new empty dict with places for `capacity` entries.
    static Dict* make(std::size_t capacity);
    // A new dict holding the entries of `from` (which stays as it is), with places
    // for `capacity` >= from.size() entries.
    static Dict* copy(const Dict& from, std::size_t capacity);
    // Moves the entries and index of `from` into a new block with places for
    // `capacity` entries and frees `from`.
    static Dict* regrow(Dict* from, std::size_t capacity);
    // Destroys the remaining entries and frees the blocks.
    static void destroy(Dict* dict) noexcept;

    Entry* entries() noexcept { return reinterpret_cast<Entry*>(this + 1); }
    const Entry* entries() const noexcept { return reinterpret_cast<const Entry*>(this + 1); }
    std::span<Entry> items_for_release() noexcept { return {entries(), size_}; }

    std::size_t find_index(std::string_view key, std::uint64_t hash) const;
    // The entry holding `key`, or size() when there is none.
    std::size_t position(const Value& key) const;
    const Value* find_and_remember(const Value& key, std::uint32_t& hint) const;
    // Adds an entry; the caller has made room for it.
    void append(Value key, Value value, std::uint64_t hash);
    void rebuild_index();

    std::size_t refs_ = 1;  // first: every payload begins with its reference count
    std::uint32_t size_ = 0;
    std::uint32_t capacity_;
    std::uint32_t* slots_ = nullptr;  // entry index + 1, 0 when empty
    std::size_t slot_mask_ = 0;
};
// The entries start right after the header, in a block from the general allocator.
static_assert(sizeof(Dict) % alignof(Dict::Entry) == 0, "entries follow the header");
static_assert(alignof(Dict) <= alignof(std::max_align_t) &&
                  alignof(Dict::Entry) <= alignof(std::max_align_t),
              "malloc's alignment serves the header and the entries");

// Changes to one dict value (Value::mutable_entries). Every change first makes the
// payload unshared, copying it when another value holds it too, so no other value
// sees the change, even one copied after the writer was taken. A full dict moves to
// a block twice as large and the writer re-points its value, so references into
// the entries do not survive an insert.
class DictWriter {
public:
    // Inserts or replaces.
    void insert(Value key, Value value);
    // Inserts a key the caller knows is not there yet.
    void insert_new(Value key, Value value);

private:
    friend class Value;
    explicit DictWriter(Value& owner) noexcept : owner_(owner) {}

    // The owner's payload, unshared.
    Dict& payload() {
        if (!owner_.is_unique()) unshare();
        return *static_cast<Dict*>(owner_.word_.pointer);
    }
    // `dict` (the payload) with a free entry place.
    Dict& with_room(Dict& dict) { return dict.size_ < dict.capacity_ ? dict : grow(dict); }
    void unshare();
    // Moves the full payload to a block twice as large.
    Dict& grow(Dict& dict);

    Value& owner_;
};

inline const Dict& Value::entries() const noexcept {
    return *static_cast<const quenra::Dict*>(word_.pointer);
}

}  // namespace quenra
