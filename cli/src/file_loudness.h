// The loudness of a whole file, decoded through the provider as the program reads a track.
#pragma once

#include <optional>
#include <string>

#include "contracts/wave_format.h"
#include "engine/loudness.h"

// Decodes the file at its own rate, in its own channels (more than two mixed to stereo), and
// measures it. Nothing when it cannot be decoded or measured, or when an interrupt stops it.
std::optional<LoudnessResult> MeasureFileLoudness(const std::string& path, const WAVEFORMATEXTENSIBLE& own);
