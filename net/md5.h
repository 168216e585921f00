// MD5 (RFC 1321) and its hex text form: every answer and rolled key of the
// login handshake is one of these digests. Tested by tests/net/md5_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct MD5Context {
    uint32_t bitCount[2];  // low word first
    uint32_t state[4];
    uint8_t block[64];
    uint8_t digest[16];  // valid after MD5Final
};

void MD5Init(MD5Context& context);
void MD5Update(MD5Context& context, const void* bytes, size_t length);
void MD5Final(MD5Context& context);

// 32 lower-case hex digits, in byte order.
std::string DigestToHex(const uint8_t digest[16]);

// Digest of text as hex, for callers that hash one piece.
std::string MD5Hex(std::string_view text);
