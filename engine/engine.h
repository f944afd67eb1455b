// The audio engine: the progress protocol between a worker and its front, temporary files
// and mappings, and the decoded tracks of the timeline (TrackSlot, TrackSource).
// Free of Qt. Strings are UTF-8. Timeline positions are frames at 44100 per second.
#pragma once

#include <atomic>
#include <chrono>
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
#include "platform/unique_fd.h"

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

// A front without a window: ready at once, it wakes every period until the worker ends the
// run. resultMutex_ guards ended_ and result_, set by the worker and awaited by the front.
class TickingProgress : public IProgress {
protected:
    TickingProgress(std::string text, bool cancelEnabled) : IProgress(std::move(text), cancelEnabled) {}
    // Signals ready, calls onTick on every wake while the run goes on, returns the result.
    int RunTicking(std::chrono::milliseconds period, const std::function<void()>& onTick);
    void OnEnd(int result) final;

private:
    std::mutex resultMutex_;
    std::condition_variable resultChanged_;
    bool ended_ = false;
    int result_ = 0;
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

// ==== playback engine ======================================================================
// The player streams float sample blocks, pulled from a data callback, to the default output
// device through a sound ring of equal parts; its feeder thread refills the parts that have
// played. CExtPlayerDX is the player; XPlayer is its IPlayer face for the clients (the
// waveform editor's preview, the recorder dialog), one client at a time.

#include <array>
#include <thread>

#include "contracts/sound_data.h"
#include "platform/platform.h"

enum PlayerState : int32_t {
    kPlayerPlaying = 0,
    kPlayerPaused = 1,
    kPlayerStopped = 2,
    kPlayerFailed = 3,
};

// Results of the player's operations.
enum PlayerResult : int {
    kPlayerOk = 0,
    kPlayerDeviceError = 1,  // also a value out of range
    kPlayerFailedState = 5,  // also Play without a data callback
    kPlayerNotStopped = 6,   // allowed only while stopped (or refused inside the data callback)
};

// Stop modes; the last one is kept as the stop status, kStopFailed after a device failure.
enum PlayerStopMode : int32_t {
    kStopRequested = 1,
    kStopDataEnded = 2,
    kStopFailed = 3,
};

// Fills the block (its capacity is the number of frames asked for), sets its frames and
// returns the frames delivered; 0 ends the data. Also called with an empty block of capacity
// 0 when the callback is replaced (the owner lets go of the context), and once with an empty
// block of capacity 1 when playback has ended (the end notice; also after a device failure,
// when the player's state is failed). Runs on the feeder thread (the first blocks on the
// thread that starts playback), so it must never wait for the thread that drives the player.
// The player refuses Play, Stop, Pause, Reset, the setters of format and buffers, OpenDevice
// and CloseDevice when they are called from inside the callback.
using PlayerDataCallback = uint32_t (*)(void* context, _SOUNDDATAEX_* block, uint32_t tag);

// The system wave-out volume the initial volume and balance come from: left in the low
// 16 bits, right in the high 16 bits. SDL has no master volume, so this is 100 % on both.
inline constexpr uint32_t kSystemWaveOutVolume = 0xFFFFFFFF;

struct PlayerLevels {
    uint32_t volume;   // 0 … 100
    uint32_t balance;  // 0 … 100, 50 = centre
};
// The volume and balance that reproduce a wave-out volume word.
PlayerLevels LevelsFromWaveOutVolume(uint32_t waveOutVolume);

// The player's settings, its data callback and the sample block the callback fills.
// Locks: formatLock_ guards format_, bufferCount_, bufferSize_, volume_, balance_, the block's
// arrays (re-allocation and gains) and the gains of the derived player; deviceLock_
// serialises opening and closing the device with the state changes that go with them;
// callbackLock_ guards callback_ and context_ and surrounds every call of the callback.
// Lock order: deviceLock_, callbackLock_, formatLock_. State and stop status are atomics.
// Format and buffers change only while stopped, so the feeder reads them without the lock
// while it fills.
class CExtPlayer {
public:
    static constexpr uint32_t kMaxBufferCount = 100;

    virtual ~CExtPlayer() = default;
    CExtPlayer(const CExtPlayer&) = delete;
    CExtPlayer& operator=(const CExtPlayer&) = delete;

