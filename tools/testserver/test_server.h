// The local test server: a small server on 127.0.0.1 that speaks the network's
// line protocol. It logs clients in with the challenge exchange both ways,
// answers the server queries, relays text, radio, client-to-client and handoff
// lines, announces departures and flies scripted pilots. Tests drive it in
// their own thread through Poll and reach every path of a client with the
// control calls (inject, split, burst, stall, half-close, abrupt close).
// Tested by tests/tools/testserver/test_server_test.cpp and the session tests.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/random15.h"
#include "net/halk_buffered_socket.h"
#include "tools/testserver/scenario.h"

class Clock;

struct TestServerOptions {
    uint16_t port = 6809;                                  // 0: the system picks a free port (see Port())
    std::string key = "0123456789abcdef0123456789abcdef";  // the login key the clients hold
    bool wrongAnswers = false;                             // answer the clients' challenges wrongly
    uint64_t challengeIntervalMs = 60000;                  // 0: challenge only when told
    uint64_t positionIntervalMs = 5000;                    // scripted pilots report this often
    uint64_t controllerIntervalMs = 15000;                 // scripted controllers report this often
    uint64_t lifetimeMs = 3600000;                         // Run() stops after this
    bool identify = true;                                  // false: never send "$DI" (a dead server)
    // Spread the pilots' reports over the interval, each at its own phase,
    // as a real network's arrive; false sends them all at once.
    bool spreadReports = false;
    std::map<std::string, std::string> passwords;          // user ID → password; empty: any
    // "host:port" of a voice server: each scripted controller's ATIS names
    // its room there (the room is the callsign); empty: no voice rooms.
    std::string voiceServer;
    Scenario scenario;
};

class TarqTestServer : public HalkBufferedSocketDataHandler {
public:
    static constexpr const char* kVersion = "Tarq test server 1.0";
    // Error codes of the "$ER" lines this server sends.
    static constexpr int kErrorCallsignInUse = 1;
    static constexpr int kErrorBadLogin = 6;
    static constexpr int kErrorNoFlightPlan = 8;

    TarqTestServer(TestServerOptions options, Clock& clock);
    ~TarqTestServer() override;

    // Listens on 127.0.0.1; false and a reason when the port cannot be had.
    bool Start(std::string* error = nullptr);
    uint16_t Port() const { return m_port; }
    // One round: accept, send, read and handle lines, run the timers. Waits at
    // most waitMs for something to happen.
    void Poll(int waitMs);
    bool Expired() const;
    // Polls until the lifetime has passed, then closes every connection.
    void Run();

    // Control. `who` is a callsign, or "" for the newest connection.
    bool Inject(std::string_view who, std::string_view bytes);  // sent as given
    // Writes line[0, at) now and the rest on the next Poll.
    bool SendSplit(std::string_view who, std::string_view bytes, size_t at);
    bool SetStalled(std::string_view who, bool stalled);  // neither reads nor writes
    bool HalfClose(std::string_view who);                 // sends what is queued, then shuts our side
    bool CloseAbruptly(std::string_view who);             // reset
    bool Challenge(std::string_view who);                 // a "$ZC" now
    void SetWrongAnswers(bool wrong) { m_options.wrongAnswers = wrong; }

    // Observation.
    std::vector<std::string> LoggedIn() const;
    int ConnectionCount() const { return static_cast<int>(m_clients.size()); }
    // Lines received from a client, terminator cut, in order.
    std::vector<std::string> Received(std::string_view who) const;
    // Correct "$ZR" answers to our challenges; and wrong ones.
    int VerifiedAnswers(std::string_view who) const;
    int WrongAnswers(std::string_view who) const;
    // Everything written to the client so far (a half-close's end of stream
    // too; not a split line's tail before the next Poll) has been acknowledged
    // by its end: it is there for the client to read.
    bool Delivered(std::string_view who) const;
    // Our latest answer to the client's own challenge.
    std::string LastAnswerSent(std::string_view who) const;

    // HalkBufferedSocketDataHandler
    void OnLine(HalkBufferedSocket* connection, const char* text, size_t length) override;
    void OnStateChange(HalkBufferedSocket* connection, int oldState, int newState) override;

private:
    struct Client;
    struct Pilot {
        const ScenarioPilot* script;
        size_t nextWaypoint = 1;
        double latitude = 0;
        double longitude = 0;
        double altitude = 0;
        double heading = 0;
        bool gone = false;
        uint64_t nextReportMs = 0;  // spread reports only
    };
    struct Controller {
        const ScenarioController* script;
        bool present = false;
        bool gone = false;
        uint64_t lastReportMs = 0;
    };

    Client* Find(std::string_view who) const;
    // Also clients that have left, so tests can read what they sent last.
    Client* FindAny(std::string_view who) const;
    Client* FindConnection(HalkBufferedSocket* connection) const;
    void Accept();
    void Handle(Client& client, std::string_view line);
    void HandleLogin(Client& client, const std::string& line);
    void HandleServerQuery(Client& client, const std::string& what, const std::string& argument);
    void SendTo(Client& client, std::string_view line);
    void SendAllExcept(const Client* except, std::string_view line);
    bool Relay(std::string_view to, std::string_view line);
    void SendError(Client& client, int code, std::string_view parameter, std::string_view message);
    void Leave(Client& client);
    void SendChallenge(Client& client);
    void MovePilots(double seconds);
    std::string PilotPositionLine(const Pilot& pilot) const;
    std::string FlightPlanLine(const ScenarioPilot& pilot) const;
    const Pilot* FindPilot(std::string_view callsign) const;
    const Controller* FindController(std::string_view callsign) const;
    void RunControllers(uint64_t now);
    void ReportPilots(uint64_t now);
    std::string ControllerPositionLine(const ScenarioController& controller) const;

    TestServerOptions m_options;
    Clock& m_clock;
    int m_listener = -1;
    uint16_t m_port = 0;
    uint64_t m_startMs = 0;
    uint64_t m_lastPositionsMs = 0;
    Random15 m_random{12345};
    std::vector<std::unique_ptr<Client>> m_clients;
    std::vector<std::unique_ptr<Client>> m_gone;
    std::vector<Pilot> m_pilots;
    std::vector<Controller> m_controllers;
};
