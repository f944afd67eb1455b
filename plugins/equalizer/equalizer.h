// The linear phase equalizer: ten band gains turned into a 4096-tap symmetric FIR filter,
// applied per channel by FFT block convolution. The effect delays by 6144 samples inside and
// its stream protocol removes that delay, so output and input are aligned and equally long.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "dsp/nsp_vector.h"
#include "plugins/common/dsp_base_effect.h"
#include "plugins/common/plugin_frame.h"

inline constexpr int kEqualizerBands = 10;
// Latency of the filter inside the engine: one block plus the filter's centre.
inline constexpr uint32_t kEqualizerDelay = 6144;
inline constexpr uint32_t kEqualizerMaxChannels = 8;

// One channel's engine. A new engine has all gains 1.0 and every buffer, the filter
// included, zero. SetGains designs the filter for the sample rate of the last Open (44100 Hz
// before any); processing runs the samples through it with a delay of kEqualizerDelay.
class CEqualizerFFT : public CBaseEffect {
public:
    static constexpr uint32_t kBlock = 4096;       // samples collected per convolution
    static constexpr int kOrder = 13;              // transform of a block and its tail
    static constexpr uint32_t kBins = 4097;        // CCS bins of order 13
    static constexpr int kDesignOrder = 12;        // the 4096-tap response
    static constexpr uint32_t kDesignBins = 2049;  // CCS bins of order 12
    static constexpr std::array<int, kEqualizerBands + 1> kBandEdges{0,    31,   62,   125,  250,  500,
                                                                     1000, 2000, 4000, 8000, 22000};

    CEqualizerFFT();

    // Sample rate from the format; rings, overlap tail and work buffer cleared; not primed.
    void Open(const WAVEFORMATEX& format) override;
    // Copies the ten linear band gains (lowest band first) and designs the filter.
    void SetGains(std::span<const double, kEqualizerBands> gains);
    // Runs count samples in place through the filter.
    void ProcessSamples(float* samples, uint32_t count);

    // True once a whole block has been convolved since the last Open.
    bool IsPrimed() const { return m_primed; }
    // The zero-phase magnitude curve over 0 ... fs/2 (real parts; imaginary parts are 0).
    std::span<const DCplx, kDesignBins> DesignSpectrum() const;
    // The spectrum each block is multiplied by.
    std::span<const DCplx, kBins> FilterSpectrum() const;

protected:
    // Channel 0 of the record, record.capacity samples.
    void Process(_SOUNDDATAEX_& record) override;

private:
    void DesignFilter();
    void ConvolveBlock();

    uint32_t m_position = 0;
    std::vector<double> m_inputRing;      // kBlock: the block being collected
    std::vector<double> m_outputRing;     // kBlock: output of the previous block
    std::vector<double> m_work;           // 2 kBlock: block being transformed
    std::vector<DCplx> m_blockSpectrum;   // kBins
    std::vector<DCplx> m_filterSpectrum;  // kBins: H
    std::array<double, kEqualizerBands> m_gains;
    std::vector<double> m_overlapTail;  // kBlock: second half of the last convolved block
    bool m_primed = false;
    std::vector<DCplx> m_designSpectrum;  // kDesignBins
};

// The settings object of the plug-in: the ten gains (which a settings window writes while a
// stream runs) and the state of the stream opened on it. The gains reach the engines when
// the stream is opened.
class CEqualizerSettings final : public CPluginSettings {
public:
    static constexpr int32_t kStoredUnity = 3276700;  // stored value of gain 1.0

    CEqualizerSettings();

    std::array<SharedParameter<double>, kEqualizerBands> gains;

    void LoadParameters(const PresetStore& store, PresetDefaults defaults) override;
    bool SaveParameters(const PresetStore& store) const override;
    std::unique_ptr<CPluginSettings> CopyParameters() const override;
    // Unsupported: no channels, more than kEqualizerMaxChannels, or no sample rate.
    int OpenStream(const WAVEFORMATEX& format) override;
    uint32_t ProcessStream(_SOUNDDATAEX_& record) override;
    void CloseStream() override;

    // Stored integer ↔ gain.
    static double StoredToGain(int32_t stored);
    static int32_t GainToStored(double gain);

private:
    // Pulls the first kEqualizerDelay samples and runs them through the engines; returns
    // how many the callback delivered.
    uint32_t Prime();
    // Pulls record.capacity samples; when fewer come, the input has ended and the rest is
    // made up from the tail. Returns the samples to produce.
    uint32_t PullAndPad(_SOUNDDATAEX_& record);
    void RunEngines(_SOUNDDATAEX_& record, uint32_t count);

    int32_t m_tailCount = 0;  // delayed samples still to flush after the input ended
    bool m_inputEnded = false;
    std::array<std::unique_ptr<CEqualizerFFT>, kEqualizerMaxChannels> m_engines;
    uint32_t m_engineCount = 0;
    SoundBlock m_primeBlock;      // kEqualizerDelay samples per channel
    _SOUNDDATAEX_ m_channelView;  // one channel of the host's record, for an engine
};
