// Turns the text of a Perl-syntax pattern into the node graph of nodes.h.
// Internal to the engine: only regex/rpattern.cpp includes it.
// A recursive-descent reader: parse_group, parse_item, parse_literal_run and
// parse_quantifier. Nesting is bounded so that a hostile pattern cannot
// exhaust the stack while it is parsed or measured.
// Tested by tests/regex/behaviour_table_test.cpp and pcre2_differential_test.cpp.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "regex/nodes.h"
#include "regex/perl_syntax.h"

namespace regex::detail {

// Repeat counts above this are refused rather than wrapped (PCRE2 uses the same bound).
constexpr uint64_t kMaxRepeatCount = 65535;
// Deeper nesting than any real pattern needs; each level costs stack while parsing.
constexpr int kMaxNesting = 200;

template <class It, class Syntax = perl_syntax<char>>
class pattern_parser {
public:
    // `stackLimit`: the parser refuses a pattern whose nesting would take its
    // stack below this address (0: no such limit).
    pattern_parser(const std::string& pattern, int flags, arena_allocator& arena, uintptr_t stackLimit = 0)
        : m_begin(pattern.data()),
          m_end(pattern.data() + pattern.size()),
          m_flags(flags),
          m_arena(arena),
          m_stackLimit(stackLimit) {}

    // Parses the whole pattern as the body of group 0.
    match_group<It>* parse() {
        const char* it = m_begin;
        auto* top = static_cast<match_group<It>*>(parse_group(it, true));
        // Back-references name capturing groups; the graph counts every group.
        for (uint32_t* g : m_backrefGroups) {
            for (uint32_t inv : m_invisibleGroups) {
                if (inv <= *g)
                    ++*g;
                else
                    break;
            }
            if (*g >= m_groupCount) throw bad_regexpr("reference to nonexistent group");
        }
        m_memoSlots = assign_memo_slots();
        return top;
    }

    uint32_t group_count() const { return m_groupCount; }
    uint32_t visible_group_count() const { return m_visibleGroupCount; }
    const std::vector<uint32_t>& invisible_groups() const { return m_invisibleGroups; }
    bool recursion_allowed() const { return m_recursionAllowed; }
    std::vector<match_group_base<It>*>& group_table() { return m_groupTable; }
    const std::vector<sub_expr<It>*>& nodes_to_finish() const { return m_toFinish; }
    // The literal every match of the whole pattern begins with, if any.
    const char* prefix() const { return m_prefix; }
    uint32_t prefix_length() const { return m_prefixLength; }
    uint32_t memo_slots() const { return m_memoSlots; }
    // Whether a match depends on nothing but the text from where it starts
    // (no back-references, conditions or recursion).
    bool position_independent() const {
        return m_backrefGroups.empty() && !m_hasConditional && !m_hasRecursion;
    }

private:
    // Where each group stands and how it is quantified: the memo slots need it.
    struct group_place {
        match_group_base<It>* group;
        int parent;  // index of the enclosing group's place, -1 directly in group 0
        sub_expr<It>* quantifier = nullptr;
        uint64_t min = 0;
        uint64_t max = 0;
    };

    // Unbounded group loops whose failures a search may remember by position.
    // Captures must not steer the match (no back-references, conditions or
    // recursion), no look-behind may hold the loop (its end moves), and no
    // loop around it may count (a bound or a minimum above one would make
    // the future depend on the count) up to the nearest atomic body.
    uint32_t assign_memo_slots() {
        if (!m_backrefGroups.empty() || m_hasConditional || m_hasRecursion) return 0;
        uint32_t slots = 0;
        for (const group_place& place : m_places) {
            if (!place.quantifier || place.max != kUnbounded) continue;
            bool eligible = true;
            for (int i = place.parent; i >= 0 && eligible;) {
                const group_place& outer = m_places[static_cast<size_t>(i)];
                if (dynamic_cast<lookbehind_assertion<It>*>(outer.group)) {
                    eligible = false;
                    break;
                }
                if (dynamic_cast<independent_group_base<It>*>(outer.group)) break;
                if (outer.quantifier && (outer.min > 1 || outer.max != kUnbounded)) eligible = false;
                i = outer.parent;
            }
            if (eligible) place.quantifier->set_memo_slot(static_cast<int32_t>(slots++));
        }
        return slots;
    }

