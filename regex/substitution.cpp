// Parser of substitution texts and their escape expansion.
// Tested by tests/regex/substitution_test.cpp.
#include "regex/substitution.h"

#include "regex/perl_syntax.h"
#include "regex/rpattern.h"

namespace regex {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits while the value stays below the limit; a digit that takes it past
// the limit is left in the text.
uint32_t ReadNumber(const char*& it, const char* end, uint32_t limit) {
    uint64_t value = 0;
    while (it != end && IsDigit(*it) && value < limit)
        value = value * 10 + static_cast<uint64_t>(*it++ - '0');
    if (value > limit) {
        --it;
        value /= 10;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

token_kind next_substitution_token(const char*& it, const char* end) {
    if (it == end) return TK_NONE;
    if (*it == '$') {
        const char* after = it + 1;
        if (after != end) {
            switch (*after) {
                case '&':
                    it += 2;
                    return TK_SUB_MATCH;
                case '\'':
                    it += 2;
                    return TK_SUB_AFTER;
                case '`':
                    it += 2;
                    return TK_SUB_BEFORE;
                default:
                    break;
            }
        }
        ++it;
        return TK_SUB_GROUP;
    }
    if (*it == '\\') {
        const char* after = it + 1;
        if (after != end) {
            token_kind kind = TK_NONE;
            switch (*after) {
                case 'Q':
                    kind = TK_SUB_QUOTE;
                    break;
                case 'U':
                    kind = TK_SUB_UPPER;
                    break;
                case 'u':
                    kind = TK_SUB_UPPER_NEXT;
                    break;
                case 'L':
                    kind = TK_SUB_LOWER;
                    break;
                case 'l':
                    kind = TK_SUB_LOWER_NEXT;
                    break;
                case 'E':
                    kind = TK_SUB_END;
                    break;
                default:
                    break;
            }
            if (kind != TK_NONE) {
                it += 2;
                return kind;
            }
        }
        ++it;
        return TK_SUB_ESCAPE;
    }
    return TK_NONE;
}

void parse_substitution(const std::string& text, uint32_t visibleGroupCount, bool& hasGroupReference,
                        std::vector<subst_item>& items) {
    hasGroupReference = false;
    items.clear();
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* it = begin;
    uint32_t litStart = 0;
    uint32_t litLength = 0;
    auto offset = [begin](const char* p) { return static_cast<uint32_t>(p - begin); };
    auto flush = [&] {
        if (litLength) items.push_back({subst_kind::literal, static_cast<int32_t>(litStart), litLength});
        litLength = 0;
    };
    auto reference = [&](int32_t group) {
        flush();
        items.push_back({subst_kind::group, group, 0});
        hasGroupReference = true;
        litStart = offset(it);
    };
    const uint32_t limit = visibleGroupCount > 0 ? visibleGroupCount - 1 : 0;

    while (it != end) {
        token_kind tok = next_substitution_token(it, end);
        switch (tok) {
            case TK_NONE:
                if (!litLength) litStart = offset(it);
                ++litLength;
                ++it;
                break;
            case TK_SUB_GROUP: {
                uint32_t n = ReadNumber(it, end, limit);
                if (n == 0) throw bad_regexpr("invalid backreference in substitution");
                reference(static_cast<int32_t>(n));
                break;
            }
            case TK_SUB_BEFORE:
                reference(kSubstBefore);
                break;
            case TK_SUB_AFTER:
                reference(kSubstAfter);
                break;
            case TK_SUB_MATCH:
                reference(0);
                break;
            case TK_SUB_ESCAPE:
                if (it == end) throw bad_regexpr("expecting escape sequence in substitution string");
                flush();
                litStart = offset(it);
                litLength = 1;
                ++it;
                break;
            case TK_SUB_QUOTE: {
                flush();
                const char* quoted = it;
                const char* stop = end;
                bool closed = false;
                while (it != end) {
                    const char* before = it;
                    token_kind inner = next_substitution_token(it, end);
                    if (inner == TK_SUB_END) {
                        stop = before;
                        closed = true;
                        break;
                    }
                    if (inner == TK_NONE) ++it;
                }
                if (stop != quoted)
                    items.push_back({subst_kind::literal, static_cast<int32_t>(offset(quoted)),
                                     offset(stop) - offset(quoted)});
                if (closed) items.push_back({subst_kind::case_marker, TK_SUB_END, 0});
                litLength = 0;
                break;
            }
            default:  // the case markers
                flush();
                items.push_back({subst_kind::case_marker, tok, 0});
                break;
        }
    }
    flush();
}

std::string expand_substitution_escapes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        char e = text[i + 1];
        char value = 0;
        switch (e) {
            case 'a':
                value = 7;
                break;
            case 'f':
                value = 12;
                break;
            case 'n':
                value = 10;
                break;
            case 'r':
                value = 13;
                break;
            case 't':
                value = 9;
                break;
            case 'v':
                value = 11;
                break;
            case 'x': {
                size_t j = i + 2;
                unsigned v = 0;
                while (j < text.size() && j < i + 4 && HexValue(text[j]) >= 0)
                    v = v * 16 + HexValue(text[j++]);
                if (j == i + 2) break;  // no digits: left as written
                out += static_cast<char>(v);
                i = j - 1;
                continue;
            }
            case 'c':
                if (i + 2 < text.size()) {
                    char letter = text[i + 2];
                    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
                    out += static_cast<char>(letter ^ 64);
                    i += 2;
                    continue;
                }
                break;
            default:
                break;
        }
        if (value) {
            out += value;
            ++i;
        } else {
            // Anything else, escaped backslashes included, is the parser's to read.
            out += c;
            out += e;
            ++i;
        }
    }
    return out;
}

}  // namespace regex
