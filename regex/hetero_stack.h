// The backtracking stack of the stack-based match driver: typed records of
// different types in a chain of blocks that is kept (and reused) until the
// stack dies. Every pop checks that the record is of the requested type.
// Tested by tests/regex/hetero_stack_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace regex {

class hetero_stack {
    struct block;

public:
    // A record of another type than the one asked for: a defect in the caller.
    class type_error : public std::logic_error {
    public:
        type_error(const std::type_info& requested, const std::type_info& actual);
        const std::type_info& requested() const { return *m_requested; }
        const std::type_info& actual() const { return *m_actual; }

    private:
        const std::type_info* m_requested;
        const std::type_info* m_actual;
    };

    // A position of the stack, to unwind back to.
    struct mark_type {
        block* where = nullptr;
        char* top = nullptr;
        bool operator==(const mark_type&) const = default;
    };

    hetero_stack();
    hetero_stack(const hetero_stack&) = delete;
    hetero_stack& operator=(const hetero_stack&) = delete;
    ~hetero_stack();

    template <class T>
    void push(T value) {
        using V = std::decay_t<T>;
        static_assert(alignof(V) <= kAlign, "record type too strictly aligned");
        constexpr size_t size = RecordSize<V>();
        if (static_cast<size_t>(m_end - m_top) < size) grow(size);
        new (m_top) V(std::move(value));
        *reinterpret_cast<const descriptor**>(m_top + size - sizeof(void*)) = &kDescriptor<V>;
        m_top += size;
    }

    template <class T>
    T& top() {
        check(&kDescriptor<T>);
        return *reinterpret_cast<T*>(m_top - RecordSize<T>());
    }

    template <class T>
    void pop(T& out) {
        T& value = top<T>();
        out = std::move(value);
        value.~T();
        release(RecordSize<T>());
    }

    template <class T>
    T pop() {
        T& value = top<T>();
        T out(std::move(value));
        value.~T();
        release(RecordSize<T>());
        return out;
    }

    bool empty() const { return m_current == &m_root; }
    mark_type mark() const { return {m_current, m_top}; }
    // Pops every record above the mark, running its destructor.
    void unwind(mark_type to);
    // Blocks in the chain besides the root: growth keeps them for reuse.
    size_t block_count() const;

    // The readable name of a type, as the type error reports it.
    static std::string type_name(const std::type_info& type);

private:
    static constexpr size_t kAlign = alignof(std::max_align_t) < 8 ? alignof(std::max_align_t) : 8;
    // Blocks hold many records, so deep backtracking allocates rarely.
    static constexpr size_t kMinBlockPayload = 4096;
    static constexpr size_t kMaxBlockPayload = 64 * 1024;  // below the C library's own mapping of blocks

    struct descriptor {
        const std::type_info* type;
        size_t size;
        void (*destroy)(void*);
    };

    struct block {
        block* prev;
        block* next;
        char* saved_top;
        char* end;
        char* payload() { return reinterpret_cast<char*>(this + 1); }
    };
    static_assert(sizeof(block) % kAlign == 0);

    template <class T>
    static constexpr size_t RecordSize() {
        return (sizeof(T) + kAlign - 1) / kAlign * kAlign + (sizeof(void*) + kAlign - 1) / kAlign * kAlign;
    }

    template <class T>
    static void Destroy(void* p) {
        static_cast<T*>(p)->~T();
    }

    template <class T>
    static constexpr descriptor kDescriptor{&typeid(T), RecordSize<T>(),
                                            std::is_trivially_destructible_v<T> ? nullptr : &Destroy<T>};

    const descriptor* top_descriptor() const {
        return *reinterpret_cast<const descriptor* const*>(m_top - sizeof(void*));
    }
    void check(const descriptor* wanted) const;
    void grow(size_t size);
    void release(size_t size) {
        m_top -= size;
        if (m_top == m_begin && m_current != &m_root) step_back_block();
    }
    void step_back_block();

    block* m_current;
    char* m_begin;
    char* m_top;
    char* m_end;
    block m_root{nullptr, nullptr, nullptr, nullptr};
};

}  // namespace regex
