// Sector file parser. See sector_parser.h.
#include "atc/sector_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <limits>
#include <utility>

#include "atc/sector_line_patterns.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"

namespace {

enum class Section {
    None,
    Info,
    Vor,
    Ndb,
    Airport,
    Runway,
    Fixes,
    Artcc,
    ArtccHigh,
    ArtccLow,
    Sid,
    Star,
    Geo,
    LowAirway,
    HighAirway,
    Regions,
    Labels,
};

struct SectionName {
    std::string_view name;
    Section section;
    bool extendedOnly;
};

constexpr SectionName kSections[] = {
    {"INFO", Section::Info, false},
    {"VOR", Section::Vor, false},
    {"NDB", Section::Ndb, false},
    {"AIRPORT", Section::Airport, false},
    {"RUNWAY", Section::Runway, false},
    {"FIXES", Section::Fixes, false},
    {"ARTCC", Section::Artcc, false},
    {"ARTCC HIGH", Section::ArtccHigh, false},
    {"ARTCC LOW", Section::ArtccLow, false},
    {"SID", Section::Sid, false},
    {"STAR", Section::Star, false},
    {"GEO", Section::Geo, false},
    {"LOW AIRWAY", Section::LowAirway, false},
    {"HIGH AIRWAY", Section::HighAirway, false},
    {"REGIONS", Section::Regions, true},
    {"LABELS", Section::Labels, true},
};

// Sections whose lines define the named points; the rest refer to them and
// wait for the second pass.
bool IsFirstPassSection(Section s) {
    return s == Section::Info || s == Section::Vor || s == Section::Ndb || s == Section::Airport ||
           s == Section::Fixes;
}

constexpr std::string_view kRule = "=====================================================================";

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Leading decimal integer as atoi reads it, but saturated instead of undefined
// on overflow: a hostile file must not be able to reach undefined behaviour.
int32_t LeadingInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(value * 10 + (text[i] - '0'), kLimit);
    }
    if (negative) value = -value;
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Leading decimal number (sign, digits, fraction, exponent) as atof reads it,
// independent of the locale. Anything that is not a finite number reads 0, so
// "inf", "nan" and 1e999 never reach the scope's arithmetic.
double LeadingDouble(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    size_t start = i;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t e = i + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
        if (e < text.size() && text[e] >= '0' && text[e] <= '9') {
            i = e;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        }
    }
    double value = 0.0;
    auto [end, ec] = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
    if (ec != std::errc() || !std::isfinite(value)) return 0.0;
    return negative ? -value : value;
}

void AppendInt(std::string& out, long long value) {
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

void AppendCount(std::string& out, std::string_view label, size_t count) {
    out += label;
    AppendInt(out, static_cast<long long>(count));
    out += '\n';
}

void AppendDuration(std::string& out, std::string_view label, long long seconds) {
    out += label;
    if (seconds <= 0) {
        out += "less than 1 second";
    } else {
        AppendInt(out, seconds);
        out += seconds == 1 ? " second" : " seconds";
    }
    out += '\n';
}

// The first record of a name in a multimap: find() may return any of them.
const SectorNavaid* FirstOf(const NavaidMap& map, const std::string& name) {
    auto it = map.lower_bound(name);
    return it != map.end() && it->first == name ? &it->second : nullptr;
}

bool IsExtendedPath(const std::string& path) {
    size_t dot = path.rfind('.');
    return dot != std::string::npos && Upper(std::string_view(path).substr(dot)) == ".SCT2";
}

}  // namespace

struct TarqSectorParser::PassState {
    int pass = 1;
    int32_t lineNumber = 0;
    std::string_view rawLine;  // as read, without the carriage return before the line feed
    bool rawHasNewline = false;
    Section section = Section::None;
    std::string sectionName;
    bool extended = false;

    int infoLines = 0;
    bool centreSet = false;
    double centreLatitude = 0.0;
    std::string regionColorText;
    std::string procedureName;

