// The steps of opening a track that live outside TrackSource: its display name and the two
// worker jobs (decode to the temporary file, peak cache).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/progress.h"

// The title tag when the file has one, else the file's name without folder and extension.
std::string TrackDisplayName(const std::string& path);

// Reads the whole file from the provider's reader in 1024-frame blocks and appends them to
// the temporary file. frames is written by the worker and read by the creator after the run.
struct DecodeJob {
    uint32_t reader = 0;
    int fd = -1;
    uint32_t blockAlign = 0;
    uint32_t expectedFrames = 0;  // the estimate behind the percentage only
    uint32_t frames = 0;

    int Run(IProgress& progress);
};

// Fills one array per channel (up to the channel limit) with a (minimum, maximum) pair per
// 256 frames of the interleaved 16-bit samples. arrayBytes is the size of each array.
int BuildPeakArrays(IProgress& progress, const int16_t* samples, uint32_t frames, uint32_t channels,
                    std::vector<std::vector<int16_t>>& peaks, uint32_t& arrayBytes);

// Shows a message in the program's message box with the OK button.
void ShowTrackMessage(const std::string& text);
