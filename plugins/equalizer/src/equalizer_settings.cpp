// The equalizer's parameters: the ten band gains, their stored form and the preset stores.
#include <array>

#include "plugins/equalizer/equalizer.h"

namespace {

constexpr const char* kKeys[kEqualizerBands] = {"Volume31",   "Volume62",   "Volume125",  "Volume250",  "Volume500",
                                                "Volume1000", "Volume2000", "Volume4000", "Volume8000", "Volume16000"};
constexpr ParameterList kParameterList{kKeys, "INT INT INT INT INT INT INT INT INT INT"};

std::array<void*, kEqualizerBands> ValuePointers(std::array<int32_t, kEqualizerBands>& stored) {
    std::array<void*, kEqualizerBands> pointers{};
    for (int band = 0; band < kEqualizerBands; ++band) pointers[band] = &stored[band];
    return pointers;
}

}  // namespace

CEqualizerSettings::CEqualizerSettings() {
    for (SharedParameter<double>& gain : gains) gain = StoredToGain(kStoredUnity);
}

double CEqualizerSettings::StoredToGain(int32_t stored) { return (stored + 0.5) / kStoredUnity; }

int32_t CEqualizerSettings::GainToStored(double gain) { return FactorToStored(gain, kStoredUnity); }

// Every purpose starts from the same defaults: unity in every band.
void CEqualizerSettings::LoadParameters(const PresetStore& store, PresetDefaults) {
    std::array<int32_t, kEqualizerBands> stored;
    stored.fill(kStoredUnity);
    LoadStoredValues(store, kParameterList, ValuePointers(stored));
    for (int band = 0; band < kEqualizerBands; ++band) gains[band] = StoredToGain(stored[band]);
}

bool CEqualizerSettings::SaveParameters(const PresetStore& store) const {
    std::array<int32_t, kEqualizerBands> stored;
    for (int band = 0; band < kEqualizerBands; ++band) stored[band] = GainToStored(gains[band].get());
    return SaveStoredValues(store, kParameterList, ValuePointers(stored));
}

std::unique_ptr<CPluginSettings> CEqualizerSettings::CopyParameters() const {
    auto copy = std::make_unique<CEqualizerSettings>();
    copy->gains = gains;
    return copy;
}
