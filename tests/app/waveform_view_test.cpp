// The waveform editor's view numbers and ruler, without a window.
#include <gtest/gtest.h>

#include "app/src/waveform_ruler.h"
#include "app/src/waveform_view.h"

namespace {

constexpr uint32_t kRate = 44100;

TEST(WaveformZoomFit, SelectionOfTenSecondsOn700PixelsGivesZoom1024Centred) {
    // d = 441000 / 700 = 630, which has 10 significant bits.
    const auto fit = ComputeZoomFit(1000000, 1441000, 700, 10000000);
    ASSERT_TRUE(fit);
    EXPECT_EQ(fit->zoom, 1024u);
    // 700 × 1024 = 716800 frames shown, the selection in the middle.
    EXPECT_EQ(fit->viewStart, 1000000 - (716800 - 441000) / 2);
    // Markers in either order give the same view.
    const auto reversed = ComputeZoomFit(1441000, 1000000, 700, 10000000);
    ASSERT_TRUE(reversed);
    EXPECT_EQ(reversed->viewStart, fit->viewStart);
}

TEST(WaveformZoomFit, ViewStaysInsideTheProject) {
    const auto nearStart = ComputeZoomFit(1000, 442000, 700, 10000000);
    ASSERT_TRUE(nearStart);
    EXPECT_EQ(nearStart->viewStart, 0);
    // The view would pass the project's end: it ends one frame before it.
    const auto nearEnd = ComputeZoomFit(1000000, 1441000, 700, 1200000);
    ASSERT_TRUE(nearEnd);
    EXPECT_EQ(nearEnd->viewStart, 1200000 - 716800 - 1);
    // A project shorter than the view starts it at 0.
    const auto shortProject = ComputeZoomFit(1000, 442000, 700, 500000);
    ASSERT_TRUE(shortProject);
    EXPECT_EQ(shortProject->viewStart, 0);
}

TEST(WaveformZoomFit, NothingForAnEmptySelectionOrANarrowControl) {
    EXPECT_FALSE(ComputeZoomFit(5000, 5000, 700, 1323000));
    EXPECT_FALSE(ComputeZoomFit(0, 441000, 1, 1323000));
    EXPECT_FALSE(ComputeZoomFit(0, 441000, 0, 1323000));
    // A selection narrower than the control shows one frame per pixel.
    const auto small = ComputeZoomFit(100, 600, 700, 1323000);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->zoom, 1u);
    // A huge selection is held at the largest zoom instead of overflowing.
    const auto huge = ComputeZoomFit(0, int64_t{1} << 50, 2, int64_t{1} << 52);
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->zoom, WaveformView::kMaxZoom);
}

TEST(WaveformView, ZoomIsAPowerOfTwo) {
    WaveformView view;
    view.SetZoom(0);
    EXPECT_EQ(view.Zoom(), 1u);
    view.SetZoom(1000);
    EXPECT_EQ(view.Zoom(), 512u);
    view.SetZoom(0xFFFFFFFFu);
    EXPECT_EQ(view.Zoom(), WaveformView::kMaxZoom);
}

TEST(WaveformView, FrameAndPixelConversionTruncateTowardsZero) {
    WaveformView view;
    view.SetClientSize(688, 166);
    view.SetZoom(512);
    view.SetViewStart(1024);
    EXPECT_EQ(view.FrameToX(1024), 0);
    EXPECT_EQ(view.FrameToX(1024 + 511), 0);
    EXPECT_EQ(view.FrameToX(1024 + 512), 1);
    // Before the view: truncated towards zero, not rounded down.
    EXPECT_EQ(view.FrameToX(1023), 0);
    EXPECT_EQ(view.FrameToX(0), -2);
    EXPECT_EQ(view.FrameToX(-1), -2);
    EXPECT_EQ(view.FrameToX(-1024), -4);
    EXPECT_EQ(view.XToFrame(-3), 1024 - 3 * 512);
    EXPECT_EQ(view.XToFrame(10), 1024 + 10 * 512);
    // A frame far off the view stays at a distance painting can take.
    view.SetZoom(1);
    EXPECT_LT(view.FrameToX(int64_t{1} << 50), 1 << 30);
    EXPECT_GT(view.FrameToX(-(int64_t{1} << 50)), -(1 << 30));
    view.UpdateViewEnd();
    EXPECT_EQ(view.ViewEnd(), 1024 + 688);
}

