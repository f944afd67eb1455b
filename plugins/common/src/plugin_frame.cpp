// The settings-object base, PLUGIN_INFO filling and the stored-value conversions.
#include <algorithm>
#include <cmath>

#include "plugins/common/plugin_frame.h"

int FillPluginInfo(PLUGIN_INFO* info, const PluginDescription& description) {
    if (info == nullptr || info->size != sizeof(PLUGIN_INFO)) return 0;
    info->reserved = 0;
    info->name = description.name;
    info->author = description.author;
    info->version = description.version;
    if (description.kind) info->kind = *description.kind;
    return 1;
}

void CPluginSettings::SetStreamCallBack(STREAMCALLBACK callback, void* user) {
    m_callback = callback;
    m_user = user;
}

void CPluginSettings::CopyStreamCallBack(const CPluginSettings& source) {
    SetStreamCallBack(source.m_callback, source.m_user);
}

uint32_t CPluginSettings::PullInput(_SOUNDDATAEX_& record) const {
    if (m_callback == nullptr) return 0;
    return std::min(m_callback(m_user, &record), record.capacity);
}

// ---- stored values ----------------------------------------------------------------------

int32_t StoredToCount(int32_t stored, uint32_t maxStored) {
    return static_cast<int32_t>(std::min(static_cast<uint32_t>(stored), maxStored));
}

double StoredToFactor(int32_t stored, double offset, double scale, uint32_t maxStored) {
    return (static_cast<double>(StoredToCount(stored, maxStored)) + offset) / scale;
}

int32_t FactorToStored(double factor, double scale) {
    // Far above the rounding error of any product of this kind, far below one step.
    constexpr double kRoundingSlack = 1e-6;
    const double product = factor * scale;
    if (std::isnan(product)) return 0;
    const double cut = std::trunc(product + std::copysign(kRoundingSlack, product));
    return static_cast<int32_t>(std::clamp(cut, -2147483648.0, 2147483647.0));
}
