// "morvane-cli record": captures from the default input device into a take in the recorder's
// format, then encodes the take through the provider into place, its type chosen by the
// file's extension.
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/src/commands.h"
#include "cli/src/interrupt.h"
#include "cli/src/output_file.h"
#include "cli/src/record_options.h"
#include "cli/src/time_value.h"
#include "engine/provider_handles.h"
#include "engine/recorder.h"
#include "engine/recording.h"
#include "platform/file_placement.h"

namespace {

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

// Records the wanted frames into the take, until an interrupt keeps what was captured.
// Returns the exit code of a failure (its message printed), or nothing when frames are in
// the take.
std::optional<int> Capture(RecorderTake& take, uint64_t wanted, const std::string& output) {
    CExtMicro engine;
    XMicro micro(engine);
    RecordingSession session(micro, take);
    micro.SetClient(&session);
    if (!session.Start(wanted)) {
        PrintError(kCantCaptureText);
        if (!engine.DeviceError().empty()) PrintError(engine.DeviceError());
        return kExitFailed;
    }
    while (!session.Complete() && !session.WriteFailed() && !InterruptRequested() && !session.StalledFor(kStallLimit))
        session.WaitForBuffer(kPollTime);
    session.Stop();
    if (session.WriteFailed()) {
        PrintError(std::string(kCantCreateFileText) + ": writing " + output + " failed");
        return kExitFailed;
    }
    if (!session.Complete() && !InterruptRequested()) {
        PrintError("the input device stopped delivering sound");
        return kExitFailed;
    }
    if (session.Frames() == 0) return FailureExit();  // interrupted before the first buffer
    return std::nullopt;
}

}  // namespace

int RunRecord(const RecordOptions& options) {
    if (!CheckTarget(options.output, options.force)) return kExitFailed;
    const std::string extension = Extension(options.output);
    if (extension.empty()) {
        PrintError(std::string(kCantCreateFileText) + ": " + options.output + " has no extension to name its type");
        return kExitFailed;
    }
    // The take is kept beside the other temporary files and encoded into place when complete.
    RecorderTake take;
    if (!take.Create()) {
        PrintError(std::string(kCantCreateFileText) + ": no temporary file");
        return kExitFailed;
    }
    if (!ProviderCanWrite(extension, RecordingSession::Format())) {
        PrintError(std::string(kCantCreateFileText) + ": " + options.output);
        return kExitFailed;
    }
    if (const std::optional<int> failed = Capture(take, static_cast<uint64_t>(options.frames), options.output))
        return *failed;

    // Interrupting ends the recording; what was captured is kept.
    const PlaceOutcome placed = EncodeTake(take, options.output, RecordingSession::Format(), options.force);
    if (placed.result == PlaceResult::Exists) {
        PrintError(std::string(kCantSaveText) + ": " + options.output + " exists (use --force to replace it)");
        return kExitFailed;
    }
    if (!placed) {
        PrintError(std::string(kCantSaveText) + ": " + placed.error);
        return kExitFailed;
    }
    const uint64_t recorded = take.Size() / RecordingSession::Format().Format.nBlockAlign;
    std::printf("%s: %s\n", options.output.c_str(), FramesText(static_cast<int64_t>(recorded)).c_str());
    return kExitOk;
}
