// The microphone (CExtMicro): settings, starting, pausing and stopping the capture.
#include "engine/recorder.h"

#include "engine/src/locked_access.h"
#include "engine/src/player_callback_mark.h"
#include "platform/capture.h"

CExtMicro::CExtMicro() = default;

CExtMicro::~CExtMicro() {
    std::lock_guard lock(controlLock_);
    const int32_t state = state_.load();
    if (state == kMicroRecording || state == kMicroPaused) StopCapture(kMicroStopped);
}

bool CExtMicro::InsideDataCallback() const { return DataCallbackMark::Inside(this); }

int CExtMicro::Start() {
    if (InsideDataCallback()) return 0;
    std::lock_guard lock(controlLock_);
    int result = TryStart();
    if (result == kTryCannotStartNow) {
        const int32_t state = state_.load();
        if (state == kMicroRecording || state == kMicroPaused) StopCapture(kMicroStopped);
        state_ = kMicroStopped;
        result = TryStart();
    }
    return result == kTryStarted ? 1 : 0;
}

int CExtMicro::TryStart() {
    {
        std::lock_guard lock(callbackLock_);
        if (!callback_) return kTryCannotStartNow;
    }
    switch (state_.load()) {
        case kMicroRecording: return kTryStarted;
        case kMicroPaused:
            if (!device_->Start()) return kTryDeviceError;
            state_ = kMicroRecording;
            return kTryStarted;
        case kMicroFailed: return kTryCannotStartNow;
        default: break;
    }
    captureEvent_.ResetAll();
    if (!OpenDevice()) return kTryDeviceError;
    worker_ = std::thread(&CExtMicro::Worker, this);
    state_ = kMicroRecording;
    if (!device_->Start()) {
        deviceError_ = "the input device went away";
        StopCapture(kMicroFailed);
        return kTryDeviceError;
    }
    return kTryStarted;
}

// Opens the default input in the capture format, stopped, with the first buffer-count slots
// allocated and queued. On failure nothing stays open and the state is failed.
bool CExtMicro::OpenDevice() {
    device_ = CaptureDevice::Open(
        format_, [this](uintptr_t slot, uint64_t stamp) { OnBufferDone(slot, stamp); }, deviceError_);
    bool queued = device_ && device_->Stop();
    for (uint32_t i = 0; queued && i < bufferCount_; ++i) {
        Slot& slot = slots_[i];
        slot.data = std::make_unique<uint8_t[]>(bufferSize_);
        slot.status = kSlotQueued;
        queued = device_->AddBuffer(i, slot.data.get(), bufferSize_);
    }
    if (queued) return true;
    if (device_) deviceError_ = bufferSize_ == 0 ? "capture buffers of no bytes" : "the input device went away";
    StopCapture(kMicroFailed);
    return false;
}

// Stops the device so that no buffer completes any more, sets the final state, lets the
// worker deliver the buffers already filled and end, then closes the device (the partly
// filled buffer it hands back is dropped) and frees the buffers.
void CExtMicro::StopCapture(int32_t finalState) {
    if (device_) device_->Stop();
    state_ = finalState;
    captureEvent_.Set(0);
    if (worker_.joinable()) worker_.join();
    if (device_) {
        device_->Reset();  // takes back the queued buffers, the partly filled one undelivered
        device_.reset();
    }
    for (Slot& slot : slots_) {
        slot.data.reset();
        slot.status = kSlotFree;
    }
}

std::string CExtMicro::DeviceError() const { return ReadLocked(controlLock_, deviceError_); }

int CExtMicro::Stop() {
    if (InsideDataCallback()) return 0;
    std::lock_guard lock(controlLock_);
    const int32_t state = state_.load();
    if (state == kMicroFailed) return 0;
    if (state != kMicroStopped) StopCapture(kMicroStopped);
    return 1;
}

int CExtMicro::Close() {
    if (InsideDataCallback()) return 0;
    std::lock_guard lock(controlLock_);
    const int32_t state = state_.load();
    if (state == kMicroRecording || state == kMicroPaused) StopCapture(kMicroStopped);
    return 1;
}

int CExtMicro::Pause() {
    if (InsideDataCallback()) return 0;
    std::lock_guard lock(controlLock_);
    switch (state_.load()) {
        case kMicroRecording:
            if (!device_->Stop()) return 0;
            state_ = kMicroPaused;
            return 1;
        case kMicroPaused:
            if (!device_->Start()) return 0;
            state_ = kMicroRecording;
            return 1;
        case kMicroFailed: return 0;
        default: return 1;
    }
}

const WAVEFORMATEX* CExtMicro::GetFormat() {
    std::lock_guard lock(controlLock_);
    reported_ = format_;
    reported_.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    reported_.cbSize = 0;
    return &reported_;
}

template <typename T>
int CExtMicro::SetWhileStopped(T& field, const T& value) {
    if (InsideDataCallback()) return 0;
    std::lock_guard lock(controlLock_);
    if (state_.load() != kMicroStopped) return 0;
    field = value;
    return 1;
}

int CExtMicro::SetFormat(const WAVEFORMATEX& format) {
    return SetWhileStopped(format_, WAVEFORMATEX{WAVE_FORMAT_PCM, format.nChannels, format.nSamplesPerSec,
                                                 format.nAvgBytesPerSec, format.nBlockAlign, format.wBitsPerSample, 0});
}

uint32_t CExtMicro::GetBufferCount() const { return ReadLocked(controlLock_, bufferCount_); }

int CExtMicro::SetBufferCount(uint32_t count) { return count > kMaxBuffers ? 0 : SetWhileStopped(bufferCount_, count); }

uint32_t CExtMicro::GetBufferSize() const { return ReadLocked(controlLock_, bufferSize_); }

int CExtMicro::SetBufferSize(uint32_t bytes) { return SetWhileStopped(bufferSize_, bytes); }

int CExtMicro::SetDataCallback(MicroDataCallback callback, void* context) {
    if (InsideDataCallback()) return 0;
    std::lock_guard control(controlLock_);
    std::lock_guard lock(callbackLock_);
    const int32_t state = state_.load();
    if (state == kMicroRecording || state == kMicroPaused) return 0;
    if (callback == callback_ && context == context_) return 1;
    if (callback_) {
        const DataCallbackMark mark(this);
        callback_(context_, nullptr, 0);
    }
    callback_ = callback;
    context_ = context;
    return 1;
}
