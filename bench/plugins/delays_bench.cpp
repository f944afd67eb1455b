// Ricochet and Tapline with their defaults, through their real libraries. The 8192-frame
// requests make the 4096-frame slicing run as in the host.
#include <algorithm>
#include <cmath>
#include <vector>

#include "bench/plugins/plugin_stream_bench.h"

namespace {

constexpr uint32_t kRate = kBenchRate;

// One second of stereo test signal (two detuned tones with a little noise), played in a loop.
class LoopedInput {
public:
    LoopedInput() : m_left(kRate), m_right(kRate) {
        uint32_t noise = 12345;
        for (uint32_t i = 0; i < kRate; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const float hiss = static_cast<float>(noise >> 8) / 16777216.0f - 0.5f;
            m_left[i] = 0.5f * static_cast<float>(std::sin(0.0627 * i)) + 0.05f * hiss;
            m_right[i] = 0.5f * static_cast<float>(std::sin(0.0581 * i)) - 0.05f * hiss;
        }
    }

    static uint32_t Callback(void* user, _SOUNDDATAEX_* record) {
        auto& self = *static_cast<LoopedInput*>(user);
        uint32_t done = 0;
        while (done < record->capacity) {
            const uint32_t count = std::min(record->capacity - done, kRate - self.m_position);
            std::copy_n(self.m_left.data() + self.m_position, count, record->channels[0] + done);
            std::copy_n(self.m_right.data() + self.m_position, count, record->channels[1] + done);
            done += count;
            self.m_position = (self.m_position + count) % kRate;
        }
        return done;
    }

private:
    std::vector<float> m_left;
    std::vector<float> m_right;
    uint32_t m_position = 0;
};

void RunDelay(benchmark::State& state, const char* library) {
    LoopedInput input;
    const auto defaults = [](void* handle, void** settings) {
        const auto initialize = reinterpret_cast<PFN_Initialize>(dlsym(handle, "Initialize"));
        return initialize(nullptr, nullptr, 0, settings) == 1;
    };
    TimePluginStream(state, library, defaults, LoopedInput::Callback, &input);
}

void BM_Ricochet(benchmark::State& state) { RunDelay(state, "Ricochet"); }
void BM_Tapline(benchmark::State& state) { RunDelay(state, "Tapline"); }

BENCHMARK(BM_Ricochet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tapline)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
