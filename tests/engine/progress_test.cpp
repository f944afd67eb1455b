// The progress protocol between a worker and its front, with the headless front.
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "engine/progress.h"

namespace {

using namespace std::chrono_literals;

// Counts up, one step per millisecond, until asked to stop.
int CountUntilStopped(IProgress& progress) {
    for (uint32_t percent = 0; percent < 100000; ++percent) {
        if (progress.StopRequested()) return kProgressCancelled;
        progress.SetPercent(percent);
        std::this_thread::sleep_for(1ms);
    }
    return kProgressCompleted;
}

int RunHeadless(HeadlessProgressFactory& factory, bool cancelEnabled, const ProgressWork& work,
                uint32_t endWaitMs = kWorkerEndWaitMs) {
    const std::unique_ptr<IProgress> progress = factory.Create("Working", cancelEnabled);
    return RunWithProgress(*progress, work, endWaitMs);
}

TEST(Progress, TheWorkersResultEndsTheRun) {
    HeadlessProgressFactory factory;
    for (const int result : {kProgressCompleted, kProgressCancelled, kProgressFailed}) {
        EXPECT_EQ(RunHeadless(factory, true,
                              [result](IProgress& p) {
                                  p.SetPercent(42);
                                  return result;
                              }),
                  result);
        EXPECT_EQ(factory.Records().back().result, result);
        EXPECT_EQ(factory.Records().back().lastPercent, 42u);
    }
    EXPECT_EQ(RunHeadless(factory, true, [](IProgress&) -> int { throw std::runtime_error("broken"); }),
              kProgressFailed);
}

TEST(Progress, CancelByPercentOrTimeOnlyWhenEnabled) {
    HeadlessProgressFactory atPercent(CancelPolicy{25, std::nullopt, {}});
    uint32_t seen = 0;
    EXPECT_EQ(RunHeadless(atPercent, true,
                          [&seen](IProgress& p) {
                              const int result = CountUntilStopped(p);
                              seen = p.Percent();
                              return result;
                          }),
              kProgressCancelled);
    EXPECT_EQ(seen, 25u);  // the request comes with the report that reaches the mark

    HeadlessProgressFactory afterTime(CancelPolicy{std::nullopt, 30, {}});
    EXPECT_EQ(RunHeadless(afterTime, true, CountUntilStopped), kProgressCancelled);

    HeadlessProgressFactory disabled(CancelPolicy{5, std::nullopt, {}});
    EXPECT_EQ(RunHeadless(disabled, false,
                          [](IProgress& p) {
                              for (uint32_t percent = 0; percent <= 100; ++percent) p.SetPercent(percent);
                              return p.StopRequested() ? kProgressCancelled : kProgressCompleted;
                          }),
              kProgressCompleted);
}

// A front that becomes ready late, or never (a dialog whose skin cannot load).
class SlowFront : public IProgress {
public:
    explicit SlowFront(bool becomesReady) : IProgress("Slow", true), becomesReady_(becomesReady) {}
    int RunModal() override {
        std::this_thread::sleep_for(50ms);
        if (!becomesReady_) return kProgressCancelled;
        readyAt = std::chrono::steady_clock::now();
        SignalReady();
        std::unique_lock lock(mutex_);
        ended_.wait(lock, [this] { return result_ != 0; });
        return result_;
    }
    std::chrono::steady_clock::time_point readyAt;

protected:
    void OnEnd(int result) override {
        std::lock_guard lock(mutex_);
        result_ = result;
        ended_.notify_all();
    }

private:
    const bool becomesReady_;
    std::mutex mutex_;  // guards result_
    std::condition_variable ended_;
    int result_ = 0;
};

TEST(Progress, TheWorkerWaitsForTheReadyFront) {
    SlowFront front(true);
    std::chrono::steady_clock::time_point startedAt;
    EXPECT_EQ(RunWithProgress(front,
                              [&startedAt](IProgress&) {
                                  startedAt = std::chrono::steady_clock::now();
                                  return kProgressCompleted;
                              }),
              kProgressCompleted);
    EXPECT_GE(startedAt, front.readyAt);

    SlowFront failing(false);
    bool ran = false;
    EXPECT_EQ(RunWithProgress(failing,
                              [&ran](IProgress&) {
                                  ran = true;
                                  return kProgressCompleted;
                              }),
              kProgressCancelled);
    EXPECT_FALSE(ran);
}

TEST(Progress, AWorkerThatOverrunsIsJoinedAndFailsTheRun) {
    HeadlessProgressFactory factory;
    bool finished = false;
    const int result = RunHeadless(
        factory, true,
        [&finished](IProgress& p) {
            p.End(kProgressCompleted);
            std::this_thread::sleep_for(200ms);
            finished = true;
            return kProgressCompleted;
        },
        20);
    EXPECT_TRUE(finished);  // never left running behind the caller's back
    EXPECT_EQ(result, kProgressFailed);
    EXPECT_EQ(factory.Records().back().result, kProgressCompleted);
}

}  // namespace
