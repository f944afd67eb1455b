// Ricochet's sound on clicks: line lengths, where each echo lands and at what level, the
// ping-pong between the sides, feedback decay, invert, mute, mono, live parameter changes.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "plugins/ricochet/ricochet.h"
#include "tests/plugins/frame/delay_pair_sound_tests.h"
#include "tests/plugins/frame/delay_pair_test_support.h"
#include "tests/plugins/frame/plugin_test_support.h"

namespace {

// The defaults: dry 0.805, left echo 0.505 (heard on the right), right echo 0.605 (heard on
// the left), left feedback 0.40, right feedback 0.60; at 44.1 kHz the left line is 661
// samples long (15 ms) and the right one 220 (5 ms). Per sample the lines are read, then
// written: left ← left input + 0.40 × right line's output, right ← right input + 0.60 × left
// line's output; the outputs are left = 0.605 × right line's output + 0.805 × left input and
// right = 0.505 × left line's output + 0.805 × right input. The expected values below follow
// a unit click through these steps by hand.
using RicochetSound = DelaySoundTest<CRicochetSettings>;

constexpr double kTolerance = 1e-6;

TEST_F(RicochetSound, LinesAreSizedFromDelayAndRate) {
    Run({Click(10, 0), Click(10, 0)});
    EXPECT_EQ(settings.LeftLine().Length(), 661u);   // 15 ms at 44.1 kHz
    EXPECT_EQ(settings.RightLine().Length(), 220u);  // 5 ms

    settings.parameters.leftDelayMs = 0;
    settings.parameters.rightDelayMs = 3000;
    Run({Click(10, 0), Click(10, 0)});
    EXPECT_EQ(settings.LeftLine().Length(), 1u);
    EXPECT_EQ(settings.RightLine().Length(), 132300u);
}

TEST_F(RicochetSound, LeftClickBouncesBetweenTheSides) {
    const Signal out = Run({Click(3000, 0), std::vector<float>(3000, 0.0f)});
    // The click enters the left line at 0 and leaves it at 661: 0.505 on the right, 0.60 of
    // it into the right line, which gives it out at 881: 0.6 × 0.605 = 0.363 on the left,
    // 0.40 × 0.6 = 0.24 back into the left line, out at 1542: 0.24 × 0.505 = 0.1212, and so
    // on, every round trip (881 samples) 0.40 × 0.60 = 0.24 times the one before.
    ExpectSparse(out[1], {{661, 0.505}, {1542, 0.1212}, {2423, 0.029088}}, "right", kTolerance);
    ExpectSparse(out[0], {{0, 0.805}, {881, 0.363}, {1762, 0.08712}, {2643, 0.0209088}}, "left", kTolerance);
}

TEST_F(RicochetSound, RightClickStartsOnTheLeft) {
    const Signal out = Run({std::vector<float>(1200, 0.0f), Click(1200, 0)});
    // Out of the right line at 220: 0.605 on the left, 0.40 into the left line, out of it at
    // 881: 0.4 × 0.505 = 0.202 on the right, 0.6 × 0.4 = 0.24 into the right line, out at
    // 1101: 0.24 × 0.605 = 0.1452 on the left.
    ExpectSparse(out[0], {{220, 0.605}, {1101, 0.1452}}, "left", kTolerance);
    ExpectSparse(out[1], {{0, 0.805}, {881, 0.202}}, "right", kTolerance);
}

TEST_F(RicochetSound, FeedbackSetsTheDecayPerRoundTrip) {
    settings.parameters.leftFeedback = 0.9;
    settings.parameters.rightFeedback = 0.5;
    const Signal out = Run({Click(20000, 0), std::vector<float>(20000, 0.0f)});
    // Successive echoes on the right, one round trip (881 samples) apart: 0.9 × 0.5.
    for (size_t echo = 661; echo + 881 < 20000; echo += 881)
        EXPECT_NEAR(out[1][echo + 881] / out[1][echo], 0.45, 1e-5) << echo;

    settings.parameters.leftFeedback = 0.0;
    settings.parameters.rightFeedback = 0.0;
    const Signal dry = Run({Click(3000, 0), std::vector<float>(3000, 0.0f)});
    ExpectSparse(dry[1], {{661, 0.505}}, "right", kTolerance);
    ExpectSparse(dry[0], {{0, 0.805}}, "left", kTolerance);
}

TEST_F(RicochetSound, InvertLeftNegatesOnlyTheLeftOutput) {
    settings.parameters.invertLeft = 1;
    const Signal out = Run({Click(1000, 0), std::vector<float>(1000, 0.0f)});
    ExpectSparse(out[0], {{0, -0.805}, {881, -0.363}}, "left", kTolerance);
    ExpectSparse(out[1], {{661, 0.505}}, "right", kTolerance);
}

TEST_F(RicochetSound, InvertRightNegatesOnlyTheRightOutput) {
    settings.parameters.invertRight = 1;
    const Signal out = Run({Click(1000, 0), Click(1000, 0)});
    // Both lines take a click at 0. The right line gives it out at 220 (0.605 on the left,
    // 0.4 into the left line), the left line at 661 (0.505 on the right, 0.6 into the right
    // line); at 881 the right line gives out 0.6 (0.363 on the left) and the left line 0.4
    // (0.4 × 0.505 = 0.202 on the right).
    ExpectSparse(out[0], {{0, 0.805}, {220, 0.605}, {881, 0.363}}, "left", kTolerance);
    ExpectSparse(out[1], {{0, -0.805}, {661, -0.505}, {881, -0.202}}, "right", kTolerance);
}

TEST_F(RicochetSound, MuteDropsTheDryPartOnly) {
    settings.parameters.muteDry = 1;
    const Signal out = Run({Click(1000, 0), std::vector<float>(1000, 0.0f)});
    EXPECT_EQ(out[0][0], 0.0f);
    EXPECT_NEAR(out[1][661], 0.505, kTolerance);
}

TEST_F(RicochetSound, MonoStreamIsTheDryPart) {
    std::vector<float> tone(3000);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<float>(std::sin(0.05 * i));
    const Signal out = Run({tone});
    ASSERT_EQ(out[0].size(), tone.size());
    for (size_t i = 0; i < tone.size(); ++i) ASSERT_NEAR(out[0][i], 0.805 * tone[i], kTolerance) << i;
}

TEST_F(RicochetSound, ReopeningForOneChannelForgetsTheRightLine) {
    // A stereo stream leaves a click travelling in the right line...
    Run({Click(700, 0), std::vector<float>(700, 0.0f)});
    ASSERT_EQ(settings.RightLine().Length(), 220u);
    // ...which a mono stream opened next must not hear.
    const Signal out = Run({std::vector<float>(3000, 0.0f)});
    EXPECT_EQ(settings.RightLine().Length(), 0u);
    ExpectSparse(out[0], {}, "left", kTolerance);
}

TEST_F(RicochetSound, RunningStreamFollowsParameterChanges) {
    SignalSource source({Click(2000, 0), Click(2000, 1000)});
    settings.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(settings.OpenStream(FloatFormat(2, 44100)), PLUGIN_OPEN_OK);
    SoundBlock block(2, 1000);
    block->capacity = 1000;
    ASSERT_EQ(settings.ProcessStream(*block), 1000u);
    EXPECT_NEAR(block->channels[1][661], 0.505, kTolerance);

    settings.parameters.rightEchoGain = 0.25;
    settings.parameters.dryGain = 0.5;
    block->capacity = 1000;
    ASSERT_EQ(settings.ProcessStream(*block), 1000u);
    EXPECT_NEAR(block->channels[1][0], 0.5, kTolerance);     // the right click at 1000, new dry gain
    EXPECT_NEAR(block->channels[0][220], 0.25, kTolerance);  // its echo at 1220, new echo gain
}

TEST_F(RicochetSound, ClosingKeepsTheLinesAndEndsTheStream) {
    SignalSource source({Click(100, 0), Click(100, 0)});
    settings.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(settings.OpenStream(FloatFormat(2, 44100)), PLUGIN_OPEN_OK);
    settings.CloseStream();
    EXPECT_EQ(settings.LeftLine().Length(), 661u);
    EXPECT_EQ(settings.RightLine().Length(), 220u);
    SoundBlock block(2, 100);
    block->capacity = 100;
    EXPECT_EQ(settings.ProcessStream(*block), 0u);
    EXPECT_TRUE(source.requests.empty());
}

INSTANTIATE_TYPED_TEST_SUITE_P(Ricochet, DelayPairSound, CRicochetSettings);

}  // namespace

namespace {

// A settings window changes parameters on its own thread while the host pulls.
TEST(RicochetThreads, ParametersChangeWhileTheStreamRuns) {
    CRicochetSettings settings;
    ExpectStableWhileParametersChange(settings, [&](int step) {
        settings.parameters.leftEchoGain = (step % 101) / 100.0;
        settings.parameters.rightFeedback = (step % 100) / 100.0;
        settings.parameters.invertLeft = step % 2;
        settings.parameters.muteDry = (step / 7) % 2;
    });
}

}  // namespace