    // Starts from stopped (opening the device), resumes when paused. 5 without a callback or
    // when failed, 1 when the device fails.
    virtual int Play();
    // mode kStopRequested waits until the feeder thread has ended; kStopDataEnded (the
    // feeder's own stop) sends the end notice afterwards. 5 when failed.
    virtual int Stop(int32_t mode) = 0;
    // Toggles playing and paused. 5 when failed, 1 when the device fails.
    virtual int Pause() = 0;
    // Brings any player back to stopped (closing the device) and clears the stop status.
    virtual int Reset() = 0;
    // 16-bit PCM, one or two channels (else 1). Resets a failed player first; 6 unless stopped.
    virtual int SetFormat(const WAVEFORMATEXTENSIBLE& format);
    // 1 … 100 parts (else 1); 6 unless stopped.
    virtual int SetBufferCount(uint32_t count);
    // Stores min(volume, 100) and applies the balance again.
    virtual int SetVolume(uint32_t volume);
    // Stores min(balance, 100) and sets the gains, unless failed (5).
    virtual int SetBalance(uint32_t balance) = 0;
    // Bytes per part, not 0 (else 1); 6 unless stopped. The device opens only for a whole
    // number of frames.
    virtual int SetBufferSize(uint32_t bytes);
    // Opens the device and sets the state to playing; 1 and failed on any failure.
    virtual int OpenDevice() = 0;
    // Stops if playing or paused and releases the device.
    virtual int CloseDevice() = 0;

    // 6 while playing or paused. When the pair differs from the registered one, the old
    // callback (if any) is first called with its context and an empty block of capacity 0.
    int SetDataCallback(PlayerDataCallback callback, void* context);

    int32_t State() const { return state_.load(); }
    int32_t StopStatus() const { return stopStatus_.load(); }
    const WAVEFORMATEXTENSIBLE& Format() const { return format_; }
    uint32_t BufferCount() const;
    uint32_t BufferSize() const;
    uint32_t Volume() const;
    uint32_t Balance() const;
    // Millisecond tick of the current run's first fill; 0 before it.
    uint32_t StartTick() const { return startTick_.load(); }

protected:
    // Volume and balance from the wave-out volume word.
    explicit CExtPlayer(uint32_t waveOutVolume);

    // Sets the stream going after the device opened on a start from stopped.
    virtual int StartStream() = 0;
    // True on the thread that runs this player's data callback, while it runs.
    bool InsideDataCallback() const;
    // Calls the callback under the callback lock, marked as inside it. Null when none is set.
    std::optional<uint32_t> CallDataCallback(_SOUNDDATAEX_* block);

    std::atomic<int32_t> state_{kPlayerStopped};
    std::atomic<int32_t> stopStatus_{0};
    std::atomic<uint32_t> startTick_{0};

    mutable std::mutex formatLock_;
    WAVEFORMATEXTENSIBLE format_ = kWorkingFormat;
    uint32_t bufferCount_ = 5;
    uint32_t bufferSize_ = 44100;
    uint32_t volume_ = 100;
    uint32_t balance_ = 50;
    SoundBlock block_{2, 11025};
    uint32_t blockReadPosition_ = 0;  // the fill's: the starting thread, then the feeder

    mutable std::recursive_mutex deviceLock_;

    std::recursive_mutex callbackLock_;
    PlayerDataCallback callback_ = nullptr;
    void* context_ = nullptr;
};

// The player on a sound ring. Its feeder thread waits for the part events (signalled as
// playback leaves each part), the stop event and the device-lost event, and refills the ring
// from the data callback. Once the data has ended and the ring has played it out, the feeder
// stops the player itself (mode 2) and sends the end notice. A device that goes away ends the
// player failed, with the end notice.
// Beyond the base class's locks: ring_ and deviceError_ change under deviceLock_; ring_ is
// released only when the feeder has ended or by the feeder itself, so the feeder uses it
// without the lock.
// The fill fields (write cursor, end of data) belong to the fill: the thread that starts
// playback for the first fill, the feeder afterwards.
class CExtPlayerDX : public CExtPlayer {
public:
    CExtPlayerDX();
    ~CExtPlayerDX() override;

    int Stop(int32_t mode) override;
    int Pause() override;
    int Reset() override;
    int SetBalance(uint32_t balance) override;
    int OpenDevice() override;
    int CloseDevice() override;

    float LeftGain() const;
    float RightGain() const;
    // Why the device last failed (SDL's reason), for messages.
    std::string DeviceError() const;

private:
    static constexpr size_t kStopEvent = 0;
    static constexpr size_t kDeviceLostEvent = 1;
    static constexpr size_t kFirstPartEvent = 2;
    static constexpr const char* kOutputDeviceGone = "the output device went away";

    int StartStream() override;
    int StopStream(int32_t mode);
    bool OnFeederThread() const;
    void EndFeeder();
    void ReleaseDevice();
    int DeviceFailed(const std::string& reason);
    void FeederThread();
    void FailFromFeeder();
    void SendEndNotice();
    bool Fill();
    uint32_t Source(uint8_t* region, uint32_t bytes);
    bool PullBlock();
    void ApplyGains();

