// The capture device: SDL's capture callback copies what it receives into the queued
// buffers in order and completes each one as it fills.
#include <algorithm>
#include <cstring>
#include <deque>

#include "platform/capture.h"
#include "platform/src/sound_ring_sdl.h"

namespace {

struct QueuedBuffer {
    uintptr_t user;
    uint8_t* data;
    uint32_t bytes;
    uint32_t filled;
};

}  // namespace

struct CaptureDevice::Impl {
    // Called on SDL's device thread with every captured device buffer.
    static void Callback(void* userdata, Uint8* stream, int length) {
        static_cast<Impl*>(userdata)->Receive(stream, static_cast<uint32_t>(length));
    }
    void Receive(const uint8_t* in, uint32_t length);

    Completion completion;
    // mutex guards queue and stamp; the callback holds it while it fills and completes
    // buffers (so completions must not call back into the device). Lock order: SDL's device
    // lock, then mutex; the device is never paused or resumed under mutex.
    std::mutex mutex;
    std::deque<QueuedBuffer> queue;
    uint64_t stamp = 0;
    // Last, so that it closes (and SDL's thread ends) before the queue goes.
    SdlAudioDevice device;
};

void CaptureDevice::Impl::Receive(const uint8_t* in, uint32_t length) {
    std::lock_guard lock(mutex);
    while (length > 0 && !queue.empty()) {
        QueuedBuffer& buffer = queue.front();
        const uint32_t count = std::min(length, buffer.bytes - buffer.filled);
        std::memcpy(buffer.data + buffer.filled, in, count);
        buffer.filled += count;
        in += count;
        length -= count;
        if (buffer.filled == buffer.bytes) {
            const uintptr_t user = buffer.user;
            queue.pop_front();
            completion(user, ++stamp);
        }
    }
}

CaptureDevice::CaptureDevice(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

CaptureDevice::~CaptureDevice() = default;

std::unique_ptr<CaptureDevice> CaptureDevice::Open(const WAVEFORMATEX& format, Completion completion,
                                                   std::string& error) {
    auto impl = std::make_unique<Impl>();
    impl->completion = std::move(completion);
    const uint16_t frames = SdlDeviceFrames(format.nSamplesPerSec, 4096);
    if (!impl->device.Open(true, format, frames, &Impl::Callback, impl.get(), error)) return nullptr;
    return std::unique_ptr<CaptureDevice>(new CaptureDevice(std::move(impl)));
}

bool CaptureDevice::AddBuffer(uintptr_t user, uint8_t* data, uint32_t bytes) {
    if (!data || bytes == 0) return false;
    std::lock_guard lock(impl_->mutex);
    impl_->queue.push_back({user, data, bytes, 0});
    return true;
}

bool CaptureDevice::Start() {
    if (impl_->device.Lost()) return false;
    impl_->device.Pause(false);
    return true;
}

bool CaptureDevice::Stop() {
    impl_->device.Pause(true);
    return !impl_->device.Lost();
}

std::vector<CapturedBuffer> CaptureDevice::Reset() {
    impl_->device.Pause(true);
    std::lock_guard lock(impl_->mutex);
    std::vector<CapturedBuffer> returned;
    returned.reserve(impl_->queue.size());
    for (const QueuedBuffer& buffer : impl_->queue) returned.push_back({buffer.user, buffer.filled});
    impl_->queue.clear();
    return returned;
}
