// The sector parser: fatal errors, single-line errors, named points, colours,
// plain versus extended files, the realistic fixtures and the report.
#include "atc/sector_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "tests/atc/sector_generator.h"
#include "tests/temp_dir.h"

namespace {

// Nine INFO lines; the centre is N040.30.00.000 W073.30.00.000.
const std::string kInfo =
    "[INFO]\n"
    "Test Sector\n"
    "TEST_CTR\n"
    "KTST\n"
    "N040.30.00.000\n"
    "W073.30.00.000\n"
    "60\n"
    "45\n"
    "-13\n"
    "1\n";
constexpr int kInfoLines = 10;

// Hands out the wall-clock seconds of a script, one per call.
class ScriptedClock final : public Clock {
public:
    explicit ScriptedClock(std::vector<std::time_t> seconds) : m_seconds(std::move(seconds)) {}
    uint64_t NowMs() const override { return 0; }
    std::time_t WallSeconds() const override {
        std::time_t value = m_seconds[std::min(m_next, m_seconds.size() - 1)];
        ++m_next;
        return value;
    }

private:
    std::vector<std::time_t> m_seconds;
    mutable size_t m_next = 0;
};

struct ExpectedError {
    int line;
    std::string message;
};

std::vector<ExpectedError> ErrorsOf(const TarqSectorParser& parser) {
    std::vector<ExpectedError> out;
    for (const SectorParseError& e : parser.Errors()) out.push_back({e.lineNumber, e.message});
    return out;
}

void ExpectErrors(const TarqSectorParser& parser, const std::vector<ExpectedError>& expected) {
    std::vector<ExpectedError> actual = ErrorsOf(parser);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].line, expected[i].line);
        EXPECT_EQ(actual[i].message, expected[i].message);
    }
}

TarqSectorData SentinelData() {
    TarqSectorData data;
    data.name = "previous sector";
    data.vors.emplace("OLD", SectorNavaid{"OLD", "110.000", {1.0, 2.0}});
    data.geo.push_back(GeoLine{1, 2, 3, 4, 5});
    return data;
}

TEST(SectorParser, FatalErrorsLeaveDataAndReportAlone) {
    struct Case {
        const char* name;
        const char* file;  // nullptr: no file is written
        std::string contents;
        std::string message;
        int line;
    };
    const Case cases[] = {
        {"empty path", "", "", "Empty filename passed to parser", 0},
        {"missing file", nullptr, "", "Error opening sector file for reading", 0},
        {"unknown header", "a.sct", kInfo + "[FOO]\nGREKI N041.28.49.000 W073.18.51.000\n",
         "Unknown section header encountered: FOO", 11},
        {"unknown header in lower case is named in upper case", "a.sct", kInfo + "\n[vor]\n[Foo Bar]\n",
         "Unknown section header encountered: FOO BAR", 13},
        {"unknown header with blanks inside the brackets", "a.sct", kInfo + "[ FOO\t]\n",
         "Unknown section header encountered: FOO", 11},
        {"header of blanks only", "a.sct", kInfo + "[  ]\n", "Unknown section header encountered: ", 11},
        {"indented unknown header", "a.sct", kInfo + "[SID]\n  [FOO]\n",
         "Unknown section header encountered: FOO", 12},
        {"centre latitude in decimal degrees", "a.sct", "[INFO]\nName\nX\nY\n40.639722\nW073.46.44.000\n",
         "Missing required data from [INFO] section", 0},
        {"centre with swapped hemispheres", "a.sct", "[INFO]\nName\nX\nY\nW073.46.44.000\nN040.38.23.000\n",
         "Missing required data from [INFO] section", 0},
        {"regions in a plain file", "a.sct", kInfo + "[REGIONS]\n1 N040.00.00.000 W073.00.00.000\n",
         "Unknown section header encountered: REGIONS", 11},
        {"labels in a plain file", "a.sct", kInfo + "[LABELS]\n",
         "Unknown section header encountered: LABELS", 11},
        {"labels in a file named .sct2.bak", "a.sct2.bak", kInfo + "[LABELS]\n",
         "Unknown section header encountered: LABELS", 11},
        {"four INFO lines", "a.sct", "[INFO]\nName\nX\nY\nN040.00.00.000\n[GEO]\n",
         "Missing required data from [INFO] section", 0},
        {"no INFO section", "a.sct2", "[GEO]\nN040.00.00.000 W073.00.00.000 N041.00.00.000 W074.00.00.000\n",
         "Missing required data from [INFO] section", 0},
        {"empty file", "a.sct", "", "Missing required data from [INFO] section", 0},
        {"binary garbage", "a.sct", std::string("\0\x01\xff[\n]\n", 7),
         "Missing required data from [INFO] section", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::string report = dir.File(kSectorParseReportName);
        ASSERT_TRUE(WriteFileAtomically(report, "previous report"));
        std::string path = c.file ? (*c.file ? dir.File(c.file) : "") : dir.File("missing.sct");
        if (c.file && *c.file) {
            ASSERT_TRUE(WriteFileAtomically(path, c.contents));
        }

        TarqSectorParser parser;
        TarqSectorData data = SentinelData();
        EXPECT_FALSE(parser.Parse(path, data, report));
        SectorParseError last = parser.GetLastError();
        EXPECT_EQ(last.message, c.message);
        EXPECT_EQ(last.lineNumber, c.line);
        EXPECT_EQ(data, SentinelData());
        std::string reportText;
        ASSERT_TRUE(ReadWholeFile(report, reportText));
        EXPECT_EQ(reportText, "previous report");
    }
}

TEST(SectorParser, ADirectoryCannotBeOpened) {
    TempDir dir;
    TarqSectorParser parser;
    TarqSectorData data;
    EXPECT_FALSE(parser.Parse(dir.File(""), data, ""));
    EXPECT_EQ(parser.GetLastError().message, "Error opening sector file for reading");
}

TEST(SectorParser, GetLastErrorWithoutErrors) {
    TarqSectorParser parser;
    SectorParseError fresh = parser.GetLastError();
    EXPECT_EQ(fresh.message, "No errors");
    EXPECT_EQ(fresh.lineNumber, 0);
    EXPECT_EQ(fresh.lineText, "");

    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("clean.sct", kInfo, data, ""));
    EXPECT_EQ(parser.GetLastError().message, "No errors");
}

