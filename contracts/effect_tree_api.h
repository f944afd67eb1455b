// The effect tree library (libeffectmgr.so): loads the effect plug-ins, arranges the offered
// effects in a tree read from XML and runs the chosen ones as one stream stage between the
// track input and the volume stage.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "contracts/sound_data.h"
#include "contracts/wave_format.h"

class enXml;

// Result of the tree's stream operations; 0 is success.
typedef int tEffError;
inline constexpr tEffError EFF_OK = 0;
inline constexpr tEffError EFF_NO_INPUT = 1;         // no audio input selected
inline constexpr tEffError EFF_BAD_FORMAT = 2;       // format null or not 16-bit PCM
inline constexpr tEffError EFF_PLUGIN_REFUSED = 3;   // a plug-in refused the format
inline constexpr tEffError EFF_NOT_OPEN = 4;         // no stream open

// A stage of a pulled audio chain. Built with no previous and no next stage.
class CAudioAbstract {
public:
    CAudioAbstract() = default;
    virtual ~CAudioAbstract() = default;
    CAudioAbstract(const CAudioAbstract&) = delete;
    CAudioAbstract& operator=(const CAudioAbstract&) = delete;

    virtual void SetNext(CAudioAbstract* next) { m_pNext = next; }
    virtual void SetPrev(CAudioAbstract* prev) { m_pPrev = prev; }
    // The data request: fills up to block->capacity frames, sets block->frames and returns it;
    // 0 means the input has ended.
    virtual uint32_t GetSoundData(_SOUNDDATAEX_* block) = 0;

    CAudioAbstract* GetNext() const { return m_pNext; }
    CAudioAbstract* GetPrev() const { return m_pPrev; }

protected:
    CAudioAbstract* m_pPrev = nullptr;
    CAudioAbstract* m_pNext = nullptr;
};

// One effect of the running chain, or the chain itself.
class CEffectAbstract : public CAudioAbstract {
public:
    virtual void SetActive(bool active);
    bool IsActive() const { return m_bActive; }
    // Forgets what the effect has buffered (delay lines, latency) so that it starts afresh.
    virtual void ClearState() {}

protected:
    bool m_bActive = false;
};

class CEffectNode;
class CEffectTree;
struct CEffectTreeImpl;

// The running chain: effects in order, each fed by the stage before it.
class CComplexEffect : public CEffectAbstract {
public:
    explicit CComplexEffect(CEffectTreeImpl* owner);
    ~CComplexEffect() override;
    // Appends effect behind `after` (behind the last when after is null).
    void AddEffect(CEffectAbstract* after, CEffectAbstract* effect);
    void DeleteEffect(CEffectAbstract* effect);
    void SetActive(bool active) override;
    uint32_t GetSoundData(_SOUNDDATAEX_* block) override;
    int EffectCount() const;

private:
    CEffectTreeImpl* m_pOwner;
};

// A node of the effect tree: a group or an offered effect.
class CEffectNode {
public:
    CEffectNode();
    ~CEffectNode();
    CEffectNode(const CEffectNode&) = delete;
    CEffectNode& operator=(const CEffectNode&) = delete;

    CEffectNode* FindChildByName(const std::string& caption, bool recursive);
    CEffectNode* GetChild() const;
    CEffectNode* GetNext() const;
    const std::string& GetCaption() const;
    void SetID(uint32_t id);
    uint32_t GetID() const;
    CEffectNode* GetNodeByID(uint32_t id);
    bool IsChecked() const;
    void SetChecked(bool checked);
    // The node's effect instance (null for a group).
    CEffectAbstract* GetEffect() const;

    struct Data;
    std::unique_ptr<Data> d;
};

class CEffectTree {
public:
    CEffectTree();
    ~CEffectTree();
    CEffectTree(const CEffectTree&) = delete;
    CEffectTree& operator=(const CEffectTree&) = delete;

    // Builds the tree from an effects description document; the tag is kept with the tree.
    bool BuildTree(enXml* document, int tag);
    CComplexEffect* GetTreeEntryPoint();
    // Prepares the node's effect for the stream that is open (or the next one).
    void UpdateEffect(CEffectNode* node);
    void SetAudioInput(CAudioAbstract* input);
    tEffError OpenStream(const WAVEFORMATEXTENSIBLE* format);
    void CloseStream();
    uint32_t GetSoundData(_SOUNDDATAEX_* block);
    void LockMorphStream();
    void UnlockMorphStream();

    CEffectNode m_Root;

private:
    std::unique_ptr<CEffectTreeImpl> m_pImpl;
};

// The library's manager: finds and loads the plug-ins once.
class CEffectManager {
public:
    virtual ~CEffectManager() = default;
    // Loads the plug-ins of the program's plugins folder; returns how many loaded.
    virtual int Initialize() = 0;
    virtual int PluginCount() const = 0;
};

extern "C" CEffectManager* GetEffectManager();
