// The audio engine: the progress protocol between a worker and its front, temporary files
// and mappings, and the decoded tracks of the timeline (TrackSlot, TrackSource).
// Free of Qt. Strings are UTF-8. Timeline positions are frames at 44100 per second.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "contracts/wave_format.h"

// ==== progress protocol ====================================================================
// A long job runs on a worker thread while its front (the modal progress dialog, a console
// bar, or the headless runner) shows the percentage and offers a cancel button. The worker
// waits for the front's ready event, writes the percentage, polls the cancel request and ends
// the run with one of these results.

enum ProgressResult : int {
    kProgressCompleted = 1,
    kProgressCancelled = 2,
    kProgressFailed = 3,
};

// What the creator allows a worker after the modal run before it stops trusting it.
inline constexpr uint32_t kWorkerEndWaitMs = 10000;

// The meeting point of one worker and one front. A front derives from it, implements
// RunModal and OnEnd, and calls SignalReady once it is showing.
// Thread use: percentage, cancel request and the ended/closed flags are atomics written and
// read by both threads; readyMutex_ guards ready_ (the ready event).
class IProgress {
public:
    virtual ~IProgress() = default;
    IProgress(const IProgress&) = delete;
    IProgress& operator=(const IProgress&) = delete;

    const std::string& Text() const { return text_; }
    bool CancelEnabled() const { return cancelEnabled_; }

    // ---- worker side
    // Blocks until the front is ready. False when the run was closed first: the worker must
    // then stop without doing its job.
    bool WaitReady();
    // The percentage may pass 100 when a job's length was only an estimate.
    void SetPercent(uint32_t percent);
    // True once the user cancelled (when cancel is enabled) or the run was closed.
    bool StopRequested() const { return cancelRequested_.load() || closed_.load(); }
    // Ends the modal run with the result; only the first call counts.
    void End(int result);

    // ---- front side
    // Shows the front until the run ends; returns the result passed to End (or the front's
    // own result when it had to close without the worker, e.g. a skin that cannot load).
    virtual int RunModal() = 0;
    uint32_t Percent() const { return percent_.load(); }
    // The cancel button: ignored when cancel is not enabled; otherwise only sets the request,
    // the run goes on until the worker ends it.
    void RequestCancel();
    // After the modal run: asks the worker to stop and releases it if it still waits for the
    // ready event.
    void Close();

protected:
    IProgress(std::string text, bool cancelEnabled);
    void SignalReady();
    // Called once, on the worker's thread: the front ends its modal run with the result.
    virtual void OnEnd(int result) = 0;
    // Called on the worker's thread after every percentage change.
    virtual void OnPercent(uint32_t /*percent*/) {}

private:
    const std::string text_;
    const bool cancelEnabled_;
    std::atomic<uint32_t> percent_{0};
    std::atomic<bool> cancelRequested_{false};
    std::atomic<bool> ended_{false};
    std::atomic<bool> closed_{false};
    std::mutex readyMutex_;  // guards ready_
    std::condition_variable readyChanged_;
    bool ready_ = false;
};

// Makes the fronts for the jobs of one operation (the program's dialogs, the console, tests).
class IProgressFactory {
public:
    virtual ~IProgressFactory() = default;
    virtual std::unique_ptr<IProgress> Create(const std::string& text, bool cancelEnabled) = 0;
};

// A worker job: runs after the ready event and returns its result (1, 2 or 3).
using ProgressWork = std::function<int(IProgress&)>;

// Starts the job on its own thread, runs the front modally and returns the run's result.
// After the modal run the worker is asked to stop and given up to endWaitMs to end. It is
// joined in every case, because it may still use what the caller owns; a worker that
// overran the wait makes the result "failed" unless the run was cancelled. A job that throws
// ends the run as failed.
int RunWithProgress(IProgress& progress, const ProgressWork& work, uint32_t endWaitMs = kWorkerEndWaitMs);

// When the headless front requests cancel on its own.
struct CancelPolicy {
    std::optional<uint32_t> atPercent;  // as soon as the worker reports at least this
    std::optional<uint32_t> afterMs;    // once the run has lasted this long
    std::string onlyText;               // when not empty: only in runs with this text
};

// What a headless run looked like, for the caller to inspect afterwards.
struct ProgressRecord {
    std::string text;
    bool cancelEnabled = false;
    uint32_t lastPercent = 0;
    int result = 0;
};

// The front without a window: used by tests and the command-line tool. It is ready at once,
// wakes every 10 ms like the dialog's timer, and requests cancel by its policy.
class HeadlessProgressFactory : public IProgressFactory {
public:
    explicit HeadlessProgressFactory(CancelPolicy policy = {}) : policy_(std::move(policy)) {}
    std::unique_ptr<IProgress> Create(const std::string& text, bool cancelEnabled) override;
    // Every run made by this factory, in order, once it has ended.
    const std::vector<ProgressRecord>& Records() const { return records_; }

private:
    CancelPolicy policy_;
    std::vector<ProgressRecord> records_;
};

// ==== files ================================================================================

// An owned file descriptor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Close(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Release();
    void Close();

private:
    int fd_ = -1;
};

// Writes all bytes, resuming after interruptions and partial writes. False when the file
// took fewer bytes (a full disk, a size limit, an I/O error).
bool WriteAll(int fd, const void* data, size_t bytes);

// A temporary file of the program: a unique name "<temp folder>/<prefix><n>.<extension>",
// created new with mode 0600 (never an existing file or a link), removed by its owner.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() { Remove(); }
    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&& other) noexcept;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Removes any file held before. False when no file could be created.
    bool Create(const std::string& prefix, const std::string& extension);
    // Closes the descriptor; the file stays until Remove.
    void CloseHandle() { fd_.Close(); }
    // Deletes the file and forgets its name.
    void Remove();

    int fd() const { return fd_.get(); }
    const std::string& Path() const { return path_; }

private:
    UniqueFd fd_;
    std::string path_;
};

// A read-only shared mapping of the first bytes of a file.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile() { Unmap(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps exactly bytes bytes; false when bytes is 0, the file is shorter, or mmap fails.
    bool Map(int fd, uint64_t bytes);
    void Unmap();

    const uint8_t* data() const { return data_; }
    uint64_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
};

// ==== track source =========================================================================

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
    static constexpr uint32_t kPeakBlock = 256;        // frames per peak pair
    static constexpr uint32_t kPeakChannelLimit = 8;   // channels with a peak array
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
