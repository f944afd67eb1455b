// The true-peak limiter: per frame, the oversampled peak gives the gain the frame needs; the
// smallest need over the look-ahead and hold window is released slowly and averaged over the
// look-ahead, so the gain is already down when the peak leaves the delay.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/limiter.h"

namespace {

constexpr uint32_t kPhases = 4;  // four times oversampling
constexpr uint32_t kTaps = 12;   // per phase: the interpolation reaches kTaps / 2 frames ahead
constexpr uint32_t kReach = kTaps / 2;
// The interpolation's error against a meter that oversamples differently.
constexpr double kMarginDb = 0.1;

struct Interpolator {
    // coefficients[phase - 1][j]: the weight of frame p - kReach + 1 + j for the point at
    // p + phase / kPhases.
    double coefficients[kPhases - 1][kTaps];

    Interpolator() {
        for (uint32_t phase = 1; phase < kPhases; ++phase)
            for (uint32_t j = 0; j < kTaps; ++j) {
                const double offset = static_cast<double>(phase) / kPhases - (static_cast<double>(j) - (kReach - 1));
                const double x = std::numbers::pi * offset;
                const double sinc = offset == 0.0 ? 1.0 : std::sin(x) / x;
                const double window = 0.5 * (1.0 + std::cos(std::numbers::pi * offset / kReach));
                coefficients[phase - 1][j] = sinc * window;
            }
    }
};

const Interpolator& Filter() {
    static const Interpolator filter;
    return filter;
}

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
    history_.assign(size_t{kTaps} * channels_, 0.0f);
    historyAt_ = 0;
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

double TruePeakLimiter::FramePeak() const {
    // The history holds frames p - kReach + 1 ... p + kReach, oldest at historyAt_; the
    // points between p and p + 1 are interpolated.
    const Interpolator& filter = Filter();
    double peak = 0.0;
    for (uint32_t c = 0; c < channels_; ++c) {
        auto at = [&](uint32_t j) { return history_[size_t{(historyAt_ + j) % kTaps} * channels_ + c]; };
        peak = std::max(peak, static_cast<double>(std::fabs(at(kReach - 1))));
        for (uint32_t phase = 0; phase + 1 < kPhases; ++phase) {
            double value = 0.0;
            for (uint32_t j = 0; j < kTaps; ++j) value += filter.coefficients[phase][j] * at(j);
            peak = std::max(peak, std::fabs(value));
        }
    }
    return peak;
}

void TruePeakLimiter::Step(const float* frame, float* out, bool emit) {
    std::copy_n(frame, channels_, &history_[size_t{historyAt_} * channels_]);
    historyAt_ = (historyAt_ + 1) % kTaps;
    const uint64_t index = stepped_++;

    // The need of frame p = index - kReach, whose interpolation reaches this frame.
    const double peak = FramePeak();
    const double need = peak > ceiling_ ? ceiling_ / peak : 1.0;
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
    boxAt_ = (boxAt_ + 1) % lookAhead_;
    const double gain = std::min(1.0, boxSum_ / lookAhead_);

    float* delayed = &delayLine_[size_t{delayAt_} * channels_];
    std::copy_n(frame, channels_, delayed);
    delayAt_ = (delayAt_ + 1) % (delay_ + 1);
    if (!emit || index < delay_) return;
    // The ring's next slot holds the frame delay_ frames back.
    const float* leaving = &delayLine_[size_t{delayAt_} * channels_];
    for (uint32_t c = 0; c < channels_; ++c) out[c] = static_cast<float>(leaving[c] * gain);
}

uint32_t TruePeakLimiter::Process(const float* in, uint32_t count, float* out) {
    uint32_t written = 0;
    for (uint32_t f = 0; f < count; ++f) {
        const bool emits = stepped_ >= delay_;
        Step(in + size_t{f} * channels_, out + size_t{written} * channels_, true);
        written += emits;
    }
    taken_ += count;
    return written;
}

uint32_t TruePeakLimiter::Flush(float* out) {
    const std::vector<float> silence(channels_, 0.0f);
    // Only the frames of the real input leave; the ones before the start never entered.
    const uint64_t pending = taken_ - (stepped_ >= delay_ ? stepped_ - delay_ : 0);
    uint32_t written = 0;
    for (uint32_t f = 0; f < delay_ && written < pending; ++f) {
        const bool emits = stepped_ >= delay_;
        Step(silence.data(), out + size_t{written} * channels_, true);
        written += emits;
    }
    Reset();
    return written;
}
