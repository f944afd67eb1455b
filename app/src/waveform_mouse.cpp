// The waveform editor's mouse: marking, dragging the markers, moving and trimming tracks,
// automatic scrolling while the pointer is beyond the control, the wheel, and the pointer's
// shape.
#include "app/waveform_editor.h"

#include <QApplication>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "app/src/waveform_state.h"
#include "engine/track.h"

namespace {

// The cursor shown while marking a range (the drag cursor).
constexpr Qt::CursorShape kDragCursor = Qt::IBeamCursor;
// A right press turns into a track drag beyond these distances.
constexpr int kDragSlackX = 4;
constexpr int kDragSlackY = 5;
// One notch of a wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;

// The axis the wheel turned most: turning forward (or to the left) counts positive.
int LargerAxis(const QPoint& delta) { return std::abs(delta.x()) > std::abs(delta.y()) ? delta.x() : delta.y(); }

// Whole notches out of the turns so far; a turn the other way starts afresh.
int TakeNotches(int& rest, int delta) {
    if ((rest < 0 && delta > 0) || (rest > 0 && delta < 0)) rest = 0;
    rest += delta;
    const int notches = rest / kWheelNotch;
    rest -= notches * kWheelNotch;
    return notches;
}

using Id = WaveformEditorState::TimerId;

}  // namespace

void CWaveFormKel::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    m_state->pointer = point;
    if (event->button() == Qt::LeftButton)
        LeftPress(point);
    else if (event->button() == Qt::RightButton)
        RightPress(point);
}

void CWaveFormKel::LeftPress(const QPoint& point) {
    WaveformEditorState& s = *m_state;
    if (s.mode != kIdle) return;
    const bool selection = s.timeline.StartMarker() != s.timeline.EndMarker();
    const bool inEndHandle = selection && s.endHandle.contains(point);
    const bool inStartHandle = selection && !inEndHandle && s.startHandle.contains(point);
    const bool inWave = s.view.WaveArea().Contains(point.x(), point.y());
    if (!inWave && !inStartHandle && !inEndHandle) return;

    StopPlayback();
    // A press on the hovered track's edge trims it (the start edge wins when both are near).
    if (inWave && s.hovered != 0) {
        const TrackSource* track = Track(s.hovered);
        const bool two = TwoTracks();
        const WaveRect lane = s.view.Lane(s.hovered == 2 && two ? 1 : 0, two);
        if (track != nullptr && point.y() >= lane.top && point.y() < lane.bottom) {
            const bool nearStart =
                std::abs(s.view.FrameToX(track->ActiveStart()) - point.x()) <= WaveformEditorState::kEdgeGrip;
            const bool nearEnd =
                std::abs(s.view.FrameToX(track->ActiveEnd()) - point.x()) <= WaveformEditorState::kEdgeGrip;
            if (nearStart || nearEnd) {
                s.mode = kTrim;
                s.trimEdge = nearStart ? TrimEdge::Start : TrimEdge::End;
                s.timers[Id::kTrimTimer].start();
                setCursor(Qt::SizeHorCursor);
                return;
            }
        }
    }

    // A press on a track's name strip picks the track up.
    for (int number : {1, 2}) {
        const std::optional<WaveRect> strip = inWave ? NameStrip(number) : std::nullopt;
        if (strip && strip->Contains(point.x(), point.y())) {
            s.hovered = number;
            s.pressPoint = s.lastPoint = point;
            BeginTrackDrag(Qt::LeftButton);
            return;
        }
    }

    s.mode = kMarkerDrag;
    s.timers[Id::kMarkerTimer].start();
    {
        std::lock_guard lock(s.timeline.Guard());
        int64_t start = s.timeline.StartMarker();
        int64_t end = s.timeline.EndMarker();
        if (inEndHandle || inStartHandle) {
            // The dragged marker is always the end marker: the one under the handle.
            if (inEndHandle ? start > end : end > start) std::swap(start, end);
            s.timeline.SetMarkers(start, end);
            s.dragOffset = s.view.FrameToX(end) - point.x();
            s.timeline.SetPlayCursor(end);
        } else {
            s.dragOffset = 0;
            const int64_t frame = s.view.XToFrame(point.x());
            s.timeline.SetMarkers(frame, frame);
            s.timeline.SetPlayCursor(frame);
            s.hovered = TrackAt(point, 0);
            setCursor(kDragCursor);
        }
    }
    s.blink = true;
    Notify(kNotifyChanged);
    PlaceHandles();
    update();
}

