// A small effect plug-in for the effect tree's tests, exporting the common plug-in interface:
// out = Gain × input delayed by Delay frames (settings "Gain", a double, default 1, and
// "Delay", frames, default 0), for one or two channels (3 is returned above two).
// Built as libtestgain.so; with TEST_PLUGIN_REFUSES_INFO as libtestnoinfo.so, whose
// PlugInInfo answers 0 like a library that is no plug-in of ours.
#include <vector>

#include "contracts/plugin_api.h"
#include "xml/xml.h"

namespace {

struct TestSettings {
    double gain = 1.0;
    int delay = 0;
    STREAMCALLBACK callback = nullptr;
    void* user = nullptr;
    std::vector<std::vector<float>> lines;  // one delay line per channel while open
    size_t position = 0;
};

TestSettings& Of(void* settings) { return *static_cast<TestSettings*>(settings); }

float Delayed(TestSettings& s, size_t channel, float input) {
    if (s.delay <= 0) return input;
    float& slot = s.lines[channel][s.position];
    const float output = slot;
    slot = input;
    return output;
}

}  // namespace

extern "C" {

int PlugInInfo(PLUGIN_INFO* info) {
#ifdef TEST_PLUGIN_REFUSES_INFO
    (void)info;
    return 0;
#else
    if (info->size != sizeof(PLUGIN_INFO)) return 0;
    info->reserved = 0;
    info->name = "Test Gain";
    info->author = "Morvane tests";
    info->version = 0x50000;
    return 1;
#endif
}

int InitializeXml(enXml* element, void** settings) {
    auto* s = new TestSettings;
    if (element) {
        element->GetValue("Gain", s->gain);
        element->GetValue("Delay", s->delay);
    }
    *settings = s;
    return 1;
}

void Free(void* settings) { delete static_cast<TestSettings*>(settings); }

int SetStreamCallBack(STREAMCALLBACK callback, void* user, void* settings) {
    Of(settings).callback = callback;
    Of(settings).user = user;
    return 1;
}

int OpenStream(void* settings, const WAVEFORMATEX* format) {
    if (format->nChannels > 2) return PLUGIN_OPEN_UNSUPPORTED;
    TestSettings& s = Of(settings);
    s.lines.assign(format->nChannels, std::vector<float>(s.delay > 0 ? s.delay : 0, 0.0f));
    s.position = 0;
    return PLUGIN_OPEN_OK;
}

uint32_t ProcessStream(_SOUNDDATAEX_* record, void* settings) {
    TestSettings& s = Of(settings);
    const uint32_t frames = s.callback(s.user, record);
    for (uint32_t i = 0; i < frames; ++i) {
        for (size_t channel = 0; channel < record->channels.size() && channel < s.lines.size(); ++channel) {
            float& sample = record->channels[channel][i];
            sample = static_cast<float>(s.gain * Delayed(s, channel, sample));
        }
        if (s.delay > 0) s.position = (s.position + 1) % static_cast<size_t>(s.delay);
    }
    record->frames = frames;
    return frames;
}

int CloseStream(void* settings) {
    Of(settings).lines.clear();
    return 1;
}

QWidget* CreateSettingsWindow(QWidget*, void*) { return nullptr; }

}  // extern "C"
