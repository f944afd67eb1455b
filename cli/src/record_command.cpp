// "morvane-cli record": captures from the default input device in the recorder's format and
// writes the take through the provider, its type chosen by the file's extension.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "cli/src/commands.h"
#include "cli/src/interrupt.h"
#include "cli/src/output_file.h"
#include "cli/src/record_options.h"
#include "cli/src/time_value.h"
#include "contracts/provider_api.h"
#include "contracts/wave_format.h"
#include "engine/recorder.h"
#include "engine/temp_files.h"

namespace {

using Clock = std::chrono::steady_clock;

// The recorder's capture: five buffers of 16384 bytes of 44100 Hz stereo 16-bit PCM.
constexpr uint32_t kBufferCount = 5;
constexpr uint32_t kBufferBytes = 16384;
constexpr const WAVEFORMATEXTENSIBLE& kRecordFormat = kWorkingFormat;
constexpr auto kPollTime = std::chrono::milliseconds(50);
// An input that has delivered no buffer for this long has stalled.
constexpr auto kStallLimit = std::chrono::seconds(10);

const char* const kCantCreateFileText = "Can't create file";
const char* const kCantCaptureText = "Can't capture input device.";

// The extension that names the file's type, without its dot; empty when there is none.
std::string Extension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (dot == std::string::npos || dot <= nameStart) return {};
    return path.substr(dot + 1);
}

// An open provider writer, closed (and so finished) once.
class CoderFile {
public:
    explicit CoderFile(uint32_t handle) : handle_(handle) {}
    ~CoderFile() { Close(); }
    CoderFile(const CoderFile&) = delete;
    CoderFile& operator=(const CoderFile&) = delete;

    uint32_t get() const { return handle_; }
    void Close() {
        if (handle_ != 0) QoCoderCloseFile(handle_);
        handle_ = 0;
    }

private:
    uint32_t handle_;
};

// The take: the microphone's buffers appended to the writer up to the wanted length. The
// capture callback runs on the microphone's worker, the only user of the writer while the
// capture runs. mutex_ guards frames_, failed_ and lastBuffer_.
class Take : public IMicroClient {
public:
    Take(IMicro& micro, uint32_t writer, uint64_t wanted) : micro_(micro), writer_(writer), wanted_(wanted) {}
    // The capture ends (delivering the buffers it has filled) and lets go of the callback.
    ~Take() override {
        micro_.Close();
        micro_.SetDataCallback(nullptr, nullptr);
    }
    Take(const Take&) = delete;
    Take& operator=(const Take&) = delete;

    void OnMicroSettingsRequest() override {
        micro_.SetBufferCount(kBufferCount);
        micro_.SetBufferSize(kBufferBytes);
        micro_.SetFormat(kRecordFormat.Format);
        micro_.SetDataCallback(&Take::Capture, this);
    }

    // Waits for the next buffer, at most one poll.
    void Wait() {
        std::unique_lock lock(mutex_);
        const uint64_t frames = frames_;
        arrived_.wait_for(lock, kPollTime, [&] { return frames_ != frames || failed_; });
    }
    bool Complete() const {
        std::lock_guard lock(mutex_);
        return frames_ >= wanted_;
    }
    bool WriteFailed() const {
        std::lock_guard lock(mutex_);
        return failed_;
    }
    bool Stalled() const {
        std::lock_guard lock(mutex_);
        return Clock::now() - lastBuffer_ > kStallLimit;
    }
    uint64_t Frames() const {
        std::lock_guard lock(mutex_);
        return frames_;
    }

private:
    static int Capture(void* context, const void* data, uint32_t bytes) {
        return data ? static_cast<Take*>(context)->Append(data, bytes) : 0;
    }

    // Writes the buffer, cut at the wanted length.
    int Append(const void* data, uint32_t bytes) {
        uint64_t frames = 0;
        {
            std::lock_guard lock(mutex_);
            if (failed_ || frames_ >= wanted_) return 0;
            frames = std::min<uint64_t>(bytes / kRecordFormat.Format.nBlockAlign, wanted_ - frames_);
        }
        const auto count = static_cast<uint32_t>(frames);
        const bool written =
            QoCoderAddFileData(writer_, count, data, count * kRecordFormat.Format.nBlockAlign) != 0;
        {
            std::lock_guard lock(mutex_);
            if (written) frames_ += frames;
            failed_ = !written;
            lastBuffer_ = Clock::now();
        }
        arrived_.notify_one();
        return written ? 1 : 0;
    }

    IMicro& micro_;
    const uint32_t writer_;
    const uint64_t wanted_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    uint64_t frames_ = 0;
    bool failed_ = false;
    Clock::time_point lastBuffer_ = Clock::now();
};

}  // namespace

int RunRecord(const RecordOptions& options) {
    if (!CheckTarget(options.output, options.force)) return kExitFailed;
    const std::string extension = Extension(options.output);
    if (extension.empty()) {
        PrintError(std::string(kCantCreateFileText) + ": " + options.output + " has no extension to name its type");
        return kExitFailed;
    }
    // The take is written beside the other temporary files and put in place when complete.
    TempFile encoded;
    if (!encoded.Create("qorec", extension)) {
        PrintError(std::string(kCantCreateFileText) + ": no temporary file");
        return kExitFailed;
    }
    encoded.CloseHandle();
    const auto total = static_cast<uint64_t>(options.frames);
    CoderFile writer(QoCoderCreateFile(encoded.Path().c_str(), &kRecordFormat, nullptr, 0, &total));
    if (writer.get() == 0) {
        PrintError(std::string(kCantCreateFileText) + ": " + options.output);
        return kExitFailed;
    }

    CExtMicro engine;
    XMicro micro(engine);
    uint64_t recorded = 0;
    {
        Take take(micro, writer.get(), total);
        micro.SetClient(&take);
        if (!micro.RequestSettings() || !micro.Start()) {
            PrintError(kCantCaptureText);
            if (!engine.DeviceError().empty()) PrintError(engine.DeviceError());
            return kExitFailed;
        }
        while (!take.Complete() && !take.WriteFailed() && !InterruptRequested() && !take.Stalled()) take.Wait();
        micro.Stop();
        if (take.WriteFailed()) {
            PrintError(std::string(kCantCreateFileText) + ": writing " + options.output + " failed");
            return kExitFailed;
        }
        if (!take.Complete() && !InterruptRequested()) {
            PrintError("the input device stopped delivering sound");
            return kExitFailed;
        }
        recorded = take.Frames();
        if (recorded == 0) return FailureExit();  // interrupted before the first buffer
    }
    writer.Close();

    // Interrupting ends the recording; what was captured is kept.
    std::string error;
    if (!PlaceOutput(encoded.Path(), options.output, options.force, error, false)) {
        PrintError(std::string(kCantSaveText) + ": " + error);
        return kExitFailed;
    }
    std::printf("%s: %s\n", options.output.c_str(), FramesText(static_cast<int64_t>(recorded)).c_str());
    return kExitOk;
}