void CWaveFormKel::RightPress(const QPoint& point) {
    WaveformEditorState& s = *m_state;
    if (s.mode != kIdle || !s.view.WaveArea().Contains(point.x(), point.y())) return;
    s.hovered = TrackAt(point, 0);
    s.pressPoint = s.lastPoint = point;
    s.mode = kRightDown;
    update();
}

void CWaveFormKel::mouseMoveEvent(QMouseEvent* event) {
    WaveformEditorState& s = *m_state;
    const QPoint point = event->position().toPoint();
    s.pointer = point;
    switch (s.mode) {
        case kMarkerDrag: MoveMarker(point); break;
        case kRightDown:
            if ((std::abs(point.x() - s.pressPoint.x()) > kDragSlackX ||
                 std::abs(point.y() - s.pressPoint.y()) >= kDragSlackY) &&
                s.hovered != 0)
                BeginTrackDrag(Qt::RightButton);
            break;
        case kTrackDrag: MoveTrack(point); break;
        case kTrim: TrimTrack(point); break;
        case kIdle: UpdateHover(point); break;
    }
    UpdateCursorShape(point);
}

void CWaveFormKel::MoveMarker(const QPoint& point) {
    WaveformEditorState& s = *m_state;
    const int x = std::max(point.x() + s.dragOffset, 0);
    const int64_t end = std::min({s.view.XToFrame(x), s.view.ViewEnd(), s.timeline.ProjectLength()});
    {
        std::lock_guard lock(s.timeline.Guard());
        if (end == s.timeline.EndMarker() && end == s.timeline.PlayCursor()) return;
        s.timeline.SetMarkers(s.timeline.StartMarker(), end);
        s.timeline.SetPlayCursor(end);
    }
    Notify(kNotifyChanged);
    PlaceHandles();
    update();
}

void CWaveFormKel::MoveTrack(const QPoint& point) {
    WaveformEditorState& s = *m_state;
    const WaveRect area = s.view.WaveArea();
    const int x = std::clamp(point.x(), 0, std::max(s.view.Width() - 1, 0));
    const int y = std::clamp(point.y(), area.top, std::max(area.bottom - 1, area.top));
    TrackSource* track = Track(s.hovered);
    if (track == nullptr) return;
    bool moved;
    {
        std::lock_guard lock(s.timeline.Guard());
        moved = track->Move(static_cast<int64_t>(x - s.lastPoint.x()) * s.view.Zoom());
    }
    if (moved) Refresh();
    s.lastPoint = QPoint(x, y);
    ShowOffsetTip();
}

void CWaveFormKel::TrimTrack(const QPoint& point) {
    WaveformEditorState& s = *m_state;
    const int x = std::clamp(point.x(), 0, std::max(s.view.Width() - 1, 0));
    TrackSource* track = Track(s.hovered);
    if (track == nullptr) return;
    bool changed;
    {
        std::lock_guard lock(s.timeline.Guard());
        changed = track->Trim(s.view.Zoom(), s.trimEdge, s.view.XToFrame(x));
    }
    if (changed) Refresh();
}

void CWaveFormKel::UpdateHover(const QPoint& point) {
    const int number = TrackAt(point, WaveformEditorState::kHoverSlack);
    if (number != 0) m_state->hovered = number;
}

