// Compiling a pattern (build_graph), substitutions, the search entry with its
// repeated searches, and the walk over start positions of both drivers.
// Tested by tests/regex/rpattern_test.cpp, search_variants_test.cpp, behaviour_table_test.cpp
// and pcre2_differential_test.cpp.
#include "regex/rpattern.h"

#include <pthread.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "regex/nodes.h"
#include "regex/pattern_parser.h"

namespace regex {

namespace detail {

namespace {

// The recursive driver must never overflow the thread's stack: it stops this
// far above the stack's low end, and never uses more than kMaxBudget in all.
constexpr size_t kStackMargin = 256 * 1024;
constexpr size_t kMaxBudget = 8 * 1024 * 1024;
constexpr size_t kFallbackBudget = 512 * 1024;

uintptr_t ThreadStackLow() {
    thread_local uintptr_t low = [] {
        uintptr_t result = 0;
        pthread_attr_t attr;
        if (pthread_getattr_np(pthread_self(), &attr) == 0) {
            void* addr = nullptr;
            size_t size = 0;
            if (pthread_attr_getstack(&attr, &addr, &size) == 0) result = reinterpret_cast<uintptr_t>(addr);
            pthread_attr_destroy(&attr);
        }
        return result;
    }();
    return low;
}

[[gnu::noinline]] uintptr_t StackLimitForSearch() {
    auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    uintptr_t low = ThreadStackLow();
    if (low == 0 || here <= low) return here > kFallbackBudget ? here - kFallbackBudget : 0;
    size_t avail = here - low;
    size_t margin = std::min(avail / 4, kStackMargin);
    size_t budget = std::min(avail - margin, kMaxBudget);
    return here - budget;
}

// Parsing, and the walks over the graph after it, recurse once per level of
// nesting: the parser stops this far above the stack's low end, which leaves
// room for the walks (no deeper than the parser went) and for raising an error.
constexpr size_t kParseReserve = 24 * 1024;

uintptr_t StackLimitForParse() {
    uintptr_t low = ThreadStackLow();
    return low == 0 ? 0 : low + kParseReserve;
}

// The first position in [p, last] at which a match can start, or `end` when none.
template <class It>
It NextCandidate(const search_accel& accel, It p, It last, It end) {
    const char* text = std::to_address(p);
    const char* stop = std::to_address(last);
    switch (accel.how) {
        case search_accel::kind::prefix: {
            size_t span = static_cast<size_t>(stop - text) + accel.prefix_length;
            const void* hit = memmem(text, span, accel.prefix, accel.prefix_length);
            return hit ? p + (static_cast<const char*>(hit) - text) : end;
        }
        case search_accel::kind::one_byte: {
            const void* hit = std::memchr(text, accel.byte, static_cast<size_t>(stop - text) + 1);
            return hit ? p + (static_cast<const char*>(hit) - text) : end;
        }
        case search_accel::kind::set:
            break;
    }
    for (const char* c = text; c <= stop; ++c)
        if (accel.first.test(static_cast<unsigned char>(*c))) return p + (c - text);
    return end;
}

// First token of the pattern text, after the layout that free_spacing skips.
bool StartsWithToken(const std::string& pattern, int flags, char c, const char** after) {
    const char* it = pattern.data();
    const char* end = it + pattern.size();
    perl_syntax<char>::skip_layout(it, end, flags);
    if (it == end || *it != c) return false;
    *after = it + 1;
    return true;
}

}  // namespace

template <class It>
basic_rpattern_base_impl<It>::basic_rpattern_base_impl(std::string pattern, int flags, int mode)
    : m_flags(flags), m_mode(mode), m_pattern(std::move(pattern)) {}

template <class It>
basic_rpattern_base_impl<It>::basic_rpattern_base_impl(basic_rpattern_base_impl&& other) noexcept
    : basic_rpattern_base_impl(std::string(), 0, 0) {
    swap_impl(other);
}

template <class It>
basic_rpattern_base_impl<It>::~basic_rpattern_base_impl() = default;

template <class It>
void basic_rpattern_base_impl<It>::swap_impl(basic_rpattern_base_impl& o) noexcept {
    using std::swap;
    swap(m_arena, o.m_arena);
    swap(m_hasSubstitution, o.m_hasSubstitution);
    swap(m_substitution, o.m_substitution);
    swap(m_substitutionItems, o.m_substitutionItems);
    swap(m_floating, o.m_floating);
    swap(m_recursionAllowed, o.m_recursionAllowed);
    swap(m_groupCount, o.m_groupCount);
    swap(m_visibleGroupCount, o.m_visibleGroupCount);
    swap(m_flags, o.m_flags);
    swap(m_mode, o.m_mode);
    swap(m_minWidth, o.m_minWidth);
    swap(m_stepBudget, o.m_stepBudget);
    swap(m_memoSlots, o.m_memoSlots);
    swap(m_requiredByte, o.m_requiredByte);
    swap(m_requiredOffset, o.m_requiredOffset);
    swap(m_maxWidth, o.m_maxWidth);
    swap(m_pattern, o.m_pattern);
    swap(m_first, o.m_first);
    swap(m_invisibleGroups, o.m_invisibleGroups);
    swap(m_accel, o.m_accel);
    swap(m_leadingRun, o.m_leadingRun);
}

}  // namespace detail

template <class It, class Syntax>
basic_rpattern_base<It, Syntax>::basic_rpattern_base()
    : detail::basic_rpattern_base_impl<It>(std::string(), 0, 0) {}

template <class It, class Syntax>
basic_rpattern_base<It, Syntax>::basic_rpattern_base(const std::string& pattern, int flags, int mode)
    : detail::basic_rpattern_base_impl<It>(pattern, flags, mode) {
    build_graph();
}

template <class It, class Syntax>
basic_rpattern_base<It, Syntax>::basic_rpattern_base(const std::string& pattern,
                                                     const std::string& substitution, int flags, int mode)
    : detail::basic_rpattern_base_impl<It>(pattern, flags, mode) {
    this->m_substitution = flags & expand_escapes ? expand_substitution_escapes(substitution) : substitution;
    build_graph();
    parse_substitution(this->m_substitution, this->m_visibleGroupCount, this->m_hasSubstitution,
                       this->m_substitutionItems);
}

template <class It, class Syntax>
basic_rpattern_base<It, Syntax>::basic_rpattern_base(const basic_rpattern_base& other)
    : detail::basic_rpattern_base_impl<It>(other.m_pattern, other.m_flags, other.m_mode) {
    // The stored substitution is already expanded: it is parsed again, not expanded again.
    this->m_substitution = other.m_substitution;
    this->m_stepBudget = other.m_stepBudget;
    if (other.m_first) {
        build_graph();
        parse_substitution(this->m_substitution, this->m_visibleGroupCount, this->m_hasSubstitution,
                           this->m_substitutionItems);
    }
}

template <class It, class Syntax>
void basic_rpattern_base<It, Syntax>::init(const std::string& pattern, int flags, int mode) {
    basic_rpattern_base fresh(pattern, flags, mode);
    this->swap_impl(fresh);
}

template <class It, class Syntax>
void basic_rpattern_base<It, Syntax>::init(const std::string& pattern, const std::string& substitution,
                                           int flags, int mode) {
    basic_rpattern_base fresh(pattern, substitution, flags, mode);
    this->swap_impl(fresh);
}

template <class It, class Syntax>
void basic_rpattern_base<It, Syntax>::set_substitution(const std::string& substitution) {
    std::string text =
        this->m_flags & expand_escapes ? expand_substitution_escapes(substitution) : substitution;
    bool hasReference = false;
    std::vector<subst_item> items;
    parse_substitution(text, this->m_visibleGroupCount, hasReference, items);
    this->m_substitution.swap(text);
    this->m_substitutionItems.swap(items);
    this->m_hasSubstitution = hasReference;
}

template <class It, class Syntax>
basic_rpattern_base<It, Syntax>::basic_rpattern_base(basic_rpattern_base&& other) noexcept
    : detail::basic_rpattern_base_impl<It>(std::move(other)) {}

template <class It, class Syntax>
basic_rpattern_base<It, Syntax>& basic_rpattern_base<It, Syntax>::operator=(
    const basic_rpattern_base& other) {
    if (this != &other) {
        basic_rpattern_base copy(other);
        this->swap_impl(copy);
    }
    return *this;
}

template <class It, class Syntax>
basic_rpattern_base<It, Syntax>& basic_rpattern_base<It, Syntax>::operator=(
    basic_rpattern_base&& other) noexcept {
    if (this != &other) {
        basic_rpattern_base empty;
        this->swap_impl(empty);
        this->swap_impl(other);
    }
    return *this;
}

template <class It, class Syntax>
basic_rpattern_base<It, Syntax>::~basic_rpattern_base() = default;

template <class It, class Syntax>
const backref_tag<It>& basic_rpattern_base<It, Syntax>::no_match_record() {
    static const backref_tag<It> record;
    return record;
}

template <class It, class Syntax>
void basic_rpattern_base<It, Syntax>::build_graph() {
    using namespace detail;
    auto arena = std::make_unique<arena_allocator>();
    pattern_parser<It, Syntax> parser(this->m_pattern, this->m_flags, *arena, StackLimitForParse());
    match_group<It>* top = parser.parse();
    top->next = arena->make<end_of_pattern<It>>();

    width_context<It> ctx;
    ctx.groups = std::move(parser.group_table());  // the parser is done with it
    ctx.groups.resize(parser.group_count(), nullptr);
    width_range w = top->width(ctx);

    for (sub_expr<It>* node : parser.nodes_to_finish()) node->finish(*arena);

    this->m_groupCount = parser.group_count();
    this->m_visibleGroupCount = parser.visible_group_count();
    this->m_invisibleGroups = parser.invisible_groups();
    this->m_recursionAllowed = parser.recursion_allowed();
    this->m_minWidth = w.min;
    this->m_maxWidth = w.max;
    this->m_memoSlots = parser.memo_slots();
    this->m_requiredByte = chain_required_byte<It>(top);
    this->m_requiredOffset = 0;
    if (top->alternative_count() == 1) {
        // The nodes before the one that holds the byte take at least their
        // least width: a match holds the byte that far from its start.
        uint32_t before = 0;
        this->m_requiredByte = -1;
        for (sub_expr<It>* node = top->alternatives()->first; node; node = node->next) {
            if (int b = node->required_byte(); b >= 0) {
                this->m_requiredByte = b;
                this->m_requiredOffset = before;
            }
            before = width_add(before, node->width(ctx).min);
        }
    }

    // Anchored patterns get a single attempt at the search start.
    this->m_floating = true;
    const char* after = nullptr;
    const bool oneAlternative = top->alternative_count() == 1;
    if (!(this->m_flags & multi_line) && oneAlternative &&
        StartsWithToken(this->m_pattern, this->m_flags, '^', &after)) {
        this->m_floating = false;
        this->m_flags &= ~search_from_right;
    }
    if (!(this->m_flags & search_from_right) && (this->m_flags & dot_matches_newline) && oneAlternative &&
        StartsWithToken(this->m_pattern, this->m_flags, '.', &after)) {
        const char* end = this->m_pattern.data() + this->m_pattern.size();
        token_kind q = Syntax::next_quantifier_token(after, end, this->m_flags);
        if (q == TK_STAR || q == TK_PLUS || q == TK_STAR_LAZY || q == TK_PLUS_LAZY) this->m_floating = false;
    }

    // Start-position hints, for patterns tried at more than one position. Both
    // kinds imply that every match consumes at least one character.
    if (this->m_floating && w.min >= 1) {
        auto* accel = arena->make<search_accel>();
        bool hasSet = top->first_bytes(accel->first, 0);
        if (parser.prefix() && parser.prefix_length() >= 2) {
            accel->how = search_accel::kind::prefix;
            accel->prefix = parser.prefix();
            accel->prefix_length = parser.prefix_length();
            this->m_accel = accel;
        } else if (hasSet) {
            accel->how = accel->first.count() == 1 ? search_accel::kind::one_byte : search_accel::kind::set;
            accel->byte = accel->first.lowest();
            this->m_accel = accel;
        }
    }

    if (this->m_floating && !(this->m_flags & search_from_right) && oneAlternative &&
        parser.position_independent())
        this->m_leadingRun = top->alternatives()->first->leading_run();

    this->m_first = top;
    this->m_arena = std::move(arena);
}

template <class It, class Syntax>
const backref_tag<It>& basic_rpattern_base<It, Syntax>::match_text(const std::string& text,
                                                                   results_type& results, size_t position,
                                                                   size_t length) const {
    It begin;
    if constexpr (std::is_pointer_v<It>)
        begin = text.data();
    else
        begin = text.begin();
    if (position > text.size()) {
        // Nothing to search: report no match rather than reading outside the text.
        results.m_groups.assign(this->m_visibleGroupCount, backref_tag<It>());
        results.m_searchStart = begin + text.size();
        return no_match_record();
    }
    It start = begin + position;
    It end = length < text.size() - position ? start + length : begin + text.size();
    if (!run_search(results, start, end)) return no_match_record();
    return results.m_groups[0];
}

template <class It, class Syntax>
bool basic_rpattern_base<It, Syntax>::run_search(results_type& results, It start, It end) const {
    results.m_searchStart = start;
    results.m_steps = 0;
    detail::search_context<It> ctx;
    ctx.steps_left = this->m_stepBudget + steps_per_character * static_cast<uint64_t>(end - start);
    if (this->m_requiredByte >= 0 && this->m_first) {
        // Every match holds this byte: no start after its last occurrence can match.
        ctx.required_known = true;
        const char* from = std::to_address(start);
        if (const void* hit = memrchr(from, this->m_requiredByte, static_cast<size_t>(end - start))) {
            ctx.required_found = true;
            ctx.required_last = start + (static_cast<const char*>(hit) - from);
        }
    }
    if (!(this->m_flags & repeat_search)) return match_once(results, ctx, start, end, start, false);

    const bool wholeMatches = this->m_flags & collect_whole_matches;
    const bool allGroups = !wholeMatches && (this->m_flags & collect_all_groups);
    std::vector<backref_tag<It>> collection;
    It attemptStart = start;
    bool noEmpty = false;
    while (match_once(results, ctx, start, end, attemptStart, noEmpty)) {
        const backref_tag<It> whole = results.m_groups[0];
        if (wholeMatches)
            collection.push_back(whole);
        else if (allGroups)
            collection.insert(collection.end(), results.m_groups.begin(), results.m_groups.end());
        else
            collection.swap(results.m_groups);
        // The next match starts where this one ended; an empty one may not
        // be found again at the same place.
        attemptStart = whole.end;
        noEmpty = whole.begin == whole.end;
    }
    results.m_groups.swap(collection);
    return !results.m_groups.empty();
}

template <class It, class Syntax>
bool basic_rpattern_base<It, Syntax>::match_positions(detail::match_state<It>& st, It attemptStart, It last,
                                                      bool recursive) const {
    using namespace detail;
    hetero_stack stack;
    if (!recursive) st.stack = &stack;
    auto attempt = [&](It p) {
        if (recursive) {
            spend_step(st);  // as run_steps counts its start
            return this->m_first->match_chain(st, p);
        }
        st.pos = p;
        return run_steps<It>(st, this->m_first);
    };
    if (this->m_flags & search_from_right) {
        // Rightmost match: the last start that fits first, down to the attempt start.
        // The walk ends at the attempt start, so an empty match refused there
        // stays refused: a repeated search cannot find it forever.
        for (It p = last;; --p) {
            if (attempt(p)) return true;
            if (p == attemptStart) return false;
        }
    }
    It p = attemptStart;
    for (;;) {
        if (this->m_floating && this->m_accel) {
            p = NextCandidate(*this->m_accel, p, last, st.text_end);
            if (p == st.text_end) return false;
        }
        if (attempt(p)) return true;
        if (!this->m_floating || p == last) return false;
        ++p;
        st.no_empty = false;
        if (const byteset* run = this->m_leadingRun) {
            // A start inside the run the failed attempt's repeat could take fails as it did.
            It q = p;
            while (q <= last && run->test(static_cast<unsigned char>(q[-1]))) ++q;
            spend_scanned(st, static_cast<uint64_t>(q - p));
            if (q > last) return false;
            p = q;
        }
    }
}

template <class It, class Syntax>
bool basic_rpattern_base<It, Syntax>::match_once(results_type& results, detail::search_context<It>& ctx,
                                                 It start, It end, It attemptStart, bool noEmpty) const {
    using namespace detail;
    std::vector<backref_tag<It>>& records = results.m_groups;
    records.assign(this->m_groupCount, backref_tag<It>());
    bool matched = false;

    bool recursive =
        this->m_mode == recursive_mode || (this->m_mode == pattern_chooses_mode && this->m_recursionAllowed);
    if (this->m_first && this->m_minWidth <= static_cast<size_t>(end - attemptStart)) {
        It last = end - static_cast<ptrdiff_t>(this->m_minWidth);
        bool possible = true;
        if (ctx.required_known) {
            if (!ctx.required_found ||
                ctx.required_last - attemptStart < static_cast<ptrdiff_t>(this->m_requiredOffset))
                possible = false;
            else
                last = std::min(last, ctx.required_last - static_cast<ptrdiff_t>(this->m_requiredOffset));
        }
        match_state<It> st;
        st.captures = records.data();
        st.capture_count = this->m_groupCount;
        st.text_begin = start;
        st.text_end = end;
        st.attempt_start = attemptStart;
        st.no_empty = noEmpty;
        st.behind_end = end;
        st.first_node = this->m_first;
        st.stack_limit = StackLimitForSearch();
        // Linear work on long text is no threat: each character adds its share.
        st.steps_left = ctx.steps_left;
        if (this->m_memoSlots) {
            // Failures hang on the position alone: one memo serves every search of the text.
            if (!ctx.memo) ctx.memo.emplace(this->m_memoSlots, static_cast<size_t>(end - start) + 1);
            st.memo = &*ctx.memo;
        }
        const uint64_t allowed = st.steps_left;
        while (possible) {
            st.captures = records.data();
            try {
                matched = match_positions(st, attemptStart, last, recursive);
                results.m_steps += allowed - st.steps_left;
                ctx.steps_left = st.steps_left;
                break;
            } catch (const depth_exceeded&) {
                records.assign(this->m_groupCount, backref_tag<It>());
                st.stack = nullptr;
                st.no_empty = noEmpty;
                // Too deep for the machine stack: the stack driver gives the same answer
                // with less of it. Where even that is too deep, the answer is unknown.
                if (!recursive) {
                    records.assign(this->m_visibleGroupCount, backref_tag<It>());
                    throw match_limit_exceeded(match_limit_exceeded::reason::depth);
                }
                recursive = false;
            } catch (const steps_exceeded&) {
                records.assign(this->m_visibleGroupCount, backref_tag<It>());
                throw match_limit_exceeded(match_limit_exceeded::reason::steps);
            }
        }
    }

    // Only the groups the caller can name stay, in order.
    if (!matched) {
        // A recursion may leave the groups it set behind a failed attempt.
        records.assign(this->m_groupCount - this->m_invisibleGroups.size(), backref_tag<It>());
        return false;
    }
    if (!this->m_invisibleGroups.empty()) {
        size_t out = 0;
        size_t inv = 0;
        for (size_t i = 0; i < records.size(); ++i) {
            if (inv < this->m_invisibleGroups.size() && this->m_invisibleGroups[inv] == i) {
                ++inv;
                continue;
            }
            if (out != i) records[out] = records[i];
            ++out;
        }
        records.resize(out);
    }
    return true;
}

template class detail::basic_rpattern_base_impl<std::string::const_iterator>;
template class basic_rpattern_base<std::string::const_iterator, perl_syntax<char>>;
template class detail::basic_rpattern_base_impl<const char*>;
template class basic_rpattern_base<const char*, perl_syntax<char>>;

}  // namespace regex
