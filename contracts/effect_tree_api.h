// The interface of the effect tree library (libeffectmgr.so) that the program relies on: the
// stages of a pulled audio chain, the result codes of its stream operations, and the manager
// that loads the effect plug-ins. The tree and its running chain are the library's own
// classes (effecttree/effecttree.h).
//
// Locking. An effect's active flag is atomic, so any thread may switch it; its stream
// operations are guarded by the lock of the tree it belongs to (effecttree/effect_tree.h).
// The manager has its own lock over its plug-in list.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "contracts/sound_data.h"
#include "contracts/wave_format.h"

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
