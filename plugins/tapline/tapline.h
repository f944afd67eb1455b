// Tapline, the two-channel delay: each channel hears its own input again after its own
// delay at its own level, with a faint repeat one hundred times weaker each time.
#pragma once

#include <cstdint>
#include <memory>

#include "plugins/common/delay_pair.h"
#include "plugins/common/plugin_frame.h"

// The parameters in memory, with Initialize's defaults.
struct TaplineParameters : DelayPairParameters {
    TaplineParameters()
        : DelayPairParameters{
              .dryGain = 0.75, .leftEchoGain = 0.55, .rightEchoGain = 0.55, .leftDelayMs = 18, .rightDelayMs = 18} {}
};

inline constexpr int32_t kTaplineMaxDelayMs = 5000;
// The share of a line's output written back into it: each repeat is 100 times weaker.
inline constexpr double kTaplineRepeat = 0.01;

class CTaplineSettings final : public CDelayPairSettings {
public:
    TaplineParameters parameters;

    // Initialize's defaults or LoadPreset's (dry 0.80, echo gains 0.40, delays 50 ms), then
    // the stored list.
    void LoadParameters(const PresetStore& store, PresetDefaults defaults) override;
    bool SaveParameters(const PresetStore& store) const override;
    std::unique_ptr<CPluginSettings> CopyParameters() const override;
    // Ends the stream and destroys both lines.
    void CloseStream() override;

private:
    const DelayPairParameters& PairParameters() const override { return parameters; }
    void ProcessFrames(float* left, float* right, uint32_t frames) override;
};
