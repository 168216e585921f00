// User aliases. Tested by tests/comms/alias_table_test.cpp.
#include "comms/alias_table.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "comms/text_variables.h"
#include "foundation/text_helpers.h"

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Calls f(begin, end, number) for each "$n" in the text: a "$" and a run of
// digits not starting with 0 and at most kMaxParameterDigits long.
template <typename F>
void ForEachParameter(const std::string& text, F&& f) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '$') continue;
        size_t end = i + 1;
        while (end < text.size() && IsDigit(text[end])) ++end;
        const size_t digits = end - i - 1;
        if (digits == 0 || text[i + 1] == '0' ||
            digits > static_cast<size_t>(AliasTable::kMaxParameterDigits)) {
            continue;
        }
        f(i, end, std::stoi(text.substr(i + 1, digits)));
        i = end - 1;
    }
}

}  // namespace

bool AliasTable::FoldedLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Fold(x)) < static_cast<unsigned char>(Fold(y));
    });
}

int32_t AliasTable::CountParameters(const std::string& text) {
    std::set<int> found;
    ForEachParameter(text, [&](size_t, size_t, int n) { found.insert(n); });
    int32_t count = 0;
    while (found.count(count + 1)) ++count;
    return count;
}

bool AliasTable::LoadAliasFile(const std::string& fileName) {
    m_aliases.clear();
    if (fileName.empty()) return false;
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return false;
    // Read whole: a line is a definition however long it is.
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    LoadAliasText(text);
    return true;
}

bool AliasTable::LoadAliases(const std::string& fileName) {
    m_fileName = fileName;
    return LoadAliasFile(fileName);
}

void AliasTable::LoadAliasText(const std::string& text) {
    m_aliases.clear();
    ForEachLine(text, [this](const std::string& line) {
        if (line.empty() || line[0] != '.') return;
        const size_t nameEnd = line.find(' ');
        if (nameEnd == std::string::npos) return;
        const size_t textStart = line.find_first_not_of(' ', nameEnd);
        const std::string name = line.substr(0, nameEnd);
        if (m_aliases.count(name)) return;
        AliasDefinition definition;
        if (textStart != std::string::npos) {
            const std::string body = line.substr(textStart);
            definition.parameterCount = CountParameters(body);
            SplitString(body, definition.words, 0, " ");
        }
        m_aliases.emplace(name, std::move(definition));
    });
}

const AliasDefinition* AliasTable::Find(const std::string& name) const {
    auto it = m_aliases.find(name);
    return it == m_aliases.end() ? nullptr : &it->second;
}

std::vector<std::string> AliasTable::SubstituteAliasParameters(const AliasDefinition& definition,
                                                               const std::vector<std::string>& arguments) {
    std::vector<std::string> words;
    words.reserve(definition.words.size());
    for (const std::string& word : definition.words) {
        std::string out;
        size_t from = 0;
        ForEachParameter(word, [&](size_t begin, size_t end, int n) {
            if (n > static_cast<int>(arguments.size())) return;
            out.append(word, from, begin - from);
            out += arguments[n - 1];
            from = end;
        });
        out.append(word, from);
        words.push_back(std::move(out));
    }
    return words;
}

namespace {

// The length of the definition's words once the arguments are put in, as
// SubstituteAliasParameters would make them, without making them.
size_t SubstitutedLength(const AliasDefinition& definition, const std::vector<std::string>& arguments) {
    size_t length = 0;
    for (const std::string& word : definition.words) {
        length += word.size();
        ForEachParameter(word, [&](size_t begin, size_t end, int n) {
            if (n <= static_cast<int>(arguments.size())) length += arguments[n - 1].size() - (end - begin);
        });
    }
    return length;
}

size_t WordsLength(std::vector<std::string>::const_iterator first,
                   std::vector<std::string>::const_iterator last) {
    size_t length = 0;
    for (; first != last; ++first) length += first->size();
    return length;
}

}  // namespace

bool AliasTable::ExpandAliases(const std::string& in, std::string& out,
                               const TextVariables* variables) const {
    std::vector<std::string> words;
    SplitString(in, words, 0, " ");
    if (words.empty()) {
        out = in;
        return true;
    }
    int budget = kStepBudget;
    // Letters of all words; the spaces between them are counted at the check.
    size_t letters = WordsLength(words.begin(), words.end());
    ptrdiff_t i = static_cast<ptrdiff_t>(words.size()) - 1;
    while (i >= 0) {
        if (--budget <= 0) return false;
        // Words 0 to i must each still be examined once: when the budget
        // cannot cover them the expansion would fail anyway, so fail before
        // a looping alias grows the line any further.
        if (i + 1 > budget) return false;
        const AliasDefinition* alias = Find(words[i]);
        if (!alias) {
            --i;
            continue;
        }
        std::vector<std::string> arguments;
        size_t taken = 0;
        for (int32_t j = 0; j < alias->parameterCount; ++j) {
            const size_t at = static_cast<size_t>(i) + 1 + j;
            if (at < words.size()) {
                arguments.push_back(words[at]);
                ++taken;
            } else {
                arguments.emplace_back();
            }
        }
        // An alias that repeats its own argument doubles the line at each
        // step while the step budget still lasts: refuse the text by its
        // length before it is built.
        auto first = words.begin() + i;
        const size_t removed = WordsLength(first, first + 1 + static_cast<ptrdiff_t>(taken));
        const size_t added = SubstitutedLength(*alias, arguments);
        const size_t wordCount = words.size() - 1 - taken + alias->words.size();
        if (letters - removed + added + (wordCount ? wordCount - 1 : 0) > kMaxExpandedLength) return false;
        letters = letters - removed + added;
        std::vector<std::string> replacement =
            alias->parameterCount == 0 ? alias->words : SubstituteAliasParameters(*alias, arguments);
        first = words.erase(first, first + 1 + static_cast<ptrdiff_t>(taken));
        words.insert(first, replacement.begin(), replacement.end());
        i = static_cast<ptrdiff_t>(words.size()) - 1;
    }
    if (words.empty()) {
        out = in;
        return true;
    }
    const std::string joined = JoinStrings(words, " ");
    out = variables ? variables->ExpandVariables(joined) : joined;
    return true;
}
