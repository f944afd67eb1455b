// Loudness as EBU R128 measures it (integrated loudness, loudness range, true peak) over a
// rendered range, and the share of its samples that clip.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>

// What a measurement found. A range too short for gating (or gated out entirely) has no
// integrated loudness; it then reports its loudest short-term loudness (momentary loudness
// under three seconds) and sets shortRange.
struct LoudnessResult {
    double integratedLufs = -HUGE_VAL;  // or the fallback loudness when shortRange
    double rangeLu = 0.0;
    double truePeakDbtp = -HUGE_VAL;
    bool shortRange = false;
    uint64_t samples = 0;         // frames x channels measured
    uint64_t clippedSamples = 0;  // at or beyond full scale

    // Percent of the samples that clip, 0 ... 100.
    double ClippedPercent() const { return samples == 0 ? 0.0 : 100.0 * clippedSamples / samples; }
    bool Clips() const { return clippedSamples > 0; }
    // Whether a loudness was found at all (silence has none).
    bool HasLoudness() const;
};

// The texts shown beside a result.
inline constexpr const char* kShortRangeLoudnessText = "short range: maximum short-term loudness";

// Feeds interleaved frames to a libebur128 state it owns and counts clipped samples.
class LoudnessMeter {
public:
    LoudnessMeter(uint32_t channels, uint32_t sampleRate);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // False when libebur128 could not be set up (every Add and Result then does nothing).
    bool Valid() const;
    // 16-bit samples: -32768 and 32767 count as clipped.
    void Add(const int16_t* frames, uint32_t count);
    // Float samples with full scale at 1.0: a magnitude of 1.0 or more counts as clipped.
    void Add(const float* frames, uint32_t count);
    LoudnessResult Result() const;

private:
    struct State;
    // Queries the momentary and short-term loudness once per 100 ms of audio for the
    // short-range fallback.
    void Track(uint32_t count);

    std::unique_ptr<State> state_;
};

// The gain in dB that brings a measured loudness to the target; 0 without a loudness.
double LoudnessGainDb(const LoudnessResult& measured, double targetLufs);
