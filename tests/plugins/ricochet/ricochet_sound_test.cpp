// Ricochet's sound on clicks: line lengths, where each echo lands and at what level, the
// ping-pong between the sides, feedback decay, invert, mute, mono, live parameter changes.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "plugins/ricochet/ricochet.h"
#include "tests/plugins/frame/plugin_test_support.h"

namespace {

using Signal = std::vector<std::vector<float>>;
using Expected = std::map<size_t, double>;  // sample index → value; every other sample is 0

class RicochetSound : public ::testing::Test {
protected:
    // Runs the input through a stream opened at the given rate, in requests of blockFrames.
    Signal Run(const Signal& input, uint32_t rate = 44100, uint32_t blockFrames = 1000) {
        SignalSource source(input);
        settings.SetStreamCallBack(SignalSource::Callback, &source);
        const WAVEFORMATEX format = FloatFormat(static_cast<uint16_t>(input.size()), rate);
        EXPECT_EQ(settings.OpenStream(format), PLUGIN_OPEN_OK);
        return RunStream([&](_SOUNDDATAEX_& record) { return settings.ProcessStream(record); },
                         static_cast<uint32_t>(input.size()), blockFrames);
    }

    static void ExpectSparse(const std::vector<float>& channel, const Expected& expected, const char* side) {
        for (size_t i = 0; i < channel.size(); ++i) {
            const auto found = expected.find(i);
            const double want = found == expected.end() ? 0.0 : found->second;
            ASSERT_NEAR(channel[i], want, 1e-6) << side << " sample " << i;
        }
    }

    CRicochetSettings settings;
};

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
    const RicochetParameters& p = settings.parameters;
    const Signal out = Run({Click(3000, 0), std::vector<float>(3000, 0.0f)});
    const double roundTrip = p.leftFeedback.get() * p.rightFeedback.get();
    // Right hears the left line after the left delay, left hears the right line after both
    // delays, and so on, each round trip scaled by both feedbacks.
    ExpectSparse(out[1], {{661, p.leftEchoGain.get()},
                          {1542, p.leftEchoGain.get() * roundTrip},
                          {2423, p.leftEchoGain.get() * roundTrip * roundTrip}},
                 "right");
    ExpectSparse(out[0], {{0, p.dryGain.get()},
                          {881, p.rightFeedback.get() * p.rightEchoGain.get()},
                          {1762, p.rightFeedback.get() * roundTrip * p.rightEchoGain.get()},
                          {2643, p.rightFeedback.get() * roundTrip * roundTrip * p.rightEchoGain.get()}},
                 "left");
}

TEST_F(RicochetSound, RightClickStartsOnTheLeft) {
    const RicochetParameters& p = settings.parameters;
    const Signal out = Run({std::vector<float>(1200, 0.0f), Click(1200, 0)});
    ExpectSparse(out[0], {{220, p.rightEchoGain.get()},
                          {1101, p.leftFeedback.get() * p.rightFeedback.get() * p.rightEchoGain.get()}},
                 "left");
    ExpectSparse(out[1], {{0, p.dryGain.get()}, {881, p.leftFeedback.get() * p.leftEchoGain.get()}}, "right");
}

TEST_F(RicochetSound, FeedbackSetsTheDecayPerRoundTrip) {
    settings.parameters.leftFeedback = 0.9;
    settings.parameters.rightFeedback = 0.5;
    const Signal out = Run({Click(20000, 0), std::vector<float>(20000, 0.0f)});
    // Successive echoes on the right, one round trip (881 samples) apart.
    for (size_t echo = 661; echo + 881 < 20000; echo += 881)
        EXPECT_NEAR(out[1][echo + 881] / out[1][echo], 0.45, 1e-5) << echo;

    settings.parameters.leftFeedback = 0.0;
    settings.parameters.rightFeedback = 0.0;
    const Signal dry = Run({Click(3000, 0), std::vector<float>(3000, 0.0f)});
    ExpectSparse(dry[1], {{661, settings.parameters.leftEchoGain.get()}}, "right");
    ExpectSparse(dry[0], {{0, settings.parameters.dryGain.get()}}, "left");
}

TEST_F(RicochetSound, InvertLeftNegatesOnlyTheLeftOutput) {
    settings.parameters.invertLeft = 1;
    const RicochetParameters& p = settings.parameters;
    const Signal out = Run({Click(1000, 0), std::vector<float>(1000, 0.0f)});
    ExpectSparse(out[0], {{0, -p.dryGain.get()}, {881, -p.rightFeedback.get() * p.rightEchoGain.get()}}, "left");
    ExpectSparse(out[1], {{661, p.leftEchoGain.get()}}, "right");
}

