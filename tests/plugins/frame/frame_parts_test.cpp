// The frame's small parts: PLUGIN_INFO filling, stored-value conversions, the delay line.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "plugins/common/delay_line.h"
#include "plugins/common/plugin_frame.h"

namespace {

PluginDescription Description(std::optional<uint32_t> kind) {
    return PluginDescription{"Name", "Author", 0x50000, kind, false, false, nullptr};
}

// The size rule is sizeof(PLUGIN_INFO): 32 with 64-bit pointers. 24, the size of the
// 32-bit layout, names a record too short for the fields and is refused.
TEST(PluginInfo, WrongSizeLeavesTheRecordUntouched) {
    static_assert(sizeof(PLUGIN_INFO) == 32);
    for (uint32_t size : {0u, 20u, 24u, 31u, 33u}) {
        PLUGIN_INFO info;
        std::memset(&info, 0xA5, sizeof info);
        info.size = size;
        PLUGIN_INFO before = info;
        EXPECT_EQ(FillPluginInfo(&info, Description(3)), 0) << size;
        EXPECT_EQ(std::memcmp(&info, &before, sizeof info), 0) << size;
    }
    EXPECT_EQ(FillPluginInfo(nullptr, Description(3)), 0);
}

TEST(PluginInfo, RightSizeFillsTheRecordAndKindOnlyWhenGiven) {
    PLUGIN_INFO info;
    std::memset(&info, 0xA5, sizeof info);
    info.size = sizeof(PLUGIN_INFO);
    ASSERT_EQ(FillPluginInfo(&info, Description(std::nullopt)), 1);
    EXPECT_EQ(info.reserved, 0u);
    EXPECT_STREQ(info.name, "Name");
    EXPECT_STREQ(info.author, "Author");
    EXPECT_EQ(info.version, 0x50000u);
    EXPECT_EQ(info.kind, 0xA5A5A5A5u);

    ASSERT_EQ(FillPluginInfo(&info, Description(2)), 1);
    EXPECT_EQ(info.kind, 2u);
}

TEST(StoredValues, ConvertAsStoredWithLimits) {
    EXPECT_DOUBLE_EQ(StoredToFactor(80, 0.5, 100, 100), 0.805);
    EXPECT_DOUBLE_EQ(StoredToFactor(40, 0.0, 100, 99), 0.40);
    // Read as unsigned: a negative stored number is huge and held to the limit.
    EXPECT_DOUBLE_EQ(StoredToFactor(-1, 0.5, 100, 100), 1.005);
    EXPECT_DOUBLE_EQ(StoredToFactor(250, 0.0, 100, 99), 0.99);
    EXPECT_EQ(StoredToCount(3000, 3000), 3000);
    EXPECT_EQ(StoredToCount(100000, 3000), 3000);
    EXPECT_EQ(StoredToCount(-5, 5000), 5000);
    EXPECT_EQ(StoredToCount(0, 5000), 0);
}

TEST(StoredValues, SavingCutsTowardZero) {
    EXPECT_EQ(FactorToStored(0.805, 100), 80);
    EXPECT_EQ(FactorToStored(0.999, 100), 99);
    EXPECT_EQ(FactorToStored(-0.805, 100), -80);
    EXPECT_EQ(FactorToStored(0.0, 100), 0);
    EXPECT_EQ(FactorToStored(1e12, 100), INT32_MAX);
}

TEST(StoredValues, EveryStoredValueSurvivesLoadAndSave) {
    for (int32_t s = 0; s <= 100; ++s) {
        EXPECT_EQ(FactorToStored(StoredToFactor(s, 0.0, 100, 100), 100), s) << s;
        EXPECT_EQ(FactorToStored(StoredToFactor(s, 0.5, 100, 100), 100), s) << s;
    }
    for (int32_t s = 0; s <= 6553400; s += 977)
        EXPECT_EQ(FactorToStored(StoredToFactor(s, 0.5, 3276700, UINT32_MAX), 3276700), s) << s;
}

std::vector<double> Pass(CDelay& line, const std::vector<double>& input) {
    std::vector<double> output;
    for (double x : input) {
        output.push_back(line.Read());
        line.Write(x);
    }
    return output;
}

TEST(DelayLine, ReadThenWriteDelaysByTheLength) {
    CDelay line;
    line.SetUp(0.0, 3);
    EXPECT_EQ(Pass(line, {1, 2, 3, 4, 5, 6}), (std::vector<double>{0, 0, 0, 1, 2, 3}));
}

TEST(DelayLine, ZeroLengthMakesOneSample) {
    CDelay line;
    line.SetUp(0.0, 0);
    EXPECT_EQ(line.Length(), 1u);
    EXPECT_EQ(Pass(line, {1, 2, 3}), (std::vector<double>{0, 1, 2}));
}

TEST(DelayLine, FactorAddsTheOverwrittenSample) {
    CDelay line;
    line.SetUp(0.5, 2);
    EXPECT_EQ(Pass(line, {1, 0, 0, 0, 0, 0}), (std::vector<double>{0, 0, 1, 0, 0.5, 0}));
}

TEST(DelayLine, WithoutRingReadsZeroAndDropsWrites) {
    CDelay line;
    EXPECT_EQ(Pass(line, {1, 2}), (std::vector<double>{0, 0}));
    line.SetUp(0.0, 4);
    Pass(line, {1, 2});
    line.Clear();
    EXPECT_EQ(line.Length(), 0u);
    EXPECT_EQ(Pass(line, {3, 4}), (std::vector<double>{0, 0}));
}

TEST(DelayLine, SetUpStartsFromSilence) {
    CDelay line;
    line.SetUp(0.0, 2);
    Pass(line, {7, 8, 9});
    line.SetUp(0.0, 2);
    EXPECT_EQ(Pass(line, {1, 1, 1}), (std::vector<double>{0, 0, 1}));
}

TEST(DelayLine, CopyTakesRingAndPosition) {
    CDelay line;
    line.SetUp(0.0, 3);
    Pass(line, {1, 2});
    CDelay copy = line;
    EXPECT_EQ(Pass(copy, {0, 0, 0, 0}), (std::vector<double>{0, 1, 2, 0}));
    EXPECT_EQ(Pass(line, {0}), (std::vector<double>{0}));  // the original runs on its own
}

TEST(DelayLine, LengthFromMillisecondsAndRate) {
    EXPECT_EQ(DelayLineLength(3000, 44100), 132300u);
    EXPECT_EQ(DelayLineLength(5000, 48000), 240000u);
    EXPECT_EQ(DelayLineLength(15, 44100), 661u);  // 661.5 cut
    EXPECT_EQ(DelayLineLength(0, 44100), 0u);
    EXPECT_EQ(DelayLineLength(UINT32_MAX, UINT32_MAX), UINT32_MAX);
}

}  // namespace
