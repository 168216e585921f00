// Tested by tests/voice/voice_channel_test.cpp.
#include "voice/direct_voice_link.h"

#include <cstring>

CDirectVoiceLink::CDirectVoiceLink(uint32_t peerAddress, uint16_t peerPort, const std::string& incomingName,
                                   const std::string& outgoingName, CUDPAudioPort* port)
    : CUDPConsumer(port),
      CUDPProducer(port),
      m_peerAddress(peerAddress),
      m_peerPort(peerPort),
      m_incomingName(incomingName),
      m_outgoingName(outgoingName) {
    SendDatagram(m_peerAddress, m_peerPort, 1, m_outgoingName, false, nullptr, 0, nullptr, 0, nullptr, 0);
}

bool CDirectVoiceLink::Accepts(uint32_t address, uint16_t, uint16_t, const char* roomName, bool,
                               const uint16_t*, int8_t, const uint16_t*, int8_t, int16_t) {
    return address == m_peerAddress && m_incomingName == roomName;
}

void CDirectVoiceLink::OnPacket(uint32_t, uint16_t port, uint16_t, const char*, bool, const uint16_t*, int8_t,
                                const uint16_t*, int8_t, const uint8_t* payload, int16_t payloadLength) {
    m_peerPort = port;
    m_answered = true;
    if (payloadLength > 0) Send(0, payload, payloadLength);
}

void CDirectVoiceLink::Consume(int32_t, const uint8_t* data, int16_t length) {
    SendDatagram(m_peerAddress, m_peerPort, 1, m_outgoingName, m_answered, nullptr, 0, nullptr, 0, data,
                 length);
}