    float leftGain_ = 1.0f;
    float rightGain_ = 1.0f;
    uint32_t ringSize_ = 0;
    std::unique_ptr<SoundRing> ring_;
    std::string deviceError_;  // deviceLock_
    EventSet events_{kFirstPartEvent + kMaxBufferCount};  // stop, device lost, one per part
    uint32_t writeCursor_ = 0;
    bool sourceEnded_ = false;
    bool endKnown_ = false;
    uint64_t writtenBytes_ = 0;  // bytes written to the ring in this run
    uint64_t endBytes_ = 0;      // where the data ended, in the same count
    std::thread feeder_;         // joined by the driving thread, never by itself
};

// The window side of the engines: asked for settings (messages 1034 and 1054). Called on the
// thread that calls RequestSettings.
class IPlayerClient {
public:
    virtual ~IPlayerClient() = default;
    // The client sets format, buffers and data callback of the player.
    virtual void OnPlayerSettingsRequest() = 0;
};

// How the clients drive the player; "ok" results are 1 on success and 0 otherwise.
class IPlayer {
public:
    virtual ~IPlayer() = default;
    // Play; a failed player is reset and tried once more.
    virtual int Start() = 0;
    virtual int Stop() = 0;
    virtual int Pause() = 0;
    virtual const WAVEFORMATEXTENSIBLE* GetFormat() = 0;
    virtual int SetFormat(const WAVEFORMATEXTENSIBLE& format) = 0;
    virtual uint32_t GetBufferCount() = 0;
    virtual int SetBufferCount(uint32_t count) = 0;
    virtual uint32_t GetBufferSize() = 0;
    virtual int SetBufferSize(uint32_t bytes) = 0;
    // 0 while playing or paused.
    virtual int SetDataCallback(PlayerDataCallback callback, void* context) = 0;
    virtual uint32_t GetPositionRange() = 0;
    virtual int SetPosition(uint32_t position) = 0;
    virtual int RequestSettings() = 0;
    virtual int Close() = 0;
    virtual int IsRepeat() = 0;
    virtual int32_t GetState() = 0;
};

// The application's IPlayer over its CExtPlayer. The repeat flag is read by the preview's
// data callback on the feeder thread, hence atomic.
class XPlayer : public IPlayer {
public:
    explicit XPlayer(CExtPlayer& player) : player_(player) {}

    // The window asked for settings; null for none. Set before the player is used.
    void SetClient(IPlayerClient* client) { client_ = client; }
    void SetRepeat(bool repeat) { repeat_.store(repeat ? 1 : 0); }

    int Start() override;
    int Stop() override;
    int Pause() override;
    const WAVEFORMATEXTENSIBLE* GetFormat() override;
    int SetFormat(const WAVEFORMATEXTENSIBLE& format) override;
    uint32_t GetBufferCount() override;
    int SetBufferCount(uint32_t count) override;
    uint32_t GetBufferSize() override;
    int SetBufferSize(uint32_t bytes) override;
    int SetDataCallback(PlayerDataCallback callback, void* context) override;
    uint32_t GetPositionRange() override;
    int SetPosition(uint32_t position) override;
    int RequestSettings() override;
    int Close() override;
    int IsRepeat() override;
    int32_t GetState() override;

private:
    CExtPlayer& player_;
    IPlayerClient* client_ = nullptr;
    std::atomic<int> repeat_{0};
};

// ==== recording engine =====================================================================
// The microphone captures PCM from the default input device into a set of equal buffers and
// hands each filled buffer, in capture order, to one data callback on its worker thread.
// CExtMicro is the capture object, XMicro its IMicro face for the recorder dialog.

enum MicroState : int32_t {
    kMicroRecording = 0,
    kMicroPaused = 1,
    kMicroStopped = 2,
    kMicroFailed = 3,
};

// Receives one filled buffer; called with (context, null, 0) when the callback is replaced.
// Runs on the worker thread at the highest priority the system grants, so it must never wait
// for the thread that drives the microphone; the microphone refuses Start, Stop, Pause, Close
// and the setters (0) when they are called from inside it.
using MicroDataCallback = int (*)(void* context, const void* data, uint32_t bytes);

// Locks: controlLock_ serialises the driving calls and guards the format, buffer settings,
// device_, the slots' buffers and worker_; these change only while no worker runs, so the
// worker and the device thread use them without it. callbackLock_ guards callback_ and
// context_ and surrounds every call of the callback. A slot's status is an atomic handed over
// between the device thread (queued → filled, with its stamp) and the worker (filled → free
// → queued). The state is an atomic.
class CExtMicro {
public:
    static constexpr uint32_t kMaxBuffers = 100;

    CExtMicro();
    virtual ~CExtMicro();
    CExtMicro(const CExtMicro&) = delete;
    CExtMicro& operator=(const CExtMicro&) = delete;

