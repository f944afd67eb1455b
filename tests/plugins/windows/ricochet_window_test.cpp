// Ricochet's settings window on a settings record: slider mappings at the ends and in the
// middle, the upside-down sliders, write-back at opening, lock channels, mute, and the
// change notifications.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <QTest>

#include "plugins/ricochet/ricochet_window.h"
#include "tests/plugins/windows/window_test_support.h"

namespace {

using RicochetWindow = SettingsWindowTest<CRicochetDlg, CRicochetSettings>;

TEST_F(RicochetWindow, OpensOnTheSettingsWithoutNotifying) {
    Open();
    EXPECT_EQ(dialog->objectName(), "30600");
    EXPECT_EQ(Slider(30601).maximum(), 100);
    EXPECT_EQ(Slider(30603).maximum(), 99);
    EXPECT_EQ(Slider(30604).maximum(), 3000);
    EXPECT_EQ(Slider(30607).minimum(), 0);
    // Defaults: dry 0.805, echoes 0.505 and 0.605, feedbacks 0.40 and 0.60, delays 15 and 5.
    EXPECT_EQ(Slider(30601).value(), 20);
    EXPECT_EQ(Label(30608), "80 %");
    EXPECT_EQ(Slider(30602).value(), 50);
    EXPECT_EQ(Label(30609), "50 %");
    EXPECT_EQ(Slider(30603).value(), 59);
    EXPECT_EQ(Label(30610), "40 %");
    EXPECT_EQ(Slider(30604).value(), 2985);
    EXPECT_EQ(Label(30611), "15 ms");
    EXPECT_EQ(Label(30612), "60 %");
    EXPECT_EQ(Label(30613), "60 %");
    EXPECT_EQ(Label(30614), "5 ms");
    EXPECT_TRUE(host.Commands().empty());
    // Opening writes the slider values back: the gains come to whole per cents.
    EXPECT_DOUBLE_EQ(settings.parameters.dryGain.get(), 0.80);
    EXPECT_DOUBLE_EQ(settings.parameters.leftEchoGain.get(), 0.50);
    EXPECT_DOUBLE_EQ(settings.parameters.rightEchoGain.get(), 0.60);
    EXPECT_EQ(settings.parameters.leftDelayMs.get(), 15);
}

TEST_F(RicochetWindow, SlidersShowTheirEndsUpsideDown) {
    RicochetParameters& p = settings.parameters;
    p.dryGain = 1.0;
    p.leftEchoGain = 0.0;
    p.leftFeedback = 0.99;
    p.rightFeedback = 0.0;
    p.leftDelayMs = 3000;
    p.rightDelayMs = 0;
    p.rightEchoGain = 0.29;  // 28.999… per cent in doubles: still 29
    Open();
    EXPECT_EQ(Slider(30601).value(), 0);
    EXPECT_EQ(Label(30608), "100 %");
    EXPECT_EQ(Slider(30602).value(), 100);
    EXPECT_EQ(Label(30609), "0 %");
    EXPECT_EQ(Slider(30603).value(), 0);
    EXPECT_EQ(Label(30610), "99 %");
    EXPECT_EQ(Slider(30606).value(), 99);
    EXPECT_EQ(Slider(30604).value(), 0);
    EXPECT_EQ(Label(30611), "3000 ms");
    EXPECT_EQ(Slider(30607).value(), 3000);
    EXPECT_EQ(Label(30614), "0 ms");
    EXPECT_EQ(Label(30612), "29 %");
    EXPECT_DOUBLE_EQ(p.rightEchoGain.get(), 0.29);
}

TEST_F(RicochetWindow, ValuesOutsideTheRangesComeToTheEnds) {
    settings.parameters.dryGain = 1.7;
    settings.parameters.leftDelayMs = 9000;
    settings.parameters.rightFeedback = -0.5;
    Open();
    EXPECT_EQ(Slider(30601).value(), 0);
    EXPECT_EQ(Slider(30604).value(), 0);
    EXPECT_EQ(Slider(30606).value(), 99);
    EXPECT_DOUBLE_EQ(settings.parameters.dryGain.get(), 1.0);
    EXPECT_EQ(settings.parameters.leftDelayMs.get(), 3000);
    EXPECT_DOUBLE_EQ(settings.parameters.rightFeedback.get(), 0.0);
}

TEST_F(RicochetWindow, ADragShowsAtOnceAndWritesWhenReleased) {
    Open();
    DragSliderTo(Slider(30603), 49);  // the middle of 0 … 99
    EXPECT_EQ(Label(30610), "50 %");
    EXPECT_DOUBLE_EQ(settings.parameters.leftFeedback.get(), 0.40);
    EXPECT_TRUE(host.Commands().empty());
    ReleaseSlider(Slider(30603));
    EXPECT_DOUBLE_EQ(settings.parameters.leftFeedback.get(), 0.50);
    ASSERT_EQ(host.Commands().size(), 1u);
    EXPECT_EQ(host.Commands()[0].id, 0);
    EXPECT_EQ(host.Commands()[0].code, 0x400);
    DragSlider(Slider(30607), 1500);
    EXPECT_EQ(settings.parameters.rightDelayMs.get(), 1500);
    DragSlider(Slider(30601), 50);
    EXPECT_DOUBLE_EQ(settings.parameters.dryGain.get(), 0.50);
    EXPECT_EQ(host.Commands().size(), 3u);
}

TEST_F(RicochetWindow, EachKeyIsOneChange) {
    Open();
    Slider(30602).setFocus();
    QTest::keyClick(&Slider(30602), Qt::Key_Up);  // up: one per cent more
    EXPECT_DOUBLE_EQ(settings.parameters.leftEchoGain.get(), 0.51);
    QTest::keyClick(&Slider(30602), Qt::Key_End);  // the bottom: none
    EXPECT_DOUBLE_EQ(settings.parameters.leftEchoGain.get(), 0.0);
    EXPECT_EQ(host.Commands().size(), 2u);
}

TEST_F(RicochetWindow, LockedChannelsFollowTheLeftSide) {
    Open();
    Button(30618).click();
    EXPECT_EQ(settings.parameters.lockChannels.get(), 1);
    EXPECT_EQ(host.Commands().size(), 1u);
    for (const int right : {30605, 30606, 30607}) EXPECT_FALSE(Slider(right).isEnabled()) << right;
    // Locking makes the right side equal to the left at once.
    EXPECT_EQ(Slider(30605).value(), Slider(30602).value());
    EXPECT_EQ(settings.parameters.rightDelayMs.get(), 15);
    EXPECT_DOUBLE_EQ(settings.parameters.rightFeedback.get(), 0.40);

    DragSliderTo(Slider(30604), 2000);
    EXPECT_EQ(Slider(30607).value(), 2000);
    EXPECT_EQ(Label(30614), "1000 ms");
    ReleaseSlider(Slider(30604));
    EXPECT_EQ(settings.parameters.leftDelayMs.get(), 1000);
    EXPECT_EQ(settings.parameters.rightDelayMs.get(), 1000);
    EXPECT_EQ(host.Commands().size(), 2u);

    Button(30618).click();
    EXPECT_EQ(settings.parameters.lockChannels.get(), 0);
    for (const int right : {30605, 30606, 30607}) EXPECT_TRUE(Slider(right).isEnabled()) << right;
    DragSlider(Slider(30604), 100);
    EXPECT_EQ(settings.parameters.rightDelayMs.get(), 1000);
}

TEST_F(RicochetWindow, OpeningLockedDisablesTheRightSide) {
    settings.parameters.lockChannels = 1;
    settings.parameters.muteDry = 1;
    settings.parameters.invertRight = 1;
    Open();
    EXPECT_TRUE(Button(30618).isChecked());
    EXPECT_TRUE(Button(30616).isChecked());
    EXPECT_FALSE(Button(30615).isChecked());
    EXPECT_FALSE(Slider(30601).isEnabled());
    EXPECT_FALSE(Slider(30606).isEnabled());
    EXPECT_TRUE(Slider(30603).isEnabled());
    EXPECT_TRUE(host.Commands().empty());
}

TEST_F(RicochetWindow, MuteAndInvertWriteTheirFlags) {
    Open();
    Button(30617).click();
    EXPECT_EQ(settings.parameters.muteDry.get(), 1);
    EXPECT_FALSE(Slider(30601).isEnabled());
    Button(30615).click();
    EXPECT_EQ(settings.parameters.invertLeft.get(), 1);
    Button(30616).click();
    Button(30616).click();
    EXPECT_EQ(settings.parameters.invertRight.get(), 0);
    Button(30617).click();
    EXPECT_TRUE(Slider(30601).isEnabled());
    EXPECT_EQ(host.Commands().size(), 5u);
}

TEST_F(RicochetWindow, TheHostDestroysTheWindowNotTheSettings) {
    QPointer<CRicochetDlg> window(&Open());
    delete dialog;
    EXPECT_TRUE(window.isNull());
    settings.parameters.leftDelayMs = 42;  // the record lives on
    Open().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(host.findChildren<CRicochetDlg*>().isEmpty());
    EXPECT_EQ(settings.parameters.leftDelayMs.get(), 42);
}

TEST_F(RicochetWindow, TextsFitTheirControlsAtTheWidestValues) {
    settings.parameters.leftDelayMs = 3000;
    settings.parameters.rightDelayMs = 3000;
    settings.parameters.dryGain = 1.0;
    settings.parameters.leftFeedback = 0.99;
    Open();
    EXPECT_EQ(ClippedTexts(*dialog), std::vector<std::string>{});
}

}  // namespace
