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

std::unique_ptr<CORVEffectProcessRTAS> MakeInstance(int32_t effectId = 180)
{
    SProcessContext context;
    context.typeID = FourCC("TRRT");
    context.productID = FourCC("TRSd");
    context.manufacturerID = FourCC("Orvn");
    auto process = std::make_unique<CORVEffectProcessRTAS>(effectId, context);
    process->Initialize();
    return process;
}

std::vector<uint8_t> SaveChunk(CEffectProcess& process)
{
    int32_t size = 0;
    EXPECT_EQ(process.GetChunkSize(kElck, &size), kNoErr);
    std::vector<uint8_t> chunk(size_t(size), 0xAA);
    EXPECT_EQ(process.GetChunk(kElck, chunk), kNoErr);
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
std::vector<uint8_t> RawChunk(const std::vector<uint8_t>& data, int32_t fSize)
{
    std::vector<uint8_t> chunk(SFicPlugInChunk::kHeaderSize + data.size(), 0);
    SFicPlugInChunk::WriteLE32(chunk.data(), uint32_t(fSize));
    std::copy(data.begin(), data.end(), chunk.begin() + SFicPlugInChunk::kHeaderSize);
    return chunk;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> bytes;
    for (int v : values)
        bytes.push_back(uint8_t(v));
    return bytes;
}

} // namespace

TEST(ChunkLayout, EntriesArePaddedBigEndianAfterTheMarker)
{
    ChunkDataParser parser;
    parser.AddInteger("bypa", 1);
    parser.AddDouble("niaG", 0.5);
    EXPECT_EQ(parser.GetChunkSize(), 56 + 4 + 12 + 16);
    std::vector<uint8_t> chunk(size_t(parser.GetChunkSize()), 0xEE);
    ASSERT_TRUE(parser.Write(chunk));
    EXPECT_EQ(SFicPlugInChunk::ReadLE32(chunk.data()), 88u);
    const std::vector<uint8_t> data(chunk.begin() + 56, chunk.end());
    const std::vector<uint8_t> expected = Bytes({
        1, 1, 1, 1,                                          // marker
        'l', '_', 'b', 'y', 'p', 'a', 0, 0, 0, 0, 0, 1,        // "l_bypa", pad, int32 1
        'd', '_', 'n', 'i', 'a', 'G', 0, 0,                    // "d_niaG", pad
        0x3F, 0xE0, 0, 0, 0, 0, 0, 0,                          // 0.5 as a big-endian double
    });
    EXPECT_EQ(data, expected);
    std::vector<uint8_t> small(size_t(parser.GetChunkSize() - 1));
    EXPECT_FALSE(parser.Write(small));
}

TEST(ChunkLayout, InstanceChunkHasHeaderNameAndOneEntryPerControl)
{
    auto process = MakeInstance();
    const std::vector<uint8_t> chunk = SaveChunk(*process);
    // Foot switch 12 bytes, five parameter controls 16 bytes each.
    ASSERT_EQ(chunk.size(), 56u + 4u + 12u + 5u * 16u);
    EXPECT_EQ(SFicPlugInChunk::ReadLE32(&chunk[0]), chunk.size());
    EXPECT_EQ(SFicPlugInChunk::ReadLE32(&chunk[20]), kElck);
    EXPECT_EQ(SFicPlugInChunk::ReadLE32(&chunk[8]), FourCC("Orvn"));
    EXPECT_EQ(SFicPlugInChunk::ReadLE32(&chunk[16]), FourCC("TRRT"));
    EXPECT_STREQ(reinterpret_cast<const char*>(&chunk[24]), "Complete Controls State");
    EXPECT_EQ(chunk[24 + 31], 0);
    EXPECT_EQ(std::memcmp(&chunk[72], "d_pmeT\0", 8), 0); // "Tempo" stored reversed
    EXPECT_EQ(std::memcmp(&chunk[136], "d_xpaT\0", 8), 0); // "Tap" padded with x

    ChunkDataParser parser;
    parser.Parse(chunk);
    ASSERT_EQ(parser.GetEntryCount(), 6u);
    EXPECT_EQ(parser.GetName(0), "bypa");
    EXPECT_EQ(parser.GetType(0), ChunkDataParser::kInteger);
    EXPECT_EQ(parser.GetValueBits(0), 0);
    EXPECT_EQ(parser.GetType(1), ChunkDataParser::kDouble);
    EXPECT_NEAR(ChunkDataParser::AsDouble(parser.GetValueBits(1)), 290.0 / 690.0, 1e-7);
    EXPECT_EQ(parser.GetVersion(), SFicPlugInChunk::kChunkVersion);
}