void CWaveFormKel::UpdateCursorShape(const QPoint& point) {
    WaveformEditorState& s = *m_state;
    if (s.mode == kTrim) return setCursor(Qt::SizeHorCursor);
    if (s.mode != kIdle) return;
    if (const TrackSource* track = Track(s.hovered)) {
        const bool two = TwoTracks();
        const WaveRect lane = s.view.Lane(s.hovered == 2 && two ? 1 : 0, two);
        if (point.y() >= lane.top && point.y() < lane.bottom &&
            (std::abs(s.view.FrameToX(track->ActiveStart()) - point.x()) <= WaveformEditorState::kEdgeGrip ||
             std::abs(s.view.FrameToX(track->ActiveEnd()) - point.x()) <= WaveformEditorState::kEdgeGrip))
            return setCursor(Qt::SizeHorCursor);
    }
    if (s.timeline.StartMarker() != s.timeline.EndMarker() &&
        (s.startHandle.contains(point) || s.endHandle.contains(point)))
        return setCursor(Qt::PointingHandCursor);
    for (int number : {1, 2}) {
        const std::optional<WaveRect> strip = NameStrip(number);
        if (strip && strip->Contains(point.x(), point.y())) return setCursor(Qt::OpenHandCursor);
    }
    unsetCursor();
}

void CWaveFormKel::mouseReleaseEvent(QMouseEvent* event) {
    WaveformEditorState& s = *m_state;
    const QPoint point = event->position().toPoint();
    s.pointer = point;
    // A right click on a track, without a drag, opens the track's menu once the click is over.
    const bool menu = s.mode == kRightDown && event->button() == Qt::RightButton && s.hovered != 0;
    // Any release ends the action that runs, with its timer.
    switch (s.mode) {
        case kMarkerDrag: EndMarkerDrag(); break;
        case kTrackDrag:
            s.timers[Id::kTrackTimer].stop();
            QToolTip::hideText();
            break;
        case kTrim: s.timers[Id::kTrimTimer].stop(); break;
        case kIdle:
        case kRightDown: break;
    }
    s.mode = kIdle;
    unsetCursor();
    UpdateCursorShape(point);
    if (menu) ShowTrackMenu();
}

// The wheel scrolls the view by the desktop's lines per notch, each a line step of the scroll
// bar; a touchpad's pixel distances scroll as many columns. Ctrl+wheel zooms. Nothing happens
// while a mouse action runs.
void CWaveFormKel::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (m_state->mode != kIdle) return;
    if (event->modifiers() & Qt::ControlModifier)
        WheelZoom(*event);
    else
        WheelScroll(*event);
}

void CWaveFormKel::WheelScroll(const QWheelEvent& event) {
    WaveformEditorState& s = *m_state;
    if (!event.pixelDelta().isNull()) {
        const int pixels = LargerAxis(event.pixelDelta());
        if (pixels != 0) ScrollColumns(-pixels);
        return;
    }
    const int notches = TakeNotches(s.wheelScrollRest, LargerAxis(event.angleDelta()));
    if (notches == 0) return;
    const ScrollNumbers numbers =
        ComputeScrollNumbers(s.timeline.ProjectLength(), s.view.Zoom(), s.view.Width(), s.view.ViewStart());
    ScrollColumns(-int64_t{notches} * QApplication::wheelScrollLines() * numbers.Line());
}

// Each notch forward halves the zoom, each notch back doubles it, within the zoom buttons'
// limits; the frame under the pointer stays under it.
void CWaveFormKel::WheelZoom(const QWheelEvent& event) {
    WaveformEditorState& s = *m_state;
    const int notches = TakeNotches(s.wheelZoomRest, LargerAxis(event.angleDelta()));
    const int x = std::clamp(static_cast<int>(event.position().x()), 0, std::max(s.view.Width() - 1, 0));
    for (int i = 0; i < std::abs(notches); ++i) {
        const uint32_t zoom = SteppedZoom(notches > 0 ? -1 : 1);
        if (zoom == s.view.Zoom()) break;
        ZoomAt(zoom, ZoomAnchor{s.view.XToFrame(x), x});
    }
}

