// The equalizer's identity for the plug-in frame, and its own export.
#include "plugins/equalizer/equalizer.h"

const PluginDescription& ThisPlugin() {
    static const PluginDescription description{
        "Linear Phase Equalizer",
        "Pemaro Ltd (CY)",
        0x50000,
        3,
        true,  // LoadPreset makes a new object
        true,  // CopySettings keeps the stream callback
        [] { return std::unique_ptr<CPluginSettings>(std::make_unique<CEqualizerSettings>()); },
    };
    return description;
}

PLUGIN_EXPORT int GetDelay() { return static_cast<int>(kEqualizerDelay); }
