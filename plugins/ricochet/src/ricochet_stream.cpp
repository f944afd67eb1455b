// Ricochet's stream: line set-up and the per-sample ping-pong.
#include "plugins/ricochet/ricochet.h"

int CRicochetSettings::OpenStream(const WAVEFORMATEX& format) {
    if (format.nChannels == 0 || format.nChannels > 2 || format.nSamplesPerSec > kMaxDelaySampleRate)
        return PLUGIN_OPEN_UNSUPPORTED;
    CloseStream();
    const auto length = [&](int32_t delayMs) {
        return DelayLineLength(static_cast<uint32_t>(delayMs), format.nSamplesPerSec);
    };
    m_leftLine.SetUp(0.0, length(parameters.leftDelayMs.get()));
    // A mono stream must not hear what a former stereo stream left in the right line.
    if (format.nChannels == 2)
        m_rightLine.SetUp(0.0, length(parameters.rightDelayMs.get()));
    else
        m_rightLine.Clear();
    m_streamChannels = format.nChannels;
    return PLUGIN_OPEN_OK;
}

void CRicochetSettings::CloseStream() { m_streamChannels = 0; }

uint32_t CRicochetSettings::ProcessStream(_SOUNDDATAEX_& record) {
    if (m_streamChannels == 0) {
        record.frames = 0;
        return 0;
    }
    return PullInSlices(record, kRicochetSliceFrames,
                        [this](_SOUNDDATAEX_& block, uint32_t frames) { ProcessBlock(block, frames); });
}

void CRicochetSettings::ProcessBlock(_SOUNDDATAEX_& block, uint32_t frames) {
    if (block.channels.empty()) return;
    float* left = block.channels[0];
    float* right = (m_streamChannels == 2 && block.channels.size() >= 2) ? block.channels[1] : nullptr;
    const RicochetParameters& p = parameters;
    for (uint32_t i = 0; i < frames; ++i) {
        const double inLeft = left[i];
        const double inRight = right ? right[i] : 0.0;
        const double delayedLeft = m_leftLine.Read();
        const double delayedRight = m_rightLine.Read();
        m_leftLine.Write(inLeft + delayedRight * p.leftFeedback.get());
        m_rightLine.Write(inRight + delayedLeft * p.rightFeedback.get());

        const bool dry = p.muteDry.get() == 0;
        double outLeft = delayedRight * p.rightEchoGain.get() + (dry ? p.dryGain.get() * inLeft : 0.0);
        if (p.invertLeft.get() != 0) outLeft = -outLeft;
        left[i] = static_cast<float>(outLeft);
        if (right) {
            double outRight = delayedLeft * p.leftEchoGain.get() + (dry ? p.dryGain.get() * inRight : 0.0);
            if (p.invertRight.get() != 0) outRight = -outRight;
            right[i] = static_cast<float>(outRight);
        }
    }
}