TEST(ChunkRestore, NewInstanceReproducesEveryControlAndTheSameBytes)
{
    auto original = MakeInstance();
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> anyValue(std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max());
    for (int32_t index = 2; index <= original->GetNumControls(); ++index)
        original->SetControlValue(index, anyValue(random));
    original->SetControlValue(1, std::numeric_limits<int32_t>::max());
    const std::vector<uint8_t> saved = SaveChunk(*original);

    auto restored = MakeInstance();
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
}

TEST(ChunkRestore, OtherKindsAndBadMarkersChangeNothing)
{
    auto original = MakeInstance();
    original->SetControlValue(4, 12345);
    std::vector<uint8_t> saved = SaveChunk(*original);
    auto fresh = MakeInstance();
    const std::vector<int32_t> before = ControlValues(*fresh);
    fresh->SetChunk(FourCC("abcd"), saved);
    EXPECT_EQ(ControlValues(*fresh), before);
    saved[57] = 2; // marker broken
    fresh->SetChunk(kElck, saved);
    EXPECT_EQ(ControlValues(*fresh), before);
}

TEST(ChunkRestore, ControlsWithoutEntriesKeepTheirValues)
{
    ChunkDataParser parser;
    parser.AddDouble("tpeD", 1.0); // "Depth" only
    std::vector<uint8_t> chunk(size_t(parser.GetChunkSize()));
    parser.Write(chunk);
    auto process = MakeInstance();
    const std::vector<int32_t> before = ControlValues(*process);
    process->SetChunk(kElck, chunk);
    const std::vector<int32_t> after = ControlValues(*process);
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i], i == 3 ? std::numeric_limits<int32_t>::max() : before[i]);
    EXPECT_FLOAT_EQ(process->GetAlgorithm()->Value(4), 100.0f);
}

TEST(ChunkParse, FloatShortAndUnknownPrefixes)
{
    const std::vector<uint8_t> data = Bytes({
        1, 1, 1, 1,
        'f', '_', 'a', 'b', 'c', 'd', 0, 0, 0x3F, 0xC0, 0, 0,   // 1.5f
        's', '_', 'e', 'f', 'g', 'h', 0, 0, 0xFF, 0xFE, 0, 0,   // -2
        'z', '_', 'q', 0,                                       // unknown: no value
        'l', '_', 'i', 'j', 'k', 'l', 0, 0, 0xFF, 0xFF, 0xFF, 0xFD, // -3
    });
    ChunkDataParser parser;
    parser.Parse(RawChunk(data, int32_t(56 + data.size())));
    ASSERT_EQ(parser.GetEntryCount(), 4u);
    EXPECT_EQ(parser.GetType(0), ChunkDataParser::kFloat);
    EXPECT_EQ(ChunkDataParser::AsFloat(parser.GetValueBits(0)), 1.5f);
    EXPECT_EQ(parser.GetType(1), ChunkDataParser::kShort);
    EXPECT_EQ(parser.GetValueBits(1), -2);
    EXPECT_EQ(parser.GetType(2), ChunkDataParser::kUnknown);
    EXPECT_EQ(parser.GetName(2), "q");
    EXPECT_EQ(parser.GetValueBits(3), -3);
    int64_t bits = 0;
    ChunkDataParser::Type type = ChunkDataParser::kUnknown;
    EXPECT_TRUE(parser.Find("ijkl", &bits, &type));
    EXPECT_FALSE(parser.Find("q", &bits, &type)); // no value to find
}

