// The sound ring: a looping buffer of 16-bit PCM in our memory that SDL's audio callback
// plays from, signalling the notification events of the offsets it passes.
#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/event_set.h"
#include "platform/sound_ring.h"
#include "platform/src/sound_ring_sdl.h"

struct SoundRing::Impl {
    // Called on SDL's device thread for every device buffer.
    static void Callback(void* userdata, Uint8* stream, int length) {
        static_cast<Impl*>(userdata)->Take(stream, static_cast<uint32_t>(length));
    }
    void Take(uint8_t* out, uint32_t length);
    void SignalLost();
    uint32_t WriteOffset() const { return static_cast<uint32_t>((playCursor + waiting) % ring.size()); }

    // mutex guards ring's waiting and locked bytes and every field below up to lost; the
    // callback holds it while it takes bytes. Lock order: SDL's device lock, then mutex; so
    // the device is never paused or resumed under mutex.
    mutable std::mutex mutex;
    std::vector<uint8_t> ring;
    uint32_t playCursor = 0;
    uint32_t waiting = 0;
    uint32_t lockedBytes = 0;
    bool locked = false;
    uint64_t played = 0;
    EventSet* events = nullptr;
    std::vector<SoundRingNotify> table;
    bool lost = false;
    // Last, so that it closes (and SDL's thread ends) before the ring memory goes.
    SdlAudioDevice device;
};

void SoundRing::Impl::SignalLost() {
    lost = true;
    if (!events) return;
    for (const SoundRingNotify& entry : table)
        if (entry.offset == kSoundRingDeviceLost) events->Set(entry.event);
}

void SoundRing::Impl::Take(uint8_t* out, uint32_t length) {
    std::lock_guard lock(mutex);
    if (!lost && device.Lost()) SignalLost();
    const uint32_t taken = lost ? 0 : std::min(length, waiting);
    const auto size = static_cast<uint32_t>(ring.size());
    const uint32_t first = std::min(taken, size - playCursor);
    std::memcpy(out, ring.data() + playCursor, first);
    std::memcpy(out + first, ring.data(), taken - first);
    std::memset(out + taken, 0, length - taken);  // 16-bit silence
    if (events) {
        for (const SoundRingNotify& entry : table)
            if (entry.offset != kSoundRingDeviceLost && (entry.offset + size - playCursor) % size < taken)
                events->Set(entry.event);
    }
    playCursor = (playCursor + taken) % size;
    waiting -= taken;
    played += taken;
}

SoundRing::SoundRing(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

SoundRing::~SoundRing() = default;

std::unique_ptr<SoundRing> SoundRing::Open(const WAVEFORMATEX& format, uint32_t ringBytes, std::string& error) {
    if (format.wBitsPerSample != 16 || format.nBlockAlign == 0 || ringBytes == 0 ||
        ringBytes % format.nBlockAlign != 0) {
        error = "the ring must hold whole frames of 16-bit PCM";
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->ring.assign(ringBytes, 0);
    // The device buffer is at most an eighth of the ring, so that the writer has time to refill.
    const uint16_t frames = SdlDeviceFrames(format.nSamplesPerSec, ringBytes / format.nBlockAlign / 8);
    if (!impl->device.Open(false, format, frames, &Impl::Callback, impl.get(), error)) return nullptr;
    return std::unique_ptr<SoundRing>(new SoundRing(std::move(impl)));
}

uint32_t SoundRing::Size() const { return static_cast<uint32_t>(impl_->ring.size()); }

bool SoundRing::SetNotificationPositions(EventSet& events, const std::vector<SoundRingNotify>& table) {
    for (const SoundRingNotify& entry : table)
        if ((entry.offset != kSoundRingDeviceLost && entry.offset >= Size()) || entry.event >= events.Count())
            return false;
    std::lock_guard lock(impl_->mutex);
    impl_->events = &events;
    impl_->table = table;
    if (impl_->lost) impl_->SignalLost();
    return true;
}

SoundRingPosition SoundRing::GetCurrentPosition() const {
    std::lock_guard lock(impl_->mutex);
    return {impl_->playCursor, impl_->waiting};
}

uint64_t SoundRing::PlayedBytes() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->played;
}

bool SoundRing::Lock(uint32_t offset, uint32_t bytes, SoundRingSpan& span) {
    std::lock_guard lock(impl_->mutex);
    if (impl_->locked || offset != impl_->WriteOffset() || bytes > Size() - impl_->waiting) return false;
    span.region[0] = impl_->ring.data() + offset;
    span.bytes[0] = std::min(bytes, Size() - offset);
    span.region[1] = impl_->ring.data();
    span.bytes[1] = bytes - span.bytes[0];
    impl_->locked = true;
    impl_->lockedBytes = bytes;
    return true;
}

bool SoundRing::Unlock(const SoundRingSpan& span) {
    std::lock_guard lock(impl_->mutex);
    if (!impl_->locked || span.bytes[0] + span.bytes[1] != impl_->lockedBytes) return false;
    impl_->locked = false;
    impl_->waiting += impl_->lockedBytes;
    return true;
}

bool SoundRing::Play() {
    if (DeviceLost()) return false;
    impl_->device.Pause(false);
    return true;
}

bool SoundRing::Stop() {
    impl_->device.Pause(true);
    return !DeviceLost();
}

bool SoundRing::DeviceLost() const {
    {
        std::lock_guard lock(impl_->mutex);
        if (impl_->lost) return true;
    }
    return impl_->device.Lost();
}
