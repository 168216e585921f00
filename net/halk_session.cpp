// HalkSession: connection lifecycle, polling and the login handshake.
// Tested by tests/net/halk_session_test.cpp and halk_login_test.cpp.
#include "net/halk_session.h"

#include <cstring>
#include <random>

#include "net/md5.h"
#include "platform/clock.h"

namespace {

// Used when the owner gives no key; any fixed 32 hex digits do.
constexpr std::string_view kPlaceholderKey = "6d1f0a2b9c8e7d3f4a5b6c7d8e9f0a1b";

constexpr const char* kNotPeltanServer = "ERROR: the server you are connected to is not a Peltan server.";

}  // namespace

bool HalkStartNetwork() { return true; }

std::unique_ptr<HalkSession> HalkSession::Create(std::string clientName, int32_t firstId, int32_t secondId,
                                                 std::string simulatorVersion, int32_t protocolRevision,
                                                 uint16_t clientId, std::string_view key,
                                                 std::string capabilities, const Clock* clock) {
    return std::make_unique<HalkSession>(std::move(clientName), firstId, secondId,
                                         std::move(simulatorVersion), protocolRevision, clientId, key,
                                         std::move(capabilities), clock);
}

HalkSession::HalkSession(std::string clientName, int32_t firstId, int32_t secondId,
                         std::string simulatorVersion, int32_t protocolRevision, uint16_t clientId,
                         std::string_view key, std::string capabilities, const Clock* clock)
    : m_clientName(std::move(clientName)),
      m_simulatorVersion(std::move(simulatorVersion)),
      m_firstId(firstId),
      m_secondId(secondId),
      m_protocolRevision(protocolRevision),
      m_clientId(clientId),
      m_capabilitiesText(std::move(capabilities)),
      m_key(NormalizeLoginKey(key.empty() ? kPlaceholderKey : key)),
      m_clock(clock ? clock : &SystemClock::Instance()),
      m_random(std::random_device{}()) {}

HalkSession::~HalkSession() = default;

std::string HalkSession::NormalizeLoginKey(std::string_view key) {
    std::string normalized(key.substr(0, 32));
    normalized.resize(32, '0');
    return normalized;
}

std::string HalkSession::ComputeResponse(std::string_view key, std::string_view challenge,
                                         unsigned selector) {
    std::string fullKey = NormalizeLoginKey(key);
    const std::string_view pieces[3] = {std::string_view(fullKey).substr(0, 12),
                                        std::string_view(fullKey).substr(12, 10),
                                        std::string_view(fullKey).substr(22, 10)};
    size_t half = challenge.size() / 2;
    std::string_view first = challenge.substr(0, half);
    std::string_view second = challenge.substr(half, half);
    if (selector % 2 == 1) std::swap(first, second);
    unsigned start = selector % 3;
    MD5Context context;
    MD5Init(context);
    auto feed = [&context](std::string_view bytes) { MD5Update(context, bytes.data(), bytes.size()); };
    feed(pieces[start]);
    feed(first);
    feed(pieces[(start + 1) % 3]);
    feed(second);
    feed(pieces[(start + 2) % 3]);
    MD5Final(context);
    return DigestToHex(context.digest);
}

std::string HalkSession::MakeChallenge(Random15& random) {
    static const char kHex[] = "0123456789abcdef";
    std::string challenge;
    for (int i = 0; i < 16; ++i) {
        int byte = random.Next() & 0xFF;
        challenge.push_back(kHex[byte >> 4]);
        challenge.push_back(kHex[byte & 15]);
    }
    return challenge;
}

void HalkSession::SetConnectInfo(const std::string& server, int port, const std::string& userId,
                                 const std::string& password, const HalkLoginInfo& info) {
    if (m_state != kIdle && m_state != kClosed && m_state != kError) return;
    m_callsign = info.callsign;
    m_realName = info.realName;
    m_rating = info.rating;
    m_server = server;
    m_port = port;
    m_userId = userId;
    m_password = password;
    m_clientKind = 2;
}

