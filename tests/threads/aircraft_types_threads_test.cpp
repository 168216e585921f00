// The aircraft type table shared with the version-check and download threads:
// they load "aircraft_info.dat" and show their lines while the main thread
// receives flight plans and reads types. Run under ThreadSanitizer by
// scripts/test.sh.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../atc/atc_fakes.h"
#include "atc/aircraft_db.h"

namespace {

// What the display manager's sinks must be: safe from any thread.
class LockedMessages final : public AtcMessageSink {
public:
    void ShowError(const std::string& text) override { Add("error: " + text); }
    void ShowMessage(const std::string& text) override { Add("info: " + text); }
    std::vector<std::string> Lines() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }

private:
    void Add(std::string line) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.push_back(std::move(line));
    }
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

const char kOldFile[] = "version=1\nB738\tBoeing\t737-800\t2\tJ\tM\t3000\t3500\tIII\n";
const char kNewFile[] =
    "version=2\nB738\tBoeing\t737-800\t2\tJ\tM\t3000\t3500\tIII\n"
    "B744\tBoeing\t747-400\t4\tJ\tH\t2500\t3000\tIII\n";

// Holds the transfer until the main thread is busy with the table, so the
// two really overlap.
struct SlowDownload {
    std::atomic<bool> mainReading{false};
    std::atomic<int> calls{0};
};

bool DownloadWhenMainReads(const std::string& path, void* user) {
    SlowDownload& d = *static_cast<SlowDownload*>(user);
    ++d.calls;
    while (!d.mainReading) std::this_thread::yield();
    std::ofstream(path, std::ios::binary) << kNewFile;
    return true;
}

TEST(AircraftTypesThreads, WorkersLoadTheTableWhileTheMainThreadReadsIt) {
    struct Row {
        const char* name;
        const char* serverVersion;
        int downloads;
        std::vector<std::string> lines;  // the workers' lines
    };
    const Row rows[] = {
        {"same version: loaded on the checking thread", "1", 0, {}},
        {"new version: downloaded and loaded on the download thread",
         "2",
         1,
         {"info: Aircraft info database downloaded. 2 types found."}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld world;
        LockedMessages messages;
        AtcServices services = world.Services();
        services.messages = &messages;
        TempDir dir;
        dir.Write("aircraft_info.dat", kOldFile);
        SlowDownload download;
        TarqAircraftDB aircraft(services);
        aircraft.SetStartDirectory(dir.Path());
        aircraft.SetTypeDownloader(DownloadWhenMainReads, &download);
        aircraft.UpdatePilotPosition("BAW1", AtcWorld::Report(51.5, -0.5));

        std::atomic<bool> checked{false};
        std::thread versionCheck([&] {
            aircraft.LoadAircraftInfo(row.serverVersion);
            checked = true;
        });
        TarqFlightPlanRecord plan;
        plan.aircraftType = plan.bareType = "B744";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        AircraftTypeRecord type;
        for (int i = 0; std::chrono::steady_clock::now() < deadline; ++i) {
            aircraft.OnFlightPlanReceived("BAW1", plan);
            aircraft.GetAircraftType("B738", type);
            aircraft.ShowAircraftInfo("BAW1", true);
            aircraft.UpdatePilotPosition("BAW1", AtcWorld::Report(51.5, -0.5 + i * 1e-4));
            download.mainReading = true;
            if (checked && i > 50 && (row.downloads == 0 || aircraft.GetAircraftType("B744", type))) break;
        }
        versionCheck.join();
        aircraft.WaitForDownload();

        EXPECT_EQ(download.calls, row.downloads);
        EXPECT_TRUE(aircraft.GetAircraftType("B738", type));
        EXPECT_EQ(aircraft.GetAircraftType("B744", type), row.downloads == 1);
        std::vector<std::string> workerLines;
        for (const std::string& line : messages.Lines()) {
            if (line.find("Aircraft info database") != std::string::npos) workerLines.push_back(line);
        }
        EXPECT_EQ(workerLines, row.lines);
    }
}

}  // namespace
