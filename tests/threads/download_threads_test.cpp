// The download workers (server list, version check with the type download,
// oceanic tracks) against the main thread reading what they publish, under
// ThreadSanitizer. The workers talk to a loopback HTTP server.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "atc/aircraft_db.h"
#include "atc/oceanic_tracks.h"
#include "loopback_http_server.h"
#include "net/server_list.h"
#include "net/web_services.h"
#include "tests/atc/quiet_services.h"
#include "tests/temp_dir.h"

namespace {

using Server = LoopbackHttpServer;

// Sinks the workers may call from any thread (the aircraft database's do).
class LockedLines final : public AtcMessageSink {
public:
    void ShowError(const std::string& text) override { Add("error: " + text); }
    void ShowMessage(const std::string& text) override { Add("info: " + text); }
    std::vector<std::string> Take() {
        std::lock_guard<std::mutex> guard(m_lock);
        return std::exchange(m_lines, {});
    }

private:
    void Add(const std::string& line) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_lines.push_back(line);
    }
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};

const std::string kTypes = "version=9\nB744\tBoeing\t747-400\t4\tJ\tH\t2000\t2500\tIII\n";

TEST(DownloadThreadsTest, MainThreadReadsWhileWorkersPublish) {
    TempDir dir;
    Server http;
    dir.Write(kWebServicesFile, "status=" + http.Url("/") + "\nweb_service=" + http.Url("/") + "\n");
    dir.Write("myservers.txt", "MINE 10.0.0.1\n");
    std::string list = "!SERVERS\n";
    for (int i = 0; i < 200; ++i)
        list += "S" + std::to_string(i) + ":10.0.1." + std::to_string(i % 250) + ":x:y:1\n";
    http.Route("/status.txt", Server::Ok("url0=" + http.Url("/list.txt") + "\n"));
    http.Route("/list.txt", Server::Chunked({list, "\n"}));
    http.Route("/Tarq/api/version_check.php", Server::Ok("latest_ver=1.2.3\nacinfo_ver=9\n"));
    http.Route("/Tarq/api/aircraft_info.dat", Server::Ok(kTypes));
    http.Route("/Tarq/api/oceanic_tracks.xml",
               Server::Ok("<tracks><track id='A' type='NAT'><waypoints/><levels/></track></tracks>"));

    LockedLines lines;
    // The workers' lines are what is watched; the other seams stay quiet.
    QuietAtcServices quiet;
    AtcServices services = quiet.Services();
    services.messages = &lines;
    TarqAircraftDB aircraft(services);
    aircraft.SetStartDirectory(dir.Path());
    TarqOceanicTracksDB tracks(services, OceanicTracksDownloader(dir.Path()));
    TarqServerList servers(services, dir.Path());
    servers.SetAircraftDB(&aircraft);

    servers.StartServerListFetch();
    servers.StartVersionCheck();
    tracks.StartDownload();
    // The main thread keeps reading until every worker has published.
    AircraftTypeRecord record;
    OceanicTrackMap copy;
    std::vector<std::string> names;
    bool typesLoaded = false;
    for (int i = 0; i < 4000 && !(servers.IsServerListReady() && typesLoaded && !copy.empty()); ++i) {
        servers.FillServerList(names);
        servers.GetServerAddress("S1");
        servers.DeliverNotices();
        typesLoaded = aircraft.GetAircraftType("B744", record);
        tracks.GetTracks(copy);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    servers.WaitForWorkers();
    aircraft.WaitForDownload();
    tracks.WaitForDownload();
    servers.DeliverNotices();
    servers.FillServerList(names);
    EXPECT_EQ(names.size(), 201u);
    EXPECT_TRUE(aircraft.GetAircraftType("B744", record));
    tracks.GetTracks(copy);
    EXPECT_EQ(copy.size(), 1u);
    servers.SetAircraftDB(nullptr);
}

TEST(DownloadThreadsTest, ShutDownStopsWorkersThatWait) {
    TempDir dir;
    Server http;
    dir.Write(kWebServicesFile, "status=" + http.Url("/") + "\nweb_service=" + http.Url("/") + "\n");
    http.Route("/status.txt", Server::Silent());
    http.Route("/Tarq/api/version_check.php", Server::Silent());
    LockedLines lines;
    QuietAtcServices quiet;
    AtcServices services = quiet.Services();
    services.messages = &lines;
    {
        TarqServerList servers(services, dir.Path());
        servers.StartServerListFetch();
        servers.StartVersionCheck();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }  // joins both, well before their 5 s and 10 s time-outs
    EXPECT_TRUE(lines.Take().empty());
}

}  // namespace
