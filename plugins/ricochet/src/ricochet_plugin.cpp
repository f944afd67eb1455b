// Ricochet's identity, its records and what the host sees of them.
#include "plugins/ricochet/ricochet.h"

std::unique_ptr<CPluginSettings> CRicochetSettings::CopyParameters() const {
    auto copy = std::make_unique<CRicochetSettings>();
    copy->parameters = parameters;
    return copy;
}

const PluginDescription& ThisPlugin() {
    static const PluginDescription description{
        .name = "Ricochet",
        .author = "QoSoft Corp. (VN)",
        .version = 0x40000,
        .kind = std::nullopt,
        .loadPresetMakesNewObject = false,
        .copySettingsKeepsCallBack = false,
        .create = NewSettings<CRicochetSettings>,
    };
    return description;
}