    int comments = 0;
    int blankLines = 0;
    int parsedLines = 0;
    int linesInFile = 0;

    std::time_t pass1Start = 0;
    std::time_t pass2Start = 0;
    std::time_t pass2End = 0;

    SectorGroups groups;
};

TarqSectorParser::TarqSectorParser(const Clock& clock)
    : m_clock(clock), m_patterns(std::make_unique<SectorLinePatterns>()) {}

TarqSectorParser::TarqSectorParser() : TarqSectorParser(SystemClock::Instance()) {}

TarqSectorParser::~TarqSectorParser() = default;

SectorParseError TarqSectorParser::GetLastError() const {
    if (m_errors.empty()) return SectorParseError{"No errors", "", 0};
    return m_errors.back();
}

bool TarqSectorParser::Parse(const std::string& path, TarqSectorData& data, const std::string& reportPath) {
    m_errors.clear();
    m_defines.clear();
    m_report.clear();
    if (path.empty()) {
        AddFatal("Empty filename passed to parser");
        return false;
    }
    std::string contents;
    if (!ReadWholeFile(path, contents)) {
        AddFatal("Error opening sector file for reading");
        return false;
    }
    return ParseText(path, contents, data, reportPath);
}

bool TarqSectorParser::ParseText(const std::string& path, std::string_view contents, TarqSectorData& data,
                                 const std::string& reportPath) {
    m_errors.clear();
    m_defines.clear();
    m_report.clear();
    if (path.empty()) {
        AddFatal("Empty filename passed to parser");
        return false;
    }

    // Editors on Windows like to start a file with a UTF-8 byte order mark; it
    // would otherwise make the first header an orphaned line.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (contents.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        contents.remove_prefix(kByteOrderMark.size());

    PassState state;
    state.extended = IsExtendedPath(path);
    state.pass1Start = m_clock.WallSeconds();

    // Work on a copy so that a failed parse leaves the caller's data as it was;
    // the scope usually hands over an empty object, so the copy costs nothing.
    TarqSectorData work = data;
    if (!RunPass(1, contents, state.extended, work, state)) return false;
    state.pass2Start = m_clock.WallSeconds();
    if (!RunPass(2, contents, state.extended, work, state)) return false;
    state.linesInFile = state.lineNumber;

    if (!state.centreSet) {
        AddFatal("Missing required data from [INFO] section");
        return false;
    }
    state.pass2End = m_clock.WallSeconds();
    data = std::move(work);

    m_report = BuildReport(path, state.extended, data, state);
    if (!reportPath.empty()) WriteFileAtomically(reportPath, m_report);
    return true;
}

