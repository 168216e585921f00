// CVoiceChannel is the client of one voice room on one voice server: it keeps
// a TCP connection that joins the room and learns its members and their UDP
// end points, and exchanges speech with them as voice datagrams through the
// shared UDP audio port. Member 0 relays: this client sends each block of its
// speech to member 0 only, with the ids to pass it on to.
// Main thread only. Tested by tests/voice/voice_channel_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "voice/audio_graph.h"
#include "voice/audio_task.h"
#include "voice/udp_audio_port.h"
#include "voice/voice_wire.h"

class HalkSocket;
class CVoiceChannel;

// Event codes, four characters each.
inline constexpr uint32_t kVoicePathConfirmed = 0x7277436E;    // 'rwCn'
inline constexpr uint32_t kVoiceDisconnected = 0x7277446E;     // 'rwDn'
inline constexpr uint32_t kVoiceFailedOrMembers = 0x7277646E;  // 'rwdn'
inline constexpr uint32_t kVoicePublicEndPoint = 0x72774950;   // 'rwIP'

class CVoiceChannelHandler {
public:
    virtual ~CVoiceChannelHandler() = default;
    virtual void OnEvent(CVoiceChannel* channel, uint32_t code) = 0;
};

struct VoiceMember {
    std::string name;
    uint32_t value1 = 0;
    uint32_t value2 = 0;
    uint32_t address = 0;
    uint16_t port = 0;
    double lastHello = 0.0;  // audio clock
    uint8_t heard = 0;
};

class CVoiceChannel : public CAudioProducerConsumer,
                      public CUDPConsumer,
                      public CUDPProducer,
                      public CAudioTask {
public:
    // A member whose end point is unchanged is answered at most this often.
    static constexpr double kHelloInterval = 15.0;
    // Bytes the server may leave unread before the connection is given up.
    static constexpr size_t kMaxSendQueue = 64 * 1024;
    // Reads of the TCP socket per run.
    static constexpr int kMaxReadsPerRun = 64;

    CVoiceChannel(uint32_t serverAddress, uint16_t serverPort, const std::string& roomName,
                  const std::string& displayName, uint32_t parameter1, uint32_t parameter2,
                  const std::array<uint8_t, 12>& joinField, CUDPAudioPort* port);
    ~CVoiceChannel() override;

    void SetHandler(CVoiceChannelHandler* handler) { m_handler = handler; }
    // For a server whose name was looked up after the channel was made.
    void SetServerAddress(uint32_t address) { m_serverAddress = address; }
    void ConnectServer();
    void DisconnectServer();
    // The TCP socket's state as last seen (1 idle .. 5 error).
    int SocketState() const { return m_lastState; }
    uint16_t OwnId() const { return m_ownId; }
    const std::map<uint16_t, VoiceMember>& Members() const { return m_members; }
    uint32_t PublicAddress() const { return m_publicAddress; }
    uint16_t PublicPort() const { return m_publicPort; }
    const std::string& RoomName() const { return m_roomName; }

    double Run() override;
    bool Accepts(uint32_t address, uint16_t port, uint16_t senderId, const char* roomName, bool flag,
                 const uint16_t* listA, int8_t countA, const uint16_t* listB, int8_t countB,
                 int16_t payloadLength) override;
    void OnPacket(uint32_t address, uint16_t port, uint16_t senderId, const char* roomName, bool flag,
                  const uint16_t* listA, int8_t countA, const uint16_t* listB, int8_t countB,
                  const uint8_t* payload, int16_t payloadLength) override;
    void Consume(int32_t inputKey, const uint8_t* data, int16_t length) override;

private:
    void Report(uint32_t code);
    void ForgetSession();
    bool ParseItems();
    void SendTo(uint16_t memberId, const VoiceMember& member, const std::vector<uint16_t>& listA,
                const std::vector<uint16_t>& listB, const uint8_t* payload, int16_t length);

    std::unique_ptr<HalkSocket> m_socket;
    int m_lastState = 1;
    bool m_failed = false;  // no server to connect to: the state stays 5
    VoiceItemReader m_reader;
    std::vector<uint8_t> m_sendQueue;
    uint32_t m_serverAddress;
    uint16_t m_serverPort;
    std::string m_displayName;
    std::string m_roomName;
    uint32_t m_parameter1;
    uint32_t m_parameter2;
    std::array<uint8_t, 12> m_joinField;
    uint16_t m_ownId = 0;
    uint8_t m_confirmed = 0;
    uint32_t m_publicAddress = 0;
    uint16_t m_publicPort = 0;
    std::map<uint16_t, VoiceMember> m_members;
    CVoiceChannelHandler* m_handler = nullptr;
};
