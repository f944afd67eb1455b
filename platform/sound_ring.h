// A looping output ring over SDL2's audio, divided into parts with a notification per part
// (what the player needs). SDL's audio subsystem is initialised while any ring or capture
// device is open and shut down with the last one, so SDL_AUDIODRIVER and the disk driver's
// variables (SDL_DISKAUDIOFILE, SDL_DISKAUDIOFILEIN) are read at each first open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "contracts/wave_format.h"
#include "platform/event_set.h"

// The part of a sound ring locked for writing: one region, or two when it wraps.
struct SoundRingSpan {
    uint8_t* region[2] = {nullptr, nullptr};
    uint32_t bytes[2] = {0, 0};
};

// A position notification: the event is signalled when playback leaves the byte at offset.
// The offset kSoundRingDeviceLost instead signals the event when the device goes away.
inline constexpr uint32_t kSoundRingDeviceLost = 0xFFFFFFFF;
struct SoundRingNotify {
    uint32_t offset;
    size_t event;  // index in the ring's event set
};

struct SoundRingPosition {
    uint32_t playCursor;    // the next byte the device takes
    uint32_t waitingBytes;  // bytes written from the play cursor on that the device has not taken
};

// A looping ring of 16-bit PCM in the program's memory, played on the default output device.
// SDL's audio callback takes the bytes waiting at the play cursor and signals the events of
// the offsets it passes. When nothing is waiting the device plays silence and the cursor
// stays, so a late writer causes a gap, never stale or unwritten sound. Everything behind the
// play cursor up to the end of the waiting bytes is free for the writer; the writer locks a
// span there, writes it and unlocks it, after which it waits to be played.
// All calls are thread-safe; Lock/Unlock are for one writer at a time.
class SoundRing {
public:
    // Opens the default output device for format (16-bit PCM) with a ring of ringBytes, a
    // whole number of frames. The ring starts stopped with nothing waiting. Null on failure,
    // with the reason in error.
    static std::unique_ptr<SoundRing> Open(const WAVEFORMATEX& format, uint32_t ringBytes, std::string& error);
    ~SoundRing();
    SoundRing(const SoundRing&) = delete;
    SoundRing& operator=(const SoundRing&) = delete;

    uint32_t Size() const;
    // Replaces the notification table. Only while stopped; the events must outlive the ring.
    bool SetNotificationPositions(EventSet& events, const std::vector<SoundRingNotify>& table);
    SoundRingPosition GetCurrentPosition() const;
    // Bytes the device has taken since the ring was opened.
    uint64_t PlayedBytes() const;
    // Locks bytes for writing at offset, which must be the end of the waiting bytes; bytes
    // must fit into the free space. False when they do not or a span is already locked.
    bool Lock(uint32_t offset, uint32_t bytes, SoundRingSpan& span);
    // Ends the lock: the span's bytes wait to be played.
    bool Unlock(const SoundRingSpan& span);
    // Starts (or resumes) looping playback; Stop pauses it, keeping what waits.
    // Both are false once the device has gone away.
    bool Play();
    bool Stop();
    bool DeviceLost() const;

private:
    struct Impl;
    explicit SoundRing(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};
