// The matcher nodes of a compiled pattern: atoms, assertions, groups,
// quantifiers and look-around. Internal to the engine: only regex/*.cpp include it.
// Every node lives in the pattern's arena and is never destroyed singly, so no
// node owns memory outside the arena. The recursive driver runs a chain by
// calling `match_chain` of its first node; each node calls its successor and
// backtracking is the return of false. The stack driver (run_steps) calls
// `step_forward` of one node after the other and, to backtrack, `step_back` of
// the nodes that left a step_frame on the hetero_stack.
// Tested by tests/regex/behaviour_table_test.cpp, word_condition_recursion_test.cpp
// and pcre2_differential_test.cpp, every case on both drivers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "regex/arena_allocator.h"
#include "regex/charset.h"
#include "regex/hetero_stack.h"
#include "regex/rpattern.h"

namespace regex::detail {

constexpr uint32_t kUnbounded = 0xFFFFFFFFu;

// Widths saturate at "unbounded" instead of wrapping.
inline uint32_t width_add(uint32_t a, uint32_t b) {
    if (a == kUnbounded || b == kUnbounded) return kUnbounded;
    uint64_t s = uint64_t{a} + b;
    return s >= kUnbounded ? kUnbounded : static_cast<uint32_t>(s);
}
inline uint32_t width_mul(uint32_t a, uint32_t b) {
    if (a == 0 || b == 0) return 0;
    if (a == kUnbounded || b == kUnbounded) return kUnbounded;
    uint64_t p = uint64_t{a} * b;
    return p >= kUnbounded ? kUnbounded : static_cast<uint32_t>(p);
}

struct width_range {
    uint32_t min;
    uint32_t max;
};

template <class It>
class match_group_base;

template <class It>
struct width_context {
    std::vector<match_group_base<It>*> groups;  // by capture index; null while a group measures itself
};

// What a match from a node must start with (used for a group's first-character set).
struct first_char_hint {
    uint32_t count = 0;
    const unsigned char* chars = nullptr;
    unsigned char inline_chars[2] = {0, 0};
    bool has_literal = false;
    int depth = 0;  // zero-width nodes passed on the way; bounds the walk
    const char* lit_begin = nullptr;
    const char* lit_end = nullptr;
    const char* lit_lower = nullptr;
};

// Start-position hints of a whole pattern, computed once after parsing.
struct search_accel {
    enum class kind { prefix, one_byte, set };
    kind how = kind::set;
    byteset first;                 // every match starts with one of these bytes
    unsigned char byte = 0;        // kind::one_byte: the only one
    const char* prefix = nullptr;  // kind::prefix: every match starts with this exact text
    uint32_t prefix_length = 0;
};

// Thrown through the drivers when the stack budget is spent; caught by the search.
struct depth_exceeded {};
// Thrown through the drivers when the step budget is spent; the search turns it into match_limit_exceeded.
struct steps_exceeded {};

template <class It>
class sub_expr;

// Loop ends already known to fail at a position, kept by one search. Only
// loops whose future there depends on nothing but the position have a slot
// (no back-references, conditions or recursion in the pattern, no bounded
// loop around them); it is Perl's super-linear cache.
class failure_memo {
public:
    failure_memo(uint32_t slots, size_t positions) : m_slots(slots), m_positions(positions) {}

    bool failed(int32_t slot, size_t pos) const {
        if (!m_bits) return false;
        size_t i = static_cast<size_t>(slot) * m_positions + pos;
        return (m_bits[i >> 6] >> (i & 63)) & 1;
    }
    void record(int32_t slot, size_t pos) {
        if (!m_bits) allocate();
        size_t i = static_cast<size_t>(slot) * m_positions + pos;
        m_bits[i >> 6] |= uint64_t{1} << (i & 63);
    }

private:
    // Short texts stay in the object: most searches allocate nothing.
    void allocate() {
        size_t words = (static_cast<size_t>(m_slots) * m_positions + 63) / 64;
        if (words <= kInlineWords) {
            std::fill_n(m_inline, words, 0);
            m_bits = m_inline;
        } else {
            m_heap.assign(words, 0);
            m_bits = m_heap.data();
        }
    }

    static constexpr size_t kInlineWords = 16;
    uint32_t m_slots;
    size_t m_positions;  // text length + 1
    uint64_t* m_bits = nullptr;
    uint64_t m_inline[kInlineWords];
    std::vector<uint64_t> m_heap;
};

// What the searches of one run_search share: the step allowance of the
// whole text, the failures met so far and where the required byte last occurs.
template <class It>
struct search_context {
    uint64_t steps_left = 0;
    std::optional<failure_memo> memo;
    bool required_known = false;  // a required byte was looked for
    bool required_found = false;
    It required_last{};
};

template <class It>
struct match_state {
    backref_tag<It>* captures = nullptr;
    It text_end{};
    It pos{};
    uint32_t capture_count = 0;
    const sub_expr<It>* next_node = nullptr;
    It text_begin{};
    It attempt_start{};
    const sub_expr<It>* first_node = nullptr;
    hetero_stack* stack = nullptr;  // the stack driver's backtracking records; null in the recursive driver
    bool no_empty = false;
    // Where the body of the innermost running look-behind must end. Kept apart
    // from text_end so that "$" and look-aheads inside a look-behind still see
    // the real end of the text.
    It behind_end{};
    // The recursive driver gives up below this stack address.
    uintptr_t stack_limit = 0;
    // Steps left before the search gives up.
    uint64_t steps_left = 0;
    // Failures already met, by (loop end, position); null while not in use.
    failure_memo* memo = nullptr;
};

// Every node of the recursive driver checks the stack it has left.
template <class It>
[[gnu::always_inline]] inline void check_depth(const match_state<It>& st) {
    if (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < st.stack_limit) throw depth_exceeded{};
}
// The work a search counts, the same in both drivers: every choice taken
// (a group entered, an alternative, a loop iteration, an assertion, a start
// position), every character a repeat gives back or a back-reference
// compares, and every fourth character a repeat scans forward. Nodes without choices lie between them, at
// most as many as the pattern has, so time follows the count.
template <class It>
[[gnu::always_inline]] inline void spend_step(match_state<It>& st) {
    if (--st.steps_left == 0) throw steps_exceeded{};
}
template <class It>
[[gnu::always_inline]] inline void spend_steps(match_state<It>& st, uint64_t n) {
    if (st.steps_left <= n) throw steps_exceeded{};
    st.steps_left -= n;
}
// Characters a repeat scans forward: a test each, a quarter of a choice's
// work, so four of them make a step (rounded up: a scan is never free).
constexpr uint64_t kScannedPerStep = 4;
template <class It>
[[gnu::always_inline]] inline void spend_scanned(match_state<It>& st, uint64_t characters) {
    spend_steps(st, (characters + kScannedPerStep - 1) / kScannedPerStep);
}
template <class It>
[[gnu::always_inline]] inline void count_step(match_state<It>& st) {
    check_depth(st);
    spend_step(st);
}

// The stack driver's record of one node that left a choice point: the node and
// the position it was entered at.
template <class It>
struct step_frame {
    const sub_expr<It>* node;
    It pos;
};

template <class It>
inline void push_frame(match_state<It>& st, const sub_expr<It>* node, It pos) {
    st.stack->push(step_frame<It>{node, pos});
}

// Bound for the start-byte analysis, which walks the graph recursively.
constexpr int kFirstBytesDepth = 48;

template <class It>
class sub_expr {
public:
    sub_expr* next = nullptr;

