// TarqNetworkManager: connects, polls and signs off the controller session and
// the voice-ATIS session, follows their connection states, hands every packet
// to its owner (network_handlers.cpp), and turns the controller's actions
// (handoffs, tracks, pointouts, squawks, scratchpads, altitudes, amendments,
// messages, queries, break and help requests, strip pushes, ATIS replies) into
// the session's packet writers.
// Tested by tests/net/network_manager_test.cpp and network_handlers_test.cpp.
#pragma once

#include <cstdint>
#include <ctime>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "atc/aircraft.h"
#include "atc/atc_services.h"
#include "atc/controller.h"
#include "atc/flight_plan_record.h"
#include "foundation/start_directory.h"
#include "net/server_list.h"
#include "atc/network_owners.h"
#include "net/halk_session.h"

class TarqAircraftDB;
class TarqControllerDB;

class TarqNetworkManager final : public AtcNetwork {
public:
    // The CID that may always ask a client's version.
    static constexpr const char* kSupervisorCid = "614828";
    static constexpr int kControllerChannel = 149999;  // kHz
    static constexpr int kNoFrequency = 199998;        // kHz
    // Most lines an ATIS reply may have.
    static constexpr size_t kMaxATISLines = 10;

    // The client's identity on the network, the same for both sessions but
    // for the capabilities.
    static constexpr uint16_t kClientId = 0xb7e5;
    static constexpr int32_t kFirstId = 1;
    static constexpr int32_t kSecondId = 2;
    static constexpr int32_t kProtocolRevision = 100;
    static constexpr const char* kControllerCapabilities = "VERSION=1:SECPOS=1:ATCINFO=1:MODELDESC=1";
    static constexpr const char* kVoiceAtisCapabilities = "VERSION=1:ATCINFO=1";
    // "Tarq 1.2.3".
    static std::string ClientName();
    // The key both sessions answer the server's challenges with.
    static std::string LoginKey();

    // Creates both sessions with the client's identity; machineNumber goes
    // where the identification line carries the volume serial number. Every
    // service but the network (the manager itself) and every owner must be
    // set; a gap stops the program at once with its name.
    TarqNetworkManager(const AtcServices& services, const NetworkOwners& owners, int32_t machineNumber);
    TarqNetworkManager(const AtcServices& services, const NetworkOwners& owners,
                       std::unique_ptr<HalkSession> controllerSession,
                       std::unique_ptr<HalkSession> voiceAtisSession);
    ~TarqNetworkManager() override;

    // Every 100 ms: a finished name look-up starts its connect; the position
    // report when more than 15 s have passed; the visibility centres when more
    // than 60 s have passed and the server takes them ("SECPOS"); then both
    // sessions are polled, which runs the packet handlers.
    void OnTimer();
    // Signs on with the profile's identity to the profile's "Server" (an
    // address may name its port: "127.0.0.1:6810"). A host name is looked up
    // on a worker thread, so the window never waits on it. An attempt still
    // pending is cancelled and replaced by the new one.
    void Connect();
    // Signs the controller session off, then the voice-ATIS session if it is
    // on. An attempt still pending (look-up, connect, login) is cancelled at once.
    void Disconnect();
    // A look-up, connect or login is under way.
    bool IsConnecting() const;
    // Only while the controller session is connected and "ATISMakerICAO" is set.
    void ConnectVoiceAtis();
    void DisconnectVoiceAtis();
    // 1 idle, 2 connecting, 3 connected, 4 disconnected, 5 failed.
    int GetLastMainState() const { return m_lastMainState; }
    // The next OnTimer sends the visibility centres.
    void ForceVisibilityUpdate() { m_lastCentresTime = 0; }
    std::string GetPublicIP() const { return m_publicAddress; }
    // Server lines of both sessions dropped as malformed.
    int GetMalformedLineCount() const;
    // Busy replies not sent because the sender had just been written to.
    int GetSuppressedBusyReplies() const { return m_suppressedBusyReplies; }

