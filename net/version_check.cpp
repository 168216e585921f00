// Tested by tests/net/server_list_test.cpp.
#include "net/version_check.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "foundation/text_helpers.h"
#include "net/http_client.h"
#include "net/key_value_lines.h"
#include "net/url.h"
#include "platform/atomic_file.h"
#include "platform/temp_file.h"

namespace {

constexpr int kTimeoutMs = 5000;

bool ReadVersion(const std::string& text, int (&parts)[3]) {
    std::vector<std::string> fields = SplitFields(text, '.');
    if (fields.size() != 3) return false;
    for (int i = 0; i < 3; ++i) {
        const std::string& f = fields[static_cast<size_t>(i)];
        auto [end, error] = std::from_chars(f.data(), f.data() + f.size(), parts[i]);
        if (f.empty() || error != std::errc() || end != f.data() + f.size() || parts[i] < 0) return false;
    }
    return true;
}

}  // namespace

std::string VersionCheckUrl(const std::string& endpoint, const std::string& version, int32_t volume,
                            const std::string& callsign) {
    std::string url =
        endpoint + "?ver=" + version + "&vol=" + std::to_string(volume) + "&cs=" + UrlEncode(callsign);
    std::erase(url, ' ');
    return url;
}

void ParseVersionAnswer(const std::string& text, std::string& latest, std::string& aircraftDatabase) {
    for (const auto& [key, value] : ParseKeyValueLines(text, 0)) {
        if (key == "latest_ver") latest = value;
        if (key == "acinfo_ver") aircraftDatabase = value;
    }
}

bool CheckVersion(const std::string& url, std::string& latest, std::string& aircraftDatabase,
                  std::string* why, const std::atomic<bool>* stop) {
    const std::string path = MakeTempFile("verchk");
    if (path.empty()) {
        if (why) *why = "no temporary file";
        return false;
    }
    std::string text;
    bool ok = DownloadFile(url, path, kTimeoutMs, why, stop) && ReadWholeFile(path, text);
    std::remove(path.c_str());
    if (ok) ParseVersionAnswer(text, latest, aircraftDatabase);
    return ok;
}

VersionVerdict CompareVersion(const std::string& latest, const std::string& own) {
    int theirs[3];
    int ours[3];
    if (!ReadVersion(latest, theirs) || !ReadVersion(own, ours)) return VersionVerdict::Invalid;
    for (int i = 0; i < 3; ++i) {
        if (theirs[i] != ours[i]) return theirs[i] > ours[i] ? VersionVerdict::Newer : VersionVerdict::Latest;
    }
    return VersionVerdict::Latest;
}
