#pragma once
// The records behind heap values (a string's or array's header, a dict, a function,
// a rectangle...) are small and are made and dropped at a high rate: a tree of
// arrays, a loop of string joins. They come from per-size free lists kept by the
// thread instead of the general allocator; a freed record's block waits on its
// list for the next record of that size. The lists are emptied when the thread
// ends its run (release_cached), so nothing is left behind.
//
// Sanitizer builds use the general allocator directly, so that every use after
// release and every leak stays visible to them.

#include <cstddef>
#include <new>
#include <utility>

namespace quenra::pool {

inline constexpr std::size_t GRANULE = 16;
inline constexpr std::size_t CLASSES = 4;  // blocks of 16, 32, 48 and 64 bytes

struct FreeBlock {
    FreeBlock* next;
};

inline thread_local FreeBlock* free_lists[CLASSES] = {};

inline std::size_t size_class(std::size_t size) { return (size - 1) / GRANULE; }

inline void* allocate(std::size_t size) {
#if !defined(QUENRA_SANITIZED)
    FreeBlock*& list = free_lists[size_class(size)];
    if (list != nullptr) {
        FreeBlock* block = list;
        list = block->next;
        return block;
    }
    return ::operator new((size_class(size) + 1) * GRANULE);
#else
    return ::operator new(size);
#endif
}

inline void deallocate(void* pointer, std::size_t size) noexcept {
#if !defined(QUENRA_SANITIZED)
    FreeBlock*& list = free_lists[size_class(size)];
    auto* block = static_cast<FreeBlock*>(pointer);
    block->next = list;
    list = block;
#else
    (void)size;
    ::operator delete(pointer);
#endif
}

// A record of type T made in a block of the lists.
template <typename T, typename... Args>
T* make(Args&&... args) {
    static_assert(sizeof(T) <= GRANULE * CLASSES && alignof(T) <= GRANULE);
    void* block = allocate(sizeof(T));
    try {
        return new (block) T{std::forward<Args>(args)...};
    } catch (...) {
        deallocate(block, sizeof(T));
        throw;
    }
}

template <typename T>
void destroy(T* object) noexcept {
    object->~T();
    deallocate(object, sizeof(T));
}

// Gives every waiting block back to the general allocator.
inline void release_cached() noexcept {
    for (FreeBlock*& list : free_lists) {
        while (list != nullptr) {
            FreeBlock* block = list;
            list = block->next;
            ::operator delete(block);
        }
    }
}

}  // namespace quenra::pool
