// Tapline's per-sample echo, one line per channel.
#include "plugins/tapline/tapline.h"

void CTaplineSettings::CloseStream() {
    CDelayPairSettings::CloseStream();
    FreeLines();
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

void CTaplineSettings::ProcessFrames(float* left, float* right, uint32_t frames) {
    const TaplineParameters& p = parameters;
    for (uint32_t i = 0; i < frames; ++i) {
        const double dryGain = p.muteDry.get() == 0 ? p.dryGain.get() : 0.0;
        left[i] = EchoSample(m_leftLine, left[i], p.leftEchoGain.get(), dryGain, p.invertLeft.get() != 0);
        if (right)
            right[i] = EchoSample(m_rightLine, right[i], p.rightEchoGain.get(), dryGain, p.invertRight.get() != 0);
    }
}
