// What a tree node holds, shared by the node's own operations and the tree builder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "effecttree/effect_node.h"
#include "plugin_effect.h"

struct CEffectNode::Data {
    std::string caption;
    uint32_t id = 0;
    bool checked = false;
    std::unique_ptr<CPluginEffect> effect;  // null for a group
    std::vector<std::unique_ptr<CEffectNode>> children;
    CEffectNode* next = nullptr;  // the following sibling
};

// Access to a node's data for the library's own code.
struct EffectNodeAccess {
    using Data = CEffectNode::Data;
    static CEffectNode::Data& Of(CEffectNode& node) { return *node.d; }
};
