// Tested by tests/voice/voice_engine_test.cpp.
#include "voice/voice_engine.h"

#include <arpa/inet.h>

#include <algorithm>

#include "net/halk_socket.h"
#include "voice/host_resolver.h"
#include "voice/voice_wire.h"

namespace {

const char* const kPrefixes[3] = {"IC", "OV", "MN"};
// A block counts as "just heard" or "just sent" for this long.
constexpr float kActivitySeconds = 0.35f;
// In a route, the link's own key.
constexpr int32_t kLinkKey = 0;

uint32_t DottedAddress(const std::string& text) {
    in_addr parsed{};
    return inet_pton(AF_INET, text.c_str(), &parsed) == 1 ? ntohl(parsed.s_addr) : 0;
}

}  // namespace

NoltVoiceEngine::NoltVoiceEngine(const VoiceEngineSetup& setup)
    : m_devices(*setup.devices),
      m_host(*setup.host),
      m_resolver(std::make_unique<HostResolver>(setup.lookup ? setup.lookup : HalkSocket::Resolve)) {
    m_mixer = OrlexCreateMixer();
    m_headset = OrlexCreateLocalCodec(0, m_devices, nullptr, nullptr);
    m_speaker = OrlexCreateLocalCodec(1, m_devices, nullptr, nullptr);
    m_port = OrlexCreateUdpPort(setup.udpPort);
    m_micTest = OrlexCreateRecorder();
    m_atisPlayback = OrlexCreateRecorder();
    m_atisRecording = OrlexCreateRecorder();
    for (OrlexHandle object : {m_headset, m_micTest, m_atisPlayback, m_atisRecording}) Wire(object);
    OrlexConnect(m_mixer, static_cast<int32_t>(m_speaker), m_speaker, 0);
    for (int32_t bus = kSpeakerBus; bus <= kMonitorBus; ++bus) OrlexConnect(m_mixer, bus, m_mixer, bus);
    auto headset = static_cast<int32_t>(m_headset);
    Link(kSpeakerBus, static_cast<int32_t>(m_speaker), true);
    Link(kAirGroundBus, headset, true);
    Link(kGroundGroundBus, headset, true);
    Link(headset, kHotMicBus, true);
    for (int32_t bus : {kLandLineTransmitBus, kRadioTransmitBus, kMonitorBus})
        Link(kPushToTalkBus, bus, true);
    for (int32_t bus : {kSpeakerBus, kAirGroundBus, kGroundGroundBus}) Link(bus, kMonitorBus, true);
}

NoltVoiceEngine::~NoltVoiceEngine() {
    CloseAllRooms();
    if (m_closedAtisChannel) OrlexReleaseVoiceChannel(m_closedAtisChannel);
    for (auto* table : {&m_activeIntercoms, &m_heldIntercoms, &m_overridesOfUs, &m_ourOverrides,
                        &m_monitorsOfUs, &m_ourMonitors, &m_atisListeners})
        for (auto& [key, line] : *table) OrlexReleaseObject(line.link);
    for (OrlexHandle object :
         {m_atisRecording, m_atisPlayback, m_micTest, m_port, m_speaker, m_headset, m_mixer})
        OrlexReleaseObject(object);
}

void NoltVoiceEngine::Tick() {
    CollectLookups();
    OrlexRunTasks();
    if (m_closedAtisChannel) {
        Unwire(m_closedAtisChannel);
        OrlexReleaseVoiceChannel(m_closedAtisChannel);
        m_closedAtisChannel = 0;
    }
}

bool NoltVoiceEngine::IsAvailable() const { return OrlexIsUdpPortOpen(m_port); }
uint16_t NoltVoiceEngine::UdpPort() const { return OrlexUdpLocalPort(m_port); }

bool NoltVoiceEngine::AreDevicesReady() const {
    return OrlexIsOutputOpen(m_headset) && OrlexIsInputOpen(m_headset) && OrlexIsOutputOpen(m_speaker);
}

void NoltVoiceEngine::Wire(OrlexHandle object) {
    OrlexConnect(object, 0, m_mixer, static_cast<int32_t>(object));
    OrlexConnect(m_mixer, static_cast<int32_t>(object), object, 0);
}

void NoltVoiceEngine::Unwire(OrlexHandle object) {
    OrlexConnect(object, 0, 0, 0);
    OrlexConnect(m_mixer, static_cast<int32_t>(object), 0, 0);
}

