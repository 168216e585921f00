// The aircraft type table: "aircraft_info.dat" in the start directory, its
// version check against the server's, and its download on a thread of its
// own. Tested by tests/atc/aircraft_types_test.cpp.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "atc/atc_services.h"
#include "atc/flight_plan_record.h"

class TarqAircraftTypeTable {
public:
    explicit TarqAircraftTypeTable(const AtcServices& services);
    // Waits for a running download.
    ~TarqAircraftTypeTable();
    TarqAircraftTypeTable(const TarqAircraftTypeTable&) = delete;
    TarqAircraftTypeTable& operator=(const TarqAircraftTypeTable&) = delete;

    // Where "aircraft_info.dat" lives (the start directory).
    void SetStartDirectory(const std::string& directory) { m_startDirectory = directory; }

    // Called on the version-check thread: compares the local file's version
    // with the server's and loads it or starts the download thread. Both
    // threads show their lines through the message sink, which must hand them
    // to the main thread. The downloader (an HTTP GET of the type file into
    // localPath, false when it cannot start) is injected because the HTTP
    // client lives above this library; without one a download fails with its message.
    using TypeDownloader = bool (*)(const std::string& localPath, void* user);
    void SetTypeDownloader(TypeDownloader downloader, void* user) {
        m_downloader = downloader;
        m_downloaderUser = user;
    }
    void LoadAircraftInfo(const std::string& serverVersion);
    bool ParseAircraftTypeFile(const std::string& path, int& typeCount);
    // Runs the download and the load of the fresh file; the download thread's body.
    void DownloadAircraftInfo();
    // Waits until a running download has ended (shut-down and tests).
    void WaitForDownload();
    bool GetAircraftType(const std::string& code, AircraftTypeRecord& record) const;
    std::string AircraftInfoPath() const;

private:
    AtcServices m_services;
    std::string m_startDirectory = ".";
    // Guards m_aircraftTypes against the version-check and download threads.
    mutable std::mutex m_typesLock;
    std::map<std::string, AircraftTypeRecord> m_aircraftTypes;
    TypeDownloader m_downloader = nullptr;
    void* m_downloaderUser = nullptr;
    std::mutex m_downloadLock;  // guards m_downloadThread
    std::thread m_downloadThread;
};
