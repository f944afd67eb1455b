// The equalizer's engine: the designed response, the block convolution and its delay.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "plugins/equalizer/equalizer.h"
#include "tests/plugins/equalizer/equalizer_test_signals.h"
#include "tests/plugins/frame/plugin_test_support.h"

namespace {

using Gains = std::array<double, kEqualizerBands>;

Gains UnityGains() {
    Gains gains;
    gains.fill(1.0);
    return gains;
}

// Magnitude of the filter at a frequency (the nearest of the 4097 filter bins).
double FilterMagnitudeAt(const CEqualizerFFT& engine, double hz, double sampleRate) {
    const auto bin = static_cast<size_t>(std::lround(hz / sampleRate * 8192.0));
    const DCplx h = engine.FilterSpectrum()[bin];
    return std::hypot(h.re, h.im);
}

TEST(EqualizerEngine, UnityDesignIsFlatUpTo22kHzAndZeroAbove) {
    CEqualizerFFT engine;
    engine.Open(FloatFormat(1, 44100));
    engine.SetGains(UnityGains());
    const auto design = engine.DesignSpectrum();
    const size_t top = static_cast<size_t>(std::floor(22000.0 / 44100.0 * 4096.0));  // 2043
    for (size_t bin = 0; bin < top; ++bin) ASSERT_DOUBLE_EQ(design[bin].re, 1.0) << bin;
    for (size_t bin = top; bin < design.size(); ++bin) ASSERT_EQ(design[bin].re, 0.0) << bin;
    for (const DCplx& bin : design) ASSERT_EQ(bin.im, 0.0);
}

TEST(EqualizerEngine, TopBandAtOneTenthFallsSmoothlyToMinus20dBAt22kHz) {
    CEqualizerFFT engine;
    engine.Open(FloatFormat(1, 44100));
    Gains gains = UnityGains();
    gains[9] = 0.1;
    engine.SetGains(gains);
    const auto design = engine.DesignSpectrum();
    const size_t from = static_cast<size_t>(std::floor(8000.0 / 44100.0 * 4096.0));
    const size_t top = static_cast<size_t>(std::floor(22000.0 / 44100.0 * 4096.0));
    for (size_t bin = 0; bin < from; ++bin) ASSERT_EQ(design[bin].re, 1.0) << bin;
    EXPECT_NEAR(design[from].re, 1.0, 1e-5);  // the first bin of the blend
    for (size_t bin = from + 1; bin < top; ++bin) ASSERT_LE(design[bin].re, design[bin - 1].re * (1.0 + 1e-6)) << bin;
    EXPECT_NEAR(Decibels(design[top - 1].re), -20.0, 0.05);
    for (size_t bin = top; bin < design.size(); ++bin) ASSERT_EQ(design[bin].re, 0.0);

    // The filter that is applied follows the design between its bins.
    EXPECT_NEAR(Decibels(FilterMagnitudeAt(engine, 1000.0, 44100.0)), 0.0, 0.01);
    EXPECT_NEAR(Decibels(FilterMagnitudeAt(engine, 7000.0, 44100.0)), 0.0, 0.01);
    EXPECT_NEAR(Decibels(FilterMagnitudeAt(engine, 21500.0, 44100.0)), -20.0, 0.5);
    const double middle = Decibels(FilterMagnitudeAt(engine, 15000.0, 44100.0));
    EXPECT_LT(middle, -1.0);
    EXPECT_GT(middle, -19.0);
}

TEST(EqualizerEngine, BandsBlendBetweenTheirNeighbours) {
    CEqualizerFFT engine;
    engine.Open(FloatFormat(1, 44100));
    Gains gains = UnityGains();
    gains[4] = 10.0;  // +20 dB at 500 Hz
    engine.SetGains(gains);
    const auto design = engine.DesignSpectrum();
    const auto bin = [](double hz) { return static_cast<size_t>(std::floor(hz / 44100.0 * 4096.0)); };
    EXPECT_NEAR(design[bin(100.0)].re, 1.0, 1e-12);   // below 250 Hz: untouched
    EXPECT_NEAR(design[bin(490.0)].re, 10.0, 0.3);    // rises to the band's gain at 500 Hz
    EXPECT_NEAR(design[bin(2100.0)].re, 1.0, 1e-12);  // back to unity from 1000 Hz on
    const double rising = design[bin(375.0)].re;
    const double falling = design[bin(750.0)].re;
    EXPECT_GT(rising, 1.5);
    EXPECT_LT(rising, 9.0);
    EXPECT_GT(falling, 1.5);
    EXPECT_LT(falling, 9.0);
}

TEST(EqualizerEngine, ZeroOrNegativeGainsStillGiveAFiniteFilter) {
    CEqualizerFFT engine;
    engine.Open(FloatFormat(1, 44100));
    Gains gains = UnityGains();
    gains[0] = 0.0;
    gains[9] = -3.0;
    engine.SetGains(gains);
    for (const DCplx& bin : engine.FilterSpectrum()) {
        ASSERT_TRUE(std::isfinite(bin.re));
        ASSERT_TRUE(std::isfinite(bin.im));
    }
    EXPECT_LT(Decibels(FilterMagnitudeAt(engine, 20.0, 44100.0)), -60.0);
}

TEST(EqualizerEngine, OutputLagsByTheDelayAndPassesTonesUnchanged) {
    CEqualizerFFT engine;
    engine.Open(FloatFormat(1, 44100));
    engine.SetGains(UnityGains());
    constexpr size_t length = 60000;
    const std::vector<float> input = Tones(length, 44100.0, {110.0, 1000.0, 5000.0, 15000.0}, 0.2);
    std::vector<float> output = input;
    // Odd chunk sizes: the result must not depend on how the samples are handed in.
    for (size_t done = 0, chunk = 1; done < length; done += chunk, chunk = chunk * 7 % 5003 + 1)
        engine.ProcessSamples(output.data() + done, static_cast<uint32_t>(std::min(chunk, length - done)));
    EXPECT_TRUE(engine.IsPrimed());
    for (size_t k = 0; k < kEqualizerDelay - 2048; ++k) ASSERT_EQ(output[k], 0.0f) << k;
    double worst = 0.0;
    for (size_t k = kEqualizerDelay; k < length; ++k)
        worst = std::max(worst, std::abs(static_cast<double>(output[k]) - input[k - kEqualizerDelay]));
    EXPECT_LT(worst, 1e-3);
}

TEST(EqualizerEngine, DesignFollowsTheSampleRate) {
    CEqualizerFFT engine;
    engine.Open(FloatFormat(1, 22050));
    Gains gains = UnityGains();
    gains[8] = 0.1;  // the 4000 ... 8000 Hz blend ends at 0.1
    gains[9] = 0.1;
    engine.SetGains(gains);
    // At 22050 Hz the design bins reach 11025 Hz: the top band is flat at 0.1 above 8000 Hz.
    const auto design = engine.DesignSpectrum();
    const auto bin = [](double hz) { return static_cast<size_t>(std::floor(hz / 22050.0 * 4096.0)); };
    EXPECT_NEAR(design[bin(2000.0)].re, 1.0, 1e-12);
    EXPECT_NEAR(design[bin(10000.0)].re, 0.1, 1e-12);
    EXPECT_NEAR(design[2047].re, 0.1, 1e-12);
}

}  // namespace
