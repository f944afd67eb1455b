// The effect tree library (libeffectmgr.so): loads the effect plug-ins, arranges the offered
// effects in a tree read from XML and runs the chosen ones as one stream stage between the
// track input and the volume stage.
//
// Locking. Each tree has one lock, the morph-stream lock (a recursive mutex held by its
// running chain). It guards the chain's order, its audio input, the format of the open
// stream and every plug-in stream of the tree's effects (open, process, close, clear). The
// program brackets each change of the chain and each pull of data with LockMorphStream and
// UnlockMorphStream so that a change falls between two blocks; every operation below that
// touches the chain or a stream also takes the lock itself, so a single call is safe without
// the bracket. Active flags are atomic. The nodes (captions, ids, checked marks) belong to
// the interface thread and take no lock. The manager has its own lock over its plug-in list.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "contracts/plugin_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"

class enXml;

// Result of the tree's stream operations; 0 is success.
typedef int tEffError;
inline constexpr tEffError EFF_OK = 0;
inline constexpr tEffError EFF_NO_INPUT = 1;        // no audio input selected
inline constexpr tEffError EFF_BAD_FORMAT = 2;      // format null, without channels or rate, or not PCM/float
inline constexpr tEffError EFF_PLUGIN_REFUSED = 3;  // a plug-in of the chain refused the format

// A stage of a pulled audio chain. Built with no previous and no next stage.
class CAudioAbstract {
public:
    CAudioAbstract() = default;
    virtual ~CAudioAbstract() = default;
    CAudioAbstract(const CAudioAbstract&) = delete;
    CAudioAbstract& operator=(const CAudioAbstract&) = delete;

    virtual void SetNext(CAudioAbstract* next) { m_pNext = next; }
    virtual void SetPrev(CAudioAbstract* prev) { m_pPrev = prev; }
    // The data request: fills up to block->capacity frames into the block's channel arrays,
    // sets block->frames and returns it; 0 means the input has ended.
    virtual uint32_t GetSoundData(_SOUNDDATAEX_* block) = 0;

    CAudioAbstract* GetNext() const { return m_pNext; }
    CAudioAbstract* GetPrev() const { return m_pPrev; }

protected:
    CAudioAbstract* m_pPrev = nullptr;
    CAudioAbstract* m_pNext = nullptr;
};

// One effect of the running chain, or the chain itself. An effect pulls its input from its
// previous stage; an inactive effect, or one without an open stream, passes its input through.
class CEffectAbstract : public CAudioAbstract {
public:
    virtual void SetActive(bool active) { m_bActive.store(active); }
    bool IsActive() const { return m_bActive.load(); }
    // Opens a fresh stream for the format (closing one that is open); non-zero when refused,
    // and the effect then stays closed.
    virtual tEffError OpenStream(const WAVEFORMATEXTENSIBLE& format) = 0;
    virtual void CloseStream() = 0;
    // Forgets what the effect has buffered (delay lines, latency) so that it starts afresh:
    // an open stream is closed and reopened with its format.
    virtual void ClearState() = 0;

protected:
    std::atomic<bool> m_bActive{false};
};

// The running chain: effects in order, the first fed by the audio input (the chain's
// previous stage), each next one by the effect before it. An inactive chain, or an empty one,
// passes the input through unchanged. The chain does not own its effects.
class CComplexEffect : public CEffectAbstract {
public:
    CComplexEffect() = default;
    ~CComplexEffect() override = default;

    // Inserts effect behind `after`, or at the end when after is null or not in the chain.
    // Null and an effect already in the chain are ignored. While a stream is open the effect
    // gets OpenStream with its format; if it refuses, it stays in the chain and passes through.
    void AddEffect(CEffectAbstract* after, CEffectAbstract* effect);
    // Takes the effect out of the chain and closes its stream; one not in the chain is ignored.
    void DeleteEffect(CEffectAbstract* effect);
    int EffectCount() const;
    bool Contains(const CEffectAbstract* effect) const;

    // The audio input: the stage the first effect pulls from.
    void SetPrev(CAudioAbstract* input) override;
    // Fills the block from the last effect (or the input). 0 when no stream is open, when the
    // block's channel count differs from the open format's, or at the end of the input.
    uint32_t GetSoundData(_SOUNDDATAEX_* block) override;
    // Opens every effect of the chain for the format; when one refuses, all are closed again
    // and the result is EFF_PLUGIN_REFUSED.
    tEffError OpenStream(const WAVEFORMATEXTENSIBLE& format) override;
    void CloseStream() override;
    void ClearState() override;
    // The format of the open stream; empty while none is open.
    std::optional<WAVEFORMATEXTENSIBLE> StreamFormat() const;

