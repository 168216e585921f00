// Compiled Perl-syntax patterns, their capture records and the results of a search.
// This is all that other code sees of the pattern engine; the node graph, the
// parser and the drivers stay in the .cpp files.
// Tested by tests/regex/rpattern_test.cpp, search_variants_test.cpp, behaviour_table_test.cpp
// and pcre2_differential_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "regex/substitution.h"

namespace regex {

// Regex flags: one bit set, combined with "|".
inline constexpr int noflags = 0;
inline constexpr int ignore_case = 1;
inline constexpr int repeat_search = 2;
inline constexpr int multi_line = 4;
inline constexpr int dot_matches_newline = 8;
inline constexpr int search_from_right = 16;
inline constexpr int collect_whole_matches = 64;
inline constexpr int collect_all_groups = 128;
inline constexpr int expand_escapes = 256;
inline constexpr int free_spacing = 512;

// Driver modes.
inline constexpr int recursive_mode = 0;
inline constexpr int stack_mode = 1;
inline constexpr int pattern_chooses_mode = 2;

// A malformed pattern. The message is one of the parser's fixed texts.
class bad_regexpr : public std::invalid_argument {
public:
    explicit bad_regexpr(const std::string& message) : std::invalid_argument(message) {}
};

// A search that gave up before it knew the answer: it spent its step budget,
// or its nesting outgrew the stack of both drivers. Never "no match": the text
// may or may not match. Derived from bad_regexpr so that code which already
// handles the engine's errors does not take it for an answer.
class match_limit_exceeded : public bad_regexpr {
public:
    enum class reason { steps, depth };
    explicit match_limit_exceeded(reason why)
        : bad_regexpr(why == reason::steps ? "pattern search exceeded its step budget"
                                           : "pattern search nested too deeply"),
          m_reason(why) {}
    reason why() const { return m_reason; }

private:
    reason m_reason;
};

// Steps (choices taken: alternatives, loop iterations, assertions, start
// positions; characters a repeat gives back or a back-reference compares;
// every fourth character a repeat scans) one search may take, on top of steps_per_character for each
// character of its text, before it raises match_limit_exceeded. A repeated
// search shares one allowance. Both drivers count alike. The program's own
// patterns take a few hundred on their real input; a million stops a
// runaway search on short text within a few milliseconds.
inline constexpr uint64_t default_step_budget = 1'000'000;
// Steps each character of the searched text adds to the budget: enough for
// a search that tries a dozen choices at each character, and little enough
// that a runaway search on a megabyte stops within a second.
inline constexpr uint64_t steps_per_character = 24;

template <class CharT>
class perl_syntax;

// A text position with a "set" flag; an unset one never equals a real position.
template <class It>
struct smart_iter {
    It pos{};
    bool set = false;
};

// One group of a match. `begin`/`end` are meaningful only when `matched`.
template <class It>
struct backref_tag {
    It begin{};
    It end{};
    bool matched = false;
    It pending_begin{};  // where the group was last entered, while its end is not known
    uint32_t repeat_count = 0;
    bool repeat_iterating = false;
    smart_iter<It> prev_iteration_start;
    smart_iter<It> iteration_start;

    backref_tag() = default;
    backref_tag(It b, It e) : begin(b), end(e), pending_begin(b) {}

    // The characters the group matched; empty when it took no part in the match.
    std::string str() const { return matched ? std::string(begin, end) : std::string(); }
    size_t length() const { return matched ? static_cast<size_t>(end - begin) : 0; }
};

template <class It, class Syntax>
class basic_rpattern_base;

// The groups of the last search: element 0 is the whole match, then one
// element per capturing group in the order of its "(".
template <class It>
class basic_match_results {
public:
    virtual ~basic_match_results() = default;

    const backref_tag<It>& backref(size_t n) const {
        if (n >= m_groups.size()) throw std::out_of_range("invalid vector<T> subscript");
        return m_groups[n];
    }
    const backref_tag<It>& operator[](size_t n) const { return backref(n); }
    size_t size() const { return m_groups.size(); }
    It search_start() const { return m_searchStart; }
    // Steps the last search took (every search of a repeated one), for
    // setting a pattern's step budget.
    uint64_t steps() const { return m_steps; }

private:
    template <class, class>
    friend class basic_rpattern_base;

    std::vector<backref_tag<It>> m_groups;
    It m_searchStart{};
    uint64_t m_steps = 0;
};

namespace detail {

class arena_allocator;
template <class It>
class sub_expr;
template <class It>
struct match_state;
template <class It>
struct search_context;
struct search_accel;
struct byteset;

// Everything a compiled pattern owns. Read-only once compiled, so one pattern
// serves any number of searches that do not overlap.
template <class It>
class basic_rpattern_base_impl {
public:
    virtual ~basic_rpattern_base_impl();

protected:
    basic_rpattern_base_impl(std::string pattern, int flags, int mode);
    basic_rpattern_base_impl(basic_rpattern_base_impl&&) noexcept;
    void swap_impl(basic_rpattern_base_impl& other) noexcept;

