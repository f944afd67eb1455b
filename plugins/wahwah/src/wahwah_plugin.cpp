// The wah-wah filter's identity for the plug-in frame.
#include "plugins/wahwah/wahwah.h"

const PluginDescription& ThisPlugin() {
    static const PluginDescription description{
        .name = "Wah-Wah Filter",
        .author = "Pemaro Ltd (CY)",
        .version = 0x50000,
        .kind = 2,
        .loadPresetMakesNewObject = true,
        .copySettingsKeepsCallBack = true,
        .create = NewSettings<CWahWahSettings>,
    };
    return description;
}
