// What the two delay plug-ins share: the parameters of a pair of delay lines (a dry gain, an
// echo gain and a delay per side, the invert and mute flags, the settings window's lock),
// their stored form, and the settings record base that runs one line per channel of a mono
// or stereo stream. Free of Qt.
#pragma once

#include <cstdint>

#include "contracts/sound_data.h"
#include "contracts/wave_format.h"
#include "plugins/common/delay_line.h"
#include "plugins/common/plugin_frame.h"

// The shared parameters in memory. The settings window writes them while a stream reads them
// at every sample (SharedParameter).
struct DelayPairParameters {
    SharedParameter<double> dryGain;
    SharedParameter<double> leftEchoGain;   // the left line's output level
    SharedParameter<double> rightEchoGain;  // the right line's output level
    SharedParameter<int32_t> leftDelayMs;
    SharedParameter<int32_t> rightDelayMs;
    SharedParameter<int32_t> invertLeft = 0;
    SharedParameter<int32_t> invertRight = 0;
    SharedParameter<int32_t> muteDry = 0;
    SharedParameter<int32_t> lockChannels = 0;  // for the settings window
};

// The stored form of the shared parameters: gains in whole per cent, delays in milliseconds,
// the flags as they are. Each plug-in stores them under its own keys, in its own order.
struct StoredDelayPair {
    int32_t dryOut;
    int32_t leftVolume;
    int32_t rightVolume;
    int32_t leftDelay;
    int32_t rightDelay;
    int32_t disMain = 0;
    int32_t lockChannels = 0;
    int32_t invertLeft = 0;
    int32_t invertRight = 0;
};

// Stored form → parameters: a gain is (per cent + gainOffset) / 100 with the per cent at
// most 100, a delay at most maxDelayMs (both read as unsigned numbers first).
void LoadDelayPair(const StoredDelayPair& stored, double gainOffset, int32_t maxDelayMs,
                   DelayPairParameters& parameters);
// Parameters → stored form: gains cut toward whole per cents (FactorToStored).
StoredDelayPair StoredFormOf(const DelayPairParameters& parameters);

// Frames pulled through the stream callback at a time.
inline constexpr uint32_t kDelayPairSliceFrames = 4096;

// Base of the delay plug-ins' settings records: one line per channel, sized from the delays
// when the stream opens, and the stream pulled in slices of kDelayPairSliceFrames.
class CDelayPairSettings : public CPluginSettings {
public:
    // Refuses more than two channels (and rates above kMaxDelaySampleRate); else sizes the
    // left line, and for a stereo stream the right one, from the delays and the sample rate.
    // A mono stream has no right line, so it never hears what a stereo stream left there.
    int OpenStream(const WAVEFORMATEX& format) override;
    uint32_t ProcessStream(_SOUNDDATAEX_& record) override;
    // Ends the stream; the lines keep their rings until the next OpenStream or Free.
    void CloseStream() override;

    const CDelay& LeftLine() const { return m_leftLine; }
    const CDelay& RightLine() const { return m_rightLine; }

protected:
    // Frees both rings.
    void FreeLines();

    CDelay m_leftLine;
    CDelay m_rightLine;

private:
    // The parameters the lines are sized from.
    virtual const DelayPairParameters& PairParameters() const = 0;
    // Changes `frames` samples of left, and of right (null in a mono stream), in place.
    virtual void ProcessFrames(float* left, float* right, uint32_t frames) = 0;

    uint32_t m_streamChannels = 0;  // 0 while no stream is open
};
