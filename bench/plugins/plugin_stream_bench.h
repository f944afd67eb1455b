// Times a real plug-in library's ProcessStream on an endless 44.1 kHz stereo input, as a
// multiple of real time on one core (counter x_realtime: seconds of audio per second of
// CPU time). Each ProcessStream asks for 8192 frames, as the host does.
#pragma once

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <functional>
#include <string>

#include "contracts/plugin_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"

inline constexpr uint32_t kBenchRate = 44100;
inline constexpr uint32_t kBenchRequestFrames = 8192;

// Makes the settings object through the library's own exports; false when it refuses.
using MakeBenchSettings = std::function<bool(void* library, void** settings)>;

inline void TimePluginStream(benchmark::State& state, const char* library, const MakeBenchSettings& make,
                             STREAMCALLBACK input, void* user) {
    const std::string path = std::string(MORVANE_BIN_DIR) + "/plugins/lib" + library + ".so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        state.SkipWithError(dlerror());
        return;
    }
    const auto setCallBack = reinterpret_cast<PFN_SetStreamCallBack>(dlsym(handle, "SetStreamCallBack"));
    const auto openStream = reinterpret_cast<PFN_OpenStream>(dlsym(handle, "OpenStream"));
    const auto processStream = reinterpret_cast<PFN_ProcessStream>(dlsym(handle, "ProcessStream"));
    const auto freeSettings = reinterpret_cast<PFN_Free>(dlsym(handle, "Free"));

    void* settings = nullptr;
    const WAVEFORMATEX format = kWorkingFormat.Format;
    if (!make(handle, &settings) || setCallBack(input, user, settings) != 1 ||
        openStream(settings, &format) != PLUGIN_OPEN_OK) {
        state.SkipWithError("the plug-in refused the stream");
    } else {
        SoundBlock block(2, kBenchRequestFrames);
        for (auto _ : state) {
            block->capacity = kBenchRequestFrames;
            benchmark::DoNotOptimize(processStream(block.get(), settings));
            benchmark::ClobberMemory();
        }
        state.counters["x_realtime"] = benchmark::Counter(
            static_cast<double>(state.iterations()) * kBenchRequestFrames / kBenchRate, benchmark::Counter::kIsRate);
    }
    if (settings != nullptr) freeSettings(settings);
    dlclose(handle);
}