void NoltVoiceEngine::Link(int32_t from, int32_t to, bool on) { OrlexSetLink(m_mixer, from, to, on); }
bool NoltVoiceEngine::Linked(int32_t from, int32_t to) const { return OrlexIsLinked(m_mixer, from, to); }

bool NoltVoiceEngine::SetInputDevice(int index) {
    m_inputIndex = index;
    return OrlexSetInputDevice(m_headset, static_cast<uint16_t>(index));
}

bool NoltVoiceEngine::SetHeadsetDevice(int index) {
    m_headsetIndex = index;
    OrlexSetOutputDevice(m_headset, static_cast<uint16_t>(index));
    if (!OrlexIsOutputOpen(m_headset)) return false;
    OrlexSetOutputVolume(m_headset, static_cast<int16_t>(m_headsetVolume & 0xFFFF));
    return true;
}

bool NoltVoiceEngine::SetSpeakerDevice(int index) {
    m_speakerIndex = index;
    OrlexSetOutputDevice(m_speaker, static_cast<uint16_t>(index));
    if (!OrlexIsOutputOpen(m_speaker)) return false;
    OrlexSetOutputVolume(m_speaker, static_cast<int16_t>(m_speakerVolume & 0xFFFF));
    return true;
}

void NoltVoiceEngine::SetHeadsetVolume(uint32_t volume) {
    m_headsetVolume = volume;
    OrlexSetOutputVolume(m_headset, static_cast<int16_t>(volume & 0xFFFF));
}

void NoltVoiceEngine::SetSpeakerVolume(uint32_t volume) {
    m_speakerVolume = volume;
    OrlexSetOutputVolume(m_speaker, static_cast<int16_t>(volume & 0xFFFF));
}

void NoltVoiceEngine::SetVhfSimulation(bool headset, bool speaker) {
    OrlexSetVhfSimulation(m_headset, headset);
    OrlexSetVhfSimulation(m_speaker, speaker);
}

void NoltVoiceEngine::GetDeviceLists(std::vector<std::string>* inputs, std::vector<std::string>* outputs,
                                     int* input, int* headset, int* speaker) {
    auto append = [](const char* name, void* user) {
        static_cast<std::vector<std::string>*>(user)->push_back(name);
    };
    uint16_t in = 0, out = 0, spk = 0;
    OrlexGetDeviceNames(m_headset, inputs ? +append : nullptr, inputs, outputs ? +append : nullptr, outputs,
                        &in, &out);
    OrlexGetDeviceNames(m_speaker, nullptr, nullptr, nullptr, nullptr, nullptr, &spk);
    if (input) *input = in;
    if (headset) *headset = out;
    if (speaker) *speaker = spk;
}

void NoltVoiceEngine::SetPushToTalk(bool down) {
    m_pushToTalk = down;
    Link(static_cast<int32_t>(m_headset), kPushToTalkBus, down);
}

void NoltVoiceEngine::SetMicMute(bool muted) { Link(static_cast<int32_t>(m_headset), kHotMicBus, !muted); }

void NoltVoiceEngine::SetAutoRoute(bool on) {
    if (on == m_autoRoute) return;
    m_autoRoute = on;
    UpdateRouting();
}

void NoltVoiceEngine::SetAirGroundToSpeaker(bool on) {
    if (on == m_airGroundToSpeaker) return;
    m_airGroundToSpeaker = on;
    UpdateRouting();
}

void NoltVoiceEngine::SetGroundGroundToSpeaker(bool on) {
    if (on == m_groundGroundToSpeaker) return;
    m_groundGroundToSpeaker = on;
    UpdateRouting();
}

void NoltVoiceEngine::UpdateRouting() {
    bool lineUp = !m_activeIntercoms.empty() || !m_ourOverrides.empty();
    bool airGround = m_airGroundToSpeaker || (lineUp && m_autoRoute);
    bool groundGround = m_groundGroundToSpeaker;
    auto headset = static_cast<int32_t>(m_headset);
    auto speaker = static_cast<int32_t>(m_speaker);
    Link(kAirGroundBus, headset, !airGround);
    Link(kAirGroundBus, speaker, airGround);
    Link(kGroundGroundBus, headset, !groundGround);
    Link(kGroundGroundBus, speaker, groundGround);
    Link(kPushToTalkBus, kRadioTransmitBus, !lineUp);
}

std::string NoltVoiceEngine::DisplayName(const std::string& callsign) const {
    return callsign + " (" + m_host.Cid() + ")";
}

