// The preset table's lookups and the length limit.
#include "engine/ringtone_preset.h"

#include <algorithm>

const PresetSettings& PresetFor(RingtonePreset preset) {
    const auto it =
        std::find_if(kPresets.begin(), kPresets.end(), [&](const PresetSettings& p) { return p.preset == preset; });
    return it != kPresets.end() ? *it : kPresets.front();
}

RingtonePreset PresetFromProfile(int value) {
    if (value < 0 || value >= static_cast<int>(kPresets.size())) return RingtonePreset::AnyPlayer;
    return kPresets[static_cast<size_t>(value)].preset;
}

std::optional<RingtonePreset> PresetByName(std::string_view name) {
    for (const PresetSettings& preset : kPresets)
        if (name == preset.name) return preset.preset;
    return std::nullopt;
}

bool ExceedsLimit(const PresetSettings& preset, int64_t lengthFrames, uint32_t sampleRate) {
    return preset.limitSeconds != 0 && lengthFrames > static_cast<int64_t>(preset.limitSeconds) * sampleRate;
}

FrameRange FitToLimit(const PresetSettings& preset, FrameRange range, uint32_t sampleRate) {
    if (ExceedsLimit(preset, range.length, sampleRate))
        range.length = static_cast<int64_t>(preset.limitSeconds) * sampleRate;
    return range;
}

const char* ToneKindName(ToneKind kind) {
    switch (kind) {
        case ToneKind::Notification: return "notification";
        case ToneKind::Alarm: return "alarm";
        default: return "ringtone";
    }
}
