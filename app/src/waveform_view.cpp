// The waveform editor's view of the timeline: geometry, conversions and scrolling numbers.
#include "app/src/waveform_view.h"

#include <algorithm>
#include <bit>

namespace {

// Scroll requests, numbered as the scroll bar reports them.
enum : int {
    kLineLeft = 0,
    kLineRight = 1,
    kPageLeft = 2,
    kPageRight = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kHome = 6,
    kEnd = 7
};

// Beyond any client size: a far-off frame is drawn there, off the control.
constexpr int64_t kFarPixel = 1 << 24;

}  // namespace

void WaveformView::SetClientSize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
}

void WaveformView::SetTimeHeight(int height) { timeHeight_ = std::max(height, 0); }

void WaveformView::SetZoom(uint32_t zoom) { zoom_ = std::clamp(std::bit_floor(std::max(zoom, 1u)), 1u, kMaxZoom); }

int WaveformView::FrameToX(int64_t frame) const {
    return static_cast<int>(std::clamp<int64_t>((frame - viewStart_) / zoom_, -kFarPixel, kFarPixel));
}

WaveRect WaveformView::Ruler() const { return {0, 0, width_, std::min(timeHeight_, height_)}; }

WaveRect WaveformView::WaveArea() const { return {0, std::min(timeHeight_, height_), width_, height_}; }

WaveRect WaveformView::Lane(int lane, bool twoTracks) const {
    WaveRect area = WaveArea();
    if (!twoTracks) return area;
    const int middle = area.top + area.Height() / 2;
    if (lane == 0)
        area.bottom = middle;
    else
        area.top = middle;
    return area;
}

std::optional<WaveRect> WaveformView::TrackRect(const WaveRect& lane, int64_t activeStart, int64_t activeEnd) const {
    if (activeStart >= activeEnd || activeEnd <= viewStart_ || activeStart >= viewEnd_) return std::nullopt;
    WaveRect rect = lane;
    if (activeStart > viewStart_) rect.left = std::max(rect.left, FrameToX(activeStart));
    if (activeEnd < viewEnd_) rect.right = std::min(rect.right, FrameToX(activeEnd));
    if (rect.IsEmpty()) return std::nullopt;
    return rect;
}

uint32_t SignificantBits(uint64_t value) { return static_cast<uint32_t>(std::bit_width(value)); }

int64_t ComputeProjectLength(int64_t floor, std::initializer_list<int64_t> trackEnds, int64_t startMarker,
                             int64_t endMarker) {
    int64_t length = floor;
    for (const int64_t end : trackEnds) length = std::max(length, end);
    if (startMarker != endMarker) length = std::max(length, endMarker);
    return length;
}

int64_t ScrollNumbers::Limit() const { return std::max<int64_t>(0, maximum - std::max<int64_t>(page, 1) + 1); }

int64_t ScrollNumbers::Line() const { return std::max<int64_t>(1, page / 20); }

int64_t ScrollNumbers::Scrolled(int64_t columns) const { return std::clamp<int64_t>(position + columns, 0, Limit()); }

ScrollNumbers ComputeScrollNumbers(int64_t projectLength, uint32_t zoom, int width, int64_t viewStart) {
    const int64_t z = std::max<uint32_t>(zoom, 1);
    ScrollNumbers numbers;
    numbers.maximum = std::max<int64_t>((std::max<int64_t>(projectLength, 0) + z - 1) / z - 1, 0);
    numbers.page = std::max(width, 0);
    numbers.position = viewStart / z;
    return numbers;
}

std::optional<int64_t> ScrollTarget(const ScrollNumbers& numbers, int request, int64_t thumbPosition) {
    switch (request) {
        case kLineLeft: return numbers.Scrolled(-numbers.Line());
        case kLineRight: return numbers.Scrolled(numbers.Line());
        case kPageLeft: return numbers.Scrolled(-numbers.page);
        case kPageRight: return numbers.Scrolled(numbers.page);
        case kThumbPosition:
        case kThumbTrack: return numbers.Scrolled(thumbPosition - numbers.position);
        case kHome: return 0;
        case kEnd: return numbers.Scrolled(numbers.maximum - numbers.position);
        default: return std::nullopt;
    }
}

std::optional<ZoomFitResult> ComputeZoomFit(int64_t startMarker, int64_t endMarker, int width, int64_t projectLength) {
    if (startMarker == endMarker || width < 2) return std::nullopt;
    const int64_t start = std::min(startMarker, endMarker);
    const int64_t length = std::max(startMarker, endMarker) - start;
    const auto perPixel = static_cast<uint64_t>(length / width);
    ZoomFitResult fit;
    const uint32_t bits = SignificantBits(perPixel);
    fit.zoom = perPixel == 0 ? 1u : (bits >= 30 ? WaveformView::kMaxZoom : (1u << bits));
    const int64_t visible = static_cast<int64_t>(width) * fit.zoom;
    fit.viewStart = std::max<int64_t>(start - (visible - length) / 2, 0);
    if (fit.viewStart + visible > projectLength) fit.viewStart = std::max<int64_t>(projectLength - visible - 1, 0);
    return fit;
}

uint32_t SteppedZoom(uint32_t zoom, int direction, int width, int64_t projectLength) {
    if (direction < 0) return zoom > 1 ? zoom / 2 : zoom;
    if (direction == 0) return zoom;
    const uint64_t visible = static_cast<uint64_t>(std::max(width, 0)) * zoom;
    const bool shorter = visible < static_cast<uint64_t>(std::max<int64_t>(projectLength, 0));
    return shorter && zoom <= WaveformView::kMaxZoom / 2 ? zoom * 2 : zoom;
}

ZoomAnchor KeepInViewAnchor(const WaveformView& view, uint32_t newZoom, int64_t startMarker, int64_t endMarker,
                            int64_t playCursor) {
    const int middle = view.Width() / 2;
    if (startMarker != endMarker) {
        const int64_t start = std::min(startMarker, endMarker);
        const int64_t end = std::max(startMarker, endMarker);
        if (end - start <= static_cast<int64_t>(view.Width()) * newZoom) return {start + (end - start) / 2, middle};
        return {start, 0};
    }
    if (playCursor >= 0) {
        const bool shown = playCursor >= view.ViewStart() && playCursor < view.ViewEnd();
        return {playCursor, shown ? view.FrameToX(playCursor) : middle};
    }
    return {view.XToFrame(middle), middle};
}

int64_t AnchoredViewStart(const ZoomAnchor& anchor, uint32_t zoom, int width, int64_t projectLength) {
    const int64_t z = std::max<uint32_t>(zoom, 1);
    const int64_t last = (std::max<int64_t>(projectLength - std::max(width, 0) * z, 0) + z - 1) / z * z;
    const int64_t start = std::max<int64_t>(anchor.frame - static_cast<int64_t>(anchor.x) * z, 0) / z * z;
    return std::min(start, last);
}

int64_t AutoScrolledViewStart(int64_t viewStart, int direction, int64_t step, int64_t visibleFrames,
                              int64_t projectLength) {
    if (direction < 0) return std::max<int64_t>(viewStart - step, 0);
    const int64_t last = std::max<int64_t>(projectLength - visibleFrames, 0);
    return std::max(viewStart, std::min(viewStart + step, last));
}