    // The server list and the version check (net/server_list.h).
    bool IsServerListReady() const { return m_serverList->IsServerListReady(); }
    void StartVersionCheck() { m_serverList->StartVersionCheck(); }
    void StartServerListFetch() { m_serverList->StartServerListFetch(); }
    void FillServerList(std::vector<std::string>& list) const { m_serverList->FillServerList(list); }
    void AddServer(const std::string& name, const std::string& address) {
        m_serverList->AddServer(name, address);
    }
    std::string GetServerAddress(const std::string& name) const {
        return m_serverList->GetServerAddress(name);
    }
    TarqServerList& ServerList() { return *m_serverList; }

    // Null at shut-down also stops the server list's workers.
    void SetAircraftDB(TarqAircraftDB* aircraft) {
        m_aircraftDB = aircraft;
        m_serverList->SetAircraftDB(aircraft);
    }
    void SetControllerDB(TarqControllerDB* controllers) { m_controllerDB = controllers; }
    HalkSession& ControllerSession() { return *m_session; }
    HalkSession& VoiceAtisSession() { return *m_voiceSession; }
    bool IsConnected() const;
    bool IsVoiceAtisConnected() const;

    // Set when the server confirms the own callsign as an active controller;
    // cleared on every connect and disconnect.
    void SetValidATC(bool valid) { m_validAtc = valid; }
    // Connection bookkeeping for the connected-time count; a connect also
    // forgets the server's capabilities.
    void OnConnected();
    void OnDisconnected();
    // The controller session's state callback (registered at construction).
    void OnConnectionState(int state);
    void OnVoiceAtisState(int state);

    // --- AtcNetwork ------------------------------------------------------------
    bool IsValidATC() const override { return m_validAtc; }
    void RequestFlightPlan(const std::string& callsign) override;
    void RequestRealName(const std::string& callsign) override;
    void RequestPlaneInfo(const std::string& callsign) override;
    void RequestIsValidATC(const std::string& callsign) override;
    void SendCCPID(const std::string& to) override;
    void SendWhoHas(const std::string& callsign) override;
    void InitiateTrack(const std::string& callsign) override;
    void DropTrack(const std::string& callsign) override;
    void SendHandoffOffer(const std::string& to, const std::string& callsign) override;
    void SendHandoffAccept(const std::string& to, const std::string& callsign) override;
    void SendHandoffCancel(const std::string& to, const std::string& callsign) override;
    void SendPointOut(const std::string& to, const std::string& callsign) override;
    void SendTrackData(const std::string& to, const std::string& callsign) override;
    void SendTextMessage(const std::string& to, const std::string& text) override;
    void AssignSquawk(const std::string& callsign, int code) override;
    void SendScratchpad(const std::string& callsign, const std::string& text) override;
    void SendTemporaryAltitude(const std::string& callsign, int feet) override;
    void SendFinalAltitude(const std::string& callsign, int feet) override;
    void SendVoiceType(const std::string& callsign, const std::string& letter) override;
    void SendAmendedFlightPlan(const std::string& callsign, const TarqFlightPlanRecord& plan) override;
    int GetConnectedTime() const override;
    void ResetConnectedTime() override;
    std::time_t GetConnectTime() const override { return m_connectTime; }