    virtual ~sub_expr() = default;
    // Does the rest of the pattern, from this node, match at pos?
    virtual bool match_chain(match_state<It>& st, It pos) const {
        check_depth(st);
        if (!match_alone(st, pos)) return false;
        return next->match_chain(st, pos);
    }
    // This node alone, without its successor; advances pos on success.
    virtual bool match_alone(match_state<It>&, It&) const { return true; }
    // Stack driver: match this node at st.pos, advance st.pos, set st.next_node
    // (null once the pattern is complete) and leave on the stack, under a
    // step_frame, whatever step_back needs. A node without choices pushes nothing.
    virtual bool step_forward(match_state<It>& st) const {
        It p = st.pos;
        if (!match_alone(st, p)) return false;
        st.pos = p;
        st.next_node = next;
        return true;
    }
    // Called with st.pos back at the node's entry once its frame is popped: set
    // up the next choice (true, next_node set) or undo, pop its records, false.
    virtual bool step_back(match_state<It>&) const { return false; }
    virtual sub_expr* quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) {
        throw bad_regexpr("sub-expression cannot be quantified");
    }
    virtual bool is_assertion() const { return false; }
    virtual width_range width(width_context<It>& ctx) = 0;
    virtual bool first_chars(first_char_hint&) const { return false; }
    // Adds to `out` every byte that a match from here (this node and all that
    // follows) can begin with; false when such a match may be empty or begin anywhere.
    virtual bool first_bytes(byteset& out, int depth) const { return false; }
    // Single-byte atoms: the bytes they accept.
    virtual const byteset* atom_bytes() const { return nullptr; }
    // Last compile step, once the whole graph is linked.
    virtual void finish(arena_allocator&) {}
    // Group quantifiers: the failure_memo slot of the loop's end.
    virtual void set_memo_slot(int32_t) {}
    // A byte that every match of this node alone contains, or -1.
    virtual int required_byte() const { return -1; }
    // As the first node of a pattern: the bytes of a repeat after whose
    // failure at a start no later start within a run of those bytes can match.
    virtual const byteset* leading_run() const { return nullptr; }
};

// A byte that every match of the chain from `node` contains, or -1; the last
// one found, which tends to be the rarer one.
template <class It>
int chain_required_byte(const sub_expr<It>* node) {
    int found = -1;
    for (; node; node = node->next)
        if (int b = node->required_byte(); b >= 0) found = b;
    return found;
}

template <class It>
inline bool chain_first_bytes(const sub_expr<It>* node, byteset& out, int depth) {
    return node && depth < kFirstBytesDepth && node->first_bytes(out, depth + 1);
}

// Width of a chain: the sum along `next` (walked iteratively: chains can be long).
template <class It>
width_range chain_width(sub_expr<It>* node, width_context<It>& ctx) {
    width_range w{0, 0};
    for (; node; node = node->next) {
        width_range n = node->width(ctx);
        w.min = width_add(w.min, n.min);
        w.max = width_add(w.max, n.max);
    }
    return w;
}

template <class It>
inline bool at_end(const match_state<It>& st, It p) {
    return p == st.text_end;
}

// ---------------------------------------------------------------------------
// Atoms

template <class It, class Atom, bool Greedy>
class atom_quantifier;

// Common frame of the atoms: Derived supplies `test(st, pos)`, which advances pos.
template <class It, class Derived>
class atom_base : public sub_expr<It> {
public:
    bool match_chain(match_state<It>& st, It pos) const override {
        check_depth(st);
        if (!static_cast<const Derived*>(this)->Derived::test(st, pos)) return false;
        return this->next->match_chain(st, pos);
    }
    bool match_alone(match_state<It>& st, It& pos) const override {
        return static_cast<const Derived*>(this)->Derived::test(st, pos);
    }
    bool step_forward(match_state<It>& st) const override {
        It p = st.pos;
        if (!static_cast<const Derived*>(this)->Derived::test(st, p)) return false;
        st.pos = p;
        st.next_node = this->next;
        return true;
    }
    sub_expr<It>* quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) override {
        if (greedy)
            return arena.make<atom_quantifier<It, Derived, true>>(static_cast<Derived*>(this), min, max);
        return arena.make<atom_quantifier<It, Derived, false>>(static_cast<Derived*>(this), min, max);
    }
    bool first_bytes(byteset& out, int) const override {
        const byteset* b = atom_bytes();
        if (!b) return false;
        out |= *b;
        return true;
    }
    using sub_expr<It>::atom_bytes;
};

// "." without (DotAll false) and with dot_matches_newline.
template <class It, bool DotAll>
class match_any_t : public atom_base<It, match_any_t<It, DotAll>> {
public:
    match_any_t() {
        m_bytes.set_all();
        if (!DotAll) m_bytes.words[0] &= ~(uint64_t{1} << '\n');
    }
    bool test(match_state<It>& st, It& p) const {
        if (at_end(st, p) || (!DotAll && *p == '\n')) return false;
        ++p;
        return true;
    }
    static constexpr uint32_t kStep = 1;
    width_range width(width_context<It>&) override { return {1, 1}; }
    const byteset* atom_bytes() const override { return &m_bytes; }

private:
    byteset m_bytes;
};

template <class It>
class match_char_t : public atom_base<It, match_char_t<It>> {
public:
    explicit match_char_t(unsigned char c) : m_ch(c) { m_bytes.set(c); }
    bool test(match_state<It>& st, It& p) const {
        if (at_end(st, p) || static_cast<unsigned char>(*p) != m_ch) return false;
        ++p;
        return true;
    }
    width_range width(width_context<It>&) override { return {1, 1}; }
    bool first_chars(first_char_hint& h) const override {
        h.count = 1;
        h.inline_chars[0] = m_ch;
        h.chars = h.inline_chars;
        return true;
    }
    const byteset* atom_bytes() const override { return &m_bytes; }
    int required_byte() const override { return m_ch; }
    unsigned char ch() const { return m_ch; }

private:
    unsigned char m_ch;
    byteset m_bytes;
};

template <class It>
class match_char_nocase_t : public atom_base<It, match_char_nocase_t<It>> {
public:
    match_char_nocase_t(unsigned char lower, unsigned char upper) : m_lower(lower), m_upper(upper) {
        m_bytes.set(lower);
        m_bytes.set(upper);
    }
    bool test(match_state<It>& st, It& p) const {
        if (at_end(st, p)) return false;
        auto c = static_cast<unsigned char>(*p);
        if (c != m_lower && c != m_upper) return false;
        ++p;
        return true;
    }
    width_range width(width_context<It>&) override { return {1, 1}; }
    bool first_chars(first_char_hint& h) const override {
        h.count = 2;
        h.inline_chars[0] = m_lower;
        h.inline_chars[1] = m_upper;
        h.chars = h.inline_chars;
        return true;
    }
    const byteset* atom_bytes() const override { return &m_bytes; }

private:
    unsigned char m_lower;
    unsigned char m_upper;
    byteset m_bytes;
};

// A run of literal characters; the text is a copy in the arena.
template <class It>
class match_literal_t : public atom_base<It, match_literal_t<It>> {
public:
    match_literal_t(const char* text, uint32_t length) : m_text(text), m_length(length) {}
    bool test(match_state<It>& st, It& p) const {
        if (static_cast<size_t>(st.text_end - p) < m_length) return false;
        if (std::memcmp(&*p, m_text, m_length) != 0) return false;
        p += m_length;
        return true;
    }
    width_range width(width_context<It>&) override { return {m_length, m_length}; }
    bool first_chars(first_char_hint& h) const override {
        h.count = 1;
        h.inline_chars[0] = static_cast<unsigned char>(m_text[0]);
        h.chars = h.inline_chars;
        h.has_literal = true;
        h.lit_begin = m_text;
        h.lit_end = m_text + m_length;
        h.lit_lower = nullptr;
        return true;
    }
    bool first_bytes(byteset& out, int) const override {
        out.set(static_cast<unsigned char>(m_text[0]));
        return true;
    }
    int required_byte() const override { return static_cast<unsigned char>(m_text[m_length - 1]); }
    uint32_t length() const { return m_length; }

private:
    const char* m_text;
    uint32_t m_length;
};

// Caseless literal: an upper-case and a lower-case copy, compared position by position.
template <class It>
class match_literal_nocase_t : public atom_base<It, match_literal_nocase_t<It>> {
public:
    match_literal_nocase_t(const char* upper, const char* lower, uint32_t length)
        : m_upper(upper), m_lower(lower), m_length(length) {}
    bool test(match_state<It>& st, It& p) const {
        if (static_cast<size_t>(st.text_end - p) < m_length) return false;
        for (uint32_t i = 0; i < m_length; ++i) {
            char c = p[i];
            if (c != m_upper[i] && c != m_lower[i]) return false;
        }
        p += m_length;
        return true;
    }
    width_range width(width_context<It>&) override { return {m_length, m_length}; }
    bool first_chars(first_char_hint& h) const override {
        h.count = 2;
        h.inline_chars[0] = static_cast<unsigned char>(m_upper[0]);
        h.inline_chars[1] = static_cast<unsigned char>(m_lower[0]);
        h.chars = h.inline_chars;
        h.has_literal = true;
        h.lit_begin = m_upper;
        h.lit_end = m_upper + m_length;
        h.lit_lower = m_lower;
        return true;
    }
    bool first_bytes(byteset& out, int) const override {
        out.set(static_cast<unsigned char>(m_upper[0]));
        out.set(static_cast<unsigned char>(m_lower[0]));
        return true;
    }
    uint32_t length() const { return m_length; }

private:
    const char* m_upper;
    const char* m_lower;
    uint32_t m_length;
};

