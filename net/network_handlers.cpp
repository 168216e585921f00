// The network manager's packet handlers: each packet kind of the two sessions
// to its effect on the aircraft and controller databases, the radio history,
// the sounds, the manager's own state and the owners of network_owners.h.
// Every handler runs on the main thread inside the sessions' poll.
// Tested by tests/net/network_handlers_test.cpp.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "atc/aircraft_db.h"
#include "atc/controller_db.h"
#include "foundation/text_helpers.h"
#include "net/network_manager.h"
#include "net/network_records.h"
#include "regex/rpattern.h"

namespace {

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

bool IsServer(const std::string& sender) { return ToUpper(sender) == "SERVER"; }

bool IsBroadcast(const std::string& to) { return to == "*" || to == "*S"; }

// Server errors after which the server will not keep the connection.
bool IsDisconnectingError(int code) {
    switch (code) {
        case 1:
        case 2:
        case 3:
        case 6:
        case 10:
        case 11:
        case 12:
        case 13:
        case 15:
        case 16:
            return true;
        default:
            return false;
    }
}

std::vector<std::pair<std::string, std::string>> Pairs(const char* const* keyValues) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (; keyValues && keyValues[0] && keyValues[1]; keyValues += 2) pairs.emplace_back(keyValues[0], keyValues[1]);
    return pairs;
}

// Query and reply kinds of the session's callbacks.
constexpr int kFrequency = 1;
constexpr int kATIS = 3;
constexpr int kServerVersion = 4;
constexpr int kRealName = 5;
constexpr int kATC = 6;
constexpr int kIP = 8;

// Data item kinds and track notice kinds of the session's callbacks.
enum DataKind { kSC = 0, kVT = 1, kBC = 2, kFA = 3, kTA = 4 };
enum NoticeKind { kIT = 0, kDR = 1, kIH = 2, kWH = 3, kPT = 4, kDP = 5 };

}  // namespace

// The session callbacks: each finds the manager in the user value.
struct NetworkHandlers {
    static TarqNetworkManager& M(void* user) { return *static_cast<TarqNetworkManager*>(user); }

    // --- controller session -------------------------------------------------------------

    static void OnConnectionState(HalkSession*, int, int state, void* user) { M(user).OnConnectionState(state); }

    static void OnTextMessage(HalkSession*, const char* from, const char* to, const char* text, void* user) {
        TarqNetworkManager& m = M(user);
        const std::string sender = ToUpper(Text(from));
        const std::string message = Text(text);
        const std::string recipient = Text(to);
        if (IsBroadcast(recipient)) {
            m.m_owners.display->AddBroadcast(sender, recipient == "*S", message);
            return;
        }
        if (!m.m_pendingFind.empty() && ToUpper(m.m_pendingFind) == sender) CentreOnFind(m, message);
        const bool rejecting = m.m_rejectAll || m.m_rejectPrivate;
        const bool knownController = m.m_controllerDB && m.m_controllerDB->GetController(sender) != nullptr;
        if (rejecting && message.rfind("***", 0) != 0 && sender != "SERVER" &&
            (m.m_rejectAll || !knownController)) {
            m.SendBusyReply(sender);
            return;
        }
        m.m_owners.chat->OnIncomingMessage(sender, message);
    }

    // The answer to an "INF" query carries the position as "LT=... LO=... AL".
    static void CentreOnFind(TarqNetworkManager& m, const std::string& message) {
        static const regex::rpattern pattern("LT=(\\S+)\\s+LO=(\\S+)\\s+AL", regex::noflags,
                                             regex::recursive_mode);
        regex::match_results groups;
        try {
            if (!pattern.match_text(message, groups).matched) return;
        } catch (const regex::match_limit_exceeded&) {
            return;  // a reply built to stall the search finds nothing
        }
        const double latitude = HalkToDouble(groups[1].str().c_str());
        const double longitude = HalkToDouble(groups[2].str().c_str());
        m.m_owners.display->CentreMainScope(latitude, longitude);
        m.m_pendingFind.clear();
    }

