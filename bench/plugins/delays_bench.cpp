// Ricochet and Tapline on 44.1 kHz stereo through their real libraries, as a multiple of
// real time on one core (counter x_realtime: seconds of audio per second of CPU time).
// Each ProcessStream asks for 8192 frames, so the 4096-frame slicing runs as in the host.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "contracts/plugin_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kRequestFrames = 8192;

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

template <class Function>
Function Symbol(void* library, const char* name) {
    return reinterpret_cast<Function>(dlsym(library, name));
}

void RunDelay(benchmark::State& state, const char* library) {
    const std::string path = std::string(MORVANE_BIN_DIR) + "/plugins/lib" + library + ".so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        state.SkipWithError(dlerror());
        return;
    }
    const auto initialize = Symbol<PFN_Initialize>(handle, "Initialize");
    const auto setCallBack = Symbol<PFN_SetStreamCallBack>(handle, "SetStreamCallBack");
    const auto openStream = Symbol<PFN_OpenStream>(handle, "OpenStream");
    const auto processStream = Symbol<PFN_ProcessStream>(handle, "ProcessStream");
    const auto freeSettings = Symbol<PFN_Free>(handle, "Free");

    void* settings = nullptr;
    LoopedInput input;
    WAVEFORMATEX format{WAVE_FORMAT_IEEE_FLOAT, 2, kRate, kRate * 8, 8, 32, 0};
    if (initialize(nullptr, nullptr, 0, &settings) != 1 || setCallBack(LoopedInput::Callback, &input, settings) != 1 ||
        openStream(settings, &format) != PLUGIN_OPEN_OK) {
        state.SkipWithError("the plug-in refused the stream");
    } else {
        SoundBlock block(2, kRequestFrames);
        for (auto _ : state) {
            block->capacity = kRequestFrames;
            benchmark::DoNotOptimize(processStream(block.get(), settings));
            benchmark::ClobberMemory();
        }
        state.counters["x_realtime"] = benchmark::Counter(
            static_cast<double>(state.iterations()) * kRequestFrames / kRate, benchmark::Counter::kIsRate);
    }
    freeSettings(settings);
    dlclose(handle);
}

void BM_Ricochet(benchmark::State& state) { RunDelay(state, "Ricochet"); }
void BM_Tapline(benchmark::State& state) { RunDelay(state, "Tapline"); }

BENCHMARK(BM_Ricochet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tapline)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