// A bracket set or a shared "\d"-style set. CaseSensitive only records the
// flags in force where the set stands; the set itself was built caseless.
template <class It>
class match_charset_t : public atom_base<It, match_charset_t<It>> {
public:
    explicit match_charset_t(const charset* set) : m_set(set) {}
    bool test(match_state<It>& st, It& p) const {
        if (at_end(st, p) || !m_set->contains(static_cast<unsigned char>(*p))) return false;
        ++p;
        return true;
    }
    width_range width(width_context<It>&) override { return {1, 1}; }
    const byteset* atom_bytes() const override { return &m_set->bits(); }

private:
    const charset* m_set;
};

template <class It, bool NoCase>
class match_backref_t : public atom_base<It, match_backref_t<It, NoCase>> {
public:
    explicit match_backref_t(uint32_t group) : m_group(group) {}
    bool test(match_state<It>& st, It& p) const {
        const backref_tag<It>& rec = st.captures[m_group];
        if (!rec.matched) return false;
        spend_scanned(st, static_cast<uint64_t>(rec.end - rec.begin));
        It q = p;
        for (It c = rec.begin; c != rec.end; ++c, ++q) {
            if (q == st.text_end) return false;
            if (NoCase) {
                if (ToUpper(*q) != ToUpper(*c)) return false;
            } else if (*q != *c) {
                return false;
            }
        }
        p = q;
        return true;
    }
    // Rewritten once after parsing, from the pattern's numbering to the capture index.
    uint32_t& group() { return m_group; }
    width_range width(width_context<It>& ctx) override {
        if (m_group >= ctx.groups.size()) throw bad_regexpr("reference to nonexistent group");
        match_group_base<It>* g = ctx.groups[m_group];
        if (g) return g->width(ctx);
        return {0, kUnbounded};
    }

private:
    static char ToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
    uint32_t m_group;
};

// ---------------------------------------------------------------------------
// Assertions

enum class assert_kind { bos, bol, eos, peos, eol };

template <class It>
class assertion : public sub_expr<It> {
public:
    bool is_assertion() const override { return true; }
    width_range width(width_context<It>&) override { return {0, 0}; }
    bool first_chars(first_char_hint& h) const override {
        return ++h.depth < kFirstBytesDepth && this->next->first_chars(h);
    }
    bool first_bytes(byteset& out, int depth) const override {
        return chain_first_bytes<It>(this->next, out, depth);
    }
};

template <class It, assert_kind Kind>
class assert_op : public assertion<It> {
public:
    static bool test(const match_state<It>& st, It p) {
        switch (Kind) {
            case assert_kind::bos:
                return p == st.text_begin;
            case assert_kind::bol:
                return p == st.text_begin || p[-1] == '\n';
            case assert_kind::eos:
                return p == st.text_end;
            case assert_kind::peos:
                return p == st.text_end || (*p == '\n' && p + 1 == st.text_end);
            case assert_kind::eol:
                return p == st.text_end || *p == '\n';
        }
        return false;
    }
    bool match_chain(match_state<It>& st, It pos) const override {
        check_depth(st);
        return test(st, pos) && this->next->match_chain(st, pos);
    }
    bool match_alone(match_state<It>& st, It& pos) const override { return test(st, pos); }
};

// Always fails: the empty negative look-arounds "(?!)" and "(?<!)".
template <class It>
class match_fail : public assertion<It> {
public:
    bool match_chain(match_state<It>&, It) const override { return false; }
    bool match_alone(match_state<It>&, It&) const override { return false; }
    bool first_chars(first_char_hint&) const override { return false; }
    bool first_bytes(byteset&, int) const override { return false; }
};

template <class It>
class end_of_pattern : public sub_expr<It> {
public:
    bool match_chain(match_state<It>& st, It pos) const override {
        return !st.no_empty || pos != st.attempt_start;
    }
    bool step_forward(match_state<It>& st) const override {
        st.next_node = nullptr;
        return !st.no_empty || st.pos != st.attempt_start;
    }
    width_range width(width_context<It>&) override { return {0, 0}; }
};

// One attempt of the stack driver from `start` at st.pos, on st.stack: true
// when a node ended the match (next_node null), with st.pos where it ended.
// The attempt's own records are discarded either way; a failed attempt has
// undone every change it made.
template <class It>
bool run_steps(match_state<It>& st, const sub_expr<It>* start) {
    count_step(st);
    hetero_stack& stack = *st.stack;
    const hetero_stack::mark_type mark = stack.mark();
    const sub_expr<It>* node = start;
    for (;;) {
        if (!node->step_forward(st)) {
            for (;;) {
                if (stack.mark() == mark) return false;
                step_frame<It> frame = stack.pop<step_frame<It>>();
                st.pos = frame.pos;
                if (frame.node->step_back(st)) {
                    stack.push(frame);
                    break;
                }
            }
        }
        node = st.next_node;
        if (!node) {
            stack.unwind(mark);
            return true;
        }
    }
}

// ---------------------------------------------------------------------------
// Atom quantifiers

template <class It, class Atom, bool Greedy>
class atom_quantifier : public sub_expr<It> {
public:
    atom_quantifier(Atom* atom, uint32_t min, uint32_t max) : m_atom(atom), m_min(min), m_max(max) {}

    bool match_chain(match_state<It>& st, It pos) const override {
        count_step(st);
        return Greedy ? match_greedy(st, pos) : match_lazy(st, pos);
    }
    bool step_forward(match_state<It>& st) const override {
        return Greedy ? forward_greedy(st) : forward_lazy(st);
    }
    bool step_back(match_state<It>& st) const override { return Greedy ? back_greedy(st) : back_lazy(st); }
    width_range width(width_context<It>& ctx) override {
        width_range a = m_atom->width(ctx);
        return {width_mul(a.min, m_min), width_mul(a.max, m_max)};
    }
    bool first_chars(first_char_hint& h) const override { return m_min != 0 && m_atom->first_chars(h); }
    bool first_bytes(byteset& out, int depth) const override {
        if (!m_atom->first_bytes(out, depth)) return false;
        return m_min != 0 || chain_first_bytes<It>(this->next, out, depth);
    }
    int required_byte() const override { return m_min ? m_atom->required_byte() : -1; }
    // What the continuation can start with lets back-off skip hopeless positions.
    // When the two share no byte, only the end of the run can be followed.
    void finish(arena_allocator& arena) override {
        byteset follow;
        if (!chain_first_bytes<It>(this->next, follow, 0)) return;
        m_follow = arena.make<byteset>(follow);
        if (const byteset* mine = m_atom->atom_bytes()) {
            m_exclusive = true;
            for (int i = 0; i < 4; ++i)
                if (mine->words[i] & follow.words[i]) m_exclusive = false;
        }
    }
    // A repeat that may start a match anywhere a run of its bytes goes on:
    // its bytes, when it takes at most one and has no upper bound.
    const byteset* leading_run() const override {
        return m_min <= 1 && m_max == kUnbounded ? m_atom->atom_bytes() : nullptr;
    }
    const Atom* atom() const { return m_atom; }

private:
    bool test(match_state<It>& st, It& p) const { return m_atom->Atom::test(st, p); }

    // Could the continuation start at p at all?
    bool may_follow(const match_state<It>& st, It p) const {
        return !m_follow || (p != st.text_end && m_follow->test(static_cast<unsigned char>(*p)));
    }

    bool match_greedy(match_state<It>& st, It pos) const {
        uint32_t count = 0;
        It p = pos;
        size_t w = 0;
        if (m_max > 0 && test(st, p)) {
            w = static_cast<size_t>(p - pos);
            // A zero-width atom is not repeated, and its minimum is not checked.
            if (w == 0) return this->next->match_chain(st, p);
            count = 1;
            while (count < m_max && test(st, p)) ++count;
            spend_scanned(st, count);
        }
        if (count < m_min) return false;
        if (m_exclusive) return may_follow(st, p) && this->next->match_chain(st, p);
        for (;;) {
            if (may_follow(st, p) && this->next->match_chain(st, p)) return true;
            if (count == m_min) return false;
            spend_step(st);
            --count;
            p -= w;
        }
    }

