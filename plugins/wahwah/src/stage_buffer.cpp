#include "plugins/wahwah/wahwah.h"

_SOUNDDATAEX_& CStageBuffer::Prepare(size_t channels, uint32_t frames) {
    m_storage.resize(channels);
    m_view.channels.resize(channels);
    for (size_t channel = 0; channel < channels; ++channel) {
        if (m_storage[channel].size() < frames) m_storage[channel].resize(frames);
        m_view.channels[channel] = m_storage[channel].data();
    }
    m_view.capacity = frames;
    m_view.frames = 0;
    return m_view;
}