TEST(WaveformView, RulerLanesAndTrackRectangles) {
    WaveformView view;
    view.SetClientSize(688, 166);
    view.SetTimeHeight(22);
    view.SetZoom(256);
    view.UpdateViewEnd();
    EXPECT_EQ(view.Ruler(), (WaveRect{0, 0, 688, 22}));
    EXPECT_EQ(view.WaveArea(), (WaveRect{0, 22, 688, 166}));
    EXPECT_EQ(view.Lane(0, true), (WaveRect{0, 22, 688, 94}));
    EXPECT_EQ(view.Lane(1, true), (WaveRect{0, 94, 688, 166}));
    EXPECT_EQ(view.Lane(0, false), view.WaveArea());
    // Narrowed to the active range where it lies inside the view.
    const WaveRect lane = view.Lane(1, true);
    EXPECT_EQ(view.TrackRect(lane, 2560, 25600), (WaveRect{10, 94, 100, 166}));
    EXPECT_EQ(view.TrackRect(lane, -5000, 10 * 688 * 256), lane);
    EXPECT_FALSE(view.TrackRect(lane, 688 * 256, 900 * 256));
    EXPECT_FALSE(view.TrackRect(lane, 100, 100));
}

TEST(WaveformView, ProjectLengthIsTheLargestEnd) {
    EXPECT_EQ(ComputeProjectLength(176128, {44100, 0}, 0, 0), 176128);
    EXPECT_EQ(ComputeProjectLength(176128, {44100, 300000}, 0, 0), 300000);
    EXPECT_EQ(ComputeProjectLength(176128, {44100, 300000}, 1000, 400000), 400000);
    // An empty selection does not count.
    EXPECT_EQ(ComputeProjectLength(176128, {44100}, 400000, 400000), 176128);
}

TEST(WaveformScroll, NumbersAndRequests) {
    const ScrollNumbers numbers = ComputeScrollNumbers(1323000, 1024, 688, 0);
    EXPECT_EQ(numbers.maximum, 1291);  // ceil(1323000 / 1024) - 1
    EXPECT_EQ(numbers.page, 688);
    EXPECT_EQ(numbers.Limit(), 1291 - 688 + 1);
    EXPECT_EQ(ScrollTarget(numbers, 1, 0), 34);  // a line is a twentieth of the page
    EXPECT_EQ(ScrollTarget(numbers, 0, 0), 0);   // never below the range
    EXPECT_EQ(ScrollTarget(numbers, 3, 0), numbers.Limit());
    EXPECT_EQ(ScrollTarget(numbers, 4, 100), 100);
    EXPECT_EQ(ScrollTarget(numbers, 5, 99999), numbers.Limit());
    EXPECT_EQ(ScrollTarget(numbers, 7, 0), numbers.Limit());
    EXPECT_FALSE(ScrollTarget(numbers, 8, 0));  // the end of a scroll moves nothing
    const ScrollNumbers middle = ComputeScrollNumbers(1323000, 1024, 688, 300 * 1024);
    EXPECT_EQ(middle.position, 300);
    EXPECT_EQ(ScrollTarget(middle, 2, 0), 0);
    EXPECT_EQ(ScrollTarget(middle, 6, 0), 0);
    // A tiny page still moves by a line of one.
    EXPECT_EQ(ScrollTarget(ComputeScrollNumbers(100000, 1, 10, 50), 1, 0), 51);
    // No zoom and an empty project give a sane empty range.
    const ScrollNumbers empty = ComputeScrollNumbers(0, 0, 0, 0);
    EXPECT_EQ(empty.maximum, 0);
    EXPECT_EQ(empty.Limit(), 0);
}

TEST(WaveformScroll, AutomaticScrollingStaysInsideTheProject) {
    EXPECT_EQ(AutoScrolledViewStart(0, 1, 2560, 176128, 1323000), 2560);
    EXPECT_EQ(AutoScrolledViewStart(2560, -1, 2560, 176128, 1323000), 0);
    EXPECT_EQ(AutoScrolledViewStart(1000, -1, 2560, 176128, 1323000), 0);
    EXPECT_EQ(AutoScrolledViewStart(1323000 - 176128 - 100, 1, 2560, 176128, 1323000), 1323000 - 176128);
    EXPECT_EQ(AutoScrolledViewStart(0, 1, 2560, 176128, 100000), 0);
}