    // 1 when recording (started, resumed or already), 0 on failure or without a callback.
    int Start();
    // 0 when failed, else 1; a recording or paused capture stops and its device closes. The
    // buffers already filled are delivered first; a partly filled one is not.
    int Stop();
    // Toggles recording and paused; 1 on success or when stopped, 0 when failed or when the
    // device call fails.
    int Pause();
    // The capture format reported with the tag WAVE_FORMAT_EXTENSIBLE and no extra bytes.
    const WAVEFORMATEX* GetFormat();
    // Only while stopped: keeps channels, rate, bytes per second, alignment and bits as PCM.
    int SetFormat(const WAVEFORMATEX& format);
    uint32_t GetBufferCount() const;
    // Only while stopped and count ≤ 100.
    int SetBufferCount(uint32_t count);
    uint32_t GetBufferSize() const;
    // Only while stopped.
    int SetBufferSize(uint32_t bytes);
    // 0 while recording or paused. A different pair: the old callback is first called with
    // (old context, null, 0).
    int SetDataCallback(MicroDataCallback callback, void* context);
    // Stops a recording or paused capture; 1.
    int Close();
    int32_t GetState() const { return state_.load(); }
    // Why the last start failed to open or start the device (SDL's reason), for messages.
    std::string DeviceError() const;

private:
    enum SlotStatus : uint32_t { kSlotFree = 0, kSlotQueued = 1, kSlotFilled = 2 };
    enum TryResult : int { kTryStarted = 0, kTryDeviceError = 1, kTryCannotStartNow = 4 };

    struct Slot {
        std::unique_ptr<uint8_t[]> data;
        std::atomic<uint32_t> status{kSlotFree};
        uint64_t stamp = 0;  // completion stamp, written before status becomes filled
    };

    int TryStart();
    bool OpenDevice();
    void StopCapture(int32_t finalState);
    void OnBufferDone(uintptr_t slot, uint64_t stamp);
    void Worker();
    void Deliver();
    void Requeue();
    bool InsideDataCallback() const;

    std::atomic<int32_t> state_{kMicroStopped};
    EventSet captureEvent_{1};

    mutable std::recursive_mutex controlLock_;
    std::unique_ptr<CaptureDevice> device_;
    std::array<Slot, kMaxBuffers> slots_;
    WAVEFORMATEX format_ = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    WAVEFORMATEX reported_ = {};
    uint32_t bufferCount_ = 5;
    uint32_t bufferSize_ = 44100;
    std::string deviceError_;
    std::thread worker_;

    std::recursive_mutex callbackLock_;
    MicroDataCallback callback_ = nullptr;
    void* context_ = nullptr;
};

class IMicroClient {
public:
    virtual ~IMicroClient() = default;
    // The client (the recorder dialog, through the main window) sets buffers, format and
    // data callback of the microphone.
    virtual void OnMicroSettingsRequest() = 0;
};

// How the recorder dialog drives the microphone.
class IMicro {
public:
    virtual ~IMicro() = default;
    virtual int Start() = 0;
    virtual int Stop() = 0;
    virtual int Pause() = 0;
    virtual const WAVEFORMATEX* GetFormat() = 0;
    virtual int SetFormat(const WAVEFORMATEX& format) = 0;
    virtual uint32_t GetBufferCount() = 0;
    virtual int SetBufferCount(uint32_t count) = 0;
    virtual uint32_t GetBufferSize() = 0;
    virtual int SetBufferSize(uint32_t bytes) = 0;
    virtual int SetDataCallback(MicroDataCallback callback, void* context) = 0;
    virtual int RequestSettings() = 0;
    virtual int Close() = 0;
    virtual int32_t GetState() = 0;
};

// The application's IMicro over its CExtMicro.
class XMicro : public IMicro {
public:
    explicit XMicro(CExtMicro& micro) : micro_(micro) {}

    // The window asked for settings; null for none. Set before the microphone is used.
    void SetClient(IMicroClient* client) { client_ = client; }

