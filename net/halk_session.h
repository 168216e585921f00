// HalkSession: one line-protocol connection of the client to a network server.
// It is polled from the main thread; inside Poll it sends what the writers
// queued, reads, frames lines, parses them by the packet table, answers some
// packets by itself and raises the registered callbacks.
// Tested by tests/net/halk_session_test.cpp (against the local test server),
// halk_parser_test.cpp and halk_writer_test.cpp (lines without sockets).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/random15.h"
#include "net/halk_buffered_socket.h"
#include "net/halk_line.h"

class Clock;
class HalkSession;

struct PilotPositionRecord {
    double latitude = 0;
    double longitude = 0;
    int32_t altitude = 0;  // feet
    int32_t altitudeDifference = 0;  // ft, the last field; added at or above "TransLevel"
    int32_t groundSpeed = 0;
    double heading = 0;
    double bank = 0;
    double pitch = 0;
    uint16_t squawk = 0;          // decimal digits are the code: 7700 is 7700
    int32_t transponderMode = 0;  // character code of the mode letter
    int32_t rating = 0;
};

struct ATCPositionRecord {
    int32_t frequency = 0;  // kHz
    int32_t facility = 0;
    int32_t visibilityRange = 0;  // NM
    int32_t rating = 0;
    double latitude = 0;
    double longitude = 0;
    int32_t altitude = 0;
};

// Texts may be null when writing; when received they are never null.
struct FlightPlanPacket {
    int32_t flightRules = 0;  // character code, 0 when empty
    const char* aircraftType = nullptr;
    int32_t trueAirspeed = 0;
    const char* departure = nullptr;
    int32_t proposedDeparture = 0;
    int32_t actualDeparture = 0;
    const char* cruiseAltitude = nullptr;
    const char* destination = nullptr;
    int32_t hoursEnRoute = 0;
    int32_t minutesEnRoute = 0;
    int32_t hoursFuel = 0;
    int32_t minutesFuel = 0;
    const char* alternate = nullptr;
    const char* remarks = nullptr;
    const char* route = nullptr;
};

struct HalkLoginInfo {
    std::string callsign;
    std::string realName;
    int32_t rating = 0;
};

// Callbacks: the session first, the user value last; texts point into the line
// being parsed and are valid only during the call; lists end with null.
using HalkStateCallback = void (*)(HalkSession*, int oldState, int newState, void* user);
using HalkPrivateMessageCallback = void (*)(HalkSession*, const char* from, const char* to, const char* text,
                                            void* user);
using HalkRadioMessageCallback = void (*)(HalkSession*, const char* from, int count,
                                          const int32_t* frequencies, const char* text, void* user);
using HalkPilotPositionCallback = void (*)(HalkSession*, const char* callsign, const PilotPositionRecord&,
                                           void* user);
using HalkATCPositionCallback = void (*)(HalkSession*, const char* callsign, const ATCPositionRecord&,
                                         void* user);
using HalkCallsignCallback = void (*)(HalkSession*, const char* callsign, void* user);
using HalkKillCallback = void (*)(HalkSession*, const char* reason, void* user);
using HalkPongCallback = void (*)(HalkSession*, const char* from, long long elapsedSeconds, void* user);
using HalkFlightPlanCallback = void (*)(HalkSession*, const char* callsign, const FlightPlanPacket&,
                                        void* user);
using HalkHandoffOfferCallback = void (*)(HalkSession*, const char* from, const char* aircraft, void* user);
using HalkHandoffAcceptCallback = void (*)(HalkSession*, const char* to, const char* from,
                                           const char* aircraft, void* user);
using HalkHandoffCancelCallback = void (*)(HalkSession*, const char* from, const char* aircraft, void* user);
using HalkMETARCallback = void (*)(HalkSession*, const char* text, void* user);
// kind 1 "C?", 3 "ATIS", 5 "RN"; argument is always null.
using HalkQueryCallback = void (*)(HalkSession*, const char* from, int kind, const char* argument,
                                   void* user);
// kind 1 "C?", 4 "SV", 5 "RN", 6 "ATC", 8 "IP"; second may be null.
using HalkReplyCallback = void (*)(HalkSession*, const char* from, int kind, const char* first,
                                   const char* second, void* user);
