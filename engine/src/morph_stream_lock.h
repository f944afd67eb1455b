// Holding the effect tree's morph-stream lock for a scope.
#pragma once

#include "effecttree/effect_tree.h"

class MorphStreamLock {
public:
    explicit MorphStreamLock(CEffectTree& tree) : tree_(tree) { tree_.LockMorphStream(); }
    ~MorphStreamLock() { tree_.UnlockMorphStream(); }
    MorphStreamLock(const MorphStreamLock&) = delete;
    MorphStreamLock& operator=(const MorphStreamLock&) = delete;

private:
    CEffectTree& tree_;
};
