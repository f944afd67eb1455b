// A recording into a take: the microphone's set-up, start and stop, and the capture callback.
#include "engine/recording.h"

#include <algorithm>

#include "engine/recorder.h"
#include "engine/src/locked_access.h"

RecordingSession::RecordingSession(IMicro& micro, RecorderTake& take, IRecordingObserver* observer)
    : micro_(micro), take_(take), observer_(observer) {}

RecordingSession::~RecordingSession() {
    Stop();
    // The microphone outlives the session: it must not keep the session as its context.
    if (callbackSet_) micro_.SetDataCallback(nullptr, nullptr);
}

void RecordingSession::OnMicroSettingsRequest() {
    micro_.SetBufferCount(kBufferCount);
    micro_.SetBufferSize(kBufferBytes);
    micro_.SetFormat(Format().Format);
    if (micro_.SetDataCallback(&RecordingSession::Capture, this) != 0) callbackSet_ = true;
}

bool RecordingSession::Start(std::optional<uint64_t> wantedFrames) {
    {
        std::lock_guard lock(mutex_);
        wanted_ = wantedFrames;
        frames_ = 0;
        failed_ = false;
        lastBuffer_ = Clock::now();
    }
    if (micro_.RequestSettings() && micro_.Start()) return true;
    micro_.Close();
    return false;
}

void RecordingSession::Stop() {
    micro_.Stop();
    micro_.Close();
}

uint64_t RecordingSession::Frames() const { return ReadLocked(mutex_, frames_); }

bool RecordingSession::WriteFailed() const { return ReadLocked(mutex_, failed_); }

bool RecordingSession::Complete() const {
    std::lock_guard lock(mutex_);
    return Reached();
}

bool RecordingSession::StalledFor(std::chrono::milliseconds limit) const {
    std::lock_guard lock(mutex_);
    return Clock::now() - lastBuffer_ > limit;
}

void RecordingSession::WaitForBuffer(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const uint64_t frames = frames_;
    arrived_.wait_for(lock, timeout, [&] { return frames_ != frames || failed_; });
}

int RecordingSession::Capture(void* context, const void* data, uint32_t bytes) {
    // A null buffer: the microphone lets go of the callback.
    return data ? static_cast<RecordingSession*>(context)->Append(data, bytes) : 0;
}

int RecordingSession::Append(const void* data, uint32_t bytes) {
    const uint32_t blockAlign = Format().Format.nBlockAlign;
    uint64_t frames = bytes / blockAlign;
    {
        std::lock_guard lock(mutex_);
        if (failed_ || Reached()) return 0;
        if (wanted_) frames = std::min(frames, *wanted_ - frames_);
    }
    // Outside the lock: the progress getters never wait for the disk.
    const auto appendBytes = static_cast<uint32_t>(frames * blockAlign);
    const RecorderTake::AppendResult result = take_.Append(data, appendBytes);
    {
        std::lock_guard lock(mutex_);
        lastBuffer_ = Clock::now();
        if (result == RecorderTake::AppendResult::Appended) frames_ += frames;
        if (result == RecorderTake::AppendResult::Failed) failed_ = true;
    }
    arrived_.notify_all();
    switch (result) {
        case RecorderTake::AppendResult::Appended:
            if (observer_ != nullptr) observer_->OnTakeAppended(data, appendBytes);
            return 1;
        case RecorderTake::AppendResult::Failed:
            if (observer_ != nullptr) observer_->OnTakeWriteFailed();
            return 0;
        case RecorderTake::AppendResult::NoTake: break;
    }
    return 0;
}
