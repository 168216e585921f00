// Fuzz target: the voice server's item stream, fed in pieces whose sizes the
// first byte chooses. The reader must stay inside what arrived, and stop for
// good at a bad item.
#include <cstdint>
#include <cstdlib>

#include "voice/voice_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    size_t piece = data[0] % 16 + 1;
    VoiceItemReader reader;
    VoiceItem item;
    for (size_t at = 1; at < size; at += piece) {
        size_t n = size - at < piece ? size - at : piece;
        reader.Append(data + at, n);
        for (;;) {
            auto step = reader.Next(item);
            if (step == VoiceItemReader::Step::Bad) return 0;
            if (step == VoiceItemReader::Step::NeedMore) break;
            if (item.name.size() > VoiceItemReader::kMaxValue) std::abort();
        }
        if (reader.Buffered() > size) std::abort();
    }
    return 0;
}