// The markers end in order and inside the project: a range that starts at or beyond the
// project's end is dropped.
void CWaveFormKel::EndMarkerDrag() {
    WaveformEditorState& s = *m_state;
    s.timers[Id::kMarkerTimer].stop();
    bool changed;
    {
        std::lock_guard lock(s.timeline.Guard());
        const int64_t length = s.timeline.ProjectLength();
        int64_t start = s.timeline.StartMarker();
        int64_t end = s.timeline.EndMarker();
        if (start > end) std::swap(start, end);
        if (start >= length)
            start = end = 0;
        else if (end > length)
            end = length;
        changed = start != s.timeline.StartMarker() || end != s.timeline.EndMarker();
        s.timeline.SetMarkers(start, end);
    }
    if (changed) Notify(kNotifyChanged);
    PlaceHandles();
    update();
}

// −1 or +1 while the pointer is left or right of the control at the wave area's height; else 0.
int CWaveFormKel::AutoScrollDirection() const {
    const WaveformEditorState& s = *m_state;
    const WaveRect area = s.view.WaveArea();
    if (s.pointer.y() < area.top || s.pointer.y() >= area.bottom) return 0;
    if (s.pointer.x() < 0) return -1;
    if (s.pointer.x() >= s.view.Width()) return 1;
    return 0;
}

void CWaveFormKel::OnMarkerScrollTimer() {
    WaveformEditorState& s = *m_state;
    const int direction = AutoScrollDirection();
    const int64_t visible = s.view.VisibleFrames();
    const int64_t length = s.timeline.ProjectLength();
    if (s.mode != kMarkerDrag || direction == 0 || length <= visible) return;
    const uint32_t zoom = s.view.Zoom();
    const int64_t before = s.view.ViewStart();
    const int64_t after =
        AutoScrolledViewStart(before, direction, int64_t{WaveformEditorState::kMarkerScrollColumns} * zoom, visible,
                              length) /
        zoom * zoom;
    if (after == before) return;
    s.view.SetViewStart(after);
    s.view.UpdateViewEnd();
    const int64_t end = direction < 0 ? after : after + visible - 1;
    {
        std::lock_guard lock(s.timeline.Guard());
        s.timeline.SetMarkers(s.timeline.StartMarker(), end);
        s.timeline.SetPlayCursor(end);
    }
    Refresh();
}

// Track drag and trim: the view scrolls and the track (or its edge) follows the pointer, held
// at the client's edge.
void CWaveFormKel::OnTrackScrollTimer(int columns) {
    WaveformEditorState& s = *m_state;
    const int direction = AutoScrollDirection();
    const int64_t visible = s.view.VisibleFrames();
    const int64_t length = s.timeline.ProjectLength();
    TrackSource* track = Track(s.hovered);
    if ((s.mode != kTrackDrag && s.mode != kTrim) || track == nullptr || direction == 0 || length <= visible) return;
    const uint32_t zoom = s.view.Zoom();
    const int64_t before = s.view.ViewStart();
    const int64_t after =
        AutoScrolledViewStart(before, direction, int64_t{columns} * zoom, visible, length) / zoom * zoom;
    if (after == before) return;
    s.view.SetViewStart(after);
    s.view.UpdateViewEnd();
    const int edgeX = direction < 0 ? 0 : std::max(s.view.Width() - 1, 0);
    {
        std::lock_guard lock(s.timeline.Guard());
        if (s.mode == kTrackDrag) {
            track->Move(after - before);
            s.lastPoint.setX(edgeX);
        } else {
            track->Trim(zoom, s.trimEdge, s.view.XToFrame(edgeX));
        }
    }
    Refresh();
    if (s.mode == kTrackDrag) ShowOffsetTip();
}
