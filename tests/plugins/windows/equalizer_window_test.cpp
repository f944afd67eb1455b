// The equalizer's settings window: the ±200 slider positions and their "%.5Lg dB" labels,
// gains outside the sliders' range, notifications, and the response curve its preview
// engines compute.
#include <gtest/gtest.h>

#include <QSlider>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

#include "plugins/equalizer/equalizer_window.h"
#include "tests/plugins/windows/window_test_support.h"

namespace {

TEST(EqualizerSliderMaps, PositionsAndGainsAtTheEndsAndInTheMiddle) {
    EXPECT_DOUBLE_EQ(SliderPositionToGain(-200), 10.0);
    EXPECT_DOUBLE_EQ(SliderPositionToGain(0), 1.0);
    EXPECT_DOUBLE_EQ(SliderPositionToGain(200), 0.1);
    EXPECT_DOUBLE_EQ(SliderPositionToGain(5), std::pow(10.0, -0.025));
    EXPECT_EQ(GainToSliderPosition(10.0), -200);
    EXPECT_EQ(GainToSliderPosition(1.0), 0);
    EXPECT_EQ(GainToSliderPosition(0.1), 200);
    EXPECT_EQ(GainToSliderPosition(std::pow(10.0, -35.0 / 200.0)), 35);
    EXPECT_EQ(GainToSliderPosition(std::pow(10.0, 120.0 / 200.0)), -120);
}

TEST(EqualizerSliderMaps, GainsOutsideTheRangeGoToTheEnds) {
    EXPECT_EQ(GainToSliderPosition(100.0), -200);
    EXPECT_EQ(GainToSliderPosition(10.5), -200);
    EXPECT_EQ(GainToSliderPosition(0.05), 200);
    EXPECT_EQ(GainToSliderPosition(0.0), 200);
    EXPECT_EQ(GainToSliderPosition(-1.0), 200);
    EXPECT_EQ(GainToSliderPosition(std::numeric_limits<double>::infinity()), -200);
    EXPECT_EQ(GainToSliderPosition(std::numeric_limits<double>::quiet_NaN()), 200);
}

TEST(EqualizerSliderMaps, EveryPositionSurvivesAPresetRoundTrip) {
    // Written as a gain, stored, loaded and shown again, a slider stays where it was.
    for (int p = -200; p <= 200; ++p) {
        const int32_t stored = CEqualizerSettings::GainToStored(SliderPositionToGain(p));
        ASSERT_EQ(GainToSliderPosition(CEqualizerSettings::StoredToGain(stored)), p);
    }
}

TEST(EqualizerSliderMaps, Labels) {
    EXPECT_EQ(SliderLabel(0), "0 dB");
    EXPECT_EQ(SliderLabel(35), "-3.5 dB");
    EXPECT_EQ(SliderLabel(-120), "12 dB");
    EXPECT_EQ(SliderLabel(5), "-0.5 dB");
    EXPECT_EQ(SliderLabel(-3), "0.3 dB");
    EXPECT_EQ(SliderLabel(-200), "20 dB");
    EXPECT_EQ(SliderLabel(200), "-20 dB");
    EXPECT_EQ(SliderLabel(-125), "12.5 dB");
}

class EqualizerWindow : public SettingsWindowTest<CPluginDlg, CEqualizerSettings> {
protected:
    QSlider& BandSlider(int band) { return Slider(CPluginDlg::kSliderIds[band]); }
    QString BandLabel(int band) { return Label(CPluginDlg::kLabelIds[band]); }
    const std::vector<DPoint>& Curve() { return dialog->GraphData().points[0]; }
    // The curve's level in y units (5 dB each) at frequency f.
    double LevelAt(double f) {
        const double x = std::log10(f) + 1.0;
        const auto after = std::lower_bound(Curve().begin(), Curve().end(), x,
                                            [](const DPoint& point, double at) { return point.x < at; });
        return after == Curve().end() ? std::numeric_limits<double>::quiet_NaN() : after->y;
    }
};

TEST_F(EqualizerWindow, AllSlidersAtZeroGiveAFlatCurveAtZero) {
    Open();
    EXPECT_EQ(dialog->objectName(), "23300");
    for (int band = 0; band < kEqualizerBands; ++band) {
        EXPECT_EQ(BandSlider(band).minimum(), -200);
        EXPECT_EQ(BandSlider(band).maximum(), 200);
        EXPECT_EQ(BandSlider(band).value(), 0);
        EXPECT_EQ(BandLabel(band), "0 dB");
    }
    ASSERT_GT(Curve().size(), 1000u);
    EXPECT_DOUBLE_EQ(Curve().front().x, 2.0);  // 10 Hz
    EXPECT_GT(Curve().back().x, 5.29);         // just below 20000 Hz
    EXPECT_LT(Curve().back().x, std::log10(20000.0) + 1.0);
    for (const DPoint& point : Curve()) {
        ASSERT_NEAR(point.y, 0.0, 1e-4) << point.x;
        ASSERT_EQ(point.z, 0.0);
    }
    for (size_t i = 1; i < Curve().size(); ++i) ASSERT_NEAR(Curve()[i].x - Curve()[i - 1].x, 0.003, 1e-9);
    EXPECT_TRUE(dialog->GraphData().points[1].empty());
    EXPECT_TRUE(host.Commands().empty());
    EXPECT_EQ(dialog->Find<CChartWnd>(CPluginDlg::kChartId), &dialog->Chart());
    EXPECT_TRUE(dialog->Chart().isVisibleTo(dialog));
}

TEST_F(EqualizerWindow, TheTopSliderOfTheHighestBandRaisesTheRightEnd) {
    Open();
    QSlider& top = BandSlider(9);
    DragSliderTo(top, -200);
    EXPECT_EQ(BandLabel(9), "20 dB");
    EXPECT_NEAR(settings.gains[9].get(), 1.0, 1e-6);  // not before the release
    EXPECT_NEAR(LevelAt(19000.0), 0.0, 1e-4);
    ReleaseSlider(top);
    EXPECT_DOUBLE_EQ(settings.gains[9].get(), 10.0);
    ASSERT_EQ(host.Commands().size(), 1u);
    EXPECT_EQ(host.Commands()[0].code, 0x400);
    EXPECT_NEAR(LevelAt(1000.0), 0.0, 1e-3);
    EXPECT_NEAR(LevelAt(7900.0), 0.0, 1e-3);
    // From 8000 Hz on the level rises toward +20 dB (4 units), which it reaches at 22000 Hz.
    double previous = LevelAt(8100.0);
    for (double f = 9000.0; f < 20000.0; f += 1000.0) {
        const double level = LevelAt(f);
        EXPECT_GT(level, previous) << f;
        previous = level;
    }
    EXPECT_GT(previous, 3.0);
    EXPECT_LT(previous, 4.0);
}

TEST_F(EqualizerWindow, EachKeyIsOneChangeOfTheGains) {
    Open();
    QTest::keyClick(&BandSlider(3), Qt::Key_Down);  // down: 0.1 dB less
    EXPECT_EQ(BandLabel(3), "-0.1 dB");
    EXPECT_DOUBLE_EQ(settings.gains[3].get(), std::pow(10.0, -1.0 / 200.0));
    QTest::keyClick(&BandSlider(3), Qt::Key_End);
    EXPECT_EQ(BandLabel(3), "-20 dB");
    EXPECT_DOUBLE_EQ(settings.gains[3].get(), 0.1);
    EXPECT_NEAR(LevelAt(250.0), -4.0, 0.2);  // the bottom of the dip at its band
    EXPECT_EQ(host.Commands().size(), 2u);
}

TEST_F(EqualizerWindow, GainsOutsideTheSlidersPutThemAtTheirEnds) {
    settings.gains[0] = 40.0;
    settings.gains[1] = 0.01;
    settings.gains[2] = 0.0;
    Open();
    EXPECT_EQ(BandSlider(0).value(), -200);
    EXPECT_EQ(BandLabel(0), "20 dB");
    EXPECT_EQ(BandSlider(1).value(), 200);
    EXPECT_EQ(BandSlider(2).value(), 200);
    EXPECT_DOUBLE_EQ(settings.gains[0].get(), 40.0);  // opening writes nothing
    // The curve is the design of the gains themselves: +32 dB at the bottom end.
    EXPECT_NEAR(Curve().front().y, 4.0 * std::log10(40.0), 1e-6);
    DragSlider(BandSlider(5), 10);
    EXPECT_DOUBLE_EQ(settings.gains[0].get(), 10.0);  // every gain is written from its slider
    EXPECT_DOUBLE_EQ(settings.gains[2].get(), 0.1);
}

TEST_F(EqualizerWindow, FitsItsTemplate) {
    Open();
    const DialogUnits units(dialog->font());
    EXPECT_EQ(dialog->size(), units.ToPixels(314, 178));
    EXPECT_EQ(dialog->Chart().geometry(), units.ToPixels(3, 92, 308, 86));
    EXPECT_LE(dialog->Chart().geometry().bottom(), dialog->rect().bottom());
}

TEST_F(EqualizerWindow, TextsFitTheirControlsAtTheWidestValues) {
    Open();
    for (int band = 0; band < kEqualizerBands; ++band) DragSliderTo(BandSlider(band), band % 2 == 0 ? 175 : -125);
    EXPECT_EQ(BandLabel(0), "-17.5 dB");
    EXPECT_EQ(ClippedTexts(*dialog), std::vector<std::string>{});
}

}  // namespace