TEST(ChunkParse, SharedNamesFindTheFirstEntry)
{
    ChunkDataParser parser;
    parser.AddDouble("niaG", 0.25);
    parser.AddDouble("niaG", 0.75);
    std::vector<uint8_t> chunk(size_t(parser.GetChunkSize()));
    parser.Write(chunk);
    parser.Parse(chunk);
    int64_t bits = 0;
    ChunkDataParser::Type type;
    ASSERT_TRUE(parser.Find("niaG", &bits, &type));
    EXPECT_EQ(ChunkDataParser::AsDouble(bits), 0.25);
}

// Every buffer here is exactly as long as the chunk claims or shorter, so a
// read past the end is caught by the address sanitizer build.
TEST(ChunkParse, HostileChunksNeverReadOutsideTheBuffer)
{
    ChunkDataParser parser;
    parser.Parse(std::vector<uint8_t>(10, 0xFF)); // shorter than a header
    EXPECT_EQ(parser.GetEntryCount(), 0u);
    parser.Parse(RawChunk({1, 1, 1}, 59)); // data shorter than the marker
    EXPECT_EQ(parser.GetEntryCount(), 0u);
    parser.Parse(RawChunk({1, 1, 1, 1}, -100)); // negative size
    EXPECT_EQ(parser.GetEntryCount(), 0u);

    // Huge fSize over a short, valid entry: stops at the real end.
    parser.Parse(RawChunk(Bytes({1, 1, 1, 1, 'd', '_', 'a', 'b', 'c', 'd', 0, 0, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0}),
                          0x7FFFFFFF));
    ASSERT_EQ(parser.GetEntryCount(), 1u);
    EXPECT_EQ(ChunkDataParser::AsDouble(parser.GetValueBits(0)), 1.0);

    // A key cut off by the end of the buffer, and a value cut off.
    parser.Parse(RawChunk(Bytes({1, 1, 1, 1, 'd', '_', 'a', 'b'}), 0x10000));
    EXPECT_EQ(parser.GetEntryCount(), 0u);
    parser.Parse(RawChunk(Bytes({1, 1, 1, 1, 'd', '_', 'a', 0, 0x3F, 0xF0}), 66));
    EXPECT_EQ(parser.GetEntryCount(), 0u);

    // An unterminated key of 300 characters is cut at 255 and parsing goes on.
    std::vector<uint8_t> longKey = {1, 1, 1, 1, 'l', '_'};
    longKey.insert(longKey.end(), 298, 'k');
    parser.Parse(RawChunk(longKey, int32_t(56 + longKey.size())));
    ASSERT_GE(parser.GetEntryCount(), 1u);
    EXPECT_EQ(parser.GetName(0).size(), 253u);

    // Random garbage of every length with a valid marker.
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> data(size_t(4 + random() % 80));
        for (uint8_t& byte : data)
            byte = uint8_t(random() % 4 == 0 ? 0 : "dfls_xyz"[random() % 8]);
        data[0] = data[1] = data[2] = data[3] = 1;
        const int32_t claimed = int32_t(random() % 3 == 0 ? 0x7FFFFFF0 : 56 + data.size());
        parser.Parse(RawChunk(data, claimed));
        EXPECT_LE(parser.GetEntryCount(), data.size());
    }
}

TEST(ChunkParse, RestoringHostileChunksKeepsTheInstanceWorking)
{
    auto process = MakeInstance();
    std::mt19937 random(5);
    const std::vector<uint8_t> good = SaveChunk(*process);
    for (int round = 0; round < 500; ++round) {
        std::vector<uint8_t> chunk(good.begin(), good.begin() + long(random() % good.size()));
        for (int flips = 0; flips < 4 && !chunk.empty(); ++flips)
            chunk[random() % chunk.size()] = uint8_t(random());
        process->SetChunk(kElck, chunk);
    }
    for (int32_t index = 2; index <= process->GetNumControls(); ++index) {
        const float n = process->GetAlgorithm()->GetParameter(index)->normValue;
        EXPECT_GE(n, 0.0f);
        EXPECT_LE(n, 1.0f);
    }
}
