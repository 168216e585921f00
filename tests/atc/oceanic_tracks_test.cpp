#include "atc/oceanic_tracks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "atc_fakes.h"
#include "quiet_services.h"
#include "platform/atomic_file.h"

namespace {

std::string Track(const std::string& attributes,
                  const std::string& levels = "<level direction='EAST' fl='350'/>") {
    return "<track " + attributes +
           "><waypoints><waypoint id='A' lon='-50.5' lat='55'/><waypoint id='B' "
           "lon='-40'/></waypoints><levels>" +
           levels + "</levels></track>";
}

// What a parse made of a document: the count, then each stored track as
// id:direction:waypoints:levels.
std::string Summary(const std::string& document, bool onlyCurrent) {
    TempDir dir;
    dir.Write("nat.xml", document);
    OceanicTrackMap tracks;
    int count = -1;
    if (!ParseOceanicTracks(dir.File("nat.xml"), onlyCurrent, tracks, count)) return "failed";
    std::string out = std::to_string(count);
    for (const auto& [id, t] : tracks) {
        out += " " + id + ":" + std::to_string(t.direction) + ":" + std::to_string(t.waypoints.size()) + ":" +
               std::to_string(t.levels.size()) + (t.current ? "" : ":old");
    }
    return out;
}

TEST(OceanicTracksTest, DocumentTable) {
    const std::string wrap = "<?xml version='1.0'?><tracks>";
    struct Case {
        const char* name;
        std::string body;
        bool onlyCurrent;
        const char* expected;
    };
    const Case cases[] = {
        {"three NAT and one other",
         Track("id='A' type='NAT'") + Track("id='B' type='NAT'") + Track("id='C' type='NAT'") +
             Track("id='D' type='PACOTS'"),
         false, "3 A:4:1:1 B:4:1:1 C:4:1:1"},
        {"only current drops current=false",
         Track("id='A' type='NAT' current='false'") + Track("id='B' type='NAT'"), true, "1 B:4:1:1"},
        {"FALSE in capitals counts", Track("id='A' type='NAT' current='FALSE'"), true, "1 A:4:1:1"},
        {"all tracks without the setting", Track("id='A' type='NAT' current='false'"), false,
         "1 A:4:1:1:old"},
        {"no levels: counted, not stored",
         "<track id='A' type='NAT'><waypoints/></track>" + Track("id='B' type='NAT'"), false, "2 B:4:1:1"},
        {"same id twice keeps the second",
         Track("id='A' type='NAT'") + Track("id='A' type='NAT'", "<level direction='WEST' fl='360'/>"), false,
         "2 A:5:1:1"},
        {"both directions",
         Track("id='A' type='NAT'", "<level direction='EAST' fl='1'/><level direction='WEST' fl='2'/>"),
         false, "1 A:6:1:2"},
        {"lower-case east is no direction", Track("id='A' type='NAT'", "<level direction='east' fl='1'/>"),
         false, "1 A:0:1:1"},
        {"type compared exactly", Track("id='A' type='nat'"), false, "failed"},
        {"no track at all", "", false, "failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Summary(wrap + c.body + "</tracks>", c.onlyCurrent), c.expected);
    }
    EXPECT_EQ(Summary("not xml at all", false), "failed");
    EXPECT_EQ(Summary("<other>" + Track("id='A' type='NAT'") + "</other>", false), "failed");
}

TEST(OceanicTracksTest, WaypointValues) {
    TempDir dir;
    dir.Write("nat.xml", "<TRACKS>" + Track("id='A' type='NAT' tmi='123'") + "</TRACKS>");
    OceanicTrackMap tracks;
    int count = 0;
    ASSERT_TRUE(ParseOceanicTracks(dir.File("nat.xml"), false, tracks, count));
    const OceanicTrack& t = tracks.at("A");
    EXPECT_EQ(t.tmi, "123");
    EXPECT_EQ(t.flag, 1);
    ASSERT_EQ(t.waypoints.size(), 1u) << "a waypoint without lat is left out";
    EXPECT_EQ(t.waypoints[0].id, "A");
    EXPECT_DOUBLE_EQ(t.waypoints[0].longitude, -50.5);
    EXPECT_DOUBLE_EQ(t.waypoints[0].latitude, 55.0);
    EXPECT_EQ(t.levels[0].flightLevel, "350");
}

// A download job the test releases when it wants, serving a document or failing.
struct GatedJob {
    std::mutex lock;
    std::condition_variable changed;
    bool open = false;
    std::string document;  // empty: the transfer fails

    TarqOceanicTracksDB::DownloadJobFactory Factory() {
        return [this] {
            return [this](const std::string& path, std::string& error) {
                std::unique_lock<std::mutex> guard(lock);
                changed.wait(guard, [this] { return open; });
                if (document.empty()) {
                    error = "Timed out";
                    return false;
                }
                return WriteFileAtomically(path, document);
            };
        };
    }
    void Open() {
        std::lock_guard<std::mutex> guard(lock);
        open = true;
        changed.notify_all();
    }
};

TEST(OceanicTracksTest, DownloadReplacesOnlyOnSuccessAndRunsOnce) {
    CallLog log;
    RecordingMessages messages(log);
    FakeSettings settings;
    QuietAtcServices quiet;
    AtcServices services = quiet.Services();
    services.messages = &messages;
    services.settings = &settings;
    GatedJob job;
    job.document = "<tracks>" + Track("id='A' type='NAT'") + Track("id='B' type='NAT'") + "</tracks>";
    TarqOceanicTracksDB db(services, job.Factory());
    std::atomic<int> ended{0};
    db.SetDownloadEndedCallback([&] { ++ended; });

    db.StartDownload();
    db.StartDownload();
    job.Open();
    db.WaitForDownload();
    OceanicTrackMap tracks;
    db.GetTracks(tracks);
    EXPECT_EQ(tracks.size(), 2u);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"error: NAT track download already in progress.",
                                                   "info: NAT tracks download succeeded. 2 tracks found."}));

    log.Clear();
    job.document.clear();
    db.StartDownload();
    db.WaitForDownload();
    db.GetTracks(tracks);
    EXPECT_EQ(tracks.size(), 2u) << "a failed download keeps the tracks";
    EXPECT_EQ(log.lines, std::vector<std::string>{"error: NAT tracks download failed!"});

    log.Clear();
    job.document = "<tracks><track id='A' type='NAT'><waypoints>";  // cut off
    db.StartDownload();
    db.WaitForDownload();
    db.GetTracks(tracks);
    EXPECT_EQ(tracks.size(), 2u) << "a cut-off document is no document";
    EXPECT_EQ(log.lines, std::vector<std::string>{"error: NAT tracks download failed!"});
    EXPECT_EQ(ended, 3) << "every download's end refreshes the dialogs, failed ones too";
}

}  // namespace
