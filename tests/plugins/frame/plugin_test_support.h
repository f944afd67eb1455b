// Test support for the effect plug-ins: a plug-in library loaded from bin/plugins with its
// exports resolved, a stream input that plays given samples through the stream callback,
// runners that pull a whole stream, sparse expectations, and a temporary folder.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "contracts/plugin_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"
#include "tests/platform/scratch.h"

// dlopen of bin/plugins/lib<name>.so (or of a given library file) with every symbol bound
// at once; the exports every plug-in has, resolved by name.
class LoadedPlugin {
public:
    struct File {
        std::string path;
    };

    explicit LoadedPlugin(const std::string& name)
        : LoadedPlugin(File{std::string(MORVANE_BIN_DIR) + "/plugins/lib" + name + ".so"}) {}
    explicit LoadedPlugin(const File& file) {
        const std::string& path = file.path;
        m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle == nullptr) {
            ADD_FAILURE() << "dlopen " << path << ": " << dlerror();
            return;
        }
        PlugInInfo = Resolve<PFN_PlugInInfo>("PlugInInfo");
        Initialize = Resolve<PFN_Initialize>("Initialize");
        InitializeXml = Resolve<PFN_InitializeXml>("InitializeXml");
        LoadPreset = Resolve<PFN_LoadPreset>("LoadPreset");
        SavePreset = Resolve<PFN_SavePreset>("SavePreset");
        SavePresetXml = Resolve<PFN_SavePresetXml>("SavePresetXml");
        CopySettings = Resolve<PFN_CopySettings>("CopySettings");
        Free = Resolve<PFN_Free>("Free");
        SetStreamCallBack = Resolve<PFN_SetStreamCallBack>("SetStreamCallBack");
        OpenStream = Resolve<PFN_OpenStream>("OpenStream");
        ProcessStream = Resolve<PFN_ProcessStream>("ProcessStream");
        CloseStream = Resolve<PFN_CloseStream>("CloseStream");
        CreateSettingsWindow = Resolve<PFN_CreateSettingsWindow>("CreateSettingsWindow");
    }
    ~LoadedPlugin() {
        if (m_handle != nullptr) dlclose(m_handle);
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool Loaded() const { return m_handle != nullptr && CreateSettingsWindow != nullptr; }
    bool Exports(const char* name) const { return m_handle != nullptr && dlsym(m_handle, name) != nullptr; }

    template <class Function>
    Function Resolve(const char* name) {
        void* symbol = dlsym(m_handle, name);
        if (symbol == nullptr) ADD_FAILURE() << "missing export " << name;
        return reinterpret_cast<Function>(symbol);
    }

    PFN_PlugInInfo PlugInInfo = nullptr;
    PFN_Initialize Initialize = nullptr;
    PFN_InitializeXml InitializeXml = nullptr;
    PFN_LoadPreset LoadPreset = nullptr;
    PFN_SavePreset SavePreset = nullptr;
    PFN_SavePresetXml SavePresetXml = nullptr;
    PFN_CopySettings CopySettings = nullptr;
    PFN_Free Free = nullptr;
    PFN_SetStreamCallBack SetStreamCallBack = nullptr;
    PFN_OpenStream OpenStream = nullptr;
    PFN_ProcessStream ProcessStream = nullptr;
    PFN_CloseStream CloseStream = nullptr;
    PFN_CreateSettingsWindow CreateSettingsWindow = nullptr;

private:
    void* m_handle = nullptr;
};

// A settings handle freed through its plug-in's Free.
class PluginSettingsHandle {
public:
    PluginSettingsHandle(const LoadedPlugin& plugin, void* settings) : m_free(plugin.Free), m_settings(settings) {}
    ~PluginSettingsHandle() {
        if (m_settings != nullptr) m_free(m_settings);
    }
    PluginSettingsHandle(const PluginSettingsHandle&) = delete;
    PluginSettingsHandle& operator=(const PluginSettingsHandle&) = delete;
    void* get() const { return m_settings; }

private:
    PFN_Free m_free;
    void* m_settings;
};

// A loaded plug-in's settings object made from an element (InitializeXml); a failure, and no
// object, when the plug-in refuses.
inline PluginSettingsHandle FromElement(const LoadedPlugin& plugin, enXml& element) {
    void* settings = nullptr;
    EXPECT_EQ(plugin.InitializeXml(&element, &settings), 1);
    return PluginSettingsHandle(plugin, settings);
}

// Stream input: plays per-channel samples through the stream callback and records what
// each call asked for; ends (delivers 0) when the samples run out.
class SignalSource {
public:
    explicit SignalSource(std::vector<std::vector<float>> channels) : m_channels(std::move(channels)) {}

    static uint32_t Callback(void* user, _SOUNDDATAEX_* record) {
        return static_cast<SignalSource*>(user)->Deliver(*record);
    }

