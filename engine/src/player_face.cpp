// XPlayer: the clients' face of the player.
#include "engine/player.h"

int XPlayer::Start() {
    int result = player_.Play();
    if (result == kPlayerFailedState) {
        player_.Reset();
        result = player_.Play();
    }
    return result == kPlayerOk ? 1 : 0;
}

int XPlayer::Stop() { return player_.Stop(kStopRequested) == kPlayerOk ? 1 : 0; }

int XPlayer::Pause() { return player_.Pause() == kPlayerOk ? 1 : 0; }

const WAVEFORMATEXTENSIBLE* XPlayer::GetFormat() { return &player_.Format(); }

int XPlayer::SetFormat(const WAVEFORMATEXTENSIBLE& format) { return player_.SetFormat(format) == kPlayerOk ? 1 : 0; }

uint32_t XPlayer::GetBufferCount() { return player_.BufferCount(); }

int XPlayer::SetBufferCount(uint32_t count) { return player_.SetBufferCount(count) == kPlayerOk ? 1 : 0; }

uint32_t XPlayer::GetBufferSize() { return player_.BufferSize(); }

int XPlayer::SetBufferSize(uint32_t bytes) { return player_.SetBufferSize(bytes) == kPlayerOk ? 1 : 0; }

int XPlayer::SetDataCallback(PlayerDataCallback callback, void* context) {
    return player_.SetDataCallback(callback, context) == kPlayerOk ? 1 : 0;
}

uint32_t XPlayer::GetPositionRange() { return 1000; }

// The position is only reported; the player has nothing to do with it.
int XPlayer::SetPosition(uint32_t /*position*/) { return 1; }

int XPlayer::RequestSettings() {
    if (client_) client_->OnPlayerSettingsRequest();
    return 1;
}

int XPlayer::Close() {
    player_.Stop(kStopRequested);
    return 1;
}

int XPlayer::IsRepeat() { return repeat_.load(); }

int32_t XPlayer::GetState() { return player_.State(); }
