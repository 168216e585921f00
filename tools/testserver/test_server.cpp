// The local test server. Single-threaded: everything happens inside Poll.
// Tested by tests/tools/testserver/test_server_test.cpp and the session tests.
#include "tools/testserver/test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "net/halk_line.h"
#include "net/halk_session.h"
#include "net/md5.h"
#include "platform/clock.h"

struct TarqTestServer::Client {
    std::unique_ptr<HalkBufferedSocket> connection;
    std::string callsign;
    std::string userId;
    int rating = 0;
    unsigned clientId = 0;
    bool identified = false;  // "$ID" seen
    bool loggedIn = false;    // "#AA" accepted
    bool departed = false;    // its leave was announced
    bool stalled = false;
    std::string pendingTail;  // second half of a split write
    std::vector<std::string> received;
    // Challenge state, mirroring the client's.
    std::string identificationChallenge;  // ours, sent in "$DI"
    std::string answerBase;
    std::string answerKey;
    std::string expectedAnswer;
    bool challengeOutstanding = false;
    std::string checkBase;
    std::string checkKey;
    int verified = 0;
    int wrong = 0;
    std::string lastAnswer;
    uint64_t nextChallengeMs = 0;
};

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string Field(const HalkFields& f, int index) { return f[index]; }

std::string FormatSquawk(int squawk) {
    std::string text = std::to_string(squawk);
    while (text.size() < 4) text.insert(text.begin(), '0');
    return text;
}

std::string FormatDegrees(double value) {
    std::string text;
    HalkAppendFixed(text, value, 5, 0);
    return text;
}

std::string DefaultMetar(std::string_view station) {
    return std::string(station) + " 101250Z 27010KT 9999 FEW030 15/10 Q1013 NOSIG";
}

}  // namespace

TarqTestServer::TarqTestServer(TestServerOptions options, Clock& clock)
    : m_options(std::move(options)), m_clock(clock) {
    m_options.key = HalkSession::NormalizeLoginKey(m_options.key);
    for (const ScenarioPilot& script : m_options.scenario.pilots) {
        Pilot pilot;
        pilot.script = &script;
        pilot.latitude = script.waypoints.front().first;
        pilot.longitude = script.waypoints.front().second;
        pilot.altitude = script.altitude;
        if (!script.waypointAltitudes.empty() && script.waypointAltitudes.front() >= 0)
            pilot.altitude = script.waypointAltitudes.front();
        m_pilots.push_back(pilot);
    }
    for (const ScenarioController& script : m_options.scenario.controllers) m_controllers.push_back({&script});
    MovePilots(0);  // point every pilot along its first leg
}

TarqTestServer::~TarqTestServer() {
    m_clients.clear();
    if (m_listener >= 0) close(m_listener);
}

bool TarqTestServer::Start(std::string* error) {
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(m_options.port);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 16) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (error)
            *error = std::string("cannot listen on port ") + std::to_string(m_options.port) + ": " +
                     std::strerror(errno);
        if (m_listener >= 0) close(m_listener);
        m_listener = -1;
        return false;
    }
    m_port = ntohs(address.sin_port);
    m_startMs = m_clock.NowMs();
    m_lastPositionsMs = m_startMs;
    if (!m_pilots.empty() && m_options.positionIntervalMs > 0) {
        for (size_t i = 0; i < m_pilots.size(); ++i)
            m_pilots[i].nextReportMs = m_startMs + m_options.positionIntervalMs * i / m_pilots.size();
    }
    return true;
}

bool TarqTestServer::Expired() const { return m_clock.NowMs() - m_startMs >= m_options.lifetimeMs; }

void TarqTestServer::Run() {
    while (!Expired()) Poll(50);
    m_clients.clear();
}

TarqTestServer::Client* TarqTestServer::Find(std::string_view who) const {
    if (who.empty()) return m_clients.empty() ? nullptr : m_clients.back().get();
    for (const auto& client : m_clients) {
        if (client->callsign == who) return client.get();
    }
    return nullptr;
}

TarqTestServer::Client* TarqTestServer::FindAny(std::string_view who) const {
    if (Client* live = Find(who)) return live;
    for (auto it = m_gone.rbegin(); it != m_gone.rend(); ++it) {
        if (who.empty() || (*it)->callsign == who) return it->get();
    }
    return nullptr;
}

