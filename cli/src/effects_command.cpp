// "morvane-cli effects": the single effects offered, one caption a line.
#include <cstdio>

#include "cli/src/commands.h"
#include "cli/src/effect_library.h"
#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"

int RunEffects() {
    CEffectTree tree;
    std::string error;
    if (!LoadEffectTree(tree, error)) {
        PrintError(error);
        return kExitFailed;
    }
    for (const CEffectNode* node : SingleEffects(tree)) std::printf("%s\n", node->GetCaption().c_str());
    return kExitOk;
}
