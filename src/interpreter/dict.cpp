#include "interpreter/dict.hpp"

namespace quenra {

std::size_t Dict::find_index(std::string_view key, std::uint64_t hash) const {
    if (slots_.empty()) {
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].hash == hash && entries_[i].key.text() == key) return i;
        }
        return entries_.size();
    }
    std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        std::uint32_t held = slots_[slot];
        if (held == 0) return entries_.size();
        std::size_t i = held - 1;
        if (entries_[i].hash == hash && entries_[i].key.text() == key) return i;
    }
}

std::size_t Dict::position(const Value& key) const {
    // Keys written in the source and member names are one shared string per name,
    // so in a small dict the key object itself is usually there.
    if (slots_.empty()) {
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (entries_[i].key.same_payload(key)) return i;
        }
    }
    return find_index(key.text(), string_hash(key.string_object()));
}

const Value* Dict::find(const Value& key) const {
    std::size_t i = position(key);
    return i < entries_.size() ? &entries_[i].value : nullptr;
}

const Value* Dict::find_and_remember(const Value& key, std::uint32_t& hint) const {
    std::size_t i = position(key);
    if (i >= entries_.size()) return nullptr;
    hint = static_cast<std::uint32_t>(i);
    return &entries_[i].value;
}

void Dict::insert(Value key, Value value) {
    std::uint64_t hash = string_hash(key.string_object());
    std::size_t i = find_index(key.text(), hash);
    if (i < entries_.size()) {
        entries_[i].value = std::move(value);
        return;
    }
    append(std::move(key), std::move(value), hash);
}

void Dict::insert_new(Value key, Value value) {
    std::uint64_t hash = string_hash(key.string_object());
    append(std::move(key), std::move(value), hash);
}

void Dict::append(Value key, Value value, std::uint64_t hash) {
    entries_.push_back(Entry{std::move(key), std::move(value), hash});
    if (entries_.size() <= LINEAR_LIMIT) return;
    // Keep the table at most half full.
    if (slots_.size() < entries_.size() * 2) {
        rebuild_index();
        return;
    }
    std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = static_cast<std::uint32_t>(entries_.size());
}

void Dict::rebuild_index() {
    std::size_t capacity = 16;
    while (capacity < entries_.size() * 4) capacity *= 2;
    slots_.assign(capacity, 0);
    std::size_t mask = capacity - 1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::size_t slot = entries_[i].hash & mask;
        while (slots_[slot] != 0) slot = (slot + 1) & mask;
        slots_[slot] = static_cast<std::uint32_t>(i + 1);
    }
}

}  // namespace quenra