TarqTestServer::Client* TarqTestServer::FindConnection(HalkBufferedSocket* connection) const {
    for (const auto& client : m_clients) {
        if (client->connection.get() == connection) return client.get();
    }
    return nullptr;
}

void TarqTestServer::Accept() {
    for (;;) {
        int fd = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        auto client = std::make_unique<Client>();
        client->connection = std::make_unique<HalkBufferedSocket>(HalkSocket::Adopt(fd));
        client->connection->SetDataHandler(this);
        client->identificationChallenge = HalkSession::MakeChallenge(m_random);
        if (m_options.identify) {
            SendTo(*client, std::string("$DISERVER:CLIENT:") + kVersion + ":" + client->identificationChallenge +
                                "\r\n");
        }
        m_clients.push_back(std::move(client));
    }
}

void TarqTestServer::Poll(int waitMs) {
    std::vector<pollfd> waits;
    if (m_listener >= 0) waits.push_back({m_listener, POLLIN, 0});
    for (const auto& client : m_clients) {
        if (client->stalled) continue;
        size_t received = 0;
        size_t queued = 0;
        client->connection->GetBufferSizes(received, queued);
        short events = POLLIN;
        if (queued > 0 || !client->pendingTail.empty()) events |= POLLOUT;
        waits.push_back({client->connection->Socket().Descriptor(), events, 0});
    }
    if (!waits.empty()) poll(waits.data(), waits.size(), waitMs);
    if (m_listener >= 0) Accept();

    // Index loop: handlers may accept no one but may mark others closed.
    for (size_t i = 0; i < m_clients.size(); ++i) {
        Client& client = *m_clients[i];
        if (client.stalled) continue;
        if (!client.pendingTail.empty()) {
            client.connection->Send(client.pendingTail);
            client.pendingTail.clear();
        }
        client.connection->Poll(-1);
    }

    uint64_t now = m_clock.NowMs();
    ReportPilots(now);
    RunControllers(now);
    for (const auto& client : m_clients) {
        if (client->loggedIn && m_options.challengeIntervalMs > 0 && now >= client->nextChallengeMs) {
            SendChallenge(*client);
        }
    }
    // Flush what the handlers and timers queued.
    for (const auto& client : m_clients) {
        if (!client->stalled && client->connection->Socket().State() == HalkSocket::kConnected) {
            client->connection->Poll(0);
        }
    }

    for (size_t i = 0; i < m_clients.size();) {
        int state = m_clients[i]->connection->Socket().State();
        // A client that stopped reading is cut off, as a real server does.
        if (state == HalkSocket::kClosed || state == HalkSocket::kError ||
            m_clients[i]->connection->SendQueueOverflowed()) {
            std::unique_ptr<Client> gone = std::move(m_clients[i]);
            m_clients.erase(m_clients.begin() + static_cast<long>(i));
            Leave(*gone);
            gone->connection.reset();
            m_gone.push_back(std::move(gone));
        } else {
            ++i;
        }
    }
}

void TarqTestServer::OnStateChange(HalkBufferedSocket*, int, int) {}