    static void OnRadioMessage(HalkSession*, const char* from, int count, const int32_t* frequencies,
                               const char* text, void* user) {
        TarqNetworkManager& m = M(user);
        const std::vector<int32_t> listening = m.m_owners.comms->GetRXFrequencies();
        for (int i = 0; i < count; ++i) {
            if (std::find(listening.begin(), listening.end(), frequencies[i]) == listening.end()) continue;
            m.m_owners.display->AddRadioMessage(Text(from), frequencies[i], Text(text));
        }
    }

    static void OnPilotPosition(HalkSession*, const char* callsign, const PilotPositionRecord& record,
                                void* user) {
        TarqNetworkManager& m = M(user);
        if (!m.IsConnected() || !m.m_aircraftDB) return;
        m.m_aircraftDB->UpdatePilotPosition(Text(callsign), ToAircraftReport(record));
    }

    static void OnATCPosition(HalkSession*, const char* callsign, const ATCPositionRecord& record, void* user) {
        TarqNetworkManager& m = M(user);
        if (m.m_controllerDB) m.m_controllerDB->UpdateFromPositionReport(Text(callsign), ToControllerReport(record));
    }

    static void OnKill(HalkSession*, const char* reason, void* user) {
        TarqNetworkManager& m = M(user);
        m.m_services.messages->ShowError("You were forcibly disconnected from the network. Reason: " +
                                         Text(reason));
        if (m.m_controllerDB) m.m_controllerDB->Clear();
        if (m.m_aircraftDB) m.m_aircraftDB->Clear();
        m.m_owners.comms->SyncVoiceCheckBoxes();
    }

    static void OnPong(HalkSession*, const char* from, long long seconds, void* user) {
        char line[50];
        std::snprintf(line, sizeof line, "Ping reply from %s: %lld seconds.", from ? from : "", seconds);
        M(user).m_services.messages->ShowMessage(line);
    }

    static void OnFlightPlan(HalkSession*, const char* callsign, const FlightPlanPacket& plan, void* user) {
        TarqNetworkManager& m = M(user);
        const std::string name = Text(callsign);
        if (m.m_aircraftDB) m.m_aircraftDB->OnFlightPlanReceived(name, ToFlightPlanRecord(plan));
        if (m.m_awaitedFlightPlan.empty() || ToUpper(name) != ToUpper(m.m_awaitedFlightPlan)) return;
        m.m_awaitedFlightPlan.clear();
        // The database already refreshed an editor showing this callsign; one
        // moved on to another aircraft meanwhile comes back to the asked-for plan.
        if (m.m_services.tools->GetEditorCallsign() != name) m.m_services.tools->ShowFlightPlan(name);
    }

    static void OnHandoffOffer(HalkSession*, const char* from, const char* aircraft, void* user) {
        TarqNetworkManager& m = M(user);
        if (m.m_aircraftDB) m.m_aircraftDB->OnHandoffRequest(Text(aircraft), Text(from));
    }

    static void OnHandoffAccept(HalkSession*, const char*, const char* from, const char* aircraft, void* user) {
        TarqNetworkManager& m = M(user);
        if (m.m_aircraftDB) m.m_aircraftDB->OnHandoffAccepted(Text(aircraft), Text(from));
    }

    static void OnHandoffRefuse(HalkSession*, const char* from, const char* aircraft, void* user) {
        TarqNetworkManager& m = M(user);
        if (m.m_aircraftDB) m.m_aircraftDB->OnHandoffRefused(Text(aircraft), Text(from));
    }

    static void OnMetar(HalkSession*, const char* text, void* user) {
        M(user).m_owners.weather->OnMetar(Text(text));
    }

    static void OnClientQuery(HalkSession* session, const char* from, int kind, const char*, void* user) {
        TarqNetworkManager& m = M(user);
        if (kind == kATIS) {
            m.SendATISReply(Text(from));
        } else if (kind == kRealName) {
            session->SendReply(kRealName, Text(from), m.m_owners.display->GetMainSectorFileName());
        }
    }

