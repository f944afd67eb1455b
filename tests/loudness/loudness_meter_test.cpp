// The meter: EBU R128 readings against ffmpeg's ebur128 filter, the short-range fallback and
// the clipped-sample count.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "engine/loudness.h"
#include "ffmpeg_meter.h"

namespace {

LoudnessResult Measure(const std::vector<int16_t>& samples, uint32_t channels, uint32_t piece = 1024) {
    LoudnessMeter meter(channels, 44100);
    EXPECT_TRUE(meter.Valid());
    const auto frames = static_cast<uint32_t>(samples.size() / channels);
    for (uint32_t at = 0; at < frames; at += piece)
        meter.Add(samples.data() + size_t{at} * channels, std::min(piece, frames - at));
    return meter.Result();
}

class LoudnessMeterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("loudness_meter_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    // The meter's reading and ffmpeg's of the same samples.
    void ExpectLikeFfmpeg(const std::vector<int16_t>& samples, uint32_t channels, const LoudnessResult& ours) {
        const std::string path = (folder_ / "signal.wav").string();
        WriteWav(path, samples, channels);
        const FfmpegLoudness theirs = MeasureWithFfmpeg(path);
        ASSERT_TRUE(theirs.ok);
        EXPECT_NEAR(ours.integratedLufs, theirs.integrated, 0.1);
        EXPECT_NEAR(ours.rangeLu, theirs.range, 0.1);
        EXPECT_NEAR(ours.truePeakDbtp, theirs.truePeak, 0.1);
    }
    std::filesystem::path folder_;
};

TEST_F(LoudnessMeterTest, OneKilohertzAtMinusTwentyReadsMinusTwentyThreeInMono) {
    // The reference tone: -23 LUFS in one channel, 3 LU more in two.
    EXPECT_NEAR(Measure(Sine(1000, -20, 20, 1), 1).integratedLufs, -23.0, 0.1);
    const auto samples = Sine(1000, -20, 20, 2);
    const LoudnessResult result = Measure(samples, 2);
    EXPECT_NEAR(result.integratedLufs, -20.0, 0.1);
    EXPECT_NEAR(result.truePeakDbtp, -20.0, 0.1);
    EXPECT_NEAR(result.rangeLu, 0.0, 0.1);
    EXPECT_FALSE(result.shortRange);
    EXPECT_FALSE(result.Clips());
    ExpectLikeFfmpeg(samples, 2, result);
}

TEST_F(LoudnessMeterTest, LoudToneMonoAndAStepInLevelAgreeWithFfmpeg) {
    const auto loud = Sine(997, -0.5, 10, 1);
    ExpectLikeFfmpeg(loud, 1, Measure(loud, 1, 333));

    // Ten seconds quiet, ten loud: a range of loudness, and the quiet part gated out.
    auto step = Sine(440, -30, 10, 2);
    const auto second = Sine(440, -10, 10, 2);
    step.insert(step.end(), second.begin(), second.end());
    const LoudnessResult result = Measure(step, 2);
    EXPECT_GT(result.rangeLu, 10.0);
    ExpectLikeFfmpeg(step, 2, result);
}

TEST(LoudnessMeter, ShortRangesFallBackAndSaySo) {
    // Under 400 ms no gating block is complete: the whole range's loudness instead.
    const LoudnessResult shortest = Measure(Sine(1000, -20, 0.3, 1), 1);
    EXPECT_TRUE(shortest.shortRange);
    EXPECT_NEAR(shortest.integratedLufs, -23.0, 0.2);

    // Gated out entirely (below -70 LUFS): the loudest momentary under three seconds, the
    // loudest short-term from three seconds on.
    const LoudnessResult quiet = Measure(Sine(1000, -75, 2, 2), 2);
    EXPECT_TRUE(quiet.shortRange);
    EXPECT_NEAR(quiet.integratedLufs, -75.0, 0.3);
    const LoudnessResult longQuiet = Measure(Sine(1000, -75, 5, 2), 2);
    EXPECT_TRUE(longQuiet.shortRange);
    EXPECT_NEAR(longQuiet.integratedLufs, -75.0, 0.3);

    const LoudnessResult normal = Measure(Sine(1000, -20, 1, 2), 2);
    EXPECT_FALSE(normal.shortRange);
    EXPECT_NEAR(normal.integratedLufs, -20.0, 0.1);

    const LoudnessResult silence = Measure(std::vector<int16_t>(2 * 44100 * 2, 0), 2);
    EXPECT_TRUE(silence.shortRange);
    EXPECT_FALSE(silence.HasLoudness());
}

TEST(LoudnessMeter, CountsTheSamplesAtFullScale) {
    auto samples = Sine(1000, -6, 2, 2);
    // 37 samples at full scale, both polarities, in both channels.
    for (size_t i = 0; i < 37; ++i) samples[i * 997] = i % 2 ? 32767 : -32768;
    samples[5] = 32766;  // just below
    const LoudnessResult result = Measure(samples, 2);
    EXPECT_EQ(result.clippedSamples, 37u);
    EXPECT_EQ(result.samples, samples.size());
    EXPECT_NEAR(result.ClippedPercent(), 100.0 * 37 / samples.size(), 1e-9);

    LoudnessMeter meter(2, 44100);
    const float frames[] = {1.0f, -1.0f, 1.5f, 0.9999f, -0.5f, -2.0f};
    meter.Add(frames, 3);
    EXPECT_EQ(meter.Result().clippedSamples, 4u) << "at or beyond full scale";
    EXPECT_DOUBLE_EQ(meter.Result().ClippedPercent(), 100.0 * 4 / 6);
}

}  // namespace
