// The delays' shared record: formats it refuses, line sizes, slices and the right channel,
// closing; and the stored form of the shared parameters.
#include <gtest/gtest.h>

#include <vector>

#include "plugins/common/delay_pair.h"
#include "tests/plugins/frame/plugin_test_support.h"

namespace {

// A delay record that adds 1 to every left sample and 2 to every right one, and notes what
// each slice handed it.
class MarkingPair final : public CDelayPairSettings {
public:
    struct Slice {
        uint32_t frames;
        bool hasRight;
    };

    MarkingPair() {
        parameters.leftDelayMs = 10;
        parameters.rightDelayMs = 20;
    }

    void LoadParameters(const PresetStore&, PresetDefaults) override {}
    bool SaveParameters(const PresetStore&) const override { return true; }
    std::unique_ptr<CPluginSettings> CopyParameters() const override { return std::make_unique<MarkingPair>(); }

    DelayPairParameters parameters;
    std::vector<Slice> slices;

private:
    const DelayPairParameters& PairParameters() const override { return parameters; }
    void ProcessFrames(float* left, float* right, uint32_t frames) override {
        slices.push_back({frames, right != nullptr});
        for (uint32_t i = 0; i < frames; ++i) {
            left[i] += 1.0f;
            if (right) right[i] += 2.0f;
        }
    }
};

TEST(DelayPairStream, RefusesMoreThanTwoChannelsAndAbsurdRates) {
    MarkingPair pair;
    EXPECT_EQ(pair.OpenStream(FloatFormat(0, 44100)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(pair.OpenStream(FloatFormat(3, 44100)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(pair.OpenStream(FloatFormat(2, kMaxDelaySampleRate + 1)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(pair.LeftLine().Length(), 0u);
    EXPECT_EQ(pair.OpenStream(FloatFormat(2, kMaxDelaySampleRate)), PLUGIN_OPEN_OK);
    EXPECT_EQ(pair.LeftLine().Length(), 7680u);  // 10 ms at 768 kHz
    EXPECT_EQ(pair.RightLine().Length(), 15360u);
}

TEST(DelayPairStream, PullsInSlicesOf4096WithTheRightChannelOfAStereoStreamOnly) {
    MarkingPair pair;
    const Signal stereo =
        RunRecord(pair, {std::vector<float>(10000, 0.5f), std::vector<float>(10000, 0.25f)}, 1000, 10000);
    ASSERT_EQ(pair.slices.size(), 3u);
    EXPECT_EQ(pair.slices[0].frames, 4096u);
    EXPECT_EQ(pair.slices[1].frames, 4096u);
    EXPECT_EQ(pair.slices[2].frames, 1808u);
    for (const MarkingPair::Slice& slice : pair.slices) EXPECT_TRUE(slice.hasRight);
    EXPECT_EQ(stereo[0], std::vector<float>(10000, 1.5f));
    EXPECT_EQ(stereo[1], std::vector<float>(10000, 2.25f));

    pair.slices.clear();
    const Signal mono = RunRecord(pair, {std::vector<float>(100, 0.5f)}, 1000, 100);
    ASSERT_EQ(pair.slices.size(), 1u);
    EXPECT_FALSE(pair.slices[0].hasRight);
    EXPECT_EQ(mono[0], std::vector<float>(100, 1.5f));
}

TEST(DelayPairStream, AMonoStreamAfterAStereoOneHasNoRightLine) {
    MarkingPair pair;
    ASSERT_EQ(pair.OpenStream(FloatFormat(2, 1000)), PLUGIN_OPEN_OK);
    EXPECT_EQ(pair.LeftLine().Length(), 10u);
    EXPECT_EQ(pair.RightLine().Length(), 20u);
    ASSERT_EQ(pair.OpenStream(FloatFormat(1, 1000)), PLUGIN_OPEN_OK);
    EXPECT_EQ(pair.LeftLine().Length(), 10u);
    EXPECT_EQ(pair.RightLine().Length(), 0u);
}

TEST(DelayPairStream, AClosedStreamDeliversNothingAndKeepsTheLines) {
    MarkingPair pair;
    SignalSource source({std::vector<float>(10, 1.0f)});
    pair.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(pair.OpenStream(FloatFormat(1, 1000)), PLUGIN_OPEN_OK);
    pair.CloseStream();
    SoundBlock block(1, 10);
    block->capacity = 10;
    block->frames = 7;
    EXPECT_EQ(pair.ProcessStream(*block), 0u);
    EXPECT_EQ(block->frames, 0u);
    EXPECT_TRUE(source.requests.empty());
    EXPECT_EQ(pair.LeftLine().Length(), 10u);
}

TEST(DelayPairStoredForm, LoadsGainsWithTheOffsetAndHoldsValuesToTheirLimits) {
    const StoredDelayPair stored{.dryOut = 10,
                                 .leftVolume = 100,
                                 .rightVolume = 250,
                                 .leftDelay = 4000,
                                 .rightDelay = -1,
                                 .disMain = 2,
                                 .lockChannels = 1,
                                 .invertLeft = 0,
                                 .invertRight = 7};
    DelayPairParameters p;
    LoadDelayPair(stored, 0.5, 3000, p);
    EXPECT_DOUBLE_EQ(p.dryGain.get(), 0.105);
    EXPECT_DOUBLE_EQ(p.leftEchoGain.get(), 1.005);
    EXPECT_DOUBLE_EQ(p.rightEchoGain.get(), 1.005);  // at most 100 per cent
    EXPECT_EQ(p.leftDelayMs.get(), 3000);
    EXPECT_EQ(p.rightDelayMs.get(), 3000);  // read as unsigned: huge
    EXPECT_EQ(p.muteDry.get(), 2);          // flags as stored
    EXPECT_EQ(p.lockChannels.get(), 1);
    EXPECT_EQ(p.invertLeft.get(), 0);
    EXPECT_EQ(p.invertRight.get(), 7);

    LoadDelayPair(stored, 0.0, 5000, p);
    EXPECT_DOUBLE_EQ(p.dryGain.get(), 0.10);
    EXPECT_EQ(p.leftDelayMs.get(), 4000);
}

TEST(DelayPairStoredForm, SavesGainsCutToWholePerCents) {
    DelayPairParameters p{
        .dryGain = 0.29, .leftEchoGain = 0.805, .rightEchoGain = 1.0, .leftDelayMs = 42, .rightDelayMs = 0};
    p.invertRight = 1;
    const StoredDelayPair stored = StoredFormOf(p);
    EXPECT_EQ(stored.dryOut, 29);  // 0.29 × 100 is 28.999999999999996 in doubles
    EXPECT_EQ(stored.leftVolume, 80);
    EXPECT_EQ(stored.rightVolume, 100);
    EXPECT_EQ(stored.leftDelay, 42);
    EXPECT_EQ(stored.rightDelay, 0);
    EXPECT_EQ(stored.invertRight, 1);
    EXPECT_EQ(stored.disMain + stored.lockChannels + stored.invertLeft, 0);
}

}  // namespace
