// The equalizer and the wah-wah filter on 44.1 kHz stereo through their real libraries, as
// multiples of real time on one core (counter x_realtime: seconds of audio per second of
// CPU time). Each ProcessStream asks for 8192 frames.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "contracts/plugin_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"
#include "xml/xml.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kRequestFrames = 8192;

// Two seconds of a stereo chord with a slow tremolo, or of silence, played in a loop.
class ChordLoop {
public:
    explicit ChordLoop(bool silent) : m_samples(2, std::vector<float>(2 * kRate, 0.0f)) {
        if (silent) return;
        const double notes[] = {220.0, 277.18, 329.63, 440.0, 1760.0};
        for (uint32_t k = 0; k < 2 * kRate; ++k) {
            const double t = static_cast<double>(k) / kRate;
            double sum = 0.0;
            for (double f : notes) sum += std::sin(2.0 * std::numbers::pi * f * t);
            const double tremolo = 0.6 + 0.4 * std::sin(2.0 * std::numbers::pi * 0.5 * t);
            m_samples[0][k] = static_cast<float>(0.15 * tremolo * sum);
            m_samples[1][k] = static_cast<float>(0.15 * (1.0 - 0.5 * tremolo) * sum);
        }
    }

    static uint32_t Callback(void* user, _SOUNDDATAEX_* record) {
        auto& self = *static_cast<ChordLoop*>(user);
        const uint32_t length = 2 * kRate;
        for (uint32_t done = 0; done < record->capacity;) {
            const uint32_t count = std::min(record->capacity - done, length - self.m_position);
            for (size_t channel = 0; channel < record->channels.size() && channel < 2; ++channel)
                std::copy_n(self.m_samples[channel].data() + self.m_position, count, record->channels[channel] + done);
            done += count;
            self.m_position = (self.m_position + count) % length;
        }
        return record->capacity;
    }

private:
    std::vector<std::vector<float>> m_samples;
    uint32_t m_position = 0;
};

// Runs the named plug-in with the settings held by `element` (its XML settings form).
void RunPlugin(benchmark::State& state, const char* library, enXml& element, bool silent) {
    const std::string path = std::string(MORVANE_BIN_DIR) + "/plugins/lib" + library + ".so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        state.SkipWithError(dlerror());
        return;
    }
    const auto initializeXml = reinterpret_cast<PFN_InitializeXml>(dlsym(handle, "InitializeXml"));
    const auto setCallBack = reinterpret_cast<PFN_SetStreamCallBack>(dlsym(handle, "SetStreamCallBack"));
    const auto openStream = reinterpret_cast<PFN_OpenStream>(dlsym(handle, "OpenStream"));
    const auto processStream = reinterpret_cast<PFN_ProcessStream>(dlsym(handle, "ProcessStream"));
    const auto freeSettings = reinterpret_cast<PFN_Free>(dlsym(handle, "Free"));

    void* settings = nullptr;
    ChordLoop input(silent);
    const WAVEFORMATEX format = kWorkingFormat.Format;
    if (initializeXml(&element, &settings) != 1 || setCallBack(ChordLoop::Callback, &input, settings) != 1 ||
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

void BM_Equalizer(benchmark::State& state) {
    enXml element("Equalizer");
    element.SetValue("Volume62", 6553400);    // +6 dB
    element.SetValue("Volume4000", 1638350);  // -6 dB
    RunPlugin(state, "equalizer", element, false);
}

// Band-pass, logarithmic sweep; argument 1 switches the level correction on.
void BM_WahWah(benchmark::State& state) {
    enXml element("WahWah");
    element.SetValue("Normal", static_cast<int>(state.range(0)));
    RunPlugin(state, "wahwah", element, false);
}

void BM_WahWahBandReject(benchmark::State& state) {
    enXml element("WahWah");
    element.SetValue("ProcKind", 0);
    element.SetValue("Log", 0);
    RunPlugin(state, "wahwah", element, false);
}

// Silence after the start: filter histories and envelopes decay toward zero.
void BM_WahWahSilence(benchmark::State& state) {
    enXml element("WahWah");
    element.SetValue("Normal", 1);
    RunPlugin(state, "wahwah", element, true);
}

BENCHMARK(BM_Equalizer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WahWah)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WahWahBandReject)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WahWahSilence)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
