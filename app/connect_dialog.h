// What the connect dialog does, without the toolkit: the values it starts
// with, its server list and the waiting state, and the Connect button's
// check, store and connect. The window class (connect_dialog_wx.cpp) only
// copies between its controls and these values.
// Tested by tests/app/connect_dialog_test.cpp.
#pragma once

#include <optional>
#include <string>
#include <vector>

class TarqProfile;

// The network manager as the dialog uses it.
class ConnectDialogNetwork {
public:
    virtual ~ConnectDialogNetwork() = default;
    virtual bool IsServerListReady() const = 0;
    virtual void FillServerList(std::vector<std::string>& names) const = 0;
    virtual bool IsRequestingBreak() const = 0;
    virtual void SetBreakRequest(bool on) = 0;
    virtual bool IsRequestingHelp() const = 0;
    virtual void SetHelpRequest(bool on, const std::string& message) = 0;
    virtual void Connect() = 0;
};

struct ConnectValues {
    std::string callsign;
    std::string realName;
    int facility = 0;     // index in FacilityNames; -1: none selected
    int ratingIndex = 0;  // index in RatingNames, the rating less one; -1: none selected
    std::string cid;
    std::string password;
    std::string server;
};

class ConnectDialog {
public:
    static constexpr int kCallsignId = 1011;
    static constexpr int kRealNameId = 1012;
    static constexpr int kFacilityId = 1013;
    static constexpr int kRatingId = 1014;
    static constexpr int kCidId = 1015;
    static constexpr int kPasswordId = 1016;
    static constexpr int kServerId = 1017;
    static constexpr int kConnectId = 1018;
    static constexpr int kCancelId = 1019;
    static constexpr int kTimerPeriodMs = 250;
    static constexpr const char* kWaitingEntry = "Waiting for server list to download ...";

    static const std::vector<std::string>& FacilityNames();
    static const std::vector<std::string>& RatingNames();

    ConnectDialog(TarqProfile& profile, ConnectDialogNetwork& network, void (*clearSeeAll)())
        : m_profile(profile), m_network(network), m_clearSeeAll(clearSeeAll) {}

    // The values the controls start with, from the profile.
    ConnectValues InitialValues() const;

    // The Server list's entries and selection; while the network's list is
    // not ready, the single waiting entry with Connect disabled.
    struct ServerChoice {
        std::vector<std::string> entries;
        int selected = 0;  // -1: nothing to select
        bool ready = false;
    };
    ServerChoice ServerList() const;

    // The Connect button: cuts each text to its field's limit, checks the
    // required fields, stores all seven values, withdraws a standing break or
    // help request and connects. A failure names the control to select and
    // its message; nothing is then stored.
    struct Failure {
        int control;
        std::string message;
    };
    std::optional<Failure> Connect(ConnectValues typed);

private:
    TarqProfile& m_profile;
    ConnectDialogNetwork& m_network;
    void (*m_clearSeeAll)();
};
