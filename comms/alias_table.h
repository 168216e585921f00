// User aliases: the alias file's loader, the table (names compared without
// regard to letter case), and the expansion of alias words with positional
// parameters under a step budget, followed by the "$" variables.
// Tested by tests/comms/alias_table_test.cpp; fuzzed with the variables by
// tests/comms/text_expansion_fuzzer.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class TextVariables;

struct AliasDefinition {
    std::vector<std::string> words;
    int32_t parameterCount = 0;  // the largest n with each of $1 ... $n in the text
};

class AliasTable {
public:
    // Words one expansion may examine, restarts included, plus one.
    static constexpr int kStepBudget = 1000;
    // Parameter numbers of more digits are ordinary text.
    static constexpr int kMaxParameterDigits = 4;
    // The longest text an expansion may build, spaces included: far beyond
    // any line a user types or sends, and small enough that an alias that
    // repeats its own argument fails at once instead of doubling the line
    // on each of its steps.
    static constexpr size_t kMaxExpandedLength = 64 * 1024;

    // Empties the table, then reads the file; false (table empty) for an empty
    // name or a file that cannot be read.
    bool LoadAliasFile(const std::string& fileName);
    // Remembers the name as the current alias file, then loads it.
    bool LoadAliases(const std::string& fileName);
    const std::string& GetFileName() const { return m_fileName; }
    // The file's text: definitions are lines beginning with "." (CR LF or LF).
    void LoadAliasText(const std::string& text);

    const AliasDefinition* Find(const std::string& name) const;
    size_t Size() const { return m_aliases.size(); }

    // Expands the alias words of `in`, then its variables when `variables` is
    // given. False when the step budget ran out (an alias loop, or a line
    // too long to scan) or the text would grow past kMaxExpandedLength;
    // `out` is then untouched.
    bool ExpandAliases(const std::string& in, std::string& out, const TextVariables* variables) const;

    // $1, $2 ... $10 ... each replaced by its own argument in one pass, so
    // an argument holding "$1" is inserted as it is. A parameter beyond the
    // arguments stays as written.
    static std::vector<std::string> SubstituteAliasParameters(const AliasDefinition& definition,
                                                              const std::vector<std::string>& arguments);
    // The parameter count of a definition text.
    static int32_t CountParameters(const std::string& text);

private:
    struct FoldedLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };

    std::map<std::string, AliasDefinition, FoldedLess> m_aliases;
    std::string m_fileName;
};
