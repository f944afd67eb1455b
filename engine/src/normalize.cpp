// Normalizing saved samples to full scale, per channel.
#include "engine/src/save_jobs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr float kGainLimit = 200.0f;  // a channel that would need this much or more is left as it is

}  // namespace

void CollectPeaks(const int16_t* samples, uint32_t frames, uint32_t channels, std::array<uint16_t, 2>& peaks) {
    const uint32_t counted = std::min<uint32_t>(channels, 2);
    for (uint32_t f = 0; f < frames; ++f)
        for (uint32_t k = 0; k < counted; ++k) {
            const auto magnitude = static_cast<uint16_t>(std::abs(static_cast<int>(samples[f * channels + k])));
            peaks[k] = std::max(peaks[k], magnitude);
        }
}

float NormalizeGain(uint16_t peak) { return peak == 0 ? 0.0f : static_cast<float>(1.0 / (peak / 32767.0)); }

void ApplyGains(int16_t* samples, uint32_t frames, uint32_t channels, const std::array<float, 2>& gains) {
    const uint32_t shaped = std::min<uint32_t>(channels, 2);
    for (uint32_t k = 0; k < shaped; ++k) {
        const float gain = gains[k];
        if (gain == 0.0f || gain >= kGainLimit) continue;
        for (uint32_t f = 0; f < frames; ++f) {
            int16_t& sample = samples[f * channels + k];
            const double value = std::trunc(static_cast<double>(gain) * sample + 0.5);
            sample = static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
        }
    }
}
