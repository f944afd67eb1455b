// The wah-wah stages: the sweep, the filters and their limits, the level correction and
// the graph of gain, fan-out and sum stages.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "tests/plugins/frame/plugin_test_support.h"
#include "tests/plugins/wahwah/wahwah_test_support.h"

namespace {

// The centre frequency after each of `samples` processed samples, starting with the first.
std::vector<double> SweepTrace(CEffectWahWah& wah, size_t samples) {
    std::vector<double> centres;
    std::vector<float> one(1, 0.0f);
    _SOUNDDATAEX_ view;
    view.channels = {one.data()};
    view.capacity = 1;
    for (size_t k = 0; k < samples; ++k) {
        centres.push_back(wah.CentreFrequency());
        wah.Pull(view);
    }
    return centres;
}

std::unique_ptr<CEffectWahWah> OpenedWah(const WahWahParameters& parameters, uint32_t rate) {
    auto wah = std::make_unique<CEffectWahWah>();
    wah->SetParameters(parameters);
    wah->Open(FloatFormat(1, rate));
    return wah;
}

TEST(WahWahSweep, TravelsBetweenTheBordersInTheSweepLengthAndBack) {
    for (int32_t logarithmic : {0, 1}) {
        WahWahParameters parameters;  // 300 ... 1500 Hz, 3 sweeps per second
        parameters.logarithmic = logarithmic;
        const auto wah = OpenedWah(parameters, 44100);
        EXPECT_EQ(wah->SweepLength(), 14700);
        const std::vector<double> centres = SweepTrace(*wah, 2 * 14700);
        EXPECT_DOUBLE_EQ(centres[0], 300.0);
        EXPECT_NEAR(centres[14699], 1500.0, 1e-9);
        EXPECT_EQ(centres[14700], centres[14698]);     // turned back: position N - 2
        EXPECT_NEAR(centres[2 * 14699], 300.0, 1e-9);  // at the lower border again
        EXPECT_GT(centres[2 * 14699 + 1], 300.0);
        const double middle = logarithmic ? std::sqrt(300.0 * 1500.0) : 900.0;
        EXPECT_NEAR(centres[14699 / 2] + (centres[14699 / 2 + 1] - centres[14699 / 2]) / 2, middle, 0.1);
        for (size_t k = 1; k < 14700; ++k) ASSERT_GT(centres[k], centres[k - 1]) << k;
    }
}

TEST(WahWahSweep, ReversedBordersSweepDownwards) {
    WahWahParameters parameters;
    parameters.lowerBorder = 2000.0;
    parameters.upperBorder = 500.0;
    const auto wah = OpenedWah(parameters, 44100);
    const std::vector<double> centres = SweepTrace(*wah, 14700);
    EXPECT_DOUBLE_EQ(centres[0], 2000.0);
    EXPECT_NEAR(centres[14699], 500.0, 1e-9);
    for (size_t k = 1; k < centres.size(); ++k) ASSERT_LT(centres[k], centres[k - 1]) << k;
}

TEST(WahWahSweep, CentreIsClampedToTheUsableRange) {
    WahWahParameters parameters;
    parameters.lowerBorder = 5.0;
    parameters.upperBorder = 30000.0;
    parameters.logarithmic = 0;
    const auto wah = OpenedWah(parameters, 44100);
    const std::vector<double> centres = SweepTrace(*wah, 14700);
    EXPECT_EQ(centres[0], 10.0);
    EXPECT_DOUBLE_EQ(centres[14699], 44100.0 / 2.2);
}

TEST(WahWahSweep, OddSpeedsAndBordersStayFinite) {
    for (double speed : {0.0, -1.0, 1e-9, 1e6, std::nan(""), HUGE_VAL}) {
        WahWahParameters parameters;
        parameters.speed = speed;
        parameters.lowerBorder = 0.0;
        parameters.upperBorder = HUGE_VAL;
        parameters.bandWidth = -5.0;
        const auto wah = OpenedWah(parameters, 44100);
        EXPECT_GE(wah->SweepLength(), 2);
        const std::vector<float> out = RunStage(*wah, Sine(5000, 440.0, 44100.0, 0.5), 1000);
        for (float sample : out) ASSERT_TRUE(std::isfinite(sample)) << "speed " << speed;
    }
}

// A fixed centre at 22050 Hz: 9000 Hz is below 22050 / 2.2 and stays the notch of the
// band-reject filter, while the band-pass filter stops its angle at 2π / 4.4 (≈ 5011 Hz).
TEST(WahWahFilter, BandRejectAndBandPassAtTheirLimits) {
    const auto level = [](int32_t kind, double toneHz) {
        const auto wah = OpenedWah(FixedCentre(9000.0, kind), 22050);
        const std::vector<float> out = RunStage(*wah, Sine(22050, toneHz, 22050.0, 0.5), 4096);
        return Rms(out, 4410, out.size()) / (0.5 / std::sqrt(2.0));
    };
    EXPECT_LT(level(0, 9000.0), 0.05);
    EXPECT_GT(level(0, 2000.0), 0.9);
    EXPECT_NEAR(level(1, 22050.0 / 4.4), 1.0, 0.02);
    EXPECT_LT(level(1, 9000.0), 0.5);
}

TEST(WahWahFilter, BandPassPeaksAtItsCentre) {
    for (double centre : {300.0, 1000.0, 4000.0}) {
        const auto wah = OpenedWah(FixedCentre(centre, 1), 44100);
        const std::vector<float> atCentre = RunStage(*wah, Sine(44100, centre, 44100.0, 0.5), 4096);
        const auto other = OpenedWah(FixedCentre(centre, 1), 44100);
        const std::vector<float> offCentre = RunStage(*other, Sine(44100, centre * 3.0, 44100.0, 0.5), 4096);
        const double input = 0.5 / std::sqrt(2.0);
        EXPECT_NEAR(Rms(atCentre, 8820, 44100) / input, 1.0, 0.01) << centre;
        EXPECT_LT(Rms(offCentre, 8820, 44100) / input, 0.5) << centre;
    }
}

TEST(WahWahFilter, NormalizeHoldsTheLevelOfASine) {
    const double input = 0.3 / std::sqrt(2.0);
    for (int32_t normalize : {0, 1}) {
        WahWahParameters parameters = FixedCentre(1000.0, 1);
        parameters.normalize = normalize;
        const auto wah = OpenedWah(parameters, 44100);
        const std::vector<float> out = RunStage(*wah, Sine(3 * 44100, 3000.0, 44100.0, 0.3), 4096);
        const double level = Rms(out, 2 * 44100, out.size()) / input;
        if (normalize)
            EXPECT_NEAR(20.0 * std::log10(level), 0.0, 1.0);
        else
            EXPECT_LT(20.0 * std::log10(level), -6.0);
    }
    // Sweeping, the corrected level stays near the input's too.
    WahWahParameters sweeping;
    sweeping.normalize = 1;
    const auto wah = OpenedWah(sweeping, 44100);
    const std::vector<float> out = RunStage(*wah, Sine(3 * 44100, 700.0, 44100.0, 0.3), 4096);
    EXPECT_NEAR(20.0 * std::log10(Rms(out, 44100, out.size()) / input), 0.0, 2.0);
}

// At a very low rate the release factor is small enough for the output envelope to reach
// exactly 0 in silence; the correction must then leave the silent output alone.
TEST(WahWahFilter, NormalizeInSilenceGivesSilenceNotNaN) {
    WahWahParameters parameters;
    parameters.normalize = 1;
    const auto wah = OpenedWah(parameters, 10);
    std::vector<float> signal(1000, 0.0f);
    const std::vector<float> tone = Sine(200, 1.0, 10.0, 0.5);
    signal.insert(signal.end(), tone.begin(), tone.end());
    const std::vector<float> out = RunStage(*wah, signal, 16384);
    for (size_t k = 0; k < 1000; ++k) ASSERT_EQ(out[k], 0.0f) << k;
    for (size_t k = 1000; k < out.size(); ++k) ASSERT_TRUE(std::isfinite(out[k])) << k;
}

TEST(WahWahGraph, SumOfDryAndWetBranches) {
    const std::vector<float> input = Sine(20000, 440.0, 44100.0, 0.5);
    WahWahParameters parameters;
    // The graph as the plug-in builds it.
    CEffectMux fanOut(2);
    CVolumeEffect dry(0.25);
    CEffectWahWah wah;
    CVolumeEffect wet(2.0);
    CEffectSum sum;
    dry.SetSource(&fanOut);
    wah.SetSource(&fanOut);
    wet.SetSource(&wah);
    ASSERT_TRUE(sum.AddInput(&dry));
    ASSERT_TRUE(sum.AddInput(&wet));
    wah.SetParameters(parameters);
    wah.Open(FloatFormat(1, 44100));
    const std::vector<float> mixed = RunStage(sum, input, 3000);

    const auto alone = OpenedWah(parameters, 44100);
    const std::vector<float> filtered = RunStage(*alone, input, 3000);
    for (size_t k = 0; k < input.size(); ++k) {
        const float expected = static_cast<float>(input[k] * 0.25) + static_cast<float>(filtered[k] * 2.0);
        ASSERT_EQ(mixed[k], expected) << k;
    }
}

TEST(WahWahGraph, SumTakesAtMostTenInputs) {
    CEffectSum sum;
    std::vector<CVolumeEffect> stages(11);
    for (size_t k = 0; k < 10; ++k) EXPECT_TRUE(sum.AddInput(&stages[k]));
    EXPECT_FALSE(sum.AddInput(&stages[10]));
}

}  // namespace
