// Fuzz target: voice datagrams as they arrive on the voice port. Whatever the
// bytes, the reader stays inside them, and a datagram it accepts is built
// back into the same header.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "voice/voice_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VoiceDatagram d;
    if (!ParseVoiceDatagram(data, size, d)) return 0;
    if (d.payloadLength < 0 || d.payload + d.payloadLength != data + size) std::abort();
    uint8_t out[kMaxVoiceDatagram];
    size_t n = BuildVoiceDatagram(out, d.room, d.senderId, d.flag, d.listA.data(), d.countA, d.listB.data(),
                                  d.countB, d.payload, d.payloadLength);
    if (n == 0) return 0;  // too big to send again; reading it was still safe
    VoiceDatagram again;
    if (!ParseVoiceDatagram(out, n, again)) std::abort();
    if (again.room != d.room || again.senderId != d.senderId || again.listA != d.listA ||
        again.listB != d.listB || again.payloadLength != d.payloadLength)
        std::abort();
    return 0;
}