    std::vector<uint32_t> requests;  // the requested count of every call

private:
    uint32_t Deliver(_SOUNDDATAEX_& record) {
        requests.push_back(record.capacity);
        const size_t length = m_channels.empty() ? 0 : m_channels[0].size();
        const uint32_t count = static_cast<uint32_t>(std::min<size_t>(record.capacity, length - m_position));
        for (size_t k = 0; k < record.channels.size() && k < m_channels.size(); ++k)
            std::copy_n(m_channels[k].begin() + static_cast<ptrdiff_t>(m_position), count, record.channels[k]);
        m_position += count;
        record.frames = count;
        return count;
    }

    std::vector<std::vector<float>> m_channels;
    size_t m_position = 0;
};

// Samples per channel.
using Signal = std::vector<std::vector<float>>;

// Pulls a stream to its end in requests of blockFrames through process (ProcessStream of a
// plug-in or a settings record) and returns what came out, per channel.
inline Signal RunStream(const std::function<uint32_t(_SOUNDDATAEX_&)>& process, uint32_t channelCount,
                        uint32_t blockFrames) {
    Signal output(channelCount);
    SoundBlock block(channelCount, blockFrames);
    for (;;) {
        block->capacity = blockFrames;
        const uint32_t produced = process(*block);
        if (produced == 0) break;
        EXPECT_EQ(block->frames, produced);
        for (uint32_t k = 0; k < channelCount; ++k)
            output[k].insert(output[k].end(), block->channels[k], block->channels[k] + produced);
    }
    return output;
}

// `length` samples of silence with a unit click at `at`.
inline std::vector<float> Click(size_t length, size_t at) {
    std::vector<float> samples(length, 0.0f);
    samples.at(at) = 1.0f;
    return samples;
}

inline WAVEFORMATEX FloatFormat(uint16_t channels, uint32_t samplesPerSecond) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    format.nChannels = channels;
    format.nSamplesPerSec = samplesPerSecond;
    format.wBitsPerSample = 32;
    format.nBlockAlign = static_cast<uint16_t>(channels * 4);
    format.nAvgBytesPerSec = samplesPerSecond * format.nBlockAlign;
    return format;
}

// Plays the input through a settings record: a stream opened at the rate for the input's
// channels, pulled to its end in requests of blockFrames.
template <class Settings>
Signal RunRecord(Settings& settings, const Signal& input, uint32_t rate, uint32_t blockFrames) {
    SignalSource source(input);
    settings.SetStreamCallBack(SignalSource::Callback, &source);
    const auto channels = static_cast<uint16_t>(input.size());
    EXPECT_EQ(settings.OpenStream(FloatFormat(channels, rate)), PLUGIN_OPEN_OK);
    return RunStream([&](_SOUNDDATAEX_& record) { return settings.ProcessStream(record); }, channels, blockFrames);
}

// Plays the source through a copy of a loaded plug-in's settings object: the callback is set
// on the original only, so the stream runs only when CopySettings takes it along.
inline Signal RunCopiedStream(const LoadedPlugin& plugin, void* settings, SignalSource& source,
                              const WAVEFORMATEX& format, uint32_t blockFrames) {
    EXPECT_EQ(plugin.SetStreamCallBack(SignalSource::Callback, &source, settings), 1);
    void* copied = nullptr;
    EXPECT_EQ(plugin.CopySettings(&copied, settings), 1);
    const PluginSettingsHandle copy(plugin, copied);
    EXPECT_EQ(plugin.OpenStream(copy.get(), &format), PLUGIN_OPEN_OK);
    return RunStream([&](_SOUNDDATAEX_& record) { return plugin.ProcessStream(&record, copy.get()); }, format.nChannels,
                     blockFrames);
}

// The samples of a channel that are not 0 (index → value).
using SparseSamples = std::map<size_t, double>;

// Every sample of the channel is within tolerance of its value in expected, or of 0.
inline void ExpectSparse(const std::vector<float>& channel, const SparseSamples& expected, const char* side,
                         double tolerance) {
    for (size_t i = 0; i < channel.size(); ++i) {
        const auto found = expected.find(i);
        const double want = found == expected.end() ? 0.0 : found->second;
        ASSERT_NEAR(channel[i], want, tolerance) << side << " sample " << i;
    }
}

// Runs one second of a stereo tone through the settings' stream while another thread calls
// change(step) with growing steps, as a settings window does during playback. Every block
// must come out whole and every sample finite and bounded.
template <class Settings>
void ExpectStableWhileParametersChange(Settings& settings, const std::function<void(int)>& change) {
    std::vector<float> tone(44100);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<float>(std::sin(0.05 * i));
    SignalSource source({tone, tone});
    settings.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(settings.OpenStream(FloatFormat(2, 44100)), PLUGIN_OPEN_OK);

    std::atomic<bool> done{false};
    std::thread window([&] {
        for (int step = 0; !done.load(); ++step) change(step);
    });
    const auto out = RunStream([&](_SOUNDDATAEX_& record) { return settings.ProcessStream(record); }, 2, 512);
    done = true;
    window.join();
    for (const std::vector<float>& channel : out) {
        ASSERT_EQ(channel.size(), tone.size());
        for (float sample : channel) ASSERT_TRUE(std::isfinite(sample) && std::fabs(sample) < 10.0f);
    }
}
