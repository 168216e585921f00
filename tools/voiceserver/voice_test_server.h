// A small voice server for tests and demonstrations: it speaks the
// voice-server item stream on TCP and relays voice datagrams as every room's
// member 0, so clients joined to one room hear each other. Polled, never
// threaded: the caller runs Poll between its own work.
// Tested by tests/voice/voice_channel_test.cpp and voice_engine_test.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class HalkSocket;
class HalkSocketUDP;

class VoiceTestServer {
public:
    VoiceTestServer();
    ~VoiceTestServer();
    VoiceTestServer(const VoiceTestServer&) = delete;
    VoiceTestServer& operator=(const VoiceTestServer&) = delete;
    // Listens on TCP and UDP at port (0: the system chooses one port free for
    // both). loopbackOnly keeps it off other machines.
    bool Start(uint16_t port, bool loopbackOnly, std::string* error = nullptr);
    uint16_t Port() const { return m_port; }
    // One round: accept, read items, relay datagrams. Never waits.
    void Poll();
    // Members of a room that have told their UDP end point.
    int ReachableMembers(const std::string& room) const;
    int Relayed() const { return m_relayed; }
    // Ends every connection to the room, as a server that closes it.
    void CloseRoom(const std::string& room);

private:
    struct Member;
    void ReadClient(Member& member);
    void Join(Member& member);
    void Leave(Member& member);
    void SendItems(Member& member, const std::vector<uint8_t>& bytes);
    void HandleDatagram(const uint8_t* data, size_t size, uint32_t address, uint16_t port);

    int m_listener = -1;
    uint16_t m_port = 0;
    std::unique_ptr<HalkSocketUDP> m_udp;
    std::vector<std::unique_ptr<Member>> m_members;
    std::map<std::string, uint16_t> m_nextId;
    int m_relayed = 0;
};
