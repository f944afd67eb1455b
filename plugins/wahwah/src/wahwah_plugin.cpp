// The wah-wah filter's identity for the plug-in frame.
#include "plugins/wahwah/wahwah.h"

const PluginDescription& ThisPlugin() {
    static const PluginDescription description{
        "Wah-Wah Filter",
        "Pemaro Ltd (CY)",
        0x50000,
        2,
        true,  // LoadPreset makes a new object
        true,  // CopySettings keeps the stream callback
        [] { return std::unique_ptr<CPluginSettings>(std::make_unique<CWahWahSettings>()); },
    };
    return description;
}
