// The ringtone preview's data callback, run by the player on its feeder thread (the first
// blocks on the thread that starts playback).
#include "engine/preview.h"

uint32_t RingtonePreview::Callback(void* context, _SOUNDDATAEX_* block, uint32_t tag) {
    auto& preview = *static_cast<RingtonePreview*>(context);
    switch (block->capacity) {
        case 0:  // the player lets go of this callback
            preview.registered_ = false;
            return 0;
        case 1:  // the end notice: the ring has played out, or the device went away
            preview.OnEndNotice();
            return 0;
        default: return preview.timeline_.PullPlayback(block, tag, preview.face_);
    }
}

// Only posts: the driving thread may be waiting for this thread in Stop.
void RingtonePreview::OnEndNotice() {
    timeline_.PositionQueue().TrimToNewest();
    if (client_) client_->OnPreviewCursorDue();
    if (playing_.exchange(false) && client_) client_->OnPreviewStopped();
}