bool TarqSectorParser::RunPass(int pass, std::string_view contents, bool extended, TarqSectorData& data,
                               PassState& state) {
    state.pass = pass;
    state.section = Section::None;
    state.sectionName.clear();
    state.lineNumber = 0;

    std::string line;
    size_t pos = 0;
    while (pos < contents.size()) {
        // Lines are taken whole, however long, so line numbers always match
        // what an editor shows.
        size_t newline = contents.find('\n', pos);
        size_t end = newline == std::string_view::npos ? contents.size() : newline;
        std::string_view raw = contents.substr(pos, end - pos);
        pos = newline == std::string_view::npos ? contents.size() : newline + 1;
        state.rawHasNewline = newline != std::string_view::npos;
        if (state.rawHasNewline && !raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        state.rawLine = raw;
        ++state.lineNumber;

        if (!raw.empty() && raw.front() == ';') {
            if (pass == 1) ++state.comments;
            continue;
        }
        line.assign(raw);
        StripComment(line);
        TrimRight(line);
        if (line.empty()) {
            if (pass == 1) ++state.blankLines;
            continue;
        }
        if (pass == 1) ++state.parsedLines;

        SectorGroups& g = state.groups;
        if (pass == 1 && line.front() == '#' && m_patterns->Match(SectorPattern::Define, line, g)) {
            m_defines[Upper(g[1])] = std::string(g[2]);
            continue;
        }
        if (line.front() == '[' && m_patterns->Match(SectorPattern::Header, line, g)) {
            state.procedureName.clear();
            state.sectionName = Upper(g[1]);
            state.section = Section::None;
            for (const SectionName& known : kSections) {
                if (known.name == state.sectionName && (extended || !known.extendedOnly)) {
                    state.section = known.section;
                }
            }
            if (state.section == Section::None) {
                AddError(state, "Unknown section header encountered: " + state.sectionName);
                return false;
            }
            continue;
        }
        if (state.section == Section::None) {
            if (pass == 1) AddError(state, "Orphaned line");
            continue;
        }
        bool firstPassSection = IsFirstPassSection(state.section);
        if (pass == 1 && firstPassSection) {
            HandleFirstPassLine(line, data, state);
        } else if (pass == 2 && !firstPassSection) {
            HandleSecondPassLine(line, data, state);
        }
    }
    return true;
}

void TarqSectorParser::HandleInfoLine(const std::string& line, TarqSectorData& data, PassState& state) {
    switch (++state.infoLines) {
        case 1:
            data.name = line;
            break;
        case 2:
        case 3:
            break;
        case 4:
            state.centreLatitude = ParseCoordinate(line);
            break;
        case 5:
            data.centre = ScopePoint{ParseCoordinate(line), state.centreLatitude};
            state.centreSet = true;
            break;
        case 6:
            data.nmPerDegreeLat = LeadingDouble(line);
            break;
        case 7:
            data.nmPerDegreeLon = LeadingDouble(line);
            break;
        case 8:
            data.magneticVariation = LeadingDouble(line);
            break;
        case 9:
            data.scale = LeadingDouble(line);
            break;
        default:
            if (line.front() != '#') AddError(state, "Extra line in sector INFO section");
            break;
    }
}

void TarqSectorParser::HandleFirstPassLine(const std::string& line, TarqSectorData& data, PassState& state) {
    SectorGroups& g = state.groups;
    switch (state.section) {
        case Section::Info:
            HandleInfoLine(line, data, state);
            break;
        case Section::Vor:
        case Section::Ndb: {
            if (!m_patterns->Match(SectorPattern::Navaid, line, g)) return AddFormatError(state);
            SectorNavaid navaid{
                Upper(g[1]), std::string(g[2]), {ParseCoordinate(g[4]), ParseCoordinate(g[3])}};
            NavaidMap& map = state.section == Section::Vor ? data.vors : data.ndbs;
            map.emplace(navaid.name, std::move(navaid));
            break;
        }
        case Section::Fixes: {
            if (!m_patterns->Match(SectorPattern::Fix, line, g)) return AddFormatError(state);
            SectorNavaid fix{Upper(g[1]), "0", {ParseCoordinate(g[3]), ParseCoordinate(g[2])}};
            data.fixes.emplace(fix.name, std::move(fix));
            break;
        }
        case Section::Airport: {
            if (!m_patterns->Match(SectorPattern::Airport, line, g)) return AddFormatError(state);
            SectorAirport airport{Upper(g[1]),
                                  std::string(g[2]),
                                  {ParseCoordinate(g[4]), ParseCoordinate(g[3])},
                                  g[5].empty() ? '\0' : g[5].front()};
            std::string key = airport.name;
            data.airports.insert_or_assign(std::move(key), std::move(airport));
            break;
        }
        default:
            break;
    }
}

void TarqSectorParser::HandleSecondPassLine(const std::string& line, TarqSectorData& data, PassState& state) {
    SectorGroups& g = state.groups;
    switch (state.section) {
        case Section::Runway: {
            if (!m_patterns->Match(SectorPattern::Runway, line, g)) return AddFormatError(state);
            data.runways.push_back(SectorRunway{Upper(g[1]),
                                                Upper(g[2]),
                                                LeadingInt(g[3]),
                                                LeadingInt(g[4]),
                                                {ParseCoordinate(g[6]), ParseCoordinate(g[5])},
                                                {ParseCoordinate(g[8]), ParseCoordinate(g[7])}});
            break;
        }
        case Section::Artcc:
        case Section::ArtccHigh:
        case Section::ArtccLow:
        case Section::LowAirway:
        case Section::HighAirway: {
            if (!m_patterns->Match(SectorPattern::Segment, line, g)) return AddFormatError(state);
            GeoLine segment = ResolveSegment(data, &g[2], state);
            SegmentMap& map = state.section == Section::Artcc       ? data.artcc
                              : state.section == Section::ArtccHigh ? data.artccHigh
                              : state.section == Section::ArtccLow  ? data.artccLow
                              : state.section == Section::LowAirway ? data.lowAirways
                                                                    : data.highAirways;
            map[std::string(g[1])].push_back(segment);
            break;
        }
        case Section::Sid:
        case Section::Star:
            HandleProcedureLine(line, data, state);
            break;
        case Section::Geo: {
            if (!m_patterns->Match(SectorPattern::Geo, line, g)) return AddFormatError(state);
            GeoLine segment = ResolveSegment(data, &g[1], state);
            segment.color = ColorValue(g[5]);
            data.geo.push_back(segment);
            break;
        }
        case Section::Regions:
            HandleRegionLine(line, data, state);
            break;
        case Section::Labels: {
            if (!m_patterns->Match(SectorPattern::Label, line, g)) return AddFormatError(state);
            SectorLabel label;
            label.text = std::string(g[1]);
            std::string_view lat = g[2], lon = g[3], color = g[4];
            label.position.x = Resolve(data, lon, true, state);
            label.position.y = Resolve(data, lat, false, state);
            label.color = ColorValue(color);
            data.labels.push_back(std::move(label));
            break;
        }
        default:
            break;
    }
}

void TarqSectorParser::HandleProcedureLine(const std::string& line, TarqSectorData& data, PassState& state) {
    SectorGroups& g = state.groups;
    // Group numbers of the four coordinates and the colour in either form.
    int first;
    if (IsSpace(line.front())) {
        if (state.procedureName.empty()) return AddError(state, "Unnamed SID/STAR segment");
        if (!m_patterns->Match(SectorPattern::ProcNext, line, g)) return AddFormatError(state);
        first = 1;
    } else {
        if (!m_patterns->Match(SectorPattern::ProcFirst, line, g)) {
            // The continuation lines that follow belong to the broken procedure,
            // not to the one before it: leave them without a name.
            state.procedureName.clear();
            return AddFormatError(state);
        }
        state.procedureName.assign(g[1]);
        TrimRight(state.procedureName);
        first = 2;
    }
    bool sid = state.section == Section::Sid;
    SegmentMap& map = sid ? data.sids : data.stars;
    // A name enters the name list when its first segment is stored, so the
    // map's keys tell which names the list already holds.
    auto [it, inserted] = map.try_emplace(state.procedureName);
    if (inserted) (sid ? data.sidNames : data.starNames).push_back(state.procedureName);

    GeoLine segment = ResolveSegment(data, &g[first], state);
    segment.color = g[first + 4].empty() ? -1 : ColorValue(g[first + 4]);
    it->second.push_back(segment);
}

void TarqSectorParser::HandleRegionLine(const std::string& line, TarqSectorData& data, PassState& state) {
    SectorGroups& g = state.groups;
    std::string_view lat, lon;
    if (IsSpace(line.front())) {
        if (state.regionColorText.empty()) return AddError(state, "Found region with no color specified");
        if (!m_patterns->Match(SectorPattern::RegionNext, line, g)) {
            return AddError(state, "1 Unrecognized formatting in " + state.sectionName + " section");
        }
        lat = g[1];
        lon = g[2];
    } else {
        if (!m_patterns->Match(SectorPattern::RegionFirst, line, g)) {
            // Its continuation lines must not bend the previous region's outline.
            state.regionColorText.clear();
            return AddError(state, "2 Unrecognized formatting in " + state.sectionName + " section");
        }
        state.regionColorText.assign(g[1]);
        SectorRegion region;
        region.color = ColorValue(g[1]);
        data.regions.push_back(std::move(region));
        lat = g[2];
        lon = g[3];
    }
    ScopePoint point;
    point.x = Resolve(data, lon, true, state);
    point.y = Resolve(data, lat, false, state);
    // A region colour is only ever set after a region was appended, so back()
    // is the most recent region of this file.
    data.regions.back().points.push_back(point);
}

double TarqSectorParser::Resolve(const TarqSectorData& data, std::string_view field, bool longitude,
                                 PassState& state) {
    if (field.find('.') != std::string_view::npos) return ParseCoordinate(field);
    double value = 0.0;
    if (!ResolvePoint(data, std::string(field), longitude, value)) {
        AddError(state, "Unknown fix specified in segment: " + std::string(field));
    }
    return value;
}

GeoLine TarqSectorParser::ResolveSegment(const TarqSectorData& data, const std::string_view* fields,
                                         PassState& state) {
    GeoLine segment;
    segment.x1 = Resolve(data, fields[1], true, state);
    segment.y1 = Resolve(data, fields[0], false, state);
    segment.x2 = Resolve(data, fields[3], true, state);
    segment.y2 = Resolve(data, fields[2], false, state);
    return segment;
}

bool TarqSectorParser::ResolvePoint(const TarqSectorData& data, const std::string& name, bool longitude,
                                    double& value) {
    std::string key = Upper(name);
    const SectorNavaid* point = FirstOf(data.fixes, key);
    if (!point) point = FirstOf(data.vors, key);
    const ScopePoint* position = point ? &point->position : nullptr;
    if (!position) {
        auto airport = data.airports.find(key);
        if (airport != data.airports.end()) position = &airport->second.position;
    }
    if (!position) {
        point = FirstOf(data.ndbs, key);
        if (point) position = &point->position;
    }
    value = position ? (longitude ? position->x : position->y) : 0.0;
    return position != nullptr;
}

void TarqSectorParser::ApplyDefine(std::string& token) const {
    auto it = m_defines.find(Upper(token));
    if (it != m_defines.end()) token = it->second;
}

int32_t TarqSectorParser::ColorValue(std::string_view token) const {
    std::string text(token);
    ApplyDefine(text);
    return LeadingInt(text);
}

double TarqSectorParser::ParseCoordinate(std::string_view text) {
    if (text.empty()) return 0.0;
    // Plain loops: find_first_of calls memchr once per character, and this
    // runs four times for most lines of a large file.
    bool negative = false;
    for (char c : text) negative |= c == 'S' || c == 'W' || c == 's' || c == 'w';
    std::string_view rest = text.substr(1);
    auto nextSeparator = [rest](size_t from) {
        for (size_t i = from; i < rest.size(); ++i) {
            if (rest[i] == '.' || rest[i] == ',') return i;
        }
        return std::string_view::npos;
    };
    size_t p1 = nextSeparator(0);
    if (p1 == std::string_view::npos) return 0.0;
    size_t p2 = nextSeparator(p1 + 1);
    if (p2 == std::string_view::npos) return 0.0;
    size_t p3 = nextSeparator(p2 + 1);
    if (p3 == std::string_view::npos || p3 + 1 == rest.size()) return 0.0;

    int32_t degrees = LeadingInt(rest.substr(0, p1));
    int32_t minutes = LeadingInt(rest.substr(p1 + 1, p2 - p1 - 1));
    std::string secondsText(rest.substr(p2 + 1, p3 - p2 - 1));
    secondsText += '.';
    secondsText += rest.substr(p3 + 1);
    // Seconds are held in single precision, as sector files have always been read.
    float seconds = static_cast<float>(LeadingDouble(secondsText));
    if (!std::isfinite(seconds)) return 0.0;
    double value = seconds / 3600.0 + (minutes / 60.0 + degrees);
    return negative ? -value : value;
}

void TarqSectorParser::StripComment(std::string& line) {
    size_t cut = line.find(';');
    if (cut == std::string::npos) cut = line.find("//");
    if (cut != std::string::npos) line.erase(cut);
}

bool TarqSectorParser::IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\xA0';
}

