// The network manager's controller actions. Tested by tests/net/network_manager_test.cpp.
#include "net/network_manager.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "atc/aircraft_db.h"
#include "atc/flight_plan_record.h"
#include "foundation/program_version.h"
#include "foundation/start_directory.h"
#include "foundation/text_helpers.h"
#include "atc/controller_db.h"
#include "net/halk_session.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"

namespace {

// Query kinds of the session's client-query writer.
enum QueryKind { kFP = 0, kFrequencyQuery = 1, kINF = 2, kATIS = 3, kRN = 5, kATC = 6, kCAPS = 7, kIP = 8 };
// Data item kinds.
enum DataKind { kSC = 0, kVT = 1, kBC = 2, kFA = 3, kTA = 4 };
// Track notice kinds.
enum NoticeKind { kIT = 0, kDR = 1, kIH = 2, kWH = 3, kPT = 4 };

// "%04d" of a code from 0 to 9999.
std::string FourDigits(int code) {
    std::string text = std::to_string(code);
    return std::string(text.size() < 4 ? 4 - text.size() : 0, '0') + text;
}

std::string NoColons(std::string text) {
    std::replace(text.begin(), text.end(), ':', ' ');
    return text;
}

// The ATIS is kept as one text with its lines joined by '|'; an empty text has no lines.
std::vector<std::string> ATISLines(const std::string& atis) {
    std::vector<std::string> lines;
    if (atis.empty()) return lines;
    size_t start = 0;
    for (size_t bar = atis.find('|'); bar != std::string::npos; bar = atis.find('|', start)) {
        lines.push_back(atis.substr(start, bar - start));
        start = bar + 1;
    }
    lines.push_back(atis.substr(start));
    return lines;
}

}  // namespace

std::string TarqNetworkManager::ClientName() { return std::string(kProgramName) + " " + kProgramVersion; }

std::string TarqNetworkManager::LoginKey() {
    // Built at run time so the key never stands in the binary as one string.
    const uint32_t parts[4] = {0x9c3e51a7u, 0xd2f08b64u, 0x7a1ec953u, 0xe48b26fdu};
    std::string key;
    for (uint32_t part : parts) {
        char digits[8];
        auto end = std::to_chars(digits, digits + sizeof digits, part, 16).ptr;
        key.append(digits, end);
    }
    return key;
}

namespace {

// The manager is the network its own services name.
AtcServices WithNetwork(AtcServices services, AtcNetwork* self) {
    services.network = self;
    return services.Checked("TarqNetworkManager");
}

const NetworkOwners& Checked(const NetworkOwners& owners) {
    if (const char* missing = owners.Missing()) {
        std::fprintf(stderr, "TarqNetworkManager: network owner %s not bound\n", missing);
        std::abort();
    }
    return owners;
}

}  // namespace

TarqNetworkManager::TarqNetworkManager(const AtcServices& services, const NetworkOwners& owners,
                                       int32_t machineNumber)
    : m_services(WithNetwork(services, this)), m_owners(Checked(owners)) {
    const std::string key = LoginKey();
    const Clock* clock = m_services.clock;
    m_session = HalkSession::Create(ClientName(), kFirstId, kSecondId, "", kProtocolRevision, kClientId, key,
                                    kControllerCapabilities, clock);
    m_voiceSession = HalkSession::Create(ClientName(), kFirstId, kSecondId, "", kProtocolRevision, kClientId,
                                         key, kVoiceAtisCapabilities, clock);
    m_session->SetMachineNumber(machineNumber);
    m_voiceSession->SetMachineNumber(machineNumber);
    RegisterHandlers();
}

TarqNetworkManager::TarqNetworkManager(const AtcServices& services, const NetworkOwners& owners,
                                       std::unique_ptr<HalkSession> controllerSession,
                                       std::unique_ptr<HalkSession> voiceAtisSession)
    : m_services(WithNetwork(services, this)),
      m_owners(Checked(owners)),
      m_session(std::move(controllerSession)),
      m_voiceSession(std::move(voiceAtisSession)) {
    RegisterHandlers();
}

// A look-up still running is waited for here: no thread outlives the manager.
TarqNetworkManager::~TarqNetworkManager() = default;

