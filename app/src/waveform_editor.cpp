// The waveform editor: creation, its skin, and the view over the timeline (zoom, scrolling,
// project length, the tracks' places).
#include "app/waveform_editor.h"

#include <QEvent>

#include <algorithm>
#include <bit>
#include <climits>

#include "app/skin_holder.h"
#include "app/src/waveform_state.h"
#include "effecttree/effect_tree.h"
#include "engine/preview.h"
#include "engine/render_chain.h"
#include "engine/track.h"
#include "skin/scroll_bar.h"
#include "skin/skin_base.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/statics.h"

void RegisterWaveFormEditor() { SetWaveFormFactory(&CWaveFormKel::Create); }

CSkinBase* CWaveFormKel::Create(QWidget* parent, int windowId, uint32_t style) {
    return new CWaveFormKel(parent, windowId, style);
}

namespace {

void ApplyLook(WaveformLook& look, const SCWAVEFORMRES* record, const QFont& fallback) {
    auto color = [record](COLORREF value, int paletteIndex) {
        const QColor skin = record != nullptr ? ToQColor(value) : QColor();
        return skin.isValid() ? skin : SkinPaletteColor(paletteIndex);
    };
    const SCWAVEFORMRES none;
    const SCWAVEFORMRES& r = record != nullptr ? *record : none;
    look.titleText = color(r.titleTextColor, SKINCOLOR_TEXT);
    look.timeText = color(r.timeTextColor, SKINCOLOR_TEXT_SECONDARY);
    look.waveData = color(r.waveDataColor, SKINCOLOR_TEXT_SECONDARY);
    look.waveDataSel = color(r.waveDataSelColor, SKINCOLOR_ACCENT);
    look.waveBorder = color(r.waveBorderColor, SKINCOLOR_BORDER);
    look.waveBg = color(r.waveBgColor, SKINCOLOR_SURFACE);
    look.waveBgSel = color(r.waveBgSelColor, SKINCOLOR_SELECTION);
    look.waveCenter = color(r.waveCenterColor, SKINCOLOR_BORDER);
    look.waveBlank = color(r.waveBlankColor, SKINCOLOR_WINDOW);
    look.waveBlankSel = color(r.waveBlankSelColor, SKINCOLOR_SELECTION);
    look.titleFont = ToQFont(r.titleFont, fallback);
    look.timeFont = ToQFont(r.timeFont, fallback);
}

}  // namespace

CWaveFormKel::CWaveFormKel(QWidget* parent, int windowId, uint32_t style)
    : CSCStatic(parent, windowId, style), m_state(std::make_unique<WaveformEditorState>()) {
    WaveformEditorState& s = *m_state;
    s.timeline.SetProjectLength(kInitialProjectLength);
    s.timeline.SetPlayCursor(-1);
    ApplyLook(s.look, nullptr, font());
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);

    using Id = WaveformEditorState::TimerId;
    s.timers[Id::kBlinkTimer].setInterval(WaveformEditorState::kBlinkMs);
    s.timers[Id::kCursorTimer].setInterval(static_cast<int>(RingtonePreview::kCursorTimerMs));
    s.timers[Id::kMarkerTimer].setInterval(WaveformEditorState::kMarkerScrollMs);
    s.timers[Id::kTrackTimer].setInterval(WaveformEditorState::kTrackScrollMs);
    s.timers[Id::kTrimTimer].setInterval(WaveformEditorState::kTrimScrollMs);
    connect(&s.timers[Id::kBlinkTimer], &QTimer::timeout, this, [this] { OnBlinkTimer(); });
    connect(&s.timers[Id::kCursorTimer], &QTimer::timeout, this, [this] { OnCursorTimer(); });
    connect(&s.timers[Id::kMarkerTimer], &QTimer::timeout, this, [this] { OnMarkerScrollTimer(); });
    connect(&s.timers[Id::kTrackTimer], &QTimer::timeout, this,
            [this] { OnTrackScrollTimer(WaveformEditorState::kTrackScrollColumns); });
    connect(&s.timers[Id::kTrimTimer], &QTimer::timeout, this,
            [this] { OnTrackScrollTimer(WaveformEditorState::kTrackScrollColumns); });
    s.timers[Id::kBlinkTimer].start();
}

CWaveFormKel::~CWaveFormKel() {
    // The preview stops (waiting for the player's thread) while the timeline still exists.
    m_state->preview.reset();
}

bool CWaveFormKel::UseCustomSkin(const void* record) {
    WaveformEditorState& s = *m_state;
    const auto* res = static_cast<const SCWAVEFORMRES*>(record);
    const bool accepted = res != nullptr && res->size == sizeof(SCWAVEFORMRES) &&
                          s.look.source.LoadFromHandle(res->source) && s.look.source.GetFrameCount() >= 3;
    if (!accepted) s.look.source.Clear();
    s.look.skinned = accepted;
    ApplyLook(s.look, accepted ? res : nullptr, font());
    s.view.SetTimeHeight(accepted ? res->timeHeight : WaveformView::kInitialTimeHeight);
    SetSkinned(accepted);
    RebuildRulerBackground();
    ViewChanged();
    return accepted;
}

