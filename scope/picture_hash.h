// A 64-bit FNV-1a hash of what a frame would show, fed field by field, so a
// display can tell whether its picture changed without drawing it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

class PictureHash {
public:
    PictureHash& Add(std::string_view text) {
        Add(static_cast<uint64_t>(text.size()));
        for (char c : text) Byte(static_cast<uint8_t>(c));
        return *this;
    }
    PictureHash& Add(const char* text) { return Add(std::string_view(text)); }
    PictureHash& Add(double value) {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return Add(bits);
    }
    PictureHash& Add(int value) { return Add(static_cast<uint64_t>(static_cast<int64_t>(value))); }
    PictureHash& Add(bool value) { return Add(static_cast<uint64_t>(value)); }
    PictureHash& Add(uint32_t value) { return Add(static_cast<uint64_t>(value)); }
    PictureHash& Add(uint64_t value) {
        for (int i = 0; i < 8; ++i) Byte(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
    uint64_t Value() const { return m_hash; }

private:
    void Byte(uint8_t b) {
        m_hash ^= b;
        m_hash *= 1099511628211ull;
    }
    uint64_t m_hash = 14695981039346656037ull;
};
