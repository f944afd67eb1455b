// The waveform editor, the skin control of kind 26 on page 2 of the main window.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "engine/player.h"
#include "engine/preview.h"
#include "engine/render_chain.h"
#include "engine/track.h"
#include "skin/scroll_bar.h"
#include "skin/skin_base.h"
#include "skin/statics.h"

class CEffectTree;
class CSCMenu;
struct WaveformEditorState;  // app/src/waveform_state.h
struct WaveRect;
struct ZoomAnchor;

// Makes CWaveFormKel the control of kind 26. The program calls it once at start-up, before
// the main window loads its skin.
void RegisterWaveFormEditor();

// The waveform editor (PAGE2_WAVE): the one or two tracks of the ringtone on a common
// timeline under a time ruler, the marked range (start and end markers for all tracks) with
// its two handles, per-track trimming and moving, zoom, scrolling and the play cursor. It
// owns the timeline the render chain reads. It reports command(id, 10) when the selection,
// the play position or the view changed, and command(id, 11) when playback ended.
//
// Mouse: a left press in the wave area marks a point and dragging marks a range; a press in
// a handle drags that marker; a press on a track's edge trims the track; a left drag on a
// track's name strip (the band with its name at its top) or a right press and drag moves the
// track; a right click on a track opens its menu (move to the start, move to the cursor). The
// wheel scrolls the view, Ctrl+wheel zooms around the pointer. Timers: 0 cursor blink
// (1000 ms), 1 play cursor (33 ms), 2 marker drag auto-scroll (10 ms), 3 track drag
// auto-scroll (100 ms), 4 trim auto-scroll (10 ms).
//
// Threads: the interface thread. The player's feeder thread reads the timeline under its
// guard and reaches the editor only through queued calls.
class CWaveFormKel : public CSCStatic, private IPreviewClient {
    Q_OBJECT
public:
    static constexpr int kNotifyChanged = 10;  // selection, play position or view
    static constexpr int kNotifyPlaybackEnded = 11;
    static constexpr int64_t kInitialProjectLength = 1323000;  // 30 s
    enum Mode : int { kIdle = 0, kMarkerDrag = 1, kRightDown = 2, kTrackDrag = 3, kTrim = 4 };

    CWaveFormKel(QWidget* parent, int windowId, uint32_t style = 0x100);
    ~CWaveFormKel() override;
    // The factory the skin holder is given.
    static CSkinBase* Create(QWidget* parent, int windowId, uint32_t style);

    // Takes a SCWAVEFORMRES. A record of another size, or a Source with fewer than 3 frames
    // (ruler, start handle, end handle), is refused and the editor draws without a skin.
    bool UseCustomSkin(const void* record) override;

    // The timeline state that playback and export read.
    RingtoneTimeline& Timeline();
    // The application's chain: the view stage becomes the tree's audio input.
    void AttachChain(CEffectTree* tree, CVolumeEffect* volume);
    // The player the preview plays through; null stops playback and lets it go.
    void AttachPlayer(IPlayer* player);
    // The scroll bar (PAGE2_SCROLLBAR) that scrolls the view; its requests reach
    // OnScrollRequest.
    void SetScrollBar(CSCScrollBar* scrollBar);
    // A scroll request (SB_*) from the scroll bar; false when it does not scroll.
    bool OnScrollRequest(int request, int position);

    // Takes the tracks; either may be null. Their drawing caches start anew.
    void SetTracks(TrackSlot* track1, TrackSlot* track2);
    // Equal markers mean no selection. Call Refresh to show a change.
    void SetSelection(int64_t start, int64_t end);
    int64_t GetStartMarker() const;
    int64_t GetEndMarker() const;
    // −1: none.
    void SetPlayPosition(int64_t frame);
    int64_t GetPlayPosition() const;
    void SetFadeIn(bool on);
    void SetFadeOut(bool on);