    int Start() override { return micro_.Start(); }
    int Stop() override { return micro_.Stop(); }
    int Pause() override { return micro_.Pause(); }
    const WAVEFORMATEX* GetFormat() override { return micro_.GetFormat(); }
    int SetFormat(const WAVEFORMATEX& format) override { return micro_.SetFormat(format); }
    uint32_t GetBufferCount() override { return micro_.GetBufferCount(); }
    int SetBufferCount(uint32_t count) override { return micro_.SetBufferCount(count); }
    uint32_t GetBufferSize() override { return micro_.GetBufferSize(); }
    int SetBufferSize(uint32_t bytes) override { return micro_.SetBufferSize(bytes); }
    int SetDataCallback(MicroDataCallback callback, void* context) override {
        return micro_.SetDataCallback(callback, context);
    }
    int RequestSettings() override {
        if (client_) client_->OnMicroSettingsRequest();
        return 1;
    }
    int Close() override { return micro_.Close(); }
    int32_t GetState() override { return micro_.GetState(); }

private:
    CExtMicro& micro_;
    IMicroClient* client_ = nullptr;
};

// ==== render chain =========================================================================
// The ringtone is made on demand, one block at a time, by a chain of stages: a source stage
// mixes the tracks at the requested timeline position, the effect tree applies the chosen
// effects, the volume stage scales and the fade stage shapes the first and last second.
// Playback pulls through CViewInput (the play range, with repeat), export through
// CExportInput (the marked range, once).
//
// Locks, always taken in this order: the timeline's guard (positions, markers, fade flags,
// track slots, the export range and the playback pull's player and tag), the effect tree's
// morph-stream lock (the chain and its streams), the play-position queue's lock (its
// entries).

#include <array>

#include "effecttree/effecttree.h"

class RingtoneTimeline;

// What ringtone preview needs of the player that pulls it (the player's IPlayer offers
// these three): whether repeat play is on, and where the play position is reported.
class IPreviewPlayer {
public:
    virtual ~IPreviewPlayer() = default;
    virtual bool IsRepeat() = 0;
    virtual uint32_t GetPositionRange() = 0;
    virtual int SetPosition(uint32_t position) = 0;
};

struct PlayPositionEntry {
    uint32_t tag = 0;       // the player's tag (always 0 from the player)
    int64_t position = 0;   // timeline frame of a block handed to the player
};

// The timeline positions of the blocks handed to the player, for the editor's play cursor.
// It keeps the newest seven: adding to a full queue drops the oldest.
// mutex_ guards entries_ and count_.
class PlayPositionQueue {
public:
    static constexpr size_t kCapacity = 7;

    void Push(uint32_t tag, int64_t position);
    void Clear();
    // Keeps only the newest entry.
    void TrimToNewest();
    // Removes and returns the oldest entry.
    std::optional<PlayPositionEntry> TakeOldest();
    // Oldest first.
    std::vector<PlayPositionEntry> Entries() const;

private:
    mutable std::mutex mutex_;
    std::array<PlayPositionEntry, kCapacity> entries_{};  // oldest first
    size_t count_ = 0;
};

// The volume stage: pulls the effect tree and multiplies every channel by the volume factor.
// One instance lives beside the application's effect tree. The interface thread sets the
// factor and the tree while a player or export thread pulls, so both are atomics.
class CVolumeEffect : public CAudioAbstract {
public:
    static constexpr int kMaxVolume = 200;  // slider positions 0 ... 200; 100 leaves the sound as it is

    void SetEffectTree(CEffectTree* tree) { m_pTree.store(tree); }
    CEffectTree* EffectTree() const { return m_pTree.load(); }
    // A position of the volume slider, limited to 0 ... 200; the factor is position / 100.
    void SetVolume(int position);
    float Volume() const { return m_fVolume.load(); }
    // The tree's block scaled in place; 0 without a tree or at the end.
    uint32_t GetSoundData(_SOUNDDATAEX_* block) override;

private:
    std::atomic<CEffectTree*> m_pTree{nullptr};
    std::atomic<float> m_fVolume{1.0f};
};

// The volume label, "Volume: %d%%".
std::string VolumeLabel(int position);

// The playback source stage: the play feed over the timeline's play range.
class CViewInput : public CAudioAbstract {
public:
    explicit CViewInput(RingtoneTimeline& owner) : m_owner(owner) {}
    // Mixes up to block->capacity frames from the render position on. At the range end it
    // starts again at the range start when the player repeats, filling the whole block; else
    // it returns 0 there. Queues each block's position for the play cursor.
    uint32_t GetSoundData(_SOUNDDATAEX_* block) override;

private:
    RingtoneTimeline& m_owner;
};

// The export source stage: the export feed over one pass of a range.
class CExportInput : public CAudioAbstract {
public:
    explicit CExportInput(RingtoneTimeline& owner) : m_owner(owner) {}
    // Starts a pass over [start, start + length) with nothing delivered.
    void SetRange(int64_t start, uint64_t length);
    int64_t Start() const;
    uint64_t Length() const;
    uint64_t Delivered() const;
    // The next min(capacity, length - delivered) frames of the mix; 0 when the pass is done.
    uint32_t GetSoundData(_SOUNDDATAEX_* block) override;

private:
    RingtoneTimeline& m_owner;
    // Guarded by the owner's guard.
    int64_t m_start = 0;
    uint64_t m_length = 0;
    uint64_t m_delivered = 0;
};

// The fade stage. Shapes a block whose first frame is the timeline frame position, for the
// range [rangeStart, rangeEnd): with fadeIn the gain rises linearly from 0 at the range
// start to 1 fadeFrames later, with fadeOut it falls linearly to 0 at the range end over the
// last fadeFrames frames. Only channels 0 and 1 are shaped. Both ramps may overlap in a
// range shorter than two fades.
void ApplyFades(_SOUNDDATAEX_& block, int64_t position, int64_t rangeStart, int64_t rangeEnd, bool fadeIn,
                bool fadeOut, uint32_t fadeFrames);

// The timeline state the waveform editor owns, with the chain's source stages: project
// length, markers, play range, render position, play cursor, fade flags, the play-position
// queue and the two track slots. Every member below takes the guard itself; a caller that
// changes several positions at once may hold Guard() around them (it is recursive).
class RingtoneTimeline {
public:
    RingtoneTimeline();
    // Takes its source stages out of the attached effect tree.
    ~RingtoneTimeline();
    RingtoneTimeline(const RingtoneTimeline&) = delete;
    RingtoneTimeline& operator=(const RingtoneTimeline&) = delete;

