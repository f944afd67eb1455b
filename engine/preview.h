// The waveform editor's play controls: the timeline's play range played through the
// application's player, over the playback chain. One thread drives the preview (the
// interface's); the player's feeder thread runs the preview callback, which pulls the chain
// and only ever posts to the client, so that stopping (which waits for the feeder) can never
// deadlock with it.
#pragma once

#include <atomic>
#include <cstdint>

#include "contracts/sound_data.h"
#include "engine/player.h"
#include "engine/render_chain.h"

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
