// A true-peak limiter: one gain for all channels, computed from the four times oversampled
// peak of a look-ahead window, lowered smoothly across the look-ahead before a peak and raised
// again over the release. The look-ahead is an internal delay that Flush gives back, so the
// output has exactly the input's frames and starts where the input does.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

struct LimiterSettings {
    double ceilingDbtp = -1.0;
    double lookAheadMs = 5.0;
    double holdMs = 20.0;  // keeps the gain across the troughs of low tones
    double releaseMs = 100.0;
};

class TruePeakLimiter {
public:
    TruePeakLimiter(uint32_t channels, uint32_t sampleRate, const LimiterSettings& settings = {});

    // Takes count interleaved float frames (full scale 1.0) and writes the frames that have
    // left the delay to out, which must hold count frames. Returns the frames written: fewer
    // than count only while the delay fills at the start.
    uint32_t Process(const float* in, uint32_t count, float* out);
    // Writes the frames still in the delay to out (which must hold Delay() frames) and
    // returns how many; afterwards the limiter starts again from silence.
    uint32_t Flush(float* out);
    // The frames held back between Process and its output.
    uint32_t Delay() const { return delay_; }

private:
    // The gains each of count frames needs, from planes_, whose first kTaps - 1 samples are
    // the ones before them.
    void ComputeNeeds(uint32_t count);
    // Runs count frames through the gain and the delay; at most limit frames are written.
    uint32_t StepBlock(const float* in, uint32_t count, float* out, uint64_t limit);
    void Step(const float* frame, double need, float* out, bool emit);
    void Reset();

    uint32_t channels_;
    uint32_t lookAhead_;  // box length of the gain smoothing
    uint32_t hold_;
    uint32_t delay_;
    double ceiling_;
    double releaseCoefficient_;

    // Per channel: the last kTaps - 1 samples, then the block in work.
    std::vector<std::vector<float>> planes_;
    std::vector<double> needs_;  // of the block in work
    std::vector<float> delayLine_;  // a ring of delay_ + 1 frames
    uint32_t delayAt_ = 0;
    uint64_t stepped_ = 0;  // frames stepped since the start, flush frames included
    uint64_t taken_ = 0;    // real input frames since the start
    // The sliding minimum of the required gains: (frame index, gain), gains rising.
    std::deque<std::pair<uint64_t, double>> minimum_;
    double released_ = 1.0;
    std::vector<double> box_;  // the released gains of the last lookAhead_ frames
    uint32_t boxAt_ = 0;
    double boxSum_;
};
