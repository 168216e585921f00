// The simulator multiplayer host: hosts the session the flight simulator
// joins, lets every injected aircraft join it as a player of its own, tells
// each simulator player once which model the aircraft flies and then sends
// its positions. FS9MPManager speaks the simulator's messages over a
// SimSessionTransport. Tested by tests/simbridge/fs_multiplayer_test.cpp and
// tests/threads/fs_multiplayer_threads_test.cpp.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "simbridge/sim_session_transport.h"

// What the host reports. Every slot runs on the bridge's thread.
class FSMultiplayerCallback {
public:
    // The receiver asks the manager for GetStatusText.
    virtual void StatusChanged() = 0;
    // The receiver asks the manager for GetLastErrorText.
    virtual void Error() = 0;
    // Text a simulator player sent.
    virtual void TextReceived(const std::string& text) = 0;
    virtual ~FSMultiplayerCallback() = default;
};

class FSMultiplayerManager {
public:
    // The port the simulator looks for the session on.
    static constexpr uint16_t kDefaultPort = 23457;

    virtual ~FSMultiplayerManager() = default;

    // Version 9 gives the host of that simulator's multiplayer protocol over
    // the transport; any other version, or no transport, gives null.
    static std::unique_ptr<FSMultiplayerManager> Create(int version, FSMultiplayerCallback* callback,
                                                        std::unique_ptr<SimSessionTransport> transport);

    // Hosts the session; port 0 takes kDefaultPort. A failure is reported
    // through the callback's error slot.
    virtual bool Initialize(uint16_t port) = 0;
    // Ends the session and every aircraft in it.
    virtual bool Shutdown() = 0;
    // Starts joining the aircraft; it appears in the simulator once joined.
    // id is valid even when the answer is false.
    virtual bool AddAircraft(const std::string& callsign, const std::string& modelName, int32_t modelClass,
                             uint32_t& id) = 0;
    // Removes the aircraft, or, while it is still joining, as soon as it has joined.
    virtual bool RemoveAircraft(uint32_t id) = 0;
    // Rates in feet per second, speed in knots, timeout in milliseconds.
    virtual bool SendPosition(uint32_t id, double latitude, double longitude, double altitude, uint32_t attitude,
                              double northRate, double eastRate, double verticalRate, double speed, bool useFull,
                              uint32_t timeoutMs) = 0;
    virtual bool SendText(const std::string& text) = 0;
    // A simulator player is in the session.
    virtual bool IsSimConnected() const = 0;
    // Text is passed on only from a player of this name; while no name is
    // set, from every player.
    virtual void SetName(const std::string& name) = 0;
    // The session is hosted: initialised and neither shut down nor ended.
    virtual bool IsHosting() const = 0;
    virtual std::string GetStatusText() const = 0;
    virtual std::string GetLastErrorText() const = 0;
    // Handles what happened in the session since the last call (players
    // joining and leaving, text); the bridge calls it once per frame tick.
    virtual void ProcessEvents() = 0;
};

// Status and error texts and the callback.
class FSMPManagerBase : public FSMultiplayerManager {
public:
    explicit FSMPManagerBase(FSMultiplayerCallback* callback) : m_callback(callback) {}
    std::string GetStatusText() const override { return m_statusText; }
    std::string GetLastErrorText() const override { return m_errorText; }
    bool IsHosting() const override { return m_initialised; }

protected:
    void SetStatusText(const std::string& text);
    void SetErrorText(const std::string& text);

    bool m_initialised = false;
    FSMultiplayerCallback* m_callback;

private:
    std::string m_statusText;
    std::string m_errorText;
};

class FS9MPManager final : public FSMPManagerBase, private SimSessionEvents {
public:
    // The simulator's application GUID {0808caa5-e62c-4691-8957-5d4524b922da}.
    static const SimGuid kApplicationGuid;
    // Longer callsigns join cut to this many characters.
    static constexpr size_t kMaxCallsign = 30;

    FS9MPManager(FSMultiplayerCallback* callback, std::unique_ptr<SimSessionTransport> transport);
    // Closes the transport and waits for the connect threads.
    ~FS9MPManager() override;

    bool Initialize(uint16_t port) override;
    bool Shutdown() override;
    bool AddAircraft(const std::string& callsign, const std::string& modelName, int32_t modelClass,
                     uint32_t& id) override;
    bool RemoveAircraft(uint32_t id) override;
    bool SendPosition(uint32_t id, double latitude, double longitude, double altitude, uint32_t attitude,
                      double northRate, double eastRate, double verticalRate, double speed, bool useFull,
                      uint32_t timeoutMs) override;
    bool SendText(const std::string& text) override;
    bool IsSimConnected() const override { return !m_simPlayers.empty(); }
    void SetName(const std::string& name) override { m_name = name; }
    void ProcessEvents() override;

    // Waits until every connect thread has ended (tests, shutdown).
    void WaitForConnects();
    // The aircraft that have joined and are not removed.
    size_t GetJoinedCount() const;

    // The player data and connect data an aircraft joins with.
    static std::vector<uint8_t> AircraftPlayerData(const std::string& modelName);
    static std::vector<uint8_t> AircraftConnectData(const std::string& callsign);

private:
    struct AircraftRecord {
        SimPeerHandle peer = 0;
        std::string modelName;
        int32_t modelClass = 0;
        bool modelInfoSent = false;
    };

    void Connect(uint32_t id, SimLocalPeerDescription peer, std::string modelName, int32_t modelClass);
    void JoinFinishedThreads();
    void ClearModelInfoSent();  // with m_lock held
    bool SendModelInfo(const AircraftRecord& aircraft);

    void OnPlayerCreated(SimPlayerId player, const SimPlayerInfo& info) override;
    void OnPlayerDestroyed(SimPlayerId player) override;
    void OnReceive(SimPlayerId from, const std::string& senderName, const std::vector<uint8_t>& data) override;
    void OnSessionTerminated(const std::string& reason) override;

    std::unique_ptr<SimSessionTransport> m_transport;
    // Bridge thread only: the session's events arrive there.
    std::set<SimPlayerId> m_simPlayers;
    std::string m_name;

    // Guards what the connect threads share with the bridge's thread.
    mutable std::mutex m_lock;
    std::map<uint32_t, AircraftRecord> m_aircraft;
    std::set<uint32_t> m_connecting;       // connect thread running
    std::set<uint32_t> m_pendingRemovals;  // removal asked while connecting
    std::map<uint32_t, std::thread> m_threads;
    std::vector<uint32_t> m_finishedThreads;
};
