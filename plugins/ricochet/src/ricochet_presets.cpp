// Ricochet's parameter list and its conversion between stored and in-memory values.
#include <array>

#include "plugins/ricochet/ricochet.h"

namespace {

constexpr std::array<const char*, 11> kKeys = {"DryOut",     "LVol",       "RVol",    "LDel",
                                              "RDel",       "LFacFading", "RFacFading", "DisMain",
                                              "LockCh",     "InvertL",    "InvertR"};
constexpr ParameterList kList{kKeys, "DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD"};

// Gains are stored in per cent with half a per cent added on loading; feedbacks in per cent.
constexpr double kPercent = 100.0;
constexpr double kGainOffset = 0.5;
constexpr uint32_t kMaxGainPercent = 100;
constexpr uint32_t kMaxFeedbackPercent = 99;

// The stored form, in key order; the member initialisers are the defaults.
struct StoredForm {
    int32_t dryOut = 80;
    int32_t leftVolume = 50;
    int32_t rightVolume = 60;
    int32_t leftDelay = 15;
    int32_t rightDelay = 5;
    int32_t leftFading = 40;
    int32_t rightFading = 60;
    int32_t disMain = 0;
    int32_t lockChannels = 0;
    int32_t invertLeft = 0;
    int32_t invertRight = 0;

    std::array<void*, 11> Pointers() {
        return {&dryOut,     &leftVolume,  &rightVolume,  &leftDelay,  &rightDelay, &leftFading,
                &rightFading, &disMain,     &lockChannels, &invertLeft, &invertRight};
    }
};

double GainFromStored(int32_t stored) { return StoredToFactor(stored, kGainOffset, kPercent, kMaxGainPercent); }

}  // namespace

void CRicochetSettings::LoadParameters(const PresetStore& store, PresetDefaults) {
    StoredForm stored;
    LoadStoredValues(store, kList, stored.Pointers());
    RicochetParameters& p = parameters;
    p.dryGain = GainFromStored(stored.dryOut);
    p.leftEchoGain = GainFromStored(stored.leftVolume);
    p.rightEchoGain = GainFromStored(stored.rightVolume);
    p.leftDelayMs = StoredToCount(stored.leftDelay, kRicochetMaxDelayMs);
    p.rightDelayMs = StoredToCount(stored.rightDelay, kRicochetMaxDelayMs);
    p.leftFeedback = StoredToFactor(stored.leftFading, 0.0, kPercent, kMaxFeedbackPercent);
    p.rightFeedback = StoredToFactor(stored.rightFading, 0.0, kPercent, kMaxFeedbackPercent);
    p.muteDry = stored.disMain;
    p.lockChannels = stored.lockChannels;
    p.invertLeft = stored.invertLeft;
    p.invertRight = stored.invertRight;
}

bool CRicochetSettings::SaveParameters(const PresetStore& store) const {
    const RicochetParameters& p = parameters;
    StoredForm stored;
    stored.dryOut = FactorToStored(p.dryGain.get(), kPercent);
    stored.leftVolume = FactorToStored(p.leftEchoGain.get(), kPercent);
    stored.rightVolume = FactorToStored(p.rightEchoGain.get(), kPercent);
    stored.leftDelay = p.leftDelayMs.get();
    stored.rightDelay = p.rightDelayMs.get();
    stored.leftFading = FactorToStored(p.leftFeedback.get(), kPercent);
    stored.rightFading = FactorToStored(p.rightFeedback.get(), kPercent);
    stored.disMain = p.muteDry.get();
    stored.lockChannels = p.lockChannels.get();
    stored.invertLeft = p.invertLeft.get();
    stored.invertRight = p.invertRight.get();
    return SaveStoredValues(store, kList, stored.Pointers());
}