    [[noreturn]] static void Fail(const char* message) { throw bad_regexpr(message); }

    static unsigned char ToLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
    static unsigned char ToUpper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    struct depth_guard {
        explicit depth_guard(int& depth) : m_depth(depth) {
            if (++m_depth > kMaxNesting) {
                --m_depth;
                Fail("parentheses nested too deeply");
            }
        }
        ~depth_guard() { --m_depth; }
        int& m_depth;
    };

    // Decimal digits, stopping before the value would exceed `limit`.
    static uint32_t read_number(const char*& it, const char* end, uint32_t limit) {
        uint64_t value = 0;
        while (it != end && IsDigit(*it) && value < limit) value = value * 10 + (*it++ - '0');
        if (value > limit) {
            --it;
            return static_cast<uint32_t>(value / 10);
        }
        return static_cast<uint32_t>(value);
    }
    // All the digits, saturating; the caller checks the bound.
    static uint64_t read_count(const char*& it, const char* end) {
        uint64_t value = 0;
        while (it != end && IsDigit(*it)) {
            value = value * 10 + (*it++ - '0');
            if (value > kMaxRepeatCount) value = kMaxRepeatCount + 1;
        }
        return value;
    }

    // Text copied into the arena; literal nodes point at it.
    char* copy_text(const char* text, size_t length) {
        auto* p = static_cast<char*>(m_arena.allocate(length ? length : 1));
        std::memcpy(p, text, length);
        return p;
    }

    sub_expr<It>* make_char_node(unsigned char c) {
        if (m_flags & ignore_case) {
            unsigned char lower = ToLower(c), upper = ToUpper(c);
            if (lower != upper) return m_arena.make<match_char_nocase_t<It>>(lower, upper);
        }
        return m_arena.make<match_char_t<It>>(c);
    }

    sub_expr<It>* make_literal_node(const std::string& text) {
        if (text.size() == 1) return make_char_node(static_cast<unsigned char>(text[0]));
        auto length = static_cast<uint32_t>(text.size());
        if (m_flags & ignore_case) {
            char* upper = copy_text(text.data(), text.size());
            char* lower = copy_text(text.data(), text.size());
            for (uint32_t i = 0; i < length; ++i) {
                upper[i] = static_cast<char>(ToUpper(static_cast<unsigned char>(upper[i])));
                lower[i] = static_cast<char>(ToLower(static_cast<unsigned char>(lower[i])));
            }
            return m_arena.make<match_literal_nocase_t<It>>(upper, lower, length);
        }
        return m_arena.make<match_literal_t<It>>(copy_text(text.data(), text.size()), length);
    }

    sub_expr<It>* make_shared_set_node(intrinsic which) {
        return m_arena.make<match_charset_t<It>>(&intrinsic_charset(which));
    }