TEST(SectorParser, SingleLineErrors) {
    struct Case {
        const char* name;
        const char* path;
        std::string body;  // follows the INFO section, so its first line is line 11
        std::vector<ExpectedError> errors;
    };
    const Case cases[] = {
        {"extra INFO line",
         "a.sct",
         "Tenth line\n#ignored tenth line\n",
         {{11, "Extra line in sector INFO section"}}},
        {"VOR",
         "a.sct",
         "[VOR]\nJFK 115.900 N040.37.58.400\n",
         {{12, "Unrecognized formatting in VOR section"}}},
        {"NDB", "a.sct", "[NDB]\nLG 404\n", {{12, "Unrecognized formatting in NDB section"}}},
        {"AIRPORT",
         "a.sct",
         "[airport]\nKJFK 119.100 N040.38.23.000\n",
         {{12, "Unrecognized formatting in AIRPORT section"}}},
        {"RUNWAY",
         "a.sct",
         "[RUNWAY]\n04L 22R 044 224 N040.37.19.430 W073.47.08.570 N040.39.02.350\n",
         {{12, "Unrecognized formatting in RUNWAY section"}}},
        {"FIXES",
         "a.sct",
         "[FIXES]\nMERIT N041.22.55.000\n",
         {{12, "Unrecognized formatting in FIXES section"}}},
        {"ARTCC",
         "a.sct",
         "[ARTCC]\nZNY N041.50.00.000 W074.45.00.000 N041.50.00.000\n",
         {{12, "Unrecognized formatting in ARTCC section"}}},
        {"ARTCC HIGH",
         "a.sct",
         "[ARTCC HIGH]\nZNY a b c\n",
         {{12, "Unrecognized formatting in ARTCC HIGH section"}}},
        {"ARTCC LOW",
         "a.sct",
         "[ARTCC LOW]\nZNY a b c\n",
         {{12, "Unrecognized formatting in ARTCC LOW section"}}},
        {"LOW AIRWAY",
         "a.sct",
         "[LOW AIRWAY]\nV16 a b c\n",
         {{12, "Unrecognized formatting in LOW AIRWAY section"}}},
        {"HIGH AIRWAY",
         "a.sct",
         "[HIGH AIRWAY]\nJ95 a b c\n",
         {{12, "Unrecognized formatting in HIGH AIRWAY section"}}},
        {"SID first line too short",
         "a.sct",
         "[SID]\nKJFK SHORT N040.00.00.000\n",
         {{12, "Unrecognized formatting in SID section"}}},
        {"STAR continuation with three fields",
         "a.sct",
         "[STAR]\nKJFK CAMRN5                N040.00.00.000 W073.00.00.000 N040.10.00.000 W073.10.00.000\n"
         "   N040.00.00.000 W073.00.00.000 N040.10.00.000\n",
         {{13, "Unrecognized formatting in STAR section"}}},
        {"SID continuation right after the header",
         "a.sct",
         "[SID]\n   N040.00.00.000 W073.00.00.000 N040.10.00.000 W073.10.00.000\n",
         {{12, "Unnamed SID/STAR segment"}}},
        {"SID name does not survive a second SID header",
         "a.sct",
         "[SID]\nKJFK SKORR4                N040.00.00.000 W073.00.00.000 N040.10.00.000 W073.10.00.000\n"
         "[SID]\n\tN040.00.00.000 W073.00.00.000 N040.10.00.000 W073.10.00.000\n",
         {{14, "Unnamed SID/STAR segment"}}},
        {"continuation of a broken SID is not given to the SID before it",
         "a.sct",
         "[SID]\nKJFK SKORR4                N040.00.00.000 W073.00.00.000 N040.10.00.000 W073.10.00.000\n"
         "KJFK SHORT\n"
         "   N040.00.00.000 W073.00.00.000 N040.10.00.000 W073.10.00.000\n",
         {{13, "Unrecognized formatting in SID section"}, {14, "Unnamed SID/STAR segment"}}},
        {"GEO",
         "a.sct",
         "[GEO]\nN040.00.00.000 W073.00.00.000 N040.10.00.000\n",
         {{12, "Unrecognized formatting in GEO section"}}},
        {"four unknown points on one line, in resolving order",
         "a.sct",
         "[GEO]\nLATA LONA LATB LONB\n",
         {{12, "Unknown fix specified in segment: LONA"},
          {12, "Unknown fix specified in segment: LATA"},
          {12, "Unknown fix specified in segment: LONB"},
          {12, "Unknown fix specified in segment: LATB"}}},
        {"commas only make a point name",
         "a.sct",
         "[ARTCC]\nZNY N041,50,00,000 W074,45,00,000 N041.50.00.000 W074.45.00.000\n",
         {{12, "Unknown fix specified in segment: W074,45,00,000"},
          {12, "Unknown fix specified in segment: N041,50,00,000"}}},
        {"region continuation before any region",
         "a.sct2",
         "[REGIONS]\n  N040.00.00.000 W073.00.00.000\n",
         {{12, "Found region with no color specified"}}},
        {"region first line",
         "a.sct2",
         "[REGIONS]\n255 N040.00.00.000\n",
         {{12, "2 Unrecognized formatting in REGIONS section"}}},
        {"region continuation",
         "a.sct2",
         "[REGIONS]\n255 N040.00.00.000 W073.00.00.000\n  N040.10.00.000\n",
         {{13, "1 Unrecognized formatting in REGIONS section"}}},
        {"continuation of a broken region is not given to the region before it",
         "a.sct2",
         "[REGIONS]\n255 N040.00.00.000 W073.00.00.000\nBROKEN N040.00.00.000\n  N040.10.00.000 "
         "W073.10.00.000\n",
         {{13, "2 Unrecognized formatting in REGIONS section"},
          {14, "Found region with no color specified"}}},
        {"label cut at a semicolon",
         "a.sct2",
         "[LABELS]\n\"A;B\" N040.00.00.000 W073.00.00.000 255\n",
         {{12, "Unrecognized formatting in LABELS section"}}},
        {"label without quotes",
         "a.sct2",
         "[LABELS]\nTEXT N040.00.00.000 W073.00.00.000 255\n",
         {{12, "Unrecognized formatting in LABELS section"}}},
        {"a line that looks like a header but has text after it",
         "a.sct",
         "[GEO]\n[GEO] KJFK N040.00.00.000 W073.00.00.000\n",
         {{12, "Unknown fix specified in segment: KJFK"}, {12, "Unknown fix specified in segment: [GEO]"}}},
        {"mended: a latitude in a longitude field is a format error, not an unknown fix [GEO] at 0",
         "a.sct",
         "[GEO]\n[GEO] N040.00.00.000 W073.00.00.000 N040.10.00.000\n",
         {{12, "Unrecognized formatting in GEO section"}}},
        {"mended: blanks inside the brackets are dropped, so [ GEO ] opens GEO instead of failing the load",
         "a.sct",
         "[ GEO ]\nN040.00.00.000 W073.00.00.000 N040.10.00.000\n",
         {{12, "Unrecognized formatting in GEO section"}}},
        {"a definition inside GEO is also a GEO line",
         "a.sct",
         "[GEO]\n#define RED 255\n",
         {{12, "Unrecognized formatting in GEO section"}}},
        {"a broken definition inside VOR is a VOR line",
         "a.sct",
         "[VOR]\n#define ONLYNAME\n",
         {{12, "Unrecognized formatting in VOR section"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarqSectorParser parser;
        TarqSectorData data;
        EXPECT_TRUE(parser.ParseText(c.path, kInfo + c.body, data, ""));
        ExpectErrors(parser, c.errors);
    }
}

TEST(SectorParser, OrphanedLinesAreReportedOnceWithTheirText) {
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("a.sct", "#define RED 255\nstray text\r\n\n" + kInfo, data, ""));
    ExpectErrors(parser, {{2, "Orphaned line"}});
    EXPECT_EQ(parser.GetLastError().lineText, "stray text\n");
    EXPECT_EQ(data.name, "Test Sector");
}

TEST(SectorParser, AByteOrderMarkIsNoPartOfTheFirstLine) {
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("a.sct", "\xEF\xBB\xBF" + kInfo + "[GEO]\nbroken\n", data, ""));
    EXPECT_EQ(data.name, "Test Sector");
    ExpectErrors(parser, {{12, "Unrecognized formatting in GEO section"}});
}

TEST(SectorParser, LongLinesStayWholeAndKeepTheLineCount) {
    const std::string pad(5000, ' ');
    const std::string longComment = "; " + std::string(3000, 'x') + "\n";
    const std::string body = "[GEO]\n" + longComment +
                             "N040.00.00.000 W073.00.00.000 N040.10.00.000 W073.10.00.000" + pad + "255\n" +
                             "N040.00.00.000 W073.00.00.000 broken\n";
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("a.sct", kInfo + body, data, ""));
    ExpectErrors(parser, {{kInfoLines + 4, "Unrecognized formatting in GEO section"}});
    ASSERT_EQ(data.geo.size(), 1u);
    EXPECT_EQ(data.geo[0].color, 255);
    EXPECT_NE(parser.Report().find("Lines in file:      14\n"), std::string::npos);
}

