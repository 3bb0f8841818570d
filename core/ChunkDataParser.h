#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The entries of a settings chunk: typed values under short names, written
// after the 56-byte header as a marker and a list of padded, big-endian
// entries.  Parsing trusts nothing in the bytes it is given: sizes, keys and
// prefixes are all checked against the buffer's real length.
class ChunkDataParser {
public:
    enum Type : int32_t { kUnknown = 0, kFloat = 1, kInteger = 2, kDouble = 3, kShort = 4 };

    static constexpr uint32_t kMarker = 0x01010101;
    static constexpr size_t kMaxKeyLength = 255;

    ChunkDataParser();

    void AddDouble(const std::string& name, double value);
    void AddInteger(const std::string& name, int32_t value);
    void Clear();

    // Total chunk size, header included.
    int32_t GetChunkSize() const;
    // Writes fSize, the marker and the entries; the rest of the header is the
    // caller's.  False when the buffer is smaller than GetChunkSize().
    bool Write(std::span<uint8_t> chunk) const;
    // Replaces the entries by those of a chunk.  A data part without the
    // marker gives no entries.
    void Parse(std::span<const uint8_t> chunk);

    // The first entry of that name: its value bits and type; false if none.
    bool Find(const std::string& name, int64_t* value, Type* type) const;

    int32_t GetVersion() const { return version_; }
    size_t GetEntryCount() const { return names_.size(); }
    const std::string& GetName(size_t i) const { return names_[i]; }
    int64_t GetValueBits(size_t i) const { return values_[i]; }
    Type GetType(size_t i) const { return types_[i]; }

    // Reading a value's bits as the number they hold.
    static double AsDouble(int64_t bits);
    static float AsFloat(int64_t bits);

private:
    void Add(const std::string& name, int64_t bits, Type type);

    int32_t version_;
    std::vector<std::string> names_;
    std::vector<int64_t> values_;
    std::vector<Type> types_;
};
