// The front without a window.
#include "engine/progress.h"

#include <chrono>

#include "platform/clock.h"

namespace {

constexpr auto kTimerPeriod = std::chrono::milliseconds(10);

class HeadlessProgress : public TickingProgress {
public:
    HeadlessProgress(const std::string& text, bool cancelEnabled, const CancelPolicy& policy,
                     std::vector<ProgressRecord>& records)
        : TickingProgress(text, cancelEnabled), policy_(policy), records_(records) {}

    int RunModal() override {
        const uint32_t start = TickCountMs();
        const int result = RunTicking(kTimerPeriod, [&] {
            if (policy_.afterMs && TickCountMs() - start >= *policy_.afterMs) RequestCancel();
        });
        records_.push_back({Text(), CancelEnabled(), Percent(), result});
        return result;
    }

protected:
    void OnPercent(uint32_t percent) override {
        if (policy_.atPercent && percent >= *policy_.atPercent) RequestCancel();
    }

private:
    const CancelPolicy policy_;
    std::vector<ProgressRecord>& records_;
};

}  // namespace

std::unique_ptr<IProgress> HeadlessProgressFactory::Create(const std::string& text, bool cancelEnabled) {
    CancelPolicy policy;
    if (policy_.onlyText.empty() || policy_.onlyText == text) policy = policy_;
    return std::make_unique<HeadlessProgress>(text, cancelEnabled, policy, records_);
}