TEST(SectorParser, NamedPointPrecedence) {
    struct Case {
        const char* name;
        std::string points;  // sections that define points
        const char* field;   // used as the end point of a GEO line
        ScopePoint expected;
        bool known;
    };
    const std::string fix = "[FIXES]\nKJFK N001.00.00.000 E001.00.00.000\n";
    const std::string vor = "[VOR]\nKJFK 115.900 N002.00.00.000 E002.00.00.000\n";
    const std::string airport = "[AIRPORT]\nKJFK 119.100 N003.00.00.000 E003.00.00.000 B\n";
    const std::string ndb = "[NDB]\nKJFK 404 N004.00.00.000 E004.00.00.000\n";
    const Case cases[] = {
        {"fix before VOR, airport and NDB", ndb + airport + vor + fix, "KJFK", {1, 1}, true},
        {"VOR before airport and NDB", ndb + airport + vor, "KJFK", {2, 2}, true},
        {"airport before NDB", ndb + airport, "KJFK", {3, 3}, true},
        {"NDB alone", ndb, "KJFK", {4, 4}, true},
        {"names are looked up in upper case", fix, "kjfk", {1, 1}, true},
        {"first of two VORs with one name",
         "[VOR]\nDUP 1 N005.00.00.000 E005.00.00.000\nDUP 2 N006.00.00.000 E006.00.00.000\n",
         "DUP",
         {5, 5},
         true},
        {"last of two airports with one name",
         "[AIRPORT]\nDUP 1 N005.00.00.000 E005.00.00.000\nDUP 2 N006.00.00.000 E006.00.00.000\n",
         "DUP",
         {6, 6},
         true},
        {"mended: unknown name stores no line, not a point at 0", fix, "NOPE", {0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarqSectorParser parser;
        TarqSectorData data;
        std::string geo =
            std::string("[GEO]\nN010.00.00.000 E010.00.00.000 ") + c.field + " " + c.field + "\n";
        // The GEO section comes first: every point is a forward reference.
        ASSERT_TRUE(parser.ParseText("a.sct", kInfo + geo + c.points, data, ""));
        EXPECT_EQ(parser.Errors().size(), c.known ? 0u : 2u);
        ASSERT_EQ(data.geo.size(), c.known ? 1u : 0u);
        if (!c.known) continue;
        EXPECT_EQ(data.geo[0].x2, c.expected.x);
        EXPECT_EQ(data.geo[0].y2, c.expected.y);
    }
}

TEST(SectorParser, RunwayAndAirportCoordinatesAreNeverNames) {
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("a.sct",
                                 kInfo + "[FIXES]\nFIXA N001.00.00.000 E001.00.00.000\n"
                                         "[AIRPORT]\nKTST 118.0 FIXA FIXA\n"
                                         "[RUNWAY]\n04 22 40 220 FIXA FIXA N002.00.00.000 E002.00.00.000\n",
                                 data, ""));
    ExpectErrors(parser, {{kInfoLines + 4, "Unrecognized formatting in AIRPORT section"},
                          {kInfoLines + 6, "Unrecognized formatting in RUNWAY section"}});
    EXPECT_TRUE(data.airports.empty());
    EXPECT_TRUE(data.runways.empty());
}

TEST(SectorParser, Colors) {
    struct Case {
        const char* name;
        std::string defines;
        const char* color;  // GEO colour field; empty: none
        int32_t expected;
    };
    const Case cases[] = {
        {"number", "", "255", 255},
        {"no colour", "", "", 0},
        {"defined name", "#define WATER 32768\n", "WATER", 32768},
        {"name compared in upper case", "#DEFINE water 32768\n", "Water", 32768},
        {"undefined name reads as a number", "", "WATER", 0},
        {"value that is a name is not looked up again", "#define A B\n#define B 7\n", "A", 0},
        {"later definition wins", "#define A 1\n#define A 2\n", "A", 2},
        {"value keeps its spaces and reads its leading digits", "#define A 12 34\n", "A", 12},
        {"sign", "", "-5", -5},
        {"leading digits only", "", "12abc", 12},
        {"overflow saturates", "", "99999999999", 2147483647},
        {"definition after its use", "", "LATE", 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarqSectorParser parser;
        TarqSectorData data;
        std::string text = c.defines + kInfo +
                           "[GEO]\nN001.00.00.000 E001.00.00.000 N002.00.00.000 E002.00.00.000 " + c.color +
                           "\n#define LATE 9\n";
        ASSERT_TRUE(parser.ParseText("a.sct", text, data, ""));
        ASSERT_EQ(data.geo.size(), 1u);
        EXPECT_EQ(data.geo[0].color, c.expected);
    }
}

TEST(SectorParser, ProceduresRegionsAndLabels) {
    const std::string text =
        "#define RED 255\n" + kInfo +
        "[SID]\n"
        "KTST DEP1 RWY 04          N001.00.00.000 E001.00.00.000 N002.00.00.000 E002.00.00.000\n"
        "                          N002.00.00.000 E002.00.00.000 FIXA FIXA red\n"
        "KTST DEP2                 FIXA FIXA N003.00.00.000 E003.00.00.000\n"
        "[STAR]\n"
        "KTST ARR1                 FIXA FIXA N003.00.00.000 E003.00.00.000\n"
        "[SID]\n"
        "KTST DEP1 RWY 04          FIXA FIXA N004.00.00.000 E004.00.00.000 7\n"
        "[REGIONS]\n"
        "RED N001.00.00.000 E001.00.00.000\n"
        "    FIXA FIXA\n"
        "[LABELS]\n"
        "\"Tower \"A\"\" FIXA FIXA RED\n"
        "[REGIONS]\n"
        "\tN003.00.00.000 E003.00.00.000\n"
        "[FIXES]\n"
        "FIXA N005.00.00.000 E005.00.00.000\n";
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("a.SCT2", text, data, ""));
    EXPECT_TRUE(parser.Errors().empty());

    EXPECT_EQ(data.sidNames, (std::vector<std::string>{"KTST DEP1 RWY 04", "KTST DEP2"}));
    EXPECT_EQ(data.starNames, (std::vector<std::string>{"KTST ARR1"}));
    const std::vector<GeoLine>& dep1 = data.sids.at("KTST DEP1 RWY 04");
    ASSERT_EQ(dep1.size(), 3u);
    EXPECT_EQ(dep1[0], (GeoLine{1, 1, 2, 2, -1}));
    EXPECT_EQ(dep1[1], (GeoLine{2, 2, 5, 5, 255}));
    EXPECT_EQ(dep1[2], (GeoLine{5, 5, 4, 4, 7}));
    EXPECT_EQ(data.stars.at("KTST ARR1").size(), 1u);

    // The continuation after the LABELS section still belongs to the region.
    ASSERT_EQ(data.regions.size(), 1u);
    EXPECT_EQ(data.regions[0].color, 255);
    EXPECT_EQ(data.regions[0].points, (std::vector<ScopePoint>{{1, 1}, {5, 5}, {3, 3}}));

    ASSERT_EQ(data.labels.size(), 1u);
    EXPECT_EQ(data.labels[0].text, "Tower \"A\"");
    EXPECT_EQ(data.labels[0].position, (ScopePoint{5, 5}));
    EXPECT_EQ(data.labels[0].color, 255);
}

TEST(SectorParser, InfoValues) {
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("a.sct",
                                 "[INFO]\nName with  spaces\n2\n3\nS033.56.41.400\nE151.10.38.000\n60.5x\n"
                                 "nothing\n-12.25\n1e400\n",
                                 data, ""));
    EXPECT_EQ(data.name, "Name with  spaces");
    EXPECT_NEAR(data.centre.y, -33.944833, 1e-6);
    EXPECT_NEAR(data.centre.x, 151.177222, 1e-6);
    EXPECT_EQ(data.nmPerDegreeLat, 60.5);
    EXPECT_EQ(data.nmPerDegreeLon, 0.0);
    EXPECT_EQ(data.magneticVariation, -12.25);
    EXPECT_EQ(data.scale, 0.0);  // not a finite number
}

