// Putting an effect node into the running chain and taking it out.
#include "engine/render_chain.h"

#include "effecttree/complex_effect.h"
#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "engine/src/morph_stream_lock.h"

bool AddChainEffect(CEffectTree& tree, CEffectNode& node) {
    CEffectAbstract* effect = node.GetEffect();
    if (effect == nullptr) return false;
    tree.UpdateEffect(&node);
    MorphStreamLock lock(tree);
    CComplexEffect* chain = tree.GetTreeEntryPoint();
    // Again under the lock: a stream may have opened since.
    tree.UpdateEffect(&node);
    chain->AddEffect(nullptr, effect);
    effect->SetActive(true);
    chain->SetActive(true);
    node.SetChecked(true);
    return true;
}

void RemoveChainEffect(CEffectTree& tree, CEffectNode& node) {
    CEffectAbstract* effect = node.GetEffect();
    MorphStreamLock lock(tree);
    if (effect != nullptr) {
        CComplexEffect* chain = tree.GetTreeEntryPoint();
        effect->SetActive(false);
        effect->ClearState();
        chain->DeleteEffect(effect);
    }
    node.SetChecked(false);
}