NoltVoiceEngine::Room* NoltVoiceEngine::FindRoom(int frequency, const std::string& address) {
    auto it = m_rooms.find({frequency, address});
    return it == m_rooms.end() ? nullptr : &it->second;
}

const NoltVoiceEngine::Room* NoltVoiceEngine::FindRoom(int frequency, const std::string& address) const {
    auto it = m_rooms.find({frequency, address});
    return it == m_rooms.end() ? nullptr : &it->second;
}

NoltVoiceEngine::Room* NoltVoiceEngine::RoomOfChannel(OrlexHandle channel) {
    for (auto& [key, room] : m_rooms)
        if (room.channel == channel) return &room;
    return nullptr;
}

OrlexHandle NoltVoiceEngine::RoomChannel(int frequency, const std::string& address) const {
    const Room* room = FindRoom(frequency, address);
    return room ? room->channel : 0;
}

int NoltVoiceEngine::GetRoomState(int frequency, const std::string& address) const {
    const Room* room = FindRoom(frequency, address);
    return room ? room->state : kRoomIdle;
}

NoltVoiceEngine::Room* NoltVoiceEngine::OpenRoom(int frequency, const std::string& address) {
    if (Room* room = FindRoom(frequency, address)) return room;
    RoomAddress parts = SplitRoomAddress(address);
    uint32_t server = 0;
    bool known = m_resolver->Resolve(parts.server, server);
    Room room;
    room.channel = OrlexCreateVoiceChannel(server, parts.port, parts.room, DisplayName(m_host.Callsign()), 0,
                                           0, {}, m_port, &NoltVoiceEngine::OnRoomEvent, this);
    if (!known) room.server = parts.server;
    Wire(room.channel);
    m_frequencies.emplace(frequency, RoomKey{frequency, address});
    return &m_rooms.emplace(RoomKey{frequency, address}, room).first->second;
}

void NoltVoiceEngine::ConnectRoom(Room& room) {
    room.state = kRoomJoining;
    if (!room.server.empty()) {
        room.connectWhenKnown = true;  // connects once the name is looked up
        return;
    }
    OrlexConnectChannel(room.channel);
}

void NoltVoiceEngine::DisconnectRoom(Room& room) {
    room.state = kRoomLeaving;
    if (room.connectWhenKnown) {
        room.connectWhenKnown = false;
        room.state = kRoomIdle;
        return;
    }
    OrlexDisconnectChannel(room.channel);
}

void NoltVoiceEngine::CollectLookups() {
    for (const auto& [host, address] : m_resolver->TakeFinished()) {
        for (auto& [key, room] : m_rooms) {
            if (room.server != host) continue;
            room.server.clear();
            OrlexSetChannelServer(room.channel, address);
            if (!room.connectWhenKnown) continue;
            room.connectWhenKnown = false;
            // A name that cannot be looked up fails the room at once.
            if (address == 0)
                room.state = kRoomIdle;
            else
                OrlexConnectChannel(room.channel);
        }
        if (m_atisChannel && m_atisServer == host) {
            m_atisServer.clear();
            OrlexSetChannelServer(m_atisChannel, address);
            if (address == 0)
                StopAtisBroadcast();
            else
                OrlexConnectChannel(m_atisChannel);
        }
    }
}

void NoltVoiceEngine::OnRoomEvent(OrlexHandle channel, int event, void* user) {
    auto* engine = static_cast<NoltVoiceEngine*>(user);
    Room* room = engine->RoomOfChannel(channel);
    if (!room) return;
    if (event == 1) room->state = kRoomConnected;
    if (event == 2) room->state = kRoomIdle;
    // A connection that failed ends the room too, rather than leaving it joining.
    if (event == 3 && OrlexChannelSocketState(channel) == HalkSocket::kError) room->state = kRoomIdle;
}

uint32_t NoltVoiceEngine::GetRoomStatus(int frequency, const std::string& address) {
    Room* room = FindRoom(frequency, address);
    if (!room) return 0;
    auto key = static_cast<int32_t>(room->channel);
    uint32_t flags = 0;
    if (Linked(key, kSpeakerBus) || Linked(key, kAirGroundBus)) flags |= kRoomReceiving;
    if (Linked(kRadioTransmitBus, key)) flags |= kRoomTransmitting;
    if (room->state == kRoomJoining) flags |= kRoomStateJoining;
    if (room->state == kRoomLeaving) flags |= kRoomStateLeaving;
    if (room->state == kRoomConnected) flags |= kRoomStateConnected;
    float heard = OrlexInputAge(m_mixer, key);
    float sent = OrlexOutputAge(m_mixer, key);
    if (heard >= 0 && heard < kActivitySeconds) flags |= kRoomHeard;
    if (sent >= 0 && sent < kActivitySeconds) flags |= kRoomSent;
    return flags;
}

