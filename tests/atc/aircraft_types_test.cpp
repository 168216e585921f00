// Tests of the aircraft type database: the version decision, its messages,
// the file's fields, the download outcome and the information line.
#include <gtest/gtest.h>

#include <fstream>

#include "atc/aircraft_db.h"
#include "atc_fakes.h"

namespace {

const char kTypes[] =
    "B738\tBoeing\t737-800\t2\tJ\tM\t3000\t3500\tIII\n"
    "B738\tDuplicate\tX\t1\tP\tL\t1\t1\tI\n"
    "NINE\tToo\tFew\t1\tP\tL\t1\t1\n"
    "TEN\tToo\tMany\t1\tP\tL\t1\t1\tI\tX\n"
    "ODD\tMaker\tModel\tx\tP\tL\tfast\t-700\tII\r\n";

struct Download {
    bool start = true;
    std::string body;  // written to the file when not empty
    int calls = 0;
};

bool FakeDownload(const std::string& path, void* user) {
    Download& d = *static_cast<Download*>(user);
    ++d.calls;
    if (!d.start) return false;
    if (!d.body.empty()) {
        std::ofstream(path, std::ios::binary) << d.body;
    }
    return true;
}

TEST(AircraftTypes, VersionDecision) {
    struct Row {
        const char* name;
        const char* file;  // null: no file
        int downloads;
        std::vector<std::string> log;
    };
    const std::string current = std::string("version=7\r\n") + kTypes;
    const Row rows[] = {
        {"current", current.c_str(), 0, {}},
        {"other version",
         "version=6\nB738\tB\tM\t2\tJ\tM\t1\t1\tI\n",
         1,
         {"info: Aircraft info database downloaded. 1 types found."}},
        {"no version line",
         "B738\tB\tM\t2\tJ\tM\t1\t1\tI\n",
         1,
         {"error: Aircraft info database open failed! Version not found.",
          "info: Aircraft info database downloaded. 1 types found."}},
        {"empty file",
         "",
         1,
         {"error: Aircraft info database open failed! File empty.",
          "info: Aircraft info database downloaded. 1 types found."}},
        {"missing file",
         nullptr,
         1,
         {"error: Aircraft info database open failed! Could not read file.",
          "info: Aircraft info database downloaded. 1 types found."}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        TempDir dir;
        if (row.file) dir.Write("aircraft_info.dat", row.file);
        w.aircraft.SetStartDirectory(dir.Path());
        Download d;
        d.body = "version=7\nA320\tAirbus\tA320\t2\tJ\tM\t2500\t2500\tIII\n";
        w.aircraft.SetTypeDownloader(FakeDownload, &d);
        w.aircraft.LoadAircraftInfo("7");
        w.aircraft.WaitForDownload();
        EXPECT_EQ(d.calls, row.downloads);
        EXPECT_EQ(w.log.lines, row.log);
    }
}

TEST(AircraftTypes, FileFields) {
    AtcWorld w;
    TempDir dir;
    dir.Write("types.dat", std::string("version=1\n") + kTypes);
    int count = 0;
    ASSERT_TRUE(w.aircraft.ParseAircraftTypeFile(dir.Path() + "/types.dat", count));
    EXPECT_EQ(count, 2);
    AircraftTypeRecord r;
    ASSERT_TRUE(w.aircraft.GetAircraftType("B738", r));
    EXPECT_EQ(r.manufacturer, "Boeing") << "the first line of a code wins";
    EXPECT_EQ(r.climbRate, 3000);
    ASSERT_TRUE(w.aircraft.GetAircraftType("ODD", r));
    EXPECT_EQ(r.engineCount, 0);
    EXPECT_EQ(r.climbRate, 0);
    EXPECT_EQ(r.descentRate, -700);
    EXPECT_EQ(r.srsCategory, "II");
    EXPECT_FALSE(w.aircraft.GetAircraftType("NINE", r));
    EXPECT_FALSE(w.aircraft.GetAircraftType("TEN", r));
    EXPECT_FALSE(w.aircraft.ParseAircraftTypeFile(dir.Path() + "/absent.dat", count));
    EXPECT_TRUE(w.aircraft.GetAircraftType("B738", r)) << "a failed open keeps the table";
}

TEST(AircraftTypes, DownloadFailures) {
    AtcWorld w;
    TempDir dir;
    w.aircraft.SetStartDirectory(dir.Path());
    Download d;
    d.start = false;
    w.aircraft.SetTypeDownloader(FakeDownload, &d);
    w.aircraft.DownloadAircraftInfo();
    d.start = true;  // starts but leaves no file
    w.aircraft.DownloadAircraftInfo();
    const std::vector<std::string> expected = {"error: Aircraft info database download failed!",
                                               "error: Aircraft info database download failed!"};
    EXPECT_EQ(w.log.lines, expected);
}

TEST(AircraftTypes, InformationLine) {
    AtcWorld w;
    TempDir dir;
    dir.Write("aircraft_info.dat", std::string("version=1\n") + kTypes);
    w.aircraft.SetStartDirectory(dir.Path());
    w.aircraft.LoadAircraftInfo("1");
    TarqFlightPlanRecord plan;
    plan.bareType = "B738";
    w.aircraft.OnFlightPlanReceived("N1", plan);
    plan.bareType = "";
    w.aircraft.OnFlightPlanReceived("N2", plan);
    plan.bareType = "XXXX";
    w.aircraft.OnFlightPlanReceived("N3", plan);
    w.log.Clear();
    w.aircraft.ShowAircraftInfo("N1", true);
    w.aircraft.ShowAircraftInfo("N1", false);
    w.aircraft.ShowAircraftInfo("N2", true);
    w.aircraft.ShowAircraftInfo("N3", true);
    w.aircraft.ShowAircraftInfo("N4", true);
    const std::vector<std::string> expected = {
        "info: Aircraft info for N1: B738 - Boeing 737-800 - Engines/Class: 2J/M - C/D Rates: 3000/3500 - "
        "SRS "
        "Category III",
        "info: Aircraft info: B738 - Boeing 737-800 - Engines/Class: 2J/M - C/D Rates: 3000/3500 - SRS "
        "Category III",
        "error: Type code in flight plan is empty.", "error: Type code not found in database.",
        "error: Flight plan not found for specified callsign."};
    EXPECT_EQ(w.log.lines, expected);
}

}  // namespace
