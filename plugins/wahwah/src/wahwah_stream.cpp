// The wah-wah filter's stream: the stage graph, pulled in slices of kWahWahSliceFrames.
#include "plugins/wahwah/wahwah.h"

int CWahWahSettings::OpenStream(const WAVEFORMATEX& format) {
    CloseStream();
    if (format.nChannels == 0 || format.nChannels > kWahWahMaxChannels || format.nSamplesPerSec == 0)
        return PLUGIN_OPEN_UNSUPPORTED;
    m_fanOutStage = std::make_unique<CEffectMux>(2);
    m_dryStage = std::make_unique<CVolumeEffect>(dryGain.get());
    m_dryStage->SetSource(m_fanOutStage.get());
    m_wahStage = std::make_unique<CEffectWahWah>();
    m_wahStage->SetParameters(FilterParameters());
    m_wahStage->SetSource(m_fanOutStage.get());
    m_wetStage = std::make_unique<CVolumeEffect>(wetGain.get());
    m_wetStage->SetSource(m_wahStage.get());
    m_sumStage = std::make_unique<CEffectSum>();
    m_sumStage->AddInput(m_dryStage.get());
    m_sumStage->AddInput(m_wetStage.get());
    m_dryStage->Open(format);
    m_wahStage->Open(format);
    return PLUGIN_OPEN_OK;
}

void CWahWahSettings::CloseStream() {
    m_sumStage.reset();
    m_wetStage.reset();
    m_dryStage.reset();
    m_wahStage.reset();
    m_fanOutStage.reset();
}

uint32_t CWahWahSettings::ProcessStream(_SOUNDDATAEX_& record) {
    if (!m_sumStage) {
        record.frames = 0;
        return 0;
    }
    return PullInSlices(record, kWahWahSliceFrames, [&](_SOUNDDATAEX_& slice, uint32_t frames) {
        // The stages work on the delivered frames only (a short slice ends the call).
        const uint32_t asked = slice.capacity;
        slice.capacity = frames;
        m_sumStage->Pull(slice);
        slice.capacity = asked;
    });
}
