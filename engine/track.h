// The decoded tracks of the timeline: TrackSource (16-bit PCM in a mapped temporary file,
// with its peak cache and placement) and TrackSlot (a track position of the main window).
// Timeline positions are frames at 44100 per second.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "contracts/wave_format.h"
#include "engine/progress.h"
#include "engine/temp_files.h"

struct PeakPair {
    int16_t minimum;
    int16_t maximum;
};

// The waveform editor's columns for one zoom, kept with each track: per channel one
// (minimum, maximum) pair per pixel column.
struct DrawCache {
    std::vector<std::vector<PeakPair>> channels;
    int64_t firstColumn = 0;  // in units of the zoom, counted from the placement start
    uint32_t validPairs = 0;
    uint32_t zoom = 0;
    bool valid = false;

    // Empties the cache and prepares one column array per channel.
    void Reset(uint32_t channelCount);
};

enum class TrimEdge { Start, End };

// A decoded track: 16-bit PCM at 44100 Hz, one or two channels, in a temporary "qosrc" file
// mapped into memory, with a peak cache and its place on the timeline.
// Open and the workers run on the creator's thread and the job threads; the track is touched
// only by the worker until its run has ended. Afterwards every call comes from one thread at
// a time: the UI thread, or the render thread under the caller's guard.
class TrackSource {
public:
    static constexpr uint32_t kPeakBlock = 256;       // frames per peak pair
    static constexpr uint32_t kPeakChannelLimit = 8;  // channels with a peak array
    static constexpr uint32_t kDecodeBlockFrames = 1024;

    TrackSource();
    ~TrackSource() { Reset(); }
    TrackSource(const TrackSource&) = delete;
    TrackSource& operator=(const TrackSource&) = delete;

    // Decodes the file (unless the track is already open), builds the peak cache and places
    // the track at [0, frames). Shows "Error opening %s" or the multi-channel message on
    // failure, nothing when the user cancelled; the track then stays reset.
    bool Open(const std::string& path, const std::string& givenName, IProgressFactory& progress);

    // Unmaps and deletes the decoded file, frees the peaks, empties the drawing cache and
    // zeroes frames, placement and active range.
    void Reset();

    // Copies from the decoded PCM; returns the bytes copied (0 when not open or past the end).
    uint32_t Read(void* destination, uint64_t byteOffset, uint32_t byteCount) const;

    // Adds the track's frames that sound inside [firstFrame, firstFrame + frameCount) into the
    // 16-bit interleaved buffer (one or two channels), with 16-bit saturation. A mono track
    // sounds equally on both channels of a two-channel output.
    void RenderIntoMix(void* output, int64_t firstFrame, uint32_t frameCount, const WAVEFORMATEX& outputFormat) const;

    // Moves the whole track; the active start never goes below frame 0. True if it moved.
    bool Move(int64_t delta);
    // Moves one edge of the active range inside the placement, keeping at least five pixels'
    // worth of frames. True if the edge changed.
    bool Trim(uint32_t framesPerPixel, TrimEdge edge, int64_t position);

    // Minimum and maximum of one channel over frames block × 256 … + 255; (32767, −32768)
    // for a block or channel without frames.
    PeakPair Peak(uint32_t channel, uint32_t block) const;

    bool IsOpen() const { return static_cast<bool>(mapped_); }
    const WAVEFORMATEXTENSIBLE& Format() const { return format_; }
    uint32_t Channels() const { return format_.Format.nChannels; }
    uint32_t BlockAlign() const { return format_.Format.nBlockAlign; }
    uint32_t Frames() const { return frames_; }
    const uint8_t* Data() const { return mapped_.data(); }
    const std::string& TempPath() const { return tempFile_.Path(); }
    const std::string& DisplayName() const { return displayName_; }
    uint32_t PeakArrayBytes() const { return peakArrayBytes_; }
    int64_t PlacementStart() const { return placementStart_; }
    int64_t PlacementEnd() const { return placementEnd_; }
    int64_t ActiveStart() const { return activeStart_; }
    int64_t ActiveEnd() const { return activeEnd_; }

    // Kept for the waveform editor, which owns their meaning.
    DrawCache& EditorDrawCache() { return drawCache_; }
    uint8_t editorFlag = 0;

private:
    bool Decode(const std::string& path, const std::string& displayName, uint32_t probedRate, uint32_t probedLength,
                IProgressFactory& progress);
    int RunPeakCache(IProgress& progress);

    WAVEFORMATEXTENSIBLE format_;
    uint32_t frames_ = 0;
    TempFile tempFile_;
    MappedFile mapped_;
    std::vector<std::vector<int16_t>> peaks_;  // one array per channel, pairs (min, max)
    uint32_t peakArrayBytes_ = 0;
    DrawCache drawCache_;
    int64_t placementStart_ = 0;
    int64_t placementEnd_ = 0;
    int64_t activeStart_ = 0;
    int64_t activeEnd_ = 0;
    std::string displayName_;
};

// One track position of the main window: the file the user chose and its decoded track.
struct TrackSlot {
    TrackSlot() = default;
    ~TrackSlot() { Clear(); }
    TrackSlot(const TrackSlot&) = delete;
    TrackSlot& operator=(const TrackSlot&) = delete;

    // Deletes the old file if it was the program's own, resets the track and stores the new
    // path with the temporary flag cleared and no given name.
    void SetPath(const std::string& newPath);
    // False for an empty path; otherwise opens the track.
    bool Open(IProgressFactory& progress);
    // Deletes the program's own file, resets the track and empties the strings.
    void Clear();

    bool temporary = false;  // the path names a file the program made; the slot deletes it
    std::string path;
    std::string givenName;  // display name chosen by the caller, may be empty
    TrackSource source;

private:
    void DeleteOwnFile();
};
