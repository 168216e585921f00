// Fuzz target of the session host: any datagrams, from an address with an
// established connection or from one it does not know, reach a host with an
// open session without a crash, and the host keeps answering enumeration.
// Input: records of a source byte (bit 0: known address, bits 1-7: time to
// advance), a 16-bit length and that many bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "simbridge/dplay_node.h"

namespace {

using namespace dplay;

struct NullEvents : DplayNodeEvents {
    void OnPlayerCreated(SimPlayerId, const SimPlayerInfo&) override {}
    void OnPlayerDestroyed(SimPlayerId) override {}
    void OnReceive(SimPlayerId, const std::string&, const Bytes&) override {}
    void OnSessionTerminated(const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Address known{0x7F000001, 40000}, stranger{0x7F000001, 40001};
    size_t answers = 0;
    NullEvents events;
    DplayNode host([&](const Address& to, const Bytes&) { answers += to == stranger; }, &events, 1);
    SimHostDescription description;
    description.application.data1 = 0x0808caa5;
    description.sessionName = "fuzz";
    description.playerName = "host";
    host.Host(description, SimGuid{0x12345678, 1, 2, {}}, 1000);
    uint64_t now = 1000;
    // The known address connects first, so its data frames reach the connection.
    ConnectFrame connect;
    connect.sessionId = 0xABCD;
    host.OnDatagram(known, EncodeConnectFrame(connect), now);
    connect.opcode = kOpConnected;
    connect.poll = false;
    host.OnDatagram(known, EncodeConnectFrame(connect), now);

    size_t at = 0;
    while (at + 3 <= size) {
        const uint8_t source = data[at];
        const size_t length = data[at + 1] | data[at + 2] << 8;
        at += 3;
        const size_t take = length < size - at ? length : size - at;
        now += source >> 1;
        host.OnDatagram(source & 1 ? known : stranger, ByteSpan(data + at, take), now);
        host.Poll(now);
        at += take;
    }
    EnumQuery query;
    const size_t before = answers;
    host.OnDatagram(stranger, EncodeEnumQuery(query), now);
    if (answers != before + 1) std::abort();
    return 0;
}
