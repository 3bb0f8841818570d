#include "core/ChunkDataParser.h"

#include "core/CORVEffectProcessRTAS.h"
#include "dsp/CORVParRelations.h"
#include "dsp/FourCC.h"
#include "host/SFicPlugInChunk.h"
#include "tests/RecordingBridge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>

namespace {

constexpr uint32_t kElck = 0x656C636B;
using Bytes = std::vector<uint8_t>;

std::unique_ptr<CORVEffectProcessRTAS> MakeTremolo()
{
    SProcessContext context;
    context.typeID = FourCC("TRRT");
    context.productID = FourCC("TRSd");
    context.manufacturerID = FourCC("Orvn");
    auto process = std::make_unique<CORVEffectProcessRTAS>(180, context);
    process->Initialize();
    return process;
}

Bytes SaveChunk(CEffectProcess& process)
{
    int32_t size = 0;
    EXPECT_EQ(process.GetChunkSize(kElck, &size), kNoErr);
    Bytes chunk(size_t(size), 0xAA);
    EXPECT_EQ(process.GetChunk(kElck, chunk), kNoErr);
    return chunk;
}

Bytes Write(const ChunkDataParser& parser)
{
    Bytes chunk(size_t(parser.GetChunkSize()), 0xEE);
    EXPECT_TRUE(parser.Write(chunk));
    return chunk;
}

std::vector<int32_t> ControlValues(const CEffectProcess& process)
{
    std::vector<int32_t> values;
    for (int32_t index = 1; index <= process.GetNumControls(); ++index)
        values.push_back(process.GetControl(index)->GetValue());
    return values;
}

// A chunk of header plus the given data bytes, with fSize as given.
Bytes RawChunk(const std::string& data, int32_t fSize)
{
    Bytes chunk(SFicPlugInChunk::kHeaderSize + data.size(), 0);
    SFicPlugInChunk::WriteLE32(chunk.data(), uint32_t(fSize));
    std::copy(data.begin(), data.end(), chunk.begin() + SFicPlugInChunk::kHeaderSize);
    return chunk;
}

Bytes RawChunk(const std::string& data) { return RawChunk(data, int32_t(56 + data.size())); }

const std::string kMarker("\1\1\1\1", 4);

} // namespace

TEST(ChunkLayout, EntriesArePaddedBigEndianAfterTheMarker)
{
    ChunkDataParser parser;
    parser.AddInteger("bypa", 1);
    parser.AddDouble("niaG", 0.5);
    parser.AddDouble("niaG", 0.75);
    EXPECT_EQ(parser.GetChunkSize(), 56 + 4 + 12 + 16 + 16);
    const Bytes chunk = Write(parser);
    EXPECT_EQ(SFicPlugInChunk::ReadLE32(chunk.data()), 104u);
    const std::string expected = kMarker + std::string("l_bypa\0\0\0\0\0\1", 12) // name, pad, int32 1
                                 + std::string("d_niaG\0\0\x3F\xE0\0\0\0\0\0\0", 16) // 0.5 as a big-endian double
                                 + std::string("d_niaG\0\0\x3F\xE8\0\0\0\0\0\0", 16);
    EXPECT_EQ(std::string(chunk.begin() + 56, chunk.end()), expected);
    Bytes small(size_t(parser.GetChunkSize() - 1));
    EXPECT_FALSE(parser.Write(small));

    // A name stored twice finds its first entry.
    ChunkDataParser reader;
    reader.Parse(chunk);
    int64_t bits = 0;
    ChunkDataParser::Type type = ChunkDataParser::kUnknown;
    ASSERT_TRUE(reader.Find("niaG", &bits, &type));
    EXPECT_EQ(type, ChunkDataParser::kDouble);
    EXPECT_EQ(ChunkDataParser::AsDouble(bits), 0.5);
}

TEST(ChunkLayout, InstanceChunkHasHeaderNameAndOneEntryPerControl)
{
    auto process = MakeTremolo();
    const Bytes chunk = SaveChunk(*process);
    // Foot switch 12 bytes, five parameter controls 16 bytes each.
    ASSERT_EQ(chunk.size(), 56u + 4u + 12u + 5u * 16u);
    EXPECT_EQ(SFicPlugInChunk::ReadLE32(&chunk[0]), chunk.size());
    EXPECT_EQ(SFicPlugInChunk::ReadLE32(&chunk[8]), FourCC("Orvn"));
    EXPECT_EQ(SFicPlugInChunk::ReadLE32(&chunk[16]), FourCC("TRRT"));
    EXPECT_EQ(SFicPlugInChunk::ReadLE32(&chunk[20]), kElck);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&chunk[24]), 32),
              std::string("Complete Controls State").append(9, '\0'));
    EXPECT_EQ(std::string(chunk.begin() + 60, chunk.begin() + 72), std::string("l_bypa\0\0\0\0\0\0", 12));
    EXPECT_EQ(std::memcmp(&chunk[72], "d_pmeT\0", 8), 0);  // "Tempo" stored reversed
    EXPECT_EQ(std::memcmp(&chunk[136], "d_xpaT\0", 8), 0); // "Tap" padded with x
    ChunkDataParser parser;
    parser.Parse(chunk);
    EXPECT_EQ(parser.GetEntryCount(), 6u);
    EXPECT_EQ(parser.GetVersion(), SFicPlugInChunk::kChunkVersion);
    // The tempo's default, 300 in 10 .. 700 BPM, normalised.
    EXPECT_NEAR(ChunkDataParser::AsDouble(parser.GetValueBits(1)), 290.0 / 690.0, 1e-7);
}

