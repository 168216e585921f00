// Sector file parser. See sector_parser.h.
#include "atc/sector_parser.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <limits>
#include <unordered_map>
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

// Sections where leading blanks mark a continuation line; in all others an
// indented line reads as the line without its indent.
bool HasContinuationLines(Section s) {
    return s == Section::Sid || s == Section::Star || s == Section::Regions;
}

constexpr std::string_view kRule = "=====================================================================";

void ToUpper(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
}

std::string Upper(std::string_view text) {
    std::string out(text);
    ToUpper(out);
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

// A position from two written coordinates; nothing when either is bad.
std::optional<ScopePoint> WrittenPoint(std::string_view lat, std::string_view lon) {
    auto y = TarqSectorParser::ParseCoordinate(lat, CoordinateAxis::Latitude);
    auto x = TarqSectorParser::ParseCoordinate(lon, CoordinateAxis::Longitude);
    if (!x || !y) return std::nullopt;
    return ScopePoint{*x, *y};
}

bool IsExtendedPath(const std::string& path) {
    size_t dot = path.rfind('.');
    return dot != std::string::npos && Upper(std::string_view(path).substr(dot)) == ".SCT2";
}

size_t IndentOf(std::string_view line) {
    size_t n = 0;
    while (n < line.size() && (line[n] == ' ' || line[n] == '\t')) ++n;
    return n;
}

// Procedure names are cut from fixed columns; facilities pad them with tabs,
// which editors show as reaching the next multiple of eight.
void ExpandTabs(std::string_view line, std::string& out) {
    out.clear();
    for (char c : line) {
        if (c == '\t') {
            out.append(8 - out.size() % 8, ' ');
        } else {
            out += c;
        }
    }
}

// The whole file in one allocation of its size; a stream of unknown size
// (a pipe) is still read to its end.
bool ReadSectorFile(const std::string& path, std::string& contents) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    contents.clear();
    struct stat info {};
    if (fstat(fileno(f), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        contents.resize(static_cast<size_t>(info.st_size));
        contents.resize(std::fread(contents.data(), 1, contents.size(), f));
    }
    char buffer[65536];
    size_t n;
    while (!std::ferror(f) && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0) contents.append(buffer, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
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
    std::optional<double> centreLatitude;
    std::string regionColorText;
    std::string procedureName;

    int comments = 0;
    int blankLines = 0;
    int parsedLines = 0;
    int linesInFile = 0;

    std::time_t pass1Start = 0;
    std::time_t pass2Start = 0;
    std::time_t pass2End = 0;

    // Every named point by its name, the one that counts for each name; built
    // once the first pass has collected them all.
    std::unordered_map<std::string, ScopePoint> points;
    std::string key;

    SectorGroups groups;
    std::string scratch;  // a line with its tabs expanded, or a header without its indent
};

TarqSectorParser::TarqSectorParser(const Clock& clock)
    : m_clock(clock), m_patterns(std::make_unique<SectorLinePatterns>()) {}

TarqSectorParser::TarqSectorParser() : TarqSectorParser(SystemClock::Instance()) {}

TarqSectorParser::~TarqSectorParser() = default;

SectorParseError TarqSectorParser::GetLastError() const {
    if (m_errors.empty()) return SectorParseError{"No errors", "", 0};
    return m_errors.back();
}

void TarqSectorParser::Reset() {
    m_errors.clear();
    m_droppedErrors = 0;
    m_defines.clear();
    m_report.clear();
}

bool TarqSectorParser::Parse(const std::string& path, TarqSectorData& data, const std::string& reportPath) {
    Reset();
    if (path.empty()) {
        AddFatal("Empty filename passed to parser");
        return false;
    }
    std::string contents;
    if (!ReadSectorFile(path, contents)) {
        AddFatal("Error opening sector file for reading");
        return false;
    }
    return ParseText(path, contents, data, reportPath);
}

bool TarqSectorParser::ParseText(const std::string& path, std::string_view contents, TarqSectorData& data,
                                 const std::string& reportPath) {
    Reset();
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
    IndexPoints(work, state);
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

        size_t indent = IndentOf(raw);
        if (indent < raw.size() && raw[indent] == ';') {
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

        // Facilities indent whole blocks. Only where an indent marks a
        // continuation line is it kept for the section (pass 2 only).
        indent = IndentOf(line);
        bool keepIndent = pass == 2 && HasContinuationLines(state.section);
        if (indent > 0 && !keepIndent) {
            line.erase(0, indent);
            indent = 0;
        }

        SectorGroups& g = state.groups;
        if (pass == 1 && line.front() == '#' && m_patterns->Match(SectorPattern::Define, line, g)) {
            m_defines[Upper(g[1])] = std::string(g[2]);
            continue;
        }
        // A header ends in "]": checked first, as a wrong file may hold
        // millions of lines that begin with "[".
        if (line[indent] == '[' && line.back() == ']') {
            const std::string* header = &line;
            if (indent > 0) header = &state.scratch.assign(line, indent);
            if (m_patterns->Match(SectorPattern::Header, *header, g)) {
                std::string_view name = g[1];
                // "[ARTCC HIGH ]" is the ARTCC HIGH header.
                size_t first = IndentOf(name);
                name.remove_prefix(first);
                while (!name.empty() && IsSpace(name.back())) name.remove_suffix(1);
                state.procedureName.clear();
                state.sectionName = Upper(name);
                state.section = Section::None;
                for (const SectionName& known : kSections) {
                    if (known.name == state.sectionName && (extended || !known.extendedOnly)) {
                        state.section = known.section;
                    }
                }
                if (state.section == Section::None) {
                    // Kept past the error limit: it is the one the caller shows.
                    KeepError(state, "Unknown section header encountered: ", state.sectionName);
                    return false;
                }
                continue;
            }
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
            // The centre is the scope's origin: a bad one fails the load
            // rather than centring the map on 0, 0.
            state.centreLatitude = ParseCoordinate(line, CoordinateAxis::Latitude);
            if (!state.centreLatitude) AddFormatError(state);
            break;
        case 5: {
            std::optional<double> longitude = ParseCoordinate(line, CoordinateAxis::Longitude);
            if (!longitude) {
                AddFormatError(state);
            } else if (state.centreLatitude) {
                data.centre = ScopePoint{*longitude, *state.centreLatitude};
                state.centreSet = true;
            }
            break;
        }
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
            std::optional<ScopePoint> position = WrittenPoint(g[3], g[4]);
            if (!position) return AddFormatError(state);
            SectorNavaid navaid{Upper(g[1]), std::string(g[2]), *position};
            NavaidMap& map = state.section == Section::Vor ? data.vors : data.ndbs;
            map.emplace(navaid.name, std::move(navaid));
            break;
        }
        case Section::Fixes: {
            if (!m_patterns->Match(SectorPattern::Fix, line, g)) return AddFormatError(state);
            std::optional<ScopePoint> position = WrittenPoint(g[2], g[3]);
            if (!position) return AddFormatError(state);
            SectorNavaid fix{Upper(g[1]), "0", *position};
            data.fixes.emplace(fix.name, std::move(fix));
            break;
        }
        case Section::Airport: {
            if (!m_patterns->Match(SectorPattern::Airport, line, g)) return AddFormatError(state);
            std::optional<ScopePoint> position = WrittenPoint(g[3], g[4]);
            if (!position) return AddFormatError(state);
            SectorAirport airport{Upper(g[1]), std::string(g[2]), *position,
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
            std::optional<ScopePoint> end1 = WrittenPoint(g[5], g[6]);
            std::optional<ScopePoint> end2 = WrittenPoint(g[7], g[8]);
            if (!end1 || !end2) return AddFormatError(state);
            data.runways.push_back(
                SectorRunway{Upper(g[1]), Upper(g[2]), LeadingInt(g[3]), LeadingInt(g[4]), *end1, *end2});
            break;
        }
        case Section::Artcc:
        case Section::ArtccHigh:
        case Section::ArtccLow:
        case Section::LowAirway:
        case Section::HighAirway: {
            if (!m_patterns->Match(SectorPattern::Segment, line, g)) return AddFormatError(state);
            GeoLine segment;
            FieldFault fault = ResolveSegment(&g[2], state, segment);
            if (!Usable(fault, state)) return;
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
            GeoLine segment;
            FieldFault fault = ResolveSegment(&g[1], state, segment);
            if (!Usable(fault, state)) return;
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
            FieldFault fault = ResolvePosition(g[2], g[3], state, label.position);
            if (!Usable(fault, state)) return;
            label.text = std::string(g[1]);
            label.color = ColorValue(g[4]);
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
        const std::string* text = &line;
        if (line.find('\t') != std::string::npos) {
            ExpandTabs(line, state.scratch);
            text = &state.scratch;
        }
        // Whatever rejects a first line, the continuation lines that follow
        // belong to the broken procedure, not to the one before it, nor to a
        // name cut from the broken line: they are left without a name.
        state.procedureName.clear();
        if (!m_patterns->Match(SectorPattern::ProcFirst, *text, g)) return AddFormatError(state);
        first = 2;
    }
    GeoLine segment;
    FieldFault fault = ResolveSegment(&g[first], state, segment);
    if (!Usable(fault, state)) return;
    if (first == 2) {
        state.procedureName.assign(g[1]);
        TrimRight(state.procedureName);
    }
    segment.color = g[first + 4].empty() ? -1 : ColorValue(g[first + 4]);

    bool sid = state.section == Section::Sid;
    SegmentMap& map = sid ? data.sids : data.stars;
    // A name enters the name list when its first segment is stored, so the
    // map's keys tell which names the list already holds.
    auto [it, inserted] = map.try_emplace(state.procedureName);
    if (inserted) (sid ? data.sidNames : data.starNames).push_back(state.procedureName);
    it->second.push_back(segment);
}

void TarqSectorParser::HandleRegionLine(const std::string& line, TarqSectorData& data, PassState& state) {
    SectorGroups& g = state.groups;
    std::string_view lat, lon;
    const char* formatError;
    if (IsSpace(line.front())) {
        formatError = "1 Unrecognized formatting in ";
        if (state.regionColorText.empty()) return AddError(state, "Found region with no color specified");
        if (!m_patterns->Match(SectorPattern::RegionNext, line, g)) {
            return AddError(state, formatError, state.sectionName, " section");
        }
        lat = g[1];
        lon = g[2];
    } else {
        formatError = "2 Unrecognized formatting in ";
        if (!m_patterns->Match(SectorPattern::RegionFirst, line, g)) {
            // Its continuation lines must not bend the previous region's outline.
            state.regionColorText.clear();
            return AddError(state, formatError, state.sectionName, " section");
        }
        // The region starts even when this point is bad, so that the points
        // after it still go to their own outline.
        state.regionColorText.assign(g[1]);
        SectorRegion region;
        region.color = ColorValue(g[1]);
        data.regions.push_back(std::move(region));
        lat = g[2];
        lon = g[3];
    }
    ScopePoint point;
    FieldFault fault = ResolvePosition(lat, lon, state, point);
    if (fault == FieldFault::Malformed) AddError(state, formatError, state.sectionName, " section");
    if (fault != FieldFault::None) return;
    // A region colour is only ever set after a region was appended, so back()
    // is the most recent region of this file.
    data.regions.back().points.push_back(point);
}

TarqSectorParser::FieldFault TarqSectorParser::Resolve(std::string_view field, CoordinateAxis axis,
                                                       PassState& state, double& value) {
    if (field.find('.') != std::string_view::npos) {
        std::optional<double> written = ParseCoordinate(field, axis);
        value = written.value_or(0.0);
        return written ? FieldFault::None : FieldFault::Malformed;
    }
    if (ResolvePoint(state, field, axis, value)) return FieldFault::None;
    AddError(state, "Unknown fix specified in segment: ", field);
    return FieldFault::UnknownName;
}

TarqSectorParser::FieldFault TarqSectorParser::ResolvePosition(std::string_view lat, std::string_view lon,
                                                               PassState& state, ScopePoint& point) {
    FieldFault fault = Resolve(lon, CoordinateAxis::Longitude, state, point.x);
    if (fault == FieldFault::Malformed) return fault;
    FieldFault latFault = Resolve(lat, CoordinateAxis::Latitude, state, point.y);
    return latFault != FieldFault::None ? latFault : fault;
}

TarqSectorParser::FieldFault TarqSectorParser::ResolveSegment(const std::string_view* fields,
                                                              PassState& state, GeoLine& segment) {
    ScopePoint start, end;
    FieldFault fault = ResolvePosition(fields[0], fields[1], state, start);
    if (fault == FieldFault::Malformed) return fault;
    FieldFault endFault = ResolvePosition(fields[2], fields[3], state, end);
    segment.x1 = start.x;
    segment.y1 = start.y;
    segment.x2 = end.x;
    segment.y2 = end.y;
    return endFault != FieldFault::None ? endFault : fault;
}

void TarqSectorParser::IndexPoints(const TarqSectorData& data, PassState& state) {
    // By precedence, and within a kind in file order: the first entry of a
    // name stays.
    state.points.clear();
    state.points.reserve(data.fixes.size() + data.vors.size() + data.airports.size() + data.ndbs.size());
    for (const auto& [name, fix] : data.fixes) state.points.try_emplace(name, fix.position);
    for (const auto& [name, vor] : data.vors) state.points.try_emplace(name, vor.position);
    for (const auto& [name, airport] : data.airports) state.points.try_emplace(name, airport.position);
    for (const auto& [name, ndb] : data.ndbs) state.points.try_emplace(name, ndb.position);
}

bool TarqSectorParser::ResolvePoint(PassState& state, std::string_view name, CoordinateAxis axis,
                                    double& value) {
    state.key.assign(name);
    ToUpper(state.key);
    auto it = state.points.find(state.key);
    value = it == state.points.end() ? 0.0 : axis == CoordinateAxis::Longitude ? it->second.x : it->second.y;
    return it != state.points.end();
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

std::optional<double> TarqSectorParser::ParseCoordinate(std::string_view text, CoordinateAxis axis) {
    if (text.empty()) return std::nullopt;
    // The hemisphere letter must belong to the axis: "E073.46.43.500" in a
    // latitude field is a swapped pair, not a latitude of -73.
    char hemisphere = static_cast<char>(text[0] | 0x20);
    bool latitude = axis == CoordinateAxis::Latitude;
    if (latitude ? hemisphere != 'n' && hemisphere != 's' : hemisphere != 'e' && hemisphere != 'w') {
        return std::nullopt;
    }
    // Four runs of digits: degrees, minutes, seconds, fraction.
    size_t starts[4];
    size_t ends[4];
    size_t i = 1;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (i >= text.size() || (text[i] != '.' && text[i] != ',')) return std::nullopt;
            ++i;
        }
        starts[part] = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        ends[part] = i;
        if (starts[part] == ends[part]) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;

    auto number = [text](size_t from, size_t to) {
        // Capped: anything this large fails the range check below anyway.
        double value = 0.0;
        for (size_t k = from; k < to && value < 1e6; ++k) value = value * 10 + (text[k] - '0');
        return value;
    };
    double degrees = number(starts[0], ends[0]);
    double minutes = number(starts[1], ends[1]);
    // Seconds are held in single precision, as sector files have always been read.
    double secondsValue = 0.0;
    std::from_chars_result read{};
    // Seconds and fraction as one integer over a power of ten: both exact in a
    // double, so one division rounds as correctly as reading the decimal text.
    constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    size_t fractionDigits = ends[3] - starts[3];
    if (ends[2] - starts[2] + fractionDigits <= 15 && fractionDigits < std::size(kPowersOfTen)) {
        int64_t digits = 0;
        for (size_t k = starts[2]; k < ends[2]; ++k) digits = digits * 10 + (text[k] - '0');
        for (size_t k = starts[3]; k < ends[3]; ++k) digits = digits * 10 + (text[k] - '0');
        secondsValue = static_cast<double>(digits) / kPowersOfTen[fractionDigits];
    } else if (text[ends[2]] == '.') {
        read = std::from_chars(text.data() + starts[2], text.data() + text.size(), secondsValue);
    } else {
        std::string joined(text.substr(starts[2], ends[2] - starts[2]));
        joined += '.';
        joined += text.substr(starts[3]);
        read = std::from_chars(joined.data(), joined.data() + joined.size(), secondsValue);
    }
    if (read.ec != std::errc() || secondsValue >= 1e6) return std::nullopt;
    double value = static_cast<float>(secondsValue) / 3600.0 + (minutes / 60.0 + degrees);
    if (!(value <= (latitude ? 90.0 : 180.0))) return std::nullopt;
    return hemisphere == 's' || hemisphere == 'w' ? -value : value;
}

void TarqSectorParser::StripComment(std::string& line) {
    size_t cut = line.find(';');
    if (cut == std::string::npos) cut = line.find("//");
    if (cut != std::string::npos) line.erase(cut);
}

bool TarqSectorParser::IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

void TarqSectorParser::TrimRight(std::string& line) {
    size_t end = line.size();
    while (end > 0 && IsSpace(line[end - 1])) --end;
    line.erase(end);
}

std::string TarqSectorParser::ErrorText(std::string_view text) {
    if (text.size() <= kSectorMaxErrorText) return std::string(text);
    std::string cut(text.substr(0, kSectorMaxErrorText));
    cut += "...";
    return cut;
}

bool TarqSectorParser::Usable(FieldFault fault, PassState& state) {
    if (fault == FieldFault::Malformed) AddFormatError(state);
    return fault == FieldFault::None;
}

void TarqSectorParser::AddFormatError(PassState& state) {
    AddError(state, "Unrecognized formatting in ", state.sectionName, " section");
}

void TarqSectorParser::AddError(PassState& state, std::string_view prefix, std::string_view detail,
                                std::string_view suffix) {
    // Past the limit nothing is built: a wrong file has millions of these.
    if (m_errors.size() >= kSectorMaxKeptErrors) {
        ++m_droppedErrors;
        return;
    }
    KeepError(state, prefix, detail, suffix);
}

void TarqSectorParser::KeepError(PassState& state, std::string_view prefix, std::string_view detail,
                                 std::string_view suffix) {
    SectorParseError error;
    error.message.assign(prefix);
    error.message += ErrorText(detail);
    error.message += suffix;
    error.lineText = ErrorText(state.rawLine);
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
    AppendCount(out, "Erroneous lines:    ", ErrorCount());
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
        if (m_droppedErrors > 0) {
            out += '\n';
            AppendInt(out, static_cast<long long>(m_droppedErrors));
            out += " more errors not listed\n\n";
        }
    }
    rule();
    out += "End\n";
    rule();
    return out;
}