void TarqTestServer::OnLine(HalkBufferedSocket* connection, const char* text, size_t length) {
    Client* client = FindConnection(connection);
    if (!client) return;
    std::string_view line(text, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    client->received.emplace_back(line);
    Handle(*client, line);
}

void TarqTestServer::SendTo(Client& client, std::string_view line) { client.connection->Send(line); }

void TarqTestServer::SendAllExcept(const Client* except, std::string_view line) {
    for (const auto& client : m_clients) {
        if (client.get() != except && client->loggedIn) SendTo(*client, line);
    }
}

bool TarqTestServer::Relay(std::string_view to, std::string_view line) {
    for (const auto& client : m_clients) {
        if (client->loggedIn && client->callsign == to) {
            SendTo(*client, line);
            return true;
        }
    }
    return false;
}

void TarqTestServer::SendError(Client& client, int code, std::string_view parameter,
                               std::string_view message) {
    HalkLineBuilder line("$ER");
    line.Field("SERVER");
    std::string number = std::to_string(code);
    while (number.size() < 3) number.insert(number.begin(), '0');
    line.Field(client.callsign.empty() ? "unknown" : client.callsign)
        .Field(number)
        .Field(parameter)
        .Last(message);
    SendTo(client, line.Finish());
}

void TarqTestServer::Leave(Client& client) {
    if (client.loggedIn && !client.departed) {
        client.departed = true;
        SendAllExcept(&client, "#DA" + client.callsign + ":SERVER\r\n");
    }
}

void TarqTestServer::SendChallenge(Client& client) {
    std::string challenge = HalkSession::MakeChallenge(m_random);
    client.expectedAnswer = HalkSession::ComputeResponse(client.answerKey, challenge, client.clientId);
    client.challengeOutstanding = true;
    client.nextChallengeMs = m_clock.NowMs() + m_options.challengeIntervalMs;
    SendTo(client, "$ZCSERVER:" + client.callsign + ":" + challenge + "\r\n");
}

void TarqTestServer::HandleLogin(Client& client, const std::string& line) {
    HalkFields f;
    f.Split(line.substr(3), -1);
    if (line.rfind("$ID", 0) == 0) {
        if (client.identified || f.Count() < 9) return;
        client.identified = true;
        client.callsign = Field(f, 0);
        client.clientId = static_cast<unsigned>(std::strtoul(f[2], nullptr, 16));
        client.userId = Field(f, 6);
        client.answerBase =
            HalkSession::ComputeResponse(m_options.key, client.identificationChallenge, client.clientId);
        client.answerKey = client.answerBase;
        client.checkBase = HalkSession::ComputeResponse(m_options.key, f[8], client.clientId);
        client.checkKey = client.checkBase;
        return;
    }
    if (line.rfind("#AA", 0) != 0 || f.Count() < 7) return;
    if (!client.identified || Field(f, 0) != client.callsign) {
        SendError(client, kErrorBadLogin, Field(f, 0), "Identify before logging in");
        client.connection->Flush();
        return;
    }
    if (!m_options.passwords.empty()) {
        auto known = m_options.passwords.find(Field(f, 3));
        if (Field(f, 3) != client.userId || known == m_options.passwords.end() ||
            known->second != Field(f, 4)) {
            SendError(client, kErrorBadLogin, Field(f, 3), "Invalid CID/password");
            client.connection->Flush();
            return;
        }
    }
    for (const auto& other : m_clients) {
        if (other.get() != &client && other->loggedIn && other->callsign == client.callsign) {
            SendError(client, kErrorCallsignInUse, client.callsign, "Callsign in use");
            client.connection->Flush();
            return;
        }
    }
    client.rating = HalkToInt(f[5]);
    client.loggedIn = true;
    client.nextChallengeMs = m_clock.NowMs() + m_options.challengeIntervalMs;
    for (const Pilot& pilot : m_pilots) {
        if (!pilot.gone) SendTo(client, PilotPositionLine(pilot));
    }
    for (const Controller& c : m_controllers) {
        if (c.present) SendTo(client, ControllerPositionLine(*c.script));
    }
}

void TarqTestServer::Handle(Client& client, std::string_view view) {
    std::string line(view);
    std::string withEnd = line + "\r\n";
    if (!client.loggedIn) {
        HandleLogin(client, line);
        return;
    }
    if (line.size() < 1) return;
    std::string prefix = line.substr(0, line[0] == '@' || line[0] == '%' || line[0] == '\'' ? 1 : 3);
    HalkFields f;
    f.Split(std::string_view(line).substr(prefix.size()), prefix == "#TM" ? 3 : -1);
    // Lines from a client carry its own callsign first; anything else is not relayed.
    if (Field(f, 0) != client.callsign) return;
    std::string to = Field(f, 1);

    if (prefix == "$ZR") {
        if (client.challengeOutstanding && Field(f, 2) == client.expectedAnswer) {
            ++client.verified;
            client.answerKey = MD5Hex(client.answerBase + client.expectedAnswer);
        } else if (!client.challengeOutstanding) {
            ++client.wrong;  // unasked: noted, so tests can inject challenges of their own
        } else {
            ++client.wrong;
            SendTo(client, "$!!SERVER:" + client.callsign + ":Wrong answer to the server challenge\r\n");
            client.connection->Flush();
        }
        client.challengeOutstanding = false;
    } else if (prefix == "$ZC") {
        std::string answer = HalkSession::ComputeResponse(client.checkKey, f[2], client.clientId);
        client.checkKey = MD5Hex(client.checkBase + answer);
        if (m_options.wrongAnswers) answer = MD5Hex("wrong" + answer);
        client.lastAnswer = answer;
        SendTo(client, "$ZRSERVER:" + client.callsign + ":" + answer + "\r\n");
    } else if (prefix == "$CQ") {
        if (to == "SERVER") {
            HandleServerQuery(client, Field(f, 2), Field(f, 3));
        } else if (to == "@94835") {
            SendAllExcept(&client, withEnd);
        } else if (!Relay(to, withEnd)) {
            const Pilot* pilot = FindPilot(to);
            if (pilot && Field(f, 2) == "RN") {
                SendTo(client,
                       "$CR" + to + ":" + client.callsign + ":RN:" + pilot->script->realName + "::1\r\n");
            } else if (FindController(to) && Field(f, 2) == "RN") {
                SendTo(client, "$CR" + to + ":" + client.callsign + ":RN:" + to + " Controller:demo.sct2:" +
                                   std::to_string(FindController(to)->script->rating) + "\r\n");
            } else if (FindController(to) && Field(f, 2) == "ATIS") {
                const std::string reply = "$CR" + to + ":" + client.callsign + ":ATIS:";
                int lines = 0;
                if (!m_options.voiceServer.empty()) {
                    SendTo(client, reply + "V:" + m_options.voiceServer + "/" + to + "\r\n");
                    ++lines;
                }
                SendTo(client, reply + "T:" + to + " demo position\r\n");
                SendTo(client, reply + "E:" + std::to_string(lines + 1) + "\r\n");
            }
        }
    } else if (prefix == "#TM") {
        if (to == "FP") return;
        if (!to.empty() && (to[0] == '@' || to[0] == '*')) {
            SendAllExcept(&client, withEnd);
        } else {
            Relay(to, withEnd);
        }
    } else if (prefix == "$PI" && to == "SERVER") {
        SendTo(client, "$POSERVER:" + client.callsign + ":" + Field(f, 2) + "\r\n");
    } else if (prefix == "$CR" || prefix == "#PC" || prefix == "$HO" || prefix == "$HA" || prefix == "#SB" ||
               prefix == "$PI" || prefix == "$PO" || prefix == "$!!") {
        Relay(to, withEnd);
    } else if (prefix == "%") {
        SendAllExcept(&client, withEnd);
    } else if (prefix == "$AX") {
        if (Field(f, 2) != "METAR") return;
        std::string station = Field(f, 3);
        std::string report = DefaultMetar(station);
        for (const auto& [name, text] : m_options.scenario.metars) {
            if (name == station) report = text;
        }
        SendTo(client, HalkLineBuilder("$AR")
                           .Field("SERVER")
                           .Field(client.callsign)
                           .Field("METAR")
                           .Last(report)
                           .Finish());
    } else if (prefix == "#DA") {
        if (!client.departed) SendAllExcept(&client, withEnd);
        client.departed = true;
    }
}

void TarqTestServer::HandleServerQuery(Client& client, const std::string& what, const std::string& argument) {
    const std::string& me = client.callsign;
    if (what == "IP") {
        HalkAddresses addresses;
        client.connection->GetAddresses(addresses);
        uint32_t a = addresses.peerIp;
        std::string ip = std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 255) + "." +
                         std::to_string((a >> 8) & 255) + "." + std::to_string(a & 255);
        SendTo(client, "$CRSERVER:" + me + ":IP:" + ip + "\r\n");
    } else if (what == "CAPS") {
        SendTo(client, "$CRSERVER:" + me + ":CAPS:ATCINFO=1:SECPOS=1\r\n");
    } else if (what == "ATC") {
        std::string target = argument.empty() ? me : argument;
        Client* other = Find(target);
        const Controller* scripted = FindController(target);
        bool valid = (other && other->loggedIn && other->rating > 1) || (scripted && scripted->script->rating > 1);
        SendTo(client, "$CRSERVER:" + me + ":ATC:" + (valid ? "Y" : "N") + ":" + target + "\r\n");
    } else if (what == "FP") {
        const Pilot* pilot = FindPilot(argument);
        if (pilot && !pilot->script->rules.empty()) {
            SendTo(client, FlightPlanLine(*pilot->script));
        } else {
            SendError(client, kErrorNoFlightPlan, argument, "No flightplan");
        }
    }
}

