// The wah-wah filter's parameters, their stored form and the preset stores.
#include "plugins/wahwah/wahwah.h"

namespace {

constexpr const char* kKeys[] = {"DryOut", "Volume2",  "BandWidth", "RightBorder", "LeftBorder",
                                 "Speed",  "ProcKind", "Log",       "Normal"};
constexpr ParameterList kParameterList{kKeys, "double double double double double double int int int"};

// The values in stored form, in the order of the key list.
struct StoredValues {
    double dryOut = 8191;
    double volume2 = 65534;
    double bandWidth = 400;
    double rightBorder = 1500;
    double leftBorder = 300;
    double speed = 3;
    int32_t procKind = 1;
    int32_t log = 1;
    int32_t normal = 0;

    std::array<void*, 9> Pointers() {
        return {&dryOut, &volume2, &bandWidth, &rightBorder, &leftBorder, &speed, &procKind, &log, &normal};
    }
};

}  // namespace

// Stored gains carry half a step on top when read; saving takes it off again, so a preset
// that is loaded and saved keeps its value instead of creeping up by half a step each time.
double CWahWahSettings::StoredToGain(double stored) { return (stored + 0.5) / kStoredGainScale; }

double CWahWahSettings::GainToStored(double gain) { return gain * kStoredGainScale - 0.5; }

// Every purpose starts from the same defaults.
void CWahWahSettings::LoadParameters(const PresetStore& store, PresetDefaults) {
    StoredValues stored;
    LoadStoredValues(store, kParameterList, stored.Pointers());
    dryGain = StoredToGain(stored.dryOut);
    wetGain = StoredToGain(stored.volume2);
    bandWidth = stored.bandWidth;
    upperBorder = stored.rightBorder;
    lowerBorder = stored.leftBorder;
    speed = stored.speed;
    kind = stored.procKind;
    logarithmic = stored.log;
    normalize = stored.normal;
}

bool CWahWahSettings::SaveParameters(const PresetStore& store) const {
    StoredValues stored{GainToStored(dryGain.get()),
                        GainToStored(wetGain.get()),
                        bandWidth.get(),
                        upperBorder.get(),
                        lowerBorder.get(),
                        speed.get(),
                        kind.get(),
                        logarithmic.get(),
                        normalize.get()};
    return SaveStoredValues(store, kParameterList, stored.Pointers());
}

std::unique_ptr<CPluginSettings> CWahWahSettings::CopyParameters() const {
    auto copy = std::make_unique<CWahWahSettings>();
    copy->dryGain = dryGain;
    copy->wetGain = wetGain;
    copy->bandWidth = bandWidth;
    copy->upperBorder = upperBorder;
    copy->lowerBorder = lowerBorder;
    copy->speed = speed;
    copy->kind = kind;
    copy->logarithmic = logarithmic;
    copy->normalize = normalize;
    return copy;
}

WahWahParameters CWahWahSettings::FilterParameters() const {
    return WahWahParameters{bandWidth.get(), upperBorder.get(), lowerBorder.get(), speed.get(),
                            kind.get(),      logarithmic.get(), normalize.get()};
}
