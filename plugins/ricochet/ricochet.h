// Ricochet, the ping-pong delay: two delay lines whose outputs cross to the opposite channel
// and feed each other, so that each echo bounces between left and right while it fades.
#pragma once

#include <cstdint>
#include <memory>

#include "plugins/common/delay_line.h"
#include "plugins/common/plugin_frame.h"

// The parameters in memory. The settings window writes them while a stream reads them at
// every sample (SharedParameter).
struct RicochetParameters {
    SharedParameter<double> dryGain = 0.805;        // "DryOut"
    SharedParameter<double> leftEchoGain = 0.505;   // "LVol": the left line's output, heard on the right
    SharedParameter<double> rightEchoGain = 0.605;  // "RVol": the right line's output, heard on the left
    SharedParameter<int32_t> leftDelayMs = 15;      // "LDel", 0 to 3000
    SharedParameter<int32_t> rightDelayMs = 5;      // "RDel", 0 to 3000
    SharedParameter<int32_t> invertLeft = 0;        // "InvertL"
    SharedParameter<int32_t> invertRight = 0;       // "InvertR"
    SharedParameter<int32_t> muteDry = 0;           // "DisMain"
    SharedParameter<int32_t> lockChannels = 0;      // "LockCh", for the settings window
    SharedParameter<double> leftFeedback = 0.40;    // "LFacFading": share of the right line fed into the left
    SharedParameter<double> rightFeedback = 0.60;   // "RFacFading": share of the left line fed into the right
};

inline constexpr int32_t kRicochetMaxDelayMs = 3000;
inline constexpr uint32_t kRicochetSliceFrames = 4096;

class CRicochetSettings final : public CPluginSettings {
public:
    RicochetParameters parameters;

    // Puts the defaults in place (the same for every purpose), then loads the stored list.
    void LoadParameters(const PresetStore& store, PresetDefaults defaults) override;
    bool SaveParameters(const PresetStore& store) const override;
    std::unique_ptr<CPluginSettings> CopyParameters() const override;

    // Refuses more than two channels (and absurd rates); else sizes the lines from the
    // delays and the sample rate. A one-channel stream has no right line.
    int OpenStream(const WAVEFORMATEX& format) override;
    uint32_t ProcessStream(_SOUNDDATAEX_& record) override;
    // Ends the stream; the lines keep their rings until the next OpenStream or Free.
    void CloseStream() override;

    const CDelay& LeftLine() const { return m_leftLine; }
    const CDelay& RightLine() const { return m_rightLine; }

private:
    void ProcessBlock(_SOUNDDATAEX_& block, uint32_t frames);

    CDelay m_leftLine;
    CDelay m_rightLine;
    uint32_t m_streamChannels = 0;  // 0 while no stream is open
};
