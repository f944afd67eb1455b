// The waveform editor's ways of moving a track: the name strip that a left drag picks the
// track up by, the offset shown while dragging and on the strip, and the track's menu.
#include "app/waveform_editor.h"

#include <QCursor>
#include <QFontMetrics>
#include <QToolTip>

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "app/src/waveform_ruler.h"
#include "app/src/waveform_state.h"
#include "engine/render_chain.h"
#include "engine/track.h"
#include "skin/menu.h"

namespace {

enum : int { kMoveToStart = 1, kMoveToCursor = 2 };
// Pixels above and below the name on its strip.
constexpr int kStripPadding = 2;

// A signed offset in frames as "hh:mm:ss.mmm" at the working rate, rounded to the millisecond,
// with "-" before a negative one and, when signed is asked for, "+" before a positive one.
QString OffsetText(int64_t frames, bool signedText) {
    const int64_t rate = RingtoneTimeline::MixFormat().Format.nSamplesPerSec;
    const int64_t ms = (std::abs(frames) * 1000 + rate / 2) / rate;
    const QString sign = frames < 0 ? QStringLiteral("-") : (signedText ? QStringLiteral("+") : QString());
    return sign + QString::fromStdString(FormatClockTime(ms));
}

}  // namespace

void CWaveFormKel::SetPopupChooser(PopupChooser chooser) { m_state->popupChooser = std::move(chooser); }

// The top of the track's rectangle, one line of the title font high, at most a third of it.
std::optional<WaveRect> CWaveFormKel::NameStrip(int number) const {
    const std::optional<WaveRect> rect = TrackRect(number);
    if (!rect) return std::nullopt;
    const int height = std::min(QFontMetrics(m_state->look.titleFont).height() + 2 * kStripPadding, rect->Height() / 3);
    if (height <= 0) return std::nullopt;
    return WaveRect{rect->left, rect->top, rect->right, rect->top + height};
}

QRect CWaveFormKel::GetNameStripRect(int number) const {
    const std::optional<WaveRect> strip = NameStrip(number);
    return strip ? QRect(strip->left, strip->top, strip->Width(), strip->Height()) : QRect();
}

QString CWaveFormKel::NameStripText(int number) const {
    const TrackSource* track = Track(number);
    if (track == nullptr) return {};
    const QString name = QString::fromStdString(track->DisplayName());
    const int64_t offset = track->PlacementStart();
    return offset == 0 ? name : name + QStringLiteral("  ") + OffsetText(offset, true);
}

void CWaveFormKel::BeginTrackDrag(Qt::MouseButton button) {
    WaveformEditorState& s = *m_state;
    s.mode = kTrackDrag;
    s.timers[WaveformEditorState::kTrackTimer].start();
    if (button == Qt::LeftButton) setCursor(Qt::ClosedHandCursor);
    ShowOffsetTip();
}

// Beside the pointer while a track is dragged: where the track now starts.
void CWaveFormKel::ShowOffsetTip() {
    const TrackSource* track = Track(m_state->hovered);
    if (track == nullptr) return;
    QToolTip::showText(QCursor::pos(), QStringLiteral("Offset: ") + OffsetText(track->PlacementStart(), false), this);
}

void CWaveFormKel::ShowTrackMenu() {
    WaveformEditorState& s = *m_state;
    const int number = s.hovered;
    if (Track(number) == nullptr) return;
    CSCMenu menu(this);
    menu.AppendMenu(CSCMenu::MF_STRING, kMoveToStart, QStringLiteral("Move to start"));
    menu.AppendMenu(s.timeline.PlayCursor() < 0 ? CSCMenu::MF_GRAYED : CSCMenu::MF_STRING, kMoveToCursor,
                    QStringLiteral("Move to cursor"));
    const int chosen = s.popupChooser ? s.popupChooser(menu) : menu.TrackPopupMenu(QCursor::pos());
    if (chosen == kMoveToStart)
        PlaceTrack(number, 0);
    else if (chosen == kMoveToCursor && s.timeline.PlayCursor() >= 0)
        PlaceTrack(number, s.timeline.PlayCursor());
}

void CWaveFormKel::PlaceTrack(int number, int64_t start) {
    TrackSource* track = Track(number);
    if (track == nullptr) return;
    bool moved;
    {
        std::lock_guard lock(m_state->timeline.Guard());
        moved = track->Move(start - track->PlacementStart());
    }
    if (moved) Refresh();
}
