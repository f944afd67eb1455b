// The delay plug-ins' shared parameters in stored form, and their stream of two lines.
#include "plugins/common/delay_pair.h"

namespace {

constexpr double kPercent = 100.0;
constexpr uint32_t kMaxGainPercent = 100;

}  // namespace

void LoadDelayPair(const StoredDelayPair& stored, double gainOffset, int32_t maxDelayMs,
                   DelayPairParameters& parameters) {
    const auto gain = [&](int32_t percent) { return StoredToFactor(percent, gainOffset, kPercent, kMaxGainPercent); };
    const auto delay = [&](int32_t milliseconds) {
        return StoredToCount(milliseconds, static_cast<uint32_t>(maxDelayMs));
    };
    DelayPairParameters& p = parameters;
    p.dryGain = gain(stored.dryOut);
    p.leftEchoGain = gain(stored.leftVolume);
    p.rightEchoGain = gain(stored.rightVolume);
    p.leftDelayMs = delay(stored.leftDelay);
    p.rightDelayMs = delay(stored.rightDelay);
    p.muteDry = stored.disMain;
    p.lockChannels = stored.lockChannels;
    p.invertLeft = stored.invertLeft;
    p.invertRight = stored.invertRight;
}

StoredDelayPair StoredFormOf(const DelayPairParameters& parameters) {
    const DelayPairParameters& p = parameters;
    return StoredDelayPair{
        .dryOut = FactorToStored(p.dryGain.get(), kPercent),
        .leftVolume = FactorToStored(p.leftEchoGain.get(), kPercent),
        .rightVolume = FactorToStored(p.rightEchoGain.get(), kPercent),
        .leftDelay = p.leftDelayMs.get(),
        .rightDelay = p.rightDelayMs.get(),
        .disMain = p.muteDry.get(),
        .lockChannels = p.lockChannels.get(),
        .invertLeft = p.invertLeft.get(),
        .invertRight = p.invertRight.get(),
    };
}

int CDelayPairSettings::OpenStream(const WAVEFORMATEX& format) {
    if (format.nChannels == 0 || format.nChannels > 2 || format.nSamplesPerSec > kMaxDelaySampleRate)
        return PLUGIN_OPEN_UNSUPPORTED;
    CloseStream();
    const DelayPairParameters& p = PairParameters();
    const auto length = [&](int32_t delayMs) {
        return DelayLineLength(static_cast<uint32_t>(delayMs), format.nSamplesPerSec);
    };
    m_leftLine.SetUp(0.0, length(p.leftDelayMs.get()));
    if (format.nChannels == 2)
        m_rightLine.SetUp(0.0, length(p.rightDelayMs.get()));
    else
        m_rightLine.Clear();
    m_streamChannels = format.nChannels;
    return PLUGIN_OPEN_OK;
}

void CDelayPairSettings::CloseStream() { m_streamChannels = 0; }

void CDelayPairSettings::FreeLines() {
    m_leftLine.Clear();
    m_rightLine.Clear();
}

uint32_t CDelayPairSettings::ProcessStream(_SOUNDDATAEX_& record) {
    if (m_streamChannels == 0) {
        record.frames = 0;
        return 0;
    }
    return PullInSlices(record, kDelayPairSliceFrames, [this](_SOUNDDATAEX_& block, uint32_t frames) {
        if (block.channels.empty()) return;
        float* right = (m_streamChannels == 2 && block.channels.size() >= 2) ? block.channels[1] : nullptr;
        ProcessFrames(block.channels[0], right, frames);
    });
}
