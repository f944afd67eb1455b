// The true-peak limiter: no latency, exact frame counts, a steady gain on a steady tone, and
// the ceiling kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "engine/limiter.h"
#include "engine/loudness.h"

namespace {

std::vector<float> Tone(double hz, double amplitude, uint32_t frames, uint32_t channels) {
    std::vector<float> samples(size_t{frames} * channels);
    for (uint32_t f = 0; f < frames; ++f)
        for (uint32_t c = 0; c < channels; ++c)
            samples[size_t{f} * channels + c] =
                static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * f / 44100.0));
    return samples;
}

// Everything through the limiter in pieces of piece frames, then the flush.
std::vector<float> Limit(TruePeakLimiter& limiter, const std::vector<float>& in, uint32_t channels, uint32_t piece) {
    const auto frames = static_cast<uint32_t>(in.size() / channels);
    std::vector<float> out(in.size() + size_t{limiter.Delay()} * channels);
    uint32_t written = 0;
    for (uint32_t at = 0; at < frames; at += piece)
        written += limiter.Process(in.data() + size_t{at} * channels, std::min(piece, frames - at),
                                   out.data() + size_t{written} * channels);
    written += limiter.Flush(out.data() + size_t{written} * channels);
    out.resize(size_t{written} * channels);
    return out;
}

TEST(Limiter, AddsNoLatencyAndKeepsTheFrameCount) {
    // Below the ceiling the limiter passes every frame through unchanged, in place.
    for (const uint32_t frames : {1u, 100u, 5000u, 44100u}) {
        std::vector<float> in = Tone(440, 0.5, frames, 2);
        in[0] = 0.7f;  // first and last frames marked
        in[in.size() - 1] = -0.6f;
        for (const uint32_t piece : {1u, 64u, 1024u}) {
            TruePeakLimiter limiter(2, 44100);
            const std::vector<float> out = Limit(limiter, in, 2, piece);
            ASSERT_EQ(out.size(), in.size()) << frames << " frames in pieces of " << piece;
            EXPECT_EQ(out, in) << frames << " frames in pieces of " << piece;
        }
    }
    // A flushed limiter starts again from silence.
    TruePeakLimiter limiter(1, 44100);
    const std::vector<float> first = Limit(limiter, Tone(1000, 1.0, 2000, 1), 1, 512);
    const std::vector<float> again = Limit(limiter, Tone(1000, 1.0, 2000, 1), 1, 512);
    EXPECT_EQ(first, again);
}

TEST(Limiter, ASteadyToneGetsASteadyGainUnderTheCeiling) {
    const double ceiling = std::pow(10.0, -1.0 / 20.0);
    for (const double hz : {997.0, 100.0, 5000.0}) {
        const std::vector<float> in = Tone(hz, 1.4, 3 * 44100, 2);
        TruePeakLimiter limiter(2, 44100);
        const std::vector<float> out = Limit(limiter, in, 2, 1024);
        ASSERT_EQ(out.size(), in.size());
        // The envelope: the largest magnitude per 20 ms window, after the first 50 ms.
        double low = 1e9, high = 0.0;
        for (size_t first = 2205; first + 882 <= out.size() / 2; first += 882) {
            double peak = 0.0;
            for (size_t f = first; f < first + 882; ++f) peak = std::max(peak, std::fabs(double{out[f * 2]}));
            low = std::min(low, peak);
            high = std::max(high, peak);
        }
        EXPECT_LT(20.0 * std::log10(high / low), 0.1) << hz << " Hz: gain modulation";
        EXPECT_LE(high, ceiling) << hz << " Hz";
        EXPECT_GT(high, ceiling * 0.95) << hz << " Hz: no more reduction than needed";
    }
}

TEST(Limiter, APeakAfterQuietIsCaughtAheadAndReleasedAfterwards) {
    // Quiet, one loud burst of 10 ms, quiet again.
    std::vector<float> in = Tone(1000, 0.25, 44100, 1);
    for (size_t f = 22050; f < 22050 + 441; ++f) in[f] *= 6.0f;
    TruePeakLimiter limiter(1, 44100);
    const std::vector<float> out = Limit(limiter, in, 1, 700);
    ASSERT_EQ(out.size(), in.size());
    LoudnessMeter meter(1, 44100);
    meter.Add(out.data(), static_cast<uint32_t>(out.size()));
    EXPECT_LE(meter.Result().truePeakDbtp, -1.0);
    // Before the look-ahead the gain is still 1; well after the release it is back.
    EXPECT_EQ(out[22050 - 400], in[22050 - 400]);
    EXPECT_NEAR(out[44000] / in[44000], 1.0, 1e-2);
}

}  // namespace