void TarqTestServer::ReportPilots(uint64_t now) {
    if (m_options.positionIntervalMs == 0) return;
    if (!m_options.spreadReports) {
        if (now - m_lastPositionsMs < m_options.positionIntervalMs) return;
        MovePilots(static_cast<double>(now - m_lastPositionsMs) / 1000.0);
        m_lastPositionsMs = now;
        for (const Pilot& pilot : m_pilots) {
            if (!pilot.gone) SendAllExcept(nullptr, PilotPositionLine(pilot));
        }
        return;
    }
    // Everyone moves ten times a second; each reports when its own time comes.
    if (now - m_lastPositionsMs >= 100) {
        MovePilots(static_cast<double>(now - m_lastPositionsMs) / 1000.0);
        m_lastPositionsMs = now;
    }
    for (Pilot& pilot : m_pilots) {
        if (pilot.gone || now < pilot.nextReportMs) continue;
        pilot.nextReportMs += m_options.positionIntervalMs;
        if (pilot.nextReportMs <= now) pilot.nextReportMs = now + m_options.positionIntervalMs;
        SendAllExcept(nullptr, PilotPositionLine(pilot));
    }
}

void TarqTestServer::RunControllers(uint64_t now) {
    const uint64_t elapsedMs = now - m_startMs;
    for (Controller& c : m_controllers) {
        if (c.gone) continue;
        const ScenarioController& s = *c.script;
        if (c.present && s.untilSeconds >= 0 && elapsedMs >= static_cast<uint64_t>(s.untilSeconds) * 1000) {
            c.present = false;
            c.gone = true;
            SendAllExcept(nullptr, "#DA" + s.callsign + ":SERVER\r\n");
            continue;
        }
        if (!c.present && elapsedMs >= static_cast<uint64_t>(s.fromSeconds) * 1000) {
            c.present = true;
            c.lastReportMs = 0;
        }
        if (c.present && (c.lastReportMs == 0 || now - c.lastReportMs >= m_options.controllerIntervalMs)) {
            c.lastReportMs = now == 0 ? 1 : now;
            SendAllExcept(nullptr, ControllerPositionLine(s));
        }
    }
}

