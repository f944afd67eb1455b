// The running chain of the effect tree: the chosen effects as one stream stage between the
// track input and the volume stage.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "contracts/effect_tree_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"

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

    // The morph-stream lock of the tree (see effecttree/effect_tree.h).
    std::recursive_mutex& MorphLock() const { return m_lock; }

private:
    void Relink();

    mutable std::recursive_mutex m_lock;  // the morph-stream lock: guards both members below
    std::vector<CEffectAbstract*> m_effects;
    std::optional<WAVEFORMATEXTENSIBLE> m_format;  // set while a stream is open
};