    // The chain the timeline feeds: the application's effect tree and volume stage (whose
    // tree should be the same). The view stage becomes the tree's audio input.
    void AttachChain(CEffectTree* tree, CVolumeEffect* volume);
    // Either slot may be null; a slot whose track is not open does not sound.
    void SetTracks(TrackSlot* track1, TrackSlot* track2);
    TrackSlot* Track1() const;
    TrackSlot* Track2() const;

    int64_t ProjectLength() const;
    void SetProjectLength(int64_t frames);
    // The end of the last active track frame (0 without tracks).
    int64_t TracksEnd() const;
    int64_t StartMarker() const;
    int64_t EndMarker() const;
    // Equal markers mean that no range is marked.
    void SetMarkers(int64_t start, int64_t end);
    int64_t PlayStart() const;
    int64_t PlayEnd() const;
    void SetPlayRange(int64_t start, int64_t end);
    int64_t RenderPosition() const;
    void SetRenderPosition(int64_t frame);
    int64_t PlayCursor() const;
    void SetPlayCursor(int64_t frame);
    bool FadeIn() const;
    bool FadeOut() const;
    void SetFadeIn(bool on);
    void SetFadeOut(bool on);

    std::recursive_mutex& Guard() const { return guard_; }
    PlayPositionQueue& PositionQueue() { return queue_; }
    CViewInput& ViewInput() { return viewInput_; }
    CExportInput& ExportInput() { return exportInput_; }

    // The format of the mix, the chain and the export file: the working format. A mono
    // track sounds on both channels.
    static const WAVEFORMATEXTENSIBLE& MixFormat() { return kWorkingFormat; }
    // The one-second fade length in frames.
    static uint32_t FadeFrames() { return MixFormat().Format.nSamplesPerSec; }

    // The track mixer: adds every present track's frames in [first, first + frames), cut at
    // the project length, into the zeroed 16-bit buffer in the mix format, with saturation.
    void MixTracks(void* output, int64_t first, uint32_t frames) const;

    // Setting up the chain: the tree's input and a fresh stream in the mix format. Non-zero
    // (a tree error) when the stream cannot run; without an attached tree EFF_NO_INPUT.
    tEffError SetUpPlayback();
    // The export pass covers the marked range, in order of the markers.
    tEffError SetUpExport();
    void CloseChain();

    // Chain pulls: one block through the volume stage (which pulls the tree, which pulls the
    // source stage), then the fade stage at the position the source held before the pull,
    // all under the guard and the morph-stream lock. 0 ends the stream.
    // Playback: the tag goes with the queued positions; afterwards the player gets the play
    // cursor's place in the play range through SetPosition.
    uint32_t PullPlayback(_SOUNDDATAEX_* block, uint32_t tag, IPreviewPlayer& player);
    uint32_t PullExport(_SOUNDDATAEX_* block);

    // What stops the preview before an export; set by the owner of the player.
    void SetStopPlayback(std::function<void()> stop);
    void StopPlayback() const;

private:
    friend class CViewInput;
    friend class CExportInput;

    uint32_t PullChain(_SOUNDDATAEX_* block, int64_t position);
    // The play feed's question; false outside a playback pull.
    bool IsRepeat() const;

