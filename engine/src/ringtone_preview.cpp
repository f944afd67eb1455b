// The ringtone preview's controls, run on the driving thread: start, pause, stop and the
// play cursor.
#include "engine/preview.h"

#include <algorithm>

#include "audiosvc/audiosvc.h"
#include "engine/player.h"
#include "engine/render_chain.h"

RingtonePreview::RingtonePreview(RingtoneTimeline& timeline, IPlayer& player, IPreviewClient* client)
    : timeline_(timeline), player_(player), face_(player), client_(client) {
    timeline_.SetStopPlayback([this] { Stop(); });
}

RingtonePreview::~RingtonePreview() {
    Stop();
    timeline_.SetStopPlayback(nullptr);
    // The player outlives the preview: it must not call a callback whose context is gone.
    if (registered_.load()) player_.SetDataCallback(nullptr, nullptr);
}

bool RingtonePreview::Start() {
    // Resuming plays from the cursor, which is where the listener was when pausing; the ring
    // still holds the blocks after it, so the player is stopped (by StartAtCursor) rather
    // than resumed.
    paused_ = false;
    return StartAtCursor();
}

void RingtonePreview::TogglePause() {
    if (!running_ || !playing_.load()) return;
    if (paused_) {
        Start();
        return;
    }
    if (player_.Pause()) paused_ = true;
}

bool RingtonePreview::StartAtCursor() {
    const int32_t state = player_.GetState();
    if (state == kPlayerPlaying || state == kPlayerPaused) player_.Stop();
    paused_ = false;
    if (timeline_.SetUpPlayback() != EFF_OK) {
        Stop();  // a run that was going ends here
        timeline_.CloseChain();
        return false;
    }
    running_ = true;
    if (!ConfigurePlayer()) return Failed();
    timeline_.PositionQueue().Clear();
    ChoosePlayRange();
    playing_ = true;
    if (!player_.Start()) return Failed();
    return true;
}

// The preview's ring: the mix format in five parts of one block each, fed by the callback.
bool RingtonePreview::ConfigurePlayer() {
    player_.RequestSettings();
    const WAVEFORMATEXTENSIBLE& format = RingtoneTimeline::MixFormat();
    if (!player_.SetFormat(format) || !player_.SetBufferCount(kBufferCount) ||
        !player_.SetBufferSize(format.Format.nBlockAlign * kBlockFrames))
        return false;
    if (!player_.SetDataCallback(&RingtonePreview::Callback, this)) return false;
    registered_ = true;
    return true;
}

// The marked range, else the whole project; a cursor outside it (or none) starts at its
// beginning. The render position starts at the cursor.
void RingtonePreview::ChoosePlayRange() {
    std::lock_guard lock(timeline_.Guard());
    const int64_t startMarker = timeline_.StartMarker();
    const int64_t endMarker = timeline_.EndMarker();
    const bool marked = startMarker != endMarker;
    const int64_t start = marked ? std::min(startMarker, endMarker) : 0;
    const int64_t end = marked ? std::max(startMarker, endMarker) : timeline_.ProjectLength();
    int64_t cursor = timeline_.PlayCursor();
    if (cursor < start || cursor >= end) cursor = start;
    timeline_.SetPlayRange(start, end);
    timeline_.SetPlayCursor(cursor);
    timeline_.SetRenderPosition(cursor);
    const uint32_t rate = RingtoneTimeline::MixFormat().Format.nSamplesPerSec;
    remainingMs_ = static_cast<uint32_t>(std::max<int64_t>(end - cursor, 0) * 1000 / rate);
}

bool RingtonePreview::Failed() {
    Stop();
    AfxSCMessageBox(kCantStartText, MB_OK | MB_ICONERROR, nullptr, nullptr);
    return false;
}

void RingtonePreview::Stop() {
    if (!running_) return;
    running_ = false;
    paused_ = false;
    // Whoever clears the playing mark, this or the end notice, tells the client.
    const bool wasPlaying = playing_.exchange(false);
    player_.Stop();
    if (wasPlaying) {
        bool returned = false;
        {
            std::lock_guard lock(timeline_.Guard());
            if (timeline_.StartMarker() != timeline_.EndMarker()) {
                timeline_.SetPlayCursor(std::min(timeline_.StartMarker(), timeline_.EndMarker()));
                returned = true;
            }
        }
        if (client_ && returned) client_->OnPreviewPositionChanged();
        if (client_) client_->OnPreviewStopped();
    }
    player_.Close();
    timeline_.CloseChain();
}

bool RingtonePreview::UpdateCursor() {
    if (paused_) return false;
    const std::optional<PlayPositionEntry> heard = timeline_.PositionQueue().TakeOldest();
    if (!heard) return false;
    timeline_.SetPlayCursor(heard->position);
    return true;
}
