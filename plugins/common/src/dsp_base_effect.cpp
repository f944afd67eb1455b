#include "plugins/common/dsp_base_effect.h"

void CBaseEffect::Open(const WAVEFORMATEX& format) {
    m_sampleRate = format.nSamplesPerSec;
    m_channelCount = format.nChannels;
}

bool CBaseEffect::Pull(_SOUNDDATAEX_& record) {
    if (m_source != nullptr && !m_source->Pull(record)) return false;
    Process(record);
    return true;
}

void CBaseEffect::Process(_SOUNDDATAEX_&) {}
