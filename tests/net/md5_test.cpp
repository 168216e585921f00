#include "net/md5.h"

#include <gtest/gtest.h>

#include <string>

TEST(MD5, Rfc1321Vectors) {
    struct Case {
        const char* name;
        std::string input;
        const char* digest;
    } cases[] = {
        {"empty", "", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"alphabet", "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"alphanumeric", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"digits", "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MD5Hex(c.input), c.digest);
    }
}

TEST(MD5, PiecewiseUpdatesGiveTheSameDigest) {
    std::string text(1000, '\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7 + 3);
    for (size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 999u}) {
        SCOPED_TRACE(piece);
        MD5Context context;
        MD5Init(context);
        for (size_t at = 0; at < text.size(); at += piece) {
            MD5Update(context, text.data() + at, std::min(piece, text.size() - at));
        }
        MD5Final(context);
        EXPECT_EQ(DigestToHex(context.digest), MD5Hex(text));
    }
}

TEST(MD5, LargeInputIsNotCutAt64KiB) {
    // The length is not a 16-bit count: 70000 bytes differ from their first 4464.
    std::string big(70000, 'x');
    EXPECT_NE(MD5Hex(big), MD5Hex(big.substr(0, 70000 - 65536)));
}

TEST(MD5, DigestToHexReturnsIndependentValues) {
    uint8_t zeros[16] = {};
    uint8_t ones[16];
    for (auto& b : ones) b = 0x1f;
    std::string first = DigestToHex(zeros);
    std::string second = DigestToHex(ones);
    EXPECT_EQ(first, std::string(32, '0'));
    EXPECT_EQ(second, "1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f");
}