    bool match_lazy(match_state<It>& st, It pos) const {
        It q = pos;
        bool probe = test(st, q);
        It p = pos;
        uint32_t count = 0;
        if (probe && q == pos) return this->next->match_chain(st, pos);
        if (probe && m_min > 0) {
            p = q;
            count = 1;
            while (count < m_min) {
                if (!test(st, p)) return false;
                ++count;
            }
            spend_scanned(st, count);
        } else if (!probe && m_min > 0) {
            return false;
        }
        for (;;) {
            if (may_follow(st, p) && this->next->match_chain(st, p)) return true;
            if (count >= m_max) return false;
            spend_step(st);
            ++count;
            if (!test(st, p)) return false;
        }
    }

    // Stack mode: where the repetitions began and end now, and how many there are.
    struct repeat_record {
        It start;
        It cur;
        size_t step;  // width of one repetition (greedy)
        uint32_t count;
    };

    bool forward_greedy(match_state<It>& st) const {
        spend_step(st);
        const It start = st.pos;
        It p = start;
        uint32_t count = 0;
        size_t w = 0;
        if (m_max > 0 && test(st, p)) {
            w = static_cast<size_t>(p - start);
            if (w == 0) {
                st.next_node = this->next;
                return true;
            }
            count = 1;
            while (count < m_max && test(st, p)) ++count;
            spend_scanned(st, count);
        }
        if (count < m_min) return false;
        if (m_exclusive) {
            if (!may_follow(st, p)) return false;
            count = m_min;  // nothing to give back
        }
        while (!may_follow(st, p)) {
            if (count == m_min) return false;
            spend_step(st);
            --count;
            p -= static_cast<ptrdiff_t>(w);
        }
        st.stack->push(repeat_record{start, p, w, count});
        push_frame<It>(st, this, start);
        st.pos = p;
        st.next_node = this->next;
        return true;
    }

    bool back_greedy(match_state<It>& st) const {
        auto& rec = st.stack->template top<repeat_record>();
        while (rec.count != m_min) {
            spend_step(st);
            --rec.count;
            rec.cur -= static_cast<ptrdiff_t>(rec.step);
            if (may_follow(st, rec.cur)) {
                st.pos = rec.cur;
                st.next_node = this->next;
                return true;
            }
        }
        st.stack->template pop<repeat_record>();
        return false;
    }

    bool forward_lazy(match_state<It>& st) const {
        spend_step(st);
        const It start = st.pos;
        It q = start;
        bool probe = test(st, q);
        if (probe && q == start) {
            st.next_node = this->next;
            return true;
        }
        It p = start;
        uint32_t count = 0;
        if (probe && m_min > 0) {
            p = q;
            count = 1;
            while (count < m_min) {
                if (!test(st, p)) return false;
                ++count;
            }
            spend_scanned(st, count);
        } else if (!probe && m_min > 0) {
            return false;
        }
        while (!may_follow(st, p)) {
            if (count >= m_max) return false;
            spend_step(st);
            ++count;
            if (!test(st, p)) return false;
        }
        st.stack->push(repeat_record{start, p, 0, count});
        push_frame<It>(st, this, start);
        st.pos = p;
        st.next_node = this->next;
        return true;
    }

    bool back_lazy(match_state<It>& st) const {
        auto& rec = st.stack->template top<repeat_record>();
        while (rec.count < m_max) {
            spend_step(st);
            ++rec.count;
            It p = rec.cur;
            if (!test(st, p)) break;
            rec.cur = p;
            if (may_follow(st, p)) {
                st.pos = p;
                st.next_node = this->next;
                return true;
            }
        }
        st.stack->template pop<repeat_record>();
        return false;
    }

    Atom* m_atom;
    uint32_t m_min;
    uint32_t m_max;
    const byteset* m_follow = nullptr;
    bool m_exclusive = false;  // no byte of the atom can start the continuation
};

// ---------------------------------------------------------------------------
// Groups

template <class It>
class match_group_base : public sub_expr<It> {
public:
    struct alternative {
        sub_expr<It>* first;
        alternative* next;
        const byteset* start = nullptr;  // the bytes a match of it begins with, when known
    };

    match_group_base(int32_t group, arena_allocator& arena) : m_arena(&arena), m_group(group) {}

    int32_t group() const { return m_group; }
    const alternative* alternatives() const { return m_alternatives; }
    uint32_t alternative_count() const { return m_alternativeCount; }
    virtual sub_expr<It>* end_node() = 0;
    // The group numbers opened inside this group.
    virtual void note_nested_groups(uint32_t first, uint32_t count) {}

    // Parse-time building: alternatives in pattern order, each a chain ending in end_node().
    void open_alternative() {
        auto* alt = m_arena->make<alternative>(alternative{nullptr, nullptr});
        if (m_lastAlternative)
            m_lastAlternative->next = alt;
        else
            m_alternatives = alt;
        m_lastAlternative = alt;
        m_tail = nullptr;
        ++m_alternativeCount;
    }
    void link(sub_expr<It>* node) {
        if (m_tail)
            m_tail->next = node;
        else
            m_lastAlternative->first = node;
        m_tail = node;
    }
    void close_alternative() { link(end_node()); }
    // Once parsed: each alternative's first bytes, so that a search passes
    // over those that cannot begin at a position without trying them.
    void note_alternative_starts() {
        if (!m_alternatives || !m_alternatives->next) return;
        for (alternative* a = m_alternatives; a; a = a->next) {
            byteset b;
            if (a->first->first_bytes(b, 0)) a->start = m_arena->make<byteset>(b);
        }
    }
    // The group's set of possible first characters, sorted; none when unknown.
    void set_first_chars(const unsigned char* begin, const unsigned char* end) {
        m_firstBegin = begin;
        m_firstEnd = end;
        for (auto* c = begin; c != end; ++c) m_firstSet.set(*c);
    }

    bool match_chain(match_state<It>& st, It pos) const override {
        if (m_alternatives->next)
            count_step(st);
        else
            check_depth(st);
        return match_alternatives(st, pos);
    }
    bool step_forward(match_state<It>& st) const override {
        if (m_alternatives->next) spend_step(st);
        return enter_alternatives(st, this);
    }
    bool step_back(match_state<It>& st) const override { return next_alternative(st); }

    // Stack mode: the group's entry, with `owner` as the node whose frame
    // brings the driver back to next_alternative.
    bool enter_alternatives(match_state<It>& st, const sub_expr<It>* owner) const {
        const It pos = st.pos;
        if (m_firstBegin && (at_end(st, pos) || !m_firstSet.test(static_cast<unsigned char>(*pos))))
            return false;
        const alternative* a = m_alternatives;
        while (a && !may_begin(a, st, pos)) a = a->next;
        if (!a) return false;
        if (m_group < 0 && !a->next) {
            st.next_node = a->first;
            return true;
        }
        It oldPending{};
        if (m_group >= 0) {
            oldPending = st.captures[m_group].pending_begin;
            st.captures[m_group].pending_begin = pos;
        }
        st.stack->push(alternative_record{a, oldPending});
        push_frame<It>(st, owner, pos);
        st.next_node = a->first;
        return true;
    }
    bool next_alternative(match_state<It>& st) const {
        auto& rec = st.stack->template top<alternative_record>();
        const alternative* n = rec.alt->next;
        while (n && !may_begin(n, st, st.pos)) n = n->next;
        if (n) {
            spend_step(st);
            rec.alt = n;
            st.next_node = n->first;
            return true;
        }
        if (m_group >= 0) st.captures[m_group].pending_begin = rec.old_pending;
        st.stack->template pop<alternative_record>();
        return false;
    }

    width_range width(width_context<It>& ctx) override {
        if (m_widthMin != kUnbounded || m_widthMax != kUnbounded) return {m_widthMin, m_widthMax};
        width_range w = measure(ctx);
        m_widthMin = w.min;
        m_widthMax = w.max;
        return w;
    }
    width_range cached_width() const { return {m_widthMin, m_widthMax}; }

