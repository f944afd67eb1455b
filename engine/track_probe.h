// The quick check of a file chosen as a track: is it there, readable, audio the provider
// opens, with at most two channels. It reads only the file's start (the provider's probe),
// never decodes it, so the user interface can ask at once when a file is chosen.
#pragma once

#include <cstdint>
#include <string>

#include "contracts/wave_format.h"

enum class TrackFileProblem {
    None,
    Missing,          // "does not exist"
    Folder,           // "is a folder"
    NoPermission,     // "no permission"
    Empty,            // "empty file"
    NotAudio,         // "not an audio file"
    TooManyChannels,  // "more than two channels"
};

struct TrackProbe {
    TrackFileProblem problem = TrackFileProblem::None;
    // The provider's probe of the file, when it opened it.
    WAVEFORMATEXTENSIBLE format{};
    uint32_t length = 0;  // frames at the file's own rate

    bool Ok() const { return problem == TrackFileProblem::None; }
};

// Checks the file in that order: existence, folder, read permission, size, the provider's
// probe, channels. A path the provider opens without a file behind it (an audio CD's track)
// passes the file checks.
TrackProbe ProbeTrackFile(const std::string& path);

// The reason's words ("not an audio file" ...); empty for None.
const char* TrackFileProblemText(TrackFileProblem problem);

// What opening the file as a track says about the problem: the first line is the opening's
// own text ("Error opening <display name>", or "Multi-channel sound can not be added to a
// track"), the second names the file and the reason ("song.mp3: not an audio file").
// Without a display name the track's own is used (its title tag, else its file name).
// Empty for None.
std::string TrackProbeMessage(const std::string& path, TrackFileProblem problem, const std::string& displayName = {});
