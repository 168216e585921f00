// A hand-written matcher for the sector line forms, written from the pattern
// texts alone: the reference that the pattern engine is compared against in
// sector_line_patterns_test.cpp.
#include "tests/atc/sector_line_reference.h"

#include <cstddef>

namespace {

// The engine's \s class.
bool IsPatternSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A scanner over one line that mirrors what the line patterns accept; every
// form is anchored at the start and, apart from the procedure name, the quoted
// label text and the definition value, made of disjoint \s+ and \S+ runs, so
// no backtracking can change the outcome.
class Scanner {
public:
    explicit Scanner(std::string_view line) : m_line(line) {}
    size_t Pos() const { return m_pos; }
    void SetPos(size_t pos) { m_pos = pos; }
    bool AtEnd() const { return m_pos >= m_line.size(); }

    size_t Spaces() {
        size_t start = m_pos;
        while (m_pos < m_line.size() && IsPatternSpace(m_line[m_pos])) ++m_pos;
        return m_pos - start;
    }
    bool Field(std::string_view& out) {
        size_t start = m_pos;
        while (m_pos < m_line.size() && !IsPatternSpace(m_line[m_pos])) ++m_pos;
        out = m_line.substr(start, m_pos - start);
        return m_pos > start;
    }
    // \s+(\S+)
    bool NextField(std::string_view& out) {
        size_t save = m_pos;
        if (Spaces() == 0 || !Field(out)) {
            m_pos = save;
            return false;
        }
        return true;
    }

private:
    std::string_view m_line;
    size_t m_pos = 0;
};

bool Fields(Scanner& s, SectorGroups& g, int first, int count, bool leadingSpace) {
    for (int i = 0; i < count; ++i) {
        bool ok = (i == 0 && !leadingSpace) ? s.Field(g[first + i]) : s.NextField(g[first + i]);
        if (!ok) return false;
    }
    return true;
}

bool MatchDefine(std::string_view line, SectorGroups& g) {
    static constexpr std::string_view kWord = "#define";
    if (line.size() < kWord.size()) return false;
    for (size_t i = 0; i < kWord.size(); ++i) {
        char c = line[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kWord[i]) return false;
    }
    Scanner s(line);
    s.SetPos(kWord.size());
    if (!s.NextField(g[1])) return false;
    size_t run = s.Spaces();
    if (run == 0) return false;
    if (s.AtEnd()) {
        // (.+) takes back the last space of the run when nothing follows it.
        if (run < 2) return false;
        g[2] = line.substr(line.size() - 1);
    } else {
        g[2] = line.substr(s.Pos());
    }
    return true;
}

bool MatchLabel(std::string_view line, SectorGroups& g) {
    if (line.size() < 3 || line[0] != '"') return false;
    // (.+) is greedy: the last closing quote that leaves three fields after it.
    for (size_t q = line.size() - 1; q >= 2; --q) {
        if (line[q] != '"') continue;
        Scanner s(line);
        s.SetPos(q + 1);
        if (Fields(s, g, 2, 3, true)) {
            g[1] = line.substr(1, q - 1);
            return true;
        }
    }
    return false;
}

}  // namespace

bool ReferenceMatch(SectorPattern which, const std::string& text, SectorGroups& g) {
    g.fill(std::string_view());
    std::string_view line(text);
    Scanner s(line);
    bool ok = false;
    switch (which) {
        case SectorPattern::Define:
            ok = MatchDefine(line, g);
            break;
        case SectorPattern::Header:
            ok = line.size() >= 3 && line.front() == '[' && line.back() == ']';
            if (ok) g[1] = line.substr(1, line.size() - 2);
            break;
        case SectorPattern::Navaid:
            ok = Fields(s, g, 1, 4, false);
            break;
        case SectorPattern::Fix:
        case SectorPattern::RegionFirst:
            ok = Fields(s, g, 1, 3, false);
            break;
        case SectorPattern::Airport:
            ok = Fields(s, g, 1, 4, false);
            if (ok) {
                size_t save = s.Pos();
                if (s.Spaces() > 0 && !s.AtEnd() && line[s.Pos()] >= 'A' && line[s.Pos()] <= 'Z') {
                    g[5] = line.substr(s.Pos(), 1);
                    s.SetPos(s.Pos() + 1);
                } else {
                    s.SetPos(save);
                }
            }
            break;
        case SectorPattern::Runway:
            ok = Fields(s, g, 1, 8, false);
            break;
        case SectorPattern::Segment:
            ok = Fields(s, g, 1, 5, false);
            break;
        case SectorPattern::ProcFirst:
            ok = line.size() > 26 && line.substr(0, 26).find('\n') == std::string_view::npos;
            if (ok) {
                g[1] = line.substr(0, 26);
                s.SetPos(26);
                s.Spaces();
                ok = s.Field(g[2]) && Fields(s, g, 3, 3, true);
                if (ok) s.NextField(g[6]);
            }
            break;
        case SectorPattern::ProcNext:
            ok = Fields(s, g, 1, 4, true);
            if (ok) s.NextField(g[5]);
            break;
        case SectorPattern::Geo:
            ok = Fields(s, g, 1, 4, false);
            if (ok) s.NextField(g[5]);
            break;
        case SectorPattern::RegionNext:
            ok = Fields(s, g, 1, 2, true);
            break;
        case SectorPattern::Label:
            ok = MatchLabel(line, g);
            break;
    }
    if (!ok) {
        g.fill(std::string_view());
        return false;
    }
    g[0] = std::string_view();  // the whole match is not compared
    return true;
}
