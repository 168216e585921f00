// Tested by tests/voice/udp_audio_port_test.cpp.
#include "voice/udp_audio_port.h"

#include <algorithm>

#include "net/halk_socket_udp.h"
#include "voice/voice_wire.h"

CUDPConsumer::CUDPConsumer(CUDPAudioPort* port) : m_port(port) {
    if (m_port) m_port->Register(this);
}

CUDPConsumer::~CUDPConsumer() {
    if (m_port) m_port->Unregister(this);
}

void CUDPProducer::SendDatagram(uint32_t address, uint16_t port, uint16_t senderId,
                                const std::string& roomName, bool flag, const uint16_t* listA, int countA,
                                const uint16_t* listB, int countB, const uint8_t* payload,
                                int16_t payloadLength) {
    if (!m_port || address == 0 || port == 0) return;
    uint8_t buffer[kMaxVoiceDatagram];
    size_t size = BuildVoiceDatagram(buffer, roomName, senderId, flag, listA, countA, listB, countB, payload,
                                     payloadLength);
    if (size) m_port->Send(buffer, size, address, port);
}

CUDPAudioPort::CUDPAudioPort(uint16_t localPort)
    : CAudioTask(0.1), m_socket(std::make_unique<HalkSocketUDP>(localPort)) {}

CUDPAudioPort::~CUDPAudioPort() {
    for (CUDPConsumer* consumer : m_consumers) consumer->m_port = nullptr;
}

bool CUDPAudioPort::IsOpen() const { return m_socket->IsOpen(); }
uint16_t CUDPAudioPort::LocalPort() const { return m_socket->LocalPort(); }

void CUDPAudioPort::Register(CUDPConsumer* consumer) {
    if (std::find(m_consumers.begin(), m_consumers.end(), consumer) == m_consumers.end())
        m_consumers.push_back(consumer);
}

void CUDPAudioPort::Unregister(CUDPConsumer* consumer) {
    m_consumers.erase(std::remove(m_consumers.begin(), m_consumers.end(), consumer), m_consumers.end());
}

void CUDPAudioPort::Send(const uint8_t* data, size_t size, uint32_t address, uint16_t port) {
    m_socket->SendTo(reinterpret_cast<const char*>(data), size, address, port);
}

double CUDPAudioPort::Run() {
    // One byte more than a receiver reads, so a longer datagram shows itself
    // by filling it and is dropped rather than cut.
    uint8_t buffer[kMaxReceivedDatagram + 1];
    for (int i = 0; i < kMaxDatagramsPerRun; ++i) {
        uint32_t address = 0;
        uint16_t port = 0;
        int got = m_socket->ReceiveFrom(reinterpret_cast<char*>(buffer), sizeof buffer, address, port);
        if (got < 0) break;
        if (got == 0) continue;
        Dispatch(address, port, buffer, static_cast<size_t>(got));
    }
    return 0.01;
}

bool CUDPAudioPort::Dispatch(uint32_t address, uint16_t port, const uint8_t* data, size_t size) {
    VoiceDatagram d;
    if (!ParseVoiceDatagram(data, size, d)) {
        ++m_dropped;
        return false;
    }
    const uint16_t* a = d.listA.empty() ? nullptr : d.listA.data();
    const uint16_t* b = d.listB.empty() ? nullptr : d.listB.data();
    // A consumer's OnPacket may delete consumers: choose first, then call.
    for (CUDPConsumer* consumer : m_consumers) {
        if (consumer->Accepts(address, port, d.senderId, d.room.c_str(), d.flag, a, d.countA, b, d.countB,
                              d.payloadLength)) {
            consumer->OnPacket(address, port, d.senderId, d.room.c_str(), d.flag, a, d.countA, b, d.countB,
                               d.payload, d.payloadLength);
            return true;
        }
    }
    return true;
}
