// The player's feeder thread and the fill of the ring from the data callback.
#include "engine/player.h"

#include <pthread.h>

#include <algorithm>
#include <cstring>

#include "audiosvc/audiosvc.h"
#include "platform/clock.h"
#include "platform/sound_ring.h"

namespace {

// The player whose feeder runs on this thread.
thread_local const CExtPlayerDX* feederOf = nullptr;

void Scale(float* samples, uint32_t count, float gain) {
    for (uint32_t i = 0; i < count; ++i) samples[i] *= gain;
}

}  // namespace

bool CExtPlayerDX::OnFeederThread() const { return feederOf == this; }

void CExtPlayerDX::FeederThread() {
    feederOf = this;
    pthread_setname_np(pthread_self(), "morvane-feeder");
    for (;;) {
        const size_t event = events_.WaitAny();  // the lowest signalled: stop, device lost, parts
        if (event == kStopEvent) break;
        if (event == kDeviceLostEvent) {
            FailFromFeeder();
            break;
        }
        events_.Reset(event);
        if (!Fill()) {
            FailFromFeeder();
            break;
        }
        // The data has ended and the device has taken all of it: the rest of the ring is silence.
        if (endKnown_ && ring_->PlayedBytes() >= endBytes_) {
            StopStream(kStopDataEnded);
            break;
        }
    }
}

// The device went away or its ring could not be written: the player ends failed, and the
// client learns it from the end notice.
void CExtPlayerDX::FailFromFeeder() {
    {
        std::lock_guard lock(deviceLock_);
        if (ring_) ring_->Stop();
        DeviceFailed(kOutputDeviceGone);
        ReleaseDevice();
    }
    SendEndNotice();
}

// The feeder sends it after the state has become stopped, when the format may change again.
void CExtPlayerDX::SendEndNotice() {
    uint32_t channels = 0;
    {
        std::lock_guard lock(formatLock_);
        channels = format_.Format.nChannels;
    }
    SoundBlock notice(channels, 1);
    CallDataCallback(notice.get());
}

// Writes the free span of the ring, from the write cursor to the play cursor: sound from the
// source, then silence once the source has ended. False when the ring refuses the span.
bool CExtPlayerDX::Fill() {
    if (startTick_.load() == 0) startTick_ = std::max<uint32_t>(TickCountMs(), 1);
    // When the cursors meet, the bytes waiting tell a played-out ring (all free) from a full one.
    const uint32_t free = ringSize_ - ring_->GetCurrentPosition().waitingBytes;
    SoundRingSpan span;
    if (!ring_->Lock(writeCursor_, free, span)) return false;
    uint32_t copied = 0;
    for (int k = 0; k < 2; ++k) {
        const uint32_t bytes = Source(span.region[k], span.bytes[k]);
        std::memset(span.region[k] + bytes, 0, span.bytes[k] - bytes);
        copied += bytes;
    }
    if (!ring_->Unlock(span)) return false;
    writeCursor_ = (writeCursor_ + free) % ringSize_;
    if (sourceEnded_ && !endKnown_) {
        endKnown_ = true;
        endBytes_ = writtenBytes_ + copied;
    }
    writtenBytes_ += free;
    return true;
}

// Converts frames of the sample block into the region, pulling new blocks as they are used
// up; returns the bytes written (whole frames), fewer than asked once the source has ended.
uint32_t CExtPlayerDX::Source(uint8_t* region, uint32_t bytes) {
    const uint32_t align = format_.Format.nBlockAlign;
    uint32_t written = 0;
    while (!sourceEnded_ && bytes - written >= align) {
        const _SOUNDDATAEX_& block = *block_;
        if (blockReadPosition_ < block.frames) {
            const uint32_t frames = std::min((bytes - written) / align, block.frames - blockReadPosition_);
            SD2MME(&block, blockReadPosition_, frames, region + written, &format_.Format);
            blockReadPosition_ += frames;
            written += frames * align;
        } else if (!PullBlock()) {
            sourceEnded_ = true;
        }
    }
    return written;
}

// A fresh block from the data callback, with the gains applied. False when the source has
// ended: the callback returned 0, or left no frames or fewer channels than the format's (a
// callback that keeps returning empty blocks would otherwise hold the feeder forever).
bool CExtPlayerDX::PullBlock() {
    std::optional<uint32_t> delivered;
    {
        std::lock_guard lock(callbackLock_);
        {
            std::lock_guard formatLock(formatLock_);
            const uint32_t capacity = block_->capacity;
            block_.Allocate(format_.Format.nChannels, capacity);
        }
        blockReadPosition_ = 0;
        delivered = CallDataCallback(block_.get());
    }
    _SOUNDDATAEX_& block = *block_;
    block.frames = std::min(block.frames, block.capacity);
    if (!delivered || *delivered == 0 || block.frames == 0 || block.channels.size() < format_.Format.nChannels)
        return false;
    ApplyGains();
    return true;
}

// Two channels: channel 0 by the left gain, channel 1 by the right gain. One channel: by the
// volume. Over the block's capacity.
void CExtPlayerDX::ApplyGains() {
    std::lock_guard lock(formatLock_);
    _SOUNDDATAEX_& block = *block_;
    if (format_.Format.nChannels == 2) {
        Scale(block.channels[0], block.capacity, leftGain_);
        Scale(block.channels[1], block.capacity, rightGain_);
    } else {
        Scale(block.channels[0], block.capacity, static_cast<float>(volume_) / 100.0f);
    }
}
