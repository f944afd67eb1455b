#include "tree_builder.h"

#include <strings.h>

#include "effect_node_data.h"
#include "effecttree/effect_node.h"
#include "plugin_manager.h"
#include "xml/xml.h"

namespace {

bool IsNamed(const enXml& element, const char* name) { return strcasecmp(element.GetName().c_str(), name) == 0; }

// The effect of an Effect element, or null when it cannot be made.
std::unique_ptr<CPluginEffect> MakeEffect(const enXml& element, std::recursive_mutex& streamLock) {
    std::string libraryName;
    if (!element.GetAttribute("Library", libraryName)) return nullptr;
    auto library = PluginManager().Find(libraryName);
    if (!library) return nullptr;
    // Without a Settings element the plug-in keeps its defaults.
    enXml noSettings("Settings");
    enXml* settings = element.FindChild("Settings");
    return CPluginEffect::Create(std::move(library), settings ? *settings : noSettings, streamLock);
}

void Append(CEffectNode& parent, std::unique_ptr<CEffectNode> node) {
    auto& children = EffectNodeAccess::Of(parent).children;
    if (!children.empty()) EffectNodeAccess::Of(*children.back()).next = node.get();
    children.push_back(std::move(node));
}

}  // namespace

bool IsEffectTreeDocument(const enXml& document, int tag) {
    int documentTag = 0;
    return IsNamed(document, "EffectTree") && document.GetAttribute("Tag", documentTag) && documentTag == tag;
}

void AddDescribedNodes(CEffectNode& parent, const enXml& element, std::recursive_mutex& streamLock) {
    for (const enXml* child = element.FirstChildElement(); child; child = child->NextSiblingElement()) {
        const bool group = IsNamed(*child, "Group");
        if (!group && !IsNamed(*child, "Effect")) continue;
        std::string caption;
        if (!child->GetAttribute("Caption", caption) || caption.empty()) continue;

        auto node = std::make_unique<CEffectNode>();
        EffectNodeAccess::Data& data = EffectNodeAccess::Of(*node);
        data.caption = caption;
        if (group) {
            AddDescribedNodes(*node, *child, streamLock);
        } else {
            data.effect = MakeEffect(*child, streamLock);
            if (!data.effect) continue;
        }
        Append(parent, std::move(node));
    }
}
