// Tests of the UDP audio port on loopback sockets.
#include "voice/udp_audio_port.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/halk_socket_udp.h"
#include "voice/voice_wire.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001;

class Consumer : public CUDPConsumer {
public:
    Consumer(CUDPAudioPort* port, bool accepts) : CUDPConsumer(port), m_accepts(accepts) {}
    void OnPacket(uint32_t address, uint16_t, uint16_t senderId, const char* room, bool flag, const uint16_t*,
                  int8_t countA, const uint16_t*, int8_t, const uint8_t*, int16_t payloadLength) override {
        got.push_back(std::string(room) + "/" + std::to_string(senderId) + "/" + std::to_string(flag) + "/" +
                      std::to_string(countA) + "/" + std::to_string(payloadLength));
        from = address;
    }
    bool Accepts(uint32_t, uint16_t, uint16_t, const char*, bool, const uint16_t*, int8_t, const uint16_t*,
                 int8_t, int16_t) override {
        ++asked;
        return m_accepts;
    }
    std::vector<std::string> got;
    int asked = 0;
    uint32_t from = 0;

private:
    bool m_accepts;
};

class Producer : public CUDPProducer {
public:
    using CUDPProducer::CUDPProducer;
};

TEST(UdpAudioPort, FirstAcceptingConsumerOnlyAndEmptyPayloadsToo) {
    CUDPAudioPort receiver(0), sender(0);
    ASSERT_TRUE(receiver.IsOpen());
    Consumer refusing(&receiver, false), first(&receiver, true), second(&receiver, true);
    Producer producer(&sender);
    const uint16_t ids[] = {3, 4};
    producer.SendDatagram(kLoopback, receiver.LocalPort(), 2, "APP", true, ids, 2, nullptr, 0, nullptr, 0);
    receiver.Run();
    EXPECT_EQ(refusing.asked, 1);
    EXPECT_EQ(first.got, std::vector<std::string>{"APP/2/1/2/0"});
    EXPECT_TRUE(second.got.empty());
    EXPECT_EQ(second.asked, 0);
    EXPECT_EQ(first.from, kLoopback);
}

TEST(UdpAudioPort, DrainsEveryWaitingDatagramInOneRun) {
    CUDPAudioPort receiver(0), sender(0);
    Consumer consumer(&receiver, true);
    Producer producer(&sender);
    std::vector<uint8_t> block(86, 1);
    for (int i = 0; i < 20; ++i)
        producer.SendDatagram(kLoopback, receiver.LocalPort(), 1, "R", false, nullptr, 0, nullptr, 0,
                              block.data(), 86);
    receiver.Run();
    EXPECT_EQ(consumer.got.size(), 20u);
}

TEST(UdpAudioPort, NothingGoesToAddressOrPortZero) {
    CUDPAudioPort receiver(0), sender(0);
    Consumer consumer(&receiver, true);
    Producer producer(&sender);
    producer.SendDatagram(0, receiver.LocalPort(), 1, "R", false, nullptr, 0, nullptr, 0, nullptr, 0);
    producer.SendDatagram(kLoopback, 0, 1, "R", false, nullptr, 0, nullptr, 0, nullptr, 0);
    receiver.Run();
    EXPECT_TRUE(consumer.got.empty());
}

TEST(UdpAudioPort, MalformedAndOversizedDatagramsAreDropped) {
    CUDPAudioPort receiver(0);
    Consumer consumer(&receiver, true);
    HalkSocketUDP raw(0);
    std::string noNul =
        "\x0f"
        "ABC";
    raw.SendTo(noNul.data(), noNul.size(), kLoopback, receiver.LocalPort());
    std::string huge(3000, '\0');
    raw.SendTo(huge.data(), huge.size(), kLoopback, receiver.LocalPort());
    receiver.Run();
    EXPECT_TRUE(consumer.got.empty());
    EXPECT_EQ(receiver.Dropped(), 2);
}

TEST(UdpAudioPort, ConsumerListedOnceAndGoneAfterDeletion) {
    CUDPAudioPort port(0);
    std::vector<uint8_t> hello(8, 0);
    hello[0] = 0x0F;
    {
        Consumer consumer(&port, false);
        port.Dispatch(kLoopback, 1, hello.data(), hello.size());
        EXPECT_EQ(consumer.asked, 1);
    }
    Consumer later(&port, true);
    port.Dispatch(kLoopback, 1, hello.data(), hello.size());
    EXPECT_EQ(later.got.size(), 1u);
}

TEST(UdpAudioPort, ConsumersOutlivingThePortDoNotReachIt) {
    auto port = std::make_unique<CUDPAudioPort>(0);
    Consumer consumer(port.get(), true);
    port.reset();
}

}  // namespace
