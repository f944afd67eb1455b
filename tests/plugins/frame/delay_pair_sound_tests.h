// What both delay plug-ins' streams must do, as tests on either record. A test program
// includes this once and instantiates the suite for its record type:
//     INSTANTIATE_TYPED_TEST_SUITE_P(Ricochet, DelayPairSound, CRicochetSettings);
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/plugins/frame/delay_pair_test_support.h"
#include "tests/plugins/frame/plugin_test_support.h"

template <class Settings>
class DelayPairSound : public DelaySoundTest<Settings> {};

TYPED_TEST_SUITE_P(DelayPairSound);

TYPED_TEST_P(DelayPairSound, RefusesMoreThanTwoChannelsAndAbsurdRates) {
    EXPECT_EQ(this->settings.OpenStream(FloatFormat(3, 44100)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(this->settings.OpenStream(FloatFormat(0, 44100)), PLUGIN_OPEN_UNSUPPORTED);
    for (const uint16_t channels : {1, 2})
        EXPECT_EQ(this->settings.OpenStream(FloatFormat(channels, kMaxDelaySampleRate + 1)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(this->settings.LeftLine().Length(), 0u);  // nothing prepared
}

TYPED_TEST_P(DelayPairSound, BlockSizeDoesNotChangeTheSound) {
    std::vector<float> left(12000), right(12000);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = static_cast<float>(std::sin(0.01 * i));
        right[i] = static_cast<float>(std::cos(0.013 * i));
    }
    EXPECT_EQ(this->Run({left, right}, 44100, 333), this->Run({left, right}, 44100, 10000));
}

TYPED_TEST_P(DelayPairSound, MutedWithoutEchoesIsSilent) {
    DelayPairParameters& p = this->settings.parameters;
    p.muteDry = 1;
    p.leftEchoGain = 0.0;
    p.rightEchoGain = 0.0;
    std::vector<float> noise(5000);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<float>(std::sin(0.37 * i));
    const Signal silent = this->Run({noise, noise});
    EXPECT_EQ(silent[0], std::vector<float>(noise.size(), 0.0f));
    EXPECT_EQ(silent[1], std::vector<float>(noise.size(), 0.0f));
}

REGISTER_TYPED_TEST_SUITE_P(DelayPairSound, RefusesMoreThanTwoChannelsAndAbsurdRates, BlockSizeDoesNotChangeTheSound,
                            MutedWithoutEchoesIsSilent);
