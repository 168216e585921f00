// Line forms of a sector file, compiled by our pattern engine.
// See sector_line_patterns.h.
#include "atc/sector_line_patterns.h"

#include <algorithm>

#include "regex/rpattern.h"

namespace {

constexpr int kPatternCount = 13;

// Keep in the order of SectorPattern.
constexpr const char* kPatternTexts[kPatternCount] = {
    R"re(^#define\s+(\S+)\s+(.+))re",
    R"re(^\[(.+)\]$)re",
    R"re(^(\S+)\s+(\S+)\s+(\S+)\s+(\S+))re",
    R"re(^(\S+)\s+(\S+)\s+(\S+))re",
    R"re(^(\S+)\s+(\S+)\s+(\S+)\s+(\S+)(?:\s+([A-Z]))?)re",
    R"re(^(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+))re",
    R"re(^(\S+)\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+))re",
    R"re(^(.{26})\s*(\S+)\s+(\S+)\s+(\S+)\s+(\S+)(?:\s+(\S+))?)re",
    R"re(^\s+(\S+)\s+(\S+)\s+(\S+)\s+(\S+)(?:\s+(\S+))?)re",
    R"re(^(\S+)\s+(\S+)\s+(\S+)\s+(\S+)(?:\s+(\S+))?)re",
    R"re(^(\S+)\s+(\S+)\s+(\S+))re",
    R"re(^\s+(\S+)\s+(\S+))re",
    R"re(^"(.+)"\s+(\S+)\s+(\S+)\s+(\S+))re",
};

}  // namespace

struct SectorLinePatterns::Compiled {
    regex::rpattern patterns[kPatternCount];
    // Reused by every search so that a line costs no allocation of its own.
    regex::match_results results;
};

SectorLinePatterns::SectorLinePatterns() : m_compiled(std::make_unique<Compiled>()) {
    for (int i = 0; i < kPatternCount; ++i) {
        // Only the definition is matched regardless of letter case ("#DEFINE").
        int flags = i == static_cast<int>(SectorPattern::Define) ? regex::ignore_case : regex::noflags;
        m_compiled->patterns[i] = regex::rpattern(kPatternTexts[i], flags, regex::recursive_mode);
    }
}

SectorLinePatterns::~SectorLinePatterns() = default;

const char* SectorLinePatterns::PatternText(SectorPattern which) {
    return kPatternTexts[static_cast<int>(which)];
}

bool SectorLinePatterns::Match(SectorPattern which, const std::string& line, SectorGroups& groups) {
    groups.fill(std::string_view());
    regex::match_results& results = m_compiled->results;
    try {
        if (!m_compiled->patterns[static_cast<int>(which)].match_text(line, results).matched) return false;
    } catch (const regex::match_limit_exceeded&) {
        return false;  // a line too hostile to search is a malformed line
    }
    size_t count = std::min(results.size(), groups.size());
    for (size_t n = 0; n < count; ++n) {
        const auto& group = results[n];
        if (!group.matched) continue;
        groups[n] = std::string_view(line.data() + (group.begin - line.begin()),
                                     static_cast<size_t>(group.end - group.begin));
    }
    return true;
}