TEST(SectorParser, PlainAndExtendedFiles) {
    const std::string text =
        kInfo + "[REGIONS]\n255 N001.00.00.000 E001.00.00.000\n[LABELS]\n\"A\" N1.0.0.0 E1.0.0.0 1\n";
    struct Case {
        const char* name;
        const char* path;
        bool ok;
    };
    const Case cases[] = {
        {"sct2", "x/a.sct2", true},
        {"upper-case SCT2", "C:\\Sectors\\A.SCT2", true},
        {"sct", "a.sct", false},
        {"no extension", "sector", false},
        {"sct2 only in a folder name", "a.sct2/b", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarqSectorParser parser;
        TarqSectorData data;
        EXPECT_EQ(parser.ParseText(c.path, text, data, ""), c.ok);
        if (c.ok) {
            EXPECT_EQ(data.regions.size(), 1u);
            EXPECT_EQ(data.labels.size(), 1u);
            EXPECT_NE(parser.Report().find("Regions:            1\nLabels:             1\n"),
                      std::string::npos);
        } else {
            EXPECT_EQ(parser.GetLastError().message, "Unknown section header encountered: REGIONS");
        }
    }
}

TEST(SectorParser, ContainersKeepFileOrderAndDuplicates) {
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText(
        "a.sct",
        kInfo + "[VOR]\nDUP 1 N001.00.00.000 E001.00.00.000\nDUP 2 N002.00.00.000 E002.00.00.000\n"
                "[AIRPORT]\nAP 1 N001.00.00.000 E001.00.00.000 C\nap 2 N002.00.00.000 E002.00.00.000\n"
                "[ARTCC]\nB N1.0.0.0 E1.0.0.0 N1.0.0.0 E1.0.0.0\nb N2.0.0.0 E2.0.0.0 N2.0.0.0 E2.0.0.0\n"
                "B N3.0.0.0 E3.0.0.0 N3.0.0.0 E3.0.0.0\n",
        data, ""));
    ASSERT_EQ(data.vors.size(), 2u);
    auto range = data.vors.equal_range("DUP");
    EXPECT_EQ(range.first->second.frequency, "1");
    EXPECT_EQ(std::next(range.first)->second.frequency, "2");
    ASSERT_EQ(data.airports.size(), 1u);
    EXPECT_EQ(data.airports.at("AP").frequency, "2");
    EXPECT_EQ(data.airports.at("AP").airspaceClass, '\0');
    // Boundary names are kept as written, so "b" and "B" are two boundaries.
    ASSERT_EQ(data.artcc.size(), 2u);
    EXPECT_EQ(data.artcc.at("B").size(), 2u);
    EXPECT_EQ(data.artcc.at("B")[1].x1, 3.0);
}

