// The playback engine: the player streams float sample blocks, pulled from a data callback,
// to the default output device through a sound ring of equal parts; its feeder thread refills
// the parts that have played. CExtPlayerDX is the player; XPlayer is its IPlayer face for the
// clients (the waveform editor's preview, the recorder dialog), one client at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "contracts/sound_data.h"
#include "contracts/wave_format.h"
#include "platform/event_set.h"
#include "platform/sound_ring.h"

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
    std::string deviceError_;                             // deviceLock_
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
