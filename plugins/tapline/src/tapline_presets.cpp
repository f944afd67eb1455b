// Tapline's parameter list and its two sets of defaults.
#include <array>

#include "plugins/tapline/tapline.h"

namespace {

constexpr std::array<const char*, 9> kKeys = {"DryOut",       "VolL",    "VolR",    "DelL",   "DelR",
                                              "HoldChannels", "InvertL", "InvertR", "DisMain"};
constexpr ParameterList kList{kKeys, "DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD"};

// In key order.
std::array<void*, 9> Pointers(StoredDelayPair& stored) {
    return {&stored.dryOut,       &stored.leftVolume, &stored.rightVolume, &stored.leftDelay, &stored.rightDelay,
            &stored.lockChannels, &stored.invertLeft, &stored.invertRight, &stored.disMain};
}

StoredDelayPair Defaults(PresetDefaults purpose) {
    if (purpose == PresetDefaults::LoadPreset)
        return {.dryOut = 80, .leftVolume = 40, .rightVolume = 40, .leftDelay = 50, .rightDelay = 50};
    return {.dryOut = 75, .leftVolume = 55, .rightVolume = 55, .leftDelay = 18, .rightDelay = 18};
}

}  // namespace

void CTaplineSettings::LoadParameters(const PresetStore& store, PresetDefaults defaults) {
    StoredDelayPair stored = Defaults(defaults);
    LoadStoredValues(store, kList, Pointers(stored));
    // Gains are stored in whole per cent.
    LoadDelayPair(stored, 0.0, kTaplineMaxDelayMs, parameters);
}

bool CTaplineSettings::SaveParameters(const PresetStore& store) const {
    StoredDelayPair stored = StoredFormOf(parameters);
    return SaveStoredValues(store, kList, Pointers(stored));
}
