// Placement of windows and popups on a screen, and the rounded window shape.
#include <gtest/gtest.h>

#include "skin/window_geometry.h"
#include "tests/skin/test_app.h"

namespace {

const QRect kScreen(0, 0, 1600, 1000);

TEST(WindowGeometry, BesideGoesRightThenLeftThenCentredAndStaysOnTheScreen) {
    const QSize size(400, 300);
    // Room on the right: 12 pixels right of the anchor, top-aligned.
    EXPECT_EQ(PlaceBeside(QRect(100, 100, 800, 600), size, kScreen, 12), QRect(912, 100, 400, 300));
    // None on the right: on the left.
    EXPECT_EQ(PlaceBeside(QRect(700, 100, 800, 600), size, kScreen, 12), QRect(288, 100, 400, 300));
    // None on either side: centred on the anchor.
    EXPECT_EQ(PlaceBeside(QRect(300, 100, 1000, 600), size, kScreen, 12), QRect(600, 250, 400, 300));
    // An anchor low on the screen: moved up to stay on it.
    EXPECT_EQ(PlaceBeside(QRect(100, 800, 800, 600), size, kScreen, 12).bottom(), kScreen.bottom());
    // On a screen that does not start at 0 (a second screen, a panel at the top).
    const QRect second(1600, 40, 1024, 560);
    const QRect placed = PlaceBeside(QRect(1700, 40, 800, 560), size, second, 12);
    EXPECT_TRUE(second.contains(placed));
}

TEST(WindowGeometry, CentredOnItsAnchorInsideTheScreen) {
    EXPECT_EQ(CentredOn(QRect(400, 200, 800, 600), QSize(400, 160), kScreen), QRect(600, 420, 400, 160));
    EXPECT_EQ(CentredOn(QRect(-300, -100, 400, 300), QSize(400, 160), kScreen).topLeft(), QPoint(0, 0));
    // Larger than the screen: its top-left corner stays on it.
    EXPECT_EQ(CentredOn(kScreen, QSize(2000, 1200), kScreen).topLeft(), QPoint(0, 0));
}

TEST(WindowGeometry, PopupsOpenUnderTheButtonAboveWhenNoRoomAndOnTheScreen) {
    const QSize menu(180, 120);
    EXPECT_EQ(PopupUnder(QRect(100, 200, 36, 36), menu, kScreen), QPoint(100, 236));
    // Touching the bottom: exactly fits below.
    EXPECT_EQ(PopupUnder(QRect(100, 844, 36, 36), menu, kScreen), QPoint(100, 880));
    // One pixel less: above the button.
    EXPECT_EQ(PopupUnder(QRect(100, 845, 36, 36), menu, kScreen), QPoint(100, 725));
    // Near the right edge: pulled left, still under the button.
    EXPECT_EQ(PopupUnder(QRect(1580, 200, 20, 20), menu, kScreen), QPoint(1420, 220));
    // No room above or below: kept on the screen.
    EXPECT_EQ(PopupUnder(QRect(0, 40, 20, 20), QSize(180, 990), kScreen), QPoint(0, 10));
}

TEST(WindowGeometry, RoundedRegionCutsTheCornersOnly) {
    TestApp();
    const QRegion shape = RoundedRegion(QSize(200, 100), 12);
    for (const QPoint corner : {QPoint(0, 0), QPoint(199, 0), QPoint(0, 99), QPoint(199, 99), QPoint(2, 2)})
        EXPECT_FALSE(shape.contains(corner)) << corner.x() << "," << corner.y();
    for (const QPoint inside : {QPoint(12, 0), QPoint(0, 50), QPoint(199, 50), QPoint(100, 99), QPoint(8, 8)})
        EXPECT_TRUE(shape.contains(inside)) << inside.x() << "," << inside.y();
    EXPECT_EQ(RoundedRegion(QSize(50, 40), 0), QRegion(0, 0, 50, 40));
}

}  // namespace
