// Ricochet's per-sample ping-pong.
#include "plugins/ricochet/ricochet.h"

void CRicochetSettings::ProcessFrames(float* left, float* right, uint32_t frames) {
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
