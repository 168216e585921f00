// The oceanic tracks dialog's behaviour. Tested by tests/scope/oceanic_dialog_test.cpp.
#include "scope/oceanic_dialog.h"

#include <algorithm>
#include <set>

#include "atc/oceanic_tracks.h"
#include "scope/display_scope.h"
#include "scope/scope_host.h"

namespace {

// The track's flight levels of one direction, blank-separated.
std::string Levels(const OceanicTrack& track, int direction) {
    std::string text;
    for (const OceanicLevel& level : track.levels) {
        if (level.direction != direction) continue;
        if (!text.empty()) text += ' ';
        text += level.flightLevel;
    }
    return text;
}

std::string LevelsText(const OceanicTrack& track) {
    const std::string east = Levels(track, 4);
    const std::string west = Levels(track, 5);
    std::string text;
    if (!east.empty()) text = "E:" + east;
    if (!east.empty() && !west.empty()) text += "    ";
    if (!west.empty()) text += "W:" + west;
    return text;
}

}  // namespace

const char* OceanicDialogModel::DirectionText(int code) {
    static const char* const kTexts[] = {"N", "S", "NS", "E", "W", "EW"};
    return code >= 1 && code <= 6 ? kTexts[code - 1] : "?";
}

void OceanicDialogModel::Fill() {
    m_rows.clear();
    m_items.clear();
    m_downloading = false;
    OceanicTrackMap tracks;
    m_scope.Host().GetOceanicTracks(tracks);
    if (tracks.empty()) {
        m_items.push_back(kNoDataRow);
        return;
    }
    for (const auto& [name, track] : tracks) {
        OceanicTrackRow row;
        row.current = track.current;
        std::string route;
        for (const OceanicWaypoint& point : track.waypoints) route += (route.empty() ? "" : " ") + point.id;
        row.texts = {name, track.tmi, route, LevelsText(track)};
        row.direction = track.direction;
        m_items.push_back(static_cast<int>(m_rows.size()));
        m_rows.push_back(std::move(row));
    }
}

std::string OceanicDialogModel::ItemText(size_t item) const {
    if (item >= m_items.size() || m_items[item] < 0) return "";
    return m_rows[static_cast<size_t>(m_items[item])].texts[3];
}

std::vector<int> OceanicDialogModel::SelectedItems() const {
    std::vector<int> selected;
    const std::set<std::string>& shown = m_scope.GetShownOceanicTracks();
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i] >= 0 && shown.count(m_rows[static_cast<size_t>(m_items[i])].texts[0]))
            selected.push_back(static_cast<int>(i));
    }
    return selected;
}

void OceanicDialogModel::OnSelection(const std::vector<int>& items) {
    if (!HasTracks()) return;
    std::set<std::string> names;
    for (int item : items) {
        if (item < 0 || static_cast<size_t>(item) >= m_items.size() || m_items[static_cast<size_t>(item)] < 0)
            continue;
        names.insert(m_rows[static_cast<size_t>(m_items[static_cast<size_t>(item)])].texts[0]);
    }
    m_scope.SetShownOceanicTracks(std::move(names));
}

std::vector<int> OceanicDialogModel::SelectByDirection(int code, std::vector<int> selection) {
    if (!HasTracks()) return selection;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const int direction = m_rows[static_cast<size_t>(m_items[i])].direction;
        const int item = static_cast<int>(i);
        if ((direction == code || direction == 6) &&
            std::find(selection.begin(), selection.end(), item) == selection.end())
            selection.push_back(item);
    }
    std::sort(selection.begin(), selection.end());
    OnSelection(selection);
    return selection;
}

void OceanicDialogModel::ClearAll() {
    if (HasTracks()) m_scope.SetShownOceanicTracks({});
}

void OceanicDialogModel::Download() {
    m_rows.clear();
    m_items.assign(1, kDownloadingRow);
    m_downloading = true;
    m_scope.Host().StartOceanicTracksDownload();
}