    mutable std::recursive_mutex guard_;
    int64_t projectLength_ = 0;
    int64_t startMarker_ = 0;
    int64_t endMarker_ = 0;
    int64_t playStart_ = 0;
    int64_t playEnd_ = 0;
    int64_t renderPosition_ = 0;
    int64_t playCursor_ = -1;
    bool fadeIn_ = false;
    bool fadeOut_ = false;
    TrackSlot* track1_ = nullptr;
    TrackSlot* track2_ = nullptr;
    CEffectTree* tree_ = nullptr;
    CVolumeEffect* volume_ = nullptr;
    IPreviewPlayer* player_ = nullptr;  // set during a playback pull only
    uint32_t playTag_ = 0;
    std::function<void()> stopPlayback_;
    PlayPositionQueue queue_;
    CViewInput viewInput_;
    CExportInput exportInput_;
};

// Adding an effect node to the running chain (active at once, node marked) and taking it
// out (stream state cleared, mark removed), each under the morph-stream lock. Adding
// returns false for a node without an effect.
bool AddChainEffect(CEffectTree& tree, CEffectNode& node);
void RemoveChainEffect(CEffectTree& tree, CEffectNode& node);

// ==== export and save ======================================================================
// Saving a ringtone takes two jobs behind progress runs: the export renders the marked range
// through the chain into a temporary WAV file in the mix format; the save reads it back
// through the provider in the chosen channel count, optionally normalizes it, and encodes it
// into a second temporary file. Messages go through AfxSCMessageBox; a cancelled job shows
// none and leaves no file behind.

#include <map>

// The fixed 44-byte header of the export file: PCM, the format's channels, rate and block
// align, 16 bits, and data bytes = block align x frames.
inline constexpr uint32_t kExportHeaderBytes = 44;
std::array<uint8_t, kExportHeaderBytes> MakeExportWavHeader(const WAVEFORMATEX& format, uint32_t frames);

struct SaveEstimate {
    uint32_t seconds = 0;  // rounded to the nearest second
    uint64_t bytes = 0;
    std::string lengthText;  // TimeText
    std::string sizeText;    // SizeText
};

// One per main window: the export file, the encoded file and the output settings.
class RingtoneSaver {
public:
    // Ordered by tag, which is also the order the encoders are offered in.
    using EncoderList = std::map<uint32_t, std::string>;
    // Not an encoder of the list: a 16-bit PCM WAV file, for tools that want the rendered
    // sound itself.
    static constexpr uint32_t kWaveOutput = 0;

    RingtoneSaver() = default;
    ~RingtoneSaver() { CleanUp(); }
    RingtoneSaver(const RingtoneSaver&) = delete;
    RingtoneSaver& operator=(const RingtoneSaver&) = delete;

    // The encoders that can write a file here, probed once per run (128 kbps stereo into a
    // temporary file that is deleted at once).
    static const EncoderList& Encoders();
    // "MP3 (Lame)" ".mp3" for 0xBEEF1003, "AAC (Faac)" ".aac" for 0xBEEF3006, ".wav" for
    // kWaveOutput; empty for other tags.
    static std::string EncoderName(uint32_t tag);
    static std::string EncoderExtension(uint32_t tag);
    // The AAC quality field for a channel count and bit rate (0 for other bit rates).
    static uint32_t AacQuality(uint32_t channels, uint32_t kbps);

    // Chooses the encoder at index of Encoders(), the channel count (1 or 2) and the bit
    // rate (64, 128 or 256 kbps). False for anything else. A change deletes the encoded file.
    bool SetOutput(size_t index, uint32_t channels, uint32_t kbps);
    // Chooses the WAV output with the channel count (1 or 2).
    bool SetWaveOutput(uint32_t channels);
    // Length and approximate size of the file a save would make.
    SaveEstimate Estimate() const;

    // Renders the timeline's marked range into a new temporary WAV file ("qoexp"/"wav"),
    // behind the run "Preparing for Export...". The preview is stopped first. A range under
    // one second, a chain that cannot open and any file or worker failure show their
    // message; false then, and no file is left.
    bool PrepareExport(RingtoneTimeline& timeline, IProgressFactory& progress, TempFile& exported);
    // Runs CleanUp, then probes the exported file and keeps it as the file to save. When the
    // probe fails it shows "Error opening temponary file" and deletes the file.
    bool AdoptExport(TempFile&& exported);
    // Encodes the export file into a temporary file behind the run "Preparing file", unless
    // one exists for the current settings. True when the encoded file is ready.
    bool Save(IProgressFactory& progress);
    // Deletes the export file and the encoded file.
    void CleanUp();

    const std::string& ExportPath() const { return exportFile_.Path(); }
    const std::string& EncodedPath() const { return encodedFile_.Path(); }
    uint32_t ExportFrames() const { return exportFrames_; }
    const WAVEFORMATEXTENSIBLE& ExportFormat() const { return exportFormat_; }
    const WAVEFORMATEXTENSIBLE& OutputFormat() const { return outputFormat_; }
    uint32_t EncoderTag() const { return encoderTag_; }
    uint32_t Bitrate() const { return bitrate_; }
    const std::vector<uint8_t>& EncoderRecord() const { return encoderRecord_; }
    // The per-channel peak magnitudes (up to 32768) and gains of the last normalized save.
    const std::array<uint16_t, 2>& Peaks() const { return peaks_; }
    const std::array<float, 2>& Gains() const { return gains_; }

    // Changes the normalise flag; a change deletes the encoded file, made with the old one.
    void SetNormalize(bool on) {
        if (on == normalize) return;
        encodedFile_.Remove();
        normalize = on;
    }

    // The profile values Save/Overwrite (default off) and Save/Normalize (default on).
    bool overwrite = false;
    bool normalize = true;

private:
    bool ChangeOutput(uint32_t tag, uint32_t channels, uint32_t kbps);
    int RunSave(IProgress& progress, uint32_t reader, uint32_t writer);

