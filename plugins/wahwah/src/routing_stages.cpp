// The stages that route and scale blocks: gain, fan-out and sum.
#include <algorithm>

#include "plugins/wahwah/wahwah.h"

namespace {

void CopyFrames(const _SOUNDDATAEX_& from, _SOUNDDATAEX_& to, uint32_t frames) {
    const size_t channels = std::min(from.channels.size(), to.channels.size());
    for (size_t channel = 0; channel < channels; ++channel)
        std::copy(from.channels[channel], from.channels[channel] + frames, to.channels[channel]);
}

}  // namespace

void CVolumeEffect::Process(_SOUNDDATAEX_& record) {
    for (float* samples : record.channels)
        for (uint32_t k = 0; k < record.capacity; ++k) samples[k] = static_cast<float>(samples[k] * m_gain);
}

bool CEffectMux::Pull(_SOUNDDATAEX_& record) {
    const uint32_t frames = record.capacity;
    if (m_counter == 0) {
        _SOUNDDATAEX_& cache = m_cache.Prepare(record.channels.size(), frames);
        CopyFrames(record, cache, frames);
        m_result = m_source == nullptr || m_source->Pull(cache);
    }
    CopyFrames(m_cache.Prepare(record.channels.size(), frames), record, frames);
    if (++m_counter >= m_consumers) m_counter = 0;
    return m_result;
}

bool CEffectSum::AddInput(CBaseEffect* input) {
    if (m_inputCount == kMaxInputs) return false;
    m_inputs[m_inputCount++] = input;
    return true;
}

bool CEffectSum::Pull(_SOUNDDATAEX_& record) {
    const uint32_t frames = record.capacity;
    const size_t channels = record.channels.size();
    _SOUNDDATAEX_& accumulator = m_accumulator.Prepare(channels, frames);
    for (float* samples : accumulator.channels) std::fill(samples, samples + frames, 0.0f);
    bool result = true;
    for (size_t input = 0; input < m_inputCount; ++input) {
        _SOUNDDATAEX_& scratch = m_scratch.Prepare(channels, frames);
        CopyFrames(record, scratch, frames);
        result = m_inputs[input]->Pull(scratch) && result;
        for (size_t channel = 0; channel < channels; ++channel) {
            float* sum = accumulator.channels[channel];
            const float* addend = scratch.channels[channel];
            for (uint32_t k = 0; k < frames; ++k) sum[k] += addend[k];
        }
    }
    CopyFrames(accumulator, record, frames);
    return result;
}
