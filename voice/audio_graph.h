// The audio graph: producers hand coded blocks to consumers over keyed
// connections, and the crosspoint switch CAudioMixer forwards each block to
// the destinations linked to its source. Blocks are lent for the call only.
// Main thread only. Tested by tests/voice/audio_graph_test.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

// The one payload of the voice system: talker byte, end marker, big-endian
// sequence number, three 27-byte MELP blocks, trailer. Receivers also take a
// block without the trailer.
namespace coded_block {
inline constexpr int kLength = 86;
inline constexpr int kShortLength = 85;
inline constexpr int kTalker = 0;
inline constexpr int kEndMarker = 1;
inline constexpr int kSequenceHigh = 2;
inline constexpr int kSequenceLow = 3;
inline constexpr int kMelp = 4;
}  // namespace coded_block

class CAudioProducer;

class CAudioConsumer {
public:
    virtual ~CAudioConsumer();
    virtual void Consume(int32_t inputKey, const uint8_t* data, int16_t length) = 0;

    CAudioConsumer() = default;
    CAudioConsumer(const CAudioConsumer&) = delete;
    CAudioConsumer& operator=(const CAudioConsumer&) = delete;

private:
    friend class CAudioProducer;
    struct Source {
        CAudioProducer* producer;
        int32_t outputKey;
    };
    void AddSource(int32_t inputKey, CAudioProducer* producer, int32_t outputKey);
    void RemoveSource(int32_t inputKey, CAudioProducer* producer, int32_t outputKey);
    // Every connection that ends here; several producers may feed one input,
    // and each is remembered, so none keeps a pointer to a deleted consumer.
    std::multimap<int32_t, Source> m_sources;
};

class CAudioProducer {
public:
    CAudioProducer() = default;
    virtual ~CAudioProducer();
    CAudioProducer(const CAudioProducer&) = delete;
    CAudioProducer& operator=(const CAudioProducer&) = delete;

    // Feeds the output into the consumer's input; a null consumer removes
    // the output's connection. One output feeds at most one input.
    void Connect(int32_t outputKey, CAudioConsumer* consumer, int32_t inputKey);
    CAudioConsumer* GetConsumer(int32_t outputKey) const;
    int32_t GetInputKey(int32_t outputKey) const;
    // An unconnected output sends nothing.
    void Send(int32_t outputKey, const uint8_t* data, int16_t length);

private:
    friend class CAudioConsumer;
    std::map<int32_t, std::pair<CAudioConsumer*, int32_t>> m_consumers;
};

class CAudioProducerConsumer : public CAudioProducer, public CAudioConsumer {};

class CAudioMixer : public CAudioProducerConsumer {
public:
    // Blocks a switched-off link still forwards; the last carries the end marker.
    static constexpr int32_t kDrainBlocks = 3;

    void Consume(int32_t sourceKey, const uint8_t* data, int16_t length) override;
    void SetLink(int32_t sourceKey, int32_t destinationKey, bool on);
    // Only a link that is on; a draining or stopped pair is not linked.
    bool IsLinked(int32_t sourceKey, int32_t destinationKey) const;
    // Seconds since a block arrived on the key or left through it; -1 if never.
    float InputAge(int32_t sourceKey) const;
    float OutputAge(int32_t destinationKey) const;
    // Drops every link from or to the key and its ages, for an object that is
    // gone for good.
    void ForgetKey(int32_t key);

private:
    // -1 linked, > 0 blocks left to drain, 0 stopped.
    std::map<int32_t, std::map<int32_t, int32_t>> m_links;
    std::map<int32_t, double> m_lastInput;
    std::map<int32_t, double> m_lastOutput;
    // Buses feed themselves; a link loop among buses must not recurse forever.
    int m_depth = 0;
};
