// Bit routines of the MELP channel coding. Tested by tests/voice/melp_bits_test.cpp.
#include "voice/melp/melp_bits.h"

namespace melp {

namespace {
constexpr int kM8[4][4] = {{1, 1, 0, 1}, {1, 0, 1, 1}, {0, 1, 1, 1}, {1, 1, 1, 0}};
constexpr int kTable8[16] = {-1, 7, 6, -2, 5, -2, -2, 2, 4, -2, -2, 1, -2, 0, 3, -2};
constexpr int kM7[3][4] = {{1, 1, 0, 1}, {1, 0, 1, 1}, {0, 1, 1, 1}};
constexpr int kTable7[8] = {-1, 6, 5, 2, 4, 1, 0, 3};
}  // namespace

const HammingCode kHamming84 = {8, 4, kM8, kTable8};
const HammingCode kHamming74 = {7, 4, kM7, kTable7};

void bits_pack(int code, ChannelCursor& cursor, int n, int w) {
    for (int i = 0; i < n; ++i) {
        const uint16_t bit = static_cast<uint16_t>((code >> i) & 1);
        if (cursor.bit == 0)
            *cursor.word = bit;
        else
            *cursor.word |= static_cast<uint16_t>(bit << cursor.bit);
        if (++cursor.bit == w) {
            cursor.bit = 0;
            ++cursor.word;
        }
    }
}

int bits_unpack(ChannelCursor& cursor, int& code, int n, int w, uint16_t eraseMask) {
    int erased = *cursor.word & eraseMask;
    code = 0;
    for (int i = 0; i < n; ++i) {
        code |= ((*cursor.word >> cursor.bit) & 1) << i;
        if (++cursor.bit == w) {
            cursor.bit = 0;
            ++cursor.word;
            if (i + 1 < n) erased |= *cursor.word & eraseMask;
        }
    }
    return erased;
}

void bits_get(int* bits, int value, int top, int n) {
    for (int i = 0; i < n; ++i) bits[i] = (value >> (top - i)) & 1;
}

int bits_set(int value, int top, int n, const int* bits) {
    for (int i = 0; i < n; ++i) {
        const int mask = 1 << (top - i);
        value = bits[i] ? (value | mask) : (value & ~mask);
    }
    return value;
}

int parity_of_and(const int* a, const int* b, int n) {
    int parity = 0;
    for (int i = 0; i < n; ++i) parity ^= a[i] & b[i];
    return parity;
}

void hamming_parity(int* word, const HammingCode& code) {
    for (int i = code.k; i < code.m; ++i) word[i] = parity_of_and(word, code.matrix[i - code.k], code.k);
}

int hamming_syndrome(const int* word, const HammingCode& code) {
    int syndrome = 0;
    for (int i = code.k; i < code.m; ++i) {
        const int check = parity_of_and(word, code.matrix[i - code.k], code.k) ^ (word[i] & 1);
        syndrome += check << (code.m - 1 - i);
    }
    return syndrome;
}

int hamming_correct(int* word, const HammingCode& code) {
    const int position = code.table[hamming_syndrome(word, code)];
    if (position >= 0) word[position] ^= 1;
    return position;
}

uint8_t* PackBits(const uint16_t* words, uint8_t* bytes, int totalBits, int bitsPerWord) {
    if (totalBits < 1) return bytes;
    for (int p = 0; p < totalBits; ++p) {
        const int bit = (words[p / bitsPerWord] >> (p % bitsPerWord)) & 1;
        uint8_t& byte = bytes[p / 8];
        if (p % 8 == 0)
            byte = static_cast<uint8_t>(bit);
        else
            byte |= static_cast<uint8_t>(bit << (p % 8));
    }
    return bytes + (totalBits - 1) / 8 + 1;
}

const uint8_t* UnpackBits(const uint8_t* bytes, uint16_t* words, int totalBits, int bitsPerWord) {
    if (totalBits < 1) return bytes;
    for (int p = 0; p < totalBits; ++p) {
        const uint16_t bit = static_cast<uint16_t>((bytes[p / 8] >> (p % 8)) & 1);
        uint16_t& word = words[p / bitsPerWord];
        if (p % bitsPerWord == 0)
            word = bit;
        else
            word |= static_cast<uint16_t>(bit << (p % bitsPerWord));
    }
    return bytes + (totalBits - 1) / 8 + 1;
}

}  // namespace melp