int NoltVoiceEngine::GetRoomOutput(int frequency, const std::string& address) {
    Room* room = OpenRoom(frequency, address);
    return Linked(static_cast<int32_t>(room->channel), kSpeakerBus) ? 2 : 1;
}

void NoltVoiceEngine::ToggleRoomConnection(int frequency, const std::string& address) {
    Room* room = OpenRoom(frequency, address);
    if (room->state == kRoomIdle)
        ConnectRoom(*room);
    else
        DisconnectRoom(*room);
}

void NoltVoiceEngine::ToggleRoomTransmit(int frequency, const std::string& address) {
    Room* room = OpenRoom(frequency, address);
    auto key = static_cast<int32_t>(room->channel);
    if (Linked(kRadioTransmitBus, key)) {
        Link(kRadioTransmitBus, key, false);
        bool receiving = Linked(key, kSpeakerBus) || Linked(key, kAirGroundBus);
        if (!receiving && (room->state == kRoomJoining || room->state == kRoomConnected))
            DisconnectRoom(*room);
    } else {
        Link(kRadioTransmitBus, key, true);
    }
}

void NoltVoiceEngine::ToggleRoomReceive(int frequency, const std::string& address) {
    Room* room = OpenRoom(frequency, address);
    auto key = static_cast<int32_t>(room->channel);
    if (Linked(key, kSpeakerBus) || Linked(key, kAirGroundBus)) {
        Link(key, kAirGroundBus, false);
        Link(key, kSpeakerBus, false);
        if (!Linked(kRadioTransmitBus, key) && (room->state == kRoomJoining || room->state == kRoomConnected))
            DisconnectRoom(*room);
    } else {
        Link(key, kAirGroundBus, true);
    }
}

void NoltVoiceEngine::ToggleRoomSpeaker(int frequency, const std::string& address) {
    Room* room = FindRoom(frequency, address);
    if (!room) return;
    auto key = static_cast<int32_t>(room->channel);
    bool speaker = Linked(key, kSpeakerBus);
    bool headset = Linked(key, kAirGroundBus);
    if (!speaker && !headset) return;
    Link(key, kSpeakerBus, !speaker);
    Link(key, kAirGroundBus, speaker);
}

void NoltVoiceEngine::CloseRoom(int frequency) {
    auto found = m_frequencies.find(frequency);
    if (found == m_frequencies.end()) return;
    RoomKey key = found->second;
    auto room = m_rooms.find(key);
    if (room != m_rooms.end()) {
        Unwire(room->second.channel);
        OrlexReleaseVoiceChannel(room->second.channel);
        m_rooms.erase(room);
    }
    m_frequencies.erase(found);
    // Another room of the same frequency takes over the index.
    for (const auto& [other, ignored] : m_rooms)
        if (other.first == frequency) m_frequencies.emplace(frequency, other);
}

void NoltVoiceEngine::CloseAllRooms() {
    for (auto& [key, room] : m_rooms) {
        Unwire(room.channel);
        OrlexReleaseVoiceChannel(room.channel);
    }
    m_rooms.clear();
    m_frequencies.clear();
    if (m_atisChannel) {
        Unwire(m_atisChannel);
        OrlexReleaseVoiceChannel(m_atisChannel);
        m_atisChannel = 0;
    }
    m_atisServer.clear();
    m_atisState = kRoomIdle;
}

// Land lines.

std::string NoltVoiceEngine::LineKey(int kind, const std::string& callsign) {
    return std::string(kPrefixes[std::clamp(kind, 0, 2)]) + callsign;
}

int NoltVoiceEngine::GetLandLineState(int kind, const std::string& callsign) const {
    std::string key = LineKey(kind, callsign);
    switch (kind) {
        case 0:
            if (m_activeIntercoms.count(key)) return 4;
            if (m_ringing.count(key)) return 2;
            if (m_pending[0].count(key)) return 3;
            if (m_heldIntercoms.count(key)) return 7;
            return 1;
        case 1:
            if (m_overridesOfUs.count(key)) return 5;
            if (m_ourOverrides.count(key)) return 6;
            if (m_pending[1].count(key)) return 3;
            return 1;
        case 2:
            if (m_monitorsOfUs.count(key)) return 5;
            if (m_ourMonitors.count(key)) return 6;
            if (m_pending[2].count(key)) return 3;
            return 1;
        default:
            return 1;
    }
}

