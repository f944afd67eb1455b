// Ricochet, the ping-pong delay: two delay lines whose outputs cross to the opposite channel
// and feed each other, so that each echo bounces between left and right while it fades.
#pragma once

#include <cstdint>
#include <memory>

#include "plugins/common/delay_pair.h"
#include "plugins/common/plugin_frame.h"

// The parameters in memory, with their defaults. The left line's output (leftEchoGain) is
// heard on the right and the right line's on the left.
struct RicochetParameters : DelayPairParameters {
    RicochetParameters()
        : DelayPairParameters{
              .dryGain = 0.805, .leftEchoGain = 0.505, .rightEchoGain = 0.605, .leftDelayMs = 15, .rightDelayMs = 5} {}

    SharedParameter<double> leftFeedback = 0.40;   // share of the right line fed into the left
    SharedParameter<double> rightFeedback = 0.60;  // share of the left line fed into the right
};

inline constexpr int32_t kRicochetMaxDelayMs = 3000;

class CRicochetSettings final : public CDelayPairSettings {
public:
    RicochetParameters parameters;

    // Puts the defaults in place (the same for every purpose), then loads the stored list.
    void LoadParameters(const PresetStore& store, PresetDefaults defaults) override;
    bool SaveParameters(const PresetStore& store) const override;
    std::unique_ptr<CPluginSettings> CopyParameters() const override;

private:
    const DelayPairParameters& PairParameters() const override { return parameters; }
    void ProcessFrames(float* left, float* right, uint32_t frames) override;
};
