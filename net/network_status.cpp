// Tested by tests/net/network_status_test.cpp.
#include "net/network_status.h"

#include <cstdio>
#include <set>
#include <utility>

#include "foundation/random15.h"
#include "foundation/text_helpers.h"
#include "net/http_client.h"
#include "net/key_value_lines.h"
#include "net/url.h"
#include "platform/atomic_file.h"
#include "platform/temp_file.h"

namespace {

constexpr int kTimeoutMs = 10000;

bool HasBlank(const std::string& text) { return text.find_first_of(" \t") != std::string::npos; }

// Deletes the download file however the fetch ends.
struct TempFile {
    std::string path = MakeTempFile("netinfo");
    ~TempFile() {
        if (!path.empty()) std::remove(path.c_str());
    }
};

}  // namespace

NetworkStatusFile ParseNetworkStatus(const std::string& text) {
    NetworkStatusFile status;
    for (auto& [key, value] : ParseKeyValueLines(text, ';')) {
        if (key == "url0") {
            status.serverListUrls.push_back(TrimBlanks(value));
        } else if (key == "moveto0") {
            status.movedTo = TrimBlanks(value);
            break;
        } else if (key == "msg0") {
            status.messages.push_back(value);
        }
    }
    return status;
}

bool ParseServerList(const std::string& text, std::vector<NetworkServer>& servers, int* dropped) {
    bool inSection = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        std::erase(line, '\r');
        if (!inSection) {
            inSection = line.compare(0, 8, "!SERVERS") == 0;
            continue;
        }
        line = line.substr(0, line.find(';'));
        std::vector<std::string> fields = SplitFields(line, ':');
        if (fields.size() <= 4) return true;
        if (fields[4] != "1") continue;
        // Names and addresses go into "servers.txt" split at blanks.
        if (fields[0].empty() || fields[1].empty() || HasBlank(fields[0]) || HasBlank(fields[1])) {
            if (dropped) ++*dropped;
            continue;
        }
        servers.push_back({fields[0], fields[3], fields[1]});
    }
    return false;
}

bool FetchNetworkStatus(const std::string& statusRoot, const NetworkStatusCallbacks& callbacks, uint32_t seed,
                        std::string* why, const std::atomic<bool>* stop) {
    auto fail = [&](const std::string& reason) {
        if (why) *why = reason;
        return false;
    };
    TempFile file;
    if (file.path.empty()) return fail("no temporary file");

    std::set<std::string> visited;
    std::string root = statusRoot;
    NetworkStatusFile status;
    for (;;) {
        if (root.empty()) return fail("no status address");
        visited.insert(root);
        std::string error;
        std::string text;
        if (!DownloadFile(AppendUrlPath(root, "status.txt"), file.path, kTimeoutMs, &error, stop))
            return fail("status file: " + error);
        if (!ReadWholeFile(file.path, text)) return fail("status file unreadable");
        status = ParseNetworkStatus(text);
        for (const std::string& message : status.messages) {
            if (callbacks.message) callbacks.message(message);
        }
        if (!status.serverListUrls.empty()) break;
        if (status.movedTo.empty()) return fail("no server list address in the status file");
        if (visited.count(status.movedTo)) return fail("the status file moved back to " + status.movedTo);
        root = status.movedTo;
    }

    std::vector<std::string>& urls = status.serverListUrls;
    Random15 random(seed);
    for (size_t i = urls.size(); i > 1; --i)
        std::swap(urls[i - 1], urls[static_cast<size_t>(random.Next()) % i]);
    std::string lastError = "no server list";
    for (const std::string& url : urls) {
        if (stop && stop->load()) return fail("Cancelled");
        std::string text;
        if (!DownloadFile(url, file.path, kTimeoutMs, &lastError, stop) || !ReadWholeFile(file.path, text))
            continue;
        std::vector<NetworkServer> servers;
        if (!ParseServerList(text, servers)) {
            lastError = "incomplete server list at " + url;
            continue;
        }
        for (const NetworkServer& server : servers) {
            if (callbacks.server) callbacks.server(server);
        }
        return true;
    }
    return fail("server list: " + lastError);
}
