// Tested by tests/app/connect_dialog_test.cpp.
#include "app/connect_dialog.h"

#include <algorithm>

#include "foundation/profile.h"

namespace {

// Longest text each field keeps; anything beyond is cut off, not refused.
constexpr size_t kCallsignLimit = 10;
constexpr size_t kRealNameLimit = 49;
constexpr size_t kCidLimit = 11;
constexpr size_t kPasswordLimit = 29;
constexpr size_t kServerLimit = 49;
// The required fields' check.
constexpr size_t kRequiredLimit = 50;

std::string Cut(std::string text, size_t limit) {
    if (text.size() > limit) text.resize(limit);
    return text;
}

}  // namespace

const std::vector<std::string>& ConnectDialog::FacilityNames() {
    static const std::vector<std::string> names = {
        "Observer", "Flight Service Station", "Clearance/Delivery", "Ground", "Tower", "Approach/Departure",
        "Center"};
    return names;
}

const std::vector<std::string>& ConnectDialog::RatingNames() {
    static const std::vector<std::string> names = {"Observer",    "Student1",    "Student2",    "Student3",
                                                   "Controller1", "Controller2", "Controller3", "Instructor1",
                                                   "Instructor2", "Instructor3", "Supervisor",  "Administrator"};
    return names;
}

ConnectValues ConnectDialog::InitialValues() const {
    ConnectValues v;
    v.callsign = m_profile.GetString("Callsign");
    v.realName = m_profile.GetString("RealName");
    const int facility = m_profile.GetInt("Facility");
    v.facility = facility >= 0 && facility < static_cast<int>(FacilityNames().size()) ? facility : -1;
    const int rating = m_profile.GetInt("Rating");
    v.ratingIndex = rating >= 1 && rating <= static_cast<int>(RatingNames().size()) ? rating - 1 : -1;
    v.cid = m_profile.GetString("CID");
    v.password = m_profile.GetString("Password");
    v.server = m_profile.GetString("Server");
    return v;
}

ConnectDialog::ServerChoice ConnectDialog::ServerList() const {
    ServerChoice choice;
    if (!m_network.IsServerListReady()) {
        choice.entries = {kWaitingEntry};
        return choice;
    }
    choice.ready = true;
    m_network.FillServerList(choice.entries);
    std::sort(choice.entries.begin(), choice.entries.end());  // the list sorts itself
    auto it = std::find(choice.entries.begin(), choice.entries.end(), m_profile.GetString("Server"));
    if (it != choice.entries.end()) {
        choice.selected = static_cast<int>(it - choice.entries.begin());
    } else {
        choice.selected = choice.entries.empty() ? -1 : 0;
    }
    return choice;
}

std::optional<ConnectDialog::Failure> ConnectDialog::Connect(ConnectValues typed) {
    ConnectValues v = typed;
    v.callsign = Cut(v.callsign, kCallsignLimit);
    v.realName = Cut(v.realName, kRealNameLimit);
    v.cid = Cut(v.cid, kCidLimit);
    v.password = Cut(v.password, kPasswordLimit);
    v.server = Cut(v.server, kServerLimit);
    const struct {
        const std::string& text;
        int control;
        const char* message;
    } required[] = {
        {v.callsign, kCallsignId, "Invalid callsign. It is either empty or too long. This field is required."},
        {v.realName, kRealNameId, "Invalid name. It is either empty or too long. This field is required."},
        {v.cid, kCidId, "Invalid CID. It is either empty or too long. This field is required."},
        {v.password, kPasswordId, "Invalid password. It is either empty or too long. This field is required."},
    };
    for (const auto& field : required) {
        if (field.text.empty() || field.text.size() > kRequiredLimit) return Failure{field.control, field.message};
    }
    // A list left without a selection would be stored and sent as a number
    // the server does not know.
    if (v.facility < 0 || v.facility >= static_cast<int>(FacilityNames().size()))
        return Failure{kFacilityId, "No facility selected. Choose one from the list."};
    if (v.ratingIndex < 0 || v.ratingIndex >= static_cast<int>(RatingNames().size()))
        return Failure{kRatingId, "No rating selected. Choose one from the list."};

    const int rating = v.ratingIndex + 1;
    if (v.callsign != m_profile.GetString("Callsign") || v.realName != m_profile.GetString("RealName") ||
        v.facility != m_profile.GetInt("Facility") || rating != m_profile.GetInt("Rating") ||
        v.cid != m_profile.GetString("CID") || v.password != m_profile.GetString("Password") ||
        v.server != m_profile.GetString("Server")) {
        m_profile.SetModified(true);
    }
    m_profile.SetString("Callsign", v.callsign);
    m_profile.SetString("RealName", v.realName);
    m_profile.SetInt("Facility", v.facility);
    m_profile.SetInt("Rating", rating);
    m_profile.SetString("CID", v.cid);
    m_profile.SetString("Password", v.password);
    m_profile.SetString("Server", v.server);
    if (m_clearSeeAll) m_clearSeeAll();
    if (m_network.IsRequestingBreak()) m_network.SetBreakRequest(false);
    if (m_network.IsRequestingHelp()) m_network.SetHelpRequest(false, "");
    m_network.Connect();
    return std::nullopt;
}
