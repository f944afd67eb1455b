// The save's loudness gain and limiter on interleaved 16-bit frames.
#include <algorithm>
#include <cmath>

#include "engine/src/save_jobs.h"

namespace {

constexpr float kFullScale = 32767.0f;

}  // namespace

SaveLimiter::SaveLimiter(uint32_t channels, double gainDb)
    : channels_(channels),
      gain_(static_cast<float>(std::pow(10.0, gainDb / 20.0) / kFullScale)),
      limiter_(channels, kWorkingRate) {}

uint32_t SaveLimiter::Process(const int16_t* in, uint32_t count, int16_t* out) {
    const size_t samples = size_t{count} * channels_;
    input_.resize(samples);
    output_.resize(samples);
    for (size_t i = 0; i < samples; ++i) input_[i] = in[i] * gain_;
    const uint32_t written = limiter_.Process(input_.data(), count, output_.data());
    ToPcm(written, out);
    return written;
}

uint32_t SaveLimiter::Flush(int16_t* out) {
    output_.resize(size_t{limiter_.Delay()} * channels_);
    const uint32_t written = limiter_.Flush(output_.data());
    ToPcm(written, out);
    return written;
}

void SaveLimiter::ToPcm(uint32_t frames, int16_t* out) const {
    const size_t samples = size_t{frames} * channels_;
    for (size_t i = 0; i < samples; ++i)
        out[i] = static_cast<int16_t>(std::clamp(std::lrint(output_[i] * kFullScale), -32768L, 32767L));
}
