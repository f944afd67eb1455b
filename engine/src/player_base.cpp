// The player's settings, data callback and starting from stopped (CExtPlayer).
#include "engine/player.h"

#include <algorithm>

#include "engine/src/locked_access.h"
#include "engine/src/player_callback_mark.h"

namespace {

// 16-bit PCM with one or two channels: what the ring plays and the gains know.
bool Playable(const WAVEFORMATEXTENSIBLE& format) {
    const WAVEFORMATEX& basic = format.Format;
    const bool pcm = basic.wFormatTag == WAVE_FORMAT_PCM ||
                     (basic.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.SubFormat == KSDATAFORMAT_SUBTYPE_PCM);
    return pcm && basic.wBitsPerSample == 16 && (basic.nChannels == 1 || basic.nChannels == 2) &&
           basic.nBlockAlign == basic.nChannels * 2 && basic.nSamplesPerSec > 0;
}

}  // namespace

PlayerLevels LevelsFromWaveOutVolume(uint32_t waveOutVolume) {
    const uint32_t left = ((waveOutVolume & 0xFFFF) + 1) * 5000 >> 16;
    const uint32_t right = ((waveOutVolume >> 16) + 1) * 5000 >> 16;
    if (left == 0 && right == 0) return {0, 50};
    if (left >= right) return {left / 50, right * 50 / left};
    return {right / 50, 100 - left * 50 / right};
}

CExtPlayer::CExtPlayer(uint32_t waveOutVolume) {
    const PlayerLevels levels = LevelsFromWaveOutVolume(waveOutVolume);
    volume_ = levels.volume;
    balance_ = levels.balance;
}

uint32_t CExtPlayer::BufferCount() const { return ReadLocked(formatLock_, bufferCount_); }

uint32_t CExtPlayer::BufferSize() const { return ReadLocked(formatLock_, bufferSize_); }

uint32_t CExtPlayer::Volume() const { return ReadLocked(formatLock_, volume_); }

uint32_t CExtPlayer::Balance() const { return ReadLocked(formatLock_, balance_); }

bool CExtPlayer::InsideDataCallback() const { return DataCallbackMark::Inside(this); }

std::optional<uint32_t> CExtPlayer::CallDataCallback(_SOUNDDATAEX_* block) {
    std::lock_guard lock(callbackLock_);
    if (!callback_) return std::nullopt;
    const DataCallbackMark mark(this);
    return callback_(context_, block, 0);
}

int CExtPlayer::SetDataCallback(PlayerDataCallback callback, void* context) {
    std::lock_guard lock(callbackLock_);
    const int32_t state = state_.load();
    if (state == kPlayerPlaying || state == kPlayerPaused) return kPlayerNotStopped;
    if (callback == callback_ && context == context_) return kPlayerOk;
    SoundBlock empty;
    CallDataCallback(empty.get());
    callback_ = callback;
    context_ = context;
    return kPlayerOk;
}

int CExtPlayer::Play() {
    if (InsideDataCallback()) return kPlayerNotStopped;
    {
        std::lock_guard lock(callbackLock_);
        if (!callback_) return kPlayerFailedState;
    }
    std::lock_guard device(deviceLock_);
    switch (state_.load()) {
        case kPlayerPlaying: return kPlayerOk;
        case kPlayerPaused: return Pause();
        case kPlayerFailed: return kPlayerFailedState;
        default: break;
    }
    {
        std::lock_guard lock(formatLock_);
        block_.Clear();
    }
    SetVolume(Volume());
    startTick_ = 0;
    stopStatus_ = 0;  // a new run: the last run's stop no longer applies
    if (OpenDevice() != kPlayerOk) {
        state_ = kPlayerFailed;
        stopStatus_ = kStopFailed;
        return kPlayerDeviceError;
    }
    return StartStream();
}

int CExtPlayer::SetFormat(const WAVEFORMATEXTENSIBLE& format) {
    if (InsideDataCallback()) return kPlayerNotStopped;
    if (state_.load() == kPlayerFailed) Reset();
    if (state_.load() != kPlayerStopped) return kPlayerNotStopped;
    if (!Playable(format)) return kPlayerDeviceError;
    std::lock_guard lock(formatLock_);
    format_ = format;
    block_.Allocate(format.Format.nChannels, bufferSize_ / format.Format.nBlockAlign);
    return kPlayerOk;
}

int CExtPlayer::SetBufferCount(uint32_t count) {
    if (InsideDataCallback() || state_.load() != kPlayerStopped) return kPlayerNotStopped;
    if (count == 0 || count > kMaxBufferCount) return kPlayerDeviceError;
    std::lock_guard lock(formatLock_);
    bufferCount_ = count;
    return kPlayerOk;
}

int CExtPlayer::SetBufferSize(uint32_t bytes) {
    if (InsideDataCallback() || state_.load() != kPlayerStopped) return kPlayerNotStopped;
    if (bytes == 0) return kPlayerDeviceError;
    std::lock_guard lock(formatLock_);
    if (bytes != bufferSize_) {
        bufferSize_ = bytes;
        block_.Allocate(format_.Format.nChannels, bytes / format_.Format.nBlockAlign);
    }
    return kPlayerOk;
}

int CExtPlayer::SetVolume(uint32_t volume) {
    uint32_t balance = 0;
    {
        std::lock_guard lock(formatLock_);
        volume_ = std::min<uint32_t>(volume, 100);
        balance = balance_;
    }
    return SetBalance(balance);
}