    sub_expr<It>* parse_group(const char*& it, bool top) {
        depth_guard guard(m_depth);
        if (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < m_stackLimit)
            Fail("parentheses nested too deeply for the stack");
        const int savedFlags = m_flags;
        const uint32_t firstNested = m_groupCount;

        // Group 0 takes no extension: a pattern that starts with "?" has nothing to quantify.
        token_kind ext = TK_NONE;
        if (!top && it != m_end) {
            ext = Syntax::next_extension_token(it, m_end, m_flags);
            if (ext != TK_NONE && it == m_end) Fail("ill-formed regular expression");
        }
        if (ext == TK_X_RECURSE) {
            const char* look = it;
            if (Syntax::next_token(look, m_end, m_flags) != TK_CLOSE) Fail("bad extension sequence");
            it = look;
            m_recursionAllowed = false;
            m_hasRecursion = true;
            return m_arena.make<match_recurse<It>>();
        }
        if (ext != TK_NONE) {
            const char* look = it;
            if (Syntax::next_token(look, m_end, m_flags) == TK_CLOSE) {
                // An empty construct builds nothing, except that an empty negative
                // look-around can never hold. Bare options "(?i)" stay in force to the
                // end of the enclosing group; scoped ones "(?i:)" end with their group.
                const bool scoped = ext == TK_X_GROUP && it[-1] == ':';
                if (scoped) m_flags = savedFlags;
                // An empty group still stands where an item does: it may be quantified.
                m_emptyGroup = scoped || ext == TK_X_ATOMIC || ext == TK_X_AHEAD || ext == TK_X_BEHIND;
                it = look;
                if (ext == TK_X_NOT_AHEAD || ext == TK_X_NOT_BEHIND) return m_arena.make<match_fail<It>>();
                return nullptr;
            }
        }

        match_group_base<It>* group = nullptr;
        match_conditional<It>* conditional = nullptr;
        if (top) {
            group = m_arena.make<match_group<It>>(static_cast<int32_t>(m_groupCount++), m_arena);
            ++m_visibleGroupCount;
        } else {
            switch (ext) {
                case TK_NONE:
                    group = m_arena.make<match_group<It>>(static_cast<int32_t>(m_groupCount++), m_arena);
                    ++m_visibleGroupCount;
                    break;
                case TK_X_GROUP:
                    m_invisibleGroups.push_back(m_groupCount);
                    group = m_arena.make<match_group<It>>(static_cast<int32_t>(m_groupCount++), m_arena);
                    break;
                case TK_X_ATOMIC:
                    m_invisibleGroups.push_back(m_groupCount);
                    group = m_arena.make<independent_group<It>>(static_cast<int32_t>(m_groupCount++), true,
                                                                m_arena);
                    break;
                case TK_X_AHEAD:
                case TK_X_NOT_AHEAD:
                    group = m_arena.make<lookahead_assertion<It>>(ext == TK_X_AHEAD, m_arena);
                    break;
                case TK_X_BEHIND:
                case TK_X_NOT_BEHIND:
                    group = m_arena.make<lookbehind_assertion<It>>(ext == TK_X_BEHIND, m_arena);
                    break;
                case TK_X_CONDITION:
                    m_hasConditional = true;
                    // Numbered at its own "(", before any group inside its condition.
                    m_invisibleGroups.push_back(m_groupCount);
                    conditional =
                        m_arena.make<match_conditional<It>>(static_cast<int32_t>(m_groupCount++), m_arena);
                    parse_condition(it, conditional);
                    group = conditional;
                    break;
                case TK_X_COMMENT:
                    for (;;) {
                        if (it == m_end) Fail("Expecting end of comment");
                        token_kind tok = Syntax::next_token(it, m_end, m_flags);
                        if (tok == TK_CLOSE) return nullptr;
                        if (tok == TK_NONE && it != m_end) ++it;
                        // An escaped ")" does not end the comment.
                        if (tok == TK_ESCAPE && it != m_end) ++it;
                    }
                default:
                    Fail("bad extension sequence");
            }
        }

        // Group 0 is never quantified nor enclosed: only the others take a place.
        const int place = top ? -1 : static_cast<int>(m_places.size());
        if (!top) m_places.push_back(group_place{group, m_currentPlace});
        const int enclosing = m_currentPlace;
        m_currentPlace = place;
        group->open_alternative();
        while (parse_item(it, group, top)) {
        }
        m_currentPlace = enclosing;
        m_lastPlace = place;
        if (conditional && group->alternative_count() > 2)
            Fail("Too many alternates in conditional subexpression");
        complete_group(group, firstNested, top, conditional != nullptr);
        m_flags = savedFlags;
        return group;
    }

