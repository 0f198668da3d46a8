// Facts shared by both snapshot file formats: little-endian unsigned integers,
// names counted by a 16-bit length, and the version word at offset 0 that is
// written last, so that a file whose writing stopped early carries 0.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint16_t kFSSnapVersion = 174;
constexpr uint16_t kRegSnapVersion = 225;

// Longest name a counted string can hold.
constexpr uint32_t kMaxCountedName = 0xFFFF;

// The bytes of a name that a counted string keeps: a longer name is cut.
inline uint16_t CountedNameLength(std::size_t length)
{
    return static_cast<uint16_t>(length > kMaxCountedName ? kMaxCountedName : length);
}

inline void PutLE16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void PutLE32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void PutLE64(uint8_t* p, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint16_t GetLE16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t GetLE32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline uint64_t GetLE64(const uint8_t* p)
{
    return static_cast<uint64_t>(GetLE32(p)) | (static_cast<uint64_t>(GetLE32(p + 4)) << 32);
}
