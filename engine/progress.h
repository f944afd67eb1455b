// The progress protocol between a long job on a worker thread and its front (the modal
// progress dialog, a console bar, or the headless runner): the front shows the percentage
// and offers a cancel button; the worker waits for the front's ready event, writes the
// percentage, polls the cancel request and ends the run with one of these results.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

enum ProgressResult : int {
    kProgressCompleted = 1,
    kProgressCancelled = 2,
    kProgressFailed = 3,
};

// What the creator allows a worker after the modal run before it stops trusting it.
inline constexpr uint32_t kWorkerEndWaitMs = 10000;

// The meeting point of one worker and one front. A front derives from it, implements
// RunModal and OnEnd, and calls SignalReady once it is showing.
// Thread use: percentage, cancel request and the ended/closed flags are atomics written and
// read by both threads; readyMutex_ guards ready_ (the ready event).
class IProgress {
public:
    virtual ~IProgress() = default;
    IProgress(const IProgress&) = delete;
    IProgress& operator=(const IProgress&) = delete;

    const std::string& Text() const { return text_; }
    bool CancelEnabled() const { return cancelEnabled_; }

    // ---- worker side
    // Blocks until the front is ready. False when the run was closed first: the worker must
    // then stop without doing its job.
    bool WaitReady();
    // The percentage may pass 100 when a job's length was only an estimate.
    void SetPercent(uint32_t percent);
    // True once the user cancelled (when cancel is enabled) or the run was closed.
    bool StopRequested() const { return cancelRequested_.load() || closed_.load(); }
    // Ends the modal run with the result; only the first call counts.
    void End(int result);

    // ---- front side
    // Shows the front until the run ends; returns the result passed to End (or the front's
    // own result when it had to close without the worker, e.g. a skin that cannot load).
    virtual int RunModal() = 0;
    uint32_t Percent() const { return percent_.load(); }
    // The cancel button: ignored when cancel is not enabled; otherwise only sets the request,
    // the run goes on until the worker ends it.
    void RequestCancel();
    // After the modal run: asks the worker to stop and releases it if it still waits for the
    // ready event.
    void Close();

protected:
    IProgress(std::string text, bool cancelEnabled);
    void SignalReady();
    // Called once, on the worker's thread: the front ends its modal run with the result.
    virtual void OnEnd(int result) = 0;
    // Called on the worker's thread after every percentage change.
    virtual void OnPercent(uint32_t /*percent*/) {}

private:
    const std::string text_;
    const bool cancelEnabled_;
    std::atomic<uint32_t> percent_{0};
    std::atomic<bool> cancelRequested_{false};
    std::atomic<bool> ended_{false};
    std::atomic<bool> closed_{false};
    std::mutex readyMutex_;  // guards ready_
    std::condition_variable readyChanged_;
    bool ready_ = false;
};

// A front without a window: ready at once, it wakes every period until the worker ends the
// run. resultMutex_ guards ended_ and result_, set by the worker and awaited by the front.
class TickingProgress : public IProgress {
protected:
    TickingProgress(std::string text, bool cancelEnabled) : IProgress(std::move(text), cancelEnabled) {}
    // Signals ready, calls onTick on every wake while the run goes on, returns the result.
    int RunTicking(std::chrono::milliseconds period, const std::function<void()>& onTick);
    void OnEnd(int result) final;

private:
    std::mutex resultMutex_;
    std::condition_variable resultChanged_;
    bool ended_ = false;
    int result_ = 0;
};

// Makes the fronts for the jobs of one operation (the program's dialogs, the console, tests).
class IProgressFactory {
public:
    virtual ~IProgressFactory() = default;
    virtual std::unique_ptr<IProgress> Create(const std::string& text, bool cancelEnabled) = 0;
};

// A worker job: runs after the ready event and returns its result (1, 2 or 3).
using ProgressWork = std::function<int(IProgress&)>;

// Starts the job on its own thread, runs the front modally and returns the run's result.
// After the modal run the worker is asked to stop and given up to endWaitMs to end. It is
// joined in every case, because it may still use what the caller owns; a worker that
// overran the wait makes the result "failed" unless the run was cancelled. A job that throws
// ends the run as failed.
int RunWithProgress(IProgress& progress, const ProgressWork& work, uint32_t endWaitMs = kWorkerEndWaitMs);

// When the headless front requests cancel on its own.
struct CancelPolicy {
    std::optional<uint32_t> atPercent;  // as soon as the worker reports at least this
    std::optional<uint32_t> afterMs;    // once the run has lasted this long
    std::string onlyText;               // when not empty: only in runs with this text
};

// What a headless run looked like, for the caller to inspect afterwards.
struct ProgressRecord {
    std::string text;
    bool cancelEnabled = false;
    uint32_t lastPercent = 0;
    int result = 0;
};

// The front without a window: used by tests and the command-line tool. It is ready at once,
// wakes every 10 ms like the dialog's timer, and requests cancel by its policy.
class HeadlessProgressFactory : public IProgressFactory {
public:
    explicit HeadlessProgressFactory(CancelPolicy policy = {}) : policy_(std::move(policy)) {}
    std::unique_ptr<IProgress> Create(const std::string& text, bool cancelEnabled) override;
    // Every run made by this factory, in order, once it has ended.
    const std::vector<ProgressRecord>& Records() const { return records_; }

private:
    CancelPolicy policy_;
    std::vector<ProgressRecord> records_;
};