    static void OnClientReply(HalkSession*, const char* from, int kind, const char* value, const char* extra,
                              void* user) {
        TarqNetworkManager& m = M(user);
        const std::string sender = Text(from);
        switch (kind) {
            case kFrequency:
                m.m_services.messages->ShowMessage("Frequency for " + sender + " is " + Text(value));
                break;
            case kRealName:
                if (TarqController* controller = m.m_controllerDB ? m.m_controllerDB->GetController(sender) : nullptr) {
                    controller->SetRealName(Text(value));
                    controller->SetInfoText(Text(extra));
                    m.m_owners.chat->RefreshChatTitle(sender);
                    m.m_services.tools->RebuildControllerList();
                } else if (TarqAircraft* aircraft = m.m_aircraftDB ? m.m_aircraftDB->GetAircraft(sender) : nullptr) {
                    aircraft->SetRealName(Text(value));
                }
                break;
            case kATC:
                // Only the answer about the own callsign says anything about us.
                if (extra && ToUpper(extra) == ToUpper(m.m_services.settings->GetString("Callsign"))) {
                    m.m_validAtc = Text(value) == "Y";
                }
                break;
            case kIP:
                m.m_publicAddress = Text(value);
                break;
            case kServerVersion:
            default:
                break;
        }
    }

    static void OnCapabilities(HalkSession*, const char* from, const char* const* keyValues, void* user) {
        TarqNetworkManager& m = M(user);
        if (!IsServer(Text(from))) return;
        for (const auto& [key, value] : Pairs(keyValues)) m.m_serverCapabilities[key] = value;
    }

    static void OnATISLine(HalkSession*, const char* from, char kind, const char* text, void* user) {
        std::string line;
        switch (kind) {
            case 'E':
                return;
            case 'V':
                line = "Voice URL: " + Text(text);
                break;
            case 'Z':
                line = "Estimated Logoff Time: " + Text(text);
                break;
            default:
                line = Text(text);
                break;
        }
        if (line.size() > 1023) line.resize(1023);
        M(user).m_owners.chat->OnIncomingMessage(Text(from), line);
    }

    static void OnServerError(HalkSession*, int code, const char* message, const char* parameter, void* user) {
        TarqNetworkManager& m = M(user);
        const std::string text = Text(message);
        // During the login any error ends the attempt: the server will not
        // take us as we are.
        if (IsDisconnectingError(code) || (!m.IsConnected() && m.m_session->GetState() == HalkSession::kConnected)) {
            m.Disconnect();
            m.m_services.messages->ShowError(text);
            return;
        }
        if (code == 7) {
            m.m_services.messages->ShowError(text + ": " + Text(parameter));
        } else if (code == 8) {
            const std::string quiet = m.m_owners.display->GetSuppressedLookup();
            if (quiet.empty() || Text(parameter).find(quiet) == std::string::npos) m.m_services.messages->ShowError(text);
        } else if (code != 9) {
            m.m_services.messages->ShowError(text);
        }
    }

    static void OnPlaneInfo(HalkSession*, const char* from, const char* const* keyValues, void* user) {
        TarqNetworkManager& m = M(user);
        if (m.m_aircraftDB) m.m_aircraftDB->SetModelInfo(Text(from), Pairs(keyValues));
    }

    static void OnPilotDeleted(HalkSession*, const char* callsign, void* user) {
        TarqNetworkManager& m = M(user);
        if (m.m_aircraftDB) m.m_aircraftDB->RemoveAircraft(Text(callsign), false);
    }

    static void OnATCDeleted(HalkSession*, const char* callsign, void* user) {
        TarqNetworkManager& m = M(user);
        if (m.m_controllerDB) m.m_controllerDB->RemoveController(Text(callsign), true);
    }

