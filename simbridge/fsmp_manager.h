// TarqFSMPManager: the one object through which the rest of the client shows
// network traffic in a flight simulator on this machine. It loads the model
// data once, starts the multiplayer session, picks a simulator model for
// every aircraft the aircraft database injects and forwards its positions.
// Main thread only. Tested by tests/simbridge/fsmp_manager_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "atc/atc_services.h"
#include "simbridge/fs_multiplayer.h"
#include "simbridge/model_matcher.h"
#include "simbridge/model_set.h"

class TarqFSMPManager;

// The session's reports: errors in a message box, text from the simulator
// as a line of the radio history.
class TarqMPCallback final : public FSMultiplayerCallback {
public:
    explicit TarqMPCallback(TarqFSMPManager& bridge) : m_bridge(bridge) {}
    void StatusChanged() override;
    void Error() override;
    void TextReceived(const std::string& text) override;

private:
    TarqFSMPManager& m_bridge;
};

// Collects the problems of one loader and shows them together in one
// message box under caption, so a file with many bad lines asks for one click.
class LoadErrorList {
public:
    explicit LoadErrorList(std::string caption) : m_caption(std::move(caption)) {}
    void Add(const std::string& text) { m_errors.push_back(text); }
    const std::vector<std::string>& GetErrors() const { return m_errors; }
    // Shows the box when there is something to show, then forgets the errors.
    void Show();

private:
    std::string m_caption;
    std::vector<std::string> m_errors;
};

class TarqMPAircraftDBCallback final : public AircraftDBReadCallback {
public:
    void Progress(const std::string&) override {}
    bool Error(const std::string& text, bool) override;
    LoadErrorList errors{"MP Aircraft DB Read Error"};
};

// A bad entry line is dropped and the rest of its file still loads.
class TarqMPModelSetCallback final : public ModelSetReadCallback {
public:
    void Progress(const std::string&) override {}
    bool Error(const std::string& text, bool fatal) override;
    LoadErrorList errors{"MP Model Set Read Error"};
};

class TarqFSMPManager final : public AtcSimulatorBridge {
public:
    // Makes the wire of a new session; null when there is none.
    using TransportFactory = std::function<std::unique_ptr<SimSessionTransport>()>;

    // The model shown when no model set has the type or a related one.
    static constexpr const char* kFallbackModel = "Qmv_QMark";

    // modelDataFolder: the "ModelData" folder. services: the "ModelSetOrder"
    // setting and the radio history.
    TarqFSMPManager(std::string modelDataFolder, const AtcServices& services, TransportFactory transports);
    // Ends a session that is still up.
    ~TarqFSMPManager() override;

    // Starts the session, or restarts it: the aircraft of the old session are
    // added to the new one.
    bool Connect();
    // The UDP port the next session is hosted on; 0, the default, is the
    // port the simulator looks on.
    void SetSessionPort(uint16_t port) { m_port = port; }
    void Disconnect();
    // The display menu's "Start MP Session": says what happens and how it went.
    void StartFromMenu();
    // Hands the session's events to the session; once per frame tick.
    void OnFrameTick();

    // --- the aircraft database's side --------------------------------------
    // False again once the session has ended on its own, so it can be started anew.
    bool IsConnected() const override { return m_connected && m_session && m_session->IsHosting(); }
    // Chooses the model and adds the aircraft; id is valid even when the
    // answer is false (the aircraft is then added by the next Connect).
    bool AddAircraft(const std::string& callsign, const std::string& type, const std::string& airline,
                     const std::string& livery, uint32_t& id);
    uint32_t AddAircraft(const std::string& callsign, const std::string& type, const std::string& airline,
                         const std::string& livery) override;
    void RemoveAircraft(uint32_t id) override;
    // rates: north, east and vertical in feet per second; useFull and timeout
    // (ms) go to the session as they are.
    void UpdateAircraftPosition(uint32_t id, double latitude, double longitude, double altitude, uint32_t attitude,
                                const std::array<double, 3>& rates, double speed, int useFull,
                                int timeout) override;
    std::unique_ptr<AircraftExtrapolator> CreateExtrapolator() override;

    std::string GetStatusText() const;
    std::string GetLastErrorText() const;
    void ShowChatText(const std::string& text);

    // Loads the tables and model sets once; later calls do nothing.
    void LoadModelData();
    // The model for an aircraft, kFallbackModel when no set has one.
    std::string ChooseModel(const std::string& type, const std::string& airline, const std::string& livery);
    ModelMatcher& GetModelTables() { return m_tables; }
    ModelSetList& GetModelSets() { return m_modelSets; }
    // The session, null while there is none.
    FSMultiplayerManager* GetSession() { return m_session.get(); }
    // The session's id of an aircraft added under the bridge's id; 0 when not in the session.
    uint32_t GetSessionId(uint32_t id) const;

private:
    // An aircraft the database has added: kept across sessions so that a
    // restarted session shows it again.
    struct Injected {
        std::string callsign;
        std::string modelName;
        int32_t modelClass = kModelClassUnknown;
        uint32_t sessionId = 0;  // 0: not in the session
    };

    void AddToSession(Injected& aircraft);

    std::string m_folder;
    AtcServices m_services;
    TransportFactory m_transports;
    TarqMPCallback m_sessionCallback{*this};
    TarqMPAircraftDBCallback m_tableCallback;
    TarqMPModelSetCallback m_setCallback;
    std::unique_ptr<FSMultiplayerManager> m_session;
    std::vector<std::string> m_preferredSets;
    bool m_modelDataLoaded = false;
    bool m_connected = false;
    uint16_t m_port = 0;
    std::string m_errorText;  // when no session could be made

    ModelMatcher m_tables;
    ModelSetList m_modelSets;
    std::map<uint32_t, Injected> m_injected;  // by the id the database keeps
    uint32_t m_nextId = 1;
};
