// Tapline's sound on clicks: line lengths, the echo and its hundredfold weaker repeats,
// each channel on its own, invert, mute, mono, closing.
#include <gtest/gtest.h>

#include <vector>

#include "plugins/tapline/tapline.h"
#include "tests/plugins/frame/delay_pair_sound_tests.h"
#include "tests/plugins/frame/delay_pair_test_support.h"
#include "tests/plugins/frame/plugin_test_support.h"

namespace {

using TaplineSound = DelaySoundTest<CTaplineSettings>;

// Fine enough for the repeats, a hundred times weaker each.
constexpr double kTolerance = 1e-7;

TEST_F(TaplineSound, LinesAreSizedFromDelayAndRate) {
    Run({Click(10, 0), Click(10, 0)});
    EXPECT_EQ(settings.LeftLine().Length(), 793u);  // 18 ms at 44.1 kHz
    EXPECT_EQ(settings.RightLine().Length(), 793u);

    settings.parameters.leftDelayMs = 0;
    settings.parameters.rightDelayMs = 5000;
    SignalSource source({Click(10, 0), Click(10, 0)});
    settings.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(settings.OpenStream(FloatFormat(2, 48000)), PLUGIN_OPEN_OK);
    EXPECT_EQ(settings.LeftLine().Length(), 1u);
    EXPECT_EQ(settings.RightLine().Length(), 240000u);
}

TEST_F(TaplineSound, ClickEchoesWithHundredfoldWeakerRepeats) {
    settings.parameters.leftEchoGain = 1.0;
    settings.parameters.leftDelayMs = 10;
    const Signal out = Run({Click(45, 0), std::vector<float>(45, 0.0f)}, 1000, 7);
    ExpectSparse(out[0], {{0, 0.75}, {10, 1.0}, {20, 0.01}, {30, 0.0001}, {40, 0.000001}}, "left", kTolerance);
    ExpectSparse(out[1], {}, "right", kTolerance);
}

TEST_F(TaplineSound, EachChannelHasItsOwnDelayAndGain) {
    settings.parameters.leftDelayMs = 10;
    settings.parameters.rightDelayMs = 3;
    settings.parameters.leftEchoGain = 0.5;
    settings.parameters.rightEchoGain = 0.2;
    settings.parameters.dryGain = 0.9;
    const Signal out = Run({Click(25, 2), Click(25, 5)}, 1000);
    ExpectSparse(out[0], {{2, 0.9}, {12, 0.5}, {22, 0.005}}, "left", kTolerance);
    ExpectSparse(out[1], {{5, 0.9}, {8, 0.2}, {11, 0.002}, {14, 0.00002}, {17, 0.0000002}, {20, 2e-9}, {23, 2e-11}},
                 "right", kTolerance);
}

TEST_F(TaplineSound, InvertNegatesOneSide) {
    settings.parameters.invertLeft = 1;
    settings.parameters.leftDelayMs = 4;
    settings.parameters.rightDelayMs = 4;
    const Signal out = Run({Click(6, 0), Click(6, 0)}, 1000);
    ExpectSparse(out[0], {{0, -0.75}, {4, -0.55}}, "left", kTolerance);
    ExpectSparse(out[1], {{0, 0.75}, {4, 0.55}}, "right", kTolerance);

    settings.parameters.invertLeft = 0;
    settings.parameters.invertRight = 1;
    const Signal right = Run({Click(6, 0), Click(6, 0)}, 1000);
    ExpectSparse(right[0], {{0, 0.75}, {4, 0.55}}, "left", kTolerance);
    ExpectSparse(right[1], {{0, -0.75}, {4, -0.55}}, "right", kTolerance);
}

TEST_F(TaplineSound, MuteDropsTheDryPartOnly) {
    settings.parameters.muteDry = 1;
    settings.parameters.leftDelayMs = 5;
    const Signal out = Run({Click(8, 0), std::vector<float>(8, 0.0f)}, 1000);
    ExpectSparse(out[0], {{5, 0.55}}, "left", kTolerance);
}

TEST_F(TaplineSound, MonoStreamUsesTheLeftSettingsAndEchoes) {
    settings.parameters.leftDelayMs = 6;
    settings.parameters.leftEchoGain = 0.3;
    settings.parameters.rightDelayMs = 2;
    settings.parameters.rightEchoGain = 0.9;
    settings.parameters.invertRight = 1;
    const Signal out = Run({Click(15, 1)}, 1000);
    ExpectSparse(out[0], {{1, 0.75}, {7, 0.3}, {13, 0.003}}, "mono", kTolerance);
    EXPECT_EQ(settings.RightLine().Length(), 0u);
}

TEST_F(TaplineSound, RunningStreamFollowsParameterChanges) {
    settings.parameters.leftDelayMs = 10;
    SignalSource source({Click(40, 5)});
    settings.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(settings.OpenStream(FloatFormat(1, 1000)), PLUGIN_OPEN_OK);
    SoundBlock block(1, 10);
    block->capacity = 10;
    ASSERT_EQ(settings.ProcessStream(*block), 10u);
    settings.parameters.leftEchoGain = 0.125;
    block->capacity = 10;
    ASSERT_EQ(settings.ProcessStream(*block), 10u);
    EXPECT_NEAR(block->channels[0][5], 0.125, kTolerance);  // the echo at 15
}

TEST_F(TaplineSound, ClosingDestroysTheLines) {
    Run({Click(10, 0), Click(10, 0)});
    settings.CloseStream();
    EXPECT_EQ(settings.LeftLine().Length(), 0u);
    EXPECT_EQ(settings.RightLine().Length(), 0u);
    SoundBlock block(2, 10);
    block->capacity = 10;
    EXPECT_EQ(settings.ProcessStream(*block), 0u);
}

INSTANTIATE_TYPED_TEST_SUITE_P(Tapline, DelayPairSound, CTaplineSettings);

}  // namespace

namespace {

// A settings window changes parameters on its own thread while the host pulls.
TEST(TaplineThreads, ParametersChangeWhileTheStreamRuns) {
    CTaplineSettings settings;
    ExpectStableWhileParametersChange(settings, [&](int step) {
        settings.parameters.rightEchoGain = (step % 101) / 100.0;
        settings.parameters.dryGain = (step % 53) / 100.0;
        settings.parameters.invertRight = step % 2;
        settings.parameters.muteDry = (step / 7) % 2;
    });
}

}  // namespace