RingtoneTimeline& CWaveFormKel::Timeline() { return m_state->timeline; }

void CWaveFormKel::AttachChain(CEffectTree* tree, CVolumeEffect* volume) {
    m_state->timeline.AttachChain(tree, volume);
}

void CWaveFormKel::SetScrollBar(CSCScrollBar* scrollBar) {
    WaveformEditorState& s = *m_state;
    if (s.scrollBar) disconnect(s.scrollBar, &CSkinBase::scroll, this, nullptr);
    s.scrollBar = scrollBar;
    if (scrollBar != nullptr)
        connect(scrollBar, &CSkinBase::scroll, this,
                [this](int, int request, int position) { OnScrollRequest(request, position); });
    UpdateScrollBar();
    ViewChanged();
}

bool CWaveFormKel::OnScrollRequest(int request, int position) {
    WaveformEditorState& s = *m_state;
    const ScrollNumbers numbers =
        ComputeScrollNumbers(s.timeline.ProjectLength(), s.view.Zoom(), s.view.Width(), s.view.ViewStart());
    const std::optional<int64_t> target = ScrollTarget(numbers, request, position);
    if (!target) return false;
    ScrollColumns(*target - numbers.position);
    return true;
}

void CWaveFormKel::ScrollColumns(int64_t columns) {
    WaveformEditorState& s = *m_state;
    const ScrollNumbers numbers =
        ComputeScrollNumbers(s.timeline.ProjectLength(), s.view.Zoom(), s.view.Width(), s.view.ViewStart());
    s.view.SetViewStart(numbers.Scrolled(columns) * s.view.Zoom());
    UpdateScrollBar();
    ViewChanged();
    Notify(kNotifyChanged);
}

void CWaveFormKel::SetTracks(TrackSlot* track1, TrackSlot* track2) {
    WaveformEditorState& s = *m_state;
    s.timeline.SetTracks(track1, track2);
    for (TrackSlot* slot : {track1, track2})
        if (slot != nullptr) slot->source.EditorDrawCache().Reset(slot->source.Channels());
    s.hovered = 0;
    ViewChanged();
}

void CWaveFormKel::SetSelection(int64_t start, int64_t end) {
    m_state->timeline.SetMarkers(start, end);
    PlaceHandles();
    update();
}

int64_t CWaveFormKel::GetStartMarker() const { return m_state->timeline.StartMarker(); }
int64_t CWaveFormKel::GetEndMarker() const { return m_state->timeline.EndMarker(); }

void CWaveFormKel::SetPlayPosition(int64_t frame) {
    m_state->timeline.SetPlayCursor(frame < 0 ? -1 : frame);
    m_state->blink = frame >= 0;  // a new position shows at once
    update();
}

int64_t CWaveFormKel::GetPlayPosition() const { return m_state->timeline.PlayCursor(); }
void CWaveFormKel::SetFadeIn(bool on) { m_state->timeline.SetFadeIn(on); }
void CWaveFormKel::SetFadeOut(bool on) { m_state->timeline.SetFadeOut(on); }
uint32_t CWaveFormKel::GetZoom() const { return m_state->view.Zoom(); }
int64_t CWaveFormKel::GetViewStart() const { return m_state->view.ViewStart(); }
int64_t CWaveFormKel::GetViewEnd() const { return m_state->view.ViewEnd(); }
int64_t CWaveFormKel::GetProjectLength() const { return m_state->timeline.ProjectLength(); }
CWaveFormKel::Mode CWaveFormKel::GetMode() const { return m_state->mode; }
QRect CWaveFormKel::GetStartHandleRect() const { return m_state->startHandle; }
QRect CWaveFormKel::GetEndHandleRect() const { return m_state->endHandle; }

void CWaveFormKel::SetZoom(uint32_t zoom) {
    WaveformView& view = m_state->view;
    const uint32_t before = view.Zoom();
    view.SetZoom(zoom);
    if (view.Zoom() == before) return;
    view.SetViewStart(view.ViewStart() / view.Zoom() * view.Zoom());
    view.UpdateViewEnd();
    Refresh();
}

uint32_t CWaveFormKel::SteppedZoom(int direction) const {
    const WaveformEditorState& s = *m_state;
    return ::SteppedZoom(s.view.Zoom(), direction, s.view.Width(), s.timeline.ProjectLength());
}

