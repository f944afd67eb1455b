// The wah-wah filter: the dry signal mixed with a copy passed through a second-order
// band-pass (or band-reject) filter whose centre frequency sweeps between two borders.
// Inside, a graph of stages: a fan-out feeds a dry gain stage and the wah stage, the wah
// stage feeds a wet gain stage, and a sum stage adds the two gain stages.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "plugins/common/dsp_base_effect.h"
#include "plugins/common/plugin_frame.h"

inline constexpr uint32_t kWahWahMaxChannels = 10;
inline constexpr uint32_t kWahWahSliceFrames = 16384;

// Float storage per channel, kept between pulls and grown when a pull needs more, with a
// record that views it.
class CStageBuffer {
public:
    // The view of channels × frames samples (contents unspecified); capacity is frames.
    _SOUNDDATAEX_& Prepare(size_t channels, uint32_t frames);

private:
    std::vector<std::vector<float>> m_storage;
    _SOUNDDATAEX_ m_view;
};

// Gain stage: every sample multiplied by one gain.
class CVolumeEffect : public CBaseEffect {
public:
    explicit CVolumeEffect(double gain = 1.0) : m_gain(gain) {}
    void SetGain(double gain) { m_gain = gain; }

protected:
    void Process(_SOUNDDATAEX_& record) override;

private:
    double m_gain;
};

// Fan-out: the first consumer of a round fills the cache (from the record it brings, then
// from the source when there is one); every consumer of the round receives the cached block.
class CEffectMux : public CBaseEffect {
public:
    explicit CEffectMux(int consumers) : m_consumers(consumers) {}
    bool Pull(_SOUNDDATAEX_& record) override;

private:
    int m_consumers;
    int m_counter = 0;
    bool m_result = true;
    CStageBuffer m_cache;
};

// Sum: each input stage is pulled on a copy of the record and the results are added.
class CEffectSum : public CBaseEffect {
public:
    static constexpr size_t kMaxInputs = 10;
    // Appends an input; false when the list is full.
    bool AddInput(CBaseEffect* input);
    bool Pull(_SOUNDDATAEX_& record) override;

private:
    std::array<CBaseEffect*, kMaxInputs> m_inputs{};
    size_t m_inputCount = 0;
    CStageBuffer m_accumulator;
    CStageBuffer m_scratch;
};

struct WahWahParameters {
    double bandWidth = 400.0;     // Hz
    double upperBorder = 1500.0;  // Hz
    double lowerBorder = 300.0;   // Hz
    double speed = 3.0;           // sweeps per second
    int32_t kind = 1;             // 1 band-pass, otherwise band-reject
    int32_t logarithmic = 1;
    int32_t normalize = 0;
};

// The swept filter. All channels share the sweep; each keeps its own filter history and
// envelopes.
class CEffectWahWah : public CBaseEffect {
public:
    CEffectWahWah();

    void SetParameters(const WahWahParameters& parameters);
    // Sweep length from the speed and the rate, histories cleared, envelopes at 1.0.
    void Open(const WAVEFORMATEX& format) override;

    // Samples the centre frequency takes to travel from one border to the other.
    int64_t SweepLength() const { return m_sweepLength; }
    // The centre frequency the next sample is filtered at, after the clamps.
    double CentreFrequency() const;

protected:
    void Process(_SOUNDDATAEX_& record) override;

private:
    struct ChannelState {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        double inputEnvelope = 1.0, outputEnvelope = 1.0;
    };

    void DeriveConstants();
    void UpdateCoefficients(double centre);
    void AdvanceSweep();

    WahWahParameters m_parameters;
    double m_logLower = 0, m_logUpper = 0;  // logarithms of the borders
    double m_bandWidth = 0;                 // within the stable range
    double m_rejectTangent = 0;             // tan(π × band width / fs)
    double m_b0 = 0, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    std::array<ChannelState, kWahWahMaxChannels> m_channels{};
    double m_attack;
    double m_release;
    int64_t m_position = 0;
    int64_t m_direction = 1;
    int64_t m_sweepLength = 2;
};

// The settings object of the plug-in: the parameters (which a settings window writes while a
// stream runs) and the stage graph of the open stream. The parameters reach the stages when
// the stream is opened.
class CWahWahSettings final : public CPluginSettings {
public:
    static constexpr double kStoredGainScale = 32767.0;

    SharedParameter<double> dryGain = StoredToGain(8191);
    SharedParameter<double> wetGain = StoredToGain(65534);
    SharedParameter<double> bandWidth = 400.0;
    SharedParameter<double> upperBorder = 1500.0;
    SharedParameter<double> lowerBorder = 300.0;
    SharedParameter<double> speed = 3.0;
    SharedParameter<int32_t> kind = 1;
    SharedParameter<int32_t> logarithmic = 1;
    SharedParameter<int32_t> normalize = 0;

    void LoadParameters(const PresetStore& store, PresetDefaults defaults) override;
    bool SaveParameters(const PresetStore& store) const override;
    std::unique_ptr<CPluginSettings> CopyParameters() const override;
    // Unsupported: no channels, more than kWahWahMaxChannels, or no sample rate.
    int OpenStream(const WAVEFORMATEX& format) override;
    uint32_t ProcessStream(_SOUNDDATAEX_& record) override;
    void CloseStream() override;

    // Stored number ↔ gain; a stored value read and saved again stays the same.
    static double StoredToGain(double stored);
    static double GainToStored(double gain);

    WahWahParameters FilterParameters() const;

private:
    // The graph, built by OpenStream; null while no stream is open.
    std::unique_ptr<CVolumeEffect> m_dryStage;
    std::unique_ptr<CVolumeEffect> m_wetStage;
    std::unique_ptr<CEffectSum> m_sumStage;
    std::unique_ptr<CEffectMux> m_fanOutStage;
    std::unique_ptr<CEffectWahWah> m_wahStage;
};
