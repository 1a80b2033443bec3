#include "interpreter/dict.hpp"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace quenra {

namespace {

constexpr std::size_t MAX_ENTRIES = std::numeric_limits<std::uint32_t>::max() / 4;

void* allocate_bytes(std::size_t bytes) {
    void* block = std::malloc(bytes);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

// The smallest index with room for `count` entries at most a quarter full.
std::size_t index_capacity(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity < count * 4) capacity *= 2;
    return capacity;
}

}  // namespace

Dict* Dict::make(std::size_t capacity) {
    if (capacity > MAX_ENTRIES) throw std::bad_alloc();
    void* block = allocate_bytes(sizeof(Dict) + capacity * sizeof(Entry));
    return new (block) Dict(static_cast<std::uint32_t>(capacity));
}

Dict* Dict::copy(const Dict& from, std::size_t capacity) {
    Dict* dict = make(capacity);
    if (from.slots_ != nullptr) {
        std::size_t count = from.slot_mask_ + 1;
        dict->slots_ = static_cast<std::uint32_t*>(std::malloc(count * sizeof(std::uint32_t)));
        if (dict->slots_ == nullptr) {
            std::free(dict);
            throw std::bad_alloc();
        }
        std::memcpy(dict->slots_, from.slots_, count * sizeof(std::uint32_t));
        dict->slot_mask_ = from.slot_mask_;
    }
    const Entry* source = from.entries();
    Entry* target = dict->entries();
    for (std::uint32_t i = 0; i < from.size_; ++i) new (&target[i]) Entry(source[i]);
    dict->size_ = from.size_;
    return dict;
}

Dict* Dict::regrow(Dict* from, std::size_t capacity) {
    Dict* dict = make(capacity);
    Entry* source = from->entries();
    Entry* target = dict->entries();
    for (std::uint32_t i = 0; i < from->size_; ++i) {
        new (&target[i]) Entry(std::move(source[i]));
        source[i].~Entry();  // moved from: holds nothing
    }
    dict->size_ = from->size_;
    dict->slots_ = from->slots_;
    dict->slot_mask_ = from->slot_mask_;
    std::free(from);
    return dict;
}

void Dict::destroy(Dict* dict) noexcept {
    Entry* entries = dict->entries();
    for (std::uint32_t i = 0; i < dict->size_; ++i) entries[i].~Entry();
    std::free(dict->slots_);
    std::free(dict);
}

std::size_t Dict::find_index(std::string_view key, std::uint64_t hash) const {
    const Entry* items = entries();
    if (slots_ == nullptr) {
        for (std::size_t i = 0; i < size_; ++i) {
            if (items[i].hash == hash && items[i].key.text() == key) return i;
        }
        return size_;
    }
    for (std::size_t slot = hash & slot_mask_;; slot = (slot + 1) & slot_mask_) {
        std::uint32_t held = slots_[slot];
        if (held == 0) return size_;
        std::size_t i = held - 1;
        if (items[i].hash == hash && items[i].key.text() == key) return i;
    }
}

std::size_t Dict::position(const Value& key) const {
    // Keys written in the source and member names are one shared string per name,
    // so in a small dict the key object itself is usually there.
    if (slots_ == nullptr) {
        const Entry* items = entries();
        for (std::size_t i = 0; i < size_; ++i) {
            if (items[i].key.same_payload(key)) return i;
        }
    }
    return find_index(key.text(), string_hash(key.string_object()));
}

const Value* Dict::find(const Value& key) const {
    std::size_t i = position(key);
    return i < size_ ? &entries()[i].value : nullptr;
}

const Value* Dict::find_and_remember(const Value& key, std::uint32_t& hint) const {
    std::size_t i = position(key);
    if (i >= size_) return nullptr;
    hint = static_cast<std::uint32_t>(i);
    return &entries()[i].value;
}

void Dict::append(Value key, Value value, std::uint64_t hash) {
    new (&entries()[size_]) Entry{std::move(key), std::move(value), hash};
    ++size_;
    if (size_ <= LINEAR_LIMIT) return;
    // Keep the index at most half full.
    if (slots_ == nullptr || slot_mask_ + 1 < std::size_t{size_} * 2) {
        rebuild_index();
        return;
    }
    std::size_t slot = hash & slot_mask_;
    while (slots_[slot] != 0) slot = (slot + 1) & slot_mask_;
    slots_[slot] = size_;
}

void Dict::rebuild_index() {
    std::size_t capacity = index_capacity(size_);
    auto* slots = static_cast<std::uint32_t*>(std::calloc(capacity, sizeof(std::uint32_t)));
    if (slots == nullptr) {
        // The new entry stays; without an index it would never be found, so give it up.
        entries()[--size_].~Entry();
        throw std::bad_alloc();
    }
    std::free(slots_);
    slots_ = slots;
    slot_mask_ = capacity - 1;
    const Entry* items = entries();
    for (std::uint32_t i = 0; i < size_; ++i) {
        std::size_t slot = items[i].hash & slot_mask_;
        while (slots_[slot] != 0) slot = (slot + 1) & slot_mask_;
        slots_[slot] = i + 1;
    }
}

// ---------------------------------------------------------------------------
// Writing

void DictWriter::unshare() {
    Value copy =
        Value::holding(ValueKind::Dict, Dict::copy(owner_.entries(), owner_.entries().size()));
    owner_.swap(copy);  // `copy` now drops this value's share of the old payload
}

Dict& DictWriter::grow(Dict& dict) {
    std::size_t capacity = dict.capacity_ < 4 ? 4 : std::size_t{dict.capacity_} * 2;
    Dict* grown = Dict::regrow(&dict, capacity);
    owner_.word_.pointer = grown;
    return *grown;
}

void DictWriter::insert(Value key, Value value) {
    std::uint64_t hash = string_hash(key.string_object());
    Dict& dict = payload();
    std::size_t i = dict.find_index(key.text(), hash);
    if (i < dict.size_) {
        dict.entries()[i].value = std::move(value);
        return;
    }
    with_room(dict).append(std::move(key), std::move(value), hash);
}

void DictWriter::insert_new(Value key, Value value) {
    std::uint64_t hash = string_hash(key.string_object());
    with_room(payload()).append(std::move(key), std::move(value), hash);
}

}  // namespace quenra
