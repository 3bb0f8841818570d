#pragma once
#include <cstdint>

// Status codes of the host plug-in library.
constexpr int32_t kNoErr = 0;
constexpr int32_t kErrGroupCreation = -7003;
constexpr int32_t kErrBadControlIndex = -7004;
constexpr int32_t kErrBadChunk = -7005;
constexpr int32_t kErrChunkTooSmall = -7006;

// The channel layout of a real-time type's input or output.
enum class StemFormat : int32_t { Mono = 1, Stereo = 2 };

// What the engine tells a process about the world it runs in when it is made.
struct SProcessContext {
    double sampleRate = 48000.0;
    int32_t numChannels = 2;
    uint32_t manufacturerID = 0;
    uint32_t productID = 0;
    uint32_t typeID = 0;
};
