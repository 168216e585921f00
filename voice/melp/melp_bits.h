// Bit routines of the MELP channel coding: the 6-bit channel words a frame is
// written into, the Hamming codes that protect unvoiced frames, and the byte
// packer that turns channel words into the 27 bytes of a block.
// Tested by tests/voice/melp_bits_test.cpp.
#pragma once

#include <cstdint>

namespace melp {

inline constexpr uint16_t kFrameStartMark = 1u << 15;  // set on a frame's first word; never sent
inline constexpr uint16_t kEraseMark = 1u << 14;       // a reader treats its frame as erased

// Position in a buffer of channel words.
struct ChannelCursor {
    uint16_t* word = nullptr;
    int bit = 0;
};

// Appends bits 0..n-1 of code at the cursor, w bits per word.
void bits_pack(int code, ChannelCursor& cursor, int n, int w);
// Reads n bits back, least significant first, into code; returns the
// eraseMask bits found in the words it read from.
int bits_unpack(ChannelCursor& cursor, int& code, int n, int w, uint16_t eraseMask);
// bits[0..n-1] := bits top, top-1, .. of value.
void bits_get(int* bits, int value, int top, int n);
// Bits top, top-1, .. of value := bits[0..n-1]; returns the new value.
int bits_set(int value, int top, int n, const int* bits);
int parity_of_and(const int* a, const int* b, int n);

// A systematic Hamming code: k data bits then m-k parity bits.
struct HammingCode {
    int m;
    int k;
    const int (*matrix)[4];  // m-k rows of k bits
    const int* table;        // syndrome -> position to flip, -1 none, -2 uncorrectable
};
extern const HammingCode kHamming84;
extern const HammingCode kHamming74;

void hamming_parity(int* word, const HammingCode& code);
int hamming_syndrome(const int* word, const HammingCode& code);
// Returns the corrected position, -1 for no error, -2 for uncorrectable.
int hamming_correct(int* word, const HammingCode& code);

// Byte packing of channel words: the low w <= 8 bits of each word, least
// significant bit first, stream bit p in bit p % 8 of byte p / 8. Both return
// the position after the last byte touched.
uint8_t* PackBits(const uint16_t* words, uint8_t* bytes, int totalBits, int bitsPerWord);
const uint8_t* UnpackBits(const uint8_t* bytes, uint16_t* words, int totalBits, int bitsPerWord);

}  // namespace melp
