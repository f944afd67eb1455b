// The equalizer's identity for the plug-in frame, and its own export.
#include "plugins/equalizer/equalizer.h"

const PluginDescription& ThisPlugin() {
    static const PluginDescription description{
        .name = "Linear Phase Equalizer",
        .author = "Pemaro Ltd (CY)",
        .version = 0x50000,
        .kind = 3,
        .loadPresetMakesNewObject = true,
        .copySettingsKeepsCallBack = true,
        .create = NewSettings<CEqualizerSettings>,
    };
    return description;
}

PLUGIN_EXPORT int GetDelay() { return static_cast<int>(kEqualizerDelay); }
