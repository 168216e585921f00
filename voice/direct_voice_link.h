// CDirectVoiceLink carries the speech of one land line straight between this
// client and the peer's, as voice datagrams through the shared UDP audio
// port: no server, no members, no relaying. Main thread only.
// Tested by tests/voice/voice_channel_test.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "voice/audio_graph.h"
#include "voice/udp_audio_port.h"

class CDirectVoiceLink : public CAudioProducerConsumer, public CUDPConsumer, public CUDPProducer {
public:
    // Sends one hello (flag 0) to the peer at once.
    CDirectVoiceLink(uint32_t peerAddress, uint16_t peerPort, const std::string& incomingName,
                     const std::string& outgoingName, CUDPAudioPort* port);

    bool Accepts(uint32_t address, uint16_t port, uint16_t senderId, const char* roomName, bool flag,
                 const uint16_t* listA, int8_t countA, const uint16_t* listB, int8_t countB,
                 int16_t payloadLength) override;
    void OnPacket(uint32_t address, uint16_t port, uint16_t senderId, const char* roomName, bool flag,
                  const uint16_t* listA, int8_t countA, const uint16_t* listB, int8_t countB,
                  const uint8_t* payload, int16_t payloadLength) override;
    void Consume(int32_t inputKey, const uint8_t* data, int16_t length) override;
    uint16_t PeerPort() const { return m_peerPort; }

private:
    uint32_t m_peerAddress;
    uint16_t m_peerPort;
    std::string m_incomingName;
    std::string m_outgoingName;
    bool m_answered = true;
};
