#pragma once
// The evaluated arguments of one call. Up to CAPACITY of them live on the native
// stack, so that the common call allocates nothing; a call with more arguments
// keeps them in a vector.

#include <cstddef>
#include <memory>
#include <new>
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
