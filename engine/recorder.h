// The recording engine: the microphone captures PCM from the default input device into a set
// of equal buffers and hands each filled buffer, in capture order, to one data callback on its
// worker thread. CExtMicro is the capture object, XMicro its IMicro face for its client.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "contracts/wave_format.h"
#include "platform/capture.h"
#include "platform/event_set.h"

enum MicroState : int32_t {
    kMicroRecording = 0,
    kMicroPaused = 1,
    kMicroStopped = 2,
    kMicroFailed = 3,
};

// Receives one filled buffer; called with (context, null, 0) when the callback is replaced.
// Runs on the worker thread at the highest priority the system grants, so it must never wait
// for the thread that drives the microphone; the microphone refuses Start, Stop, Pause, Close
// and the setters (0) when they are called from inside it.
using MicroDataCallback = int (*)(void* context, const void* data, uint32_t bytes);

// Locks: controlLock_ serialises the driving calls and guards the format, buffer settings,
// device_, the slots' buffers and worker_; these change only while no worker runs, so the
// worker and the device thread use them without it. callbackLock_ guards callback_ and
// context_ and surrounds every call of the callback. A slot's status is an atomic handed over
// between the device thread (queued → filled, with its stamp) and the worker (filled → free
// → queued). The state is an atomic.
class CExtMicro {
public:
    static constexpr uint32_t kMaxBuffers = 100;

    CExtMicro();
    virtual ~CExtMicro();
    CExtMicro(const CExtMicro&) = delete;
    CExtMicro& operator=(const CExtMicro&) = delete;

    // 1 when recording (started, resumed or already), 0 on failure or without a callback.
    int Start();
    // 0 when failed, else 1; a recording or paused capture stops and its device closes. The
    // buffers already filled are delivered first; a partly filled one is not.
    int Stop();
    // Toggles recording and paused; 1 on success or when stopped, 0 when failed or when the
    // device call fails.
    int Pause();
    // The capture format reported with the tag WAVE_FORMAT_EXTENSIBLE and no extra bytes.
    const WAVEFORMATEX* GetFormat();
    // Only while stopped: keeps channels, rate, bytes per second, alignment and bits as PCM.
    int SetFormat(const WAVEFORMATEX& format);
    uint32_t GetBufferCount() const;
    // Only while stopped and count ≤ 100.
    int SetBufferCount(uint32_t count);
    uint32_t GetBufferSize() const;
    // Only while stopped.
    int SetBufferSize(uint32_t bytes);
    // 0 while recording or paused. A different pair: the old callback is first called with
    // (old context, null, 0).
    int SetDataCallback(MicroDataCallback callback, void* context);
    // Stops a recording or paused capture; 1.
    int Close();
    int32_t GetState() const { return state_.load(); }
    // Why the last start failed to open or start the device (SDL's reason), for messages.
    std::string DeviceError() const;

private:
    enum SlotStatus : uint32_t { kSlotFree = 0, kSlotQueued = 1, kSlotFilled = 2 };
    enum TryResult : int { kTryStarted = 0, kTryDeviceError = 1, kTryCannotStartNow = 4 };

    struct Slot {
        std::unique_ptr<uint8_t[]> data;
        std::atomic<uint32_t> status{kSlotFree};
        uint64_t stamp = 0;  // completion stamp, written before status becomes filled
    };

    int TryStart();
    bool OpenDevice();
    void StopCapture(int32_t finalState);
    void OnBufferDone(uintptr_t slot, uint64_t stamp);
    void Worker();
    void Deliver();
    void Requeue();
    bool InsideDataCallback() const;
    // Stores a setting that changes only while stopped: 1, or 0 while capturing or when
    // called from inside the data callback.
    template <typename T>
    int SetWhileStopped(T& field, const T& value);

    std::atomic<int32_t> state_{kMicroStopped};
    EventSet captureEvent_{1};

    mutable std::recursive_mutex controlLock_;
    std::unique_ptr<CaptureDevice> device_;
    std::array<Slot, kMaxBuffers> slots_;
    WAVEFORMATEX format_ = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    WAVEFORMATEX reported_ = {};
    uint32_t bufferCount_ = 5;
    uint32_t bufferSize_ = 44100;
    std::string deviceError_;
    std::thread worker_;

    std::recursive_mutex callbackLock_;
    MicroDataCallback callback_ = nullptr;
    void* context_ = nullptr;
};

class IMicroClient {
public:
    virtual ~IMicroClient() = default;
    // The client (the recorder dialog, through the main window) sets buffers, format and
    // data callback of the microphone.
    virtual void OnMicroSettingsRequest() = 0;
};

// How the recorder dialog drives the microphone.
class IMicro {
public:
    virtual ~IMicro() = default;
    virtual int Start() = 0;
    virtual int Stop() = 0;
    virtual int Pause() = 0;
    virtual const WAVEFORMATEX* GetFormat() = 0;
    virtual int SetFormat(const WAVEFORMATEX& format) = 0;
    virtual uint32_t GetBufferCount() = 0;
    virtual int SetBufferCount(uint32_t count) = 0;
    virtual uint32_t GetBufferSize() = 0;
    virtual int SetBufferSize(uint32_t bytes) = 0;
    virtual int SetDataCallback(MicroDataCallback callback, void* context) = 0;
    virtual int RequestSettings() = 0;
    virtual int Close() = 0;
    virtual int32_t GetState() = 0;
};

// The application's IMicro over its CExtMicro.
class XMicro : public IMicro {
public:
    explicit XMicro(CExtMicro& micro) : micro_(micro) {}

    // The window asked for settings; null for none. Set before the microphone is used.
    void SetClient(IMicroClient* client) { client_ = client; }

    int Start() override { return micro_.Start(); }
    int Stop() override { return micro_.Stop(); }
    int Pause() override { return micro_.Pause(); }
    const WAVEFORMATEX* GetFormat() override { return micro_.GetFormat(); }
    int SetFormat(const WAVEFORMATEX& format) override { return micro_.SetFormat(format); }
    uint32_t GetBufferCount() override { return micro_.GetBufferCount(); }
    int SetBufferCount(uint32_t count) override { return micro_.SetBufferCount(count); }
    uint32_t GetBufferSize() override { return micro_.GetBufferSize(); }
    int SetBufferSize(uint32_t bytes) override { return micro_.SetBufferSize(bytes); }
    int SetDataCallback(MicroDataCallback callback, void* context) override {
        return micro_.SetDataCallback(callback, context);
    }
    int RequestSettings() override {
        if (client_) client_->OnMicroSettingsRequest();
        return 1;
    }
    int Close() override { return micro_.Close(); }
    int32_t GetState() override { return micro_.GetState(); }

private:
    CExtMicro& micro_;
    IMicroClient* client_ = nullptr;
};