    // The morph-stream lock (see the top of this file).
    std::recursive_mutex& MorphLock() const { return m_lock; }

private:
    void Relink();

    mutable std::recursive_mutex m_lock;
    std::vector<CEffectAbstract*> m_effects;
    std::optional<WAVEFORMATEXTENSIBLE> m_format;  // set while a stream is open
};

// A node of the effect tree: a group of nodes or an offered effect.
class CEffectNode {
public:
    CEffectNode();
    ~CEffectNode();
    CEffectNode(const CEffectNode&) = delete;
    CEffectNode& operator=(const CEffectNode&) = delete;

    // The first node below this one, children in order (each followed by its own subtree
    // when recursive), whose caption equals caption exactly; null when none.
    CEffectNode* FindChildByName(const std::string& caption, bool recursive);
    CEffectNode* GetChild() const;
    CEffectNode* GetNext() const;
    const std::string& GetCaption() const;
    void SetID(uint32_t id);
    uint32_t GetID() const;
    // This node or the first node below it with that id; null for 0 (no id) or when none.
    CEffectNode* GetNodeByID(uint32_t id);
    // The in-chain mark kept for the program.
    bool IsChecked() const;
    void SetChecked(bool checked);
    // The node's effect instance (null for a group).
    CEffectAbstract* GetEffect() const;
    // For the settings window: the effect's plug-in settings object, and the plug-in's
    // CreateSettingsWindow export (null for a group, or when the plug-in has no window).
    void* GetSettings() const;
    PFN_CreateSettingsWindow GetCreateSettingsWindow() const;

private:
    friend struct EffectNodeAccess;
    struct Data;
    std::unique_ptr<Data> d;
};

class CEffectTree {
public:
    CEffectTree() = default;
    ~CEffectTree();
    CEffectTree(const CEffectTree&) = delete;
    CEffectTree& operator=(const CEffectTree&) = delete;

    // Replaces the tree with the one the effects description document describes (its
    // vocabulary is documented in data/Language/eng/effects_single_kel.xml). The tag names
    // the vocabulary: the document's root must be an EffectTree element whose Tag attribute
    // equals it (the program passes 666). False, with an empty tree, when the document is
    // null or another kind. Effects whose plug-in is not loaded (the manager's Initialize
    // comes first) or refuses its settings are left out.
    bool BuildTree(enXml* document, int tag);
    CComplexEffect* GetTreeEntryPoint() { return &m_Chain; }
    // Prepares the node's effect for the stream that is open: a fresh stream of the current
    // format, so settings read at open take effect; without an open stream, closes it.
    void UpdateEffect(CEffectNode* node);
    void SetAudioInput(CAudioAbstract* input);
    // Starts a fresh stream of the chain for the format.
    tEffError OpenStream(const WAVEFORMATEXTENSIBLE* format);
    // Ends the stream of the chain and of every effect of the tree.
    void CloseStream();
    uint32_t GetSoundData(_SOUNDDATAEX_* block);
    void LockMorphStream();
    void UnlockMorphStream();

    CEffectNode m_Root;

private:
    void DropNodes();

    CComplexEffect m_Chain;
};

// The library's manager: finds and loads the plug-ins.
class CEffectManager {
public:
    virtual ~CEffectManager() = default;
    // Loads the plug-ins (every "*.so" file) of the plug-in folder, replacing the set loaded
    // before (effects already made keep their library); returns how many loaded. A file that
    // cannot be loaded, lacks an export the host calls or does not answer PlugInInfo is
    // skipped.
    virtual int Initialize() = 0;
    virtual int PluginCount() const = 0;
    // File names of the loaded plug-ins, in name order.
    virtual std::vector<std::string> LoadedPlugins() const = 0;
    // The folder Initialize scans: the one set here when not empty, else the environment
    // variable MORVANE_PLUGIN_DIR when set and not empty, else ProgramFolder() + "/plugins",
    // or the installed plug-in folder (kInstalledPluginFolder) when only that one exists.
    virtual void SetPluginFolder(const std::string& folder) = 0;
    virtual std::string PluginFolder() const = 0;
};

extern "C" CEffectManager* GetEffectManager();
