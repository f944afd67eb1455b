// The volume stage, the fade stage and effects in the chain.
#include <cmath>

#include "chain_fixture.h"
#include "effecttree/effect_node.h"
#include "engine/render_chain.h"

namespace {

int16_t Constant(uint32_t, uint32_t) { return 20000; }

// A block of ones on three channels, at the timeline frames [position, position + frames).
struct OnesBlock {
    explicit OnesBlock(uint32_t frames) : block(3, frames) {
        for (float* channel : block->channels) std::fill(channel, channel + frames, 1.0f);
        block->frames = frames;
    }
    SoundBlock block;
};

// The gains the fade stage gives every frame of [start, end), shaped block by block.
std::vector<float> FadeGains(int64_t start, int64_t end, bool in, bool out, uint32_t blockFrames) {
    std::vector<float> gains;
    for (int64_t position = start; position < end; position += blockFrames) {
        const auto frames = static_cast<uint32_t>(std::min<int64_t>(blockFrames, end - position));
        OnesBlock ones(frames);
        ApplyFades(*ones.block, position, start, end, in, out, 44100);
        gains.insert(gains.end(), ones.block->channels[0], ones.block->channels[0] + frames);
        EXPECT_EQ(ones.block->channels[1][frames - 1], ones.block->channels[0][frames - 1]);
        EXPECT_EQ(ones.block->channels[2][0], 1.0f) << "only channels 0 and 1 are shaped";
    }
    return gains;
}

TEST(FadeStage, FadeInRisesFromZeroToOneOverOneSecond) {
    const std::vector<float> gains = FadeGains(5000, 5000 + 3 * 44100, true, false, 1024);
    EXPECT_EQ(gains[0], 0.0f);
    EXPECT_NEAR(gains[22050], 0.5f, 1e-6);
    EXPECT_EQ(gains[44100], 1.0f) << "the frame one second after the start";
    EXPECT_NEAR(gains[44099], 44099.0f / 44100.0f, 1e-6);
    for (size_t i = 1; i < 44100; ++i) ASSERT_NEAR(gains[i] - gains[i - 1], 1.0f / 44100, 1e-6) << i;
    EXPECT_EQ(gains.back(), 1.0f);
}

TEST(FadeStage, FadeOutFallsLinearlyToZeroAtTheRangeEnd) {
    const int64_t end = 5000 + 3 * 44100;
    const std::vector<float> gains = FadeGains(5000, end, false, true, 1000);
    const size_t n = gains.size();
    EXPECT_EQ(gains[0], 1.0f);
    EXPECT_EQ(gains[n - 44101], 1.0f);
    EXPECT_NEAR(gains[n - 44100], 1.0f, 1e-6);
    EXPECT_NEAR(gains[n - 22050], 0.5f, 1e-6);
    EXPECT_NEAR(gains[n - 1], 1.0f / 44100, 1e-7);
    for (size_t i = n - 44099; i < n; ++i) ASSERT_NEAR(gains[i - 1] - gains[i], 1.0f / 44100, 1e-6) << i;
}

TEST(FadeStage, ShortRangeOverlapsBothRamps) {
    const std::vector<float> gains = FadeGains(0, 30000, true, true, 1024);
    for (size_t i : {size_t{0}, size_t{1}, size_t{10000}, size_t{15000}, size_t{29999}})
        EXPECT_NEAR(gains[i], (i / 44100.0f) * ((30000 - i) / 44100.0f), 1e-5) << i;
}

TEST(FadeStage, NothingOutsideTheRampsOrWithFlagsOff) {
    OnesBlock ones(1024);
    ApplyFades(*ones.block, 50000, 0, 200000, true, true, 44100);
    EXPECT_EQ(ones.block->channels[0][0], 1.0f);
    EXPECT_EQ(ones.block->channels[1][1023], 1.0f);
    ApplyFades(*ones.block, 0, 0, 1024, false, false, 44100);
    EXPECT_EQ(ones.block->channels[0][0], 1.0f);
}

TEST(VolumeStage, FactorLabelAndLimits) {
    CVolumeEffect volume;
    EXPECT_EQ(volume.Volume(), 1.0f);
    volume.SetVolume(200);
    EXPECT_EQ(volume.Volume(), 2.0f);
    volume.SetVolume(250);
    EXPECT_EQ(volume.Volume(), 2.0f);
    volume.SetVolume(-5);
    EXPECT_EQ(volume.Volume(), 0.0f);
    EXPECT_EQ(VolumeLabel(200), "Volume: 200%");
    SoundBlock block(2, 16);
    EXPECT_EQ(volume.GetSoundData(block.get()), 0u) << "no tree, no sound";
}

class Chain : public ChainFixture {};

TEST_F(Chain, VolumeScalesAndTheConversionClamps) {
    UseTrack(1,
             StereoFrames(10000, [](uint32_t f, uint32_t) { return static_cast<int16_t>(f < 5000 ? 10000 : 20000); }));
    timeline_.SetMarkers(0, 10000);
    timeline_.SetPlayRange(0, 10000);
    volume_.SetVolume(200);
    std::vector<int16_t> pcm = ExportPcm();
    ASSERT_EQ(pcm.size(), 2u * 10000);
    EXPECT_NEAR(pcm[2 * 100], 20000, 1);
    EXPECT_EQ(pcm[2 * 7000], 32767) << "doubled beyond full scale";
    volume_.SetVolume(50);
    pcm = ExportPcm();
    EXPECT_NEAR(pcm[2 * 100], 5000, 1);
    EXPECT_NEAR(pcm[2 * 7000 + 1], 10000, 1);
}

TEST_F(Chain, ExportFadesFollowTheMarkedRange) {
    UseTrack(1, StereoFrames(5 * 44100, Constant));
    timeline_.SetMarkers(10000, 10000 + 3 * 44100);
    timeline_.SetPlayRange(10000, 10000 + 3 * 44100);
    timeline_.SetFadeIn(true);
    timeline_.SetFadeOut(true);
    const std::vector<int16_t> pcm = ExportPcm();
    ASSERT_EQ(pcm.size(), 2u * 3 * 44100);
    const size_t n = pcm.size() / 2;
    for (size_t i : {size_t{0}, size_t{1000}, size_t{22050}, size_t{44100}, size_t{66150}, n - 22050, n - 1})
        EXPECT_NEAR(pcm[2 * i], 20000.0 * std::min(1.0, i / 44100.0) * std::min(1.0, (n - i) / 44100.0), 2) << i;
}

TEST_F(Chain, WithoutATreeNothingRuns) {
    RingtoneTimeline lone;
    EXPECT_EQ(lone.SetUpExport(), EFF_NO_INPUT);
    EXPECT_EQ(lone.SetUpPlayback(), EFF_NO_INPUT);
    SoundBlock block(2, 64);
    EXPECT_EQ(lone.PullExport(block.get()), 0u);
}

TEST_F(Chain, DelayEffectAddsItsEchoAndLeavesWhenRemoved) {
    LoadRealEffects();
    // A click at frame 10000.
    UseTrack(1, StereoFrames(20000, [](uint32_t f, uint32_t) { return static_cast<int16_t>(f == 10000 ? 16000 : 0); }));
    timeline_.SetMarkers(0, 20000);
    timeline_.SetPlayRange(0, 20000);
    CEffectNode& delay = Effect("Delay");
    ASSERT_TRUE(AddChainEffect(tree_, delay));
    EXPECT_TRUE(delay.IsChecked());
    EXPECT_EQ(tree_.GetTreeEntryPoint()->EffectCount(), 1);

    std::vector<int16_t> pcm = ExportPcm();
    ASSERT_EQ(pcm.size(), 2u * 20000);
    // 18 ms at 44100 Hz: a line of 793 frames; dry 75 %, echo 55 %.
    const size_t echo = 10000 + 793;
    EXPECT_NEAR(pcm[2 * 10000], 0.75 * 16000, 2);
    EXPECT_NEAR(pcm[2 * echo], 0.55 * 16000, 2);
    EXPECT_NEAR(pcm[2 * echo + 1], 0.55 * 16000, 2);
    for (size_t f = 10001; f < echo; ++f) ASSERT_EQ(pcm[2 * f], 0) << f;

    RemoveChainEffect(tree_, delay);
    EXPECT_FALSE(delay.IsChecked());
    EXPECT_EQ(tree_.GetTreeEntryPoint()->EffectCount(), 0);
    pcm = ExportPcm();
    EXPECT_NEAR(pcm[2 * 10000], 16000, 1);
    EXPECT_EQ(pcm[2 * echo], 0);
}

}  // namespace
