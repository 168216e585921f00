// Tested by tests/net/server_list_test.cpp.
#include "net/web_services.h"

#include "foundation/start_directory.h"
#include "foundation/text_helpers.h"
#include "net/http_client.h"
#include "net/key_value_lines.h"
#include "net/url.h"
#include "platform/atomic_file.h"

namespace {

constexpr int kTracksTimeoutMs = 5000;

std::string Service(const std::string& root, const char* path) {
    return root.empty() ? std::string() : AppendUrlPath(root, path);
}

}  // namespace

std::string WebServiceAddresses::VersionCheckUrl() const {
    return Service(webService, "Tarq/api/version_check.php");
}
std::string WebServiceAddresses::AircraftInfoUrl() const {
    return Service(webService, "Tarq/api/aircraft_info.dat");
}
std::string WebServiceAddresses::OceanicTracksUrl() const {
    return Service(webService, "Tarq/api/oceanic_tracks.xml");
}

WebServiceAddresses ReadWebServiceAddresses(const std::string& directory) {
    WebServiceAddresses addresses;
    std::string text;
    if (!ReadWholeFile(PathInDirectory(directory, kWebServicesFile), text)) return addresses;
    for (const auto& [rawKey, rawValue] : ParseKeyValueLines(text, '#')) {
        const std::string key = TrimBlanks(rawKey);
        const std::string value = TrimBlanks(rawValue);
        if (key == "status") addresses.statusRoot = value;
        if (key == "web_service") addresses.webService = value;
        if (key == "download_page") addresses.downloadPage = value;
    }
    return addresses;
}

TarqOceanicTracksDB::DownloadJobFactory OceanicTracksDownloader(const std::string& directory) {
    return [directory] {
        const std::string url = ReadWebServiceAddresses(directory).OceanicTracksUrl();
        return [url](const std::string& path, std::string& error) {
            if (url.empty()) {
                error = std::string("no web service in ") + kWebServicesFile;
                return false;
            }
            return DownloadFile(url, path, kTracksTimeoutMs, &error);
        };
    };
}
