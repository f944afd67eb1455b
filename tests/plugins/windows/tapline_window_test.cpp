// Tapline's settings window on a settings record: slider mappings at the ends and in the
// middle, no write-back at opening, lock channels over gain and delay, mute, and the change
// notifications.
#include <gtest/gtest.h>

#include <QTest>

#include "plugins/tapline/tapline_window.h"
#include "tests/plugins/windows/window_test_support.h"

namespace {

using TaplineWindow = SettingsWindowTest<CTaplineDlg, CTaplineSettings>;

TEST_F(TaplineWindow, OpensOnTheSettingsWithoutWritingOrNotifying) {
    settings.parameters.rightEchoGain = 0.555;
    Open();
    EXPECT_EQ(dialog->objectName(), "30800");
    EXPECT_EQ(Slider(30801).maximum(), 100);
    EXPECT_EQ(Slider(30803).maximum(), 5000);
    // Defaults: dry 0.75, left echo 0.55 (55.000000000000007 per cent in doubles), delays 18.
    EXPECT_EQ(Slider(30801).value(), 25);
    EXPECT_EQ(Label(30806), "75 %");
    EXPECT_EQ(Slider(30802).value(), 45);
    EXPECT_EQ(Label(30807), "55 %");
    EXPECT_EQ(Slider(30803).value(), 4982);
    EXPECT_EQ(Label(30808), "18 ms");
    EXPECT_EQ(Label(30809), "55 %");
    EXPECT_EQ(Label(30810), "18 ms");
    EXPECT_DOUBLE_EQ(settings.parameters.rightEchoGain.get(), 0.555);  // left as it was
    EXPECT_TRUE(host.Commands().empty());
}

TEST_F(TaplineWindow, SlidersMapUpsideDownToTheirEnds) {
    settings.parameters.dryGain = 0.0;
    settings.parameters.leftEchoGain = 1.0;
    settings.parameters.leftDelayMs = 5000;
    settings.parameters.rightDelayMs = 0;
    Open();
    EXPECT_EQ(Slider(30801).value(), 100);
    EXPECT_EQ(Label(30806), "0 %");
    EXPECT_EQ(Slider(30802).value(), 0);
    EXPECT_EQ(Label(30807), "100 %");
    EXPECT_EQ(Slider(30803).value(), 0);
    EXPECT_EQ(Label(30808), "5000 ms");
    EXPECT_EQ(Slider(30805).value(), 5000);
    EXPECT_EQ(Label(30810), "0 ms");

    DragSlider(Slider(30803), 2500);
    DragSlider(Slider(30801), 50);
    EXPECT_EQ(settings.parameters.leftDelayMs.get(), 2500);
    EXPECT_DOUBLE_EQ(settings.parameters.dryGain.get(), 0.5);
    EXPECT_EQ(host.Commands().size(), 2u);
}

TEST_F(TaplineWindow, LockCopiesGainAndDelayToTheRight) {
    Open();
    Button(30811).click();
    EXPECT_FALSE(Slider(30804).isEnabled());
    EXPECT_FALSE(Slider(30805).isEnabled());
    EXPECT_TRUE(Slider(30802).isEnabled());
    DragSliderTo(Slider(30802), 30);
    EXPECT_EQ(Slider(30804).value(), 30);
    EXPECT_EQ(Label(30809), "70 %");
    EXPECT_DOUBLE_EQ(settings.parameters.rightEchoGain.get(), 0.55);
    ReleaseSlider(Slider(30802));
    EXPECT_DOUBLE_EQ(settings.parameters.rightEchoGain.get(), 0.70);
    QTest::keyClick(&Slider(30803), Qt::Key_PageUp);  // a page is 1000 ms
    EXPECT_EQ(settings.parameters.leftDelayMs.get(), 1018);
    EXPECT_EQ(settings.parameters.rightDelayMs.get(), 1018);
    EXPECT_EQ(settings.parameters.lockChannels.get(), 1);
    EXPECT_EQ(host.Commands().size(), 3u);
}

TEST_F(TaplineWindow, CheckBoxesWriteEveryValueAndTheirEnableStates) {
    Open();
    Button(30814).click();
    EXPECT_FALSE(Slider(30801).isEnabled());
    EXPECT_EQ(settings.parameters.muteDry.get(), 1);
    Button(30812).click();
    Button(30813).click();
    EXPECT_EQ(settings.parameters.invertLeft.get(), 1);
    EXPECT_EQ(settings.parameters.invertRight.get(), 1);
    EXPECT_DOUBLE_EQ(settings.parameters.dryGain.get(), 0.75);
    EXPECT_EQ(host.Commands().size(), 3u);
}

TEST_F(TaplineWindow, TextsFitTheirControlsAtTheWidestValues) {
    settings.parameters.leftDelayMs = 5000;
    settings.parameters.rightDelayMs = 5000;
    settings.parameters.dryGain = 1.0;
    Open();
    EXPECT_EQ(ClippedTexts(*dialog), std::vector<std::string>{});
}

}  // namespace