    TempFile exportFile_;
    TempFile encodedFile_;  // empty when nothing is encoded for the current settings
    uint32_t exportFrames_ = 0;
    WAVEFORMATEXTENSIBLE exportFormat_{};
    uint32_t bitrate_ = 0;
    WAVEFORMATEXTENSIBLE outputFormat_{};
    uint32_t encoderTag_ = 0;
    bool outputChosen_ = false;
    std::vector<uint8_t> encoderRecord_;
    std::array<uint16_t, 2> peaks_{};
    std::array<float, 2> gains_{};
};

// ==== ringtone preview =====================================================================
// The waveform editor's play controls: the timeline's play range played through the
// application's player, over the playback chain. One thread drives the preview (the
// interface's); the player's feeder thread runs the preview callback, which pulls the chain
// and only ever posts to the client, so that stopping (which waits for the feeder) can never
// deadlock with it.

// The player's IPlayer as the playback pulls see it.
class PreviewPlayerFace : public IPreviewPlayer {
public:
    explicit PreviewPlayerFace(IPlayer& player) : player_(player) {}
    bool IsRepeat() override { return player_.IsRepeat() != 0; }
    uint32_t GetPositionRange() override { return player_.GetPositionRange(); }
    int SetPosition(uint32_t position) override { return player_.SetPosition(position); }

private:
    IPlayer& player_;
};

// What the preview tells its owner. Called on the feeder thread as well as on the driving
// thread: an implementation only posts (queues a call to the driving thread, signals a
// waiting loop) and never waits for the driving thread.
class IPreviewClient {
public:
    virtual ~IPreviewClient() = default;
    // Playback has ended: the queue keeps its newest position, and one more UpdateCursor
    // brings the play cursor to it.
    virtual void OnPreviewCursorDue() = 0;
    // The play cursor went back to the start of the marked range (the editor's code 10).
    virtual void OnPreviewPositionChanged() = 0;
    // Playback stopped, by Stop or at the end of the data (the editor's code 11). Sent once
    // per run.
    virtual void OnPreviewStopped() = 0;
};

// Plays the timeline's play range: from the play cursor to the end of the marked range (the
// whole project when nothing is marked), again from the range start while the player's
// repeat flag is on. The play cursor follows the blocks heard through UpdateCursor, called
// every kCursorTimerMs by the driver; pausing and starting again continue from it.
// Every member but the callback runs on the driving thread. playing_ is an atomic because the
// end notice clears it on the feeder thread; registered_ likewise (a replacement of the
// player's callback clears it on the replacing thread). The other fields belong to the
// driving thread.
class RingtonePreview {
public:
    static constexpr uint32_t kBufferCount = 5;
    static constexpr uint32_t kBlockFrames = 1024;  // frames per ring part and per chain pull
    static constexpr uint32_t kCursorTimerMs = 33;
    static constexpr const char* kCantStartText = "Can't start player";

    // The client may be null. The preview becomes the timeline's way to stop playback.
    RingtonePreview(RingtoneTimeline& timeline, IPlayer& player, IPreviewClient* client = nullptr);
    // Stops, takes its callback out of the player and its stop from the timeline.
    ~RingtonePreview();
    RingtonePreview(const RingtonePreview&) = delete;
    RingtonePreview& operator=(const RingtonePreview&) = delete;

    // Starts playing from the play cursor (a paused preview resumes there). False when the
    // chain cannot run (silently) or the player cannot start ("Can't start player", with the
    // error icon; the preview is then stopped).
    bool Start();
    // While playing: pauses, or resumes from the play cursor.
    void TogglePause();
    // Ends the run: the player stops (waiting for its feeder), a marked range's start becomes
    // the play cursor again, the client hears of the stop, and player and chain are closed.
    // After the end of the data it only closes player and chain.
    void Stop();
    // The editor's timer: the play cursor moves to the oldest queued block position. False
    // while paused or when no position is queued.
    bool UpdateCursor();

    bool IsPlaying() const { return playing_.load(); }
    bool IsPaused() const { return paused_; }
    // What was left to play from the cursor when playback last started.
    uint32_t RemainingMs() const { return remainingMs_; }

private:
    static uint32_t Callback(void* context, _SOUNDDATAEX_* block, uint32_t tag);
    void OnEndNotice();
    bool StartAtCursor();
    bool ConfigurePlayer();
    void ChoosePlayRange();
    bool Failed();

    RingtoneTimeline& timeline_;
    IPlayer& player_;
    PreviewPlayerFace face_;
    IPreviewClient* client_;
    std::atomic<bool> playing_{false};
    std::atomic<bool> registered_{false};
    bool paused_ = false;
    bool running_ = false;  // started and not yet stopped: player and chain to close
    uint32_t remainingMs_ = 0;
};
