// CUDPAudioPort owns the one UDP socket through which every voice datagram of
// the process enters and leaves. As a task it drains the socket, parses each
// datagram once and hands it to the first registered consumer that accepts
// it. Main thread only. Tested by tests/voice/udp_audio_port_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "voice/audio_task.h"

class HalkSocketUDP;
class CUDPAudioPort;

class CUDPConsumer {
public:
    // Registers with the port (once, however often).
    explicit CUDPConsumer(CUDPAudioPort* port);
    virtual ~CUDPConsumer();
    CUDPConsumer(const CUDPConsumer&) = delete;
    CUDPConsumer& operator=(const CUDPConsumer&) = delete;

    // Lists are null when empty; counts are the bytes as read.
    virtual void OnPacket(uint32_t address, uint16_t port, uint16_t senderId, const char* roomName, bool flag,
                          const uint16_t* listA, int8_t countA, const uint16_t* listB, int8_t countB,
                          const uint8_t* payload, int16_t payloadLength) = 0;
    virtual bool Accepts(uint32_t address, uint16_t port, uint16_t senderId, const char* roomName, bool flag,
                         const uint16_t* listA, int8_t countA, const uint16_t* listB, int8_t countB,
                         int16_t payloadLength) = 0;

private:
    friend class CUDPAudioPort;
    CUDPAudioPort* m_port;
};

class CUDPProducer {
public:
    explicit CUDPProducer(CUDPAudioPort* port) : m_port(port) {}
    virtual ~CUDPProducer() = default;
    // Nothing is sent to address or port 0, nor what does not fit a datagram.
    void SendDatagram(uint32_t address, uint16_t port, uint16_t senderId, const std::string& roomName,
                      bool flag, const uint16_t* listA, int countA, const uint16_t* listB, int countB,
                      const uint8_t* payload, int16_t payloadLength);

private:
    CUDPAudioPort* m_port;
};

class CUDPAudioPort : public CAudioTask {
public:
    // Datagrams read per run: enough for a busy room, bounded so one run
    // cannot stall the tick.
    static constexpr int kMaxDatagramsPerRun = 64;

    // Binds to localPort (0: the system chooses); IsOpen tells whether it did.
    explicit CUDPAudioPort(uint16_t localPort);
    ~CUDPAudioPort() override;

    bool IsOpen() const;
    uint16_t LocalPort() const;
    double Run() override;
    // Parses and dispatches one datagram as if it had arrived; false when it
    // was malformed and dropped.
    bool Dispatch(uint32_t address, uint16_t port, const uint8_t* data, size_t size);
    int Dropped() const { return m_dropped; }

private:
    friend class CUDPConsumer;
    friend class CUDPProducer;
    void Register(CUDPConsumer* consumer);
    void Unregister(CUDPConsumer* consumer);
    void Send(const uint8_t* data, size_t size, uint32_t address, uint16_t port);

    std::unique_ptr<HalkSocketUDP> m_socket;
    std::vector<CUDPConsumer*> m_consumers;
    int m_dropped = 0;
};
