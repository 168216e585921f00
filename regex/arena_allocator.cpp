// Bump allocator of the compiled pattern graph. Tested by tests/regex/rpattern_test.cpp.
#include "regex/arena_allocator.h"

#include <cstdlib>

namespace regex::detail {

arena_allocator::~arena_allocator() {
    while (m_newest) {
        block* prev = m_newest->prev;
        std::free(m_newest);
        m_newest = prev;
    }
}

void* arena_allocator::allocate(size_t n) {
    n = (n + kAlign - 1) / kAlign * kAlign;
    if (!m_newest && m_inlineUsed + n <= kInlineBlockSize) {
        void* p = m_inline + m_inlineUsed;
        m_inlineUsed += n;
        return p;
    }
    if (!m_newest || m_newest->used + n > m_newest->size) {
        size_t payload = n > kDefaultBlockSize ? n : kDefaultBlockSize;
        auto* b = static_cast<block*>(std::malloc(kHeader + payload));
        if (!b) throw std::bad_alloc();
        b->used = 0;
        b->size = payload;
        b->prev = m_newest;
        m_newest = b;
    }
    void* p = reinterpret_cast<char*>(m_newest) + kHeader + m_newest->used;
    m_newest->used += n;
    return p;
}

size_t arena_allocator::block_count() const {
    size_t n = 1;
    for (block* b = m_newest; b; b = b->prev) ++n;
    return n;
}

}  // namespace regex::detail
