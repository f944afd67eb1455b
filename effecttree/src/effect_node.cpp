#include "effecttree/effect_node.h"

#include "effect_node_data.h"

CEffectNode::CEffectNode() : d(std::make_unique<Data>()) {}

CEffectNode::~CEffectNode() = default;

CEffectNode* CEffectNode::FindChildByName(const std::string& caption, bool recursive) {
    for (const auto& child : d->children) {
        if (child->d->caption == caption) return child.get();
        if (recursive)
            if (CEffectNode* found = child->FindChildByName(caption, true)) return found;
    }
    return nullptr;
}

CEffectNode* CEffectNode::GetChild() const { return d->children.empty() ? nullptr : d->children.front().get(); }

CEffectNode* CEffectNode::GetNext() const { return d->next; }

const std::string& CEffectNode::GetCaption() const { return d->caption; }

void CEffectNode::SetID(uint32_t id) { d->id = id; }

uint32_t CEffectNode::GetID() const { return d->id; }

CEffectNode* CEffectNode::GetNodeByID(uint32_t id) {
    if (id == 0) return nullptr;
    if (d->id == id) return this;
    for (const auto& child : d->children)
        if (CEffectNode* found = child->GetNodeByID(id)) return found;
    return nullptr;
}

bool CEffectNode::IsChecked() const { return d->checked; }

void CEffectNode::SetChecked(bool checked) { d->checked = checked; }

CEffectAbstract* CEffectNode::GetEffect() const { return d->effect.get(); }

void* CEffectNode::GetSettings() const { return d->effect ? d->effect->Settings() : nullptr; }

PFN_CreateSettingsWindow CEffectNode::GetCreateSettingsWindow() const {
    return d->effect ? d->effect->CreateSettingsWindow() : nullptr;
}
