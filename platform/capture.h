// Capture from the default input device over SDL2's audio into queued buffers, in order
// (what the recorder needs). SDL's audio subsystem is shared with the sound ring: see
// platform/sound_ring.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "contracts/wave_format.h"

// A buffer a capture device handed back without completing it.
struct CapturedBuffer {
    uintptr_t user;
    uint32_t bytesRecorded;
};

// Captures PCM from the default input device into queued buffers, in queue order. Each full
// buffer leaves the queue with a completion call on the device's thread; data captured while
// no buffer is queued is lost. The device starts stopped. All calls are thread-safe, but the
// completion must not call back into the device.
class CaptureDevice {
public:
    // user: the value given with the buffer; stamp: grows by one with every completion, so
    // that buffers completed in the same instant still sort in capture order.
    using Completion = std::function<void(uintptr_t user, uint64_t stamp)>;

    // Opens the default input device in format (8-, 16- or 32-bit PCM). Null on failure,
    // with the reason in error.
    static std::unique_ptr<CaptureDevice> Open(const WAVEFORMATEX& format, Completion completion, std::string& error);
    ~CaptureDevice();
    CaptureDevice(const CaptureDevice&) = delete;
    CaptureDevice& operator=(const CaptureDevice&) = delete;

    // Queues a buffer of bytes (not 0) at the end of the queue.
    bool AddBuffer(uintptr_t user, uint8_t* data, uint32_t bytes);
    // Starts or resumes capturing; Stop pauses it, keeping the queue. Both are false once
    // the device has gone away.
    bool Start();
    bool Stop();
    // Stops and hands back every queued buffer, the partly filled one with its byte count,
    // without completion calls.
    std::vector<CapturedBuffer> Reset();

private:
    struct Impl;
    explicit CaptureDevice(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};