    bool first_chars(first_char_hint& h) const override {
        if (!m_firstBegin) return false;
        h.count = static_cast<uint32_t>(m_firstEnd - m_firstBegin);
        if (h.count <= 2) {
            for (uint32_t i = 0; i < h.count; ++i) h.inline_chars[i] = m_firstBegin[i];
            h.chars = h.inline_chars;
        } else {
            h.chars = m_firstBegin;
        }
        h.has_literal = false;
        h.lit_begin = h.lit_end = h.lit_lower = nullptr;
        if (m_alternativeCount == 1) {
            first_char_hint inner;
            if (m_alternatives->first->first_chars(inner) && inner.has_literal) {
                h.has_literal = true;
                h.lit_begin = inner.lit_begin;
                h.lit_end = inner.lit_end;
                h.lit_lower = inner.lit_lower;
            }
        }
        return true;
    }

    int required_byte() const override {
        int common = -1;
        for (auto* a = m_alternatives; a; a = a->next) {
            int b = chain_required_byte<It>(a->first);
            if (b < 0 || (common >= 0 && b != common)) return -1;
            common = b;
        }
        return common;
    }

    bool first_bytes(byteset& out, int depth) const override {
        if (depth >= kFirstBytesDepth) return false;
        byteset mine;
        for (auto* a = m_alternatives; a; a = a->next)
            if (!a->first->first_bytes(mine, depth + 1)) return false;
        out |= mine;
        return true;
    }

protected:
    static bool may_begin(const alternative* a, const match_state<It>& st, It pos) {
        return !a->start || (pos != st.text_end && a->start->test(static_cast<unsigned char>(*pos)));
    }

    struct alternative_record {
        const alternative* alt;
        It old_pending;
    };

    // Entry of the group: first-character test, pending_begin, alternatives in order.
    bool match_alternatives(match_state<It>& st, It pos) const {
        if (m_firstBegin && (at_end(st, pos) || !m_firstSet.test(static_cast<unsigned char>(*pos))))
            return false;
        // Every alternative tried after the first is a step, as the stack
        // driver's next_alternative counts it.
        bool tried = false;
        auto attempt = [&](const alternative* a) {
            if (!may_begin(a, st, pos)) return false;
            if (tried) spend_step(st);
            tried = true;
            return a->first->match_chain(st, pos);
        };
        if (m_group < 0) {
            for (auto* a = m_alternatives; a; a = a->next)
                if (attempt(a)) return true;
            return false;
        }
        backref_tag<It>& rec = st.captures[m_group];
        It saved = rec.pending_begin;
        rec.pending_begin = pos;
        for (auto* a = m_alternatives; a; a = a->next)
            if (attempt(a)) return true;
        st.captures[m_group].pending_begin = saved;
        return false;
    }

    width_range measure(width_context<It>& ctx) {
        width_range w{kUnbounded, 0};
        bool inTable = m_group >= 0 && static_cast<size_t>(m_group) < ctx.groups.size();
        // Every alternative is measured, even once the range is as wide as it
        // gets: look-behinds inside need their own widths.
        for (auto* a = m_alternatives; a; a = a->next) {
            if (inTable) ctx.groups[m_group] = nullptr;
            width_range c = chain_width<It>(a->first, ctx);
            if (inTable) ctx.groups[m_group] = this;
            if (c.min < w.min) w.min = c.min;
            if (c.max > w.max) w.max = c.max;
        }
        return w;
    }

    arena_allocator* m_arena;
    alternative* m_alternatives = nullptr;
    alternative* m_lastAlternative = nullptr;
    sub_expr<It>* m_tail = nullptr;
    uint32_t m_alternativeCount = 0;
    int32_t m_group;
    uint32_t m_widthMin = kUnbounded;
    uint32_t m_widthMax = kUnbounded;
    const unsigned char* m_firstBegin = nullptr;
    const unsigned char* m_firstEnd = nullptr;
    byteset m_firstSet;
};

template <class It, bool Greedy>
class group_quantifier;

template <class It>
class match_group : public match_group_base<It> {
public:
    class end_group : public sub_expr<It> {
    public:
        explicit end_group(match_group* owner) : m_owner(owner) {}
        bool match_chain(match_state<It>& st, It pos) const override {
            check_depth(st);
            int32_t g = m_owner->group();
            const sub_expr<It>* after = m_owner->next;
            if (g < 0) return after->match_chain(st, pos);
            spend_step(st);  // a capture recorded, and undone on the way back
            backref_tag<It>& rec = st.captures[g];
            It oldBegin = rec.begin, oldEnd = rec.end;
            bool oldMatched = rec.matched;
            rec.begin = rec.pending_begin;
            rec.end = pos;
            rec.matched = true;
            if (after->match_chain(st, pos)) return true;
            backref_tag<It>& again = st.captures[g];
            again.begin = oldBegin;
            again.end = oldEnd;
            again.matched = oldMatched;
            return false;
        }
        bool step_forward(match_state<It>& st) const override {
            int32_t g = m_owner->group();
            st.next_node = m_owner->next;
            if (g < 0) return true;
            spend_step(st);
            backref_tag<It>& rec = st.captures[g];
            st.stack->push(old_backref{rec.begin, rec.end, rec.matched});
            push_frame<It>(st, this, st.pos);
            rec.begin = rec.pending_begin;
            rec.end = st.pos;
            rec.matched = true;
            return true;
        }
        bool step_back(match_state<It>& st) const override {
            auto old = st.stack->template pop<old_backref>();
            backref_tag<It>& rec = st.captures[m_owner->group()];
            rec.begin = old.begin;
            rec.end = old.end;
            rec.matched = old.matched;
            return false;
        }
        width_range width(width_context<It>&) override { return {0, 0}; }
        bool first_bytes(byteset& out, int depth) const override {
            return chain_first_bytes<It>(m_owner->next, out, depth);
        }

    private:
        struct old_backref {
            It begin;
            It end;
            bool matched;
        };
        match_group* m_owner;
    };

    match_group(int32_t group, arena_allocator& arena) : match_group_base<It>(group, arena), m_end(this) {}
    sub_expr<It>* end_node() override { return &m_end; }
    sub_expr<It>* quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) override;

private:
    end_group m_end;
};

// "(?>...)" and, with no group number, the look-aheads: the body is a sub-match
// that stops at its first success and is never re-entered.
template <class It>
class independent_group_base : public match_group_base<It> {
public:
    independent_group_base(int32_t group, bool expected, arena_allocator& arena)
        : match_group_base<It>(group, arena), m_expected(expected), m_entry(this) {}
    void note_nested_groups(uint32_t first, uint32_t count) override {
        m_nestedFirst = first;
        m_nestedCount = count;
    }
    bool first_chars(first_char_hint& h) const override {
        return this->m_group >= 0 && match_group_base<It>::first_chars(h);
    }

    // The nested groups' records, copied aside while the body runs.
    std::vector<backref_tag<It>> save_nested(const match_state<It>& st) const {
        if (m_nestedCount == 0) return {};
        return std::vector<backref_tag<It>>(st.captures + m_nestedFirst,
                                            st.captures + m_nestedFirst + m_nestedCount);
    }
    void restore_nested(match_state<It>& st, const std::vector<backref_tag<It>>& saved) const {
        for (uint32_t i = 0; i < m_nestedCount; ++i) st.captures[m_nestedFirst + i] = saved[i];
    }

    // Stack mode: the body's sub-match starts here, so that its alternatives
    // backtrack through this node rather than through the group itself.
    class group_entry : public sub_expr<It> {
    public:
        explicit group_entry(const independent_group_base* owner) : m_owner(owner) {}
        bool step_forward(match_state<It>& st) const override {
            return m_owner->enter_alternatives(st, this);
        }
        bool step_back(match_state<It>& st) const override { return m_owner->next_alternative(st); }
        width_range width(width_context<It>&) override { return {0, 0}; }

    private:
        const independent_group_base* m_owner;
    };

protected:
    bool m_expected;
    uint32_t m_nestedFirst = 0;
    uint32_t m_nestedCount = 0;
    group_entry m_entry;
};

template <class It>
class independent_group : public independent_group_base<It> {
public:
    class end_group : public sub_expr<It> {
    public:
        explicit end_group(independent_group* owner) : m_owner(owner) {}
        bool match_chain(match_state<It>& st, It pos) const override {
            int32_t g = m_owner->group();
            if (g >= 0) {
                backref_tag<It>& rec = st.captures[g];
                rec.begin = rec.pending_begin;
                rec.end = pos;
                rec.matched = true;
            }
            return true;
        }
        bool step_forward(match_state<It>& st) const override {
            match_chain(st, st.pos);
            st.next_node = nullptr;
            return true;
        }
        width_range width(width_context<It>&) override { return {0, 0}; }

