// Tapline's parameter list and its conversion between stored and in-memory values.
#include <array>

#include "plugins/tapline/tapline.h"

namespace {

constexpr std::array<const char*, 9> kKeys = {"DryOut",  "VolL",    "VolR",    "DelL",   "DelR",
                                             "HoldChannels", "InvertL", "InvertR", "DisMain"};
constexpr ParameterList kList{kKeys, "DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD"};

// Gains are stored in per cent.
constexpr double kPercent = 100.0;
constexpr uint32_t kMaxGainPercent = 100;

// The stored form, in key order.
struct StoredForm {
    int32_t dryOut;
    int32_t leftVolume;
    int32_t rightVolume;
    int32_t leftDelay;
    int32_t rightDelay;
    int32_t holdChannels = 0;
    int32_t invertLeft = 0;
    int32_t invertRight = 0;
    int32_t disMain = 0;

    std::array<void*, 9> Pointers() {
        return {&dryOut,       &leftVolume, &rightVolume, &leftDelay, &rightDelay,
                &holdChannels, &invertLeft, &invertRight, &disMain};
    }
};

StoredForm Defaults(PresetDefaults purpose) {
    if (purpose == PresetDefaults::LoadPreset) return {.dryOut = 80, .leftVolume = 40, .rightVolume = 40, .leftDelay = 50, .rightDelay = 50};
    return {.dryOut = 75, .leftVolume = 55, .rightVolume = 55, .leftDelay = 18, .rightDelay = 18};
}

double GainFromStored(int32_t stored) { return StoredToFactor(stored, 0.0, kPercent, kMaxGainPercent); }

}  // namespace

void CTaplineSettings::LoadParameters(const PresetStore& store, PresetDefaults defaults) {
    StoredForm stored = Defaults(defaults);
    LoadStoredValues(store, kList, stored.Pointers());
    TaplineParameters& p = parameters;
    p.dryGain = GainFromStored(stored.dryOut);
    p.leftEchoGain = GainFromStored(stored.leftVolume);
    p.rightEchoGain = GainFromStored(stored.rightVolume);
    p.leftDelayMs = StoredToCount(stored.leftDelay, kTaplineMaxDelayMs);
    p.rightDelayMs = StoredToCount(stored.rightDelay, kTaplineMaxDelayMs);
    p.lockChannels = stored.holdChannels;
    p.invertLeft = stored.invertLeft;
    p.invertRight = stored.invertRight;
    p.muteDry = stored.disMain;
}

bool CTaplineSettings::SaveParameters(const PresetStore& store) const {
    const TaplineParameters& p = parameters;
    StoredForm stored{
        .dryOut = FactorToStored(p.dryGain.get(), kPercent),
        .leftVolume = FactorToStored(p.leftEchoGain.get(), kPercent),
        .rightVolume = FactorToStored(p.rightEchoGain.get(), kPercent),
        .leftDelay = p.leftDelayMs.get(),
        .rightDelay = p.rightDelayMs.get(),
        .holdChannels = p.lockChannels.get(),
        .invertLeft = p.invertLeft.get(),
        .invertRight = p.invertRight.get(),
        .disMain = p.muteDry.get(),
    };
    return SaveStoredValues(store, kList, stored.Pointers());
}
