// Ricochet's parameter list and its conversion between stored and in-memory values.
#include <array>

#include "plugins/ricochet/ricochet.h"

namespace {

constexpr std::array<const char*, 11> kKeys = {"DryOut",     "LVol",    "RVol",   "LDel",    "RDel",   "LFacFading",
                                               "RFacFading", "DisMain", "LockCh", "InvertL", "InvertR"};
constexpr ParameterList kList{kKeys, "DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD DWORD"};

// Gains are stored in per cent with half a per cent added on loading; feedbacks in per cent.
constexpr double kGainOffset = 0.5;
constexpr double kPercent = 100.0;
constexpr uint32_t kMaxFeedbackPercent = 99;

// The stored form; the member initialisers are the defaults.
struct StoredForm {
    StoredDelayPair pair{.dryOut = 80, .leftVolume = 50, .rightVolume = 60, .leftDelay = 15, .rightDelay = 5};
    int32_t leftFading = 40;
    int32_t rightFading = 60;

    // In key order.
    std::array<void*, 11> Pointers() {
        return {&pair.dryOut, &pair.leftVolume, &pair.rightVolume,  &pair.leftDelay,  &pair.rightDelay, &leftFading,
                &rightFading, &pair.disMain,    &pair.lockChannels, &pair.invertLeft, &pair.invertRight};
    }
};

double FeedbackFromStored(int32_t stored) { return StoredToFactor(stored, 0.0, kPercent, kMaxFeedbackPercent); }

}  // namespace

void CRicochetSettings::LoadParameters(const PresetStore& store, PresetDefaults) {
    StoredForm stored;
    LoadStoredValues(store, kList, stored.Pointers());
    LoadDelayPair(stored.pair, kGainOffset, kRicochetMaxDelayMs, parameters);
    parameters.leftFeedback = FeedbackFromStored(stored.leftFading);
    parameters.rightFeedback = FeedbackFromStored(stored.rightFading);
}

bool CRicochetSettings::SaveParameters(const PresetStore& store) const {
    StoredForm stored{
        .pair = StoredFormOf(parameters),
        .leftFading = FactorToStored(parameters.leftFeedback.get(), kPercent),
        .rightFading = FactorToStored(parameters.rightFeedback.get(), kPercent),
    };
    return SaveStoredValues(store, kList, stored.Pointers());
}
