// The windowed-sinc interpolation of the true-peak points and its bound.
#include "engine/src/true_peak.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace truepeak {
namespace {

struct Interpolator {
    // weights[phase - 1][j]: the weight of sample p - kReach + 1 + j for the point at
    // p + phase / kPhases.
    float weights[kPhases - 1][kTaps];
    float bound = 1.0f;

    Interpolator() {
        for (uint32_t phase = 1; phase < kPhases; ++phase) {
            double sum = 0.0;
            for (uint32_t j = 0; j < kTaps; ++j) {
                const double offset = static_cast<double>(phase) / kPhases - (static_cast<double>(j) - (kReach - 1));
                const double x = std::numbers::pi * offset;
                const double sinc = offset == 0.0 ? 1.0 : std::sin(x) / x;
                const double window = 0.5 * (1.0 + std::cos(std::numbers::pi * offset / kReach));
                weights[phase - 1][j] = static_cast<float>(sinc * window);
                sum += std::fabs(weights[phase - 1][j]);
            }
            // A little over the exact sum, so float rounding never breaks the bound.
            bound = std::max(bound, static_cast<float>(sum * 1.0001));
        }
    }
};

const Interpolator& Filter() {
    static const Interpolator filter;
    return filter;
}

}  // namespace

float BoundFactor() { return Filter().bound; }

void ChunkPeaks(const float* x, uint32_t count, float* peaks) {
    const Interpolator& filter = Filter();
    for (uint32_t i = 0; i < count; ++i) peaks[i] = std::fabs(x[i + kReach - 1]);
    // One phase at a time over the whole chunk, so the sums run side by side in vectors.
    float sums[kChunk];
    for (uint32_t phase = 0; phase + 1 < kPhases; ++phase) {
        std::fill_n(sums, count, 0.0f);
        for (uint32_t j = 0; j < kTaps; ++j) {
            const float weight = filter.weights[phase][j];
            for (uint32_t i = 0; i < count; ++i) sums[i] += weight * x[i + j];
        }
        for (uint32_t i = 0; i < count; ++i) peaks[i] = std::max(peaks[i], std::fabs(sums[i]));
    }
}

float LargestMagnitude(const float* x, size_t count) {
    float largest = 0.0f;
    for (size_t i = 0; i < count; ++i) largest = std::max(largest, std::fabs(x[i]));
    return largest;
}

PeakScanner::PeakScanner(uint32_t channels)
    : channels_(std::max(1u, channels)), planes_(channels_, std::vector<float>(kTaps - 1, 0.0f)) {}

void PeakScanner::Scan(std::vector<std::vector<float>>& planes, float& peak) {
    const float bound = BoundFactor();
    float peaks[kChunk];
    for (std::vector<float>& plane : planes) {
        const auto count = static_cast<uint32_t>(plane.size() - (kTaps - 1));
        // Point i - kReach of the stream is interpolated from plane samples i ... i + kTaps - 1.
        for (uint32_t first = 0; first < count; first += kChunk) {
            const uint32_t n = std::min(kChunk, count - first);
            const float* x = plane.data() + first;
            if (LargestMagnitude(x, n + kTaps - 1) * bound <= peak) continue;
            ChunkPeaks(x, n, peaks);
            peak = std::max(peak, *std::max_element(peaks, peaks + n));
        }
        plane.erase(plane.begin(), plane.end() - (kTaps - 1));
    }
}

void PeakScanner::Add(const float* frames, uint32_t count) {
    for (uint32_t c = 0; c < channels_; ++c) {
        std::vector<float>& plane = planes_[c];
        const size_t carried = plane.size();
        plane.resize(carried + count);
        for (uint32_t f = 0; f < count; ++f) plane[carried + f] = frames[size_t{f} * channels_ + c];
    }
    Scan(planes_, peak_);
}

float PeakScanner::Peak() const {
    std::vector<std::vector<float>> planes = planes_;
    for (std::vector<float>& plane : planes) plane.resize(plane.size() + kReach, 0.0f);
    float peak = peak_;
    Scan(planes, peak);
    return peak;
}

}  // namespace truepeak
