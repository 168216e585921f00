// Block chain, type checks and unwinding of the backtracking stack.
// Tested by tests/regex/hetero_stack_test.cpp.
#include "regex/hetero_stack.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace regex {

hetero_stack::type_error::type_error(const std::type_info& requested, const std::type_info& actual)
    : std::logic_error("type error in hetero_stack (requested type: " + type_name(requested) +
                       ", actual type: " + type_name(actual) + ")"),
      m_requested(&requested),
      m_actual(&actual) {}

std::string hetero_stack::type_name(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> readable(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    return status == 0 && readable ? std::string(readable.get()) : std::string(type.name());
}

hetero_stack::hetero_stack() {
    m_root.end = m_root.payload();
    m_current = &m_root;
    m_begin = m_top = m_end = m_root.payload();
}

hetero_stack::~hetero_stack() {
    unwind({&m_root, m_root.payload()});
    block* b = m_root.next;
    while (b) {
        block* next = b->next;
        ::operator delete(b);
        b = next;
    }
}

void hetero_stack::check(const descriptor* wanted) const {
    if (m_top == m_begin) throw type_error(*wanted->type, typeid(void));  // nothing left to pop
    const descriptor* actual = top_descriptor();
    if (actual != wanted && *actual->type != *wanted->type) throw type_error(*wanted->type, *actual->type);
}

void hetero_stack::grow(size_t size) {
    m_current->saved_top = m_top;
    block* next = m_current->next;
    if (!next || static_cast<size_t>(next->end - next->payload()) < size) {
        // A kept block too small for this record stays behind the new one for
        // later use. Blocks double up to a bound, so a deep search allocates
        // a few times, not once every few kilobytes.
        const auto current = static_cast<size_t>(m_current->end - m_current->payload());
        size_t payload =
            next ? size : std::max({size, kMinBlockPayload, std::min(2 * current, kMaxBlockPayload)});
        auto* fresh = static_cast<block*>(::operator new(sizeof(block) + payload));
        fresh->prev = m_current;
        fresh->next = next;
        fresh->saved_top = fresh->payload();
        fresh->end = fresh->payload() + payload;
        if (next) next->prev = fresh;
        m_current->next = fresh;
        next = fresh;
    }
    m_current = next;
    m_begin = next->payload();
    m_top = m_begin;
    m_end = next->end;
}

void hetero_stack::step_back_block() {
    m_current = m_current->prev;
    m_begin = m_current->payload();
    m_top = m_current->saved_top;
    m_end = m_current->end;
}

void hetero_stack::unwind(mark_type to) {
    while (!(m_current == to.where && m_top == to.top)) {
        if (m_top == m_begin) {
            if (m_current == &m_root) return;  // the mark is not below the top: nothing more to pop
            step_back_block();
            continue;
        }
        const descriptor* d = top_descriptor();
        if (d->destroy) d->destroy(m_top - d->size);
        release(d->size);
    }
}

size_t hetero_stack::block_count() const {
    size_t n = 0;
    for (const block* b = m_root.next; b; b = b->next) ++n;
    return n;
}

}  // namespace regex
