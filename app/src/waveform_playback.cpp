// The waveform editor's play cursor: the preview of the play range, the cursor following the
// blocks heard, and its blinking while idle.
#include "app/waveform_editor.h"

#include <QMetaObject>

#include <algorithm>

#include "app/src/waveform_state.h"
#include "engine/player.h"
#include "engine/preview.h"

using Id = WaveformEditorState::TimerId;

void CWaveFormKel::AttachPlayer(IPlayer* player) {
    WaveformEditorState& s = *m_state;
    StopPlayback();
    s.preview.reset();
    if (player != nullptr)
        s.preview = std::make_unique<RingtonePreview>(s.timeline, *player, static_cast<IPreviewClient*>(this));
}

bool CWaveFormKel::StartPlayback() {
    WaveformEditorState& s = *m_state;
    if (!s.preview || !s.preview->Start()) return false;
    s.timers[Id::kCursorTimer].start();
    s.blink = true;
    UpdatePlayCursor();
    update();
    return true;
}

void CWaveFormKel::TogglePause() {
    if (m_state->preview) m_state->preview->TogglePause();
    update();
}

void CWaveFormKel::StopPlayback() {
    WaveformEditorState& s = *m_state;
    if (s.preview) s.preview->Stop();
    s.timers[Id::kCursorTimer].stop();
}

bool CWaveFormKel::IsPlaying() const { return m_state->preview && m_state->preview->IsPlaying(); }

// The preview calls these on the player's thread as well: they only queue work for this one.
void CWaveFormKel::OnPreviewCursorDue() {
    QMetaObject::invokeMethod(
        this, [this] { OnCursorTimer(); }, Qt::QueuedConnection);
}

void CWaveFormKel::OnPreviewPositionChanged() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            update();
            Notify(kNotifyChanged);
        },
        Qt::QueuedConnection);
}

void CWaveFormKel::OnPreviewStopped() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            WaveformEditorState& s = *m_state;
            s.timers[Id::kCursorTimer].stop();
            // After the end of the data the player and the chain are still open; a run
            // started again in the meantime is left alone.
            if (s.preview && !s.preview->IsPlaying()) s.preview->Stop();
            update();
            Notify(kNotifyPlaybackEnded);
        },
        Qt::QueuedConnection);
}

void CWaveFormKel::OnCursorTimer() {
    WaveformEditorState& s = *m_state;
    if (!s.preview) return;
    const int64_t before = s.timeline.PlayCursor();
    if (!s.preview->UpdateCursor()) return;
    InvalidateCursorColumn(before);
    UpdatePlayCursor();
}

// Shows the play cursor; a cursor that left the view brings the view with it, centred.
void CWaveFormKel::UpdatePlayCursor() {
    WaveformEditorState& s = *m_state;
    const int64_t cursor = s.timeline.PlayCursor();
    if (cursor < 0) return;
    if (cursor < s.view.ViewStart() || cursor >= s.view.ViewEnd()) {
        const uint32_t zoom = s.view.Zoom();
        s.view.SetViewStart(std::max<int64_t>(cursor - s.view.VisibleFrames() / 2, 0) / zoom * zoom);
        s.view.UpdateViewEnd();
        Refresh();
        return;
    }
    InvalidateCursorColumn(cursor);
}

void CWaveFormKel::OnBlinkTimer() {
    WaveformEditorState& s = *m_state;
    const int64_t cursor = s.timeline.PlayCursor();
    if (IsPlaying() || cursor < 0) return;
    s.blink = !s.blink;
    InvalidateCursorColumn(cursor);
}

void CWaveFormKel::InvalidateCursorColumn(int64_t frame) {
    const WaveformView& view = m_state->view;
    if (frame < view.ViewStart() || frame >= view.ViewEnd()) return;
    const WaveRect area = view.WaveArea();
    update(QRect(view.FrameToX(frame), area.top, 1, area.Height()));
}
