// What the "Oceanic Tracks" dialog shows and does, without the window: the
// track rows built from the tracks database, the rows of the tracks the
// scope draws, the direction and clear buttons and the download. The window
// draws the rows and copies the list's selection to and from this.
// Tested by tests/scope/oceanic_dialog_test.cpp.
#pragma once

#include <array>
#include <string>
#include <vector>

class TarqDisplayScope;

struct OceanicTrackRow {
    bool current = true;
    // Identifier, TMI, route (waypoint names), flight levels ("E:310 330    W:320").
    std::array<std::string, 4> texts;
    int direction = 0;  // 1 "N", 2 "S", 3 "NS", 4 "E", 5 "W", 6 "EW"
};

class OceanicDialogModel {
public:
    // Item data of the list's placeholder rows.
    static constexpr int kDownloadingRow = -1;
    static constexpr int kNoDataRow = -2;

    explicit OceanicDialogModel(TarqDisplayScope& scope) : m_scope(scope) {}

    // Rebuilds the rows from a copy of the tracks database; with no tracks
    // the list holds only the no-data row.
    void Fill();
    // The list: each row's item data (an index into Rows, or a placeholder).
    const std::vector<int>& Items() const { return m_items; }
    const std::vector<OceanicTrackRow>& Rows() const { return m_rows; }
    // The row's text as a list entry: "E:" eastbound, "W:" westbound levels.
    std::string ItemText(size_t item) const;
    // Whether the list and the Eastbound, Westbound and Clear All buttons take input.
    bool HasTracks() const { return !m_rows.empty() && !m_downloading; }
    // The list rows of the tracks the scope draws.
    std::vector<int> SelectedItems() const;

    // The list's selection changed to these rows.
    void OnSelection(const std::vector<int>& items);
    // Eastbound (4) and Westbound (5): adds the rows of that direction, and
    // of tracks with both, to the selection; returns the new selection.
    std::vector<int> SelectByDirection(int code, std::vector<int> selection);
    void ClearAll();
    // Only the downloading row, input off, and the download started.
    void Download();

    static const char* DirectionText(int code);

private:
    TarqDisplayScope& m_scope;
    std::vector<OceanicTrackRow> m_rows;
    std::vector<int> m_items;
    bool m_downloading = false;
};