void TarqNetworkManager::OnTimer() {
    m_serverList->DeliverNotices();
    std::erase_if(m_abandonedLookups, [](const std::future<uint32_t>& lookup) {
        return lookup.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    if (m_lookup.valid() && m_lookup.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        const uint32_t ip = m_lookup.get();
        if (ip == 0) {
            m_services.messages->ShowError("Could not find the address of server " + m_connectServer + ".");
            m_owners.display->OnConnectionChanged();
        } else {
            StartConnect(std::to_string(ip >> 24) + "." + std::to_string((ip >> 16) & 255) + "." +
                         std::to_string((ip >> 8) & 255) + "." + std::to_string(ip & 255));
        }
    }
    const std::time_t now = m_services.clock->WallSeconds();
    if (now - m_lastPositionTime > 15) {
        m_lastPositionTime = now;
        SendATCPosition();
        if (m_aircraftDB) m_aircraftDB->RequestMissingModelInfo();
    }
    if (GetServerCapability("SECPOS") == "1" && now - m_lastCentresTime > 60) {
        m_lastCentresTime = now;
        SendVisibilityCentres();
    }
    if (m_session) m_session->Poll();
    if (m_voiceSession) m_voiceSession->Poll();
}

void TarqNetworkManager::SendVisibilityCentres() {
    for (int centre = 1; centre <= 3; ++centre) {
        const ScopePoint point = m_services.scope->GetVisibilityCenter(centre);
        if (point.x == 0.0 && point.y == 0.0) continue;
        m_session->SendSecondaryPosition(centre - 1, point.y, point.x);
    }
}

namespace {
// A server address may end in ":port" (a local server on a port of its own);
// otherwise the network's port is used.
std::pair<std::string, int> SplitPort(const std::string& address) {
    const size_t colon = address.rfind(':');
    if (colon == std::string::npos || colon + 1 == address.size() || colon + 6 < address.size())
        return {address, HalkSession::kDefaultPort};
    int port = 0;
    auto [end, error] = std::from_chars(address.data() + colon + 1, address.data() + address.size(), port);
    if (error != std::errc() || end != address.data() + address.size() || port < 1 || port > 65535)
        return {address, HalkSession::kDefaultPort};
    return {address.substr(0, colon), port};
}
}  // namespace

void TarqNetworkManager::Connect() {
    if (IsConnecting()) CancelConnect();
    if (m_session->GetState() == HalkSession::kConnected) return;
    m_serverCapabilities.clear();
    m_connectServer = m_services.settings->GetString("Server");
    const auto [host, port] = SplitPort(GetServerAddress(m_connectServer));
    m_connectPort = port;
    m_owners.voice->EndAllLandLines();
    m_owners.voice->CloseAllVoiceRooms();
    if (host.empty()) {
        m_services.messages->ShowError("Unknown server " + m_connectServer + ": it has no address.");
        return;
    }
    in_addr dotted{};
    if (inet_pton(AF_INET, host.c_str(), &dotted) == 1) {
        StartConnect(host);
        return;
    }
    m_services.messages->ShowMessage("Looking up " + host + "...");
    // A copy, not the structured binding: clang 14 cannot capture bindings.
    const std::string lookupHost = host;
    m_lookup = std::async(std::launch::async, [lookupHost] { return HalkSocket::Resolve(lookupHost); });
    m_owners.display->OnConnectionChanged();
}

bool TarqNetworkManager::IsConnecting() const {
    return m_lookup.valid() || (m_session && m_session->GetReportedState() == HalkSession::kConnecting);
}

void TarqNetworkManager::CancelConnect() {
    if (m_lookup.valid()) {
        m_abandonedLookups.push_back(std::move(m_lookup));
        m_services.messages->ShowMessage("Connection attempt cancelled.");
        m_owners.display->OnConnectionChanged();
        return;
    }
    // The session reports the close at once; its state handler says why.
    m_cancelling = true;
    m_session->Disconnect(0);
    m_cancelling = false;
}

void TarqNetworkManager::StartConnect(const std::string& address) {
    AtcSettings& settings = *m_services.settings;
    HalkLoginInfo info{settings.GetString("Callsign"), settings.GetString("RealName"), settings.GetInt("Rating")};
    m_session->SetConnectInfo(address, m_connectPort, settings.GetString("CID"), settings.GetString("Password"),
                              info);
    if (!m_session->Connect()) {
        m_services.messages->ShowError("Could not connect to server " + m_connectServer + ".");
    }
}

void TarqNetworkManager::Disconnect() {
    if (IsConnecting()) return CancelConnect();
    // The sign-off line goes out now; a server that does not close within
    // 5 s is cut off by a later poll.
    if (m_session) m_session->Disconnect(5);
    if (IsVoiceAtisConnected()) m_voiceSession->Disconnect(5);
}

void TarqNetworkManager::ConnectVoiceAtis() {
    AtcSettings& settings = *m_services.settings;
    const std::string icao = settings.GetString("ATISMakerICAO");
    if (!IsConnected() || icao.empty()) return;
    const std::string address = m_session->ServerAddress();
    HalkLoginInfo info{icao + "_ATIS", settings.GetString("RealName"), settings.GetInt("Rating")};
    m_voiceSession->SetConnectInfo(address, m_connectPort, settings.GetString("CID"),
                                   settings.GetString("Password"), info);
    m_voiceSession->Connect();
}

void TarqNetworkManager::DisconnectVoiceAtis() {
    if (IsVoiceAtisConnected()) m_voiceSession->Disconnect(5);
}

int TarqNetworkManager::GetMalformedLineCount() const {
    return m_session->MalformedLineCount() + m_voiceSession->MalformedLineCount();
}

bool TarqNetworkManager::IsConnected() const {
    return m_session && m_session->GetReportedState() == HalkSession::kConnected;
}

bool TarqNetworkManager::IsVoiceAtisConnected() const {
    return m_voiceSession && m_voiceSession->GetReportedState() == HalkSession::kConnected;
}

void TarqNetworkManager::OnConnectionState(int state) {
    m_lastMainState = state;
    AtcSettings& settings = *m_services.settings;
    if (state == HalkSession::kClosed || state == HalkSession::kError) {
        if (m_aircraftDB) m_aircraftDB->Clear();
        if (m_controllerDB) m_controllerDB->Clear();
        DisconnectVoiceAtis();
        m_owners.atisMaker->RefreshVoiceATIS();
        m_owners.atisMaker->UpdateConnectButton();
        // Rooms and land lines end with the network; the voice boxes follow,
        // or every entry would go on answering "Not connected.".
        m_owners.comms->SyncVoiceCheckBoxes();
        m_services.sounds->PlayConfiguredSound(settings.GetString("SoundDisconnect"), false);
        const std::string& reason = m_session->FailureReason();
        if (m_cancelling) {
            m_services.messages->ShowMessage("Connection attempt cancelled.");
        } else if (state == HalkSession::kError) {
            if (!reason.empty()) m_services.messages->ShowError(reason);
            m_services.messages->ShowError("Connection failed.");
        } else if (!reason.empty()) {
            // Refused, reset or lost: not an ordinary sign-off.
            m_services.messages->ShowError(reason);
        } else {
            m_services.messages->ShowMessage("Disconnected.");
        }
        OnDisconnected();
    } else if (state == HalkSession::kConnected) {
        OnConnected();
        // The report sent now counts as the timer's: the next one is 15 s away.
        m_lastPositionTime = m_services.clock->WallSeconds();
        SendATCPosition();
        m_session->SendQuery(kIP, "");
        m_session->SendQuery(kCAPS, "SERVER");
        m_session->SendQuery(kATC, settings.GetString("Callsign"));
        m_services.sounds->PlayConfiguredSound(settings.GetString("SoundConnect"), false);
        m_services.messages->ShowMessage("Connected.");
        m_owners.weather->RequestMetarsAgain();
        m_owners.display->ApplyDisplaySettings();
        m_lastCentresTime = 0;
    } else if (state == HalkSession::kConnecting) {
        m_services.messages->ShowMessage("Connecting to network...");
    }
    m_owners.display->OnConnectionChanged();
}

void TarqNetworkManager::OnVoiceAtisState(int state) {
    AtcSettings& settings = *m_services.settings;
    if (state == HalkSession::kConnected) {
        SendVoiceAtisPosition();
        m_owners.atisMaker->UpdateConnectButton();
        m_services.sounds->PlayConfiguredSound(settings.GetString("SoundConnect"), false);
        m_services.messages->ShowMessage("Voice ATIS connected.");
    } else if (state == HalkSession::kConnecting) {
        m_services.messages->ShowMessage("Connecting voice ATIS...");
    } else if (state == HalkSession::kClosed || state == HalkSession::kError) {
        m_owners.atisMaker->RefreshVoiceATIS();
        m_owners.atisMaker->UpdateConnectButton();
        m_services.sounds->PlayConfiguredSound(settings.GetString("SoundDisconnect"), false);
        if (state == HalkSession::kError) {
            m_services.messages->ShowError("Voice ATIS connection failed.");
        } else {
            m_services.messages->ShowMessage("Voice ATIS disconnected.");
        }
    }
}

void TarqNetworkManager::OnConnected() {
    m_serverCapabilities.clear();
    m_connected = true;
    m_connectTime = m_services.clock->WallSeconds();
    m_validAtc = false;
}

void TarqNetworkManager::OnDisconnected() {
    if (m_connected) m_connectedTotal += static_cast<int>(m_services.clock->WallSeconds() - m_connectTime);
    m_connected = false;
    m_connectTime = 0;
    m_validAtc = false;
}

int TarqNetworkManager::GetConnectedTime() const {
    if (!m_connected) return m_connectedTotal;
    return m_connectedTotal + static_cast<int>(m_services.clock->WallSeconds() - m_connectTime);
}

void TarqNetworkManager::ResetConnectedTime() {
    if (m_connected) m_connectTime = m_services.clock->WallSeconds();
    m_connectedTotal = 0;
}

// --- queries ------------------------------------------------------------------------

void TarqNetworkManager::RequestFlightPlan(const std::string& callsign) {
    m_session->SendQuery(kFP, callsign);
}
void TarqNetworkManager::RequestFrequency(const std::string& callsign) {
    m_session->SendQuery(kFrequencyQuery, callsign);
}
void TarqNetworkManager::RequestInfo(const std::string& callsign) { m_session->SendQuery(kINF, callsign); }
void TarqNetworkManager::RequestATIS(const std::string& callsign) { m_session->SendQuery(kATIS, callsign); }
void TarqNetworkManager::RequestRealName(const std::string& callsign) { m_session->SendQuery(kRN, callsign); }
void TarqNetworkManager::RequestIsValidATC(const std::string& callsign) {
    m_session->SendQuery(kATC, callsign);
}
void TarqNetworkManager::RequestMETAR(const std::string& station) { m_session->RequestMETAR(station); }
void TarqNetworkManager::RequestPlaneInfo(const std::string& callsign) {
    m_session->RequestPlaneInfo(callsign);
}

void TarqNetworkManager::RequestClientVersion(const std::string& callsign) {
    AtcSettings& settings = *m_services.settings;
    if (settings.GetString("CID") != kSupervisorCid && settings.GetInt("Rating") < 11) return;
    m_session->SendVersionRequest(callsign);
}

void TarqNetworkManager::SendCCPID(const std::string& to) { m_session->SendIdentify(to); }

// --- messages -------------------------------------------------------------------------

void TarqNetworkManager::SendTextMessage(const std::string& to, const std::string& text) {
    if (m_session->SendTextMessage(to, text) > 0) NoteWrittenTo(to);
}

namespace {
// A sender written to this recently is not sent a busy reply: what it sends
// back may be its own automatic answer, and two clients that both reject
// private messages would otherwise answer each other for ever.
constexpr std::time_t kBusyReplyQuietSeconds = 60;
constexpr size_t kMaxRememberedReceivers = 256;
}  // namespace

void TarqNetworkManager::NoteWrittenTo(const std::string& to) {
    const std::time_t now = m_services.clock->WallSeconds();
    if (m_writtenTo.size() >= kMaxRememberedReceivers) {
        std::erase_if(m_writtenTo, [now](const auto& entry) { return now - entry.second > kBusyReplyQuietSeconds; });
        if (m_writtenTo.size() >= kMaxRememberedReceivers) m_writtenTo.clear();
    }
    m_writtenTo[ToUpper(to)] = now;
}

void TarqNetworkManager::SendBusyReply(const std::string& to) {
    if (m_busyReply.empty()) return;
    auto it = m_writtenTo.find(ToUpper(to));
    if (it != m_writtenTo.end() && m_services.clock->WallSeconds() - it->second <= kBusyReplyQuietSeconds) {
        ++m_suppressedBusyReplies;
        return;
    }
    SendTextMessage(to, m_busyReply);
}
void TarqNetworkManager::SendWallop(const std::string& text) { SendTextMessage("*S", text); }
void TarqNetworkManager::SendBroadcast(const std::string& text) { SendTextMessage("*", text); }

bool TarqNetworkManager::SendRadioMessage(const std::string& text) {
    if (text.empty() || !m_validAtc) return false;
    const std::vector<int32_t> frequencies = m_services.tools->GetTXFrequencies();
    if (frequencies.empty()) return false;
    m_session->SendRadioMessage(frequencies, text);
    return true;
}

bool TarqNetworkManager::SendFrequencyText(const std::string& text) {
    if (text.empty()) return false;
    const int32_t channel[] = {kControllerChannel};
    m_session->SendRadioMessage(channel, text);
    return true;
}

bool TarqNetworkManager::SendSELCAL(const std::string& code) {
    if (!IsConnected()) return false;
    return SendRadioMessage("SELCAL " + code.substr(0, 2) + "-" +
                            (code.size() > 2 ? code.substr(2, 2) : std::string()));
}

void TarqNetworkManager::SendPing(const std::string& to) { m_session->SendPing(to); }
void TarqNetworkManager::SendKill(const std::string& callsign, const std::string& reason) {
    m_session->SendKill(callsign, reason);
}

// --- handoffs and tracks ----------------------------------------------------------------

void TarqNetworkManager::SendHandoffOffer(const std::string& to, const std::string& callsign) {
    m_session->SendHandoffOffer(to, callsign);
}
void TarqNetworkManager::SendHandoffAccept(const std::string& to, const std::string& callsign) {
    m_session->SendHandoffAccept(to, callsign);
}
void TarqNetworkManager::SendHandoffCancel(const std::string& to, const std::string& callsign) {
    m_session->SendHandoffCancel(to, callsign);
}
void TarqNetworkManager::SendPointOut(const std::string& to, const std::string& callsign) {
    m_session->SendATCNotice(to, callsign, kPT);
}
void TarqNetworkManager::SendWhoHas(const std::string& callsign) {
    m_session->SendATCNotice("", callsign, kWH);
}

void TarqNetworkManager::InitiateTrack(const std::string& callsign) {
    m_session->SendATCNotice("", callsign, kIT);
    if (m_aircraftDB)
        m_aircraftDB->SetTrackingController(callsign, m_services.settings->GetString("Callsign"));
}

void TarqNetworkManager::DropTrack(const std::string& callsign) {
    m_session->SendATCNotice("", callsign, kDR);
}

void TarqNetworkManager::SendTrackData(const std::string& to, const std::string& callsign) {
    if (!m_aircraftDB || !m_aircraftDB->HasAircraft(callsign)) return;
    m_session->SendATCNotice(to, callsign, kIH);
    m_session->SendATCData("", kTA, callsign, std::to_string(m_aircraftDB->GetTemporaryAltitude(callsign)));
    const int voiceType = m_aircraftDB->GetVoiceType(callsign);
    const char* letter = voiceType == 3 ? "v" : voiceType == 2 ? "r" : voiceType == 1 ? "t" : "";
    m_session->SendATCData("", kVT, callsign, letter);
    const uint16_t squawk = m_aircraftDB->GetAssignedSquawk(callsign);
    if (squawk != 0) m_session->SendATCData("", kBC, callsign, FourDigits(squawk));
    m_session->SendATCData("", kSC, callsign, m_aircraftDB->GetScratchpad(callsign));
}

// --- data items -------------------------------------------------------------------------

void TarqNetworkManager::SendScratchpad(const std::string& callsign, const std::string& text) {
    m_session->SendATCData("", kSC, callsign, text);
}
void TarqNetworkManager::SendTemporaryAltitude(const std::string& callsign, int feet) {
    m_session->SendATCData("", kTA, callsign, std::to_string(feet));
}
void TarqNetworkManager::SendFinalAltitude(const std::string& callsign, int feet) {
    m_session->SendATCData("", kFA, callsign, std::to_string(feet));
}
void TarqNetworkManager::SendVoiceType(const std::string& callsign, const std::string& letter) {
    m_session->SendATCData("", kVT, callsign, ToLower(letter));
}

void TarqNetworkManager::AssignSquawk(const std::string& callsign, int code) {
    if (code < 0 || code >= 10000) return;
    m_session->SendATCData("", kBC, callsign, FourDigits(code));
    SendTextMessage("FP", callsign + " SET " + FourDigits(code));
}

void TarqNetworkManager::SendAmendedFlightPlan(const std::string& callsign,
                                               const TarqFlightPlanRecord& record) {
    TarqFlightPlanRecord p = record;
    if (p.aircraftType.empty()) p.aircraftType = "ZZZZ";
    if (p.departure.empty()) p.departure = "NONE";
    if (p.destination.empty()) p.destination = "NONE";
    if (p.alternate.empty()) p.alternate = "NONE";
    if (p.cruiseAltitude.empty()) p.cruiseAltitude = "0";
    for (int* number : {&p.trueAirspeed, &p.proposedDepartureTime, &p.actualDepartureTime, &p.hoursEnRoute,
                        &p.minutesEnRoute, &p.hoursFuel, &p.minutesFuel}) {
        if (*number < 1) *number = 0;
    }
    for (std::string* text : {&p.aircraftType, &p.departure, &p.cruiseAltitude, &p.destination, &p.alternate,
                              &p.remarks, &p.route}) {
        *text = NoColons(*text);
    }
    FlightPlanPacket packet;
    packet.flightRules = p.flightRules;
    packet.aircraftType = p.aircraftType.c_str();
    packet.trueAirspeed = p.trueAirspeed;
    packet.departure = p.departure.c_str();
    packet.proposedDeparture = p.proposedDepartureTime;
    packet.actualDeparture = p.actualDepartureTime;
    packet.cruiseAltitude = p.cruiseAltitude.c_str();
    packet.destination = p.destination.c_str();
    packet.hoursEnRoute = p.hoursEnRoute;
    packet.minutesEnRoute = p.minutesEnRoute;
    packet.hoursFuel = p.hoursFuel;
    packet.minutesFuel = p.minutesFuel;
    packet.alternate = p.alternate.c_str();
    packet.remarks = p.remarks.c_str();
    packet.route = p.route.c_str();
    m_session->SendFlightPlanAmend(callsign, packet);
}

// --- position ---------------------------------------------------------------------------------

void TarqNetworkManager::SendATCPosition() {
    if (!IsConnected()) return;
    AtcSettings& settings = *m_services.settings;
    AtcScope& scope = *m_services.scope;
    const int primary = m_services.tools->GetPrimaryFrequency();
    const ScopePoint centre = scope.GetVisibilityCenter(0);
    ATCPositionRecord record;
    record.frequency = primary > 0 ? primary : kNoFrequency;
    record.facility = settings.GetInt("Facility");
    record.visibilityRange = settings.GetInt("VisRange");
    record.rating = settings.GetInt("Rating");
    record.latitude = centre.y;
    record.longitude = centre.x;
    if (m_session->GetState() != HalkSession::kClosed) m_session->SendATCPosition(record);
    SendVoiceAtisPosition();
}

void TarqNetworkManager::SendVoiceAtisPosition() {
    if (!IsVoiceAtisConnected()) return;
    AtcSettings& settings = *m_services.settings;
    AtcScope& scope = *m_services.scope;
    ScopePoint airport;
    if (!scope.FindNamedPoint(settings.GetString("ATISMakerICAO"), airport)) {
        m_services.messages->ShowError(
            "Coordinates not found in sector data for airport specified in ATISMaker! Voice ATIS position "
            "update failed!");
        return;
    }
    const ScopePoint offset = scope.GetSectorOffset();
    ATCPositionRecord atis;
    atis.frequency = settings.GetInt("VoxATISFreq");
    atis.facility = 4;
    atis.visibilityRange = 0;
    atis.rating = settings.GetInt("Rating");
    atis.latitude = airport.y - offset.y;
    atis.longitude = airport.x - offset.x;
    m_voiceSession->SendATCPosition(atis);
}

// --- break, help, private messages ----------------------------------------------------------

void TarqNetworkManager::SetBreakRequest(bool on) {
    m_breakRequest = on;
    if (IsConnected()) m_session->SendBreak(on);
    m_services.messages->ShowMessage(on ? "You are now requesting a break."
                                        : "You are no longer requesting a break.");
}

void TarqNetworkManager::SetRejectPrivate(bool on, const std::string& replyText) {
    m_rejectAll = false;
    m_rejectPrivate = on;
    if (on) {
        m_busyReply = replyText;
        m_services.messages->ShowMessage(
            "You are now rejecting private messages from pilots and out of range ATC.");
    } else {
        m_busyReply.clear();
        m_services.messages->ShowMessage("You are no longer rejecting private messages.");
    }
}

void TarqNetworkManager::SetRejectAllPrivate(const std::string& replyText) {
    m_rejectPrivate = m_rejectAll = true;
    m_busyReply = replyText;
    m_services.messages->ShowMessage("You are now rejecting all private messages.");
}

void TarqNetworkManager::SetHelpRequest(bool on, const std::string& message) {
    if (on) {
        m_helpRequest = true;
        m_helpMessage = message.empty() ? "No message." : message;
        m_services.messages->ShowMessage("You are now requesting help. (" + m_helpMessage + ")");
        m_session->SendHelpRequest(true, m_helpMessage);
    } else {
        m_helpRequest = false;
        m_helpMessage.clear();
        m_services.messages->ShowMessage("You are no longer requesting help.");
        m_session->SendHelpRequest(false, "");
    }
}

void TarqNetworkManager::PushFlightStrip(const std::string& to, const std::string& callsign, int type,
                                         const std::vector<std::string>& annotations) {
    std::vector<std::string> texts;
    texts.reserve(annotations.size());
    for (const std::string& text : annotations) texts.push_back(NoColons(text));
    m_session->SendStripPush(to, callsign, type, texts);
}

// --- server capabilities and the ATIS reply ---------------------------------------------------

void TarqNetworkManager::SetServerCapability(const std::string& key, const std::string& value) {
    m_serverCapabilities[key] = value;
}

std::string TarqNetworkManager::GetServerCapability(const std::string& key) const {
    auto it = m_serverCapabilities.find(key);
    return it == m_serverCapabilities.end() ? std::string() : it->second;
}

void TarqNetworkManager::SendATISReply(const std::string& to) {
    SendATIS(*m_session, to, m_services.settings->GetString("ATIS"), "ATIS contains too many lines!",
             m_services.tools->GetPrimaryVoiceChannel());
}

void TarqNetworkManager::SendVoiceATISReply(const std::string& to) {
    const AtcSettings& settings = *m_services.settings;
    SendATIS(*m_voiceSession, to, m_services.text->GetVoiceATISText(), "Voice ATIS contains too many lines!",
             settings.GetString("VoxATISServer") + "/" + settings.GetString("ATISMakerICAO") + "_ATIS");
}

// The "$" variables describe the station that asked. A line whose expansion
// fails is left out rather than sent empty or with its raw alias words.
bool TarqNetworkManager::ExpandATISLine(const std::string& line, const std::string& requester,
                                        std::string& out) {
    out.clear();
    if (m_services.text->ExpandAliases(line, out, requester)) return true;
    m_services.messages->ShowError("Error parsing alias within ATIS. It may contain an alias loop.");
    return false;
}

void TarqNetworkManager::SendATIS(HalkSession& session, const std::string& to, const std::string& atis,
                                  const char* tooManyLines, const std::string& voiceChannel) {
    const std::vector<std::string> lines = ATISLines(atis);
    if (lines.size() > kMaxATISLines) {
        m_services.messages->ShowError(tooManyLines);
        return;
    }
    std::string expanded;
    if (GetServerCapability("ATCINFO") != "1") {
        for (const std::string& line : lines) {
            if (ExpandATISLine(line, to, expanded)) session.SendTextMessage(to, expanded);
        }
        return;
    }
    int sent = 0;
    if (!voiceChannel.empty()) {
        session.SendATISLine(to, 'V', voiceChannel);
        ++sent;
    }
    for (const std::string& line : lines) {
        // The voice room goes out on its own "V" line, never inside the text.
        std::string text = ReplaceAll(ReplaceAll(line, "$mypvtrw", ""), "$myrw", "");
        if (!ExpandATISLine(NoColons(std::move(text)), to, expanded)) continue;
        session.SendATISLine(to, 'T', expanded);
        ++sent;
    }
    if (!m_logoffTime.empty()) {
        session.SendATISLine(to, 'Z', m_logoffTime);
        ++sent;
    }
    session.SendATISLine(to, 'E', std::to_string(sent));
}
