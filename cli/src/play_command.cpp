// "morvane-cli play": the ringtone preview of the options' range through the default output
// device, until it ends (with --repeat, until interrupted).
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "cli/src/commands.h"
#include "cli/src/console_progress.h"
#include "cli/src/interrupt.h"
#include "cli/src/make_options.h"
#include "cli/src/ringtone_project.h"
#include "engine/player.h"
#include "engine/preview.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kCursorTick = std::chrono::milliseconds(RingtonePreview::kCursorTimerMs);
// A device that has taken no block for this long has stalled.
constexpr auto kStallLimit = std::chrono::seconds(10);

// The preview's notices wake the play loop early. The preview sends them from the feeder
// thread too, so they only signal. mutex_ guards woken_.
class PlayLoopWaker : public IPreviewClient {
public:
    void OnPreviewCursorDue() override { Wake(); }
    void OnPreviewPositionChanged() override {}
    void OnPreviewStopped() override { Wake(); }

    // Waits for a notice, at most one cursor tick.
    void WaitTick() {
        std::unique_lock lock(mutex_);
        woke_.wait_for(lock, kCursorTick, [this] { return woken_; });
        woken_ = false;
    }

private:
    void Wake() {
        {
            std::lock_guard lock(mutex_);
            woken_ = true;
        }
        woke_.notify_one();
    }

    std::mutex mutex_;
    std::condition_variable woke_;
    bool woken_ = false;
};

}  // namespace

int RunPlay(const MakeOptions& options) {
    ConsoleProgressFactory progress(::isatty(STDERR_FILENO) != 0);
    RingtoneProject project;
    if (!project.Build(options, progress)) return FailureExit();

    CExtPlayerDX engine;
    XPlayer player(engine);
    player.SetRepeat(options.repeat);
    PlayLoopWaker waker;
    RingtonePreview preview(project.Timeline(), player, &waker);
    if (!preview.Start()) {
        // The preview has said "Can't start player" unless the chain refused to run.
        const std::string reason = engine.DeviceError();
        PrintError(reason.empty() ? "the chosen effects cannot play this sound" : reason);
        return kExitFailed;
    }

    Clock::time_point lastBlock = Clock::now();
    while (preview.IsPlaying()) {
        if (InterruptRequested()) {
            preview.Stop();
            return FailureExit();
        }
        waker.WaitTick();
        if (preview.UpdateCursor()) {
            lastBlock = Clock::now();
        } else if (Clock::now() - lastBlock > kStallLimit) {
            preview.Stop();
            PrintError("the output device stopped playing");
            return kExitFailed;
        }
    }
    preview.UpdateCursor();
    const bool deviceFailed = engine.State() == kPlayerFailed;
    preview.Stop();
    if (deviceFailed) {
        PrintError(engine.DeviceError());
        return kExitFailed;
    }
    return kExitOk;
}