void NoltVoiceEngine::SendLandLine(int session, const std::string& to, int code, int kind, bool withAddress) {
    m_host.SendLandLine(session, to, code, kind, withAddress ? m_host.PublicIp() : std::string(),
                        withAddress ? UdpPort() : 0);
}

NoltVoiceEngine::Line NoltVoiceEngine::MakeLink(int kind, const std::string& callsign, const std::string& ip,
                                                int port,
                                                const std::vector<std::pair<int32_t, int32_t>>& routes,
                                                const std::string& outgoingName) {
    Line line;
    // The peer's address is its public IP text; a name is not looked up here,
    // so the tick never waits (such a link stays silent).
    line.link =
        OrlexCreateDirectLink(DottedAddress(ip), static_cast<uint16_t>(port), LineKey(kind, callsign),
                              outgoingName.empty() ? LineKey(kind, m_host.Callsign()) : outgoingName, m_port);
    Wire(line.link);
    for (auto [from, to] : routes)
        line.routes.emplace_back(from == kLinkKey ? static_cast<int32_t>(line.link) : from,
                                 to == kLinkKey ? static_cast<int32_t>(line.link) : to);
    SwitchRoutes(line, true);
    return line;
}

void NoltVoiceEngine::SwitchRoutes(const Line& line, bool on) {
    for (auto [from, to] : line.routes) Link(from, to, on);
}

void NoltVoiceEngine::ReleaseLine(Line& line) {
    SwitchRoutes(line, false);
    Unwire(line.link);
    OrlexReleaseObject(line.link);
    line.link = 0;
}

void NoltVoiceEngine::EndLine(std::map<std::string, Line>& table, const std::string& key) {
    auto it = table.find(key);
    if (it == table.end()) return;
    ReleaseLine(it->second);
    table.erase(it);
}

void NoltVoiceEngine::StoreLine(std::map<std::string, Line>& table, const std::string& key, Line line) {
    // A repeated call must not leave the first link streaming beside the new one.
    EndLine(table, key);
    table.emplace(key, std::move(line));
}

namespace {

using Routes = std::vector<std::pair<int32_t, int32_t>>;
const Routes kIntercomRoutes = {{NoltVoiceEngine::kLandLineTransmitBus, kLinkKey},
                                {kLinkKey, NoltVoiceEngine::kGroundGroundBus}};
const Routes kOverrideOfUsRoutes = {{NoltVoiceEngine::kHotMicBus, kLinkKey},
                                    {NoltVoiceEngine::kSpeakerBus, kLinkKey},
                                    {NoltVoiceEngine::kAirGroundBus, kLinkKey},
                                    {kLinkKey, NoltVoiceEngine::kGroundGroundBus}};
const Routes kOurMonitorRoutes = {{kLinkKey, NoltVoiceEngine::kGroundGroundBus}};
const Routes kMonitorOfUsRoutes = {{NoltVoiceEngine::kMonitorBus, kLinkKey}};

}  // namespace

bool NoltVoiceEngine::PlaceLandLineCall(int kind, const std::string& callsign) {
    if (m_host.PublicIp().empty()) return false;
    std::string key = LineKey(kind, callsign);
    if (kind == 0) {
        if (m_heldIntercoms.count(key)) return false;
        // Ends an intercom that is up; an override or a monitor stays.
        if (!m_activeIntercoms.empty()) {
            std::string peer = m_activeIntercoms.begin()->first.substr(2);
            EndLandLine(0, peer, true);
        }
        m_pending[0].insert(key);
        SendLandLine(kControllerSession, callsign, 0, 0, true);
    } else if (kind == 1) {
        if (!m_pending[1].empty() || !m_ourOverrides.empty() || m_overridesOfUs.count(key)) return false;
        m_pending[1].insert(key);
        SendLandLine(kControllerSession, callsign, 0, 1, true);
    } else if (kind == 2) {
        if (m_monitorsOfUs.count(key)) return false;
        m_pending[2].insert(key);
        SendLandLine(kControllerSession, callsign, 0, 2, true);
    } else {
        return false;
    }
    m_host.LandLinesChanged();
    return true;
}