TEST(WaveformRuler, MicrosecondsPerPixelRoundUpToTheNextLeadingDigit) {
    EXPECT_EQ(RoundMicrosPerPixel(150), 200);
    EXPECT_EQ(RoundMicrosPerPixel(999), 1000);
    EXPECT_EQ(RoundMicrosPerPixel(2267), 3000);
    EXPECT_EQ(RoundMicrosPerPixel(101), 200);
    EXPECT_EQ(RoundMicrosPerPixel(23219), 30000);
    EXPECT_EQ(RoundMicrosPerPixel(100), 100);
    EXPECT_EQ(RoundMicrosPerPixel(22), 22);
}

TEST(WaveformRuler, CoarseScaleFirstTickAndLabels) {
    // Zoom 1024: 23219 µs per pixel, rounded to 30000: a tick every 300 ms, a label every 3 s.
    const std::vector<RulerTick> ticks = ComputeRulerTicks(441000, 1024, kRate, 688);
    ASSERT_FALSE(ticks.empty());
    // The view starts at 10 s exactly: the first tick is the next multiple of 300 ms above it.
    EXPECT_EQ(ticks[0].ms, 10200);
    EXPECT_NEAR(ticks[0].x, 44100.0 * 10200 / 1024 / 1000 - 441000.0 / 1024, 1e-9);
    EXPECT_FALSE(ticks[0].labelled);
    const double distance = 300 * 44.1 / 1024;
    for (size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i].ms - ticks[i - 1].ms, 300);
        EXPECT_NEAR(ticks[i].x - ticks[i - 1].x, distance, 1e-9);
        EXPECT_EQ(ticks[i].labelled, ticks[i].ms % 3000 == 0) << ticks[i].ms;
    }
    EXPECT_LT(ticks.back().x, 688);
    EXPECT_GE(ticks.back().x + distance, 688);
    EXPECT_TRUE(ticks[6].labelled);
    EXPECT_EQ(ticks[6].ms, 12000);
}

TEST(WaveformRuler, FineScaleLabelsEveryTick) {
    // Zoom 1: 22 µs per pixel, a tick every 2 ms (88.2 pixels), each labelled; the first
    // tick sits on the view start's millisecond.
    const std::vector<RulerTick> ticks = ComputeRulerTicks(44100, 1, kRate, 688);
    ASSERT_EQ(ticks.size(), 8u);
    EXPECT_EQ(ticks[0].ms, 1000);
    EXPECT_DOUBLE_EQ(ticks[0].x, 0.0);
    EXPECT_NEAR(ticks[1].x, 88.2, 1e-9);
    for (const RulerTick& tick : ticks) EXPECT_TRUE(tick.labelled);
    // A first tick left of the control is held at its left edge.
    const std::vector<RulerTick> shifted = ComputeRulerTicks(44150, 1, kRate, 688);
    ASSERT_FALSE(shifted.empty());
    EXPECT_EQ(shifted[0].ms, 1001);
    EXPECT_GE(shifted[0].x, 0.0);
}

TEST(WaveformRuler, DegenerateScalesEnd) {
    EXPECT_TRUE(ComputeRulerTicks(0, 1, 0, 688).empty());
    EXPECT_TRUE(ComputeRulerTicks(0, 0, kRate, 688).empty());
    EXPECT_TRUE(ComputeRulerTicks(0, 1, kRate, 0).empty());
    // A rate far above the working one would make a 0 ms step: ticks still advance.
    const std::vector<RulerTick> fast = ComputeRulerTicks(0, 1, 192000, 688);
    ASSERT_FALSE(fast.empty());
    EXPECT_EQ(fast[1].ms - fast[0].ms, 1);
}

TEST(WaveformRuler, LabelTextUsesTheTimeBoxesDecimalMark) {
    EXPECT_EQ(FormatClockTime(0), "00:00:00.000");
    EXPECT_EQ(FormatClockTime(3723004), "01:02:03.004");
    EXPECT_EQ(FormatClockTime(90500), "00:01:30.500");
}

