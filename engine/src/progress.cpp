// The worker side and the front side of a progress run, and the run itself.
#include "engine/progress.h"

#include <chrono>
#include <optional>
#include <system_error>
#include <thread>

IProgress::IProgress(std::string text, bool cancelEnabled) : text_(std::move(text)), cancelEnabled_(cancelEnabled) {}

bool IProgress::WaitReady() {
    std::unique_lock lock(readyMutex_);
    readyChanged_.wait(lock, [this] { return ready_ || closed_.load(); });
    return !closed_.load();
}

void IProgress::SignalReady() {
    {
        std::lock_guard lock(readyMutex_);
        ready_ = true;
    }
    readyChanged_.notify_all();
}

void IProgress::Close() {
    {
        std::lock_guard lock(readyMutex_);
        closed_.store(true);
    }
    readyChanged_.notify_all();
}

void IProgress::SetPercent(uint32_t percent) {
    percent_.store(percent);
    OnPercent(percent);
}

void IProgress::RequestCancel() {
    if (cancelEnabled_) cancelRequested_.store(true);
}

void IProgress::End(int result) {
    // A closed run has no front left to end.
    if (closed_.load()) return;
    if (!ended_.exchange(true)) OnEnd(result);
}

namespace {

// A worker thread that says when its function has returned and is always joined.
// finishedMutex_ guards finished_.
class WorkerThread {
public:
    explicit WorkerThread(std::function<void()> body)
        : thread_([this, body = std::move(body)] {
              body();
              {
                  std::lock_guard lock(finishedMutex_);
                  finished_ = true;
              }
              finishedChanged_.notify_all();
          }) {}
    ~WorkerThread() { thread_.join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    bool WaitFinished(uint32_t ms) {
        std::unique_lock lock(finishedMutex_);
        return finishedChanged_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return finished_; });
    }

private:
    std::mutex finishedMutex_;
    std::condition_variable finishedChanged_;
    bool finished_ = false;
    std::thread thread_;  // last: starts once the members above exist
};

int RunJob(IProgress& progress, const ProgressWork& work) {
    if (!progress.WaitReady()) return kProgressCancelled;
    try {
        return work(progress);
    } catch (...) {
        return kProgressFailed;
    }
}

}  // namespace

int RunWithProgress(IProgress& progress, const ProgressWork& work, uint32_t endWaitMs) {
    int result;
    bool endedInTime;
    {
        std::optional<WorkerThread> worker;
        try {
            worker.emplace([&progress, &work] { progress.End(RunJob(progress, work)); });
        } catch (const std::system_error&) {
            return kProgressFailed;  // no thread to run the job on
        }
        result = progress.RunModal();
        progress.Close();
        endedInTime = worker->WaitFinished(endWaitMs);
        // Leaving the block joins the worker even when it overran: it may still be using the
        // caller's reader, file or buffers, and freeing them under it would be worse than
        // waiting. Every worker polls the stop request between blocks, so only a provider call
        // that itself hangs keeps it here.
    }
    if (!endedInTime && result != kProgressCancelled) return kProgressFailed;
    return result;
}

int TickingProgress::RunTicking(std::chrono::milliseconds period, const std::function<void()>& onTick) {
    SignalReady();
    std::unique_lock lock(resultMutex_);
    while (!resultChanged_.wait_for(lock, period, [this] { return ended_; })) onTick();
    return result_;
}

void TickingProgress::OnEnd(int result) {
    {
        std::lock_guard lock(resultMutex_);
        result_ = result;
        ended_ = true;
    }
    resultChanged_.notify_all();
}