    // The condition of "(?(": a group number followed by ")", or a look-around.
    void parse_condition(const char*& it, match_conditional<It>* conditional) {
        const char* look = it;
        uint32_t n = read_number(look, m_end, 0xFFFFFFFEu);
        const char* close = look;
        if (n != 0 && Syntax::next_token(close, m_end, m_flags) == TK_CLOSE) {
            it = close;
            conditional->set_group_condition(n);
            m_backrefGroups.push_back(&conditional->condition_group());
            return;
        }
        const char* peek = look;
        int peekFlags = m_flags;
        token_kind kind = Syntax::next_extension_token(peek, m_end, peekFlags);
        if (kind != TK_X_AHEAD && kind != TK_X_NOT_AHEAD && kind != TK_X_BEHIND && kind != TK_X_NOT_BEHIND)
            Fail("bad extension sequence");
        it = look;
        sub_expr<It>* assertion = parse_group(it, false);
        if (!assertion) return;  // an empty positive look-around always holds
        assertion->next = m_arena.make<accept_node<It>>();
        if (auto* lookaround = dynamic_cast<independent_group_base<It>*>(assertion))
            conditional->set_assertion_condition(lookaround);
        else
            conditional->set_never();  // "(?!)" and "(?<!)" never hold
    }

    void complete_group(match_group_base<It>* group, uint32_t firstNested, bool top,
                        bool conditional = false) {
        group->close_alternative();
        if (!conditional) group->note_alternative_starts();

        // First characters: known only when every alternative names its own. A
        // conditional may take neither branch, so it has none.
        byteset chars;
        bool all = !conditional;
        for (auto* a = group->alternatives(); a; a = a->next) {
            first_char_hint h;
            if (!a->first->first_chars(h)) {
                all = false;
                break;
            }
            for (uint32_t i = 0; i < h.count; ++i) chars.set(h.chars[i]);
        }
        if (all) {
            unsigned char sorted[256];
            size_t n = 0;
            for (int w = 0; w < 4; ++w)
                for (uint64_t bits = chars.words[w]; bits; bits &= bits - 1)
                    sorted[n++] = static_cast<unsigned char>(w * 64 + __builtin_ctzll(bits));
            if (n > 0) {
                auto* stored = static_cast<unsigned char*>(m_arena.allocate(n));
                std::memcpy(stored, sorted, n);
                group->set_first_chars(stored, stored + n);
            }
        }

        if (top && group->alternative_count() == 1) {
            first_char_hint h;
            if (group->alternatives()->first->first_chars(h) && h.has_literal && !h.lit_lower) {
                m_prefix = h.lit_begin;
                m_prefixLength = static_cast<uint32_t>(h.lit_end - h.lit_begin);
            }
        }

        if (group->group() >= 0) {
            auto n = static_cast<size_t>(group->group());
            if (m_groupTable.size() <= n) m_groupTable.resize(n + 1, nullptr);
            m_groupTable[n] = group;
        }
        group->note_nested_groups(firstNested, m_groupCount - firstNested);
    }

