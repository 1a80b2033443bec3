#pragma once
// The evaluated arguments of one call. Up to CAPACITY of them live on the native
// stack, so that the common call allocates nothing; a call with more arguments
// keeps them in a vector.

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "interpreter/value.hpp"

namespace quenra {

class ValueList {
public:
    static constexpr std::size_t CAPACITY = 8;

    // `expected` is how many values will be pushed (it decides where they live).
    explicit ValueList(std::size_t expected) {
        if (expected > CAPACITY) spilled_ = std::make_unique<std::vector<Value>>();
        if (spilled_) spilled_->reserve(expected);
    }
    ValueList(const ValueList&) = delete;
    ValueList& operator=(const ValueList&) = delete;
    ~ValueList() {
        if (spilled_) return;
        for (std::size_t i = 0; i < count_; ++i) slot(i)->~Value();
    }

    void push(Value value) {
        if (spilled_) {
            spilled_->push_back(std::move(value));
            return;
        }
        new (slot(count_)) Value(std::move(value));
        ++count_;
    }
    std::size_t size() const { return spilled_ ? spilled_->size() : count_; }
    bool empty() const { return size() == 0; }
    Value* data() { return spilled_ ? spilled_->data() : slot(0); }
    Value& operator[](std::size_t i) { return data()[i]; }
    Value* begin() { return data(); }
    Value* end() { return data() + size(); }

private:
    Value* slot(std::size_t i) { return std::launder(reinterpret_cast<Value*>(storage_)) + i; }

    alignas(Value) unsigned char storage_[CAPACITY * sizeof(Value)];
    std::size_t count_ = 0;
    // Only for calls with more than CAPACITY arguments, so the common call does not
    // even construct a vector.
    std::unique_ptr<std::vector<Value>> spilled_;
};

}  // namespace quenra

namespace quenra {

// A stack that grows as needed, for the interpreter's stack of shadowed bindings and
// call arguments. Entries are relocated by copying their bytes (a Value owns
// its payload through a pointer only), so growing never touches reference counts;
// and the size is kept as a count, so reading it costs no division.
template <typename T>
class RelocatingStack {
public:
    RelocatingStack() = default;
    RelocatingStack(const RelocatingStack&) = delete;
    RelocatingStack& operator=(const RelocatingStack&) = delete;
    ~RelocatingStack() {
        truncate(0);
        ::operator delete(data_);
    }

    std::size_t size() const { return size_; }
    // Room is made before anything is moved from the arguments, so running out of
    // memory here leaves them as they were.
    template <typename... Args>
    void push(Args&&... args) {
        if (size_ == capacity_) grow();
        new (data_ + size_) T(std::forward<Args>(args)...);
        ++size_;
    }
    T& operator[](std::size_t index) { return data_[index]; }
    // Releases the entries at and above `mark`.
    void truncate(std::size_t mark) {
        unwind(mark, [](T&) {});
    }
    // The same, handing each entry to `visit` first, top down; `visit` must neither
    // throw nor touch this stack.
    template <typename Visit>
    void unwind(std::size_t mark, Visit&& visit) noexcept {
        T* data = data_;
        std::size_t size = size_;
        while (size > mark) {
            T& entry = data[--size];
            visit(entry);
            entry.~T();
        }
        size_ = size;
    }
    // The same for the top entry alone (an unwind to one below the top).
    template <typename Visit>
    void unwind_one(Visit&& visit) noexcept {
        T& entry = data_[--size_];
        visit(entry);
        entry.~T();
    }

private:
    void grow() {
        std::size_t capacity = capacity_ == 0 ? 64 : capacity_ * 2;
        auto* data = static_cast<T*>(::operator new(capacity * sizeof(T)));
        if (size_ != 0)
            std::memcpy(static_cast<void*>(data), static_cast<void*>(data_), size_ * sizeof(T));
        ::operator delete(data_);
        data_ = data;
        capacity_ = capacity;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace quenra