bool NoltVoiceEngine::AcceptLandLineCall(const std::string& callsign) {
    std::string key = LineKey(0, callsign);
    auto ringing = m_ringing.find(key);
    if (m_host.PublicIp().empty() || ringing == m_ringing.end() || !m_activeIntercoms.empty() ||
        !m_pending[0].empty())
        return false;
    SendLandLine(kControllerSession, callsign, 1, 0, true);
    Ringing peer = ringing->second;
    m_ringing.erase(ringing);
    StoreLine(m_activeIntercoms, key, MakeLink(0, callsign, peer.ip, peer.port, kIntercomRoutes));
    UpdateRouting();
    m_host.LandLinesChanged();
    return true;
}

bool NoltVoiceEngine::HoldLandLine() {
    if (m_activeIntercoms.empty()) return false;
    auto it = m_activeIntercoms.begin();
    SwitchRoutes(it->second, false);
    m_heldIntercoms[it->first] = it->second;
    m_activeIntercoms.erase(it);
    UpdateRouting();
    m_host.LandLinesChanged();
    return true;
}

bool NoltVoiceEngine::ResumeLandLine(const std::string& callsign) {
    std::string key = LineKey(0, callsign);
    auto held = m_heldIntercoms.find(key);
    if (!m_activeIntercoms.empty() || !m_pending[0].empty() || held == m_heldIntercoms.end()) return false;
    SwitchRoutes(held->second, true);
    m_activeIntercoms[key] = held->second;
    m_heldIntercoms.erase(held);
    UpdateRouting();
    m_host.LandLinesChanged();
    return true;
}

bool NoltVoiceEngine::HangUpLandLine() {
    struct Order {
        int kind;
        const std::map<std::string, Line>* lines;
        const std::set<std::string>* pending;
    };
    const Order order[] = {{0, &m_activeIntercoms, nullptr}, {1, &m_ourOverrides, nullptr},
                           {1, &m_overridesOfUs, nullptr},   {2, &m_ourMonitors, nullptr},
                           {0, nullptr, &m_pending[0]},      {1, nullptr, &m_pending[1]},
                           {2, nullptr, &m_pending[2]}};
    for (const auto& o : order) {
        std::string key;
        if (o.lines && !o.lines->empty()) key = o.lines->begin()->first;
        if (o.pending && !o.pending->empty()) key = *o.pending->begin();
        if (key.empty()) continue;
        EndLandLine(o.kind, key.substr(2), true);
        return true;
    }
    return false;
}

void NoltVoiceEngine::EndLandLine(int kind, const std::string& callsign, bool sendEnd) {
    std::string key = LineKey(kind, callsign);
    if (kind == 0) {
        EndLine(m_activeIntercoms, key);
        EndLine(m_heldIntercoms, key);
        m_ringing.erase(key);
    } else if (kind == 1) {
        EndLine(m_overridesOfUs, key);
        EndLine(m_ourOverrides, key);
    } else if (kind == 2) {
        EndLine(m_monitorsOfUs, key);
        EndLine(m_ourMonitors, key);
    } else {
        return;
    }
    m_pending[kind].erase(key);
    if (sendEnd) SendLandLine(kControllerSession, callsign, 3, kind, false);
    UpdateRouting();
    m_host.LandLinesChanged();
}

void NoltVoiceEngine::EndAllLandLines() {
    auto callsigns = [](const std::map<std::string, Line>& table) {
        std::vector<std::string> out;
        for (const auto& [key, line] : table) out.push_back(key.substr(2));
        return out;
    };
    for (const auto& c : callsigns(m_overridesOfUs)) EndLandLine(1, c, true);
    for (const auto& c : callsigns(m_ourOverrides)) EndLandLine(1, c, true);
    for (const auto& c : callsigns(m_monitorsOfUs)) EndLandLine(2, c, true);
    for (const auto& c : callsigns(m_ourMonitors)) EndLandLine(2, c, true);
    for (const auto& c : callsigns(m_activeIntercoms)) EndLandLine(0, c, true);
    for (const auto& c : callsigns(m_heldIntercoms)) EndLandLine(0, c, true);
    m_ringing.clear();
    for (auto& pending : m_pending) pending.clear();
    CloseAtisListeners();
    UpdateRouting();
    m_host.LandLinesChanged();
}

