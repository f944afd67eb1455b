// The normalizing arithmetic: peaks, gains and their rounding.
#include <gtest/gtest.h>

#include "engine/src/save_jobs.h"

namespace {

TEST(Normalize, MinusFullScaleCountsAs32768) {
    std::array<uint16_t, 2> peaks{};
    const int16_t samples[] = {-32768, 5, 32767, -5};
    CollectPeaks(samples, 2, 2, peaks);
    EXPECT_EQ(peaks[0], 32768);
    EXPECT_EQ(peaks[1], 5);
    EXPECT_LT(NormalizeGain(peaks[0]), 1.0f);
    EXPECT_GT(NormalizeGain(peaks[0]), 0.9999f);
}

TEST(Normalize, PeaksOnlyGrow) {
    std::array<uint16_t, 2> peaks{};
    const int16_t loud[] = {16384, -200};
    const int16_t quiet[] = {100, 100};
    CollectPeaks(loud, 1, 2, peaks);
    CollectPeaks(quiet, 1, 2, peaks);
    EXPECT_EQ(peaks[0], 16384);
    EXPECT_EQ(peaks[1], 200);
}

TEST(Normalize, GainsRoundClampAndStopAtTwoHundred) {
    const std::array<float, 2> gains = {NormalizeGain(16384), NormalizeGain(163)};
    EXPECT_NEAR(gains[0], 1.99994f, 1e-5);
    EXPECT_GE(gains[1], 200.0f) << "32767 / 163";
    int16_t samples[] = {16384, 150, -16384, -150, 3, 7};
    ApplyGains(samples, 3, 2, gains);
    EXPECT_EQ(samples[0], 32767);
    EXPECT_EQ(samples[2], -32766);  // trunc(-32767 + 0.5): rounding leans towards zero below it
    EXPECT_EQ(samples[1], 150);     // left alone
    EXPECT_EQ(samples[3], -150);
    EXPECT_EQ(samples[4], 6);  // trunc(5.99982 + 0.5)
    const std::array<float, 2> strong = {4.0f, 0.0f};
    int16_t loud[] = {20000, 0, -20000, 0};
    ApplyGains(loud, 2, 2, strong);
    EXPECT_EQ(loud[0], 32767);
    EXPECT_EQ(loud[2], -32768);
    EXPECT_EQ(NormalizeGain(0), 0.0f) << "a silent channel gets no gain";
}

}  // namespace
