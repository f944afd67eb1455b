#include "plugin_effect.h"

#include <algorithm>

std::unique_ptr<CPluginEffect> CPluginEffect::Create(std::shared_ptr<const CPluginLibrary> library, enXml& settings,
                                                     std::recursive_mutex& streamLock) {
    void* handle = nullptr;
    if (library->InitializeXml(&settings, &handle) == 0 || handle == nullptr) {
        if (handle) library->Free(handle);
        return nullptr;
    }
    return std::unique_ptr<CPluginEffect>(new CPluginEffect(std::move(library), handle, streamLock));
}

CPluginEffect::CPluginEffect(std::shared_ptr<const CPluginLibrary> library, void* settings,
                             std::recursive_mutex& streamLock)
    : m_library(std::move(library)), m_settings(settings, FreeSettings{m_library->Free}), m_streamLock(streamLock) {}

CPluginEffect::~CPluginEffect() { CloseStream(); }

uint32_t CPluginEffect::PullInput(void* user, _SOUNDDATAEX_* record) {
    CAudioAbstract* input = static_cast<CPluginEffect*>(user)->m_pPrev;
    record->frames = input ? std::min(input->GetSoundData(record), record->capacity) : 0;
    return record->frames;
}

uint32_t CPluginEffect::GetSoundData(_SOUNDDATAEX_* block) {
    std::lock_guard guard(m_streamLock);
    if (!IsActive() || !m_format) return PullInput(this, block);
    block->frames = std::min(m_library->ProcessStream(block, m_settings.get()), block->capacity);
    return block->frames;
}

tEffError CPluginEffect::OpenStream(const WAVEFORMATEXTENSIBLE& format) {
    std::lock_guard guard(m_streamLock);
    CloseStream();
    m_library->SetStreamCallBack(&CPluginEffect::PullInput, this, m_settings.get());
    if (m_library->OpenStream(m_settings.get(), &format.Format) != PLUGIN_OPEN_OK) return EFF_PLUGIN_REFUSED;
    m_format = format;
    return EFF_OK;
}

void CPluginEffect::CloseStream() {
    std::lock_guard guard(m_streamLock);
    if (!m_format) return;
    m_library->CloseStream(m_settings.get());
    m_format.reset();
}

void CPluginEffect::ClearState() {
    std::lock_guard guard(m_streamLock);
    if (const auto format = m_format) OpenStream(*format);
}