std::string TarqTestServer::ControllerPositionLine(const ScenarioController& c) const {
    return "%" + c.callsign + ":" + std::to_string(c.frequency - 100000) + ":" + std::to_string(c.facility) + ":" +
           std::to_string(c.visibilityRange) + ":" + std::to_string(c.rating) + ":" + FormatDegrees(c.latitude) +
           ":" + FormatDegrees(c.longitude) + ":0\r\n";
}

const TarqTestServer::Controller* TarqTestServer::FindController(std::string_view callsign) const {
    for (const Controller& c : m_controllers) {
        if (c.present && c.script->callsign == callsign) return &c;
    }
    return nullptr;
}

const TarqTestServer::Pilot* TarqTestServer::FindPilot(std::string_view callsign) const {
    for (const Pilot& pilot : m_pilots) {
        if (!pilot.gone && pilot.script->callsign == callsign) return &pilot;
    }
    return nullptr;
}

void TarqTestServer::MovePilots(double seconds) {
    for (Pilot& pilot : m_pilots) {
        const auto& route = pilot.script->waypoints;
        if (pilot.gone || route.size() < 2) continue;
        double toFly = pilot.script->groundSpeed * seconds / 3600.0;  // NM
        for (int guard = 0; guard < 1000; ++guard) {
            auto [lat, lon] = route[pilot.nextWaypoint];
            double north = (lat - pilot.latitude) * 60.0;
            double east = (lon - pilot.longitude) * 60.0 * std::cos(pilot.latitude * kPi / 180.0);
            double leg = std::hypot(north, east);
            if (leg > 1e-9) {
                pilot.heading = std::fmod(std::atan2(east, north) * 180.0 / kPi + 360.0, 360.0);
            }
            const int target = pilot.nextWaypoint < pilot.script->waypointAltitudes.size()
                                   ? pilot.script->waypointAltitudes[pilot.nextWaypoint]
                                   : -1;
            if (toFly < leg) {
                pilot.latitude += (lat - pilot.latitude) * toFly / leg;
                pilot.longitude += (lon - pilot.longitude) * toFly / leg;
                if (target >= 0) pilot.altitude += (target - pilot.altitude) * toFly / leg;
                break;
            }
            toFly -= leg;
            pilot.latitude = lat;
            pilot.longitude = lon;
            if (target >= 0) pilot.altitude = target;
            if (++pilot.nextWaypoint == route.size()) {
                if (!pilot.script->loop) {
                    pilot.gone = true;
                    SendAllExcept(nullptr, "#DP" + pilot.script->callsign + "\r\n");
                    break;
                }
                pilot.nextWaypoint = 0;
            }
            if (toFly <= 0) {
                toFly = 0;  // one more round sets the heading of the new leg
            }
        }
    }
}