using HalkKeyValueCallback = void (*)(HalkSession*, const char* from, const char* const* keyValues,
                                      void* user);
using HalkATISLineCallback = void (*)(HalkSession*, const char* from, char lineType, const char* text,
                                      void* user);
using HalkErrorCallback = void (*)(HalkSession*, int code, const char* message, const char* parameter,
                                   void* user);
using HalkFromFieldCallback = void (*)(HalkSession*, const char* from, const char* field, void* user);
// kind 0 "SC", 1 "VT", 2 "BC", 3 "FA", 4 "TA".
using HalkATCDataCallback = void (*)(HalkSession*, const char* from, const char* aircraft, int kind,
                                     const char* value, void* user);
// kind 0 call, 1 accept, 2 busy, 3 end; lineType 0 intercom, 1 override, 2 monitor.
using HalkLandLineCallback = void (*)(HalkSession*, const char* from, int kind, int lineType,
                                      const char* address, int port, void* user);
// kind 0 "IT", 1 "DR", 2 "IH", 3 "WH", 4 "PT", 5 "DP".
using HalkATCNoticeCallback = void (*)(HalkSession*, const char* from, const char* aircraft, int kind,
                                       void* user);
using HalkBreakCallback = void (*)(HalkSession*, const char* from, int on, void* user);
using HalkIdentifyCallback = void (*)(HalkSession*, const char* from, void* user);
using HalkStripPushCallback = void (*)(HalkSession*, const char* from, const char* callsign, int number,
                                       const char* const* texts, void* user);
using HalkHelpCallback = void (*)(HalkSession*, const char* from, int on, const char* text, void* user);

class HalkSession : public HalkBufferedSocketDataHandler {
public:
    // The connection's states, passed on as they come.
    static constexpr int kIdle = HalkSocket::kIdle;
    static constexpr int kConnecting = HalkSocket::kConnecting;
    static constexpr int kConnected = HalkSocket::kConnected;
    static constexpr int kClosed = HalkSocket::kClosed;
    static constexpr int kError = HalkSocket::kError;
    static constexpr int kDefaultPort = 6809;
    // Lines parsed per poll, so a burst cannot stall a frame.
    static constexpr int kLinesPerPoll = 100;
    // A server that has not asked us to identify ourselves this long after
    // the connect is not one we can log in to.
    static constexpr uint64_t kIdentifyTimeoutMs = 30000;
    // A TCP connect to an address that drops packets is given up after this
    // long rather than after the system's minutes of retries.
    static constexpr uint64_t kConnectTimeoutMs = 20000;

    // An empty key makes the session use a fixed placeholder; any key is cut
    // or zero-filled to 32 characters (NormalizeLoginKey). A null clock means
    // the system clock.
    static std::unique_ptr<HalkSession> Create(std::string clientName, int32_t firstId, int32_t secondId,
                                               std::string simulatorVersion, int32_t protocolRevision,
                                               uint16_t clientId, std::string_view key,
                                               std::string capabilities, const Clock* clock = nullptr);
    HalkSession(std::string clientName, int32_t firstId, int32_t secondId, std::string simulatorVersion,
                int32_t protocolRevision, uint16_t clientId, std::string_view key, std::string capabilities,
                const Clock* clock = nullptr);
    ~HalkSession() override;

    // Ignored unless idle, closed or failed.
    void SetConnectInfo(const std::string& server, int port, const std::string& userId,
                        const std::string& password, const HalkLoginInfo& info);
    // The number sent where the identification and information lines carry the
    // volume serial number; 0 until set.
    void SetMachineNumber(int32_t number) { m_machineNumber = number; }
    bool Connect();
    // Connected and logged in: signs off ("#DA"), then closes once the server
    // has, or after timeoutSeconds. Still connecting or waiting for the
    // server's identification request: closes at once.
    void Disconnect(int timeoutSeconds);
    // Never delete or poll the session from inside one of its own callbacks.
    void Poll();
    int GetState() const { return m_state; }
    // The state last passed to the state callback: "connected" only once the
    // login has gone out after the server's identification request.
    int GetReportedState() const { return m_reportedState; }
    // Queues already formatted text; returns its length, 0 without a connection.
    int Send(std::string_view text);
    // Parses one received line (terminator included or not); Poll feeds every
    // line through here.
    void ParseLine(const char* text, size_t length);

