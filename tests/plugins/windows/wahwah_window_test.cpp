// The wah-wah filter's settings window: the logarithmic slider maps at the ends and in the
// middle, the gain read-outs with "-Inf", opening on the settings, and writing every setting
// with one notification per change.
#include <gtest/gtest.h>

#include <QTest>

#include <cmath>
#include <limits>

#include "plugins/wahwah/wahwah_window.h"
#include "tests/plugins/windows/window_test_support.h"

namespace {

TEST(WahWahMaps, LogarithmicSlidersAtTheEndsAndInTheMiddle) {
    EXPECT_DOUBLE_EQ(LogSliderValue(10, 10, 1000), 10.0);
    EXPECT_DOUBLE_EQ(LogSliderValue(1000, 10, 1000), 1000.0);
    EXPECT_NEAR(LogSliderValue(505, 10, 1000), 100.0, 1e-9);  // the middle is the geometric mean
    EXPECT_NEAR(LogSliderValue(5050, 100, 10000), 1000.0, 1e-9);
    EXPECT_DOUBLE_EQ(LogSliderValue(0, 10, 1000), 10.0);  // kept within the range
    EXPECT_DOUBLE_EQ(LogSliderValue(2000, 10, 1000), 1000.0);
    EXPECT_EQ(LogSliderPosition(100.0, 10, 1000), 505);
    EXPECT_EQ(LogSliderPosition(10.0, 10, 1000), 10);
    EXPECT_EQ(LogSliderPosition(1000.0, 10, 1000), 1000);
    EXPECT_EQ(LogSliderPosition(5.0, 10, 1000), 10);
    EXPECT_EQ(LogSliderPosition(1e9, 10, 1000), 1000);
    EXPECT_EQ(LogSliderPosition(0.0, 10, 1000), 10);
    EXPECT_EQ(LogSliderPosition(-3.0, 100, 10000), 100);
    EXPECT_EQ(LogSliderPosition(std::numeric_limits<double>::quiet_NaN(), 1, 1000), 1);
}

TEST(WahWahMaps, PositionsSurviveBeingOpenedAgain) {
    // A value written from a position gives that position back, so reopening the window and
    // changing something else never moves the other sliders.
    for (int p = 100; p <= 10000; ++p) ASSERT_EQ(LogSliderPosition(LogSliderValue(p, 100, 10000), 100, 10000), p);
    for (int p = 1; p <= 1000; ++p)
        ASSERT_EQ(LogSliderPosition(LogSliderValue(p, 1, 1000) / 100.0 * 100.0, 1, 1000), p);
}

TEST(WahWahMaps, GainReadouts) {
    EXPECT_EQ(GainReadout(0), "0%\n(-Inf dB)");
    EXPECT_EQ(GainReadout(100), "100%\n(0 dB)");
    EXPECT_EQ(GainReadout(50), "50%\n(-6 dB)");
    EXPECT_EQ(GainReadout(70), "70%\n(-3.1 dB)");
    EXPECT_EQ(GainReadout(400), "400%\n(12 dB)");
    EXPECT_EQ(GainReadout(1), "1%\n(-40 dB)");
    EXPECT_EQ(GainSliderPosition(0.25, 100), 25);
    EXPECT_EQ(GainSliderPosition(0.254999, 100), 25);
    EXPECT_EQ(GainSliderPosition(0.255, 100), 26);
    EXPECT_EQ(GainSliderPosition(7.0, 400), 400);
    EXPECT_EQ(GainSliderPosition(-1.0, 400), 0);
}

using WahWahWindow = SettingsWindowTest<CWahWahDlg, CWahWahSettings>;

TEST_F(WahWahWindow, OpensOnTheDefaults) {
    Open();
    EXPECT_EQ(dialog->objectName(), "20600");
    EXPECT_EQ(Slider(20602).maximum(), 100);
    EXPECT_EQ(Slider(20603).maximum(), 400);
    EXPECT_EQ(Slider(20619).minimum(), 10);
    EXPECT_EQ(Slider(20618).maximum(), 10000);
    EXPECT_EQ(Slider(20621).minimum(), 1);
    EXPECT_EQ(Slider(20602).orientation(), Qt::Horizontal);
    EXPECT_EQ(Slider(20602).value(), 25);
    EXPECT_EQ(Label(20604), "25%\n(-12 dB)");
    EXPECT_EQ(Slider(20603).value(), 200);
    EXPECT_EQ(Label(20605), "200%\n(6 dB)");
    EXPECT_EQ(Label(20624), "400 Hz");
    EXPECT_EQ(Label(20625), "300 Hz");
    EXPECT_EQ(Label(20626), "1500 Hz");
    EXPECT_EQ(Label(20606), "3.00 Hz");
    EXPECT_TRUE(Button(20611).isChecked());
    EXPECT_FALSE(Button(20612).isChecked());
    EXPECT_TRUE(Button(20613).isChecked());
    EXPECT_FALSE(Button(20623).isChecked());
    EXPECT_TRUE(host.Commands().empty());
    EXPECT_DOUBLE_EQ(settings.bandWidth.get(), 400.0);  // nothing written yet
}

TEST_F(WahWahWindow, OpensOnOtherKindsAndOutOfRangeValues) {
    settings.kind = 0;
    settings.logarithmic = 0;
    settings.normalize = 1;
    settings.dryGain = 0.0;
    settings.speed = 50.0;
    settings.bandWidth = 1.0;
    Open();
    EXPECT_TRUE(Button(20612).isChecked());
    EXPECT_TRUE(Button(20614).isChecked());
    EXPECT_TRUE(Button(20623).isChecked());
    EXPECT_EQ(Label(20604), "0%\n(-Inf dB)");
    EXPECT_EQ(Label(20606), "10.00 Hz");
    EXPECT_EQ(Label(20624), "10 Hz");
}

TEST_F(WahWahWindow, AReleasedSliderWritesEverySetting) {
    Open();
    DragSliderTo(Slider(20621), 1);
    EXPECT_EQ(Label(20606), "0.01 Hz");
    EXPECT_DOUBLE_EQ(settings.speed.get(), 3.0);
    ReleaseSlider(Slider(20621));
    EXPECT_DOUBLE_EQ(settings.speed.get(), 0.01);
    EXPECT_NEAR(settings.bandWidth.get(), 400.0, 2.5);  // the others as their sliders show them
    EXPECT_NEAR(settings.lowerBorder.get(), 300.0, 1.0);
    EXPECT_NEAR(settings.upperBorder.get(), 1500.0, 1.0);
    EXPECT_DOUBLE_EQ(settings.dryGain.get(), 0.25);
    EXPECT_DOUBLE_EQ(settings.wetGain.get(), 2.0);
    EXPECT_EQ(settings.kind.get(), 1);
    EXPECT_EQ(host.Commands().size(), 1u);

    QTest::keyClick(&Slider(20618), Qt::Key_End);
    EXPECT_DOUBLE_EQ(settings.lowerBorder.get(), 10000.0);
    EXPECT_EQ(Label(20625), "10000 Hz");
    QTest::keyClick(&Slider(20603), Qt::Key_Home);
    EXPECT_DOUBLE_EQ(settings.wetGain.get(), 0.0);
    EXPECT_EQ(Label(20605), "0%\n(-Inf dB)");
    EXPECT_EQ(host.Commands().size(), 3u);
}

TEST_F(WahWahWindow, RadioButtonsAndTheCheckBoxWriteAndNotify) {
    Open();
    Button(20612).click();
    EXPECT_EQ(settings.kind.get(), 0);
    EXPECT_TRUE(Button(20613).isChecked());  // the other group keeps its choice
    Button(20614).click();
    EXPECT_EQ(settings.logarithmic.get(), 0);
    Button(20623).click();
    EXPECT_EQ(settings.normalize.get(), 1);
    Button(20611).click();
    EXPECT_EQ(settings.kind.get(), 1);
    EXPECT_EQ(host.Commands().size(), 4u);
}

TEST_F(WahWahWindow, TextsFitTheirControlsAtTheWidestValues) {
    settings.dryGain = 0.01;
    settings.wetGain = 4.0;
    settings.bandWidth = 1000.0;
    settings.lowerBorder = 10000.0;
    settings.upperBorder = 10000.0;
    settings.speed = 10.0;
    Open();
    EXPECT_EQ(Label(20604), "1%\n(-40 dB)");
    EXPECT_EQ(ClippedTexts(*dialog), std::vector<std::string>{});
}

}  // namespace
