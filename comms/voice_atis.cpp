// Tested by tests/comms/voice_atis_test.cpp.
#include "comms/voice_atis.h"

#include <cstdio>

#include "comms/weather_store.h"
#include "foundation/profile.h"
#include "foundation/regex_match.h"

VoiceAtis::VoiceAtis(TarqProfile& profile, AtisMaker& maker, WeatherStore& weather,
                     VoiceAtisServices& services, std::string directory)
    : m_profile(profile),
      m_maker(maker),
      m_weather(weather),
      m_services(services),
      m_directory(std::move(directory)) {}

bool VoiceAtis::OnRecordATIS(Failure* failure) {
    auto refuse = [failure](int control, std::string message) {
        if (failure) *failure = {control, std::move(message)};
        return false;
    };
    if (m_services.IsAtisRecording()) return refuse(0, "");
    if (!m_services.IsConnected()) return refuse(0, kRecordNotConnected);
    if (m_profile.GetInt("Rating") < 2) return refuse(0, kRatingTooLow);
    SetMonitor(false);
    if (m_maker.GetLetterIndex() == 0) m_maker.SelectLetter(1, false);
    if (!m_maker.UpdateATIS(true)) return refuse(AtisMaker::kStationId, AtisMaker::kInvalidStationBox);
    const std::string station = m_profile.GetString("ATISMakerICAO");
    if (m_weather.GetReportTime(station).empty())
        return refuse(0, "No weather received yet for " + station + ". Wait a few seconds, then try again.");
    return true;
}

void VoiceAtis::StartRecording() {
    if (m_services.IsAtisRecording()) return;
    m_services.StopAtisPreview();
    SetMonitor(false);
    m_newRecording = false;
    m_services.StartAtisRecording(RecordingPath());
}

void VoiceAtis::StopRecording(bool cancelled) {
    m_services.StopAtisRecording();
    if (!cancelled) m_newRecording = true;
}

void VoiceAtis::StartPreview() { m_services.StartAtisPreview(); }

void VoiceAtis::StopPreview() { m_services.StopAtisPreview(); }

bool VoiceAtis::SaveRecording() {
    if (!m_newRecording || m_services.IsAtisRecording()) return false;
    m_services.StopAtisPreview();
    const bool playing = m_services.IsAtisPlaying();
    if (playing) m_services.StopAtisPlayback();
    m_newRecording = false;
    m_saved = true;
    m_onAirA = !m_onAirA;
    if (playing) m_services.StartAtisPlayback(OnAirPath());
    return true;
}

void VoiceAtis::CancelRecordDialog() {
    if (m_services.IsAtisRecording()) StopRecording(true);
    m_services.StopAtisPreview();
}

VoiceAtis::ConnectResult VoiceAtis::OnConnectATIS(const AtisDialogValues& values) {
    ConnectResult result;
    auto refuse = [&result](int control, std::string message) {
        result.failure = Failure{control, std::move(message)};
        return result;
    };
    if (!m_services.IsConnected()) return refuse(0, kNotConnected);
    if (m_profile.GetInt("Rating") < 2) return refuse(0, kRatingTooLow);
    if (!m_saved) return refuse(0, kNothingRecorded);
    if (std::optional<Failure> failed = m_maker.SaveDialogSettings(values)) {
        result.failure = failed;
        return result;
    }
    if (m_profile.GetString("ATISMakerICAO").size() != 4)
        return refuse(AtisMaker::kStationId, AtisMaker::kInvalidStationBox);
    const std::string server = m_profile.GetString("VoxATISServer");
    if (server.empty()) return refuse(kServerId, kNoServer);
    if (!RegexMatch(server, R"(^[\w\.\-]+$)", kServerMaxLength)) return refuse(kServerId, kInvalidServer);
    const int frequency = m_profile.GetInt("VoxATISFreq");
    char text[32];
    std::snprintf(text, sizeof text, "%07.3f", frequency / 1000.0);
    if (!RegexMatch(text, R"(^1\d\d\.\d\d\d$)", 7)) return refuse(kFrequencyId, kInvalidFrequency);
    if (m_services.IsFrequencyAssigned(frequency)) return refuse(kFrequencyId, kFrequencyInUse);
    if (m_services.IsVoiceChannelAssigned(server, GetVoiceATISChannelName()))
        return refuse(kFrequencyId, kChannelInUse);
    result.toggled = ToggleVoiceATIS();
    return result;
}

bool VoiceAtis::ToggleVoiceATIS() {
    const std::string server = m_profile.GetString("VoxATISServer");
    const std::string station = m_profile.GetString("ATISMakerICAO");
    const int frequency = m_profile.GetInt("VoxATISFreq");
    if (server.empty() || station.empty() || frequency == 0) return false;
    const std::string channel = GetVoiceATISChannelName();
    if (m_services.IsVoiceAtisConnected()) {
        if (m_services.IsAtisBroadcastActive()) m_services.StopAtisBroadcast();
        m_services.DisconnectVoiceAtis();
        return true;
    }
    if (!m_services.IsAtisBroadcastActive())
        m_services.StartAtisBroadcast(frequency, server + "/" + channel, channel, OnAirPath());
    m_services.ConnectVoiceAtis();
    return true;
}

void VoiceAtis::RefreshVoiceATIS() {
    if (m_profile.GetString("VoxATISServer").empty() || m_profile.GetString("ATISMakerICAO").empty() ||
        m_profile.GetInt("VoxATISFreq") == 0)
        return;
    if (m_services.IsAtisBroadcastActive()) m_services.StopAtisBroadcast();
    m_services.CloseAtisListeners();
}

void VoiceAtis::SetMonitor(bool on) {
    m_monitor = on;
    m_services.SetAtisMonitor(on);
}

std::string VoiceAtis::ConnectButtonText() const {
    return m_services.IsVoiceAtisConnected() ? "Disconnect" : "Connect";
}

std::string VoiceAtis::GetVoiceATISChannelName() { return m_profile.GetString("ATISMakerICAO") + "_ATIS"; }

std::string VoiceAtis::Path(bool fileA) const { return m_directory + "/" + (fileA ? kFileA : kFileB); }

std::string VoiceAtis::OnAirPath() const { return Path(m_onAirA); }

std::string VoiceAtis::RecordingPath() const { return Path(!m_onAirA); }
