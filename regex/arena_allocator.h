// Bump allocator that owns every node of one compiled pattern; nothing is
// freed singly, the blocks go together with the pattern.
// Tested by tests/regex/rpattern_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace regex::detail {

class arena_allocator {
public:
    static constexpr size_t kDefaultBlockSize = 352;
    // The first block lives inside the arena object, so that a small pattern
    // costs one allocation in all.
    static constexpr size_t kInlineBlockSize = 1024;

    arena_allocator() = default;
    arena_allocator(const arena_allocator&) = delete;
    arena_allocator& operator=(const arena_allocator&) = delete;
    ~arena_allocator();

    // n bytes aligned for any node; raises std::bad_alloc when memory runs out.
    void* allocate(size_t n);

    // Objects made here never have their destructors run: they must not own
    // anything outside the arena.
    template <class T, class... Args>
    T* make(Args&&... args) {
        return new (allocate(sizeof(T))) T(std::forward<Args>(args)...);
    }

    size_t block_count() const;

private:
    struct block {
        size_t used;
        size_t size;
        block* prev;
    };
    static constexpr size_t kAlign = alignof(std::max_align_t);
    static constexpr size_t kHeader = (sizeof(block) + kAlign - 1) / kAlign * kAlign;

    block* m_newest = nullptr;
    size_t m_inlineUsed = 0;
    alignas(std::max_align_t) char m_inline[kInlineBlockSize];
};

}  // namespace regex::detail
