// tarq_simpeer: joins the simulator multiplayer session of a running Tarq as
// a simulator would and prints what arrives: the players, each aircraft's
// model and its positions. Usage: tarq_simpeer [host-ip] [port] [seconds]
#include <arpa/inet.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "simbridge/fs_messages.h"
#include "simbridge/fs_multiplayer.h"
#include "tools/simpeer/simulator_peer.h"

int main(int argc, char** argv) {
    in_addr address{};
    if (inet_pton(AF_INET, argc > 1 ? argv[1] : "127.0.0.1", &address) != 1) {
        std::fprintf(stderr, "usage: tarq_simpeer [host-ip] [port] [seconds]\n");
        return 2;
    }
    const dplay::Address host{
        ntohl(address.s_addr),
        static_cast<uint16_t>(argc > 2 ? std::atoi(argv[2]) : FSMultiplayerManager::kDefaultPort)};
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 30;
    SimulatorPeer peer(0);
    dplay::EnumResponse session;
    if (!peer.Enumerate(host, FS9MPManager::kApplicationGuid, session, 3000)) {
        std::fprintf(stderr, "no session answered\n");
        return 1;
    }
    std::printf("session \"%s\", %u players\n", dplay::Narrow(session.sessionName).c_str(),
                session.currentPlayers);
    if (!peer.Join(host, FS9MPManager::kApplicationGuid, "Simulator", 10000)) {
        std::fprintf(stderr, "joining failed: %s\n", peer.GetJoinError().c_str());
        return 1;
    }
    size_t shown = 0;
    for (int tick = 0; tick < seconds * 10 && peer.terminated.empty(); ++tick) {
        peer.Pump(100);
        for (; shown < peer.received.size(); ++shown) {
            const SimulatorPeer::Received& r = peer.received[shown];
            const uint32_t type = r.data.size() >= 4 ? r.data[0] | r.data[1] << 8 : 0;
            std::string model;
            if (type == kMessageModelInfo && r.data.size() > 12) {
                model.assign(r.data.begin() + 12, r.data.end());
                model = ", model " + model.substr(0, model.find('\0'));
            }
            std::printf("%08x %-12s type %04x, %zu bytes%s\n", r.from, r.senderName.c_str(), type,
                        r.data.size(), model.c_str());
        }
    }
    peer.Leave(1000);
    std::printf("%zu messages, %llu datagrams dropped\n", peer.received.size(),
                static_cast<unsigned long long>(peer.GetDroppedCount()));
    return 0;
}
