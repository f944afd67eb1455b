// The progress front without a window.
#include <chrono>

#include "engine/engine.h"
#include "platform/platform.h"

namespace {

constexpr auto kTimerPeriod = std::chrono::milliseconds(10);

// resultMutex_ guards ended_ and result_, set by the worker and awaited by RunModal.
class HeadlessProgress : public IProgress {
public:
    HeadlessProgress(const std::string& text, bool cancelEnabled, const CancelPolicy& policy,
                     std::vector<ProgressRecord>& records)
        : IProgress(text, cancelEnabled), policy_(policy), records_(records) {}

    int RunModal() override {
        const uint32_t start = TickCountMs();
        SignalReady();
        std::unique_lock lock(resultMutex_);
        while (!resultChanged_.wait_for(lock, kTimerPeriod, [this] { return ended_; })) {
            if (policy_.afterMs && TickCountMs() - start >= *policy_.afterMs) RequestCancel();
        }
        records_.push_back({Text(), CancelEnabled(), Percent(), result_});
        return result_;
    }

protected:
    void OnEnd(int result) override {
        {
            std::lock_guard lock(resultMutex_);
            result_ = result;
            ended_ = true;
        }
        resultChanged_.notify_all();
    }

    void OnPercent(uint32_t percent) override {
        if (policy_.atPercent && percent >= *policy_.atPercent) RequestCancel();
    }

private:
    const CancelPolicy policy_;
    std::vector<ProgressRecord>& records_;
    std::mutex resultMutex_;
    std::condition_variable resultChanged_;
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace

std::unique_ptr<IProgress> HeadlessProgressFactory::Create(const std::string& text, bool cancelEnabled) {
    CancelPolicy policy;
    if (policy_.onlyText.empty() || policy_.onlyText == text) policy = policy_;
    return std::make_unique<HeadlessProgress>(text, cancelEnabled, policy, records_);
}
