// Measuring a range with libebur128 and counting its clipped samples.
#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "engine/loudness.h"
#include "engine/src/true_peak.h"

namespace {

constexpr uint32_t kHopMs = 100;
constexpr uint32_t kMomentaryMs = 400;
constexpr uint32_t kShortTermMs = 3000;
constexpr uint64_t kShortTermHops = 10;

struct StateDeleter {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};

bool Finite(double value) { return std::isfinite(value); }

}  // namespace

bool LoudnessResult::HasLoudness() const { return Finite(integratedLufs); }

struct LoudnessMeter::State {
    std::unique_ptr<ebur128_state, StateDeleter> meter;
    // The true peak is found here rather than by libebur128, which interpolates every
    // sample: the scanner skips what cannot raise the peak.
    std::optional<truepeak::PeakScanner> peaks;
    std::vector<float> scaled;  // 16-bit samples as floats for the scanner
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint64_t frames = 0;
    uint32_t untilHop = 0;  // frames left before the next 100 ms query
    uint64_t hops = 0;
    double maxMomentary = -HUGE_VAL;
    double maxShortTerm = -HUGE_VAL;
    uint64_t clipped = 0;
};

LoudnessMeter::LoudnessMeter(uint32_t channels, uint32_t sampleRate) : state_(std::make_unique<State>()) {
    state_->channels = channels;
    state_->rate = sampleRate;
    state_->untilHop = sampleRate * kHopMs / 1000;
    if (channels == 0 || sampleRate == 0) return;
    state_->meter.reset(ebur128_init(channels, sampleRate, EBUR128_MODE_I | EBUR128_MODE_LRA));
    state_->peaks.emplace(channels);
    // A range under the momentary window is measured over its own length at the end.
    if (state_->meter) ebur128_set_max_window(state_->meter.get(), kShortTermMs);
}

LoudnessMeter::~LoudnessMeter() = default;

bool LoudnessMeter::Valid() const { return state_->meter != nullptr; }

void LoudnessMeter::Track(uint32_t count) {
    State& s = *state_;
    s.frames += count;
    s.untilHop -= count;
    if (s.untilHop > 0) return;
    s.untilHop = s.rate * kHopMs / 1000;
    ++s.hops;
    // The fallback reads the momentary maximum only for ranges under the short-term window,
    // and the short-term one only for longer ranges that gating left without a loudness;
    // each window is summed anew at every query, so the short-term one, 7.5 times as long,
    // is asked once a second (every tenth hop), which keeps its maximum within a fraction
    // of a dB of the sliding one at a tenth of the cost.
    const uint64_t ms = s.frames * 1000 / s.rate;
    double value = -HUGE_VAL;
    if (ms >= kMomentaryMs && ms < kShortTermMs && ebur128_loudness_momentary(s.meter.get(), &value) == EBUR128_SUCCESS)
        s.maxMomentary = std::max(s.maxMomentary, value);
    if (ms >= kShortTermMs && s.hops % kShortTermHops == 0 &&
        ebur128_loudness_shortterm(s.meter.get(), &value) == EBUR128_SUCCESS)
        s.maxShortTerm = std::max(s.maxShortTerm, value);
}

void LoudnessMeter::Add(const int16_t* frames, uint32_t count) {
    if (!Valid()) return;
    State& s = *state_;
    const size_t samples = size_t{count} * s.channels;
    s.scaled.resize(samples);
    for (size_t i = 0; i < samples; ++i) {
        s.clipped += frames[i] == 32767 || frames[i] == -32768;
        s.scaled[i] = frames[i] * (1.0f / 32768.0f);
    }
    s.peaks->Add(s.scaled.data(), count);
    // Fed in pieces that end on the 100 ms hops, so the fallback sees every hop.
    while (count > 0) {
        const uint32_t piece = std::min(count, s.untilHop);
        ebur128_add_frames_short(s.meter.get(), frames, piece);
        Track(piece);
        frames += size_t{piece} * s.channels;
        count -= piece;
    }
}

void LoudnessMeter::Add(const float* frames, uint32_t count) {
    if (!Valid()) return;
    State& s = *state_;
    const size_t samples = size_t{count} * s.channels;
    for (size_t i = 0; i < samples; ++i) s.clipped += std::fabs(frames[i]) >= 1.0f;
    s.peaks->Add(frames, count);
    while (count > 0) {
        const uint32_t piece = std::min(count, s.untilHop);
        ebur128_add_frames_float(s.meter.get(), frames, piece);
        Track(piece);
        frames += size_t{piece} * s.channels;
        count -= piece;
    }
}

LoudnessResult LoudnessMeter::Result() const {
    LoudnessResult result;
    if (!Valid()) return result;
    const State& s = *state_;
    ebur128_state* meter = s.meter.get();
    result.samples = s.frames * s.channels;
    result.clippedSamples = s.clipped;

    double value = 0.0;
    if (ebur128_loudness_global(meter, &value) == EBUR128_SUCCESS) result.integratedLufs = value;
    if (ebur128_loudness_range(meter, &value) == EBUR128_SUCCESS && Finite(value)) result.rangeLu = value;
    if (const float peak = s.peaks->Peak(); peak > 0.0f) result.truePeakDbtp = 20.0 * std::log10(peak);

    if (!Finite(result.integratedLufs) && s.frames > 0) {
        result.shortRange = true;
        // The hops miss the window that ends with the last frame.
        const uint64_t ms = s.frames * 1000 / s.rate;
        if (ms >= kShortTermMs) {
            double last = -HUGE_VAL;
            ebur128_loudness_shortterm(meter, &last);
            result.integratedLufs = std::max(s.maxShortTerm, last);
        } else if (ms >= kMomentaryMs) {
            double last = -HUGE_VAL;
            ebur128_loudness_momentary(meter, &last);
            result.integratedLufs = std::max(s.maxMomentary, last);
        } else if (ms > 0 &&
                   ebur128_loudness_window(meter, static_cast<unsigned long>(ms), &value) == EBUR128_SUCCESS) {
            result.integratedLufs = value;
        }
    }
    return result;
}

double LoudnessGainDb(const LoudnessResult& measured, double targetLufs) {
    return measured.HasLoudness() ? targetLufs - measured.integratedLufs : 0.0;
}
