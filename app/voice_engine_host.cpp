// Tested by tests/app/startup_test.cpp and session_test.cpp.
#include "app/voice_engine_host.h"

#include "foundation/profile.h"
#include "foundation/sound_cues.h"
#include "net/halk_socket_udp.h"
#include "net/network_manager.h"
#include "platform/message_box.h"
#include "platform/portaudio_sound_devices.h"

namespace {

TarqVoiceOptions g_options;

}  // namespace

void SetTarqVoiceOptions(TarqVoiceOptions options) { g_options = std::move(options); }

TarqVoiceHost::TarqVoiceHost(TarqProfile& profile, TarqNetworkManager& network,
                             std::function<void()> landLinesChanged)
    : m_profile(profile), m_network(network), m_landLinesChanged(std::move(landLinesChanged)) {
    if (g_options.devices) m_devices = g_options.devices();
    if (!m_devices) m_devices = std::make_unique<PortAudioSoundDeviceProvider>();
    VoiceEngineSetup setup;
    setup.devices = m_devices.get();
    setup.host = this;
    setup.udpPort = g_options.udpPort;
    m_engine = std::make_unique<NoltVoiceEngine>(setup);
    m_network.ControllerSession().SetLandLineCallback(&TarqVoiceHost::OnLandLine, this);
    m_network.VoiceAtisSession().SetLandLineCallback(&TarqVoiceHost::OnLandLine, this);
}

TarqVoiceHost::~TarqVoiceHost() {
    m_network.ControllerSession().SetLandLineCallback(nullptr, nullptr);
    m_network.VoiceAtisSession().SetLandLineCallback(nullptr, nullptr);
    // The engine goes before the devices it plays on.
    m_engine.reset();
}

void TarqVoiceHost::OnLandLine(HalkSession* session, const char* from, int code, int kind,
                               const char* address, int port, void* user) {
    auto* self = static_cast<TarqVoiceHost*>(user);
    std::string caller = from ? from : "";
    std::string ip = address ? address : "";
    if (session == &self->m_network.VoiceAtisSession())
        self->m_engine->OnAtisLandLineMessage(caller, code, kind, ip, port);
    else
        self->m_engine->OnLandLineMessage(caller, code, kind, ip, port);
}

std::string TarqVoiceHost::Callsign() const { return m_profile.GetString("Callsign"); }
std::string TarqVoiceHost::Cid() const { return m_profile.GetString("CID"); }
std::string TarqVoiceHost::PublicIp() const { return m_network.GetPublicIP(); }
std::string TarqVoiceHost::AtisName() const { return m_network.VoiceAtisSession().Callsign(); }

void TarqVoiceHost::SendLandLine(int session, const std::string& to, int code, int kind,
                                 const std::string& ip, int port) {
    HalkSession& through = session == NoltVoiceEngine::kAtisSession ? m_network.VoiceAtisSession()
                                                                    : m_network.ControllerSession();
    through.SendLandLine(to, code, kind, ip, port);
}

void TarqVoiceHost::PlayCue(const std::string& name) {
    PlayConfiguredSound(m_profile.GetString(name), false);
}

void TarqVoiceHost::LandLinesChanged() {
    if (m_landLinesChanged) m_landLinesChanged();
}

int TarqVoiceHost::GetLandLineState(LandLineKind kind, const std::string& callsign) const {
    return m_engine->GetLandLineState(static_cast<int>(kind), callsign);
}

bool TarqVoiceHost::PlaceLandLineCall(LandLineKind kind, const std::string& callsign) {
    return m_engine->PlaceLandLineCall(static_cast<int>(kind), callsign);
}

bool TarqVoiceHost::AcceptLandLineCall(const std::string& callsign) {
    return m_engine->AcceptLandLineCall(callsign);
}

void TarqVoiceHost::HoldLandLine() { m_engine->HoldLandLine(); }
bool TarqVoiceHost::ResumeLandLine(const std::string& callsign) { return m_engine->ResumeLandLine(callsign); }
bool TarqVoiceHost::HangUpLandLine() { return m_engine->HangUpLandLine(); }
void TarqVoiceHost::EndAllLandLines() { m_engine->EndAllLandLines(); }
void TarqVoiceHost::CloseAllVoiceRooms() { m_engine->CloseAllRooms(); }

bool VoicePortReady(const NoltVoiceEngine* engine) {
    if (engine && engine->IsAvailable()) return true;
    ShowMessageBox(kUdpPortErrorText, "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0});
    return false;
}
