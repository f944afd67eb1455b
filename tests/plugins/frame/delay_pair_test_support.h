// Test support for the two delay plug-ins: a record of either played on clicks, and the
// shared parameters compared.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "plugins/common/delay_pair.h"
#include "tests/plugins/frame/plugin_test_support.h"

// A delay plug-in's record, played in streams opened on it.
template <class Settings>
class DelaySoundTest : public ::testing::Test {
protected:
    // Runs the input through a stream opened at the given rate, in requests of blockFrames.
    Signal Run(const Signal& input, uint32_t rate = 44100, uint32_t blockFrames = 1000) {
        return RunRecord(settings, input, rate, blockFrames);
    }

    Settings settings;
};

inline void ExpectSameDelayPair(const DelayPairParameters& a, const DelayPairParameters& b) {
    EXPECT_DOUBLE_EQ(a.dryGain.get(), b.dryGain.get());
    EXPECT_DOUBLE_EQ(a.leftEchoGain.get(), b.leftEchoGain.get());
    EXPECT_DOUBLE_EQ(a.rightEchoGain.get(), b.rightEchoGain.get());
    EXPECT_EQ(a.leftDelayMs.get(), b.leftDelayMs.get());
    EXPECT_EQ(a.rightDelayMs.get(), b.rightDelayMs.get());
    EXPECT_EQ(a.invertLeft.get(), b.invertLeft.get());
    EXPECT_EQ(a.invertRight.get(), b.invertRight.get());
    EXPECT_EQ(a.muteDry.get(), b.muteDry.get());
    EXPECT_EQ(a.lockChannels.get(), b.lockChannels.get());
}
