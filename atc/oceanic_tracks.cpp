// Tested by tests/atc/oceanic_tracks_test.cpp and tests/threads/download_threads_test.cpp.
#include "atc/oceanic_tracks.h"

#include <charconv>
#include <cstdio>

#include "atc/xml_reader.h"
#include "platform/temp_file.h"
#include "platform/thread_priority.h"

namespace {

double Decimal(const std::string& text) {
    double value = 0.0;
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return 0.0;
    if (text[start] == '+') ++start;
    std::from_chars(text.data() + start, text.data() + text.size(), value);
    return value;
}

// "true" unless a "current" attribute says otherwise (compared exactly).
std::string CurrentText(const XmlNode& track) { return track.Attribute("current", "true"); }

bool Counted(const XmlNode& track, bool onlyCurrent) {
    if (track.Attribute("type") != "NAT") return false;
    return !(onlyCurrent && CurrentText(track) == "false");
}

}  // namespace

bool ParseOceanicTracks(const std::string& path, bool onlyCurrent, OceanicTrackMap& tracks, int& count) {
    XmlResult result;
    XmlNode root = XmlNode::ParseFile(path, "tracks", result);
    // A missing end tag is how a cut-off document looks: keep the old tracks.
    if (root.IsEmpty() || result.code != kXmlOk) return false;
    const int n = root.CountChildren("track");
    if (n == 0) return false;
    count = 0;
    int index = 0;
    for (int i = 0; i < n; ++i) count += Counted(root.GetChild("track", index), onlyCurrent);
    if (count == 0) return false;

    OceanicTrackMap read;
    index = 0;
    for (int i = 0; i < n; ++i) {
        XmlNode node = root.GetChild("track", index);
        if (!node.HasAttribute("id") || !Counted(node, onlyCurrent)) continue;
        OceanicTrack track;
        track.id = node.Attribute("id");
        track.current = CurrentText(node) != "false";
        track.tmi = node.Attribute("tmi");
        int at = 0;
        XmlNode waypoints = node.GetChild("waypoints", at);
        if (waypoints.IsEmpty()) continue;
        at = 0;
        for (XmlNode w = waypoints.GetChild("waypoint", at); !w.IsEmpty();
             w = waypoints.GetChild("waypoint", at)) {
            if (!w.HasAttribute("id") || !w.HasAttribute("lon") || !w.HasAttribute("lat")) continue;
            track.waypoints.push_back(
                {w.Attribute("id"), Decimal(w.Attribute("lon")), Decimal(w.Attribute("lat"))});
        }
        at = 0;
        XmlNode levels = node.GetChild("levels", at);
        if (levels.IsEmpty()) continue;
        bool east = false, west = false;
        at = 0;
        for (XmlNode l = levels.GetChild("level", at); !l.IsEmpty(); l = levels.GetChild("level", at)) {
            if (!l.HasAttribute("direction") || !l.HasAttribute("fl")) continue;
            const std::string direction = l.Attribute("direction");
            OceanicLevel level;
            level.direction = direction == "EAST" ? 4 : direction == "WEST" ? 5 : 0;
            level.flightLevel = l.Attribute("fl");
            east |= level.direction == 4;
            west |= level.direction == 5;
            track.levels.push_back(level);
        }
        track.direction = east && west ? 6 : east ? 4 : west ? 5 : 0;
        read[track.id] = std::move(track);  // a later track of the same id wins
    }
    tracks = std::move(read);
    return true;
}

TarqOceanicTracksDB::TarqOceanicTracksDB(const AtcServices& services, DownloadJobFactory factory)
    : m_services(services.Checked("TarqOceanicTracksDB")), m_factory(std::move(factory)) {}

TarqOceanicTracksDB::~TarqOceanicTracksDB() { WaitForDownload(); }

void TarqOceanicTracksDB::StartDownload() {
    if (m_downloading.exchange(true)) {
        m_services.messages->ShowError("NAT track download already in progress.");
        return;
    }
    // Captured here: the worker reads no settings.
    const bool onlyCurrent = m_services.settings->GetBool("IncludeOnlyCurrentTracks");
    DownloadJob job = m_factory ? m_factory() : DownloadJob();
    std::lock_guard<std::mutex> guard(m_threadLock);
    if (m_thread.joinable()) m_thread.join();  // finished: m_downloading was false
    m_thread = std::thread([this, job = std::move(job), onlyCurrent] { DownloadThread(job, onlyCurrent); });
}

void TarqOceanicTracksDB::DownloadThread(DownloadJob job, bool onlyCurrent) {
    LowerThreadToIdlePriority();
    int count = 0;
    bool ok = false;
    const std::string path = MakeTempFile("nattracks");
    std::string error;
    if (!path.empty() && job && job(path, error)) ok = ParseXml(path, onlyCurrent, count);
    if (!path.empty()) std::remove(path.c_str());
    if (ok) {
        char text[64];
        std::snprintf(text, sizeof text, "NAT tracks download succeeded. %d tracks found.", count);
        m_services.messages->ShowMessage(text);
    } else {
        m_services.messages->ShowError("NAT tracks download failed!");
    }
    m_downloading = false;
    if (m_ended) m_ended();
}

bool TarqOceanicTracksDB::ParseXml(const std::string& path, bool onlyCurrent, int& count) {
    // Read outside the lock; the frame drawer waits only for the swap.
    OceanicTrackMap read;
    if (!ParseOceanicTracks(path, onlyCurrent, read, count)) return false;
    std::lock_guard<std::mutex> guard(m_dataLock);
    m_tracks.swap(read);
    return true;
}

void TarqOceanicTracksDB::GetTracks(OceanicTrackMap& out) const {
    std::lock_guard<std::mutex> guard(m_dataLock);
    out = m_tracks;
}

void TarqOceanicTracksDB::WaitForDownload() {
    std::lock_guard<std::mutex> guard(m_threadLock);
    if (m_thread.joinable()) m_thread.join();
}