// The realistic fixtures: a New York area in both kinds of file.
TEST(SectorParser, NewYorkFixture) {
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.Parse("data/new_york.sct2", data, ""));

    EXPECT_EQ(data.name, "New York Approach (sample)");
    EXPECT_NEAR(data.centre.y, 40.639722, 1e-6);
    EXPECT_NEAR(data.centre.x, -73.778889, 1e-6);
    EXPECT_EQ(data.magneticVariation, 13.0);

    auto jfk = data.vors.lower_bound("JFK");
    ASSERT_NE(jfk, data.vors.end());
    EXPECT_EQ(jfk->second.frequency, "115.900");
    EXPECT_NEAR(jfk->second.position.y, 40.632889, 1e-6);
    EXPECT_EQ(data.vors.count("JFK"), 2u);
    EXPECT_EQ(data.airports.at("KJFK").airspaceClass, 'B');
    EXPECT_EQ(data.airports.at("KFRG").airspaceClass, '\0');
    ASSERT_EQ(data.runways.size(), 12u);
    EXPECT_EQ(data.runways[0].id1, "04L");
    EXPECT_EQ(data.runways[0].heading2, 224);
    EXPECT_EQ(data.runways.back().id1, "04");  // from the second RUNWAY section

    EXPECT_EQ(data.sidNames,
              (std::vector<std::string>{"KJFK SKORR4 RWY 31L", "KJFK DEEZZ5 RWY 04L", "KEWR PORTS3"}));
    EXPECT_EQ(data.sids.at("KJFK SKORR4 RWY 31L").size(), 4u);
    const std::vector<GeoLine>& deezz = data.sids.at("KJFK DEEZZ5 RWY 04L");
    ASSERT_EQ(deezz.size(), 3u);
    EXPECT_EQ(deezz[0].color, 16744448);
    EXPECT_EQ(deezz[1].color, -1);
    EXPECT_EQ(deezz[2].color, 255);

    // Forward references: LATEF and QUEBEC are defined at the end of the file.
    const SectorNavaid& latef = data.fixes.find("LATEF")->second;
    EXPECT_EQ(data.lowAirways.at("V229")[1].x2, latef.position.x);
    EXPECT_EQ(data.lowAirways.at("V229")[1].y2, latef.position.y);
    EXPECT_EQ(data.geo[12].y2, data.fixes.find("QUEBEC")->second.position.y);
    // An airport as a GEO end point, and an undefined colour name.
    EXPECT_EQ(data.geo[8].x1, data.airports.at("KJFK").position.x);
    EXPECT_EQ(data.geo[11].color, 0);
    // The segment that names an unknown point is reported and not drawn.
    EXPECT_EQ(data.artcc.at("ZNY").size(), 4u);

    ASSERT_EQ(data.regions.size(), 3u);
    EXPECT_EQ(data.regions[0].color, 5263440);
    EXPECT_EQ(data.regions[0].points.size(), 4u);
    EXPECT_EQ(data.regions[1].points[1], data.airports.at("KLGA").position);
    EXPECT_EQ(data.regions[2].points.size(), 3u);
    ASSERT_EQ(data.labels.size(), 6u);
    EXPECT_EQ(data.labels[3].text, "TETERBORO");
    EXPECT_EQ(data.labels[3].position, data.airports.at("KTEB").position);

    // The file has Windows line ends: the error's line text has a bare line feed.
    EXPECT_EQ(parser.Errors()[2].lineText, "BROKEN 117.000 N040.00.00.000\n");
}

TEST(SectorParser, PlainFixtureHasNoRegionsOrLabels) {
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.Parse("data/new_york.sct", data, ""));
    EXPECT_TRUE(data.regions.empty());
    EXPECT_TRUE(data.labels.empty());
    EXPECT_EQ(data.geo.size(), 13u);
    EXPECT_EQ(parser.Report().find("Regions:"), std::string::npos);
}

TEST(SectorParser, ReportMatchesGoldenFiles) {
    for (const char* name : {"new_york.sct2", "new_york.sct"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        std::string report = dir.File(kSectorParseReportName);
        ScriptedClock clock({1000, 1000, 1000});
        TarqSectorParser parser(clock);
        TarqSectorData data;
        ASSERT_TRUE(parser.Parse(std::string("data/") + name, data, report));
        std::string written, golden;
        ASSERT_TRUE(ReadWholeFile(report, written));
        ASSERT_TRUE(ReadWholeFile(std::string("data/") + name + ".report.txt", golden));
        EXPECT_EQ(written, golden);
    }
}

TEST(SectorParser, ReportPassTimesAndCounters) {
    struct Case {
        const char* name;
        std::vector<std::time_t> clock;  // start of pass 1, start of pass 2, end of pass 2
        const char* pass1;
        const char* pass2;
    };
    const Case cases[] = {
        {"under a second", {50, 50, 50}, "less than 1 second", "less than 1 second"},
        {"one and two seconds", {100, 101, 103}, "1 second", "2 seconds"},
        {"clock stepped back", {100, 99, 98}, "less than 1 second", "less than 1 second"},
    };
    const std::string text = "; comment\n// blank, not a comment\n\n   \n" + kInfo + "[GEO]\nA B C D\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedClock clock(c.clock);
        TarqSectorParser parser(clock);
        TarqSectorData data;
        ASSERT_TRUE(parser.ParseText("s.sct", text, data, ""));
        const std::string& report = parser.Report();
        EXPECT_NE(report.find(std::string("Pass 1 time:        ") + c.pass1 + "\n"), std::string::npos);
        EXPECT_NE(report.find(std::string("Pass 2 time:        ") + c.pass2 + "\n\n"), std::string::npos);
        EXPECT_NE(report.find("Lines in file:      16\nComments:           1\nBlank lines:        3\n"
                              "Parsed lines:       12\nErroneous lines:    4\n\n"),
                  std::string::npos);
        EXPECT_NE(report.find("\nLine 16: Unknown fix specified in segment: B:\nA B C D\n\n"),
                  std::string::npos);
    }
}

TEST(SectorParser, ReportKeepsLongPathsWholeAndCutsLongLines) {
    const std::string longName(3000, 'n');
    const std::string longLine = "X" + std::string(4000, 'y');
    const std::string longName2 = std::string(4000, 'Q');
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText(
        "/tmp/" + longName + ".sct",
        kInfo + "[GEO]\n" + longLine + "\n" + longName2 + " E1.0.0.0 N1.0.0.0 E1.0.0.0\n", data, ""));
    EXPECT_NE(parser.Report().find("File path: /tmp/" + longName + ".sct\n\n"), std::string::npos);
    const std::string cutLine = longLine.substr(0, kSectorMaxErrorText) + "...";
    EXPECT_NE(parser.Report().find("\nLine 12: Unrecognized formatting in GEO section:\n" + cutLine + "\n\n"),
              std::string::npos);
    ASSERT_EQ(parser.Errors().size(), 2u);
    const SectorParseError& unknown = parser.Errors()[1];
    EXPECT_EQ(unknown.message,
              "Unknown fix specified in segment: " + longName2.substr(0, kSectorMaxErrorText) + "...");
    EXPECT_EQ(unknown.lineText.size(), kSectorMaxErrorText + 4);  // the cut text, "..." and the line feed
}

TEST(SectorParser, ASecondParseStartsWithNoErrors) {
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("a.sct", kInfo + "[GEO]\nbroken\n", data, ""));
    EXPECT_EQ(parser.Errors().size(), 1u);
    TarqSectorData again;
    ASSERT_TRUE(parser.ParseText("a.sct", kInfo, again, ""));
    EXPECT_TRUE(parser.Errors().empty());
}