    // One atom with its quantifier, or one structural token. False when the group ends.
    bool parse_item(const char*& it, match_group_base<It>* group, bool top) {
        token_kind tok = it == m_end ? TK_NONE : Syntax::next_token(it, m_end, m_flags);
        if (it == m_end && tok == TK_NONE) {
            if (top) return false;
            Fail("mismatched parenthesis");
        }
        sub_expr<It>* node = nullptr;
        const bool multiLine = m_flags & multi_line;
        switch (tok) {
            case TK_NONE:
                parse_literal_run(it, group);
                return true;
            case TK_OPEN: {
                m_emptyGroup = false;
                sub_expr<It>* inner = parse_group(it, false);
                if (inner) {
                    group->link(parse_quantifier(inner, it, true));
                } else if (m_emptyGroup) {
                    // Repeating nothing is nothing: the quantifier is read and dropped.
                    const char* look = it;
                    quantifier_spec q;
                    if (read_quantifier(look, q)) it = look;
                }
                return true;
            }
            case TK_CLOSE:
                if (top) Fail("mismatched parenthesis");
                return false;
            case TK_ALT:
                group->close_alternative();
                group->open_alternative();
                return true;
            case TK_LINE_START:
                node = multiLine ? static_cast<sub_expr<It>*>(m_arena.make<assert_op<It, assert_kind::bol>>())
                                 : m_arena.make<assert_op<It, assert_kind::bos>>();
                break;
            case TK_LINE_END:
                node = multiLine ? static_cast<sub_expr<It>*>(m_arena.make<assert_op<It, assert_kind::eol>>())
                                 : m_arena.make<assert_op<It, assert_kind::peos>>();
                break;
            case TK_SET_OPEN: {
                const char* close = nullptr;
                if (posix_bracket_form(it - 1, m_end, &close))
                    Fail(it[0] == ':' ? "POSIX named classes are supported only within a class"
                                      : "POSIX collating elements are not supported");
                auto* set = m_arena.make<charset>();
                parse_bracket(*set, it, m_end, m_flags);
                node = m_arena.make<match_charset_t<It>>(set);
                break;
            }
            case TK_ANY:
                node = (m_flags & dot_matches_newline)
                           ? static_cast<sub_expr<It>*>(m_arena.make<match_any_t<It, true>>())
                           : m_arena.make<match_any_t<It, false>>();
                break;
            case TK_ESCAPE:
                node = parse_escape(it);
                break;
            case TK_DIGIT:
                node = make_shared_set_node(intrinsic::digit);
                break;
            case TK_NOT_DIGIT:
                node = make_shared_set_node(intrinsic::not_digit);
                break;
            case TK_SPACE:
                node = make_shared_set_node(intrinsic::space);
                break;
            case TK_NOT_SPACE:
                node = make_shared_set_node(intrinsic::not_space);
                break;
            case TK_WORD:
                node = make_shared_set_node(intrinsic::word);
                break;
            case TK_NOT_WORD:
                node = make_shared_set_node(intrinsic::not_word);
                break;
            case TK_TEXT_START:
                node = m_arena.make<assert_op<It, assert_kind::bos>>();
                break;
            case TK_TEXT_END_NL:
                node = m_arena.make<assert_op<It, assert_kind::peos>>();
                break;
            case TK_TEXT_END:
                node = m_arena.make<assert_op<It, assert_kind::eos>>();
                break;
            case TK_WORD_BOUNDARY:
                node = m_arena.make<word_assertion_t<It, word_kind::boundary>>();
                break;
            case TK_NOT_WORD_BOUNDARY:
                node = m_arena.make<word_assertion_t<It, word_kind::not_boundary>>();
                break;
            case TK_QUOTE_ON:
                parse_quoted_run(it, group);
                return true;
            case TK_QUOTE_OFF:
                Fail("quotemeta turned off, but was never turned on");
            default:
                Fail("ill-formed regular expression");
        }
        group->link(parse_quantifier(node, it, false));
        return true;
    }

    // The iterator stands after the backslash.
    sub_expr<It>* parse_escape(const char*& it) {
        if (it == m_end) return make_char_node('\\');
        const char c = *it;
        if (IsDigit(c)) {
            const char* look = it;
            uint32_t n = read_number(look, m_end, 999);
            if (c != '0' && (n < 10 || n < m_groupCount)) {
                it = look;
                sub_expr<It>* node;
                if (m_flags & ignore_case) {
                    auto* b = m_arena.make<match_backref_t<It, true>>(n);
                    m_backrefGroups.push_back(&b->group());
                    node = b;
                } else {
                    auto* b = m_arena.make<match_backref_t<It, false>>(n);
                    m_backrefGroups.push_back(&b->group());
                    node = b;
                }
                return node;
            }
            // Octal; "8" and "9" are themselves.
            if (c >= '8') {
                ++it;
                return make_char_node(static_cast<unsigned char>(c));
            }
            unsigned value = 0;
            for (int i = 0; i < 3 && it != m_end && *it >= '0' && *it <= '7'; ++i)
                value = value * 8 + (*it++ - '0');
            if (value > 0xFF) Fail("octal value is greater than \\377");
            return make_char_node(static_cast<unsigned char>(value));
        }
        ThrowIfUnsupportedEscape(c);
        ++it;
        switch (c) {
            case 'C':  // one byte, whatever it is
                return m_arena.make<match_any_t<It, true>>();
            case 'e':
                return make_char_node(27);
            case 'x':
                return make_char_node(ReadHexEscape(it, m_end));
            case 'c': {
                if (it == m_end) Fail("incomplete escape sequence \\c");
                unsigned char value = ToUpper(static_cast<unsigned char>(*it++)) ^ 64;
                return make_char_node(value);
            }
            default:
                break;
        }
        if (m_flags & expand_escapes) {
            switch (c) {
                case 'a':
                    return make_char_node(7);
                case 'f':
                    return make_char_node(12);
                case 'n':
                    return make_char_node(10);
                case 'r':
                    return make_char_node(13);
                case 't':
                    return make_char_node(9);
                default:
                    break;
            }
        }
        return make_char_node(static_cast<unsigned char>(c));
    }

