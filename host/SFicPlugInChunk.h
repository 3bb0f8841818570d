#pragma once
#include <cstddef>
#include <cstdint>

// The host's settings-chunk header, 56 bytes in little-endian order, followed
// by the plug-in's own data.  Chunks travel as byte buffers; these offsets say
// where the header fields lie.
namespace SFicPlugInChunk {

constexpr size_t kSizeOffset = 0;
constexpr size_t kVersionOffset = 4;
constexpr size_t kManufacturerOffset = 8;
constexpr size_t kProductOffset = 12;
constexpr size_t kPlugInOffset = 16;
constexpr size_t kChunkIDOffset = 20;
constexpr size_t kNameOffset = 24;
constexpr size_t kNameSize = 32;
constexpr size_t kHeaderSize = 56;

constexpr int32_t kChunkVersion = 1;

inline uint32_t ReadLE32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

inline void WriteLE32(uint8_t* bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = uint8_t(value >> (8 * i));
}

} // namespace SFicPlugInChunk