TEST_F(RicochetSound, InvertRightNegatesOnlyTheRightOutput) {
    settings.parameters.invertRight = 1;
    const RicochetParameters& p = settings.parameters;
    const Signal out = Run({Click(1000, 0), Click(1000, 0)});
    ExpectSparse(out[0], {{0, p.dryGain.get()}, {220, p.rightEchoGain.get()}, {881, p.rightFeedback.get() * p.rightEchoGain.get()}},
                 "left");
    ExpectSparse(out[1], {{0, -p.dryGain.get()}, {661, -p.leftEchoGain.get()},
                          {881, -p.leftFeedback.get() * p.leftEchoGain.get()}},
                 "right");
}

TEST_F(RicochetSound, MuteDropsTheDryPartOnly) {
    settings.parameters.muteDry = 1;
    const Signal out = Run({Click(1000, 0), std::vector<float>(1000, 0.0f)});
    EXPECT_EQ(out[0][0], 0.0f);
    EXPECT_NEAR(out[1][661], settings.parameters.leftEchoGain.get(), 1e-6);

    settings.parameters.leftEchoGain = 0.0;
    settings.parameters.rightEchoGain = 0.0;
    std::vector<float> noise(5000);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<float>(std::sin(0.37 * i));
    const Signal silent = Run({noise, noise});
    ExpectSparse(silent[0], {}, "left");
    ExpectSparse(silent[1], {}, "right");
}

TEST_F(RicochetSound, MonoStreamIsTheDryPart) {
    std::vector<float> tone(3000);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<float>(std::sin(0.05 * i));
    const Signal out = Run({tone});
    ASSERT_EQ(out[0].size(), tone.size());
    for (size_t i = 0; i < tone.size(); ++i)
        ASSERT_NEAR(out[0][i], settings.parameters.dryGain.get() * tone[i], 1e-6) << i;
}

TEST_F(RicochetSound, ReopeningForOneChannelForgetsTheRightLine) {
    // A stereo stream leaves a click travelling in the right line...
    Run({Click(700, 0), std::vector<float>(700, 0.0f)});
    ASSERT_EQ(settings.RightLine().Length(), 220u);
    // ...which a mono stream opened next must not hear.
    const Signal out = Run({std::vector<float>(3000, 0.0f)});
    EXPECT_EQ(settings.RightLine().Length(), 0u);
    ExpectSparse(out[0], {}, "left");
}

TEST_F(RicochetSound, RunningStreamFollowsParameterChanges) {
    SignalSource source({Click(2000, 0), Click(2000, 1000)});
    settings.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(settings.OpenStream(FloatFormat(2, 44100)), PLUGIN_OPEN_OK);
    SoundBlock block(2, 1000);
    block->capacity = 1000;
    ASSERT_EQ(settings.ProcessStream(*block), 1000u);
    EXPECT_NEAR(block->channels[1][661], 0.505, 1e-6);

    settings.parameters.rightEchoGain = 0.25;
    settings.parameters.dryGain = 0.5;
    block->capacity = 1000;
    ASSERT_EQ(settings.ProcessStream(*block), 1000u);
    EXPECT_NEAR(block->channels[1][0], 0.5, 1e-6);           // the right click at 1000, new dry gain
    EXPECT_NEAR(block->channels[0][220], 0.25, 1e-6);        // its echo at 1220, new echo gain
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

TEST_F(RicochetSound, BlockSizeDoesNotChangeTheSound) {
    std::vector<float> left(12000), right(12000);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = static_cast<float>(std::sin(0.01 * i));
        right[i] = static_cast<float>(std::cos(0.013 * i));
    }
    const Signal small = Run({left, right}, 44100, 333);
    const Signal large = Run({left, right}, 44100, 10000);
    EXPECT_EQ(small, large);
}

TEST_F(RicochetSound, RefusesMoreThanTwoChannels) {
    EXPECT_EQ(settings.OpenStream(FloatFormat(3, 44100)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(settings.OpenStream(FloatFormat(0, 44100)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(settings.OpenStream(FloatFormat(2, kMaxDelaySampleRate + 1)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(settings.LeftLine().Length(), 0u);  // nothing prepared
}

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