    private:
        independent_group* m_owner;
    };

    independent_group(int32_t group, bool expected, arena_allocator& arena)
        : independent_group_base<It>(group, expected, arena), m_end(this) {}
    sub_expr<It>* end_node() override { return &m_end; }
    sub_expr<It>* quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) override;

    bool match_chain(match_state<It>& st, It pos) const override {
        count_step(st);
        auto saved = this->save_nested(st);
        bool result = this->match_alternatives(st, pos);
        if (result == this->m_expected) {
            It cont = result && this->m_group >= 0 ? st.captures[this->m_group].end : pos;
            if (this->next->match_chain(st, cont)) return true;
        }
        if (result && this->m_nestedCount > 0) this->restore_nested(st, saved);
        return false;
    }
    // The body runs as a sub-match that is never re-entered; what it captured
    // is put back when the driver backtracks over the group.
    bool step_forward(match_state<It>& st) const override {
        const It entry = st.pos;
        const bool saving = this->m_nestedCount > 0;
        if (saving) st.stack->push(this->save_nested(st));
        const bool result = run_steps<It>(st, &this->m_entry);
        if (result != this->m_expected) {
            if (saving) this->restore_nested(st, st.stack->template pop<std::vector<backref_tag<It>>>());
            st.pos = entry;
            return false;
        }
        if (!result || this->m_group < 0) st.pos = entry;
        if (saving) push_frame<It>(st, this, entry);
        st.next_node = this->next;
        return true;
    }
    bool step_back(match_state<It>& st) const override {
        this->restore_nested(st, st.stack->template pop<std::vector<backref_tag<It>>>());
        return false;
    }
    bool first_bytes(byteset& out, int depth) const override {
        // An atomic group consumes at least what its body does; a body that may be
        // empty hands over to an unknown continuation.
        return false;
    }

private:
    end_group m_end;
};

template <class It>
class lookahead_assertion : public independent_group<It> {
public:
    lookahead_assertion(bool positive, arena_allocator& arena) : independent_group<It>(-1, positive, arena) {}
    sub_expr<It>* quantify(uint32_t, uint32_t, bool, arena_allocator&) override {
        throw bad_regexpr("look-ahead assertion cannot be quantified");
    }
    bool is_assertion() const override { return true; }
    int required_byte() const override { return -1; }
    width_range width(width_context<It>& ctx) override {
        match_group_base<It>::width(ctx);
        return {0, 0};
    }
    bool first_chars(first_char_hint& h) const override {
        return ++h.depth < kFirstBytesDepth && this->next->first_chars(h);
    }
    bool first_bytes(byteset& out, int depth) const override {
        return chain_first_bytes<It>(this->next, out, depth);
    }
};

template <class It>
class lookbehind_assertion : public independent_group_base<It> {
public:
    class end_group : public sub_expr<It> {
    public:
        bool match_chain(match_state<It>& st, It pos) const override { return pos == st.behind_end; }
        bool step_forward(match_state<It>& st) const override {
            st.next_node = nullptr;
            return st.pos == st.behind_end;
        }
        width_range width(width_context<It>&) override { return {0, 0}; }
    };

    lookbehind_assertion(bool positive, arena_allocator& arena)
        : independent_group_base<It>(-1, positive, arena) {}
    sub_expr<It>* end_node() override { return &m_end; }
    bool is_assertion() const override { return true; }
    int required_byte() const override { return -1; }
    width_range width(width_context<It>& ctx) override {
        match_group_base<It>::width(ctx);
        return {0, 0};
    }
    bool first_chars(first_char_hint& h) const override {
        return ++h.depth < kFirstBytesDepth && this->next->first_chars(h);
    }
    bool first_bytes(byteset& out, int depth) const override {
        return chain_first_bytes<It>(this->next, out, depth);
    }

    bool match_chain(match_state<It>& st, It pos) const override {
        count_step(st);
        const uint32_t wmin = this->m_widthMin, wmax = this->m_widthMax;
        const size_t avail = static_cast<size_t>(pos - st.text_begin);
        if (wmin > avail) return !this->m_expected && this->next->match_chain(st, pos);
        auto saved = this->save_nested(st);
        It firstStart = pos - static_cast<ptrdiff_t>(wmax < avail ? wmax : avail);
        It lastStart = pos - static_cast<ptrdiff_t>(wmin);
        It outerBehind = st.behind_end;
        for (It s = firstStart;; ++s) {
            spend_step(st);
            st.behind_end = pos;
            bool body = this->match_alternatives(st, s);
            st.behind_end = outerBehind;
            if (body) {
                if (this->m_expected) {
                    if (this->next->match_chain(st, pos)) return true;
                    if (this->m_nestedCount > 0) this->restore_nested(st, saved);
                } else {
                    // A body that matches from any start in range decides a negative look-behind.
                    if (this->m_nestedCount > 0) this->restore_nested(st, saved);
                    return false;
                }
            }
            if (s == lastStart) break;
        }
        return !this->m_expected && this->next->match_chain(st, pos);
    }

    // Stack mode. A positive look-behind whose continuation fails is retried
    // from the later starts, as in the recursive driver.
    bool step_forward(match_state<It>& st) const override {
        spend_step(st);
        const It pos = st.pos;
        const uint32_t wmin = this->m_widthMin, wmax = this->m_widthMax;
        const size_t avail = static_cast<size_t>(pos - st.text_begin);
        if (wmin > avail) {
            st.next_node = this->next;
            return !this->m_expected;
        }
        It firstStart = pos - static_cast<ptrdiff_t>(wmax < avail ? wmax : avail);
        It lastStart = pos - static_cast<ptrdiff_t>(wmin);
        st.stack->push(behind_record{this->save_nested(st), firstStart, lastStart, false});
        const bool found = find_body(st, pos);
        st.pos = pos;
        st.next_node = this->next;
        if (this->m_expected && found) {
            push_frame<It>(st, this, pos);
            return true;
        }
        auto rec = st.stack->template pop<behind_record>();
        if (found) this->restore_nested(st, rec.saved);  // a negative look-behind whose body matched
        return !this->m_expected && !found;
    }
    bool step_back(match_state<It>& st) const override {
        const It pos = st.pos;
        {
            auto& rec = st.stack->template top<behind_record>();
            this->restore_nested(st, rec.saved);
            if (!rec.done && find_body(st, pos)) {
                st.pos = pos;
                st.next_node = this->next;
                return true;
            }
        }
        st.pos = pos;
        st.stack->template pop<behind_record>();
        return false;
    }

private:
    struct behind_record {
        std::vector<backref_tag<It>> saved;
        It next_start;
        It last_start;
        bool done;
    };

    // The next start from which the body ends exactly at pos; the record on
    // top of the stack keeps where to go on.
    bool find_body(match_state<It>& st, It pos) const {
        auto& rec = st.stack->template top<behind_record>();
        const It outerBehind = st.behind_end;
        while (!rec.done) {
            const It s = rec.next_start;
            if (s == rec.last_start)
                rec.done = true;
            else
                ++rec.next_start;
            st.behind_end = pos;
            st.pos = s;
            bool body = run_steps<It>(st, &this->m_entry);
            st.behind_end = outerBehind;
            if (body) return true;
        }
        return false;
    }

    end_group m_end;
};

// ---------------------------------------------------------------------------
// Word assertions, conditionals and recursion

enum class word_kind { boundary, not_boundary };

template <class It, word_kind Kind>
class word_assertion_t : public assertion<It> {
public:
    static bool test(const match_state<It>& st, It p) {
        const charset& word = intrinsic_charset(intrinsic::word);
        bool after = p != st.text_end && word.contains(static_cast<unsigned char>(*p));
        // The character before the search start is not looked at.
        bool before = p != st.text_begin && word.contains(static_cast<unsigned char>(p[-1]));
        return Kind == word_kind::boundary ? before != after : before == after;
    }
    bool match_chain(match_state<It>& st, It pos) const override {
        check_depth(st);
        return test(st, pos) && this->next->match_chain(st, pos);
    }
    bool match_alone(match_state<It>& st, It& pos) const override { return test(st, pos); }
};