TEST(ChunkRestore, NewInstanceReproducesEveryControlAndTheSameBytes)
{
    auto original = MakeTremolo();
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> anyValue(std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max());
    for (int32_t index = 2; index <= original->GetNumControls(); ++index)
        original->SetControlValue(index, anyValue(random));
    original->SetControlValue(1, std::numeric_limits<int32_t>::max());
    const Bytes saved = SaveChunk(*original);

    auto restored = MakeTremolo();
    testing_support::RecordingBridge bridge;
    restored->EditorInterface().AttachEditor(&bridge);
    EXPECT_EQ(restored->SetChunk(kElck, saved), kNoErr);
    EXPECT_EQ(bridge.calls.front(), "ClearChange");
    EXPECT_EQ(ControlValues(*restored), ControlValues(*original));
    EXPECT_TRUE(restored->GetAlgorithm()->bypassed);
    EXPECT_TRUE(static_cast<CORVParRelations*>(restored->GetAlgorithm())->savedBypass);
    for (const auto& [index, parameter] : original->GetAlgorithm()->parameters)
        EXPECT_EQ(restored->GetAlgorithm()->GetParameter(index)->value, parameter->value) << parameter->name;
    EXPECT_EQ(SaveChunk(*restored), saved);

    // Another kind of chunk, or one without the marker, changes nothing.
    auto fresh = MakeTremolo();
    const std::vector<int32_t> before = ControlValues(*fresh);
    fresh->SetChunk(FourCC("abcd"), saved);
    EXPECT_EQ(ControlValues(*fresh), before);
    Bytes broken = saved;
    broken[57] = 2;
    fresh->SetChunk(kElck, broken);
    EXPECT_EQ(ControlValues(*fresh), before);
}

TEST(ChunkRestore, ControlsWithoutEntriesKeepTheirValues)
{
    ChunkDataParser parser;
    parser.AddDouble("tpeD", 1.0); // "Depth" only
    auto process = MakeTremolo();
    const std::vector<int32_t> before = ControlValues(*process);
    process->SetChunk(kElck, Write(parser));
    const std::vector<int32_t> after = ControlValues(*process);
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i], i == 3 ? std::numeric_limits<int32_t>::max() : before[i]);
    EXPECT_FLOAT_EQ(process->GetAlgorithm()->Value(4), 100.0f);
}

TEST(ChunkParse, FloatShortAndUnknownPrefixes)
{
    ChunkDataParser parser;
    parser.Parse(RawChunk(kMarker + std::string("f_abcd\0\0\x3F\xC0\0\0", 12)  // 1.5f
                          + std::string("s_efgh\0\0\xFF\xFE\0\0", 12)      // -2
                          + std::string("z_q\0", 4)                        // unknown: no value
                          + std::string("l_ijkl\0\0\xFF\xFF\xFF\xFD", 12))); // -3
    ASSERT_EQ(parser.GetEntryCount(), 4u);
    using P = ChunkDataParser;
    const P::Type types[] = {P::kFloat, P::kShort, P::kUnknown, P::kInteger};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(parser.GetType(i), types[i]) << i;
    EXPECT_EQ(ChunkDataParser::AsFloat(parser.GetValueBits(0)), 1.5f);
    EXPECT_EQ(parser.GetValueBits(1), -2);
    EXPECT_EQ(parser.GetName(2), "q");
    EXPECT_EQ(parser.GetValueBits(3), -3);
    int64_t bits = 0;
    ChunkDataParser::Type type = ChunkDataParser::kUnknown;
    EXPECT_FALSE(parser.Find("q", &bits, &type)); // no value to find
}

// Every buffer here is exactly as long as the chunk claims or shorter, so a
// read past the end is caught by the address sanitizer build.
TEST(ChunkParse, HostileChunksNeverReadOutsideTheBuffer)
{
    const std::string one("d_abcd\0\0\x3F\xF0\0\0\0\0\0\0", 16); // 1.0
    const std::pair<Bytes, size_t> cases[] = {
        {Bytes(10, 0xFF), 0},                                        // shorter than a header
        {RawChunk("\1\1\1", 59), 0},                                  // data shorter than the marker
        {RawChunk(kMarker, -100), 0},                                 // negative size
        {RawChunk(kMarker + one, 0x7FFFFFFF), 1},                     // huge size: stops at the real end
        {RawChunk(kMarker + "d_ab", 0x10000), 0},                     // a key cut off
        {RawChunk(kMarker + std::string("d_a\0\x3F\xF0", 6), 66), 0}, // a value cut off
    };
    ChunkDataParser parser;
    for (const auto& [chunk, entries] : cases) {
        parser.Parse(chunk);
        EXPECT_EQ(parser.GetEntryCount(), entries);
    }
    parser.Parse(cases[3].first);
    EXPECT_EQ(ChunkDataParser::AsDouble(parser.GetValueBits(0)), 1.0);

    // Cut and damaged chunks leave an instance's values in range.
    std::mt19937 random(11);
    auto process = MakeTremolo();
    const Bytes good = SaveChunk(*process);
    for (int round = 0; round < 500; ++round) {
        Bytes chunk(good.begin(), good.begin() + long(random() % good.size()));
        for (int flips = 0; flips < 4 && !chunk.empty(); ++flips)
            chunk[random() % chunk.size()] = uint8_t(random());
        process->SetChunk(kElck, chunk);
    }
    for (int32_t index = 2; index <= process->GetNumControls(); ++index) {
        const float n = process->GetAlgorithm()->GetParameter(index)->normValue;
        EXPECT_TRUE(n >= 0.0f && n <= 1.0f) << index;
    }
}
