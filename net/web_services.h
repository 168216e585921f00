// Where the program's HTTP requests go: read from "web_services.txt" in the
// data directory, never built into the program. Lines are "key=value", '#'
// starts a comment:
//   status=http://status.example.net/          the network's status root
//   web_service=http://www.example.net         the maker's web service root
//   download_page=http://www.example.net/tarq  shown when a new version is out
// A missing file or key leaves that service unconfigured.
// Tested by tests/net/server_list_test.cpp.
#pragma once

#include <string>

#include "atc/oceanic_tracks.h"

inline constexpr const char* kWebServicesFile = "web_services.txt";

struct WebServiceAddresses {
    std::string statusRoot;
    std::string webService;
    std::string downloadPage;

    // Empty when the web service is not configured.
    std::string VersionCheckUrl() const;
    std::string AircraftInfoUrl() const;
    std::string OceanicTracksUrl() const;
};

// Reads the file in directory (empty: the current directory); blanks around
// keys and values are dropped.
WebServiceAddresses ReadWebServiceAddresses(const std::string& directory);

// The tracks database's download: each job fetches the track document from
// the address in the directory's "web_services.txt" as it was when the job
// was made (time-out 5 s).
TarqOceanicTracksDB::DownloadJobFactory OceanicTracksDownloader(const std::string& directory);
