#include "cli/src/console_progress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "cli/src/interrupt.h"
#include "engine/progress.h"

namespace {

constexpr auto kTick = std::chrono::milliseconds(50);
constexpr uint32_t kBarWidth = 30;
constexpr int kTextWidth = 32;

class ConsoleProgress : public TickingProgress {
public:
    ConsoleProgress(const std::string& text, bool cancelEnabled, bool showBar)
        : TickingProgress(text, cancelEnabled), showBar_(showBar) {}

    int RunModal() override {
        const int result = RunTicking(kTick, [this] {
            if (InterruptRequested()) RequestCancel();
            Draw(Percent());
        });
        if (showBar_) {
            Draw(result == kProgressCompleted ? 100 : Percent());
            std::fputc('\n', stderr);
            std::fflush(stderr);
        }
        return result;
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
};

}  // namespace

std::unique_ptr<IProgress> ConsoleProgressFactory::Create(const std::string& text, bool cancelEnabled) {
    return std::make_unique<ConsoleProgress>(text, cancelEnabled, showBar_);
}
