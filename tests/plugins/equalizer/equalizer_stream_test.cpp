// The equalizer's stream protocol: the hidden delay, exact lengths, alignment, the tail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "plugins/equalizer/equalizer.h"
#include "tests/plugins/equalizer/equalizer_test_signals.h"
#include "tests/plugins/frame/plugin_test_support.h"

namespace {

// An opened settings object playing the given channels.
struct EqualizerStream {
    explicit EqualizerStream(std::vector<std::vector<float>> channels, uint32_t rate = 44100)
        : source(std::move(channels)) {
        settings.SetStreamCallBack(SignalSource::Callback, &source);
        EXPECT_EQ(settings.OpenStream(FloatFormat(1, rate)), PLUGIN_OPEN_OK);
    }
    uint32_t Process(_SOUNDDATAEX_& record) { return settings.ProcessStream(record); }
    std::vector<float> Run(uint32_t blockFrames) {
        return RunStream([&](_SOUNDDATAEX_& record) { return Process(record); }, 1, blockFrames)[0];
    }

    SignalSource source;
    CEqualizerSettings settings;
};

TEST(EqualizerStream, ShortInputGivesExactlyItsLengthThenEnds) {
    EqualizerStream stream({Click(100, 10)});
    SoundBlock block(1, 4096);
    EXPECT_EQ(stream.Process(*block), 100u);
    EXPECT_EQ(block->frames, 100u);
    EXPECT_EQ(block->capacity, 4096u);
    const float* out = block->channels[0];
    EXPECT_EQ(std::max_element(out, out + 100) - out, 10);
    EXPECT_GT(out[10], 0.99f);
    EXPECT_EQ(stream.Process(*block), 0u);
    EXPECT_EQ(block->frames, 0u);
    EXPECT_EQ(stream.Process(*block), 0u);
    // The look-ahead took the whole input: no further pull was made.
    EXPECT_EQ(stream.source.requests, (std::vector<uint32_t>{kEqualizerDelay}));
}

TEST(EqualizerStream, InputOfExactlyTheLookAheadComesOutWhole) {
    EqualizerStream stream({Click(kEqualizerDelay, 6000)});
    SoundBlock block(1, 4096);
    EXPECT_EQ(stream.Process(*block), 4096u);
    EXPECT_EQ(stream.Process(*block), 2048u);
    EXPECT_GT(block->channels[0][6000 - 4096], 0.99f);
    EXPECT_EQ(stream.Process(*block), 0u);
    EXPECT_EQ(stream.source.requests, (std::vector<uint32_t>{kEqualizerDelay, 4096}));
}

TEST(EqualizerStream, EveryLengthAndRequestSizeKeepsLengthAndAlignment) {
    for (size_t length : {1u, 4095u, 4096u, 6143u, 6145u, 10240u, 44100u, 100003u}) {
        for (uint32_t request : {1u, 441u, 4096u, 6144u, 20000u}) {
            if (length > 20000 && request < 441) continue;  // keeps the test quick
            const size_t at = length / 2;
            EqualizerStream stream({Click(length, at)});
            const std::vector<float> output = stream.Run(request);
            ASSERT_EQ(output.size(), length) << "length " << length << " request " << request;
            ASSERT_EQ(std::max_element(output.begin(), output.end()) - output.begin(), static_cast<ptrdiff_t>(at))
                << "length " << length << " request " << request;
        }
    }
}

TEST(EqualizerStream, UnityGainsGiveTheInputBack) {
    constexpr size_t length = 3 * 44100 + 17;
    const std::vector<float> input = Tones(length, 44100.0, {50.0, 440.0, 3000.0, 12000.0}, 0.2);
    EqualizerStream stream({input});
    const std::vector<float> output = stream.Run(4096);
    ASSERT_EQ(output.size(), length);
    double worst = 0.0;
    for (size_t k = 0; k < length; ++k) worst = std::max(worst, std::abs(static_cast<double>(output[k]) - input[k]));
    EXPECT_LT(worst, 1e-3);
}

TEST(EqualizerStream, TopBandCutDampsOnlyHighTones) {
    constexpr size_t length = 2 * 44100;
    EqualizerStream low({Tones(length, 44100.0, {1000.0}, 0.5)});
    EqualizerStream high({Tones(length, 44100.0, {21000.0}, 0.5)});
    for (EqualizerStream* stream : {&low, &high}) {
        stream->settings.gains[9] = 0.1;
        ASSERT_EQ(stream->settings.OpenStream(FloatFormat(1, 44100)), PLUGIN_OPEN_OK);
    }
    const std::vector<float> lowOut = low.Run(4096), highOut = high.Run(4096);
    const double input = 0.5 / std::sqrt(2.0);
    EXPECT_NEAR(Decibels(Rms(lowOut, 8192, length - 8192) / input), 0.0, 0.01);
    const double highLevel = Decibels(Rms(highOut, 8192, length - 8192) / input);
    EXPECT_LT(highLevel, -15.0);
    EXPECT_GT(highLevel, -21.0);
}

TEST(EqualizerStream, ChannelsAreFilteredSeparately) {
    constexpr size_t length = 30000;
    SignalSource source({Click(length, 100), Click(length, 20000)});
    CEqualizerSettings settings;
    settings.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(settings.OpenStream(FloatFormat(2, 44100)), PLUGIN_OPEN_OK);
    const auto output = RunStream([&](_SOUNDDATAEX_& r) { return settings.ProcessStream(r); }, 2, 1000);
    ASSERT_EQ(output[0].size(), length);
    ASSERT_EQ(output[1].size(), length);
    EXPECT_EQ(std::max_element(output[0].begin(), output[0].end()) - output[0].begin(), 100);
    EXPECT_EQ(std::max_element(output[1].begin(), output[1].end()) - output[1].begin(), 20000);
    EXPECT_LT(std::abs(output[0][20000]), 1e-3f);
}

TEST(EqualizerStream, ReopeningStartsAFreshStream) {
    EqualizerStream stream({Click(5000, 300)});
    EXPECT_EQ(stream.Run(4096).size(), 5000u);
    // A new input on the same object after closing and opening again.
    SignalSource second({Click(7000, 6500)});
    stream.settings.CloseStream();
    stream.settings.SetStreamCallBack(SignalSource::Callback, &second);
    ASSERT_EQ(stream.settings.OpenStream(FloatFormat(1, 44100)), PLUGIN_OPEN_OK);
    const std::vector<float> output = stream.Run(4096);
    ASSERT_EQ(output.size(), 7000u);
    EXPECT_EQ(std::max_element(output.begin(), output.end()) - output.begin(), 6500);
}

TEST(EqualizerStream, UnsupportedFormatsAndClosedStreamsProduceNothing) {
    CEqualizerSettings settings;
    EXPECT_EQ(settings.OpenStream(FloatFormat(9, 44100)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(settings.OpenStream(FloatFormat(0, 44100)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(settings.OpenStream(FloatFormat(2, 0)), PLUGIN_OPEN_UNSUPPORTED);
    SoundBlock block(2, 512);
    EXPECT_EQ(settings.ProcessStream(*block), 0u);
    EXPECT_EQ(settings.OpenStream(FloatFormat(8, 44100)), PLUGIN_OPEN_OK);
    settings.CloseStream();
    EXPECT_EQ(settings.ProcessStream(*block), 0u);
}

}  // namespace