void NoltVoiceEngine::OnLandLineMessage(const std::string& callsign, int code, int kind,
                                        const std::string& ip, int port) {
    if (kind < 0 || kind > 2 || code < 0 || code > 3) return;
    std::string key = LineKey(kind, callsign);
    bool hasIp = !m_host.PublicIp().empty();
    if (code == 3) {
        EndLandLine(kind, callsign, false);
    } else if (code == 2) {
        m_pending[kind].erase(key);
    } else if (kind == 0 && code == 0) {
        m_ringing.emplace(key, Ringing{ip, static_cast<uint16_t>(port)});
        m_host.PlayCue("SoundIntercomCall");
    } else if (code == 1) {
        auto& ours = kind == 0 ? m_activeIntercoms : kind == 1 ? m_ourOverrides : m_ourMonitors;
        const Routes& routes = kind == 2 ? kOurMonitorRoutes : kIntercomRoutes;
        if (m_pending[kind].erase(key))
            StoreLine(ours, key, MakeLink(kind, callsign, ip, port, routes));
        else
            SendLandLine(kControllerSession, callsign, 3, kind, false);
    } else if (kind == 1) {
        if (m_ourOverrides.count(key) || !hasIp) {
            SendLandLine(kControllerSession, callsign, 3, 1, false);
        } else {
            m_pending[1].erase(key);
            SendLandLine(kControllerSession, callsign, 1, 1, true);
            StoreLine(m_overridesOfUs, key, MakeLink(1, callsign, ip, port, kOverrideOfUsRoutes));
            m_host.PlayCue("SoundOverrideCall");
        }
    } else {
        if (m_ourMonitors.count(key) || !hasIp) {
            SendLandLine(kControllerSession, callsign, 3, 2, false);
        } else {
            m_pending[2].erase(key);
            SendLandLine(kControllerSession, callsign, 1, 2, true);
            StoreLine(m_monitorsOfUs, key, MakeLink(2, callsign, ip, port, kMonitorOfUsRoutes));
        }
    }
    m_host.LandLinesChanged();
    UpdateRouting();
}

void NoltVoiceEngine::OnAtisLandLineMessage(const std::string& callsign, int code, int kind,
                                            const std::string& ip, int port) {
    if (code >= 2 || kind < 0 || kind > 2) return;
    if (kind == 2 && code == 0 && !m_host.PublicIp().empty()) {
        SendLandLine(kAtisSession, callsign, 1, 2, true);
        std::string key = LineKey(2, callsign);
        StoreLine(m_atisListeners, key,
                  MakeLink(2, callsign, ip, port, {{static_cast<int32_t>(m_atisPlayback), kLinkKey}},
                           LineKey(2, m_host.AtisName())));
        return;
    }
    SendLandLine(kAtisSession, callsign, 3, kind, false);
}

void NoltVoiceEngine::CloseAtisListeners() {
    for (auto& [key, line] : m_atisListeners) ReleaseLine(line);
    m_atisListeners.clear();
}

// Microphone test.

void NoltVoiceEngine::StartMicTestRecording(const std::string& path) {
    Link(static_cast<int32_t>(m_headset), static_cast<int32_t>(m_micTest), true);
    OrlexRecorderSetFile(m_micTest, path);
    OrlexRecorderStartRecording(m_micTest);
}

void NoltVoiceEngine::StopMicTestRecording() {
    Link(static_cast<int32_t>(m_headset), static_cast<int32_t>(m_micTest), false);
    OrlexRecorderStopRecording(m_micTest);
}

void NoltVoiceEngine::StartMicTestPlayback() {
    Link(static_cast<int32_t>(m_micTest), static_cast<int32_t>(m_headset), true);
    Link(static_cast<int32_t>(m_micTest), static_cast<int32_t>(m_speaker), true);
    OrlexRecorderStartPlayback(m_micTest, false);
}

void NoltVoiceEngine::StopMicTestPlayback() {
    Link(static_cast<int32_t>(m_micTest), static_cast<int32_t>(m_headset), false);
    Link(static_cast<int32_t>(m_micTest), static_cast<int32_t>(m_speaker), false);
    OrlexRecorderStopPlayback(m_micTest);
}

void NoltVoiceEngine::StartNoiseMeasurement() { OrlexStartNoiseMeasurement(m_headset); }
void NoltVoiceEngine::EndNoiseMeasurement() { OrlexEndNoiseMeasurement(m_headset); }
void NoltVoiceEngine::StartLevelMeasurement() { OrlexStartLevelMeasurement(m_headset); }
uint32_t NoltVoiceEngine::EndLevelMeasurement() { return OrlexEndLevelMeasurement(m_headset); }
double NoltVoiceEngine::GetInputSquelch() const { return OrlexGetInputSquelch(m_headset); }
void NoltVoiceEngine::SetInputSquelch(float level) { OrlexSetInputSquelch(m_headset, level); }