    // Why the last connection failed or ended without being asked to, for the
    // user: no answer to the connect, a refused or reset connection, no
    // identification request in time, a server that stopped reading. Empty
    // when it ended in order.
    const std::string& FailureReason() const { return m_failureReason; }
    // Position lines dropped because a field was missing, not a number or out
    // of range, since the session was created.
    int MalformedLineCount() const { return m_malformedLines; }

    const std::string& Callsign() const { return m_callsign; }
    // The address given to SetConnectInfo.
    const std::string& ServerAddress() const { return m_server; }
    const std::string& OwnAddress() const { return m_ownAddress; }
    const std::string& Key() const { return m_key; }
    uint16_t ClientId() const { return m_clientId; }

    // Writers. `to` empty means absent where a writer allows it. Each returns
    // the characters queued, 0 when nothing was.
    int SendTextMessage(std::string_view to, std::string_view text);
    int SendRadioMessage(std::span<const int32_t> frequencies, std::string_view text);
    int SendATCPosition(const ATCPositionRecord& record);
    int SendSecondaryPosition(int index, double latitude, double longitude);
    int SendKill(std::string_view callsign, std::string_view reason);
    int SendPing(std::string_view to);
    int SendPong(std::string_view to, std::string_view text);
    int SendHandoffOffer(std::string_view to, std::string_view aircraft);
    int SendHandoffAccept(std::string_view to, std::string_view aircraft);
    int SendHandoffCancel(std::string_view to, std::string_view aircraft);
    int RequestMETAR(std::string_view station);
    // kinds 0 to 8; an empty argument of kind 6 asks for the own callsign.
    int SendQuery(int kind, std::string_view argument);
    // kinds 1, 3, 5, 7.
    int SendReply(int kind, std::string_view to, std::string_view argument);
    int SendATISLine(std::string_view to, char lineType, std::string_view text);
    int RequestPlaneInfo(std::string_view to);
    int SendFlightPlanAmend(std::string_view callsign, const FlightPlanPacket& plan);
    // Client-to-client writers.
    int SendATCData(std::string_view to, int kind, std::string_view aircraft, std::string_view value);
    int SendATCNotice(std::string_view to, std::string_view aircraft, int kind);
    int SendIdentify(std::string_view to);
    int SendLandLine(std::string_view to, int kind, int lineType, std::string_view address, int port);
    int SendBreak(bool on);
    int SendHelpRequest(bool on, std::string_view text);
    int SendVersionRequest(std::string_view to);
    int SendStripPush(std::string_view to, std::string_view callsign, int number,
                      std::span<const std::string> texts);

    // The answer to a challenge: MD5 over key pieces and challenge halves,
    // arranged by the selector (the client id).
    static std::string ComputeResponse(std::string_view key, std::string_view challenge, unsigned selector);
    // 16 random bytes in lower-case hex, as either side sends them.
    static std::string MakeChallenge(Random15& random);
    // 32 characters: longer keys are cut, shorter ones filled with '0'.
    static std::string NormalizeLoginKey(std::string_view key);