TEST(WaveformScroll, WheelColumnsStayInsideTheRange) {
    const ScrollNumbers numbers = ComputeScrollNumbers(1323000, 1024, 688, 300 * 1024);
    EXPECT_EQ(numbers.Line(), 34);
    EXPECT_EQ(numbers.Scrolled(-102), 198);
    EXPECT_EQ(numbers.Scrolled(102), 402);
    EXPECT_EQ(numbers.Scrolled(-1000), 0);
    EXPECT_EQ(numbers.Scrolled(1000), numbers.Limit());
}

TEST(WaveformZoomStep, WithinTheButtonsLimits) {
    EXPECT_EQ(SteppedZoom(1, -1, 688, 441000), 1u);
    EXPECT_EQ(SteppedZoom(256, -1, 688, 441000), 128u);
    EXPECT_EQ(SteppedZoom(256, 1, 688, 441000), 512u);  // 688 × 256 < 441000
    // 688 × 1024 reaches ten seconds: no further.
    EXPECT_EQ(SteppedZoom(1024, 1, 688, 441000), 1024u);
    EXPECT_EQ(SteppedZoom(512, 1, 688, 688 * 512), 512u);
    EXPECT_EQ(SteppedZoom(512, 1, 688, 688 * 512 + 1), 1024u);
    EXPECT_EQ(SteppedZoom(WaveformView::kMaxZoom, 1, 1, int64_t{1} << 62), WaveformView::kMaxZoom);
    EXPECT_EQ(SteppedZoom(64, 0, 688, 441000), 64u);
}

TEST(WaveformZoomKeep, AnchorsTheSelectionOrTheCursor) {
    WaveformView view;
    view.SetClientSize(688, 166);
    view.SetZoom(256);
    view.SetViewStart(256 * 100);
    view.UpdateViewEnd();
    // A selection that fits at the new zoom: its middle at the control's middle.
    const ZoomAnchor fits = KeepInViewAnchor(view, 128, 100000, 140000, 5);
    EXPECT_EQ(fits.frame, 120000);
    EXPECT_EQ(fits.x, 344);
    // Markers in either order give the same.
    EXPECT_EQ(KeepInViewAnchor(view, 128, 140000, 100000, 5).frame, 120000);
    // Longer than the view at the new zoom (688 × 64 = 44032 frames): its start at the left.
    const ZoomAnchor longer = KeepInViewAnchor(view, 64, 100000, 150000, 5);
    EXPECT_EQ(longer.frame, 100000);
    EXPECT_EQ(longer.x, 0);
    // No selection: a shown cursor keeps its column, one off the view comes to the middle.
    const ZoomAnchor shown = KeepInViewAnchor(view, 512, 7, 7, 256 * 150 + 3);
    EXPECT_EQ(shown.frame, 256 * 150 + 3);
    EXPECT_EQ(shown.x, 50);
    const ZoomAnchor hidden = KeepInViewAnchor(view, 512, 7, 7, 10);
    EXPECT_EQ(hidden.frame, 10);
    EXPECT_EQ(hidden.x, 344);
    // Neither: the view's middle stays.
    const ZoomAnchor middle = KeepInViewAnchor(view, 512, 7, 7, -1);
    EXPECT_EQ(middle.frame, 256 * (100 + 344));
    EXPECT_EQ(middle.x, 344);
}

TEST(WaveformZoomKeep, ViewStartHoldsTheAnchorsFrameInItsColumn) {
    // Zooming in: the frame lies on a column's first frame.
    EXPECT_EQ(AnchoredViewStart({256 * 400, 300}, 128, 688, 10000000), 256 * 400 - 300 * 128);
    // Zooming out: the column that holds the frame, the start a multiple of the zoom.
    const int64_t start = AnchoredViewStart({256 * 1001, 300}, 512, 688, 10000000);
    EXPECT_EQ(start % 512, 0);
    EXPECT_EQ(start, 200 * 512);
    EXPECT_LE(start + 300 * 512, 256 * 1001);
    EXPECT_GT(start + 301 * 512, 256 * 1001);
    // Never below 0, never past the content's end, 0 for content shorter than the view.
    EXPECT_EQ(AnchoredViewStart({1000, 300}, 128, 688, 10000000), 0);
    // The last start is the scroll bar's: ceil(441000 / 256) − 688 columns.
    EXPECT_EQ(AnchoredViewStart({440000, 0}, 256, 688, 441000), (1723 - 688) * 256);
    EXPECT_EQ(AnchoredViewStart({440000, 0}, 1024, 688, 441000), 0);
}

}  // namespace
