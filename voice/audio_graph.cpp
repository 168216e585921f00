// Tested by tests/voice/audio_graph_test.cpp.
#include "voice/audio_graph.h"

#include <algorithm>
#include <vector>

#include "voice/audio_clock.h"

CAudioConsumer::~CAudioConsumer() {
    while (!m_sources.empty()) {
        auto it = m_sources.begin();
        CAudioProducer* producer = it->second.producer;
        int32_t outputKey = it->second.outputKey;
        m_sources.erase(it);
        auto found = producer->m_consumers.find(outputKey);
        if (found != producer->m_consumers.end() && found->second.first == this)
            producer->m_consumers.erase(found);
    }
}

void CAudioConsumer::AddSource(int32_t inputKey, CAudioProducer* producer, int32_t outputKey) {
    m_sources.emplace(inputKey, Source{producer, outputKey});
}

void CAudioConsumer::RemoveSource(int32_t inputKey, CAudioProducer* producer, int32_t outputKey) {
    auto [first, last] = m_sources.equal_range(inputKey);
    for (auto it = first; it != last; ++it) {
        if (it->second.producer == producer && it->second.outputKey == outputKey) {
            m_sources.erase(it);
            return;
        }
    }
}

CAudioProducer::~CAudioProducer() {
    for (auto& [outputKey, connection] : m_consumers)
        connection.first->RemoveSource(connection.second, this, outputKey);
}

void CAudioProducer::Connect(int32_t outputKey, CAudioConsumer* consumer, int32_t inputKey) {
    auto it = m_consumers.find(outputKey);
    if (it != m_consumers.end()) {
        if (it->second.first == consumer && it->second.second == inputKey) return;
        it->second.first->RemoveSource(it->second.second, this, outputKey);
        m_consumers.erase(it);
    }
    if (!consumer) return;
    consumer->AddSource(inputKey, this, outputKey);
    m_consumers[outputKey] = {consumer, inputKey};
}

CAudioConsumer* CAudioProducer::GetConsumer(int32_t outputKey) const {
    auto it = m_consumers.find(outputKey);
    return it == m_consumers.end() ? nullptr : it->second.first;
}

int32_t CAudioProducer::GetInputKey(int32_t outputKey) const {
    auto it = m_consumers.find(outputKey);
    return it == m_consumers.end() ? 0 : it->second.second;
}

void CAudioProducer::Send(int32_t outputKey, const uint8_t* data, int16_t length) {
    auto it = m_consumers.find(outputKey);
    if (it == m_consumers.end()) return;
    it->second.first->Consume(it->second.second, data, length);
}

void CAudioMixer::Consume(int32_t sourceKey, const uint8_t* data, int16_t length) {
    double now = AudioClockSeconds();
    m_lastInput[sourceKey] = now;
    auto links = m_links.find(sourceKey);
    if (links == m_links.end()) return;
    constexpr int kMaxDepth = 16;
    if (m_depth >= kMaxDepth) return;
    ++m_depth;
    std::vector<uint8_t> marked;  // made at most once per call, only when a drain ends
    // Sending may switch links of this source (a consumer reacting to a
    // block); walk by key so no iterator is kept across a Send.
    std::vector<int32_t> destinations;
    for (const auto& [destination, count] : links->second)
        if (count != 0) destinations.push_back(destination);
    for (int32_t destination : destinations) {
        auto source = m_links.find(sourceKey);
        if (source == m_links.end()) break;
        auto entry = source->second.find(destination);
        if (entry == source->second.end() || entry->second == 0) continue;
        int32_t& count = entry->second;
        bool last = false;
        if (count > 0) last = --count == 0;
        m_lastOutput[destination] = now;
        if (last && length > coded_block::kEndMarker) {
            if (marked.empty()) {
                marked.assign(data, data + length);
                marked[coded_block::kEndMarker] = 1;
            }
            Send(destination, marked.data(), length);
        } else {
            Send(destination, data, length);
        }
    }
    --m_depth;
}

void CAudioMixer::SetLink(int32_t sourceKey, int32_t destinationKey, bool on) {
    int32_t wanted = on ? -1 : kDrainBlocks;
    auto& destinations = m_links[sourceKey];
    auto it = destinations.find(destinationKey);
    if (it == destinations.end()) {
        destinations.emplace(destinationKey, wanted);
        return;
    }
    if (it->second > wanted || it->second == -1) it->second = wanted;
}

bool CAudioMixer::IsLinked(int32_t sourceKey, int32_t destinationKey) const {
    auto links = m_links.find(sourceKey);
    if (links == m_links.end()) return false;
    auto it = links->second.find(destinationKey);
    return it != links->second.end() && it->second == -1;
}

namespace {

float Age(const std::map<int32_t, double>& times, int32_t key) {
    auto it = times.find(key);
    if (it == times.end()) return -1.0f;
    return static_cast<float>(AudioClockSeconds() - it->second);
}

}  // namespace

float CAudioMixer::InputAge(int32_t sourceKey) const { return Age(m_lastInput, sourceKey); }
float CAudioMixer::OutputAge(int32_t destinationKey) const { return Age(m_lastOutput, destinationKey); }

void CAudioMixer::ForgetKey(int32_t key) {
    m_links.erase(key);
    for (auto& [source, destinations] : m_links) destinations.erase(key);
    m_lastInput.erase(key);
    m_lastOutput.erase(key);
}