    std::unique_ptr<arena_allocator> m_arena;
    bool m_hasSubstitution = false;  // the substitution refers to a group or to the text around the match
    bool m_floating = true;
    bool m_recursionAllowed = true;
    uint32_t m_groupCount = 0;
    uint32_t m_visibleGroupCount = 0;
    int m_flags = 0;
    int m_mode = 0;
    uint64_t m_stepBudget = default_step_budget;
    uint32_t m_memoSlots = 0;       // loop ends whose failures a search may remember
    int m_requiredByte = -1;        // a byte every match contains, or -1
    uint32_t m_requiredOffset = 0;  // the least number of characters of a match before that byte
    uint32_t m_minWidth = 0xFFFFFFFFu;
    uint32_t m_maxWidth = 0xFFFFFFFFu;
    std::string m_pattern;
    std::string m_substitution;
    std::vector<subst_item> m_substitutionItems;
    sub_expr<It>* m_first = nullptr;
    std::vector<uint32_t> m_invisibleGroups;
    const search_accel* m_accel = nullptr;  // start-position hints, in the arena
    const byteset* m_leadingRun = nullptr;  // see sub_expr::leading_run, in the arena
};

}  // namespace detail

template <class It, class Syntax = perl_syntax<char>>
class basic_rpattern_base : public detail::basic_rpattern_base_impl<It> {
public:
    using backref_type = backref_tag<It>;
    using results_type = basic_match_results<It>;

    // An empty pattern with no graph: assign a compiled one before matching.
    basic_rpattern_base();
    // Compiles at once; a malformed pattern raises bad_regexpr.
    explicit basic_rpattern_base(const std::string& pattern, int flags = noflags, int mode = recursive_mode);
    // With a substitution text, expanded first when expand_escapes is set.
    basic_rpattern_base(const std::string& pattern, const std::string& substitution, int flags = noflags,
                        int mode = recursive_mode);
    basic_rpattern_base(const basic_rpattern_base& other);
    basic_rpattern_base(basic_rpattern_base&& other) noexcept;
    basic_rpattern_base& operator=(const basic_rpattern_base& other);
    basic_rpattern_base& operator=(basic_rpattern_base&& other) noexcept;
    ~basic_rpattern_base() override;

    void swap(basic_rpattern_base& other) noexcept { this->swap_impl(other); }

    // Compile another pattern into this object; on bad_regexpr it is unchanged.
    void init(const std::string& pattern, int flags = noflags, int mode = recursive_mode);
    void init(const std::string& pattern, const std::string& substitution, int flags = noflags,
              int mode = recursive_mode);
    // Replaces the substitution only; on bad_regexpr the old one stays.
    void set_substitution(const std::string& substitution);

    // Searches `text` from character `position` for at most `length` characters.
    // Returns group 0 of `results` on a match, else a record whose `matched` is false.
    const backref_tag<It>& match_text(const std::string& text, results_type& results, size_t position = 0,
                                      size_t length = static_cast<size_t>(-1)) const;

    // Searches [start, end); true when the pattern was found.
    bool run_search(results_type& results, It start, It end) const;
    // Searches the NUL-terminated text at `start`: its end is its first NUL.
    bool run_search(results_type& results, It start) const {
        return run_search(results, start,
                          start + static_cast<ptrdiff_t>(std::strlen(std::to_address(start))));
    }

    // match_text on NUL-terminated text, for the character-pointer form.
    template <class P = It>
    requires std::is_pointer_v<P>
    const backref_tag<It>& match_text(const char* text, results_type& results, size_t position = 0,
                                      size_t length = static_cast<size_t>(-1)) const {
        const size_t size = std::strlen(text);
        if (position > size) {
            results.m_groups.assign(this->m_visibleGroupCount, backref_tag<It>());
            results.m_searchStart = text + size;
            return no_match_record();
        }
        P start = text + position;
        P end = length < size - position ? start + length : text + size;
        if (!run_search(results, start, end)) return no_match_record();
        return results.m_groups[0];
    }

    // Steps each later search may take (at least 1) on top of steps_per_character
    // per character of its text; a search that needs more raises match_limit_exceeded.
    void set_step_budget(uint64_t steps) { this->m_stepBudget = steps ? steps : 1; }
    uint64_t step_budget() const { return this->m_stepBudget; }

    const std::string& pattern() const { return this->m_pattern; }
    int flags() const { return this->m_flags; }
    int mode() const { return this->m_mode; }
    uint32_t group_count() const { return this->m_groupCount; }
    uint32_t visible_group_count() const { return this->m_visibleGroupCount; }
    uint32_t min_width() const { return this->m_minWidth; }
    uint32_t max_width() const { return this->m_maxWidth; }
    bool floating() const { return this->m_floating; }
    bool recursion_allowed() const { return this->m_recursionAllowed; }
    const std::vector<uint32_t>& invisible_groups() const { return this->m_invisibleGroups; }
    const std::string& substitution() const { return this->m_substitution; }
    const std::vector<subst_item>& substitution_items() const { return this->m_substitutionItems; }
    bool has_substitution_references() const { return this->m_hasSubstitution; }

    static const backref_tag<It>& no_match_record();

private:
    void build_graph();
    bool match_once(results_type& results, detail::search_context<It>& ctx, It start, It end, It attemptStart,
                    bool noEmpty) const;
    bool match_positions(detail::match_state<It>& st, It attemptStart, It last, bool recursive) const;
};

template <class It, class Syntax = perl_syntax<char>>
class basic_rpattern : public basic_rpattern_base<It, Syntax> {
public:
    using basic_rpattern_base<It, Syntax>::basic_rpattern_base;
};

// The forms the program uses: patterns searched over std::string.
using rpattern = basic_rpattern<std::string::const_iterator>;
using match_results = basic_match_results<std::string::const_iterator>;
using rpattern_c = basic_rpattern<const char*>;
using match_results_c = basic_match_results<const char*>;

}  // namespace regex