bool HalkSession::Connect() {
    if (m_state != kIdle && m_state != kClosed && m_state != kError) return false;
    uint32_t ip = HalkSocket::Resolve(m_server);
    if (ip == 0) return false;
    if (m_connection) {
        // Called from one of this connection's own callbacks: keep it alive
        // until its poll has returned.
        m_retired.push_back(std::move(m_connection));
    }
    m_disconnectTimeout = 0;
    m_answerBase.clear();
    m_answerKey.clear();
    m_checkBase.clear();
    m_checkKey.clear();
    m_expectedAnswer.clear();
    m_challengeOutstanding = false;
    m_identified = false;
    m_failureReason.clear();
    m_connectStartMs = m_clock->NowMs();

    m_connection = std::make_unique<HalkBufferedSocket>();
    m_connection->SetDataHandler(this);
    // Servers written by others may end lines with LF alone; ParseLine drops
    // the CR of a CR LF.
    m_connection->SetTerminator("\n");
    if (m_protocolRevision != 100) SendAddAtc();
    HalkBufferedSocket* connection = m_connection.get();
    connection->Connect(ip, static_cast<uint16_t>(m_port));
    if (connection != m_connection.get()) return true;  // a state callback replaced it
    HalkAddresses addresses;
    connection->GetAddresses(addresses);
    uint32_t a = addresses.localIp;
    m_ownAddress = std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 255) + "." +
                   std::to_string((a >> 8) & 255) + "." + std::to_string(a & 255);
    return true;
}

void HalkSession::Disconnect(int timeoutSeconds) {
    if (!m_connection) return;
    if (m_state == kConnected && (m_identified || m_protocolRevision < 100)) {
        if (timeoutSeconds > 0) {
            m_disconnectStart = m_clock->NowMs();
            m_disconnectTimeout = static_cast<uint64_t>(timeoutSeconds) * 1000;
        }
        SendLine(Line("#DA").Field("SERVER"));
        m_connection->Flush();
        if (timeoutSeconds <= 0 && m_connection) m_connection->Disconnect();
    } else if (m_state == kConnecting || m_state == kConnected) {
        // Not logged in yet: there is nobody to sign off from.
        m_connection->Disconnect();
    }
}

std::string HalkSession::ServerText() const { return m_server + ":" + std::to_string(m_port); }

void HalkSession::GiveUp(std::string reason) {
    m_failureReason = std::move(reason);
    m_connection->Socket().Abort();
    m_retired.push_back(std::move(m_connection));  // its close is not reported again
    m_state = kError;
    ReportState(kError);
    m_retired.clear();
}

void HalkSession::Poll() {
    if (!m_connection) return;
    HalkBufferedSocket* connection = m_connection.get();
    if (m_disconnectTimeout != 0 && m_clock->NowMs() - m_disconnectStart > m_disconnectTimeout) {
        m_disconnectTimeout = 0;
        connection->Disconnect();
    }
    if (m_state == kConnecting && m_clock->NowMs() - m_connectStartMs > kConnectTimeoutMs) {
        return GiveUp("Could not reach " + ServerText() + ": no answer within " +
                      std::to_string(kConnectTimeoutMs / 1000) + " seconds.");
    }
    if (m_state == kConnected && !m_identified && m_protocolRevision >= 100 &&
        m_clock->NowMs() - m_connectedAtMs > kIdentifyTimeoutMs) {
        // Never left half-open: the socket is up but no login can follow.
        return GiveUp("The server did not ask for identification within " +
                      std::to_string(kIdentifyTimeoutMs / 1000) + " seconds.");
    }
    if (connection->SendQueueOverflowed()) {
        // What we send would pile up without end.
        return GiveUp("The server stopped reading what this client sends: the connection was closed.");
    }
    if (connection == m_connection.get()) connection->Poll(kLinesPerPoll);
    if (m_connection && connection == m_connection.get() && (m_state == kClosed || m_state == kError)) {
        size_t received = 0;
        size_t queued = 0;
        connection->GetBufferSizes(received, queued);
        if (received == 0) m_connection.reset();
    }
    m_retired.clear();
}

int HalkSession::Send(std::string_view text) {
    if (!m_connection || text.empty()) return 0;
    m_connection->Send(text);
    return static_cast<int>(text.size());
}

HalkLineBuilder HalkSession::Line(std::string_view prefix) const {
    HalkLineBuilder line(prefix);
    line.Field(m_callsign);
    return line;
}