    // "\Q...\E": everything up to "\E" (or the end) is one literal, never quantified.
    void parse_quoted_run(const char*& it, match_group_base<It>* group) {
        const char* start = it;
        const char* stop = m_end;
        while (it != m_end) {
            const char* before = it;
            token_kind tok = Syntax::next_token(it, m_end, m_flags);
            if (tok == TK_QUOTE_OFF) {
                stop = before;
                break;
            }
            if (tok == TK_NONE && it != m_end) ++it;
        }
        if (stop != start) group->link(make_literal_node(std::string(start, stop)));
    }

    // The iterator stands on a character that is no token.
    void parse_literal_run(const char*& it, match_group_base<It>* group) {
        std::string run;
        for (;;) {
            const char* look = it;
            token_kind q = Syntax::next_quantifier_token(look, m_end, m_flags);
            bool quantifier = (q >= TK_PLUS && q <= TK_OPTIONAL_LAZY) || (q == TK_RANGE_OPEN && !run.empty());
            if (q == TK_RANGE_OPEN && run.empty()) {
                // A count with nothing to repeat (after an assertion, an option
                // or another quantifier) is refused like "*" there; braces
                // that form no count are text.
                const char* count = it;
                quantifier_spec spec;
                quantifier = read_quantifier(count, spec);
            }
            if (quantifier) {
                if (run.empty()) Fail("quantifier not expected");
                unsigned char last = static_cast<unsigned char>(run.back());
                run.pop_back();
                if (!run.empty()) group->link(make_literal_node(run));
                group->link(parse_quantifier(make_char_node(last), it, false));
                return;
            }
            run += *it++;
            if (it == m_end) break;
            look = it;
            token_kind tok = Syntax::next_token(look, m_end, m_flags);
            if (tok == TK_OPEN) {
                // A comment between the character and its quantifier leaves them together.
                look = it;
                skip_comments(look);
                const char* after = look;
                token_kind q = look == it ? TK_NONE : Syntax::next_quantifier_token(after, m_end, m_flags);
                if (q < TK_PLUS || q > TK_RANGE_OPEN) break;
                it = look;
                continue;
            }
            if (tok != TK_NONE) break;
            it = look;  // layout skipped under free_spacing is not part of the run
            if (it == m_end) break;
        }
        group->link(make_literal_node(run));
    }

    // "(?#...)" comments, with the layout free_spacing skips, as the group reader ends them.
    void skip_comments(const char*& it) const {
        for (;;) {
            const char* look = it;
            Syntax::skip_layout(look, m_end, m_flags);
            if (m_end - look < 3 || look[0] != '(' || look[1] != '?' || look[2] != '#') return;
            look += 3;
            for (;;) {
                if (look == m_end) return;  // unterminated: the group reader reports it
                token_kind tok = Syntax::next_token(look, m_end, m_flags);
                if (tok == TK_CLOSE) break;
                if ((tok == TK_NONE || tok == TK_ESCAPE) && look != m_end) ++look;
            }
            it = look;
        }
    }

    struct quantifier_spec {
        uint64_t min = 0;
        uint64_t max = kUnbounded;
        bool greedy = true;
    };

