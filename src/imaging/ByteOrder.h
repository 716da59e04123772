#pragma once

#include <cstdint>

// The fixed-size fields of picture files: PNG and JPEG store them big-endian, BMP and GIF
// little-endian. Callers check that the bytes are there.
namespace ByteOrder {

inline uint32_t BigEndian16(const unsigned char* at) {
    return uint32_t{at[0]} << 8 | at[1];
}
inline uint32_t BigEndian32(const unsigned char* at) {
    return BigEndian16(at) << 16 | BigEndian16(at + 2);
}
inline uint32_t LittleEndian16(const unsigned char* at) {
    return uint32_t{at[1]} << 8 | at[0];
}
inline uint32_t LittleEndian32(const unsigned char* at) {
    return LittleEndian16(at + 2) << 16 | LittleEndian16(at);
}

inline void PutBigEndian32(uint32_t value, unsigned char* target) {
    target[0] = static_cast<unsigned char>(value >> 24);
    target[1] = static_cast<unsigned char>(value >> 16);
    target[2] = static_cast<unsigned char>(value >> 8);
    target[3] = static_cast<unsigned char>(value);
}

// The eight bytes every PNG file starts with.
inline constexpr unsigned char PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

}  // namespace ByteOrder
