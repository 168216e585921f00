// Fuzz target: arbitrary bytes, cut into lines at LF, through the session's
// packet parser with every callback registered. Nothing here may crash, leak
// or read out of bounds. The session has no connection, so the automatic
// answers are built and dropped; the login packets that need a connection are
// covered by tests/net/halk_login_test.cpp.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/halk_session.h"
#include "platform/clock.h"

namespace {

int g_events = 0;

template <typename... A>
void Count(HalkSession*, A...) {
    ++g_events;
}

// Touches every text of a null-terminated list, so a bad pointer shows up.
void Walk(HalkSession*, const char* from, const char* const* list, void*) {
    size_t total = std::char_traits<char>::length(from);
    for (int i = 0; list[i]; ++i) total += std::char_traits<char>::length(list[i]);
    g_events += static_cast<int>(total & 1);
}

void Strips(HalkSession*, const char* from, const char* callsign, int, const char* const* texts, void* user) {
    Walk(nullptr, callsign, texts, user);
}

void Radio(HalkSession*, const char*, int count, const int32_t* frequencies, const char*, void*) {
    for (int i = 0; i < count; ++i) g_events += frequencies[i] & 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ManualClock clock(0, 1700000000);
    auto session = HalkSession::Create("Tarq 1.2.3", 1, 2, "", 100, 0x7a3d, "", "VERSION=1", &clock);
    session->SetConnectInfo("127.0.0.1", 6809, "1", "p", HalkLoginInfo{"ME", "Me", 5});
    session->SetStateCallback(Count<int, int, void*>, nullptr);
    session->SetPrivateMessageCallback(Count<const char*, const char*, const char*, void*>, nullptr);
    session->SetRadioMessageCallback(Radio, nullptr);
    session->SetPilotPositionCallback(Count<const char*, const PilotPositionRecord&, void*>, nullptr);
    session->SetATCPositionCallback(Count<const char*, const ATCPositionRecord&, void*>, nullptr);
    session->SetDeletePilotCallback(Count<const char*, void*>, nullptr);
    session->SetDeleteATCCallback(Count<const char*, void*>, nullptr);
    session->SetKillCallback(Count<const char*, void*>, nullptr);
    session->SetPongCallback(Count<const char*, long long, void*>, nullptr);
    session->SetFlightPlanCallback(Count<const char*, const FlightPlanPacket&, void*>, nullptr);
    session->SetHandoffOfferCallback(Count<const char*, const char*, void*>, nullptr);
    session->SetHandoffAcceptCallback(Count<const char*, const char*, const char*, void*>, nullptr);
    session->SetHandoffCancelCallback(Count<const char*, const char*, void*>, nullptr);
    session->SetMETARCallback(Count<const char*, void*>, nullptr);
    session->SetQueryCallback(Count<const char*, int, const char*, void*>, nullptr);
    session->SetReplyCallback(Count<const char*, int, const char*, const char*, void*>, nullptr);
    session->SetCapabilitiesCallback(Walk, nullptr);
    session->SetATISLineCallback(Count<const char*, char, const char*, void*>, nullptr);
    session->SetErrorCallback(Count<int, const char*, const char*, void*>, nullptr);
    session->SetPrivateOtherCallback(Count<const char*, const char*, void*>, nullptr);
    session->SetInfoOtherCallback(Count<const char*, const char*, void*>, nullptr);
    session->SetPlaneInfoCallback(Walk, nullptr);
    session->SetATCDataCallback(Count<const char*, const char*, int, const char*, void*>, nullptr);
    session->SetLandLineCallback(Count<const char*, int, int, const char*, int, void*>, nullptr);
    session->SetATCNoticeCallback(Count<const char*, const char*, int, void*>, nullptr);
    session->SetBreakCallback(Count<const char*, int, void*>, nullptr);
    session->SetIdentifyCallback(Count<const char*, void*>, nullptr);
    session->SetStripPushCallback(Strips, nullptr);
    session->SetHelpCallback(Count<const char*, int, const char*, void*>, nullptr);

    const char* text = reinterpret_cast<const char*>(data);
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || text[i] == '\n') {
            size_t end = i < size ? i + 1 : i;
            session->ParseLine(text + start, end - start);
            start = end;
        }
    }
    return 0;
}
