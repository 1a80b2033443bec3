#pragma once
// The evaluated arguments of one call. Up to CAPACITY of them live on the native
// stack, so that the common call allocates nothing; a call with more arguments
// keeps them in a vector.

#include <cstddef>
#include <new>
#include <vector>

#include "interpreter/value.hpp"

namespace quenra {

class ValueList {
public:
    static constexpr std::size_t CAPACITY = 8;

    // `expected` is how many values will be pushed (it decides where they live).
    explicit ValueList(std::size_t expected) : inline_(expected <= CAPACITY) {
        if (!inline_) spilled_.reserve(expected);
    }
    ValueList(const ValueList&) = delete;
    ValueList& operator=(const ValueList&) = delete;
    ~ValueList() {
        if (!inline_) return;
        for (std::size_t i = 0; i < count_; ++i) slot(i)->~Value();
    }

    void push(Value value) {
        if (!inline_) {
            spilled_.push_back(std::move(value));
            return;
        }
        new (slot(count_)) Value(std::move(value));
        ++count_;
    }
    std::size_t size() const { return inline_ ? count_ : spilled_.size(); }
    bool empty() const { return size() == 0; }
    Value* data() { return inline_ ? slot(0) : spilled_.data(); }
    Value& operator[](std::size_t i) { return data()[i]; }
    Value* begin() { return data(); }
    Value* end() { return data() + size(); }

private:
    Value* slot(std::size_t i) { return std::launder(reinterpret_cast<Value*>(storage_)) + i; }

    alignas(Value) unsigned char storage_[CAPACITY * sizeof(Value)];
    std::size_t count_ = 0;
    bool inline_;
    std::vector<Value> spilled_;
};

}  // namespace quenra
