#pragma once
// The dict payload: text keys to values, kept in insertion order. Replacing the
// value of an existing key keeps its place. The language has no way to remove a
// key, so entries only grow.

#include <cstdint>
#include <string_view>
#include <vector>

#include "interpreter/value.hpp"

namespace quenra {

class Dict {
public:
    struct Entry {
        Value key;  // always a string
        Value value;
        std::uint64_t hash;  // of the key's text
    };

    Dict() = default;
    // An empty dict with room for `count` entries.
    explicit Dict(std::size_t count) { entries_.reserve(count); }

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const std::vector<Entry>& items() const { return entries_; }
    std::vector<Entry>& items_for_release() { return entries_; }

    // The value under `key` (a string value), or nullptr.
    const Value* find(const Value& key) const;
    // The same, trying entry `hint` first; on a find, `hint` is set to its entry.
    const Value* find(const Value& key, std::uint32_t& hint) const {
        if (hint < entries_.size() && entries_[hint].key.same_payload(key))
            return &entries_[hint].value;
        return find_and_remember(key, hint);
    }
    // Inserts or replaces.
    void insert(Value key, Value value);
    // Inserts a key the caller knows is not there yet.
    void insert_new(Value key, Value value);

private:
    static constexpr std::size_t LINEAR_LIMIT = 8;  // small dicts are scanned, not indexed

    std::size_t find_index(std::string_view key, std::uint64_t hash) const;
    void append(Value key, Value value, std::uint64_t hash);
    // The entry holding `key`, or size() when there is none.
    std::size_t position(const Value& key) const;
    const Value* find_and_remember(const Value& key, std::uint32_t& hint) const;
    void rebuild_index();

    std::vector<Entry> entries_;
    std::vector<std::uint32_t> slots_;  // open addressing: entry index + 1, 0 when empty
};

struct DictObject {
    std::size_t refs = 1;
    Dict dict;
};

inline const Dict& Value::entries() const noexcept {
    return static_cast<const DictObject*>(word_.pointer)->dict;
}

}  // namespace quenra
