// Tested by tests/simbridge/dplay_session_test.cpp.
#include "simbridge/dplay_node.h"

#include <cstdio>
#include <cstring>

namespace dplay {
namespace {

constexpr size_t kMaxConnections = 1024;

bool SameGuid(const SimGuid& a, const SimGuid& b) {
    return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
           std::memcmp(a.data4, b.data4, sizeof a.data4) == 0;
}

bool IsZero(const SimGuid& guid) { return SameGuid(guid, SimGuid{}); }

bool IsLoopback(uint32_t ip) { return (ip >> 24) == 127; }

std::string HexCode(uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", code);
    return text;
}

}  // namespace

DplayNode::DplayNode(SendFn send, DplayNodeEvents* events, uint32_t seed)
    : m_send(std::move(send)), m_events(events), m_random(seed) {}

bool DplayNode::IsJoined(SimPlayerId player) const {
    auto it = m_players.find(player);
    return it != m_players.end() && it->second.joined;
}

std::set<SimPlayerId> DplayNode::GetPlayers() const {
    std::set<SimPlayerId> players;
    for (const auto& [id, player] : m_players)
        if (player.joined) players.insert(id);
    return players;
}

SimPlayerId DplayNode::MakePlayerId() {
    for (;;) {
        const uint32_t index = m_nextIndex++ & 0xFFFFF;
        const SimPlayerId id = ((m_version & 0xFFF) << 20 | index) ^ m_instance.data1;
        if (id != 0 && !m_players.count(id)) return id;
    }
}

DplayNode::Connection& DplayNode::Connect(const Address& to, Role role, uint64_t now) {
    Connection connection;
    uint32_t session = 0;
    while (session == 0) session = static_cast<uint32_t>(m_random());
    connection.link =
        std::make_unique<DplayLink>(session, now, [this, to](const Bytes& bytes) { m_send(to, bytes); });
    connection.role = role;
    auto [it, inserted] = m_connections.insert_or_assign(to, std::move(connection));
    return it->second;
}

DplayNode::Connection* DplayNode::ConnectionOf(SimPlayerId player, Address* address) {
    for (auto& [where, connection] : m_connections) {
        if (connection.player == player && !connection.link->IsClosing()) {
            if (address) *address = where;
            return &connection;
        }
    }
    return nullptr;
}

const DplayNode::Connection* DplayNode::ConnectionOf(SimPlayerId player) const {
    for (const auto& [where, connection] : m_connections)
        if (connection.player == player && !connection.link->IsClosing()) return &connection;
    return nullptr;
}

void DplayNode::SendCore(Connection& connection, const Bytes& message, uint64_t now) {
    connection.link->Send(message, true, true, 0, now);
}

void DplayNode::Deliver(SimPlayerId from, const Bytes& data) {
    auto it = m_players.find(from);
    const std::string name = it == m_players.end() ? std::string() : Narrow(it->second.name);
    m_events->OnReceive(from, name, data);
}

// --- hosting ------------------------------------------------------------------

void DplayNode::Host(const SimHostDescription& description, const SimGuid& instance, uint64_t) {
    m_isHost = true;
    m_description = description;
    m_instance = instance;
    m_application = description.application;
    m_version = 1;  // the group of all players
    ++m_version;
    Player host;
    host.id = MakePlayerId();
    host.name = Widen(description.playerName);
    host.data = description.playerData;
    host.flags = kEntryHost | kEntryPeer;
    host.version = m_version;
    host.joined = true;
    m_self = m_hostPlayer = host.id;
    m_players[host.id] = host;
    m_events->OnPlayerCreated(host.id, {description.playerName, true, true, {}});
}

void DplayNode::OnEnumQuery(const Address& from, ByteSpan bytes) {
    EnumQuery query;
    if (!DecodeEnumQuery(bytes, query)) {
        ++m_dropped;
        return;
    }
    if (!m_isHost || m_closed || (query.hasApplication && !SameGuid(query.application, m_application)))
        return;
    EnumResponse response;
    response.payload = query.payload;
    response.flags = kSessionNoDpnsvr;
    response.currentPlayers = static_cast<uint32_t>(GetPlayers().size());
    response.sessionName = Widen(m_description.sessionName);
    response.applicationReserved = m_description.applicationReserved;
    response.instance = m_instance;
    response.application = m_application;
    m_send(from, EncodeEnumResponse(response));
}

NameTableEntry DplayNode::EntryFor(const Player& player, const Address& recipient) const {
    NameTableEntry entry;
    entry.id = player.id;
    entry.flags = player.flags;
    entry.version = player.version;
    entry.dnetVersion = player.dnetVersion;
    entry.name = player.name;
    entry.data = player.data;
    entry.url = player.url;
    uint32_t ip = 0;
    uint16_t port = 0;
    // A player on this machine is shown to a remote player at an address it can reach.
    if (m_localAddress && !IsLoopback(recipient.ip) && ParseAddressUrl(player.url, ip, port) &&
        IsLoopback(ip)) {
        const uint32_t local = m_localAddress(recipient.ip);
        if (local != 0) entry.url = BuildAddressUrl(local, port);
    }
    return entry;
}

void DplayNode::AcceptJoiner(const Address& address, Connection& connection, const Bytes& message,
                             uint64_t now) {
    PlayerConnectInfo info;
    if (!DecodePlayerConnectInfo(message, info)) {
        ++m_dropped;
        return;
    }
    uint32_t failure = 0;
    if (!(info.flags & kObjectTypePeer))
        failure = kErrInvalidInterface;
    else if (!SameGuid(info.application, m_application))
        failure = kErrInvalidApplication;
    else if (!IsZero(info.instance) && !SameGuid(info.instance, m_instance))
        failure = kErrInvalidInstance;
    if (failure != 0 || m_closed) {
        SendCore(connection, EncodeConnectFailed({failure ? failure : 0x80158050, {}}), now);
        connection.link->Disconnect(now);
        return;
    }
    ++m_version;
    Player player;
    player.id = MakePlayerId();
    player.name = info.name;
    player.data = info.data;
    player.connectData = info.connectData;
    player.url = BuildAddressUrl(address.ip, address.port);
    player.flags = kEntryPeer;
    player.version = m_version;
    player.dnetVersion = info.dnetVersion;
    m_players[player.id] = player;
    connection.player = player.id;

    SendConnectInfo reply;
    reply.flags = kSessionNoDpnsvr;
    reply.sessionName = Widen(m_description.sessionName);
    reply.applicationReserved = m_description.applicationReserved;
    reply.instance = m_instance;
    reply.application = m_application;
    reply.playerId = player.id;
    reply.version = m_version;
    // Players still joining are named too: they will connect to this one.
    for (const auto& [id, other] : m_players) reply.entries.push_back(EntryFor(other, address));
    reply.currentPlayers = static_cast<uint32_t>(reply.entries.size());
    SendCore(connection, EncodeSendConnectInfo(reply), now);

    // A player still joining hears of this one once it has acknowledged its
    // own name table, when it is sure to apply the addition after the table.
    for (auto& [where, other] : m_connections) {
        if (other.player == 0 || other.player == player.id || !IsJoined(other.player)) continue;
        SendCore(other, EncodeAddPlayer(EntryFor(player, where)), now);
    }
}

void DplayNode::OnHostMessage(const Address& address, Connection& connection, uint32_t type,
                              const Bytes& message, uint64_t now) {
    uint32_t value = 0;
    switch (type) {
        case kMsgPlayerConnectInfo:
            if (connection.player == 0) AcceptJoiner(address, connection, message, now);
            return;
        case kMsgAckConnectInfo: {
            auto it = m_players.find(connection.player);
            if (it == m_players.end() || it->second.joined) return;
            it->second.joined = true;
            // The players added since its name table was made.
            for (const auto& [id, other] : m_players) {
                if (id != it->first && other.version > it->second.version)
                    SendCore(connection, EncodeAddPlayer(EntryFor(other, address)), now);
            }
            m_events->OnPlayerCreated(it->first,
                                      {Narrow(it->second.name), false, false, it->second.connectData});
            ++m_version;
            // Only players already in connect to the new one; one still joining
            // is connected to by it once it is in itself.
            for (auto& [where, other] : m_connections) {
                if (other.player != 0 && IsJoined(other.player))
                    SendCore(other, EncodeInstructConnect(it->first, m_version), now);
            }
            return;
        }
        case kMsgInstructedConnectFailed:
            if (!DecodeTypeAndValue(message, type, value)) break;
            if (m_players.count(value) && value != m_self) {
                if (Connection* joiner = ConnectionOf(value))
                    SendCore(*joiner, EncodeTypeAndValue(kMsgConnectAttemptFailed, connection.player), now);
                RemovePlayer(value, kDestroyConnectionLost, now);
            }
            return;
        default:
            return;
    }
    ++m_dropped;
}

void DplayNode::RemovePlayer(SimPlayerId player, uint32_t reason, uint64_t now) {
    auto it = m_players.find(player);
    if (it == m_players.end() || player == m_self) return;
    const bool joined = it->second.joined;
    m_players.erase(it);
    if (Connection* connection = ConnectionOf(player)) {
        connection->player = 0;
        connection->link->Disconnect(now);
    }
    if (m_isHost) {
        ++m_version;
        // Players still joining hear of it too: they may be waiting for this one.
        for (auto& [where, other] : m_connections)
            if (other.player != 0) SendCore(other, EncodeDestroyPlayer({player, m_version, reason}), now);
    }
    if (joined) m_events->OnPlayerDestroyed(player);
}

// --- joining -----------------------------------------------------------------

void DplayNode::Join(const Address& host, const SimGuid& application, const SimLocalPeerDescription& me,
                     uint64_t now, uint64_t timeoutMs) {
    m_application = application;
    m_me = me;
    m_hostAddress = host;
    m_joinState = JoinState::Joining;
    m_joinDeadline = now + timeoutMs;
    Connect(host, Role::ToHost, now);
}

void DplayNode::FailJoin(const std::string& error, uint64_t now) {
    if (m_joinState == JoinState::Joining) {
        m_joinState = JoinState::Failed;
        m_joinError = error;
    }
    for (auto& [where, connection] : m_connections) connection.link->HardDisconnect(now);
}

void DplayNode::CheckJoined() {
    if (m_joinState == JoinState::Joining && m_acknowledged && m_awaited.empty())
        m_joinState = JoinState::Joined;
}

void DplayNode::EndSession(const std::string& reason, uint64_t now) {
    if (m_closed) return;
    if (m_joinState == JoinState::Joining) {
        FailJoin(reason, now);
    } else {
        for (auto& [where, connection] : m_connections) connection.link->Disconnect(now);
        m_events->OnSessionTerminated(reason);
    }
    m_closed = true;
    m_players.clear();
}

void DplayNode::OnPeerMessage(const Address& address, Connection& connection, uint32_t type,
                              const Bytes& message, uint64_t now) {
    const bool fromHost = connection.role == Role::ToHost;
    uint32_t value = 0;
    switch (type) {
        case kMsgSendConnectInfo: {
            SendConnectInfo info;
            if (!fromHost || m_self != 0 || !DecodeSendConnectInfo(message, info)) break;
            if (!SameGuid(info.application, m_application) || info.playerId == 0) break;
            m_self = info.playerId;
            m_instance = info.instance;
            m_version = info.version;
            for (const NameTableEntry& entry : info.entries) {
                if (entry.flags & kEntryGroup) continue;
                Player player;
                player.id = entry.id;
                player.name = entry.name;
                player.data = entry.data;
                player.url = entry.url;
                player.flags = entry.flags;
                player.version = entry.version;
                player.joined = true;
                m_players[entry.id] = player;
                if (entry.flags & kEntryHost) m_hostPlayer = entry.id;
                if (!(entry.flags & kEntryHost) && entry.id != m_self) m_awaited.insert(entry.id);
            }
            if (m_hostPlayer == 0 || !m_players.count(m_self)) {
                FailJoin("the host sent no usable name table", now);
                return;
            }
            connection.player = m_hostPlayer;
            SendCore(connection, EncodeTypeOnly(kMsgAckConnectInfo), now);
            m_acknowledged = true;
            for (const auto& [id, player] : m_players) {
                m_events->OnPlayerCreated(id, {Narrow(player.name), id == m_self, id == m_hostPlayer, {}});
            }
            CheckJoined();
            return;
        }
        case kMsgConnectFailed: {
            ConnectFailed failed;
            if (!fromHost || !DecodeConnectFailed(message, failed)) break;
            FailJoin("the host refused the connection (" + HexCode(failed.result) + ")", now);
            return;
        }
        case kMsgConnectAttemptFailed:
            if (!fromHost) break;
            FailJoin("a player of the session could not connect", now);
            return;
        case kMsgAddPlayer: {
            NameTableEntry entry;
            if (!fromHost || m_self == 0 || !DecodeAddPlayer(message, entry) || entry.id == 0) break;
            if (m_players.count(entry.id)) return;
            Player player;
            player.id = entry.id;
            player.name = entry.name;
            player.data = entry.data;
            player.url = entry.url;
            player.flags = entry.flags;
            player.version = entry.version;
            player.joined = true;
            m_players[entry.id] = player;
            m_version = std::max(m_version, entry.version);
            m_events->OnPlayerCreated(entry.id, {Narrow(entry.name), false, false, {}});
            return;
        }
        case kMsgInstructConnect: {
            uint32_t version = 0;
            if (!fromHost || m_self == 0 || !DecodeInstructConnect(message, value, version)) break;
            m_version = std::max(m_version, version);
            if (value == m_self || ConnectionOf(value)) return;
            auto it = m_players.find(value);
            Address to;
            if (it != m_players.end() && ParseAddressUrl(it->second.url, to.ip, to.port)) {
                // A connection from that player may already be on its way.
                if (m_connections.count(to)) return;
                Connection& peer = Connect(to, Role::ToPeer, now);
                peer.player = value;
            } else {
                SendCore(connection, EncodeTypeAndValue(kMsgInstructedConnectFailed, value), now);
            }
            return;
        }
        case kMsgSendPlayerDpnid:
            if (fromHost || connection.player != 0 || !DecodeTypeAndValue(message, type, value)) break;
            if (!m_players.count(value) || ConnectionOf(value)) break;
            connection.player = value;
            m_awaited.erase(value);
            CheckJoined();
            return;
        case kMsgDestroyPlayer: {
            DestroyPlayer destroy;
            if (!fromHost || !DecodeDestroyPlayer(message, destroy)) break;
            m_version = std::max(m_version, destroy.version);
            if (destroy.id == m_self) {
                EndSession("removed from the session", now);
                return;
            }
            m_awaited.erase(destroy.id);
            RemovePlayer(destroy.id, destroy.reason, now);
            CheckJoined();
            return;
        }
        case kMsgTerminateSession:
            if (!fromHost) break;
            EndSession("the host ended the session", now);
            return;
        case kMsgNameTableVersion:
            return;
        default:
            break;
    }
    (void)address;
    ++m_dropped;
}

// --- both --------------------------------------------------------------------

void DplayNode::OnCoreMessage(const Address& address, Connection& connection, const Bytes& message,
                              uint64_t now) {
    uint32_t type = 0;
    if (!MessageType(message, type)) {
        ++m_dropped;
        return;
    }
    if (type == kMsgReqProcessCompletion) {
        uint32_t context = 0;
        if (!DecodeTypeAndValue(message, type, context) || connection.player == 0) {
            ++m_dropped;
            return;
        }
        Deliver(connection.player, Bytes(message.begin() + 8, message.end()));
        SendCore(connection, EncodeTypeAndValue(kMsgProcessCompletion, context), now);
        return;
    }
    if (type == kMsgProcessCompletion) return;
    if (m_isHost)
        OnHostMessage(address, connection, type, message, now);
    else
        OnPeerMessage(address, connection, type, message, now);
}

void DplayNode::Service(const Address& address, Connection& connection, uint64_t now) {
    if (connection.link->IsEstablished() && !connection.greeted) {
        connection.greeted = true;
        if (connection.role == Role::ToHost) {
            PlayerConnectInfo info;
            info.name = Widen(m_me.playerName);
            info.data = m_me.playerData;
            info.connectData = m_me.connectData;
            info.application = m_application;
            SendCore(connection, EncodePlayerConnectInfo(info), now);
        } else if (connection.role == Role::ToPeer) {
            SendCore(connection, EncodeTypeAndValue(kMsgSendPlayerDpnid, m_self), now);
            m_awaited.erase(connection.player);
            CheckJoined();
        }
    }
    for (DplayLink::Message& message : connection.link->TakeReceived()) {
        if (m_closed) break;
        if (message.user1) {
            OnCoreMessage(address, connection, message.data, now);
        } else if (connection.player != 0 && (!m_isHost || IsJoined(connection.player))) {
            Deliver(connection.player, message.data);
        } else {
            ++m_dropped;
        }
    }
}

void DplayNode::OnConnectionClosed(Connection& connection, uint64_t now) {
    const SimPlayerId player = connection.player;
    connection.player = 0;
    if (m_closed) return;
    if (connection.role == Role::ToHost) {
        EndSession(
            m_joinState == JoinState::Joining ? "the host did not answer" : "the host left the session", now);
        return;
    }
    if (connection.role == Role::ToPeer && player != 0 && !connection.greeted) {
        // The instructed connection never came up: the host hears of it.
        if (Connection* host = ConnectionOf(m_hostPlayer))
            SendCore(*host, EncodeTypeAndValue(kMsgInstructedConnectFailed, player), now);
        return;
    }
    if (m_isHost && player != 0) {
        const bool graceful = connection.link->GetCloseReason() == DplayLink::CloseReason::Graceful;
        RemovePlayer(player, graceful ? kDestroyNormal : kDestroyConnectionLost, now);
    }
}

void DplayNode::OnDatagram(const Address& from, ByteSpan bytes, uint64_t now) {
    const DatagramKind kind = ClassifyDatagram(bytes);
    if (kind == DatagramKind::Enumeration) {
        if (bytes.size() >= 2 && bytes[1] == kEnumQuery)
            OnEnumQuery(from, bytes);
        else if (!(bytes.size() >= 2 && bytes[1] == kEnumResponse))
            ++m_dropped;
        return;
    }
    auto it = m_connections.find(from);
    if (it == m_connections.end()) {
        // Only a connection request is taken from an address we do not know.
        ConnectFrame connect;
        const bool listening = m_isHost ? !m_closed : (m_self != 0 && !m_closed);
        if (kind != DatagramKind::Command || !DecodeConnectFrame(bytes, connect) ||
            connect.opcode != kOpConnect || !listening || m_connections.size() >= kMaxConnections ||
            connect.sessionId == 0) {
            ++m_dropped;
            return;
        }
        Connection connection;
        connection.link = std::make_unique<DplayLink>(
            connect, now, [this, from](const Bytes& data) { m_send(from, data); });
        connection.role = m_isHost ? Role::FromJoiner : Role::FromPeer;
        it = m_connections.emplace(from, std::move(connection)).first;
        return;
    }
    if (!it->second.link->OnDatagram(bytes, now)) ++m_dropped;
    Service(from, it->second, now);
    if (it->second.link->IsClosed()) {
        OnConnectionClosed(it->second, now);
        m_connections.erase(from);
    }
}

void DplayNode::Poll(uint64_t now) {
    if (m_joinState == JoinState::Joining && now >= m_joinDeadline)
        FailJoin("joining the session timed out", now);
    for (auto it = m_connections.begin(); it != m_connections.end();) {
        it->second.link->Poll(now);
        Service(it->first, it->second, now);
        if (it->second.link->IsClosed()) {
            OnConnectionClosed(it->second, now);
            it = m_connections.erase(it);
        } else {
            ++it;
        }
    }
}

bool DplayNode::Send(SimPlayerId to, const Bytes& data, bool reliable, uint32_t timeoutMs, uint64_t now,
                     std::vector<std::pair<SimPlayerId, uint64_t>>* serials) {
    if (m_closed || m_self == 0) return false;
    if (to != kSimAllPlayers) {
        Connection* connection = ConnectionOf(to);
        if (!connection) return false;
        const uint64_t serial = connection->link->Send(data, reliable, false, timeoutMs, now);
        if (serials && serial) serials->emplace_back(to, serial);
        return serial != 0;
    }
    bool all = true;
    for (auto& [where, connection] : m_connections) {
        if (connection.player == 0 || connection.link->IsClosing()) continue;
        if (m_isHost && !IsJoined(connection.player)) continue;
        const uint64_t serial = connection.link->Send(data, reliable, false, timeoutMs, now);
        if (serials && serial) serials->emplace_back(connection.player, serial);
        if (!serial) all = false;
    }
    return all;
}

bool DplayNode::IsSent(SimPlayerId to, uint64_t serial) const {
    const Connection* connection = ConnectionOf(to);
    return !connection || connection->link->IsSent(serial);
}

void DplayNode::Close(uint64_t now) {
    if (m_closed) return;
    if (m_isHost) {
        for (auto& [where, connection] : m_connections)
            if (connection.player != 0) SendCore(connection, EncodeTerminateSession({}), now);
    }
    if (m_joinState == JoinState::Joining) {
        m_joinState = JoinState::Failed;
        m_joinError = "the session was closed";
    }
    for (auto& [where, connection] : m_connections) connection.link->Disconnect(now);
    m_closed = true;
}

}  // namespace dplay
