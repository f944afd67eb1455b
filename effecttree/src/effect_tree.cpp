#include "effecttree/effect_tree.h"

#include "effect_node_data.h"
#include "effecttree/effect_node.h"
#include "tree_builder.h"

namespace {

bool IsUsableFormat(const WAVEFORMATEXTENSIBLE& format) {
    const WAVEFORMATEX& base = format.Format;
    if (base.nChannels == 0 || base.nSamplesPerSec == 0) return false;
    if (base.wFormatTag == WAVE_FORMAT_PCM || base.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) return true;
    return base.wFormatTag == WAVE_FORMAT_EXTENSIBLE && base.cbSize >= 22 &&
           (format.SubFormat == KSDATAFORMAT_SUBTYPE_PCM || format.SubFormat == KSDATAFORMAT_SUBTYPE_IEEE_FLOAT);
}

// Every effect of the node and the nodes below it.
template <class Visit>
void ForEachEffect(CEffectNode& node, const Visit& visit) {
    EffectNodeAccess::Data& data = EffectNodeAccess::Of(node);
    if (data.effect) visit(*data.effect);
    for (const auto& child : data.children) ForEachEffect(*child, visit);
}

}  // namespace

CEffectTree::~CEffectTree() { DropNodes(); }

void CEffectTree::DropNodes() {
    std::lock_guard guard(m_Chain.MorphLock());
    ForEachEffect(m_Root, [this](CEffectAbstract& effect) { m_Chain.DeleteEffect(&effect); });
    EffectNodeAccess::Of(m_Root).children.clear();
}

bool CEffectTree::BuildTree(enXml* document, int tag) {
    std::lock_guard guard(m_Chain.MorphLock());
    DropNodes();
    if (document == nullptr || !IsEffectTreeDocument(*document, tag)) return false;
    AddDescribedNodes(m_Root, *document, m_Chain.MorphLock());
    return true;
}

void CEffectTree::UpdateEffect(CEffectNode* node) {
    CEffectAbstract* effect = node ? node->GetEffect() : nullptr;
    if (effect == nullptr) return;
    std::lock_guard guard(m_Chain.MorphLock());
    if (const auto format = m_Chain.StreamFormat()) {
        effect->OpenStream(*format);
    } else {
        effect->CloseStream();
    }
}

void CEffectTree::SetAudioInput(CAudioAbstract* input) { m_Chain.SetPrev(input); }

tEffError CEffectTree::OpenStream(const WAVEFORMATEXTENSIBLE* format) {
    if (format == nullptr || !IsUsableFormat(*format)) return EFF_BAD_FORMAT;
    std::lock_guard guard(m_Chain.MorphLock());
    if (m_Chain.GetPrev() == nullptr) return EFF_NO_INPUT;
    return m_Chain.OpenStream(*format);
}

void CEffectTree::CloseStream() {
    std::lock_guard guard(m_Chain.MorphLock());
    m_Chain.CloseStream();
    // Effects prepared by UpdateEffect but never added to the chain.
    ForEachEffect(m_Root, [](CEffectAbstract& effect) { effect.CloseStream(); });
}

uint32_t CEffectTree::GetSoundData(_SOUNDDATAEX_* block) { return m_Chain.GetSoundData(block); }

void CEffectTree::LockMorphStream() { m_Chain.MorphLock().lock(); }

void CEffectTree::UnlockMorphStream() { m_Chain.MorphLock().unlock(); }
