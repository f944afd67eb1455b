// The waveform editor's view of the timeline, free of Qt: zoom, the visible frames, frame and
// pixel conversion, the ruler and the lanes, the scroll bar's numbers, zoom fit, automatic
// scrolling steps and the project length.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>

// A rectangle in client pixels; right and bottom lie outside it.
struct WaveRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    // Grown by d pixels on the left and right (narrowed when d is negative).
    WaveRect Widened(int d) const { return {left - d, top, right + d, bottom}; }
    bool operator==(const WaveRect&) const = default;
};

class WaveformView {
public:
    static constexpr int64_t kInitialViewEnd = 30000;
    static constexpr int kInitialTimeHeight = 16;
    // Far beyond any project (a column then spans more than six hours), and small enough
    // that width × zoom never overflows.
    static constexpr uint32_t kMaxZoom = 1u << 30;

    void SetClientSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetTimeHeight(int height);
    int TimeHeight() const { return timeHeight_; }

    uint32_t Zoom() const { return zoom_; }
    // Keeps a power of two from 1 to kMaxZoom: other values are rounded down to one, 0 gives 1.
    void SetZoom(uint32_t zoom);

    int64_t ViewStart() const { return viewStart_; }
    void SetViewStart(int64_t frame) { viewStart_ = frame; }
    int64_t ViewEnd() const { return viewEnd_; }
    // View end := view start + width × zoom.
    void UpdateViewEnd() { viewEnd_ = viewStart_ + VisibleFrames(); }
    int64_t VisibleFrames() const { return static_cast<int64_t>(width_) * zoom_; }

    // x = (frame − view start) / zoom, truncated towards zero; far-off frames are held at a
    // distance that painting can still take.
    int FrameToX(int64_t frame) const;
    // view start + x × zoom.
    int64_t XToFrame(int x) const { return viewStart_ + static_cast<int64_t>(x) * zoom_; }

    WaveRect Client() const { return {0, 0, width_, height_}; }
    // The top TimeHeigth pixels.
    WaveRect Ruler() const;
    // Below the ruler.
    WaveRect WaveArea() const;
    // With two tracks lane 0 is the upper half of the wave area (integer division) and lane 1
    // the rest; with one track the whole area.
    WaveRect Lane(int lane, bool twoTracks) const;
    // A track's rectangle: its lane narrowed to the screen positions of its active start and
    // end, each only when inside the view. Nothing when the active range misses the view.
    std::optional<WaveRect> TrackRect(const WaveRect& lane, int64_t activeStart, int64_t activeEnd) const;

private:
    int width_ = 0;
    int height_ = 0;
    int timeHeight_ = kInitialTimeHeight;
    uint32_t zoom_ = 1;
    int64_t viewStart_ = 0;
    int64_t viewEnd_ = kInitialViewEnd;
};

// The number of significant bits of a value (0 for 0).
uint32_t SignificantBits(uint64_t value);

// The largest of floor, each end and, when the selection [start, end) is not empty, its end.
int64_t ComputeProjectLength(int64_t floor, std::initializer_list<int64_t> trackEnds, int64_t startMarker,
                             int64_t endMarker);

// The scroll bar over a project: range 0 … ceil(length / zoom) − 1, a page of one client
// width, the position of the view start; limit is the highest position the thumb reaches.
struct ScrollNumbers {
    int64_t maximum = 0;
    int64_t page = 0;
    int64_t position = 0;
    int64_t Limit() const;
    // A line step: max(1, page / 20) columns.
    int64_t Line() const;
    // The position moved by columns, limited to the range.
    int64_t Scrolled(int64_t columns) const;
};
ScrollNumbers ComputeScrollNumbers(int64_t projectLength, uint32_t zoom, int width, int64_t viewStart);
// The position a scroll request (SB_* code) leads to, limited to the range: lines move by
// max(1, page / 20), pages by the page, the thumb to thumbPosition, home and end to the ends.
// Nothing for a request that does not move (the end of a scroll).
std::optional<int64_t> ScrollTarget(const ScrollNumbers& numbers, int request, int64_t thumbPosition);

struct ZoomFitResult {
    uint32_t zoom = 1;
    int64_t viewStart = 0;
};
// The zoom that shows the selection in one view (2 to the power of the significant bits of
// its length per pixel) and the view start that centres it, kept inside [0, project end).
// Nothing for an empty selection or a control under 2 pixels wide.
std::optional<ZoomFitResult> ComputeZoomFit(int64_t startMarker, int64_t endMarker, int width, int64_t projectLength);

// The zoom one step in (direction < 0: halved while above 1) or out (direction > 0: doubled
// while width × zoom is below the project length, up to the largest zoom); the zoom itself at
// either limit.
uint32_t SteppedZoom(uint32_t zoom, int direction, int width, int64_t projectLength);

// A frame and the pixel column that shows it after a change of zoom.
struct ZoomAnchor {
    int64_t frame = 0;
    int x = 0;
};
// What a new zoom keeps in view: a selection that fits in one view at the new zoom stays
// centred, a longer one starts at the left edge; without a selection the play cursor stays at
// its column (or comes to the middle when it is off the view); with neither the view's middle
// stays. The view is the one before the change.
ZoomAnchor KeepInViewAnchor(const WaveformView& view, uint32_t newZoom, int64_t startMarker, int64_t endMarker,
                            int64_t playCursor);
// The view start at zoom whose column x holds the anchor's frame: a whole multiple of the zoom,
// never below 0 and, where the project is longer than the view, no further than the first
// start that shows the project's last frame (the scroll bar's end).
int64_t AnchoredViewStart(const ZoomAnchor& anchor, uint32_t zoom, int width, int64_t projectLength);

// Automatic scrolling: the view start moved by step frames in direction (−1 left, +1 right),
// never below 0 and never so far that the view (visible frames) passes the project end.
int64_t AutoScrolledViewStart(int64_t viewStart, int direction, int64_t step, int64_t visibleFrames,
                              int64_t projectLength);