// Voice ATIS.

void NoltVoiceEngine::StartAtisRecording(const std::string& path) {
    Link(static_cast<int32_t>(m_headset), static_cast<int32_t>(m_atisRecording), true);
    OrlexRecorderSetFile(m_atisRecording, path);
    OrlexRecorderStartRecording(m_atisRecording);
}

void NoltVoiceEngine::StopAtisRecording() {
    Link(static_cast<int32_t>(m_headset), static_cast<int32_t>(m_atisRecording), false);
    OrlexRecorderStopRecording(m_atisRecording);
}

bool NoltVoiceEngine::IsAtisRecording() const { return OrlexRecorderIsRecording(m_atisRecording); }

void NoltVoiceEngine::StartAtisPreview() {
    Link(static_cast<int32_t>(m_atisRecording), static_cast<int32_t>(m_headset), true);
    OrlexRecorderStartPlayback(m_atisRecording, true);
}

void NoltVoiceEngine::StopAtisPreview() {
    Link(static_cast<int32_t>(m_atisRecording), static_cast<int32_t>(m_headset), false);
    OrlexRecorderStopPlayback(m_atisRecording);
}

void NoltVoiceEngine::StartAtisPlayback(const std::string& path) {
    OrlexRecorderSetFile(m_atisPlayback, path);
    OrlexRecorderStartPlayback(m_atisPlayback, true);
}

void NoltVoiceEngine::StopAtisPlayback() { OrlexRecorderStopPlayback(m_atisPlayback); }
bool NoltVoiceEngine::IsAtisPlaying() const { return OrlexRecorderIsPlaying(m_atisPlayback); }

void NoltVoiceEngine::SetAtisMonitor(bool on) {
    Link(static_cast<int32_t>(m_atisPlayback), static_cast<int32_t>(m_headset), on);
}

void NoltVoiceEngine::StartAtisBroadcast(const std::string& address, const std::string& atisName,
                                         const std::string& path) {
    if (m_atisState != kRoomIdle && m_atisState != kRoomLeaving) return;
    if (m_atisChannel) {
        Unwire(m_atisChannel);
        OrlexReleaseVoiceChannel(m_atisChannel);
    }
    RoomAddress parts = SplitRoomAddress(address);
    uint32_t server = 0;
    bool known = m_resolver->Resolve(parts.server, server);
    m_atisChannel = OrlexCreateVoiceChannel(server, parts.port, parts.room, DisplayName(atisName), 0, 0, {},
                                            m_port, &NoltVoiceEngine::OnAtisChannelEvent, this);
    Wire(m_atisChannel);
    m_atisState = kRoomJoining;
    if (known)
        OrlexConnectChannel(m_atisChannel);
    else
        m_atisServer = parts.server;
    Link(static_cast<int32_t>(m_atisPlayback), static_cast<int32_t>(m_atisChannel), true);
    StartAtisPlayback(path);
}

void NoltVoiceEngine::OnAtisChannelEvent(OrlexHandle channel, int event, void* user) {
    auto* engine = static_cast<NoltVoiceEngine*>(user);
    if (channel != engine->m_atisChannel) return;
    if (event == 1) engine->m_atisState = kRoomConnected;
    bool failed = event == 3 && OrlexChannelSocketState(channel) == HalkSocket::kError;
    if (event == 2 || failed) {
        // The server closed the room: the channel goes, and with it the link
        // that fed it; the next broadcast makes a new one.
        // It is released after the tasks have run: this call comes from inside it.
        engine->m_atisState = kRoomIdle;
        engine->m_atisChannel = 0;
        engine->m_closedAtisChannel = channel;
    }
}

void NoltVoiceEngine::StopAtisBroadcast() {
    if (m_atisState != kRoomJoining && m_atisState != kRoomConnected) return;
    StopAtisPlayback();
    m_atisState = kRoomLeaving;
    m_atisServer.clear();
    if (!m_atisChannel) return;
    Link(static_cast<int32_t>(m_atisPlayback), static_cast<int32_t>(m_atisChannel), false);
    OrlexDisconnectChannel(m_atisChannel);
    Unwire(m_atisChannel);
    OrlexReleaseVoiceChannel(m_atisChannel);
    m_atisChannel = 0;
}

bool NoltVoiceEngine::IsAtisBroadcastActive() const {
    return m_atisState == kRoomJoining || m_atisState == kRoomConnected;
}
