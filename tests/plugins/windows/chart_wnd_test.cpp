// The chart window on its own data: ranges, scales, what it paints where, markers, and
// zooming into a selection.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include <cmath>
#include <limits>

#include "plugins/equalizer/equalizer_window.h"
#include "tests/plugins/windows/window_test_support.h"

namespace {

class Chart : public ::testing::Test {
protected:
    Chart() {
        for (double x = 2.0; x <= 5.3; x += 0.01) data.points[0].push_back({x, 0.0, 0.0});
        chart.resize(382, 258);  // 75 pixels per decade, 100 per 5 dB
        chart.Recalculate();
    }
    QImage Picture() { return chart.grab().toImage(); }
    QColor At(QPointF point) { return Picture().pixelColor(point.toPoint()); }

    QApplication& application = TestApp();
    CGraphContainer data;
    CChartWnd chart{data, nullptr};
};

TEST_F(Chart, RangesAndScalesComeFromTheDataAndTheSize) {
    EXPECT_DOUBLE_EQ(chart.XRange().minimum, 2.0);
    EXPECT_DOUBLE_EQ(chart.XRange().maximum, 6.0);
    EXPECT_DOUBLE_EQ(chart.YRange().minimum, -1.0);
    EXPECT_DOUBLE_EQ(chart.YRange().maximum, 1.0);
    EXPECT_DOUBLE_EQ(chart.XScale(), 75.0);
    EXPECT_DOUBLE_EQ(chart.YScale(), 100.0);
    EXPECT_EQ(chart.ToPixels(2.0, -1.0), QPointF(30, 235));  // the origin
    EXPECT_EQ(chart.ToPixels(6.0, 1.0), QPointF(330, 35));

    data.points[1] = {{-2.5, 2.0, 0.0},
                      {std::numeric_limits<double>::quiet_NaN(), 100.0, 0.0},
                      {1.0, std::numeric_limits<double>::infinity(), 0.0}};
    chart.Recalculate();
    EXPECT_DOUBLE_EQ(chart.XRange().minimum, -3.0);
    EXPECT_DOUBLE_EQ(chart.XRange().maximum, 6.0);
    EXPECT_DOUBLE_EQ(chart.YRange().maximum, 3.0);  // ⌈2.001⌉

    data.points = {};
    chart.Recalculate();
    EXPECT_DOUBLE_EQ(chart.XRange().Length(), 1.0);
    EXPECT_DOUBLE_EQ(chart.YRange().Length(), 2.0);
    EXPECT_FALSE(Picture().isNull());
}

TEST_F(Chart, PaintsFrameAxesGridAndTheLine) {
    const QImage picture = Picture();
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(picture.pixelColor(1, 100), QColor(Qt::black));        // the frame
    EXPECT_EQ(picture.pixelColor(30, 100), QColor(Qt::black));       // the y axis
    EXPECT_EQ(picture.pixelColor(200, 235), QColor(Qt::black));      // the x axis
    EXPECT_EQ(picture.pixelColor(32, 12), QColor(Qt::black));        // its arrowhead at the top
    EXPECT_EQ(picture.pixelColor(366, 233), QColor(Qt::black));      // and at the right
    EXPECT_EQ(At(chart.ToPixels(4.0, 0.5)), QColor(150, 150, 150));  // a decade's grid line
    EXPECT_EQ(At(chart.ToPixels(3.5, 0.0)), QColor(0, 0, 160));      // the curve at 0 dB
    EXPECT_EQ(At(chart.ToPixels(3.5, 0.5)), QColor(Qt::white));
    EXPECT_EQ(At(chart.ToPixels(5.8, 0.0)).rgb(), QColor(150, 150, 150).rgb());  // no curve past its end
}

TEST_F(Chart, MarkersAreDrawnBesideTheLine) {
    data.points[1] = {{3.0, 0.5, kSquareMarker}, {4.0, 0.5, kTriangleMarker}, {5.0, 0.5, kInvertedTriangleMarker}};
    chart.Recalculate();
    EXPECT_EQ(At(chart.ToPixels(3.0, 0.5) + QPointF(2, 2)), QColor(Qt::red));
    EXPECT_EQ(At(chart.ToPixels(4.0, 0.5) + QPointF(0, 2)), QColor(0, 160, 0));
    EXPECT_EQ(At(chart.ToPixels(5.0, 0.5) + QPointF(0, -2)), QColor(Qt::blue));
}

TEST_F(Chart, ASelectionZoomsAndADoubleClickShowsAllAgain) {
    const QPoint from = chart.ToPixels(3.0, 0.8).toPoint();
    const QPoint to = chart.ToPixels(4.0, -0.8).toPoint();
    QTest::mousePress(&chart, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(&chart, to);
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::NoModifier, to);
    ASSERT_TRUE(chart.IsZoomed());
    EXPECT_NEAR(chart.XRange().minimum, 3.0, 0.02);
    EXPECT_NEAR(chart.XRange().maximum, 4.0, 0.02);
    EXPECT_NEAR(chart.YRange().minimum, -0.8, 0.02);
    EXPECT_NEAR(chart.YRange().maximum, 0.8, 0.02);
    chart.Recalculate();  // new data keeps the zoomed view
    EXPECT_NEAR(chart.XRange().minimum, 3.0, 0.02);
    EXPECT_EQ(At(chart.ToPixels(3.5, 0.0)), QColor(0, 0, 160));

    QTest::mouseDClick(&chart, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_FALSE(chart.IsZoomed());
    EXPECT_DOUBLE_EQ(chart.XRange().minimum, 2.0);
}

TEST_F(Chart, SmallAndFlatSelections) {
    const QPoint at = chart.ToPixels(3.0, 0.0).toPoint();
    QTest::mousePress(&chart, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::NoModifier, at + QPoint(3, 3));
    EXPECT_FALSE(chart.IsZoomed());
    // Flat: the frequencies are zoomed, the levels stay.
    QTest::mousePress(&chart, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(&chart, Qt::LeftButton, Qt::NoModifier, at + QPoint(75, 2));
    EXPECT_TRUE(chart.IsZoomed());
    EXPECT_NEAR(chart.XRange().Length(), 1.0, 0.02);
    EXPECT_DOUBLE_EQ(chart.YRange().minimum, -1.0);
    QTest::mouseClick(&chart, Qt::RightButton, Qt::NoModifier, at);
    EXPECT_FALSE(chart.IsZoomed());
}

}  // namespace
