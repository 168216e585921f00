// TarqTestClient and the callback recorder.
// Tested by tests/tools/testserver/test_server_test.cpp.
#include "tools/testserver/test_client.h"

#include <charconv>

namespace {

using Log = std::vector<std::string>;

std::string Num(int value) { return std::to_string(value); }

std::string Num(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string Text(const char* text) { return text ? text : "(null)"; }

std::string List(const char* const* list) {
    std::string joined;
    for (int i = 0; list[i]; ++i) {
        if (i) joined += ",";
        joined += list[i];
    }
    return joined;
}

void Add(void* user, std::string line) { static_cast<Log*>(user)->push_back(std::move(line)); }

}  // namespace

void RecordAllCallbacks(HalkSession& s, Log* log) {
    s.SetStateCallback([](HalkSession*, int o, int n, void* u) { Add(u, "State|" + Num(o) + "|" + Num(n)); },
                       log);
    s.SetPrivateMessageCallback(
        [](HalkSession*, const char* from, const char* to, const char* text, void* u) {
            Add(u, "PrivateMessage|" + Text(from) + "|" + Text(to) + "|" + Text(text));
        },
        log);
    s.SetRadioMessageCallback(
        [](HalkSession*, const char* from, int count, const int32_t* f, const char* text, void* u) {
            std::string list;
            for (int i = 0; i < count; ++i) list += (i ? "," : "") + Num(f[i]);
            Add(u, "RadioMessage|" + Text(from) + "|" + Num(count) + "|" + list + "|" + Text(text));
        },
        log);
    s.SetPilotPositionCallback(
        [](HalkSession*, const char* cs, const PilotPositionRecord& r, void* u) {
            Add(u, "PilotPosition|" + Text(cs) + "|" + Num(r.latitude) + "|" + Num(r.longitude) + "|" +
                       Num(r.altitude) + "|" + Num(r.altitudeDifference) + "|" + Num(r.groundSpeed) + "|" +
                       Num(r.heading) + "|" + Num(r.bank) + "|" + Num(r.pitch) + "|" + Num(r.squawk) + "|" +
                       Num(r.transponderMode) + "|" + Num(r.rating));
        },
        log);
    s.SetATCPositionCallback(
        [](HalkSession*, const char* cs, const ATCPositionRecord& r, void* u) {
            Add(u, "ATCPosition|" + Text(cs) + "|" + Num(r.frequency) + "|" + Num(r.facility) + "|" +
                       Num(r.visibilityRange) + "|" + Num(r.rating) + "|" + Num(r.latitude) + "|" +
                       Num(r.longitude) + "|" + Num(r.altitude));
        },
        log);
    s.SetDeletePilotCallback([](HalkSession*, const char* cs, void* u) { Add(u, "DeletePilot|" + Text(cs)); },
                             log);
    s.SetDeleteATCCallback([](HalkSession*, const char* cs, void* u) { Add(u, "DeleteATC|" + Text(cs)); },
                           log);
    s.SetKillCallback([](HalkSession*, const char* reason, void* u) { Add(u, "Kill|" + Text(reason)); }, log);
    s.SetPongCallback([](HalkSession*, const char* from, long long elapsed,
                         void* u) { Add(u, "Pong|" + Text(from) + "|" + std::to_string(elapsed)); },
                      log);
    s.SetFlightPlanCallback(
        [](HalkSession*, const char* cs, const FlightPlanPacket& p, void* u) {
            Add(u, "FlightPlan|" + Text(cs) + "|" + Num(p.flightRules) + "|" + Text(p.aircraftType) + "|" +
                       Num(p.trueAirspeed) + "|" + Text(p.departure) + "|" + Num(p.proposedDeparture) + "|" +
                       Num(p.actualDeparture) + "|" + Text(p.cruiseAltitude) + "|" + Text(p.destination) +
                       "|" + Num(p.hoursEnRoute) + "|" + Num(p.minutesEnRoute) + "|" + Num(p.hoursFuel) +
                       "|" + Num(p.minutesFuel) + "|" + Text(p.alternate) + "|" + Text(p.remarks) + "|" +
                       Text(p.route));
        },
        log);
    s.SetHandoffOfferCallback([](HalkSession*, const char* from, const char* ac,
                                 void* u) { Add(u, "HandoffOffer|" + Text(from) + "|" + Text(ac)); },
                              log);
    s.SetHandoffAcceptCallback(
        [](HalkSession*, const char* to, const char* from, const char* ac, void* u) {
            Add(u, "HandoffAccept|" + Text(to) + "|" + Text(from) + "|" + Text(ac));
        },
        log);
    s.SetHandoffCancelCallback([](HalkSession*, const char* from, const char* ac,
                                  void* u) { Add(u, "HandoffCancel|" + Text(from) + "|" + Text(ac)); },
                               log);
    s.SetMETARCallback([](HalkSession*, const char* text, void* u) { Add(u, "METAR|" + Text(text)); }, log);
    s.SetQueryCallback([](HalkSession*, const char* from, int kind, const char* arg,
                          void* u) { Add(u, "Query|" + Text(from) + "|" + Num(kind) + "|" + Text(arg)); },
                       log);
    s.SetReplyCallback(
        [](HalkSession*, const char* from, int kind, const char* a, const char* b, void* u) {
            Add(u, "Reply|" + Text(from) + "|" + Num(kind) + "|" + Text(a) + "|" + Text(b));
        },
        log);
    s.SetCapabilitiesCallback([](HalkSession*, const char* from, const char* const* kv,
                                 void* u) { Add(u, "Capabilities|" + Text(from) + "|" + List(kv)); },
                              log);
    s.SetATISLineCallback(
        [](HalkSession*, const char* from, char type, const char* text, void* u) {
            Add(u, "ATISLine|" + Text(from) + "|" + std::string(1, type ? type : '0') + "|" + Text(text));
        },
        log);
    s.SetErrorCallback(
        [](HalkSession*, int code, const char* message, const char* parameter, void* u) {
            Add(u, "Error|" + Num(code) + "|" + Text(message) + "|" + Text(parameter));
        },
        log);
    s.SetPrivateOtherCallback([](HalkSession*, const char* from, const char* field,
                                 void* u) { Add(u, "PrivateOther|" + Text(from) + "|" + Text(field)); },
                              log);
    s.SetInfoOtherCallback([](HalkSession*, const char* from, const char* field,
                              void* u) { Add(u, "InfoOther|" + Text(from) + "|" + Text(field)); },
                           log);
    s.SetPlaneInfoCallback([](HalkSession*, const char* from, const char* const* kv,
                              void* u) { Add(u, "PlaneInfo|" + Text(from) + "|" + List(kv)); },
                           log);
    s.SetATCDataCallback(
        [](HalkSession*, const char* from, const char* ac, int kind, const char* value, void* u) {
            Add(u, "ATCData|" + Text(from) + "|" + Text(ac) + "|" + Num(kind) + "|" + Text(value));
        },
        log);
    s.SetLandLineCallback(
        [](HalkSession*, const char* from, int kind, int type, const char* address, int port, void* u) {
            Add(u, "LandLine|" + Text(from) + "|" + Num(kind) + "|" + Num(type) + "|" + Text(address) + "|" +
                       Num(port));
        },
        log);
    s.SetATCNoticeCallback(
        [](HalkSession*, const char* from, const char* ac, int kind, void* u) {
            Add(u, "ATCNotice|" + Text(from) + "|" + Text(ac) + "|" + Num(kind));
        },
        log);
    s.SetBreakCallback([](HalkSession*, const char* from, int on,
                          void* u) { Add(u, "Break|" + Text(from) + "|" + Num(on)); },
                       log);
    s.SetIdentifyCallback([](HalkSession*, const char* from, void* u) { Add(u, "Identify|" + Text(from)); },
                          log);
    s.SetStripPushCallback(
        [](HalkSession*, const char* from, const char* cs, int number, const char* const* texts, void* u) {
            Add(u, "StripPush|" + Text(from) + "|" + Text(cs) + "|" + Num(number) + "|" + List(texts));
        },
        log);
    s.SetHelpCallback([](HalkSession*, const char* from, int on, const char* text,
                         void* u) { Add(u, "Help|" + Text(from) + "|" + Num(on) + "|" + Text(text)); },
                      log);
}

TarqTestClient::TarqTestClient(std::string callsign, uint16_t port, std::string key, Clock* clock)
    : m_callsign(std::move(callsign)), m_port(port) {
    m_session = HalkSession::Create("Tarq 1.2.3", 1, 2, "", 100, kClientId, key,
                                    "VERSION=1:SECPOS=1:ATCINFO=1:MODELDESC=1", clock);
    RecordAllCallbacks(*m_session, &m_events);
}

bool TarqTestClient::Connect() {
    HalkLoginInfo info{m_callsign, "Test " + m_callsign, 5};
    m_session->SetConnectInfo("127.0.0.1", m_port, "1000001", "secret", info);
    return m_session->Connect();
}

int TarqTestClient::FindEvent(std::string_view prefix) const {
    for (size_t i = 0; i < m_events.size(); ++i) {
        if (std::string_view(m_events[i]).substr(0, prefix.size()) == prefix) return static_cast<int>(i);
    }
    return -1;
}
