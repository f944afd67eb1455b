// Four times oversampled peaks: each sample and the three points between it and the next,
// interpolated by a Hann-windowed sinc over kTaps neighbours. Shared by the true-peak limiter
// and the loudness meter, which both skip the interpolation where a cheap bound shows that
// it cannot matter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace truepeak {

inline constexpr uint32_t kPhases = 4;
inline constexpr uint32_t kTaps = 12;  // per phase: the interpolation reaches kTaps / 2 frames ahead
inline constexpr uint32_t kReach = kTaps / 2;
// Frames examined at once for the bound.
inline constexpr uint32_t kChunk = 32;

// An upper bound of the oversampled peak over the largest magnitude of the kTaps samples it
// is interpolated from (the largest sum of one phase's absolute weights, at least 1).
float BoundFactor();

// The oversampled peaks of one channel's points first ... first + count - 1 (count at most
// kChunk): peaks[i] is the largest of |x[i + kReach - 1]| and the points between it and the
// next sample, from the contiguous samples x[0 ... count + kTaps - 2].
void ChunkPeaks(const float* x, uint32_t count, float* peaks);

// The largest magnitude of count interleaved samples.
float LargestMagnitude(const float* x, size_t count);

// The largest oversampled peak of a stream of interleaved frames, full scale at 1.0. A chunk
// whose bound stays under the peak found so far is not interpolated.
class PeakScanner {
public:
    explicit PeakScanner(uint32_t channels);
    void Add(const float* frames, uint32_t count);
    // The peak so far, the last frames' points included as if silence followed.
    float Peak() const;

private:
    // Scans the frames after the carried ones in each channel's window and keeps the last
    // kTaps - 1 of them.
    static void Scan(std::vector<std::vector<float>>& planes, float& peak);

    uint32_t channels_;
    std::vector<std::vector<float>> planes_;  // per channel: the last kTaps - 1 samples, then the block
    float peak_ = 0.0f;
};

}  // namespace truepeak
