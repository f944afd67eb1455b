// The equalizer and the wah-wah filter through their real libraries, with settings given
// in their XML form.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "bench/plugins/plugin_stream_bench.h"
#include "platform/key_store.h"
#include "xml/xml.h"

namespace {

constexpr uint32_t kRate = kBenchRate;

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
    ChordLoop input(silent);
    const auto fromElement = [&element](void* handle, void** settings) {
        const auto initializeXml = reinterpret_cast<PFN_InitializeXml>(dlsym(handle, "InitializeXml"));
        return initializeXml(&element, settings) == 1;
    };
    TimePluginStream(state, library, fromElement, ChordLoop::Callback, &input);
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