TEST(SectorParser, GeneratedFileParsesWithoutErrors) {
    for (bool facilityStyle : {false, true}) {
        SCOPED_TRACE(facilityStyle ? "indented and tab-padded" : "plain");
        LargeSectorShape shape;
        shape.geoLines = 600;
        shape.segmentLines = 203;
        shape.fixes = 50;
        shape.regionPoints = 100;
        shape.facilityStyle = facilityStyle;
        TarqSectorParser parser;
        TarqSectorData data;
        ASSERT_TRUE(parser.ParseText("generated.sct2", GenerateLargeSector(7, shape), data, ""));
        for (const SectorParseError& e : parser.Errors()) ADD_FAILURE() << e.lineNumber << ": " << e.message;
        EXPECT_EQ(data.geo.size(), 600u);
        EXPECT_EQ(data.fixes.size(), 50u);
        EXPECT_EQ(data.sidNames.size(), 200u);
        EXPECT_EQ(data.sidNames.front(), "KGEN DEP0");
        size_t segments = 0, regionPoints = 0;
        for (const SegmentMap* map :
             {&data.artcc, &data.artccHigh, &data.artccLow, &data.lowAirways, &data.highAirways}) {
            for (const auto& [name, lines] : *map) segments += lines.size();
        }
        for (const SectorRegion& region : data.regions) regionPoints += region.points.size();
        EXPECT_EQ(segments, 203u);
        EXPECT_EQ(regionPoints, 100u);
        EXPECT_EQ(data.regions.size(), 10u);
        // Segments name fixes defined at the end of the file; none may read as 0.
        for (const GeoLine& line : data.artccHigh.begin()->second) EXPECT_NE(line.x2, 0.0);
    }
}

// Every record the parse stored, over all containers.
size_t StoredRecords(const TarqSectorData& data) {
    size_t n = data.vors.size() + data.ndbs.size() + data.fixes.size() + data.airports.size() +
               data.runways.size() + data.geo.size() + data.labels.size();
    for (const SegmentMap* map : {&data.artcc, &data.artccHigh, &data.artccLow, &data.sids, &data.stars,
                                  &data.lowAirways, &data.highAirways}) {
        for (const auto& [name, lines] : *map) n += lines.size();
    }
    for (const SectorRegion& region : data.regions) n += region.points.size();
    return n;
}

