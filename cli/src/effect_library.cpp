#include "cli/src/effect_library.h"

#include <algorithm>

#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "platform/files.h"
#include "xml/xml.h"

namespace {

constexpr int kEffectTreeTag = 666;

// Beside the tool in the build tree, in the installed data folder when installed.
std::string DescriptionPath() { return ProgramDataPath("Language/eng/effects_single_kel.xml"); }

}  // namespace

bool LoadEffectTree(CEffectTree& tree, std::string& error) {
    GetEffectManager()->Initialize();
    enXml document;
    const std::string path = DescriptionPath();
    if (!document.LoadFile(path)) {
        error = "Can't read the effects description " + path;
        return false;
    }
    if (!tree.BuildTree(&document, kEffectTreeTag)) {
        error = path + " is not an effects description";
        return false;
    }
    return true;
}

std::vector<CEffectNode*> SingleEffects(CEffectTree& tree) {
    std::vector<CEffectNode*> effects;
    CEffectNode* group = tree.m_Root.FindChildByName("Single Effects", true);
    if (group == nullptr) return effects;
    for (CEffectNode* node = group->GetChild(); node != nullptr; node = node->GetNext()) effects.push_back(node);
    std::stable_sort(effects.begin(), effects.end(),
                     [](const CEffectNode* a, const CEffectNode* b) { return a->GetCaption() < b->GetCaption(); });
    return effects;
}