    void SetStateCallback(HalkStateCallback f, void* user) { m_stateChanged = {f, user}; }
    void SetPrivateMessageCallback(HalkPrivateMessageCallback f, void* user) { m_privateMessage = {f, user}; }
    void SetRadioMessageCallback(HalkRadioMessageCallback f, void* user) { m_radioMessage = {f, user}; }
    void SetPilotPositionCallback(HalkPilotPositionCallback f, void* user) { m_pilotPosition = {f, user}; }
    void SetATCPositionCallback(HalkATCPositionCallback f, void* user) { m_atcPosition = {f, user}; }
    void SetDeletePilotCallback(HalkCallsignCallback f, void* user) { m_deletePilot = {f, user}; }
    void SetDeleteATCCallback(HalkCallsignCallback f, void* user) { m_deleteATC = {f, user}; }
    void SetKillCallback(HalkKillCallback f, void* user) { m_kill = {f, user}; }
    void SetPongCallback(HalkPongCallback f, void* user) { m_pong = {f, user}; }
    void SetFlightPlanCallback(HalkFlightPlanCallback f, void* user) { m_flightPlan = {f, user}; }
    void SetHandoffOfferCallback(HalkHandoffOfferCallback f, void* user) { m_handoffOffer = {f, user}; }
    void SetHandoffAcceptCallback(HalkHandoffAcceptCallback f, void* user) { m_handoffAccept = {f, user}; }
    void SetHandoffCancelCallback(HalkHandoffCancelCallback f, void* user) { m_handoffCancel = {f, user}; }
    void SetMETARCallback(HalkMETARCallback f, void* user) { m_metar = {f, user}; }
    void SetQueryCallback(HalkQueryCallback f, void* user) { m_query = {f, user}; }
    void SetReplyCallback(HalkReplyCallback f, void* user) { m_reply = {f, user}; }
    void SetCapabilitiesCallback(HalkKeyValueCallback f, void* user) { m_capabilitiesAnswer = {f, user}; }
    void SetATISLineCallback(HalkATISLineCallback f, void* user) { m_atisLine = {f, user}; }
    void SetErrorCallback(HalkErrorCallback f, void* user) { m_error = {f, user}; }
    void SetPrivateOtherCallback(HalkFromFieldCallback f, void* user) { m_privateOther = {f, user}; }
    void SetInfoOtherCallback(HalkFromFieldCallback f, void* user) { m_infoOther = {f, user}; }
    void SetPlaneInfoCallback(HalkKeyValueCallback f, void* user) { m_planeInfo = {f, user}; }
    void SetATCDataCallback(HalkATCDataCallback f, void* user) { m_atcData = {f, user}; }
    void SetLandLineCallback(HalkLandLineCallback f, void* user) { m_landLine = {f, user}; }
    void SetATCNoticeCallback(HalkATCNoticeCallback f, void* user) { m_atcNotice = {f, user}; }
    void SetBreakCallback(HalkBreakCallback f, void* user) { m_break = {f, user}; }
    void SetIdentifyCallback(HalkIdentifyCallback f, void* user) { m_identify = {f, user}; }
    void SetStripPushCallback(HalkStripPushCallback f, void* user) { m_stripPush = {f, user}; }
    void SetHelpCallback(HalkHelpCallback f, void* user) { m_help = {f, user}; }

    // HalkBufferedSocketDataHandler
    void OnLine(HalkBufferedSocket* connection, const char* text, size_t length) override;
    void OnStateChange(HalkBufferedSocket* connection, int oldState, int newState) override;
    // A "$PO" answer to our ping: hands it to the pong callback.
    void OnPong(const char* from, long long sentTime);

private:
    template <typename F>
    struct Slot {
        F fn = nullptr;
        void* user = nullptr;
        explicit operator bool() const { return fn != nullptr; }
    };

    int SendLine(const HalkLineBuilder& line) { return Send(line.Finish()); }
    HalkLineBuilder Line(std::string_view prefix) const;
    void ReportState(int newState);
    // Drops the connection at once and reports a failure with the reason.
    void GiveUp(std::string reason);
    std::string ServerText() const;
    void SendAddAtc();

    // Packet decoders; fields numbered from 0 after the prefix.
    void OnTextMessage(HalkFields& f);
    void OnPilotPosition(HalkFields& f);
    void OnATCPosition(HalkFields& f);
    void OnKillPacket(HalkFields& f);
    void OnPing(HalkFields& f);
    void OnPongPacket(HalkFields& f);
    void OnFlightPlan(HalkFields& f);
    void OnHandoffOffer(HalkFields& f);
    void OnHandoffAccept(HalkFields& f);
    void OnMETAR(HalkFields& f);
    void OnQuery(HalkFields& f);
    void OnReply(HalkFields& f);
    void OnErrorPacket(HalkFields& f);
    void OnPrivateClientData(HalkFields& f);
    void OnPilotInfo(HalkFields& f);
    void OnDeleteATC(HalkFields& f);
    void OnDeletePilot(HalkFields& f);
    void OnIdentificationRequest(HalkFields& f);
    void OnServerChallenge(HalkFields& f);
    void OnServerAnswer(HalkFields& f);
    void OnIgnored(HalkFields&) {}
    // Client-to-client: the code is field codeIndex, its arguments follow.
    void OnClientToClient(HalkFields& f, int codeIndex);
    void SendInformationLine(const char* to);

