// Tested by tests/voice/rate_converter_test.cpp.
#include "platform/memory_sound_devices.h"

#include <algorithm>
#include <cstring>

void MemorySoundCard::Feed(const int16_t* samples, size_t count) {
    m_capture.insert(m_capture.end(), samples, samples + count);
}

std::vector<int16_t> MemorySoundCard::TakePlayed(uint32_t stream) {
    std::vector<int16_t> out;
    if (stream < m_played.size()) out.swap(m_played[stream]);
    return out;
}

const std::vector<int16_t>& MemorySoundCard::Played(uint32_t stream) {
    if (stream >= m_played.size()) m_played.resize(stream + 1);
    return m_played[stream];
}

int MemorySoundCard::Stops(uint32_t stream) const { return stream < m_stops.size() ? m_stops[stream] : 0; }
int MemorySoundCard::Ends(uint32_t stream) const { return stream < m_ends.size() ? m_ends[stream] : 0; }

bool MemoryInSoundHardware::Open() {
    if (!m_card || m_card->m_failOpen) return false;
    m_open = true;
    return true;
}

int MemoryInSoundHardware::Available() {
    if (!m_open) return 0;
    return static_cast<int>(std::min<size_t>(m_card->m_capture.size() * 2, 1 << 30));
}

int MemoryInSoundHardware::Read(int bytes, void* destination) {
    int samples = std::min(bytes, Available()) / 2;
    if (samples <= 0) return 0;
    auto* out = static_cast<int16_t*>(destination);
    std::copy_n(m_card->m_capture.begin(), samples, out);
    m_card->m_capture.erase(m_card->m_capture.begin(), m_card->m_capture.begin() + samples);
    return samples * 2;
}

void MemoryInSoundHardware::Discard() {
    if (m_card) m_card->m_capture.clear();
}

MemoryOutSoundHardware::MemoryOutSoundHardware(std::shared_ptr<MemorySoundCard> card, int streams)
    : m_card(std::move(card)), m_streams(streams) {
    if (!m_card) return;
    auto size = static_cast<size_t>(std::max(streams, 0));
    if (m_card->m_played.size() < size) m_card->m_played.resize(size);
    if (m_card->m_stops.size() < size) m_card->m_stops.resize(size);
    if (m_card->m_ends.size() < size) m_card->m_ends.resize(size);
}

int MemoryOutSoundHardware::Write(uint32_t stream, int16_t* samples, int bytes) {
    if (!m_card || m_card->m_refuseWrites || stream >= static_cast<uint32_t>(m_streams) || bytes < 0)
        return 0;
    int count = bytes / 2;
    ScaleSamples(samples, count, m_volume);
    auto& played = m_card->m_played[stream];
    played.insert(played.end(), samples, samples + count);
    return bytes;
}

bool MemoryOutSoundHardware::IsPlaying(uint32_t stream) const {
    return m_card && stream < m_card->m_played.size() && !m_card->m_played[stream].empty();
}

void MemoryOutSoundHardware::EndStream(uint32_t stream) {
    if (m_card && stream < static_cast<uint32_t>(m_streams)) ++m_card->m_ends[stream];
}

void MemoryOutSoundHardware::Stop(uint32_t stream) {
    if (m_card && stream < static_cast<uint32_t>(m_streams)) ++m_card->m_stops[stream];
}

MemorySoundDeviceProvider::MemorySoundDeviceProvider(std::vector<std::string> inputNames,
                                                     std::vector<std::string> outputNames)
    : m_inputNames(std::move(inputNames)), m_outputNames(std::move(outputNames)) {
    for (size_t i = 0; i < m_inputNames.size(); ++i) m_inputs.push_back(std::make_shared<MemorySoundCard>());
    for (size_t i = 0; i < m_outputNames.size(); ++i)
        m_outputs.push_back(std::make_shared<MemorySoundCard>());
}

namespace {

std::shared_ptr<MemorySoundCard> Pick(const std::vector<std::shared_ptr<MemorySoundCard>>& cards,
                                      uint16_t index) {
    size_t position = index == kDefaultSoundDevice ? 0 : index;
    return position < cards.size() ? cards[position] : nullptr;
}

}  // namespace

std::unique_ptr<CInSoundHardware> MemorySoundDeviceProvider::CreateInput(double deviceRate, uint16_t index) {
    auto card = Pick(m_inputs, index);
    if (card) card->m_deviceRate = deviceRate;
    return std::make_unique<MemoryInSoundHardware>(std::move(card));
}

std::unique_ptr<COutSoundHardware> MemorySoundDeviceProvider::CreateOutput(int streams, double deviceRate,
                                                                           uint16_t index) {
    auto card = Pick(m_outputs, index);
    if (card) card->m_deviceRate = deviceRate;
    return std::make_unique<MemoryOutSoundHardware>(std::move(card), streams);
}

std::shared_ptr<MemorySoundCard> MemorySoundDeviceProvider::InputCard(size_t index) const {
    return index < m_inputs.size() ? m_inputs[index] : nullptr;
}

std::shared_ptr<MemorySoundCard> MemorySoundDeviceProvider::OutputCard(size_t index) const {
    return index < m_outputs.size() ? m_outputs[index] : nullptr;
}