void CWaveFormKel::ZoomKeepingInView(uint32_t zoom) {
    const WaveformEditorState& s = *m_state;
    ZoomAt(zoom, KeepInViewAnchor(s.view, std::bit_floor(std::max(zoom, 1u)), s.timeline.StartMarker(),
                                  s.timeline.EndMarker(), s.timeline.PlayCursor()));
}

void CWaveFormKel::ZoomAt(uint32_t zoom, const ZoomAnchor& anchor) {
    WaveformView& view = m_state->view;
    const uint32_t before = view.Zoom();
    view.SetZoom(zoom);
    if (view.Zoom() == before) return;
    // Held inside the project as it was: a zoom in keeps the anchor's frame even where the old
    // view went past the tracks' ends.
    view.SetViewStart(AnchoredViewStart(anchor, view.Zoom(), view.Width(), m_state->timeline.ProjectLength()));
    view.UpdateViewEnd();
    Refresh();
}

uint32_t CWaveFormKel::ZoomFit() {
    WaveformEditorState& s = *m_state;
    const std::optional<ZoomFitResult> fit =
        ComputeZoomFit(s.timeline.StartMarker(), s.timeline.EndMarker(), s.view.Width(), s.timeline.ProjectLength());
    if (!fit) return s.view.Zoom();
    s.view.SetZoom(fit->zoom);
    s.view.SetViewStart(fit->viewStart);
    s.view.UpdateViewEnd();
    Refresh();
    return s.view.Zoom();
}

void CWaveFormKel::Refresh() {
    UpdateProjectLength();
    UpdateScrollBar();
    ViewChanged();
    Notify(kNotifyChanged);
}

TrackSource* CWaveFormKel::Track(int number) const {
    const TrackSlot* slot = number == 1 ? m_state->timeline.Track1() : m_state->timeline.Track2();
    return slot != nullptr && slot->source.IsOpen() ? const_cast<TrackSource*>(&slot->source) : nullptr;
}

bool CWaveFormKel::TwoTracks() const { return Track(1) != nullptr && Track(2) != nullptr; }

std::optional<WaveRect> CWaveFormKel::TrackRect(int number) const {
    const TrackSource* track = Track(number);
    if (track == nullptr) return std::nullopt;
    const bool two = TwoTracks();
    const WaveRect lane = m_state->view.Lane(number == 2 && two ? 1 : 0, two);
    return m_state->view.TrackRect(lane, track->ActiveStart(), track->ActiveEnd());
}

int CWaveFormKel::TrackAt(const QPoint& point, int widen) const {
    for (int number : {1, 2}) {
        const std::optional<WaveRect> rect = TrackRect(number);
        if (rect && rect->Widened(widen).Contains(point.x(), point.y())) return number;
    }
    return 0;
}

void CWaveFormKel::UpdateProjectLength() {
    WaveformEditorState& s = *m_state;
    const TrackSource* track1 = Track(1);
    const TrackSource* track2 = Track(2);
    s.timeline.SetProjectLength(
        ComputeProjectLength(s.view.ViewEnd(), {track1 ? track1->ActiveEnd() : 0, track2 ? track2->ActiveEnd() : 0},
                             s.timeline.StartMarker(), s.timeline.EndMarker()));
}

// The scroll bar shows the project and the view; the view start is read back from it, so
// that it is a whole number of columns inside the range.
void CWaveFormKel::UpdateScrollBar() {
    WaveformEditorState& s = *m_state;
    const ScrollNumbers numbers =
        ComputeScrollNumbers(s.timeline.ProjectLength(), s.view.Zoom(), s.view.Width(), s.view.ViewStart());
    int64_t position = std::clamp<int64_t>(numbers.position, 0, numbers.Limit());
    if (s.scrollBar) {
        s.scrollBar->SetScrollInfo(0, static_cast<int>(std::min<int64_t>(numbers.maximum, INT_MAX)),
                                   static_cast<int>(std::min<int64_t>(numbers.page, INT_MAX)),
                                   static_cast<int>(std::min<int64_t>(position, INT_MAX)));
        position = s.scrollBar->GetScrollPos();
    }
    s.view.SetViewStart(position * s.view.Zoom());
}

void CWaveFormKel::UpdateView() {
    m_state->view.UpdateViewEnd();
    for (int number : {1, 2})
        if (TrackSource* track = Track(number)) track->EditorDrawCache().valid = false;
}

void CWaveFormKel::ViewChanged() {
    UpdateView();
    PlaceHandles();
    UpdateTrackTools();
    update();
}

void CWaveFormKel::Notify(int code) { NotifyParent(code); }

void CWaveFormKel::resizeEvent(QResizeEvent* event) {
    CSCStatic::resizeEvent(event);
    m_state->view.SetClientSize(width(), height());
    RebuildRulerBackground();
    UpdateScrollBar();
    ViewChanged();
}
