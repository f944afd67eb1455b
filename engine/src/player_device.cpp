// The player on a sound ring (CExtPlayerDX): opening and closing the device, starting,
// stopping and pausing the stream, the gains.
#include "engine/player.h"

#include <algorithm>
#include "engine/src/locked_access.h"
#include "platform/sound_ring.h"

CExtPlayerDX::CExtPlayerDX() : CExtPlayer(kSystemWaveOutVolume) {}

CExtPlayerDX::~CExtPlayerDX() {
    if (state_.load() == kPlayerPlaying || state_.load() == kPlayerPaused) StopStream(kStopRequested);
    EndFeeder();
    ReleaseDevice();
}

float CExtPlayerDX::LeftGain() const { return ReadLocked(formatLock_, leftGain_); }

float CExtPlayerDX::RightGain() const { return ReadLocked(formatLock_, rightGain_); }

int CExtPlayerDX::SetBalance(uint32_t balance) {
    std::lock_guard lock(formatLock_);
    balance_ = std::min<uint32_t>(balance, 100);
    if (state_.load() == kPlayerFailed) return kPlayerFailedState;
    const int b = static_cast<int>(balance_);
    const auto volume = static_cast<float>(volume_);
    leftGain_ = static_cast<float>(50 - std::max(0, b - 50)) * volume / 5000.0f;
    rightGain_ = static_cast<float>(50 - std::max(0, 50 - b)) * volume / 5000.0f;
    return kPlayerOk;
}

int CExtPlayerDX::OpenDevice() {
    if (InsideDataCallback()) return kPlayerNotStopped;
    std::lock_guard lock(deviceLock_);
    if (state_.load() != kPlayerStopped) return kPlayerNotStopped;
    uint32_t count = 0;
    uint32_t partBytes = 0;
    WAVEFORMATEX format{};
    {
        std::lock_guard formatLock(formatLock_);
        count = bufferCount_;
        partBytes = bufferSize_;
        format = format_.Format;
    }
    // Parts of whole frames, and a ring that its 32-bit cursors can address.
    if (partBytes % format.nBlockAlign != 0 || uint64_t{partBytes} * count > 0x40000000)
        return DeviceFailed("the ring's parts must be whole frames and the ring at most 1 GiB");
    std::string error;
    ring_ = SoundRing::Open(format, partBytes * count, error);
    if (!ring_) return DeviceFailed(error);
    ringSize_ = partBytes * count;
    // One event per part at its last byte, and one for a device that goes away.
    std::vector<SoundRingNotify> table;
    for (uint32_t part = 0; part < count; ++part)
        table.push_back({ringSize_ / count * (part + 1) - 1, kFirstPartEvent + part});
    table.push_back({kSoundRingDeviceLost, kDeviceLostEvent});
    if (!ring_->SetNotificationPositions(events_, table)) {
        ReleaseDevice();
        return DeviceFailed("the ring refused its notifications");
    }
    deviceError_.clear();
    state_ = kPlayerPlaying;
    return kPlayerOk;
}

// A failure of the device: the player is failed. The device stays until Reset or
// CloseDevice, because a feeder thread may still be using it.
int CExtPlayerDX::DeviceFailed(const std::string& reason) {
    std::lock_guard lock(deviceLock_);
    deviceError_ = reason;
    state_ = kPlayerFailed;
    stopStatus_ = kStopFailed;
    return kPlayerDeviceError;
}

std::string CExtPlayerDX::DeviceError() const { return ReadLocked(deviceLock_, deviceError_); }

void CExtPlayerDX::ReleaseDevice() {
    std::lock_guard lock(deviceLock_);
    ring_.reset();
}

int CExtPlayerDX::StartStream() {
    std::lock_guard lock(deviceLock_);
    if (feeder_.joinable()) feeder_.join();  // the last run's feeder, which stopped itself
    events_.ResetAll();
    blockReadPosition_ = 0;
    writeCursor_ = 0;
    sourceEnded_ = false;
    endKnown_ = false;
    writtenBytes_ = 0;
    endBytes_ = 0;
    feeder_ = std::thread(&CExtPlayerDX::FeederThread, this);
    if (!Fill() || !ring_->Play()) return DeviceFailed(kOutputDeviceGone);
    return kPlayerOk;
}

// Asks the feeder thread to end and waits for it; never called on the feeder itself.
void CExtPlayerDX::EndFeeder() {
    events_.Set(kStopEvent);
    if (feeder_.joinable()) feeder_.join();
}

int CExtPlayerDX::Stop(int32_t mode) {
    if (InsideDataCallback()) return kPlayerNotStopped;
    if (mode != kStopRequested && mode != kStopDataEnded) return kPlayerDeviceError;
    return StopStream(mode);
}

int CExtPlayerDX::StopStream(int32_t mode) {
    const int32_t state = state_.load();
    if (state == kPlayerFailed) return kPlayerFailedState;
    if (state == kPlayerStopped) return kPlayerOk;
    if (!OnFeederThread()) EndFeeder();  // sets the stop event and waits for the feeder
    {
        std::lock_guard lock(deviceLock_);
        if (ring_) ring_->Stop();
        stopStatus_ = mode;
        state_ = kPlayerStopped;
        ReleaseDevice();
    }
    if (mode == kStopDataEnded) SendEndNotice();
    return kPlayerOk;
}

int CExtPlayerDX::Pause() {
    if (InsideDataCallback()) return kPlayerNotStopped;
    std::lock_guard lock(deviceLock_);
    switch (state_.load()) {
        case kPlayerPlaying:
            if (!ring_ || !ring_->Stop()) return DeviceFailed(kOutputDeviceGone);
            state_ = kPlayerPaused;
            return kPlayerOk;
        case kPlayerPaused:
            if (!ring_ || !ring_->Play()) return DeviceFailed(kOutputDeviceGone);
            state_ = kPlayerPlaying;
            return kPlayerOk;
        case kPlayerFailed: return kPlayerFailedState;
        default: return kPlayerOk;
    }
}

int CExtPlayerDX::Reset() {
    if (InsideDataCallback()) return kPlayerNotStopped;
    if (state_.load() != kPlayerStopped) {
        CloseDevice();
        state_ = kPlayerStopped;
    }
    stopStatus_ = 0;
    return kPlayerOk;
}

int CExtPlayerDX::CloseDevice() {
    if (InsideDataCallback()) return kPlayerNotStopped;
    const int32_t state = state_.load();
    if (state == kPlayerPlaying || state == kPlayerPaused) StopStream(kStopRequested);
    EndFeeder();  // a failed start leaves its feeder waiting
    ReleaseDevice();
    return kPlayerOk;
}
