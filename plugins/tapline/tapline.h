// Tapline, the two-channel delay: each channel hears its own input again after its own
// delay at its own level, with a faint repeat one hundred times weaker each time.
#pragma once

#include <cstdint>
#include <memory>

#include "plugins/common/delay_line.h"
#include "plugins/common/plugin_frame.h"

// The parameters in memory. The settings window writes them while a stream reads them at
// every sample (SharedParameter). The initialisers are Initialize's defaults.
struct TaplineParameters {
    SharedParameter<double> dryGain = 0.75;        // "DryOut"
    SharedParameter<double> leftEchoGain = 0.55;   // "VolL"
    SharedParameter<double> rightEchoGain = 0.55;  // "VolR"
    SharedParameter<int32_t> leftDelayMs = 18;     // "DelL", 0 to 5000
    SharedParameter<int32_t> rightDelayMs = 18;    // "DelR", 0 to 5000
    SharedParameter<int32_t> lockChannels = 0;     // "HoldChannels", for the settings window
    SharedParameter<int32_t> invertLeft = 0;       // "InvertL"
    SharedParameter<int32_t> invertRight = 0;      // "InvertR"
    SharedParameter<int32_t> muteDry = 0;          // "DisMain"
};

inline constexpr int32_t kTaplineMaxDelayMs = 5000;
inline constexpr uint32_t kTaplineSliceFrames = 4096;
// The share of a line's output written back into it: each repeat is 100 times weaker.
inline constexpr double kTaplineRepeat = 0.01;

class CTaplineSettings final : public CPluginSettings {
public:
    TaplineParameters parameters;

    // Initialize's defaults or LoadPreset's (dry 0.80, echo gains 0.40, delays 50 ms), then
    // the stored list.
    void LoadParameters(const PresetStore& store, PresetDefaults defaults) override;
    bool SaveParameters(const PresetStore& store) const override;
    std::unique_ptr<CPluginSettings> CopyParameters() const override;

    // Refuses more than two channels (and absurd rates); else sizes one line per channel
    // from its delay and the sample rate.
    int OpenStream(const WAVEFORMATEX& format) override;
    uint32_t ProcessStream(_SOUNDDATAEX_& record) override;
    // Ends the stream and destroys both lines.
    void CloseStream() override;

    const CDelay& LeftLine() const { return m_leftLine; }
    const CDelay& RightLine() const { return m_rightLine; }

private:
    void ProcessBlock(_SOUNDDATAEX_& block, uint32_t frames);

    CDelay m_leftLine;
    CDelay m_rightLine;
    uint32_t m_streamChannels = 0;  // 0 while no stream is open
};