// Ends the sub-pattern of a conditional's assertion: the condition holds as
// soon as the assertion does.
template <class It>
class accept_node : public sub_expr<It> {
public:
    bool match_chain(match_state<It>&, It) const override { return true; }
    bool step_forward(match_state<It>& st) const override {
        st.next_node = nullptr;
        return true;
    }
    width_range width(width_context<It>&) override { return {0, 0}; }
};

// "(?(N)yes|no)" and "(?(?=...)yes|no)": a group of at most two alternatives.
template <class It>
class match_conditional : public match_group<It> {
public:
    match_conditional(int32_t group, arena_allocator& arena) : match_group<It>(group, arena) {}

    // Condition on a capturing group, numbered as the pattern names it until parsing ends.
    void set_group_condition(uint32_t group) {
        m_conditionGroup = group;
        m_hasGroupCondition = true;
    }
    uint32_t& condition_group() { return m_conditionGroup; }
    // Condition on a look-around; null stands for an empty one, which always holds.
    void set_assertion_condition(independent_group_base<It>* assertion) { m_assertion = assertion; }
    void set_never() { m_never = true; }

    bool match_chain(match_state<It>& st, It pos) const override {
        count_step(st);
        std::vector<backref_tag<It>> saved;
        bool holds;
        if (m_hasGroupCondition) {
            holds = m_conditionGroup < st.capture_count && st.captures[m_conditionGroup].matched;
        } else if (m_never) {
            holds = false;
        } else if (m_assertion) {
            saved = m_assertion->save_nested(st);
            holds = m_assertion->match_chain(st, pos);
        } else {
            holds = true;
        }
        const sub_expr<It>* branch = chosen(holds);
        bool ok;
        if (!branch) {
            ok = this->next->match_chain(st, pos);
        } else {
            backref_tag<It>& rec = st.captures[this->group()];
            It oldPending = rec.pending_begin;
            rec.pending_begin = pos;
            ok = branch->match_chain(st, pos);
            if (!ok) st.captures[this->group()].pending_begin = oldPending;
        }
        if (!ok && holds && m_assertion) m_assertion->restore_nested(st, saved);
        return ok;
    }

    // Stack mode: the choice is made once; backtracking over it undoes the
    // branch entry and whatever the assertion captured.
    bool step_forward(match_state<It>& st) const override {
        // The sub-run of an assertion counts the step the recursive driver takes here.
        if (m_hasGroupCondition || m_never || !m_assertion) spend_step(st);
        const It pos = st.pos;
        bool holds;
        if (m_hasGroupCondition) {
            holds = m_conditionGroup < st.capture_count && st.captures[m_conditionGroup].matched;
        } else if (m_never) {
            holds = false;
        } else if (m_assertion) {
            st.stack->push(m_assertion->save_nested(st));
            holds = run_steps<It>(st, m_assertion);
            st.pos = pos;
        } else {
            holds = true;
        }
        const sub_expr<It>* branch = chosen(holds);
        backref_tag<It>& rec = st.captures[this->group()];
        st.stack->push(rec.pending_begin);
        push_frame<It>(st, this, pos);
        if (branch) {
            rec.pending_begin = pos;
            st.next_node = branch;
        } else {
            st.next_node = this->next;
        }
        return true;
    }
    bool step_back(match_state<It>& st) const override {
        st.captures[this->group()].pending_begin = st.stack->template pop<It>();
        if (m_assertion && !m_hasGroupCondition && !m_never)
            m_assertion->restore_nested(st, st.stack->template pop<std::vector<backref_tag<It>>>());
        return false;
    }

    width_range width(width_context<It>& ctx) override {
        if (this->m_widthMin != kUnbounded || this->m_widthMax != kUnbounded)
            return {this->m_widthMin, this->m_widthMax};
        if (m_assertion) m_assertion->width(ctx);
        bool inTable = static_cast<size_t>(this->group()) < ctx.groups.size();
        if (inTable) ctx.groups[this->group()] = nullptr;
        const auto* alt = this->alternatives();
        width_range yes = chain_width<It>(alt->first, ctx);
        width_range w{0, yes.max};
        if (alt->next) {
            width_range no = chain_width<It>(alt->next->first, ctx);
            w = {std::min(yes.min, no.min), std::max(yes.max, no.max)};
        }
        if (inTable) ctx.groups[this->group()] = this;
        this->m_widthMin = w.min;
        this->m_widthMax = w.max;
        return w;
    }
    bool first_chars(first_char_hint&) const override { return false; }
    bool first_bytes(byteset&, int) const override { return false; }
    int required_byte() const override { return -1; }

private:
    const sub_expr<It>* chosen(bool holds) const {
        const auto* alt = this->alternatives();
        return holds ? alt->first : (alt->next ? alt->next->first : nullptr);
    }

    independent_group_base<It>* m_assertion = nullptr;
    uint32_t m_conditionGroup = 0;
    bool m_hasGroupCondition = false;
    bool m_never = false;
};

// "(?R)": the whole pattern again at this position, matched once.
template <class It>
class match_recurse : public sub_expr<It> {
public:
    bool match_chain(match_state<It>& st, It pos) const override {
        count_step(st);
        // Recursing where the current level began would never end.
        if (pos == st.captures[0].pending_begin) return this->next->match_chain(st, pos);
        std::vector<backref_tag<It>> saved(st.captures, st.captures + st.capture_count);
        if (!st.first_node->match_chain(st, pos)) return false;
        keep_captures_only(st, saved);
        if (this->next->match_chain(st, st.captures[0].end)) return true;
        // The groups the inner match set must not outlive a path that failed.
        std::copy(saved.begin(), saved.end(), st.captures);
        return false;
    }
    bool step_forward(match_state<It>& st) const override {
        const It pos = st.pos;
        if (pos == st.captures[0].pending_begin) {
            st.next_node = this->next;
            return true;
        }
        std::vector<backref_tag<It>> saved(st.captures, st.captures + st.capture_count);
        if (!run_steps<It>(st, st.first_node)) {
            st.pos = pos;
            return false;
        }
        keep_captures_only(st, saved);
        st.pos = st.captures[0].end;
        st.stack->push(std::move(saved));
        push_frame<It>(st, this, pos);
        st.next_node = this->next;
        return true;
    }
    bool step_back(match_state<It>& st) const override {
        auto saved = st.stack->template pop<std::vector<backref_tag<It>>>();
        std::copy(saved.begin(), saved.end(), st.captures);
        return false;
    }
    sub_expr<It>* quantify(uint32_t, uint32_t, bool, arena_allocator&) override {
        throw bad_regexpr("recursion sub-expression cannot be quantified");
    }
    width_range width(width_context<It>&) override { return {0, kUnbounded}; }

private:
    // After the inner match its captures stay; the bookkeeping of every group
    // (entry positions, loop counters) is the outer level's again.
    static void keep_captures_only(match_state<It>& st, const std::vector<backref_tag<It>>& saved) {
        for (uint32_t i = 0; i < st.capture_count; ++i) {
            backref_tag<It>& rec = st.captures[i];
            const backref_tag<It>& old = saved[i];
            rec.pending_begin = old.pending_begin;
            rec.repeat_count = old.repeat_count;
            rec.repeat_iterating = old.repeat_iterating;
            rec.prev_iteration_start = old.prev_iteration_start;
            rec.iteration_start = old.iteration_start;
        }
    }
};

// ---------------------------------------------------------------------------
// Group quantifiers. The loop state lives in the quantified group's record.

template <class It, bool Greedy>
class group_quantifier : public sub_expr<It> {
public:
    class end_quantifier : public sub_expr<It> {
    public:
        explicit end_quantifier(group_quantifier* q) : m_quantifier(q) {}
        bool match_chain(match_state<It>& st, It pos) const override {
            count_step(st);
            const group_quantifier& q = *m_quantifier;
            const int32_t g = q.m_group->group();
            backref_tag<It>& rec = st.captures[g];
            if (q.ended_empty(rec, pos)) return q.next->match_chain(st, pos);
            const bool memo = q.remembers(st, rec);
            const size_t at = static_cast<size_t>(pos - st.text_begin);
            if (memo && st.memo->failed(q.m_memoSlot, at)) return false;
            smart_iter<It> oldPrev = rec.prev_iteration_start;
            rec.prev_iteration_start = rec.iteration_start;
            rec.iteration_start = {pos, true};
            if (q.loop_step(st, pos)) return true;
            backref_tag<It>& again = st.captures[g];
            again.iteration_start = again.prev_iteration_start;
            again.prev_iteration_start = oldPrev;
            if (memo) st.memo->record(q.m_memoSlot, at);
            return false;
        }

