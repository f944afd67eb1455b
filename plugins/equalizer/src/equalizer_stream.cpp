// The equalizer's stream: one engine per channel and the protocol that hides the engines'
// delay. The first call pulls kEqualizerDelay samples ahead and throws their output away;
// when the input ends, the delayed samples still inside the engines are flushed by feeding
// zeros, so the output is exactly as long as the input and aligned with it.
#include <algorithm>

#include "plugins/equalizer/equalizer.h"

int CEqualizerSettings::OpenStream(const WAVEFORMATEX& format) {
    CloseStream();
    if (format.nChannels == 0 || format.nChannels > kEqualizerMaxChannels || format.nSamplesPerSec == 0)
        return PLUGIN_OPEN_UNSUPPORTED;
    std::array<double, kEqualizerBands> bandGains;
    for (int band = 0; band < kEqualizerBands; ++band) bandGains[band] = gains[band].get();
    for (uint32_t channel = 0; channel < format.nChannels; ++channel) {
        auto engine = std::make_unique<CEqualizerFFT>();
        engine->Open(format);
        engine->SetGains(bandGains);
        m_engines[channel] = std::move(engine);
    }
    m_engineCount = format.nChannels;
    m_primeBlock.Allocate(m_engineCount, kEqualizerDelay);
    m_channelView.channels.assign(1, nullptr);
    m_tailCount = 0;
    m_inputEnded = false;
    return PLUGIN_OPEN_OK;
}

void CEqualizerSettings::CloseStream() {
    for (auto& engine : m_engines) engine.reset();
    m_engineCount = 0;
    m_primeBlock.Release();
}

uint32_t CEqualizerSettings::ProcessStream(_SOUNDDATAEX_& record) {
    const uint32_t requested = record.capacity;
    record.frames = 0;
    if (m_engineCount == 0 || requested == 0) return 0;
    if (std::find(record.channels.begin(), record.channels.end(), nullptr) != record.channels.end()) return 0;
    for (float* channel : record.channels) std::fill(channel, channel + requested, 0.0f);

    uint32_t count = 0;
    if (!m_engines[0]->IsPrimed()) {
        const uint32_t delivered = Prime();
        if (delivered == kEqualizerDelay) {
            m_tailCount = static_cast<int32_t>(kEqualizerDelay);
            m_inputEnded = false;
            count = PullAndPad(record);
        } else {
            // The whole input fitted into the look-ahead: flush it with zeros.
            count = std::min(delivered, requested);
            m_tailCount = static_cast<int32_t>(delivered - count);
            m_inputEnded = true;
        }
    } else if (m_inputEnded) {
        if (m_tailCount < 1) return 0;
        count = std::min(static_cast<uint32_t>(m_tailCount), requested);
        m_tailCount -= static_cast<int32_t>(count);
    } else {
        count = PullAndPad(record);
    }
    RunEngines(record, count);
    record.capacity = requested;
    record.frames = count;
    return count;
}

uint32_t CEqualizerSettings::Prime() {
    m_primeBlock.Clear();
    m_primeBlock->capacity = kEqualizerDelay;
    const uint32_t delivered = PullInput(*m_primeBlock);
    RunEngines(*m_primeBlock, kEqualizerDelay);
    return delivered;
}

uint32_t CEqualizerSettings::PullAndPad(_SOUNDDATAEX_& record) {
    const uint32_t requested = record.capacity;
    const uint32_t delivered = PullInput(record);
    if (delivered >= requested) return requested;
    const uint32_t padding = std::min(requested - delivered, static_cast<uint32_t>(std::max(m_tailCount, 0)));
    m_tailCount -= static_cast<int32_t>(padding);
    m_inputEnded = true;
    return delivered + padding;
}

void CEqualizerSettings::RunEngines(_SOUNDDATAEX_& record, uint32_t count) {
    const size_t channels = std::min<size_t>(record.channels.size(), m_engineCount);
    m_channelView.capacity = count;
    for (size_t channel = 0; channel < channels; ++channel) {
        m_channelView.channels[0] = record.channels[channel];
        m_engines[channel]->Pull(m_channelView);
    }
}
