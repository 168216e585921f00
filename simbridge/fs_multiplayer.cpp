// Tested by tests/simbridge/fs_multiplayer_test.cpp and tests/threads/fs_multiplayer_threads_test.cpp.
#include "simbridge/fs_multiplayer.h"

#include <unistd.h>

#include <climits>
#include <system_error>

#include "simbridge/fs_messages.h"

namespace {

// Aircraft ids and message sequence numbers are process-wide, so an id of an
// ended session never names an aircraft of the next one.
std::atomic<uint32_t> g_nextAircraftId{1};
std::atomic<uint32_t> g_nextSequence{0};

constexpr char kHostPlayerName[] = "Wrenlow";

std::string HostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::unique_ptr<FSMultiplayerManager> FSMultiplayerManager::Create(int version, FSMultiplayerCallback* callback,
                                                                   std::unique_ptr<SimSessionTransport> transport) {
    if (version != 9 || !transport) return nullptr;
    return std::make_unique<FS9MPManager>(callback, std::move(transport));
}

void FSMPManagerBase::SetStatusText(const std::string& text) {
    m_statusText = text;
    if (m_callback) m_callback->StatusChanged();
}

void FSMPManagerBase::SetErrorText(const std::string& text) {
    m_errorText = text;
    if (m_callback) m_callback->Error();
}

const SimGuid FS9MPManager::kApplicationGuid = {0x0808caa5, 0xe62c, 0x4691,
                                                {0x89, 0x57, 0x5d, 0x45, 0x24, 0xb9, 0x22, 0xda}};

FS9MPManager::FS9MPManager(FSMultiplayerCallback* callback, std::unique_ptr<SimSessionTransport> transport)
    : FSMPManagerBase(callback), m_transport(std::move(transport)) {}

FS9MPManager::~FS9MPManager() {
    // Unblocks connect threads still waiting to join, then waits for them.
    m_transport->Close();
    WaitForConnects();
}

bool FS9MPManager::Initialize(uint16_t port) {
    SetStatusText("Starting the multiplayer session...");
    SimHostDescription host;
    host.application = kApplicationGuid;
    host.sessionName = std::string(kHostPlayerName) + " (" + HostName() + ")";
    host.port = port == 0 ? kDefaultPort : port;
    host.playerName = kHostPlayerName;
    host.playerData.assign(8, 0);
    host.applicationReserved.assign(16, 0);
    std::string error;
    if (!m_transport->Host(host, error)) {
        SetErrorText(error.empty() ? "Hosting the multiplayer session failed." : error);
        return false;
    }
    m_simPlayers.clear();
    m_initialised = true;
    SetStatusText("Multiplayer session started.");
    return true;
}

bool FS9MPManager::Shutdown() {
    m_transport->Close();
    WaitForConnects();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_aircraft.clear();
        m_pendingRemovals.clear();
    }
    m_simPlayers.clear();
    m_initialised = false;
    return true;
}

std::vector<uint8_t> FS9MPManager::AircraftPlayerData(const std::string& modelName) {
    // A 32-bit 4, the model name and its NUL, three bytes of padding.
    std::vector<uint8_t> data(modelName.size() + 8, 0);
    PutU32(data, 0, 4);
    std::copy(modelName.begin(), modelName.end(), data.begin() + 4);
    return data;
}

std::vector<uint8_t> FS9MPManager::AircraftConnectData(const std::string& callsign) {
    const size_t nameBytes = 2 * (callsign.size() + 1);
    std::vector<uint8_t> data(28 + nameBytes, 0);
    data[1] = 1;  // marks an injected aircraft for the host
    PutU32(data, 4, 24);
    PutU32(data, 8, static_cast<uint32_t>(nameBytes));
    // 8-bit text is ISO 8859-1, whose bytes are their own UTF-16 code units.
    for (size_t i = 0; i < callsign.size(); ++i) data[24 + 2 * i] = static_cast<uint8_t>(callsign[i]);
    return data;
}

bool FS9MPManager::AddAircraft(const std::string& callsign, const std::string& modelName, int32_t modelClass,
                               uint32_t& id) {
    id = g_nextAircraftId++;
    JoinFinishedThreads();
    const std::string name = callsign.substr(0, kMaxCallsign);
    SimLocalPeerDescription peer{name, AircraftPlayerData(modelName), AircraftConnectData(name)};
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_connecting.insert(id);
    }
    try {
        m_threads.emplace(id, std::thread(&FS9MPManager::Connect, this, id, std::move(peer), modelName, modelClass));
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_connecting.erase(id);
        return false;
    }
    return true;
}

void FS9MPManager::Connect(uint32_t id, SimLocalPeerDescription peer, std::string modelName, int32_t modelClass) {
    SimPeerHandle handle = 0;
    std::string error;
    const bool joined = m_transport->AddLocalPeer(peer, handle, error);
    bool removeAtOnce = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_connecting.erase(id);
        m_finishedThreads.push_back(id);
        removeAtOnce = m_pendingRemovals.erase(id) != 0;
        if (joined && !removeAtOnce) m_aircraft[id] = {handle, modelName, modelClass, false};
    }
    // A failed join leaves no trace: the aircraft is simply not shown.
    if (joined && removeAtOnce) m_transport->RemoveLocalPeer(handle);
}

