// The independent meter: ffmpeg's ebur128 filter with true peak, read from its summary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FfmpegLoudness {
    bool ok = false;
    double integrated = 0.0;  // LUFS
    double range = 0.0;       // LU
    double truePeak = 0.0;    // dBTP
};

FfmpegLoudness MeasureWithFfmpeg(const std::string& path);
// Writes interleaved 16-bit samples at 44100 Hz as a WAV file.
void WriteWav(const std::string& path, const std::vector<int16_t>& samples, uint32_t channels);
// A sine of the frequency at the level (dBFS), channels alike, as 16-bit samples.
std::vector<int16_t> Sine(double hz, double dbfs, double seconds, uint32_t channels);
