// Tested by tests/app/voice_host_test.cpp.
#include "app/voice_atis_services.h"

#include "net/network_manager.h"
#include "tools/comms_entries.h"
#include "voice/voice_engine.h"

TarqVoiceAtisServices::TarqVoiceAtisServices(NoltVoiceEngine& engine, TarqNetworkManager& network,
                                             const CommsEntries& entries)
    : m_engine(engine), m_network(network), m_entries(entries) {}

void TarqVoiceAtisServices::StartAtisRecording(const std::string& path) { m_engine.StartAtisRecording(path); }
void TarqVoiceAtisServices::StopAtisRecording() { m_engine.StopAtisRecording(); }
bool TarqVoiceAtisServices::IsAtisRecording() const { return m_engine.IsAtisRecording(); }
void TarqVoiceAtisServices::StartAtisPreview() { m_engine.StartAtisPreview(); }
void TarqVoiceAtisServices::StopAtisPreview() { m_engine.StopAtisPreview(); }
void TarqVoiceAtisServices::StartAtisPlayback(const std::string& path) { m_engine.StartAtisPlayback(path); }
void TarqVoiceAtisServices::StopAtisPlayback() { m_engine.StopAtisPlayback(); }
bool TarqVoiceAtisServices::IsAtisPlaying() const { return m_engine.IsAtisPlaying(); }
void TarqVoiceAtisServices::SetAtisMonitor(bool on) { m_engine.SetAtisMonitor(on); }

void TarqVoiceAtisServices::StartAtisBroadcast(int, const std::string& roomAddress,
                                               const std::string& channel, const std::string& path) {
    m_engine.StartAtisBroadcast(roomAddress, channel, path);
}

void TarqVoiceAtisServices::StopAtisBroadcast() { m_engine.StopAtisBroadcast(); }
bool TarqVoiceAtisServices::IsAtisBroadcastActive() const { return m_engine.IsAtisBroadcastActive(); }
void TarqVoiceAtisServices::CloseAtisListeners() { m_engine.CloseAtisListeners(); }

bool TarqVoiceAtisServices::IsConnected() const { return m_network.IsConnected(); }
bool TarqVoiceAtisServices::IsVoiceAtisConnected() const { return m_network.IsVoiceAtisConnected(); }
void TarqVoiceAtisServices::ConnectVoiceAtis() { m_network.ConnectVoiceAtis(); }
void TarqVoiceAtisServices::DisconnectVoiceAtis() { m_network.DisconnectVoiceAtis(); }

bool TarqVoiceAtisServices::IsFrequencyAssigned(int frequencyKhz) const {
    return m_entries.IsFrequencyAssigned(frequencyKhz);
}

bool TarqVoiceAtisServices::IsVoiceChannelAssigned(const std::string& server,
                                                   const std::string& channel) const {
    return m_entries.IsVoiceChannelAssigned(server, channel);
}
