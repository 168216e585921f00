// Tests of the DirectPlay session's host on a fake clock, with no sockets:
// a joiner driven message by message from the test, beside a second joiner
// that is a node of its own, shows what the host tells a peer while that
// peer is still joining.
#include "simbridge/dplay_node.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <tuple>

using namespace dplay;

namespace {

const SimGuid kApplication{0x814E2F6A, 0x5B2E, 0x4B8A, {1, 2, 3, 4, 5, 6, 7, 8}};
const SimGuid kInstance{0x0BADCAFE, 0x1234, 0x5678, {8, 7, 6, 5, 4, 3, 2, 1}};

struct NoEvents : DplayNodeEvents {
    void OnPlayerCreated(SimPlayerId, const SimPlayerInfo&) override {}
    void OnPlayerDestroyed(SimPlayerId) override {}
    void OnReceive(SimPlayerId, const std::string&, const Bytes&) override {}
    void OnSessionTerminated(const std::string&) override {}
};

// Nodes and one hand-driven link on a lossless network with a short delay.
class Network {
public:
    DplayNode::SendFn SenderFrom(const Address& from) {
        return [this, from](const Address& to, const Bytes& bytes) {
            m_onTheWay.push_back({now + 5, from, to, bytes});
        };
    }
    void Step(uint64_t ms = 5) {
        now += ms;
        while (!m_onTheWay.empty() && m_onTheWay.front().arrivesAt <= now) {
            const Datagram d = std::move(m_onTheWay.front());
            m_onTheWay.pop_front();
            if (auto it = nodes.find(d.to); it != nodes.end()) it->second->OnDatagram(d.from, d.bytes, now);
            if (d.to == rawAddress && raw && d.from == rawPeer) raw->OnDatagram(d.bytes, now);
        }
        for (auto& [address, node] : nodes) node->Poll(now);
        if (raw) {
            raw->Poll(now);
            for (DplayLink::Message& m : raw->TakeReceived()) rawReceived.push_back(std::move(m.data));
        }
    }
    template <typename Done>
    bool RunUntil(Done done, uint64_t limitMs = 10000) {
        for (const uint64_t end = now + limitMs; now < end; Step())
            if (done()) return true;
        return done();
    }
    // Messages the hand-driven link received of this type.
    std::vector<Bytes> RawOfType(uint32_t wanted) const {
        std::vector<Bytes> found;
        uint32_t type = 0;
        for (const Bytes& m : rawReceived)
            if (MessageType(m, type) && type == wanted) found.push_back(m);
        return found;
    }

    uint64_t now = 1000;
    std::map<Address, DplayNode*> nodes;
    std::unique_ptr<DplayLink> raw;
    Address rawAddress, rawPeer;
    std::vector<Bytes> rawReceived;

private:
    struct Datagram {
        uint64_t arrivesAt;
        Address from, to;
        Bytes bytes;
    };
    std::deque<Datagram> m_onTheWay;
};

TEST(DplayHost, APeerStillJoiningHearsOfLaterPlayersOnlyOnceItHasTheNameTable) {
    Network net;
    NoEvents events;
    const Address hostAddress{kLoopback, 6073}, firstAddress{kLoopback, 6074}, secondAddress{kLoopback, 6075};
    DplayNode host(net.SenderFrom(hostAddress), &events, 1);
    net.nodes[hostAddress] = &host;
    SimHostDescription description;
    description.application = kApplication;
    description.sessionName = "Session";
    description.playerName = "Host";
    host.Host(description, kInstance, net.now);

    // The first joiner asks to join and is given the name table, but has not
    // yet acknowledged it.
    net.rawAddress = firstAddress;
    net.rawPeer = hostAddress;
    const auto rawSend = net.SenderFrom(firstAddress);
    net.raw =
        std::make_unique<DplayLink>(0x1234567, net.now, [&](const Bytes& b) { rawSend(hostAddress, b); });
    ASSERT_TRUE(net.RunUntil([&] { return net.raw->IsEstablished(); }));
    PlayerConnectInfo info;
    info.name = u"FIRST";
    info.application = kApplication;
    net.raw->Send(EncodePlayerConnectInfo(info), true, true, 0, net.now);
    ASSERT_TRUE(net.RunUntil([&] { return !net.RawOfType(kMsgSendConnectInfo).empty(); }));
    SendConnectInfo table;
    ASSERT_TRUE(DecodeSendConnectInfo(net.RawOfType(kMsgSendConnectInfo).front(), table));

    // A second joiner comes in meanwhile and is taken in by the host.
    DplayNode second(net.SenderFrom(secondAddress), &events, 2);
    net.nodes[secondAddress] = &second;
    second.Join(hostAddress, kApplication, {"SECOND", {}, {}}, net.now, 10000);
    ASSERT_TRUE(net.RunUntil([&] { return second.GetLocalPlayer() != 0; }));
    const SimPlayerId secondId = second.GetLocalPlayer();
    ASSERT_TRUE(net.RunUntil([&] { return host.GetPlayers().count(secondId) == 1; }));
    net.RunUntil([] { return false; }, 500);
    EXPECT_TRUE(net.RawOfType(kMsgAddPlayer).empty())
        << "a player added before the name table was acknowledged";

    // Once the first joiner acknowledges, it hears of the second.
    net.raw->Send(EncodeTypeOnly(kMsgAckConnectInfo), true, true, 0, net.now);
    ASSERT_TRUE(net.RunUntil([&] { return !net.RawOfType(kMsgAddPlayer).empty(); }));
    NameTableEntry added;
    ASSERT_TRUE(DecodeAddPlayer(net.RawOfType(kMsgAddPlayer).front(), added));
    EXPECT_EQ(added.id, secondId);
    EXPECT_EQ(added.name, u"SECOND");
    EXPECT_GT(added.version, table.version);
    net.RunUntil([] { return false; }, 500);
    EXPECT_EQ(net.RawOfType(kMsgAddPlayer).size(), 1u);
    EXPECT_EQ(host.GetPlayers().size(), 3u);
}

}  // namespace