void FS9MPManager::JoinFinishedThreads() {
    std::vector<uint32_t> finished;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        finished.swap(m_finishedThreads);
    }
    for (uint32_t id : finished) {
        auto it = m_threads.find(id);
        if (it == m_threads.end()) continue;
        it->second.join();
        m_threads.erase(it);
    }
}

void FS9MPManager::WaitForConnects() {
    for (auto& [id, thread] : m_threads) thread.join();
    m_threads.clear();
    std::lock_guard<std::mutex> lock(m_lock);
    m_finishedThreads.clear();
}

size_t FS9MPManager::GetJoinedCount() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_aircraft.size();
}

bool FS9MPManager::RemoveAircraft(uint32_t id) {
    SimPeerHandle peer = 0;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_aircraft.find(id);
        if (it == m_aircraft.end()) {
            // Still joining: the connect thread removes it once joined. Any other
            // id is gone already (or never joined) and is not remembered.
            if (m_connecting.count(id)) m_pendingRemovals.insert(id);
            return true;
        }
        peer = it->second.peer;
        m_aircraft.erase(it);
    }
    m_transport->RemoveLocalPeer(peer);
    return true;
}

void FS9MPManager::ClearModelInfoSent() {
    for (auto& [id, aircraft] : m_aircraft) aircraft.modelInfoSent = false;
}

bool FS9MPManager::SendModelInfo(const AircraftRecord& aircraft) {
    if (m_simPlayers.empty()) return false;
    const std::vector<uint8_t> message = BuildModelInfoMessage(aircraft.modelName, aircraft.modelClass);
    // Reliable: it is sent once, and a simulator that missed it would show
    // the aircraft without its model until the next player joins.
    const SimSendOptions options{SimDelivery::Reliable, true, 0};
    bool all = true;
    for (SimPlayerId player : m_simPlayers)
        if (!m_transport->Send(aircraft.peer, player, message, options)) all = false;
    return all;
}

bool FS9MPManager::SendPosition(uint32_t id, double latitude, double longitude, double altitude, uint32_t attitude,
                                double northRate, double eastRate, double verticalRate, double speed, bool useFull,
                                uint32_t timeoutMs) {
    // Records change only on this thread once joined (the connect threads add
    // new ones), so the copy stays true while we send.
    AircraftRecord aircraft;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_aircraft.find(id);
        if (it == m_aircraft.end()) return false;
        aircraft = it->second;
    }
    if (!aircraft.modelInfoSent && SendModelInfo(aircraft)) {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_aircraft.find(id);
        if (it != m_aircraft.end()) it->second.modelInfoSent = true;
    }
    if (m_simPlayers.empty()) return true;

    const PositionFields fields{latitude, longitude, altitude, attitude, northRate, eastRate, verticalRate, speed};
    const bool moving = northRate != 0 || eastRate != 0 || verticalRate != 0 || speed != 0;
    const uint32_t sequence = g_nextSequence++;
    const std::vector<uint8_t> message = useFull && moving ? BuildFullPositionMessage(sequence, fields)
                                                           : BuildShortPositionMessage(sequence, fields);
    const SimSendOptions options{SimDelivery::Unreliable, false, timeoutMs};
    for (SimPlayerId player : m_simPlayers)
        if (!m_transport->Send(aircraft.peer, player, message, options)) return false;
    return true;
}

bool FS9MPManager::SendText(const std::string& text) {
    return m_transport->Send(kSimHostPeer, kSimAllPlayers, BuildTextMessage(text),
                             {SimDelivery::Reliable, true, 0});
}

void FS9MPManager::ProcessEvents() {
    JoinFinishedThreads();
    m_transport->DispatchEvents(*this);
}

void FS9MPManager::OnPlayerCreated(SimPlayerId player, const SimPlayerInfo& info) {
    // Our own aircraft say so in byte 1 of their connect data.
    if (info.connectData.size() > 1 && info.connectData[1] != 0) return;
    if (info.isLocal || info.isHost) return;
    m_simPlayers.insert(player);
    // Every aircraft tells the new player (and the others again) its model
    // before its next position.
    std::lock_guard<std::mutex> lock(m_lock);
    ClearModelInfoSent();
}

void FS9MPManager::OnPlayerDestroyed(SimPlayerId player) {
    if (m_simPlayers.erase(player) == 0) return;
    std::lock_guard<std::mutex> lock(m_lock);
    ClearModelInfoSent();
}

void FS9MPManager::OnReceive(SimPlayerId, const std::string& senderName, const std::vector<uint8_t>& data) {
    std::string text;
    if (!ParseTextMessage(data, text)) return;
    // Simulators send under their pilot's name, which no one here knows in
    // advance: only a name set on purpose narrows who is heard.
    if (!m_name.empty() && senderName != m_name) return;
    if (m_callback) m_callback->TextReceived(text);
}

void FS9MPManager::OnSessionTerminated(const std::string& reason) {
    m_simPlayers.clear();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_aircraft.clear();
        m_pendingRemovals.clear();
    }
    m_initialised = false;
    SetErrorText("The multiplayer session ended" + (reason.empty() ? std::string(".") : ": " + reason));
}
