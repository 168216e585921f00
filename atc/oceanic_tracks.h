// TarqOceanicTracksDB: the North Atlantic organised tracks, fetched on the
// user's request by a worker thread as an XML document and read with the XML
// reader. The scope copies the map each frame. The fetch itself is injected
// (the network library's HTTP client in the program, a file copy in tests).
// Tested by tests/atc/oceanic_tracks_test.cpp and tests/threads/.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "atc/atc_services.h"

struct OceanicWaypoint {
    std::string id;
    double longitude = 0.0;  // degrees, east positive
    double latitude = 0.0;   // degrees, north positive
};

struct OceanicLevel {
    int direction = 0;        // 4 "EAST", 5 "WEST", 0 anything else
    std::string flightLevel;  // the "fl" attribute as written
};

struct OceanicTrack {
    int flag = 1;
    std::string id;
    bool current = true;
    std::string tmi;
    int direction = 0;  // 4 only eastbound levels, 5 only westbound, 6 both, 0 none
    std::vector<OceanicWaypoint> waypoints;
    std::vector<OceanicLevel> levels;
};

using OceanicTrackMap = std::map<std::string, OceanicTrack>;

// Reads a track document. False (tracks untouched) when the file is not a
// complete document with a "tracks" root, has no "track", or counts no
// track; otherwise tracks holds the stored tracks and count the counted
// ones (which include tracks left out for a missing id, waypoints or levels).
bool ParseOceanicTracks(const std::string& path, bool onlyCurrent, OceanicTrackMap& tracks, int& count);

class TarqOceanicTracksDB {
public:
    // Fetches the track document into path on the download thread; false
    // with a reason on failure. Made on the main thread, so it carries the
    // address it needs and never reads settings from the worker.
    using DownloadJob = std::function<bool(const std::string& path, std::string& error)>;
    using DownloadJobFactory = std::function<DownloadJob()>;

    TarqOceanicTracksDB(const AtcServices& services, DownloadJobFactory factory);
    // Waits for a running download.
    virtual ~TarqOceanicTracksDB();

    // Main thread: starts the download thread unless one runs (then says so).
    void StartDownload();
    // Called on the download thread when a download has ended, whatever its
    // outcome, so the oceanic dialogs leave their downloading row. Set it
    // before the first download.
    void SetDownloadEndedCallback(std::function<void()> ended) { m_ended = std::move(ended); }
    // Any thread: a copy of the current tracks.
    void GetTracks(OceanicTrackMap& out) const;
    // Reads the file and, when it passes, replaces the tracks.
    bool ParseXml(const std::string& path, bool onlyCurrent, int& count);
    void WaitForDownload();

private:
    void DownloadThread(DownloadJob job, bool onlyCurrent);

    AtcServices m_services;
    DownloadJobFactory m_factory;
    std::function<void()> m_ended;
    mutable std::mutex m_dataLock;  // guards m_tracks
    OceanicTrackMap m_tracks;
    std::mutex m_threadLock;  // guards m_thread
    std::atomic<bool> m_downloading{false};
    std::thread m_thread;
};
