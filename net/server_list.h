// TarqServerList: the servers a controller can sign on to (name → address),
// from the user's "myservers.txt", the cache "servers.txt" and the network's
// status service, plus the version check. The fetch and the check run on
// worker threads that capture what they need when they start, work on their
// own copies, publish the map under the lock, and post their lines, sounds
// and message boxes to the main thread, which shows them in DeliverNotices.
// The network manager owns one.
// Tested by tests/net/server_list_test.cpp and tests/threads/download_threads_test.cpp.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "atc/atc_services.h"

class TarqAircraftDB;

class TarqServerList {
public:
    static constexpr const char* kUserFile = "myservers.txt";
    static constexpr const char* kCacheFile = "servers.txt";

    // Reads "myservers.txt" from directory (empty: the current directory).
    TarqServerList(const AtcServices& services, std::string directory);
    // Stops and joins the workers.
    ~TarqServerList();
    TarqServerList(const TarqServerList&) = delete;
    TarqServerList& operator=(const TarqServerList&) = delete;

    // "myservers.txt" (true) or "servers.txt" (false); a missing file is
    // skipped. A name already known keeps its address.
    void LoadServerList(bool userFile);
    // A server the status service reported: replaces any address of that name.
    void AddServer(const std::string& name, const std::string& address);
    // Every server name, in name order. Any thread.
    void FillServerList(std::vector<std::string>& list) const;
    // Empty for an unknown name. Any thread.
    std::string GetServerAddress(const std::string& name) const;
    // False while a fetch runs. Any thread.
    bool IsServerListReady() const { return m_ready.load(); }
    int FetchedServerCount() const { return m_fetchedCount.load(); }

    // Main thread. Each starts its worker unless one of its kind still runs;
    // without an address in "web_services.txt" each ends at once with a line
    // saying so (the fetch then uses the cache and the user's servers).
    void StartServerListFetch();
    void StartVersionCheck();

    // Main thread. The version check hands the type-database version to it;
    // its type download goes through this list. Null (shut-down) stops the
    // workers and waits for them.
    void SetAircraftDB(TarqAircraftDB* aircraft);

    // Main thread: shows what the workers posted, in order.
    void DeliverNotices();
    // Stops the workers and waits for them; nothing starts afterwards.
    void Stop();
    // Waits for running workers (tests).
    void WaitForWorkers();

    // The aircraft database's downloader (user: this list): fetches the type
    // file beside localPath, checks it, and only then renames it over localPath.
    static bool DownloadAircraftTypes(const std::string& localPath, void* user);

private:
    struct Maps {
        std::map<std::string, std::string> servers;  // name → address
        std::map<std::string, bool> fromUserFile;    // name → read from "myservers.txt"
        void Add(const std::string& name, const std::string& address);
    };
    struct Notice {
        enum class Kind { Error, Info, Sound, Box } kind;
        std::string text;
        std::string caption;
    };
    struct VersionJob {
        std::string url;
        std::string reminderSound;
        std::string downloadPage;
        TarqAircraftDB* aircraft = nullptr;
    };

    std::string PathOf(const char* name) const;
    static void LoadFile(const std::string& path, bool userFile, Maps& maps);
    static std::string CacheText(const Maps& maps);
    void Publish(Maps maps);
    void Post(Notice::Kind kind, std::string text, std::string caption = "");
    void ServerListThread(std::string statusRoot, uint32_t seed);
    void OnStatusMessage(const std::string& message);
    void VersionCheckThread(VersionJob job);

    AtcServices m_services;
    std::string m_directory;
    mutable std::mutex m_lock;  // guards m_maps, m_notices and m_aircraftInfoUrl
    Maps m_maps;
    std::vector<Notice> m_notices;
    std::string m_aircraftInfoUrl;
    std::atomic<bool> m_ready{false};
    std::atomic<int> m_fetchedCount{0};
    std::atomic<bool> m_fetching{false};
    std::atomic<bool> m_checking{false};
    std::atomic<bool> m_stop{false};
    bool m_delivering = false;
    TarqAircraftDB* m_aircraftDB = nullptr;
    std::thread m_fetchThread;
    std::thread m_versionThread;
};