        // Stack mode: the decision between one more iteration and leaving the loop.
        bool step_forward(match_state<It>& st) const override {
            spend_step(st);
            const group_quantifier& q = *m_quantifier;
            backref_tag<It>& rec = st.captures[q.m_group->group()];
            const It pos = st.pos;
            const bool empty = q.ended_empty(rec, pos);
            const bool memo = !empty && q.remembers(st, rec);
            if (memo && st.memo->failed(q.m_memoSlot, static_cast<size_t>(pos - st.text_begin))) return false;
            st.stack->push(loop_mark{rec.prev_iteration_start, empty, memo});
            rec.prev_iteration_start = rec.iteration_start;
            rec.iteration_start = {pos, true};
            push_frame<It>(st, this, pos);
            if (empty) {
                st.next_node = q.next;
            } else if (Greedy) {
                if (rec.repeat_count != q.m_max) {
                    rec.repeat_iterating = true;
                    ++rec.repeat_count;
                    st.next_node = q.m_group;
                } else {
                    rec.repeat_iterating = false;
                    st.next_node = q.next;
                }
            } else if (rec.repeat_count < q.m_min) {
                ++rec.repeat_count;
                st.next_node = q.m_group;
            } else {
                rec.repeat_iterating = false;
                st.next_node = q.next;
            }
            return true;
        }
        bool step_back(match_state<It>& st) const override {
            const group_quantifier& q = *m_quantifier;
            backref_tag<It>& rec = st.captures[q.m_group->group()];
            auto undoShift = [&] {
                rec.iteration_start = rec.prev_iteration_start;
                const loop_mark mark = st.stack->template pop<loop_mark>();
                rec.prev_iteration_start = mark.prev;
                if (mark.memo) st.memo->record(q.m_memoSlot, static_cast<size_t>(st.pos - st.text_begin));
                return false;
            };
            if (st.stack->template top<loop_mark>().empty) return undoShift();
            if (Greedy) {
                if (!rec.repeat_iterating) {
                    rec.repeat_iterating = true;
                    return undoShift();
                }
                --rec.repeat_count;
                if (rec.repeat_count < q.m_min) return undoShift();
                rec.repeat_iterating = false;
                st.next_node = q.next;
                return true;
            }
            if (rec.repeat_iterating) {
                --rec.repeat_count;
                return undoShift();
            }
            rec.repeat_iterating = true;
            if (rec.repeat_count >= q.m_max) return undoShift();
            ++rec.repeat_count;
            st.next_node = q.m_group;
            return true;
        }
        width_range width(width_context<It>&) override { return {0, 0}; }

    private:
        group_quantifier* m_quantifier;
    };

    group_quantifier(match_group_base<It>* group, uint32_t min, uint32_t max)
        : m_group(group), m_min(min), m_max(max), m_end(this) {}
    sub_expr<It>* end_node() { return &m_end; }
    void set_memo_slot(int32_t slot) override { m_memoSlot = slot; }
    int required_byte() const override { return m_min ? m_group->required_byte() : -1; }

    bool match_chain(match_state<It>& st, It pos) const override {
        count_step(st);
        backref_tag<It>& rec = st.captures[m_group->group()];
        uint32_t oldCount = rec.repeat_count;
        smart_iter<It> oldPrev = rec.prev_iteration_start;
        smart_iter<It> oldStart = rec.iteration_start;
        rec.prev_iteration_start = {};
        rec.iteration_start = {pos, true};
        rec.repeat_count = 0;
        if (loop_step(st, pos)) return true;
        backref_tag<It>& again = st.captures[m_group->group()];
        again.repeat_count = oldCount;
        again.prev_iteration_start = oldPrev;
        again.iteration_start = oldStart;
        return false;
    }
    width_range width(width_context<It>& ctx) override {
        width_range a = m_group->width(ctx);
        return {width_mul(a.min, m_min), width_mul(a.max, m_max)};
    }
    bool first_chars(first_char_hint& h) const override { return m_min != 0 && m_group->first_chars(h); }

    // Stack mode: the loop state of an enclosing run of the same group is kept
    // and put back; the first decision is taken at the end_quantifier.
    bool step_forward(match_state<It>& st) const override {
        spend_step(st);
        backref_tag<It>& rec = st.captures[m_group->group()];
        st.stack->push(
            old_quant{rec.repeat_count, rec.repeat_iterating, rec.prev_iteration_start, rec.iteration_start});
        push_frame<It>(st, this, st.pos);
        rec.repeat_count = 0;
        rec.repeat_iterating = true;
        rec.prev_iteration_start = {};
        rec.iteration_start = {};
        st.next_node = &m_end;
        return true;
    }
    bool step_back(match_state<It>& st) const override {
        auto old = st.stack->template pop<old_quant>();
        backref_tag<It>& rec = st.captures[m_group->group()];
        rec.repeat_count = old.count;
        rec.repeat_iterating = old.iterating;
        rec.prev_iteration_start = old.prev;
        rec.iteration_start = old.start;
        return false;
    }

    bool first_bytes(byteset& out, int depth) const override {
        if (depth >= kFirstBytesDepth || !m_group->first_bytes(out, depth + 1)) return false;
        return m_min != 0 || chain_first_bytes<It>(this->next, out, depth);
    }

private:
    // An iteration that matched nothing ends an unbounded loop once the
    // minimum is reached: another one from the same place could only do the
    // same. A bounded loop counts its iterations out, as Perl and PCRE2 do.
    bool ended_empty(const backref_tag<It>& rec, It pos) const {
        return m_max == kUnbounded && rec.iteration_start.set && rec.iteration_start.pos == pos &&
               rec.repeat_count >= m_min;
    }
    // Past its minimum, after an iteration that took text, an unbounded loop's
    // future depends on the position alone. (Not at the loop's entry: an
    // enclosing loop's iteration may have begun right there, and its own
    // empty-iteration stop then makes the future differ.)
    bool remembers(const match_state<It>& st, const backref_tag<It>& rec) const {
        return m_memoSlot >= 0 && st.memo && !st.no_empty && rec.repeat_count >= m_min &&
               rec.repeat_count > 0 && rec.iteration_start.set;
    }

    bool loop_step(match_state<It>& st, It p) const {
        const int32_t g = m_group->group();
        if (Greedy) {
            if (st.captures[g].repeat_count != m_max) {
                ++st.captures[g].repeat_count;
                if (m_group->match_chain(st, p)) return true;
                if (--st.captures[g].repeat_count < m_min) return false;
            }
            return this->next->match_chain(st, p);
        }
        if (st.captures[g].repeat_count >= m_min && this->next->match_chain(st, p)) return true;
        if (st.captures[g].repeat_count >= m_max) return false;
        ++st.captures[g].repeat_count;
        if (m_group->match_chain(st, p)) return true;
        --st.captures[g].repeat_count;
        return false;
    }

    struct old_quant {
        uint32_t count;
        bool iterating;
        smart_iter<It> prev;
        smart_iter<It> start;
    };
    // What the loop end's step_back needs: the shifted-out iteration start,
    // whether the iteration was empty, whether a failure is to be remembered.
    struct loop_mark {
        smart_iter<It> prev;
        bool empty;
        bool memo;
    };

    match_group_base<It>* m_group;
    uint32_t m_min;
    uint32_t m_max;
    int32_t m_memoSlot = -1;
    end_quantifier m_end;
};

template <class It>
sub_expr<It>* quantify_group(match_group_base<It>* group, uint32_t min, uint32_t max, bool greedy,
                             arena_allocator& arena) {
    sub_expr<It>* q;
    if (greedy) {
        auto* gq = arena.make<group_quantifier<It, true>>(group, min, max);
        group->next = gq->end_node();
        q = gq;
    } else {
        auto* gq = arena.make<group_quantifier<It, false>>(group, min, max);
        group->next = gq->end_node();
        q = gq;
    }
    return q;
}

template <class It>
sub_expr<It>* match_group<It>::quantify(uint32_t min, uint32_t max, bool greedy, arena_allocator& arena) {
    return quantify_group<It>(this, min, max, greedy, arena);
}

template <class It>
sub_expr<It>* independent_group<It>::quantify(uint32_t min, uint32_t max, bool greedy,
                                              arena_allocator& arena) {
    return quantify_group<It>(this, min, max, greedy, arena);
}

}  // namespace regex::detail
