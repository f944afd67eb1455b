#include "effecttree/complex_effect.h"

#include <algorithm>

void CComplexEffect::AddEffect(CEffectAbstract* after, CEffectAbstract* effect) {
    std::lock_guard guard(m_lock);
    if (effect == nullptr || effect == this || Contains(effect)) return;
    const auto position = std::find(m_effects.begin(), m_effects.end(), after);
    m_effects.insert(position == m_effects.end() ? position : position + 1, effect);
    Relink();
    if (m_format) effect->OpenStream(*m_format);
}

void CComplexEffect::DeleteEffect(CEffectAbstract* effect) {
    std::lock_guard guard(m_lock);
    const auto position = std::find(m_effects.begin(), m_effects.end(), effect);
    if (position == m_effects.end()) return;
    m_effects.erase(position);
    effect->CloseStream();
    effect->SetPrev(nullptr);
    effect->SetNext(nullptr);
    Relink();
}

int CComplexEffect::EffectCount() const {
    std::lock_guard guard(m_lock);
    return static_cast<int>(m_effects.size());
}

bool CComplexEffect::Contains(const CEffectAbstract* effect) const {
    std::lock_guard guard(m_lock);
    return std::find(m_effects.begin(), m_effects.end(), effect) != m_effects.end();
}

void CComplexEffect::SetPrev(CAudioAbstract* input) {
    std::lock_guard guard(m_lock);
    m_pPrev = input;
    Relink();
}

void CComplexEffect::Relink() {
    CAudioAbstract* previous = m_pPrev;
    for (size_t i = 0; i < m_effects.size(); ++i) {
        m_effects[i]->SetPrev(previous);
        m_effects[i]->SetNext(i + 1 < m_effects.size() ? m_effects[i + 1] : nullptr);
        previous = m_effects[i];
    }
}

uint32_t CComplexEffect::GetSoundData(_SOUNDDATAEX_* block) {
    std::lock_guard guard(m_lock);
    CAudioAbstract* source = IsActive() && !m_effects.empty() ? m_effects.back() : m_pPrev;
    if (!m_format || source == nullptr || block->channels.size() != m_format->Format.nChannels) {
        block->frames = 0;
        return 0;
    }
    block->frames = std::min(source->GetSoundData(block), block->capacity);
    return block->frames;
}

tEffError CComplexEffect::OpenStream(const WAVEFORMATEXTENSIBLE& format) {
    std::lock_guard guard(m_lock);
    CloseStream();
    for (CEffectAbstract* effect : m_effects) {
        if (effect->OpenStream(format) != EFF_OK) {
            CloseStream();
            return EFF_PLUGIN_REFUSED;
        }
    }
    m_format = format;
    return EFF_OK;
}

void CComplexEffect::CloseStream() {
    std::lock_guard guard(m_lock);
    for (CEffectAbstract* effect : m_effects) effect->CloseStream();
    m_format.reset();
}

void CComplexEffect::ClearState() {
    std::lock_guard guard(m_lock);
    for (CEffectAbstract* effect : m_effects) effect->ClearState();
}

std::optional<WAVEFORMATEXTENSIBLE> CComplexEffect::StreamFormat() const {
    std::lock_guard guard(m_lock);
    return m_format;
}
