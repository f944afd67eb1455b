// The true-peak limiter: per frame, the oversampled peak gives the gain the frame needs; the
// smallest need over the look-ahead and hold window is released slowly and averaged over the
// look-ahead, so the gain is already down when the peak leaves the delay.
#include <algorithm>
#include <cmath>

#include "engine/limiter.h"
#include "engine/src/true_peak.h"

namespace {

using truepeak::kReach;
using truepeak::kTaps;
constexpr uint32_t kCarried = kTaps - 1;
// The interpolation's error against a meter that oversamples differently.
constexpr double kMarginDb = 0.1;

uint32_t Frames(double ms, uint32_t rate) {
    return std::max(1u, static_cast<uint32_t>(std::lround(ms * rate / 1000.0)));
}

}  // namespace

TruePeakLimiter::TruePeakLimiter(uint32_t channels, uint32_t sampleRate, const LimiterSettings& settings)
    : channels_(std::max(1u, channels)),
      lookAhead_(Frames(settings.lookAheadMs, sampleRate)),
      hold_(Frames(settings.holdMs, sampleRate)),
      delay_(lookAhead_ + kReach - 1),
      ceiling_(std::pow(10.0, (settings.ceilingDbtp - kMarginDb) / 20.0)),
      releaseCoefficient_(std::exp(-1.0 / (settings.releaseMs * sampleRate / 1000.0))) {
    Reset();
}

void TruePeakLimiter::Reset() {
    planes_.assign(channels_, std::vector<float>(kCarried, 0.0f));
    delayLine_.assign(size_t{delay_ + 1} * channels_, 0.0f);
    delayAt_ = 0;
    stepped_ = 0;
    taken_ = 0;
    minimum_.clear();
    released_ = 1.0;
    box_.assign(lookAhead_, 1.0);
    boxAt_ = 0;
    boxSum_ = lookAhead_;
}

void TruePeakLimiter::ComputeNeeds(uint32_t count) {
    // Frame f of the block needs the peak of point p = f - kReach, interpolated from the
    // kTaps samples that end with f: plane samples f ... f + kTaps - 1.
    needs_.assign(count, 1.0);
    const float ceiling = static_cast<float>(ceiling_);
    const float bound = truepeak::BoundFactor();
    float peaks[truepeak::kChunk];
    float largest[truepeak::kChunk];
    for (uint32_t first = 0; first < count; first += truepeak::kChunk) {
        const uint32_t frames = std::min(truepeak::kChunk, count - first);
        // No point of the chunk can pass the ceiling: every need is 1.
        const bool quiet = std::all_of(planes_.begin(), planes_.end(), [&](const std::vector<float>& plane) {
            return truepeak::LargestMagnitude(plane.data() + first, frames + kCarried) * bound <= ceiling;
        });
        if (quiet) continue;
        std::fill_n(largest, frames, 0.0f);
        for (const std::vector<float>& plane : planes_) {
            truepeak::ChunkPeaks(plane.data() + first, frames, peaks);
            for (uint32_t i = 0; i < frames; ++i) largest[i] = std::max(largest[i], peaks[i]);
        }
        for (uint32_t i = 0; i < frames; ++i)
            if (largest[i] > ceiling) needs_[first + i] = ceiling_ / largest[i];
    }
}

void TruePeakLimiter::Step(const float* frame, double need, float* out, bool emit) {
    const uint64_t index = stepped_++;
    const uint64_t p = index - std::min<uint64_t>(index, kReach);
    while (!minimum_.empty() && minimum_.back().second >= need) minimum_.pop_back();
    minimum_.emplace_back(p, need);
    // The gain of frame k = p - lookAhead + 1 covers the needs of k - hold ... p.
    const uint64_t k = p + 1 - std::min<uint64_t>(p + 1, lookAhead_);
    const uint64_t oldest = k - std::min<uint64_t>(k, hold_);
    while (minimum_.front().first < oldest) minimum_.pop_front();
    const double held = minimum_.front().second;
    released_ = held < released_ ? held : held + (released_ - held) * releaseCoefficient_;
    // The average over the look-ahead of gains that each cover frame k's need stays below it.
    boxSum_ += released_ - box_[boxAt_];
    box_[boxAt_] = released_;
    boxAt_ = boxAt_ + 1 == lookAhead_ ? 0 : boxAt_ + 1;
    const double gain = std::min(1.0, boxSum_ / lookAhead_);

    float* delayed = &delayLine_[size_t{delayAt_} * channels_];
    std::copy_n(frame, channels_, delayed);
    delayAt_ = delayAt_ == delay_ ? 0 : delayAt_ + 1;
    if (!emit || index < delay_) return;
    // The ring's next slot holds the frame delay_ frames back.
    const float* leaving = &delayLine_[size_t{delayAt_} * channels_];
    for (uint32_t c = 0; c < channels_; ++c) out[c] = static_cast<float>(leaving[c] * gain);
}

uint32_t TruePeakLimiter::StepBlock(const float* in, uint32_t count, float* out, uint64_t limit) {
    for (uint32_t c = 0; c < channels_; ++c) {
        std::vector<float>& plane = planes_[c];
        plane.resize(kCarried + count);
        for (uint32_t f = 0; f < count; ++f) plane[kCarried + f] = in[size_t{f} * channels_ + c];
    }
    ComputeNeeds(count);
    uint32_t written = 0;
    for (uint32_t f = 0; f < count && written < limit; ++f) {
        const bool emits = stepped_ >= delay_;
        Step(in + size_t{f} * channels_, needs_[f], out + size_t{written} * channels_, true);
        written += emits;
    }
    // The block's last samples are the next block's history.
    for (std::vector<float>& plane : planes_) plane.erase(plane.begin(), plane.end() - kCarried);
    return written;
}

uint32_t TruePeakLimiter::Process(const float* in, uint32_t count, float* out) {
    const uint32_t written = StepBlock(in, count, out, count);
    taken_ += count;
    return written;
}

uint32_t TruePeakLimiter::Flush(float* out) {
    const std::vector<float> silence(size_t{delay_} * channels_, 0.0f);
    // Only the frames of the real input leave; the ones before the start never entered.
    const uint64_t pending = taken_ - (stepped_ >= delay_ ? stepped_ - delay_ : 0);
    const uint32_t written = StepBlock(silence.data(), delay_, out, pending);
    Reset();
    return written;
}
