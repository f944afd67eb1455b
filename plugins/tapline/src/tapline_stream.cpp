// Tapline's stream: one line per channel and the per-sample echo.
#include "plugins/tapline/tapline.h"

int CTaplineSettings::OpenStream(const WAVEFORMATEX& format) {
    if (format.nChannels == 0 || format.nChannels > 2 || format.nSamplesPerSec > kMaxDelaySampleRate)
        return PLUGIN_OPEN_UNSUPPORTED;
    CloseStream();
    const auto length = [&](int32_t delayMs) {
        return DelayLineLength(static_cast<uint32_t>(delayMs), format.nSamplesPerSec);
    };
    m_leftLine.SetUp(0.0, length(parameters.leftDelayMs.get()));
    if (format.nChannels == 2) m_rightLine.SetUp(0.0, length(parameters.rightDelayMs.get()));
    m_streamChannels = format.nChannels;
    return PLUGIN_OPEN_OK;
}

void CTaplineSettings::CloseStream() {
    m_leftLine.Clear();
    m_rightLine.Clear();
    m_streamChannels = 0;
}

uint32_t CTaplineSettings::ProcessStream(_SOUNDDATAEX_& record) {
    if (m_streamChannels == 0) {
        record.frames = 0;
        return 0;
    }
    return PullInSlices(record, kTaplineSliceFrames,
                        [this](_SOUNDDATAEX_& block, uint32_t frames) { ProcessBlock(block, frames); });
}

namespace {

// One channel's sample: the line's output at its gain over the dry input, the input and a
// hundredth of the output written back.
float EchoSample(CDelay& line, double input, double echoGain, double dryGain, bool invert) {
    const double delayed = line.Read();
    line.Write(delayed * kTaplineRepeat + input);
    const double output = delayed * echoGain + dryGain * input;
    return static_cast<float>(invert ? -output : output);
}

}  // namespace

void CTaplineSettings::ProcessBlock(_SOUNDDATAEX_& block, uint32_t frames) {
    if (block.channels.empty()) return;
    float* left = block.channels[0];
    float* right = (m_streamChannels == 2 && block.channels.size() >= 2) ? block.channels[1] : nullptr;
    const TaplineParameters& p = parameters;
    for (uint32_t i = 0; i < frames; ++i) {
        const double dryGain = p.muteDry.get() == 0 ? p.dryGain.get() : 0.0;
        left[i] = EchoSample(m_leftLine, left[i], p.leftEchoGain.get(), dryGain, p.invertLeft.get() != 0);
        if (right) right[i] = EchoSample(m_rightLine, right[i], p.rightEchoGain.get(), dryGain, p.invertRight.get() != 0);
    }
}
