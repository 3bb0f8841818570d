#include "core/ChunkDataParser.h"

#include "host/SFicPlugInChunk.h"

#include <algorithm>
#include <cstring>

namespace {

using SFicPlugInChunk::kHeaderSize;

constexpr size_t kPrefixLength = 2;
constexpr size_t kMarkerSize = 4;

size_t PaddedKeySize(size_t keyLength) { return (keyLength + 1 + 3) & ~size_t(3); }

size_t ValueSize(ChunkDataParser::Type type) { return type == ChunkDataParser::kDouble ? 8 : 4; }

const char* Prefix(ChunkDataParser::Type type)
{
    switch (type) {
    case ChunkDataParser::kDouble: return "d_";
    case ChunkDataParser::kFloat: return "f_";
    case ChunkDataParser::kShort: return "s_";
    default: return "l_";
    }
}

ChunkDataParser::Type TypeOfPrefix(const std::string& key)
{
    if (key.size() < kPrefixLength || key[1] != '_')
        return ChunkDataParser::kUnknown;
    switch (key[0]) {
    case 'd': return ChunkDataParser::kDouble;
    case 'f': return ChunkDataParser::kFloat;
    case 'l': return ChunkDataParser::kInteger;
    case 's': return ChunkDataParser::kShort;
    default: return ChunkDataParser::kUnknown;
    }
}

uint64_t ReadBE(const uint8_t* bytes, size_t count)
{
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

void WriteBE(uint8_t* bytes, uint64_t value, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        bytes[i] = uint8_t(value >> (8 * (count - 1 - i)));
}

} // namespace

ChunkDataParser::ChunkDataParser() : version_(-1) {}

void ChunkDataParser::Add(const std::string& name, int64_t bits, Type type)
{
    names_.push_back(name);
    values_.push_back(bits);
    types_.push_back(type);
}

void ChunkDataParser::AddDouble(const std::string& name, double value)
{
    int64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    Add(name, bits, kDouble);
}

void ChunkDataParser::AddInteger(const std::string& name, int32_t value) { Add(name, value, kInteger); }

void ChunkDataParser::Clear()
{
    names_.clear();
    values_.clear();
    types_.clear();
    version_ = -1;
}

int32_t ChunkDataParser::GetChunkSize() const
{
    size_t size = kHeaderSize + kMarkerSize;
    for (size_t i = 0; i < names_.size(); ++i)
        size += PaddedKeySize(kPrefixLength + names_[i].size()) + ValueSize(types_[i]);
    return int32_t(size);
}

bool ChunkDataParser::Write(std::span<uint8_t> chunk) const
{
    const size_t size = size_t(GetChunkSize());
    if (chunk.size() < size)
        return false;
    SFicPlugInChunk::WriteLE32(&chunk[SFicPlugInChunk::kSizeOffset], uint32_t(size));
    std::fill(chunk.begin() + kHeaderSize, chunk.end(), uint8_t(0));
    uint8_t* out = chunk.data() + kHeaderSize;
    WriteBE(out, kMarker, kMarkerSize);
    out += kMarkerSize;
    for (size_t i = 0; i < names_.size(); ++i) {
        const std::string key = Prefix(types_[i]) + names_[i];
        std::memcpy(out, key.data(), key.size()); // the padding stays zero
        out += PaddedKeySize(key.size());
        const size_t valueSize = ValueSize(types_[i]);
        WriteBE(out, uint64_t(values_[i]), valueSize);
        out += valueSize;
    }
    return true;
}

void ChunkDataParser::Parse(std::span<const uint8_t> chunk)
{
    Clear();
    if (chunk.size() < kHeaderSize)
        return;
    version_ = int32_t(SFicPlugInChunk::ReadLE32(&chunk[SFicPlugInChunk::kVersionOffset]));
    // The data part ends where fSize says, but never beyond the bytes we hold.
    const int64_t claimed = int64_t(int32_t(SFicPlugInChunk::ReadLE32(&chunk[SFicPlugInChunk::kSizeOffset])));
    const int64_t available = int64_t(chunk.size() - kHeaderSize);
    const size_t n = size_t(std::clamp<int64_t>(claimed - int64_t(kHeaderSize), 0, available));
    const uint8_t* data = chunk.data() + kHeaderSize;
    if (n < kMarkerSize || ReadBE(data, kMarkerSize) != kMarker)
        return;

    size_t position = kMarkerSize;
    while (position < n) {
        const size_t limit = std::min(kMaxKeyLength, n - position);
        const auto* start = reinterpret_cast<const char*>(data + position);
        const size_t length = strnlen(start, limit);
        const std::string key(start, length);
        position += PaddedKeySize(length);

        const Type type = TypeOfPrefix(key);
        int64_t bits = 0;
        if (type != kUnknown) {
            const size_t valueSize = ValueSize(type);
            if (position + valueSize > n)
                return;
            const uint64_t raw = ReadBE(data + position, type == kShort ? 2 : valueSize);
            switch (type) {
            case kInteger: bits = int32_t(uint32_t(raw)); break;
            case kShort: bits = int16_t(uint16_t(raw)); break;
            default: bits = int64_t(raw); break;
            }
            position += valueSize;
        }
        Add(key.size() >= kPrefixLength ? key.substr(kPrefixLength) : std::string(), bits, type);
    }
}

bool ChunkDataParser::Find(const std::string& name, int64_t* value, Type* type) const
{
    for (size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name && types_[i] != kUnknown) {
            *value = values_[i];
            *type = types_[i];
            return true;
        }
    }
    return false;
}

double ChunkDataParser::AsDouble(int64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float ChunkDataParser::AsFloat(int64_t bits)
{
    const uint32_t low = uint32_t(uint64_t(bits));
    float value;
    std::memcpy(&value, &low, sizeof value);
    return value;
}
