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
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "contracts/effect_tree_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"
#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "engine/track.h"

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
    uint32_t tag = 0;      // the player's tag (always 0 from the player)
    int64_t position = 0;  // timeline frame of a block handed to the player
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
void ApplyFades(_SOUNDDATAEX_& block, int64_t position, int64_t rangeStart, int64_t rangeEnd, bool fadeIn, bool fadeOut,
                uint32_t fadeFrames);

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
