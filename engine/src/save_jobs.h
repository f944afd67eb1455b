// The pieces of exporting and saving that live outside RingtoneSaver: the export worker,
// normalizing and the messages.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "engine/limiter.h"
#include "engine/loudness.h"
#include "engine/progress.h"
#include "engine/render_chain.h"

inline constexpr uint32_t kSaveBlockFrames = 1024;

// Pulls the chain set up for export and writes each block to the export file after its
// header, exactly frames frames: a chain that ends early is followed by silence, one that
// delivers more is cut, so the file always matches its header.
// The rendered float samples, before their conversion to 16 bits, go to the meter.
struct ExportJob {
    RingtoneTimeline& timeline;
    int fd;
    uint32_t frames;
    LoudnessMeter& meter;

    int Run(IProgress& progress) const;
};

// Raises the per-channel peak magnitudes (channels 0 and 1; -32768 counts as 32768) by the
// interleaved 16-bit frames.
void CollectPeaks(const int16_t* samples, uint32_t frames, uint32_t channels, std::array<uint16_t, 2>& peaks);
// The gain that brings the peak to full scale, 1 / (peak / 32767); 0 for a silent channel.
float NormalizeGain(uint16_t peak);
// Each channel's samples become trunc(gain x sample + 0.5), clamped to 16 bits, when the
// channel's gain is not 0 and below 200.
void ApplyGains(int16_t* samples, uint32_t frames, uint32_t channels, const std::array<float, 2>& gains);

// The loudness gain (dB) and the true-peak limiter of a save, on interleaved 16-bit frames
// at the working rate. Like the limiter it holds Delay() frames back until Flush.
class SaveLimiter {
public:
    SaveLimiter(uint32_t channels, double gainDb);
    // out holds count frames; returns the frames written.
    uint32_t Process(const int16_t* in, uint32_t count, int16_t* out);
    // out holds Delay() frames; returns the frames written.
    uint32_t Flush(int16_t* out);
    uint32_t Delay() const { return limiter_.Delay(); }

private:
    void ToPcm(uint32_t frames, int16_t* out) const;

    uint32_t channels_;
    float gain_;  // the loudness gain over 16-bit full scale
    TruePeakLimiter limiter_;
    std::vector<float> input_;
    std::vector<float> output_;
};

inline constexpr const char* kShortRangeText = "Please select a minimum of one\nsecond length track to proceed";
inline constexpr const char* kExportErrorText = "Error preparing file for export";
inline constexpr const char* kExportProbeErrorText = "Error opening temponary file";
inline constexpr const char* kSaveErrorText = "Error saving file";
inline constexpr const char* kExportProgressText = "Preparing for Export...";
inline constexpr const char* kSaveProgressText = "Preparing file";

// Shows a message in the program's message box.
void ShowSaveMessage(const char* text, uint32_t type);