    static void OnControllerData(HalkSession*, const char* from, const char* aircraft, int kind, const char* value,
                                 void* user) {
        TarqNetworkManager& m = M(user);
        if (!m.m_aircraftDB) return;
        TarqAircraftDB& db = *m.m_aircraftDB;
        const std::string callsign = Text(aircraft);
        const std::string sender = Text(from);
        const std::string text = Text(value);
        switch (kind) {
            case kSC:
                db.SetScratchpad(callsign, sender, text, true);
                break;
            case kVT: {
                const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text.empty() ? ' ' : text[0])));
                db.SetVoiceType(callsign, sender, letter == 'V' ? 3 : letter == 'R' ? 2 : letter == 'T' ? 1 : 0);
                break;
            }
            case kBC:
                db.SetAssignedSquawk(callsign, sender, static_cast<uint16_t>(HalkToInt(value)));
                break;
            case kTA:
                db.SetTemporaryAltitude(callsign, sender, HalkToInt(value));
                break;
            case kFA:  // the amended flight plan carries the cruise altitude
            default:
                break;
        }
    }

    static void OnTrackMessage(HalkSession*, const char* from, const char* aircraft, int kind, void* user) {
        TarqNetworkManager& m = M(user);
        if (!m.m_aircraftDB) return;
        TarqAircraftDB& db = *m.m_aircraftDB;
        const std::string callsign = Text(aircraft);
        const std::string sender = Text(from);
        switch (kind) {
            case kIT:
            case kIH:
                db.SetTrackingController(callsign, sender);
                break;
            case kDR:
                db.DropTrack(callsign, sender);
                break;
            case kWH:
                db.OnWhoHas(callsign, sender);
                break;
            case kPT:
                db.OnPointoutReceived(callsign, sender);
                break;
            case kDP:
            default:
                break;
        }
    }

    static void OnBreakState(HalkSession*, const char* from, int on, void* user) {
        TarqNetworkManager& m = M(user);
        if (m.m_controllerDB) m.m_controllerDB->SetBreakRequest(ToUpper(Text(from)), on != 0);
        m.m_services.tools->RebuildControllerList();
    }

    static void OnIDRequest(HalkSession* session, const char*, void* user) {
        TarqNetworkManager& m = M(user);
        if (m.m_breakRequest) session->SendBreak(true);
        if (m.m_helpRequest) session->SendHelpRequest(true, m.m_helpMessage);
    }

    static void OnStripPushed(HalkSession*, const char* from, const char* callsign, int type,
                              const char* const* texts, void* user) {
        TarqNetworkManager& m = M(user);
        const std::string sender = Text(from);
        const std::string aircraft = Text(callsign);
        if (m.m_services.settings->GetBool("IgnorePushedStrips")) {
            m.m_services.messages->ShowMessage("Ignored flight strip for " + aircraft + " pushed from " + sender +
                                               ".");
            return;
        }
        m.m_services.messages->ShowMessage("Received flight strip for " + aircraft + " from " + sender + ".");
        std::vector<std::string> annotations;
        for (; texts && *texts; ++texts) annotations.emplace_back(*texts);
        m.m_owners.strips->AddStrip(aircraft, type, annotations);
        m.m_services.sounds->PlayConfiguredSound(m.m_services.settings->GetString("SoundStripReceived"), false);
    }

    static void OnHelpRequest(HalkSession*, const char* from, int on, const char* text, void* user) {
        TarqNetworkManager& m = M(user);
        const std::string sender = Text(from);
        if (m.m_controllerDB) {
            m.m_controllerDB->SetHelpFlag(sender, on != 0);
            m.m_controllerDB->SetHelpMessage(sender, on ? Text(text) : std::string());
        }
        m.m_services.tools->RebuildControllerList();
        m.m_owners.controllerList->ShowControllerInfo(sender);
    }

    static void Ignore(HalkSession*, const char*, const char*, void*) {}

    // --- voice-ATIS session ------------------------------------------------------------

    static void OnVoiceAtisState(HalkSession*, int, int state, void* user) { M(user).OnVoiceAtisState(state); }

    static void OnVoiceAtisText(HalkSession* session, const char* from, const char* to, const char*, void* user) {
        TarqNetworkManager& m = M(user);
        const std::string sender = Text(from);
        if (IsBroadcast(Text(to)) || IsServer(sender)) return;
        session->SendTextMessage(sender, "This is an ATIS-only connection provided by " +
                                             m.m_services.settings->GetString("Callsign") +
                                             ". Your message will not be received.");
    }

    static void OnVoiceAtisKill(HalkSession*, const char* reason, void* user) {
        M(user).m_services.messages->ShowError(
            "The voice ATIS connection was forcibly disconnected from the network. Reason: " + Text(reason));
    }

    static void OnVoiceAtisError(HalkSession*, int code, const char* message, const char*, void* user) {
        TarqNetworkManager& m = M(user);
        if (IsDisconnectingError(code)) m.DisconnectVoiceAtis();
        m.m_services.messages->ShowError("Voice ATIS connection error: " + Text(message));
    }

    static void OnVoiceAtisQuery(HalkSession* session, const char* from, int kind, const char*, void* user) {
        TarqNetworkManager& m = M(user);
        if (kind == kATIS) {
            m.SendVoiceATISReply(Text(from));
        } else if (kind == kRealName) {
            session->SendReply(kRealName, Text(from),
                               "Vox ATIS for " + m.m_services.settings->GetString("Callsign"));
        }
    }
};

