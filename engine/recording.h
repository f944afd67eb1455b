// Recording a take: the captured PCM in a temporary file (RecorderTake), the session that
// fills it from a microphone (RecordingSession), and encoding a take into a file.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "contracts/wave_format.h"
#include "engine/recorder.h"
#include "engine/temp_files.h"
#include "platform/file_placement.h"

// The take: the captured PCM in a temporary file "qorec<n>.tmp" (mode 0600, created new),
// deleted when the take is discarded or the owner goes.
// Threads: the capture worker appends, a playback feeder reads, the driving thread creates,
// rewinds, reads (to save) and discards; the owner stops the engines before it creates or
// discards. mutex_ guards file_, size_ and readPosition_, so an append never meets a rewind
// or a read half-way. Reads use their own position (pread), never the descriptor's offset
// that appends move.
class RecorderTake {
public:
    enum class AppendResult { Appended, NoTake, Failed };

    RecorderTake() = default;
    RecorderTake(const RecorderTake&) = delete;
    RecorderTake& operator=(const RecorderTake&) = delete;

    // Discards any take and creates an empty one; false when no file could be created.
    bool Create();
    // Closes and deletes the file.
    void Discard();
    bool Exists() const;
    std::string Path() const;
    uint64_t Size() const;

    // Adds the bytes at the end. A write that fails (a full disk) is cut back, so the take
    // always ends on the last complete append.
    AppendResult Append(const void* data, uint32_t bytes);
    // Reads start again from the beginning.
    void Rewind();
    // Reads up to bytes from the read position and moves it on; 0 at the end, nothing on a
    // read error or without a take.
    std::optional<uint32_t> Read(void* buffer, uint32_t bytes);

private:
    mutable std::mutex mutex_;
    TempFile file_;
    uint64_t size_ = 0;
    uint64_t readPosition_ = 0;
};

// Receives one block of the take: (data, frames, bytes); false stops the pass.
using TakeBlockSink = std::function<bool(const void* data, uint32_t frames, uint32_t bytes)>;
inline constexpr uint32_t kTakeBlockBytes = 16384;
// Passes the take from its start in blocks of kTakeBlockBytes, (size / kTakeBlockBytes) + 1
// of them, so the last one is short or empty. False on a read error or when the sink fails.
bool PassTakeBlocks(RecorderTake& take, uint32_t blockAlign, const TakeBlockSink& sink);

// Encodes the take, PCM in format, into path through the provider's coder, which chooses the
// type by the path's extension. The file is written under a hidden name beside path and put
// in place only when complete (replacing a file there only with replace), so a failure
// leaves no partial file and never destroys a file being replaced.
PlaceOutcome EncodeTake(RecorderTake& take, const std::string& path, const WAVEFORMATEXTENSIBLE& format, bool replace);

// What the owner of a recording session hears of it. Called on the microphone's worker, so
// an implementation only posts (queues a call, feeds a meter) and never waits for the thread
// that drives the session.
class IRecordingObserver {
public:
    virtual ~IRecordingObserver() = default;
    // A captured buffer went into the take: the bytes appended.
    virtual void OnTakeAppended(const void* data, uint32_t bytes) = 0;
    // The first append that failed; the take keeps what was written before it and takes no
    // more buffers in this recording.
    virtual void OnTakeWriteFailed() = 0;
};

// A recording into a take: the microphone's set-up (five buffers of 16384 bytes of the working
// format, 44100 Hz 16-bit stereo), start and stop, and every captured buffer appended to the
// take, cut at the wanted length when there is one. The microphone asks for its settings
// through its client: the session is that client, or the client forwards the request to it.
// Threads: one driving thread calls every member but the progress getters, which any thread
// may call; the capture callback runs on the microphone's worker. mutex_ guards wanted_,
// frames_, failed_ and lastBuffer_; arrived_ signals each change of frames_ or failed_.
// callbackSet_ belongs to the driving thread.
class RecordingSession : public IMicroClient {
public:
    static constexpr uint32_t kBufferCount = 5;
    static constexpr uint32_t kBufferBytes = 16384;
    static const WAVEFORMATEXTENSIBLE& Format() { return kWorkingFormat; }

    // The observer may be null.
    RecordingSession(IMicro& micro, RecorderTake& take, IRecordingObserver* observer = nullptr);
    // Stops the capture and takes the session's callback out of the microphone.
    ~RecordingSession() override;
    RecordingSession(const RecordingSession&) = delete;
    RecordingSession& operator=(const RecordingSession&) = delete;

    // Buffers, format and the capture callback of the microphone.
    void OnMicroSettingsRequest() override;

    // Starts a recording from an empty count: asks the microphone for its settings and starts
    // it. False, with the microphone closed, when it cannot start.
    bool Start(std::optional<uint64_t> wantedFrames = std::nullopt);
    // Returns once the microphone has delivered its last buffer: no append follows.
    void Stop();

    // The frames appended in this recording.
    uint64_t Frames() const;
    bool WriteFailed() const;
    // The wanted length is in the take (never without a wanted length).
    bool Complete() const;
    // No buffer has come for longer than limit since the start or the last buffer.
    bool StalledFor(std::chrono::milliseconds limit) const;
    // Waits until the next buffer is appended or an append fails, at most timeout.
    void WaitForBuffer(std::chrono::milliseconds timeout);

private:
    using Clock = std::chrono::steady_clock;

    static int Capture(void* context, const void* data, uint32_t bytes);
    int Append(const void* data, uint32_t bytes);
    bool Reached() const { return wanted_ && frames_ >= *wanted_; }

    IMicro& micro_;
    RecorderTake& take_;
    IRecordingObserver* const observer_;
    bool callbackSet_ = false;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::optional<uint64_t> wanted_;
    uint64_t frames_ = 0;
    bool failed_ = false;
    Clock::time_point lastBuffer_ = Clock::now();
};