void HalkSession::ReportState(int newState) {
    int old = m_reportedState;
    m_reportedState = newState;
    if (m_stateChanged) m_stateChanged.fn(this, old, newState, m_stateChanged.user);
}

void HalkSession::OnLine(HalkBufferedSocket* connection, const char* text, size_t length) {
    if (connection != m_connection.get()) return;
    ParseLine(text, length);
}

void HalkSession::OnStateChange(HalkBufferedSocket* connection, int oldState, int newState) {
    if (connection != m_connection.get()) return;
    int mapped = newState >= kIdle && newState <= kClosed ? newState : kError;
    if (mapped == m_state) return;
    const int error = connection->Socket().LastError();
    if ((mapped == kClosed || mapped == kError) && error != 0 && m_failureReason.empty()) {
        m_failureReason = m_state == kConnecting
                              ? "Could not reach " + ServerText() + ": " + std::strerror(error) + "."
                              : std::string("The connection to the server was lost: ") + std::strerror(error) + ".";
    }
    m_state = mapped;
    if (mapped == kConnected) m_connectedAtMs = m_clock->NowMs();
    // At revision 100 the connection counts as up only once the server has
    // asked us to identify ourselves.
    if (mapped == kConnected && m_protocolRevision >= 100) return;
    ReportState(mapped);
}

void HalkSession::OnPong(const char* from, long long sentTime) {
    if (m_pong) m_pong.fn(this, from, static_cast<long long>(m_clock->WallSeconds()) - sentTime, m_pong.user);
}

// "$DI": the server asks us to identify; field 3 is its challenge.
void HalkSession::OnIdentificationRequest(HalkFields& f) {
    if (m_protocolRevision < 100 || m_state != kConnected || m_identified) return;
    m_identified = true;
    m_answerBase = ComputeResponse(m_key, f[3], m_clientId);
    m_answerKey = m_answerBase;
    std::string own = MakeChallenge(m_random);
    m_checkBase = ComputeResponse(m_key, own, m_clientId);
    m_checkKey = m_checkBase;

    static const char kHex[] = "0123456789abcdef";
    std::string clientId;
    for (int shift = 12; shift >= 0; shift -= 4) clientId.push_back(kHex[(m_clientId >> shift) & 15]);
    SendLine(Line("$ID")
                 .Field("SERVER")
                 .Field(clientId)
                 .Field(m_clientName)
                 .Field(m_firstId)
                 .Field(m_secondId)
                 .Field(m_userId)
                 .Field(m_machineNumber)
                 .Field(own));
    SendAddAtc();
    ReportState(kConnected);
}

// "#AA": our login as a controller.
void HalkSession::SendAddAtc() {
    SendLine(Line("#AA")
                 .Field("SERVER")
                 .Field(m_realName)
                 .Field(m_userId)
                 .Field(m_password)
                 .Field(m_rating)
                 .Field(m_protocolRevision));
}

// "$ZC": answer the server's challenge, roll our answer key, challenge back.
void HalkSession::OnServerChallenge(HalkFields& f) {
    if (m_protocolRevision < 100 || !m_identified) return;
    std::string answer = ComputeResponse(m_answerKey, f[2], m_clientId);
    SendLine(Line("$ZR").Field("SERVER").Field(answer));
    m_answerKey = MD5Hex(m_answerBase + answer);
    std::string own = MakeChallenge(m_random);
    SendLine(Line("$ZC").Field("SERVER").Field(own));
    m_expectedAnswer = ComputeResponse(m_checkKey, own, m_clientId);
    m_checkKey = MD5Hex(m_checkBase + m_expectedAnswer);
    m_challengeOutstanding = true;
}

// "$ZR": the server's answer to our latest challenge. One answer per
// challenge: a replayed or unasked-for answer is as wrong as a bad one.
void HalkSession::OnServerAnswer(HalkFields& f) {
    bool good = m_challengeOutstanding && m_expectedAnswer == f[2];
    m_challengeOutstanding = false;
    if (good) return;
    if (m_privateMessage) {
        m_privateMessage.fn(this, "SERVER", m_callsign.c_str(), kNotPeltanServer, m_privateMessage.user);
    }
    Disconnect(5);
}