void TarqSectorParser::TrimRight(std::string& line) {
    size_t end = line.size();
    while (end > 0 && IsSpace(line[end - 1])) --end;
    line.erase(end);
}

void TarqSectorParser::AddFormatError(PassState& state) {
    AddError(state, "Unrecognized formatting in " + state.sectionName + " section");
}

void TarqSectorParser::AddError(PassState& state, std::string message) {
    SectorParseError error;
    error.message = std::move(message);
    error.lineText.assign(state.rawLine);
    if (state.rawHasNewline) error.lineText += '\n';
    error.lineNumber = state.lineNumber;
    m_errors.push_back(std::move(error));
}

void TarqSectorParser::AddFatal(std::string message) {
    m_errors.push_back(SectorParseError{std::move(message), "", 0});
}

std::string TarqSectorParser::BuildReport(const std::string& path, bool extended, const TarqSectorData& data,
                                          const PassState& state) const {
    // Built as one growing string: a long path or line must never be cut.
    std::string out;
    out.reserve(2048);
    auto rule = [&out] {
        out += kRule;
        out += '\n';
    };
    rule();
    out += "Tarq Sector file parse results:\n";
    rule();
    out += '\n';
    out += "File path: ";
    out += path;
    out += "\n\n";
    AppendDuration(out, "Pass 1 time:        ", static_cast<long long>(state.pass2Start - state.pass1Start));
    AppendDuration(out, "Pass 2 time:        ", static_cast<long long>(state.pass2End - state.pass2Start));
    out += '\n';
    AppendCount(out, "Lines in file:      ", state.linesInFile);
    AppendCount(out, "Comments:           ", state.comments);
    AppendCount(out, "Blank lines:        ", state.blankLines);
    AppendCount(out, "Parsed lines:       ", state.parsedLines);
    AppendCount(out, "Erroneous lines:    ", m_errors.size());
    out += '\n';
    AppendCount(out, "VORs:               ", data.vors.size());
    AppendCount(out, "NDBs:               ", data.ndbs.size());
    AppendCount(out, "Fixes:              ", data.fixes.size());
    AppendCount(out, "Airports:           ", data.airports.size());
    AppendCount(out, "Runways:            ", data.runways.size());
    AppendCount(out, "ARTCC Borders:      ", data.artcc.size());
    AppendCount(out, "ARTCC High Borders: ", data.artccHigh.size());
    AppendCount(out, "ARTCC Low Borders:  ", data.artccLow.size());
    AppendCount(out, "SIDs:               ", data.sids.size());
    AppendCount(out, "STARs:              ", data.stars.size());
    AppendCount(out, "Low Airways:        ", data.lowAirways.size());
    AppendCount(out, "High Airways:       ", data.highAirways.size());
    AppendCount(out, "Geo Segments:       ", data.geo.size());
    if (extended) {
        AppendCount(out, "Regions:            ", data.regions.size());
        AppendCount(out, "Labels:             ", data.labels.size());
    }
    out += '\n';
    if (!m_errors.empty()) {
        rule();
        out += "Error details:\n";
        rule();
        for (const SectorParseError& error : m_errors) {
            out += "\nLine ";
            AppendInt(out, error.lineNumber);
            out += ": ";
            out += error.message;
            out += ":\n";
            out += error.lineText;
            out += '\n';
        }
    }
    rule();
    out += "End\n";
    rule();
    return out;
}