    uint32_t GetZoom() const;
    // Frames per pixel, a power of two (others are rounded down, 0 gives 1). The view start
    // becomes the largest multiple of it not above it; the project length, the scroll bar
    // and the picture follow.
    void SetZoom(uint32_t zoom);
    // The zoom one step in (direction < 0) or out (> 0) leads to: halved while above 1, doubled
    // while width × zoom is below the project length; the zoom itself at either limit.
    uint32_t SteppedZoom(int direction) const;
    // Takes the zoom as SetZoom does, but keeps the selection in view (centred when it fits,
    // else from its start) or, without one, the play cursor (at its column, or centred when
    // it was off the view); with neither the view's middle stays.
    void ZoomKeepingInView(uint32_t zoom);
    // Shows the selection centred at the zoom that fits it; returns the zoom. Nothing
    // changes for an empty selection or a control under 2 pixels wide.
    uint32_t ZoomFit();
    // Recomputes the project length, updates the scroll bar and the view, redraws and
    // reports 10.
    void Refresh();
    int64_t GetViewStart() const;
    int64_t GetViewEnd() const;
    int64_t GetProjectLength() const;

    // The preview of the play range from the play position; false when it cannot start.
    bool StartPlayback();
    void TogglePause();
    void StopPlayback();
    bool IsPlaying() const;

    // For inspection.
    Mode GetMode() const;
    QRect GetStartHandleRect() const;
    QRect GetEndHandleRect() const;
    // The tooltip shown at a point; empty when none.
    QString ToolTipAt(const QPoint& point) const;
    // A track's name strip in client pixels; empty when the track is not shown.
    QRect GetNameStripRect(int number) const;
    // The text on a track's name strip: its name, and its offset when it does not start at 0.
    QString NameStripText(int number) const;

    // Chooses from a track's menu: returns the chosen command id, 0 for none. Without one the
    // menu pops up at the pointer; tests choose without a popup.
    using PopupChooser = std::function<int(CSCMenu& menu)>;
    void SetPopupChooser(PopupChooser chooser);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // IPreviewClient: each only posts to the interface thread.
    void OnPreviewCursorDue() override;
    void OnPreviewPositionChanged() override;
    void OnPreviewStopped() override;

    // ---- view (waveform_editor.cpp)
    TrackSource* Track(int number) const;
    bool TwoTracks() const;
    std::optional<WaveRect> TrackRect(int number) const;
    // The track whose rectangle (widened by `widen` pixels) holds the point: 0 for none.
    int TrackAt(const QPoint& point, int widen) const;
    void UpdateProjectLength();
    void UpdateScrollBar();
    // Scrolls by columns (limited to the scroll range) and reports 10.
    void ScrollColumns(int64_t columns);
    // Takes the zoom with the anchor's frame shown at its column; then refresh.
    void ZoomAt(uint32_t zoom, const ZoomAnchor& anchor);
    void UpdateView();
    void ViewChanged();
    void Notify(int code);
    // ---- handles and tooltips (waveform_tools.cpp)
    void PlaceHandles();
    void UpdateTrackTools();
    // ---- mouse (waveform_mouse.cpp)
    void LeftPress(const QPoint& point);
    void RightPress(const QPoint& point);
    void MoveMarker(const QPoint& point);
    void MoveTrack(const QPoint& point);
    void TrimTrack(const QPoint& point);
    void UpdateHover(const QPoint& point);
    void UpdateCursorShape(const QPoint& point);
    void EndMarkerDrag();
    int AutoScrollDirection() const;
    void OnMarkerScrollTimer();
    void OnTrackScrollTimer(int step);
    void WheelScroll(const QWheelEvent& event);
    void WheelZoom(const QWheelEvent& event);
    // ---- moving a track (waveform_track_move.cpp)
    std::optional<WaveRect> NameStrip(int number) const;
    void BeginTrackDrag(Qt::MouseButton button);
    void ShowOffsetTip();
    void ShowTrackMenu();
    // Moves a track so that it starts at a frame (its active start never below frame 0), then
    // refresh.
    void PlaceTrack(int number, int64_t start);
    // ---- playback (waveform_playback.cpp)
    void OnBlinkTimer();
    void OnCursorTimer();
    void UpdatePlayCursor();
    void InvalidateCursorColumn(int64_t frame);
    // ---- painting (waveform_paint.cpp)
    void RebuildRulerBackground();
    void PaintRuler(QPainter& painter) const;
    void PaintWaves(QPainter& painter);
    void PaintTrack(QPainter& painter, int number);
    void PaintNameStrip(QPainter& painter, int number, const WaveRect& strip) const;
    void PaintCursor(QPainter& painter) const;

    std::unique_ptr<WaveformEditorState> m_state;
};