std::string TarqTestServer::PilotPositionLine(const Pilot& pilot) const {
    const ScenarioPilot& s = *pilot.script;
    std::string line = "@N:" + s.callsign + ":" + FormatSquawk(s.squawk) +
                       ":1:" + FormatDegrees(pilot.latitude) + ":" + FormatDegrees(pilot.longitude) + ":" +
                       std::to_string(std::lround(pilot.altitude)) + ":" + std::to_string(s.groundSpeed) + ":" +
                       std::to_string(EncodePackedPBH(0, 0, pilot.heading)) + ":0\r\n";
    return line;
}

std::string TarqTestServer::FlightPlanLine(const ScenarioPilot& s) const {
    return HalkLineBuilder("$FP")
        .Field(s.callsign)
        .Field("*A")
        .Field(s.rules)
        .Field(s.aircraftType)
        .Field(s.trueAirspeed)
        .Field(s.departure)
        .Field(1200)
        .Field(1200)
        .Field(s.cruiseAltitude)
        .Field(s.destination)
        .Field(1)
        .Field(30)
        .Field(3)
        .Field(0)
        .Field(s.alternate)
        .Field(s.remarks.empty() ? "/v/" : s.remarks)
        .Last(s.route)
        .Finish();
}

bool TarqTestServer::Inject(std::string_view who, std::string_view bytes) {
    Client* client = Find(who);
    if (!client) return false;
    SendTo(*client, bytes);
    return true;
}

bool TarqTestServer::SendSplit(std::string_view who, std::string_view bytes, size_t at) {
    Client* client = Find(who);
    if (!client || at > bytes.size()) return false;
    client->connection->Send(bytes.substr(0, at));
    client->connection->Poll(0);
    client->pendingTail.assign(bytes.substr(at));
    return true;
}

bool TarqTestServer::SetStalled(std::string_view who, bool stalled) {
    Client* client = Find(who);
    if (!client) return false;
    client->stalled = stalled;
    return true;
}

bool TarqTestServer::HalfClose(std::string_view who) {
    Client* client = Find(who);
    if (!client) return false;
    client->connection->Flush();
    return true;
}

bool TarqTestServer::CloseAbruptly(std::string_view who) {
    Client* client = Find(who);
    if (!client) return false;
    client->connection->Socket().Abort();
    return true;
}

bool TarqTestServer::Challenge(std::string_view who) {
    Client* client = Find(who);
    if (!client || !client->loggedIn) return false;
    SendChallenge(*client);
    client->connection->Poll(0);
    return true;
}

std::vector<std::string> TarqTestServer::LoggedIn() const {
    std::vector<std::string> names;
    for (const auto& client : m_clients) {
        if (client->loggedIn) names.push_back(client->callsign);
    }
    return names;
}

std::vector<std::string> TarqTestServer::Received(std::string_view who) const {
    Client* client = FindAny(who);
    return client ? client->received : std::vector<std::string>{};
}

int TarqTestServer::VerifiedAnswers(std::string_view who) const {
    Client* client = FindAny(who);
    return client ? client->verified : 0;
}

bool TarqTestServer::Delivered(std::string_view who) const {
    Client* client = Find(who);
    if (!client) return false;
    size_t received = 0, queued = 0;
    client->connection->GetBufferSizes(received, queued);
    int unacknowledged = 0;
    return queued == 0 && ioctl(client->connection->Socket().Descriptor(), SIOCOUTQ, &unacknowledged) == 0 &&
           unacknowledged == 0;
}

int TarqTestServer::WrongAnswers(std::string_view who) const {
    Client* client = FindAny(who);
    return client ? client->wrong : 0;
}

std::string TarqTestServer::LastAnswerSent(std::string_view who) const {
    Client* client = FindAny(who);
    return client ? client->lastAnswer : std::string();
}
