// The tree of offered effects, read from an effects description, and its running chain.
//
// Locking. Each tree has one lock, the morph-stream lock (a recursive mutex held by its
// running chain). It guards the chain's order, its audio input, the format of the open
// stream and every plug-in stream of the tree's effects (open, process, close, clear). The
// program brackets each change of the chain and each pull of data with LockMorphStream and
// UnlockMorphStream so that a change falls between two blocks; every operation below that
// touches the chain or a stream also takes the lock itself, so a single call is safe without
// the bracket. The nodes (captions, ids, checked marks) belong to the interface thread and
// take no lock.
#pragma once

#include <cstdint>

#include "contracts/effect_tree_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"
#include "effecttree/complex_effect.h"
#include "effecttree/effect_node.h"

class enXml;

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