    // Identity, given at creation.
    std::string m_clientName;
    std::string m_simulatorVersion;
    int32_t m_firstId;
    int32_t m_secondId;
    int32_t m_protocolRevision;
    uint16_t m_clientId;
    int32_t m_clientKind = 0;
    std::string m_capabilitiesText;
    std::string m_key;
    const Clock* m_clock;

    // Login data.
    std::string m_server;
    int m_port = kDefaultPort;
    std::string m_userId;
    std::string m_password;
    std::string m_callsign;
    std::string m_realName;
    int32_t m_rating = 0;
    int32_t m_machineNumber = 0;
    std::string m_ownAddress = "127.0.0.1";

    // Challenge state of the current connection.
    std::string m_answerBase;
    std::string m_answerKey;
    std::string m_checkBase;
    std::string m_checkKey;
    std::string m_expectedAnswer;
    bool m_challengeOutstanding = false;
    bool m_identified = false;
    Random15 m_random;

    double m_lastLatitude = 0;
    double m_lastLongitude = 0;
    int32_t m_lastAltitude = 0;

    int m_state = kIdle;
    int m_reportedState = kIdle;
    uint64_t m_connectStartMs = 0;  // when the connect began, for its time-out
    uint64_t m_connectedAtMs = 0;  // when the socket connected, for the identify time-out
    std::string m_failureReason;
    int m_malformedLines = 0;
    std::unique_ptr<HalkBufferedSocket> m_connection;
    // Connections replaced by Connect, possibly from inside one of their own
    // callbacks, live until the next Poll returns.
    std::vector<std::unique_ptr<HalkBufferedSocket>> m_retired;
    uint64_t m_disconnectStart = 0;
    uint64_t m_disconnectTimeout = 0;  // ms; 0: none pending

    HalkFields m_fields;

    Slot<HalkStateCallback> m_stateChanged;
    Slot<HalkPrivateMessageCallback> m_privateMessage;
    Slot<HalkRadioMessageCallback> m_radioMessage;
    Slot<HalkPilotPositionCallback> m_pilotPosition;
    Slot<HalkATCPositionCallback> m_atcPosition;
    Slot<HalkCallsignCallback> m_deletePilot;
    Slot<HalkCallsignCallback> m_deleteATC;
    Slot<HalkKillCallback> m_kill;
    Slot<HalkPongCallback> m_pong;
    Slot<HalkFlightPlanCallback> m_flightPlan;
    Slot<HalkHandoffOfferCallback> m_handoffOffer;
    Slot<HalkHandoffAcceptCallback> m_handoffAccept;
    Slot<HalkHandoffCancelCallback> m_handoffCancel;
    Slot<HalkMETARCallback> m_metar;
    Slot<HalkQueryCallback> m_query;
    Slot<HalkReplyCallback> m_reply;
    Slot<HalkKeyValueCallback> m_capabilitiesAnswer;
    Slot<HalkATISLineCallback> m_atisLine;
    Slot<HalkErrorCallback> m_error;
    Slot<HalkFromFieldCallback> m_privateOther;
    Slot<HalkFromFieldCallback> m_infoOther;
    Slot<HalkKeyValueCallback> m_planeInfo;
    Slot<HalkATCDataCallback> m_atcData;
    Slot<HalkLandLineCallback> m_landLine;
    Slot<HalkATCNoticeCallback> m_atcNotice;
    Slot<HalkBreakCallback> m_break;
    Slot<HalkIdentifyCallback> m_identify;
    Slot<HalkStripPushCallback> m_stripPush;
    Slot<HalkHelpCallback> m_help;
};

// Starts the socket layer; nothing to do on POSIX, so always true.
bool HalkStartNetwork();
