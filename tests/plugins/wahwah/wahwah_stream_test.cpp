// The wah-wah filter's settings object: stored values and the stream in 16384-sample slices.
#include <gtest/gtest.h>

#include "tests/plugins/frame/plugin_test_support.h"
#include "tests/plugins/wahwah/wahwah_test_support.h"

namespace {

TEST(WahWahSettings, DefaultsAreTheStoredDefaults) {
    CWahWahSettings settings;
    EXPECT_DOUBLE_EQ(settings.dryGain.get(), 8191.5 / 32767.0);
    EXPECT_DOUBLE_EQ(settings.wetGain.get(), 65534.5 / 32767.0);
    EXPECT_EQ(settings.bandWidth.get(), 400.0);
    EXPECT_EQ(settings.upperBorder.get(), 1500.0);
    EXPECT_EQ(settings.lowerBorder.get(), 300.0);
    EXPECT_EQ(settings.speed.get(), 3.0);
    EXPECT_EQ(settings.kind.get(), 1);
    EXPECT_EQ(settings.logarithmic.get(), 1);
    EXPECT_EQ(settings.normalize.get(), 0);
}

TEST(WahWahSettings, StoredGainsSurviveLoadAndSaveUnchanged) {
    for (double stored : {0.0, 8191.0, 65534.0, 12345.678}) {
        double value = stored;
        for (int round = 0; round < 5; ++round)
            value = CWahWahSettings::GainToStored(CWahWahSettings::StoredToGain(value));
        EXPECT_NEAR(value, stored, 1e-9);
    }
    EXPECT_DOUBLE_EQ(CWahWahSettings::StoredToGain(32766.5), 1.0);
    EXPECT_DOUBLE_EQ(CWahWahSettings::GainToStored(0.0), -0.5);
}

TEST(WahWahStream, PullsInSlicesOf16384AndStopsAtAShortOne) {
    SignalSource source({std::vector<float>(40000, 0.1f)});
    CWahWahSettings settings;
    settings.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(settings.OpenStream(FloatFormat(1, 44100)), PLUGIN_OPEN_OK);
    SoundBlock block(1, 50000);
    EXPECT_EQ(settings.ProcessStream(*block), 40000u);
    EXPECT_EQ(block->frames, 40000u);
    EXPECT_EQ(source.requests, (std::vector<uint32_t>{16384, 16384, 16384}));
    EXPECT_EQ(settings.ProcessStream(*block), 0u);
}

TEST(WahWahStream, OutputDoesNotDependOnTheRequestSize) {
    const std::vector<float> input = Sine(70000, 330.0, 44100.0, 0.5);
    std::vector<std::vector<float>> outputs;
    for (uint32_t request : {100000u, 16384u, 5000u, 333u}) {
        SignalSource source({input, input});
        CWahWahSettings settings;
        settings.normalize = 1;
        settings.SetStreamCallBack(SignalSource::Callback, &source);
        ASSERT_EQ(settings.OpenStream(FloatFormat(2, 44100)), PLUGIN_OPEN_OK);
        const auto output = RunStream([&](_SOUNDDATAEX_& r) { return settings.ProcessStream(r); }, 2, request);
        ASSERT_EQ(output[0].size(), input.size());
        EXPECT_EQ(output[0], output[1]);
        outputs.push_back(output[0]);
    }
    for (size_t k = 1; k < outputs.size(); ++k) EXPECT_EQ(outputs[k], outputs[0]) << k;
}

TEST(WahWahStream, DryOnlyGivesTheInputBack) {
    const std::vector<float> input = Sine(30000, 1234.0, 44100.0, 0.7);
    SignalSource source({input});
    CWahWahSettings settings;
    settings.dryGain = 1.0;
    settings.wetGain = 0.0;
    settings.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(settings.OpenStream(FloatFormat(1, 44100)), PLUGIN_OPEN_OK);
    EXPECT_EQ(RunStream([&](_SOUNDDATAEX_& r) { return settings.ProcessStream(r); }, 1, 4096)[0], input);
}

TEST(WahWahStream, ParametersReachTheSoundAtTheNextOpen) {
    const std::vector<float> input = Sine(20000, 1000.0, 44100.0, 0.5);
    SignalSource first({input}), second({input});
    CWahWahSettings settings;
    settings.SetStreamCallBack(SignalSource::Callback, &first);
    ASSERT_EQ(settings.OpenStream(FloatFormat(1, 44100)), PLUGIN_OPEN_OK);
    settings.dryGain = 1.0;  // while the stream runs: not heard yet
    settings.wetGain = 0.0;
    const auto before = RunStream([&](_SOUNDDATAEX_& r) { return settings.ProcessStream(r); }, 1, 4096)[0];
    EXPECT_NE(before, input);
    settings.CloseStream();
    settings.SetStreamCallBack(SignalSource::Callback, &second);
    ASSERT_EQ(settings.OpenStream(FloatFormat(1, 44100)), PLUGIN_OPEN_OK);
    EXPECT_EQ(RunStream([&](_SOUNDDATAEX_& r) { return settings.ProcessStream(r); }, 1, 4096)[0], input);
}

TEST(WahWahStream, RefusesMoreThanTenChannelsAndNeedsAnOpenStream) {
    CWahWahSettings settings;
    SoundBlock block(2, 100);
    EXPECT_EQ(settings.ProcessStream(*block), 0u);
    EXPECT_EQ(settings.OpenStream(FloatFormat(11, 44100)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(settings.OpenStream(FloatFormat(0, 44100)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(settings.OpenStream(FloatFormat(2, 0)), PLUGIN_OPEN_UNSUPPORTED);
    EXPECT_EQ(settings.OpenStream(FloatFormat(10, 44100)), PLUGIN_OPEN_OK);
}

}  // namespace
