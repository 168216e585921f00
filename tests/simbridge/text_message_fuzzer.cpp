// Fuzz target: arbitrary bytes as a simulator text message. No crash, the
// text stops at the first NUL, and what we would send back reads the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "simbridge/fs_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 16)) return 0;
    const std::vector<uint8_t> message(data, data + size);
    std::string text;
    if (!ParseTextMessage(message, text)) return 0;
    if (text.find('\0') != std::string::npos || text.size() + 8 > size) std::abort();
    std::string again;
    if (!ParseTextMessage(BuildTextMessage(text), again) || again != text) std::abort();
    return 0;
}
