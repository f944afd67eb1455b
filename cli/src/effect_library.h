// The effect tree of morvane-cli: the plug-ins of the program's plugins folder and the
// single-effects description beside the program.
#pragma once

#include <string>
#include <vector>

#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"

// Loads the plug-ins and builds the tree. False, with the reason in error, when the
// description cannot be read or is not an effects description.
bool LoadEffectTree(CEffectTree& tree, std::string& error);

// The offered single effects, sorted by caption as the program's menu shows them.
std::vector<CEffectNode*> SingleEffects(CEffectTree& tree);