    // Reads a quantifier at `it` (after any comments) and moves past it; false,
    // with `it` unspecified, when the text there is no quantifier.
    bool read_quantifier(const char*& it, quantifier_spec& q) {
        skip_comments(it);
        switch (Syntax::next_quantifier_token(it, m_end, m_flags)) {
            case TK_PLUS:
                q.min = 1;
                break;
            case TK_STAR:
                break;
            case TK_OPTIONAL:
                q.max = 1;
                break;
            case TK_PLUS_LAZY:
                q.min = 1;
                q.greedy = false;
                break;
            case TK_STAR_LAZY:
                q.greedy = false;
                break;
            case TK_OPTIONAL_LAZY:
                q.max = 1;
                q.greedy = false;
                break;
            case TK_RANGE_OPEN: {
                const char* digits = it;
                q.min = read_count(it, m_end);
                const bool hasMin = it != digits;
                if (it == m_end) return false;
                switch (Syntax::next_quantifier_token(it, m_end, m_flags)) {
                    case TK_RANGE_CLOSE:
                        if (!hasMin) return false;  // "{}" is text
                        q.max = q.min;
                        break;
                    case TK_RANGE_CLOSE_LAZY:
                        if (!hasMin) return false;
                        q.max = q.min;
                        q.greedy = false;
                        break;
                    case TK_RANGE_COMMA: {
                        digits = it;
                        uint64_t m = read_count(it, m_end);
                        if (it == digits && !hasMin) return false;  // "{,}" is text
                        q.max = it == digits ? uint64_t{kUnbounded} : m;
                        token_kind close = Syntax::next_quantifier_token(it, m_end, m_flags);
                        if (close == TK_RANGE_CLOSE_LAZY)
                            q.greedy = false;
                        else if (close != TK_RANGE_CLOSE)
                            return false;
                        break;
                    }
                    default:
                        return false;
                }
                if (q.min > kMaxRepeatCount || (q.max != kUnbounded && q.max > kMaxRepeatCount))
                    Fail("number too big in {} quantifier");
                break;
            }
            default:
                return false;
        }
        if (q.max < q.min) Fail("Can't do {n, m} with n > m");
        return true;
    }

    sub_expr<It>* parse_quantifier(sub_expr<It>* node, const char*& it, bool isGroup) {
        if (it == m_end || node->is_assertion()) return node;
        const char* look = it;
        quantifier_spec q;
        if (!read_quantifier(look, q)) return node;
        if (isGroup && q.max > 16) m_recursionAllowed = false;
        sub_expr<It>* quantified =
            node->quantify(static_cast<uint32_t>(q.min), static_cast<uint32_t>(q.max), q.greedy, m_arena);
        m_toFinish.push_back(quantified);
        if (isGroup && m_lastPlace >= 0 && m_places[static_cast<size_t>(m_lastPlace)].group == node) {
            group_place& place = m_places[static_cast<size_t>(m_lastPlace)];
            place.quantifier = quantified;
            place.min = q.min;
            place.max = q.max;
        }
        it = look;
        return quantified;
    }

    const char* m_begin;
    const char* m_end;
    int m_flags;  // the flags in force; inline options change it, each group restores it
    arena_allocator& m_arena;
    uintptr_t m_stackLimit;
    int m_depth = 0;
    uint32_t m_groupCount = 0;
    uint32_t m_visibleGroupCount = 0;
    std::vector<uint32_t> m_invisibleGroups;
    std::vector<match_group_base<It>*> m_groupTable;
    std::vector<uint32_t*> m_backrefGroups;
    std::vector<sub_expr<It>*> m_toFinish;
    bool m_recursionAllowed = true;
    const char* m_prefix = nullptr;
    uint32_t m_prefixLength = 0;
    bool m_hasConditional = false;
    bool m_hasRecursion = false;
    std::vector<group_place> m_places;  // every group in the order of its "("
    int m_currentPlace = -1;
    int m_lastPlace = -1;  // the group read last
    uint32_t m_memoSlots = 0;
    bool m_emptyGroup = false;  // the last group read was an empty one that may be quantified
};

}  // namespace regex::detail