void TarqNetworkManager::RegisterHandlers() {
    using H = NetworkHandlers;
    void* me = this;
    if (HalkSession* s = m_session.get()) {
        s->SetStateCallback(H::OnConnectionState, me);
        s->SetPrivateMessageCallback(H::OnTextMessage, me);
        s->SetRadioMessageCallback(H::OnRadioMessage, me);
        s->SetPilotPositionCallback(H::OnPilotPosition, me);
        s->SetATCPositionCallback(H::OnATCPosition, me);
        s->SetKillCallback(H::OnKill, me);
        s->SetPongCallback(H::OnPong, me);
        s->SetFlightPlanCallback(H::OnFlightPlan, me);
        s->SetHandoffOfferCallback(H::OnHandoffOffer, me);
        s->SetHandoffAcceptCallback(H::OnHandoffAccept, me);
        s->SetHandoffCancelCallback(H::OnHandoffRefuse, me);
        s->SetMETARCallback(H::OnMetar, me);
        s->SetQueryCallback(H::OnClientQuery, me);
        s->SetReplyCallback(H::OnClientReply, me);
        s->SetCapabilitiesCallback(H::OnCapabilities, me);
        s->SetATISLineCallback(H::OnATISLine, me);
        s->SetErrorCallback(H::OnServerError, me);
        s->SetPlaneInfoCallback(H::OnPlaneInfo, me);
        s->SetDeletePilotCallback(H::OnPilotDeleted, me);
        s->SetDeleteATCCallback(H::OnATCDeleted, me);
        s->SetATCDataCallback(H::OnControllerData, me);
        s->SetATCNoticeCallback(H::OnTrackMessage, me);
        s->SetBreakCallback(H::OnBreakState, me);
        s->SetIdentifyCallback(H::OnIDRequest, me);
        s->SetStripPushCallback(H::OnStripPushed, me);
        s->SetHelpCallback(H::OnHelpRequest, me);
        s->SetPrivateOtherCallback(H::Ignore, me);
        s->SetInfoOtherCallback(H::Ignore, me);
    }
    if (HalkSession* s = m_voiceSession.get()) {
        s->SetStateCallback(H::OnVoiceAtisState, me);
        s->SetPrivateMessageCallback(H::OnVoiceAtisText, me);
        s->SetQueryCallback(H::OnVoiceAtisQuery, me);
        s->SetKillCallback(H::OnVoiceAtisKill, me);
        s->SetErrorCallback(H::OnVoiceAtisError, me);
    }
}