    // --- further controller actions ---------------------------------------------
    void RequestFrequency(const std::string& callsign);
    void RequestInfo(const std::string& callsign);
    void RequestATIS(const std::string& callsign);
    void RequestMETAR(const std::string& station);
    void RequestClientVersion(const std::string& callsign);
    void SendWallop(const std::string& text);
    void SendBroadcast(const std::string& text);
    // Both false when nothing was queued (empty text; no transmit frequency
    // or not an active controller for radio text).
    bool SendRadioMessage(const std::string& text);
    bool SendFrequencyText(const std::string& text);
    // False, and nothing sent, without a transmit frequency to send it on.
    bool SendSELCAL(const std::string& code);
    void SendPing(const std::string& to);
    void SendKill(const std::string& callsign, const std::string& reason);
    void SendATCPosition();
    void SetBreakRequest(bool on);
    bool IsRequestingBreak() const { return m_breakRequest; }
    void SetRejectPrivate(bool on, const std::string& replyText);
    void SetRejectAllPrivate(const std::string& replyText);
    bool IsRejectingPrivateMessages() const { return m_rejectPrivate; }
    bool IsRejectingAllPrivateMessages() const { return m_rejectAll; }
    std::string GetBusyReply() const { return m_busyReply; }
    void SetHelpRequest(bool on, const std::string& message);
    bool IsRequestingHelp() const { return m_helpRequest; }
    std::string GetHelpMessage() const { return m_helpMessage; }
    void SetLogoffTime(const std::string& text) { m_logoffTime = text; }
    std::string GetLogoffTime() const { return m_logoffTime; }
    void SetPendingFindCallsign(const std::string& callsign) { m_pendingFind = callsign; }
    std::string GetPendingFindCallsign() const { return m_pendingFind; }
    // The callsign whose plan the user asked for; when that plan arrives the
    // flight plan editor shows it, once.
    void SetAwaitedFlightPlan(const std::string& callsign) { m_awaitedFlightPlan = callsign; }
    std::string GetAwaitedFlightPlan() const { return m_awaitedFlightPlan; }
    void PushFlightStrip(const std::string& to, const std::string& callsign, int type,
                         const std::vector<std::string>& annotations);

    // One key=value pair of the server's "CAPS" answer.
    void SetServerCapability(const std::string& key, const std::string& value);
    // Empty when the server has not announced the key.
    std::string GetServerCapability(const std::string& key) const;

    // Answer an "ATIS" query: the profile's "ATIS" from the controller session,
    // the ATIS maker's voice ATIS text from the voice-ATIS session.
    void SendATISReply(const std::string& to);
    void SendVoiceATISReply(const std::string& to);

private:
    friend struct NetworkHandlers;

    void RegisterHandlers();
    void StartConnect(const std::string& address);
    void CancelConnect();
    void SendVisibilityCentres();
    void SendVoiceAtisPosition();
    // Rejected private messages get the busy reply, unless the sender was
    // written to a moment ago: its text may itself be an automatic answer.
    void SendBusyReply(const std::string& to);
    void NoteWrittenTo(const std::string& to);
    void SendATIS(HalkSession& session, const std::string& to, const std::string& atis,
                  const char* tooManyLines, const std::string& voiceChannel);
    bool ExpandATISLine(const std::string& line, const std::string& requester, std::string& out);

    AtcServices m_services;
    NetworkOwners m_owners;
    TarqAircraftDB* m_aircraftDB = nullptr;
    TarqControllerDB* m_controllerDB = nullptr;
    std::unique_ptr<HalkSession> m_session;
    std::unique_ptr<HalkSession> m_voiceSession;
    bool m_validAtc = false;
    bool m_connected = false;
    std::time_t m_connectTime = 0;
    int m_connectedTotal = 0;  // seconds of earlier connections since the last reset
    bool m_breakRequest = false;
    bool m_rejectPrivate = false;
    bool m_rejectAll = false;
    std::string m_busyReply;
    bool m_helpRequest = false;
    std::string m_helpMessage;
    std::string m_logoffTime;
    std::string m_pendingFind;
    std::string m_awaitedFlightPlan;
    std::map<std::string, std::string> m_serverCapabilities;
    std::time_t m_lastPositionTime = 0;
    std::time_t m_lastCentresTime = 0;
    int m_lastMainState = HalkSession::kIdle;
    std::string m_publicAddress;
    int m_suppressedBusyReplies = 0;
    // Private messages recently sent, by receiver: wall seconds.
    std::map<std::string, std::time_t> m_writtenTo;

    // The connect waiting for its name look-up.
    std::string m_connectServer;
    int m_connectPort = HalkSession::kDefaultPort;
    std::future<uint32_t> m_lookup;
    // Look-ups of cancelled attempts, kept until they finish: a name look-up
    // cannot be stopped, and a future of std::async waits for it when dropped.
    std::vector<std::future<uint32_t>> m_abandonedLookups;
    bool m_cancelling = false;  // the close now reported is a cancelled attempt

    // Last, so its workers stop before anything else goes.
    std::unique_ptr<TarqServerList> m_serverList =
        std::make_unique<TarqServerList>(m_services, StartDirectory);
};