// A coordinate that cannot be read is the line's error, never a point at 0.
TEST(SectorParser, BadCoordinatesAreErrorsAndStoreNothing) {
    struct Case {
        const char* name;
        const char* path;
        std::string body;  // its first line is line 11
        std::vector<ExpectedError> errors;
        size_t stored;  // records stored from the body
    };
    const std::string good = "N040.00.00.000 W073.00.00.000";
    const Case cases[] = {
        {"three-part latitude in VOR",
         "a.sct",
         "[VOR]\nJFK 115.900 S034.48.2 W073.46.17.000\n",
         {{12, "Unrecognized formatting in VOR section"}},
         0},
        {"decimal degrees in NDB",
         "a.sct",
         "[NDB]\nLG 404 40.785 -73.868\n",
         {{12, "Unrecognized formatting in NDB section"}},
         0},
        {"swapped hemispheres in FIXES",
         "a.sct",
         "[FIXES]\nMERIT W073.08.14.000 N041.22.55.000\n",
         {{12, "Unrecognized formatting in FIXES section"}},
         0},
        {"a name in AIRPORT",
         "a.sct",
         "[AIRPORT]\nKJFK 119.100 KJFK KJFK B\n",
         {{12, "Unrecognized formatting in AIRPORT section"}},
         0},
        {"one bad end in RUNWAY",
         "a.sct",
         "[RUNWAY]\n04 22 044 224 " + good + " N040.01.00 W073.01.00.000\n",
         {{12, "Unrecognized formatting in RUNWAY section"}},
         0},
        {"three-part end in ARTCC",
         "a.sct",
         "[ARTCC]\nZNY " + good + " S034.48.2 W073.00.00.000\n",
         {{12, "Unrecognized formatting in ARTCC section"}},
         0},
        {"decimal degrees in GEO",
         "a.sct",
         "[GEO]\n40.632889 -73.778889 40.7 -73.8 255\n",
         {{12, "Unrecognized formatting in GEO section"}},
         0},
        {"swapped hemispheres in GEO",
         "a.sct",
         "[GEO]\nW073.00.00.000 N040.00.00.000 " + good + "\n",
         {{12, "Unrecognized formatting in GEO section"}},
         0},
        {"unknown names in GEO",
         "a.sct",
         "[GEO]\n" + good + " NOPE NOPE\n" + good + " " + good + "\n",
         {{12, "Unknown fix specified in segment: NOPE"}, {12, "Unknown fix specified in segment: NOPE"}},
         1},
        {"unknown name before a bad field",
         "a.sct",
         "[HIGH AIRWAY]\nJ1 N040.00.00 NOPE " + good + "\n",
         {{12, "Unknown fix specified in segment: NOPE"},
          {12, "Unrecognized formatting in HIGH AIRWAY section"}},
         0},
        {"bad first SID line leaves its continuation without a name",
         "a.sct",
         "[SID]\nKJFK SKORR4                S040.00.00 W073.00.00.000 " + good + "\n   " + good + " " + good +
             "\n",
         {{12, "Unrecognized formatting in SID section"}, {13, "Unnamed SID/STAR segment"}},
         0},
        {"bad STAR continuation",
         "a.sct",
         "[STAR]\nKJFK CAMRN5                " + good + " " + good + "\n   " + good + " 40.1 -73.1\n",
         {{13, "Unrecognized formatting in STAR section"}},
         1},
        {"bad first region point still starts the region",
         "a.sct2",
         "[REGIONS]\n255 S034.48.2 W073.00.00.000\n   " + good + "\n",
         {{12, "2 Unrecognized formatting in REGIONS section"}},
         1},
        {"bad region continuation",
         "a.sct2",
         "[REGIONS]\n255 " + good + "\n   N040.00.00.000 N073.00.00.000\n",
         {{13, "1 Unrecognized formatting in REGIONS section"}},
         1},
        {"bad label",
         "a.sct2",
         "[LABELS]\n\"JFK\" 40.6 -73.7 255\n",
         {{12, "Unrecognized formatting in LABELS section"}},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarqSectorParser parser;
        TarqSectorData data;
        EXPECT_TRUE(parser.ParseText(c.path, kInfo + c.body, data, ""));
        ExpectErrors(parser, c.errors);
        EXPECT_EQ(StoredRecords(data), c.stored);
    }
}

// However a first line is refused (its pattern, a field that cannot be
// read, a point that is not found), it leaves no name behind: its
// continuation lines are neither stored under the procedure before it nor
// under a name cut from the broken line.
TEST(SectorParser, ARefusedFirstProcedureLineLeavesNoName) {
    const std::string good = "N040.00.00.000 W073.00.00.000", other = "N041.00.00.000 W074.00.00.000";
    struct Case {
        const char* name;
        std::string firstLine;  // line 13, after a good procedure on line 12
        std::vector<ExpectedError> errors;
    };
    const Case cases[] = {
        {"pattern does not match", "KJFK SHORT", {{13, "Unrecognized formatting in SID section"}}},
        {"a field cannot be read",
         "KJFK CAMRN5                S040.00.00 W073.00.00.000 " + good,
         {{13, "Unrecognized formatting in SID section"}}},
        {"a point is not found",
         "KJFK CAMRN5                NOPE NOPE " + good,
         {{13, "Unknown fix specified in segment: NOPE"}, {13, "Unknown fix specified in segment: NOPE"}}},
        // The name runs past its 26 columns into the first coordinate.
        {"a name longer than its columns",
         "SABE(13) EZE8.ASADA     S034.49.22.000 W058.32.10.000 S034.40.00.000 W058.20.00.000",
         {{13, "Unrecognized formatting in SID section"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarqSectorParser parser;
        TarqSectorData data;
        ASSERT_TRUE(parser.ParseText("a.sct",
                                     kInfo + "[SID]\nKJFK SKORR4                " + good + " " + other +
                                         "\n" + c.firstLine + "\n   " + other + " " + good + "\n",
                                     data, ""));
        std::vector<ExpectedError> errors = c.errors;
        errors.push_back({14, "Unnamed SID/STAR segment"});
        ExpectErrors(parser, errors);
        EXPECT_EQ(data.sidNames, std::vector<std::string>{"KJFK SKORR4"});
        ASSERT_EQ(data.sids.size(), 1u);
        EXPECT_EQ(data.sids.at("KJFK SKORR4"), (std::vector<GeoLine>{{-73, 40, -74, 41, -1}}));
    }
}

TEST(SectorParser, BadCentreLineIsReportedBeforeTheLoadFails) {
    TarqSectorParser parser;
    TarqSectorData data;
    EXPECT_FALSE(parser.ParseText("a.sct", "[INFO]\nName\nX\nY\nN040.38.23.000\n-73.778889\n60\n", data, ""));
    ExpectErrors(parser, {{6, "Unrecognized formatting in INFO section"},
                          {0, "Missing required data from [INFO] section"}});
}

// Facilities indent whole blocks with blanks or tabs.
TEST(SectorParser, IndentedLinesReadAsTheLineWithoutIndent) {
    const std::string indentedInfo =
        "  [INFO]\n\tTest "
        "Sector\n\tTEST_CTR\n\tKTST\n\tN040.30.00.000\n\tW073.30.00.000\n\t60\n\t45\n\t-13\n\t1\n";
    const std::string text = "\t#define RED 255\n" + indentedInfo +
                             "\t[VOR]\n"
                             "    JFK 115.900 N040.37.58.400 W073.46.17.000\n"
                             " [NDB]\n"
                             "\t\tLG 404 N040.47.02.000 W073.52.05.000\n"
                             "[AIRPORT]\n"
                             "  KJFK 119.100 N040.38.23.000 W073.46.44.000 B\n"
                             "[FIXES]\n"
                             "\tMERIT N041.22.55.000 W073.08.14.000\n"
                             "[RUNWAY]\n"
                             "  04L 22R 044 224 N040.37.19.430 W073.47.08.570 N040.39.02.350 W073.45.49.960\n"
                             "[ARTCC]\n"
                             "   ZNY JFK JFK MERIT MERIT\n"
                             "   N040.00.00.000 W073.00.00.000 N041.00.00.000 W074.00.00.000\n"
                             "[GEO]\n"
                             "   ; Coastline\n"
                             "   N040.34.30.000 W074.00.00.000 N040.35.20.000 W073.56.00.000 RED\n"
                             "\tN040.35.20.000 W073.56.00.000 KJFK KJFK\n"
                             "[SID]\n"
                             "    N040.00.00.000 W073.00.00.000 N040.10.00.000 W073.10.00.000\n"
                             "  [REGIONS]\n"
                             "    N040.00.00.000 W073.00.00.000\n"
                             "  [LABELS]\n"
                             "    \"JFK\" JFK JFK RED\n";
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("a.sct2", text, data, ""));
    // A continuation line without a name stays an error wherever it is one.
    ExpectErrors(parser, {{24, "Unrecognized formatting in ARTCC section"},
                          {30, "Unnamed SID/STAR segment"},
                          {32, "Found region with no color specified"}});
    EXPECT_EQ(data.name, "Test Sector");
    EXPECT_NEAR(data.centre.y, 40.5, 1e-9);
    EXPECT_EQ(data.magneticVariation, -13.0);
    EXPECT_EQ(data.vors.count("JFK"), 1u);
    EXPECT_EQ(data.ndbs.count("LG"), 1u);
    EXPECT_EQ(data.airports.at("KJFK").airspaceClass, 'B');
    EXPECT_EQ(data.fixes.count("MERIT"), 1u);
    ASSERT_EQ(data.runways.size(), 1u);
    EXPECT_EQ(data.runways[0].id1, "04L");
    EXPECT_EQ(data.artcc.at("ZNY").size(), 1u);
    ASSERT_EQ(data.geo.size(), 2u);
    EXPECT_EQ(data.geo[0].color, 255);
    EXPECT_EQ(data.geo[1].x2, data.airports.at("KJFK").position.x);
    ASSERT_EQ(data.labels.size(), 1u);
    EXPECT_EQ(data.labels[0].color, 255);
    // The indented comment counts as a comment, not as a blank line.
    EXPECT_NE(parser.Report().find("Comments:           1\nBlank lines:        0\n"), std::string::npos);
}

TEST(SectorParser, TabsInTheProcedureNameColumns) {
    struct Case {
        const char* name;
        std::string line;
        std::string expectedName;
    };
    const std::string coords = "S034.48.22.000 W058.32.10.000 S034.50.00.000 W058.30.00.000";
    const Case cases[] = {
        {"name padded with two tabs", "SABE(13) EZE8.GBE\t\t" + coords, "SABE(13) EZE8.GBE"},
        {"tab from column 24", "SAEZ RWY 11 ATOVO1A MOR1\t" + coords, "SAEZ RWY 11 ATOVO1A MOR1"},
        {"tab inside the name", "SAEZ\tPTA1B" + std::string(13, ' ') + coords, "SAEZ    PTA1B"},
        {"tab after a full-width name", "SAEZ RWY 35 DORVO1A ROSARX\t" + coords,
         "SAEZ RWY 35 DORVO1A ROSARX"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarqSectorParser parser;
        TarqSectorData data;
        ASSERT_TRUE(parser.ParseText("a.sct", kInfo + "[SID]\n" + c.line + "\n", data, ""));
        EXPECT_TRUE(parser.Errors().empty()) << parser.GetLastError().message;
        EXPECT_EQ(data.sidNames, std::vector<std::string>{c.expectedName});
        ASSERT_EQ(data.sids[c.expectedName].size(), 1u);
        const GeoLine& segment = data.sids[c.expectedName][0];
        EXPECT_NEAR(segment.y1, -(34 + 48 / 60.0 + 22 / 3600.0), 1e-6);
        EXPECT_NEAR(segment.x1, -(58 + 32 / 60.0 + 10 / 3600.0), 1e-6);
        EXPECT_NEAR(segment.y2, -(34 + 50 / 60.0), 1e-6);
        EXPECT_NEAR(segment.x2, -(58 + 30 / 60.0), 1e-6);
    }
}

TEST(SectorParser, BlanksInsideHeaderBrackets) {
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("a.sct2",
                                 kInfo +
                                     "[ARTCC HIGH ]\nZNY N040.00.00.000 W073.00.00.000 N041.00.00.000 "
                                     "W074.00.00.000\n[ geo\t]\nN040.00.00.000 W073.00.00.000 N041.00.00.000 "
                                     "W074.00.00.000\n[ LABELS ]\n\"A\" N1.0.0.0 E1.0.0.0 1\n",
                                 data, ""));
    EXPECT_TRUE(parser.Errors().empty());
    EXPECT_EQ(data.artccHigh.count("ZNY"), 1u);
    EXPECT_EQ(data.geo.size(), 1u);
    EXPECT_EQ(data.labels.size(), 1u);
}

TEST(SectorParser, TrailingUtf8LettersKeepTheirLastByte) {
    TarqSectorParser parser;
    TarqSectorData data;
    const std::string a = "\xC3\xA0";  // "à", whose last byte is 0xA0
    ASSERT_TRUE(parser.ParseText("a.sct",
                                 "[INFO]\nSecteur Voil" + a +
                                     "\nX\nY\nN040.30.00.000\nW073.30.00.000\n"
                                     "[SID]\nLFPG D" +
                                     a + std::string(20, ' ') +
                                     "N040.00.00.000 W073.00.00.000 N041.00.00.000 W074.00.00.000\n",
                                 data, ""));
    EXPECT_EQ(data.name, "Secteur Voil" + a);
    EXPECT_EQ(data.sidNames, std::vector<std::string>{"LFPG D" + a});
}

// A wrong file must not grow one record per line without bound.
TEST(SectorParser, ErrorsPastTheLimitAreCountedNotKept) {
    const size_t extra = 1234;
    std::string text = kInfo + "[GEO]\n";
    for (size_t i = 0; i < kSectorMaxKeptErrors + extra; ++i)
        text += "broken line " + std::to_string(i) + "\n";
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.ParseText("a.sct", text, data, ""));
    EXPECT_EQ(parser.Errors().size(), kSectorMaxKeptErrors);
    EXPECT_EQ(parser.ErrorCount(), kSectorMaxKeptErrors + extra);
    EXPECT_EQ(parser.GetLastError().lineNumber, static_cast<int>(kInfoLines + 1 + kSectorMaxKeptErrors));
    EXPECT_EQ(parser.GetLastError().lineText,
              "broken line " + std::to_string(kSectorMaxKeptErrors - 1) + "\n");
    const std::string& report = parser.Report();
    EXPECT_NE(report.find("Erroneous lines:    " + std::to_string(kSectorMaxKeptErrors + extra) + "\n"),
              std::string::npos);
    const std::string lastKept = "\nLine " + std::to_string(kInfoLines + 1 + kSectorMaxKeptErrors) +
                                 ": Unrecognized formatting in GEO section:\nbroken line " +
                                 std::to_string(kSectorMaxKeptErrors - 1) + "\n\n";
    EXPECT_NE(report.find(lastKept + "\n1234 more errors not listed\n\n====="), std::string::npos);

    // A fatal error after the limit is still the one the caller sees.
    text += "[FOO]\n";
    EXPECT_FALSE(parser.ParseText("a.sct", text, data, ""));
    EXPECT_EQ(parser.GetLastError().message, "Unknown section header encountered: FOO");
    EXPECT_EQ(parser.GetLastError().lineNumber,
              static_cast<int>(kInfoLines + 2 + kSectorMaxKeptErrors + extra));
}

// A file as a facility writes it: indented GEO blocks, tab-padded procedure
// names, and one real mistake (a coordinate with three parts).
TEST(SectorParser, FacilityStyleFixture) {
    TarqSectorParser parser;
    TarqSectorData data;
    ASSERT_TRUE(parser.Parse("data/facility_style.sct", data, ""));
    ASSERT_EQ(parser.Errors().size(), 1u);
    EXPECT_EQ(parser.Errors()[0].message, "Unrecognized formatting in GEO section");
    EXPECT_NE(parser.Errors()[0].lineText.find("S034.48.2 "), std::string::npos);
    EXPECT_EQ(parser.Errors()[0].lineNumber, 200);

    EXPECT_EQ(data.name, "Buenos Aires TMA (sample)");
    EXPECT_NEAR(data.centre.y, -(34 + 49 / 60.0 + 20 / 3600.0), 1e-6);
    EXPECT_EQ(data.vors.size(), 8u);
    EXPECT_EQ(data.ndbs.size(), 5u);
    EXPECT_EQ(data.airports.size(), 6u);
    EXPECT_EQ(data.runways.size(), 6u);
    EXPECT_EQ(data.fixes.size(), 40u);
    EXPECT_EQ(data.artccHigh.at("SAEZ_CTA").size(), 16u);
    EXPECT_EQ(data.artccLow.at("EZE_TMA").size(), 10u);
    EXPECT_EQ(data.sidNames,
              (std::vector<std::string>{"SABE(13) EZE8.GBE", "SAEZ RWY 11 ATOVO1A", "SAEZ RWY 35 DORVO1B",
                                        "SADF PTA2", "SAEZ RWY 17 MOR1C"}));
    for (const auto& [name, segments] : data.sids) {
        SCOPED_TRACE(name);
        ASSERT_EQ(segments.size(), 4u);
        EXPECT_LT(segments[0].y1, -34.0);  // the first latitude is whole, not cut into the name
        EXPECT_EQ(segments[3].color, 65535);
    }
    EXPECT_EQ(data.starNames, (std::vector<std::string>{"SAEZ ESTAN2A", "SABE TIGRE1", "SAEZ PAMPA3B"}));
    EXPECT_EQ(data.geo.size(), 149u);
    for (const GeoLine& line : data.geo) {
        EXPECT_LT(line.y1, -34.0);
        EXPECT_LT(line.x2, -58.0);
    }
    EXPECT_EQ(data.lowAirways.size(), 3u);
    EXPECT_EQ(data.highAirways.size(), 2u);
}
}  // namespace
