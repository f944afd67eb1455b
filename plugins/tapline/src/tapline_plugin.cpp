// Tapline's identity, its records and what the host sees of them.
#include "plugins/tapline/tapline.h"

std::unique_ptr<CPluginSettings> CTaplineSettings::CopyParameters() const {
    auto copy = std::make_unique<CTaplineSettings>();
    copy->parameters = parameters;
    return copy;
}

const PluginDescription& ThisPlugin() {
    static const PluginDescription description{
        .name = "Delay",
        .author = "Pemaro Ltd (CY)",
        .version = 0x50000,
        .kind = std::nullopt,
        .loadPresetMakesNewObject = false,
        .copySettingsKeepsCallBack = false,
        .create = NewSettings<CTaplineSettings>,
    };
    return description;
}
