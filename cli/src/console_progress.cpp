#include "cli/src/console_progress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "cli/src/interrupt.h"

namespace {

constexpr auto kTick = std::chrono::milliseconds(50);
constexpr uint32_t kBarWidth = 30;
constexpr int kTextWidth = 32;

// resultMutex_ guards ended_ and result_, set by the worker and awaited by RunModal.
class ConsoleProgress : public IProgress {
public:
    ConsoleProgress(const std::string& text, bool cancelEnabled, bool showBar)
        : IProgress(text, cancelEnabled), showBar_(showBar) {}

    int RunModal() override {
        SignalReady();
        std::unique_lock lock(resultMutex_);
        while (!resultChanged_.wait_for(lock, kTick, [this] { return ended_; })) {
            if (InterruptRequested()) RequestCancel();
            Draw(Percent());
        }
        if (showBar_) {
            Draw(result_ == kProgressCompleted ? 100 : Percent());
            std::fputc('\n', stderr);
            std::fflush(stderr);
        }
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

private:
    void Draw(uint32_t percent) {
        if (!showBar_) return;
        // An estimated length may let a job pass 100.
        percent = std::min<uint32_t>(percent, 100);
        const auto filled = static_cast<size_t>(percent * kBarWidth / 100);
        const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, ' ');
        std::fprintf(stderr, "\r%-*.*s [%s] %3u%%", kTextWidth, kTextWidth, Text().c_str(), bar.c_str(), percent);
        std::fflush(stderr);
    }

    const bool showBar_;
    std::mutex resultMutex_;
    std::condition_variable resultChanged_;
    bool ended_ = false;
    int result_ = kProgressFailed;
};

}  // namespace

std::unique_ptr<IProgress> ConsoleProgressFactory::Create(const std::string& text, bool cancelEnabled) {
    return std::make_unique<ConsoleProgress>(text, cancelEnabled, showBar_);
}
