// The fade stage: one-second linear ramps at the range start and end.
#include "engine/render_chain.h"

#include <algorithm>

namespace {

// Multiplies frame i of channels 0 and 1 by gain(i) for i in [first, last).
template <class Gain>
void Shape(_SOUNDDATAEX_& block, uint32_t first, uint32_t last, const Gain& gain) {
    const size_t channels = std::min<size_t>(block.channels.size(), 2);
    for (uint32_t i = first; i < last; ++i) {
        const float g = gain(i);
        for (size_t k = 0; k < channels; ++k) block.channels[k][i] *= g;
    }
}

}  // namespace

void ApplyFades(_SOUNDDATAEX_& block, int64_t position, int64_t rangeStart, int64_t rangeEnd, bool fadeIn, bool fadeOut,
                uint32_t fadeFrames) {
    const uint32_t frames = std::min(block.frames, block.capacity);
    if (frames == 0 || fadeFrames == 0) return;
    const auto length = static_cast<float>(fadeFrames);

    // Each frame's gain is its own distance from the range start over the fade length, so the
    // frame one fade length after the start has gain 1 however the blocks fall.
    const int64_t intoRange = position - rangeStart;
    if (fadeIn && intoRange >= 0 && intoRange < fadeFrames) {
        Shape(block, 0, frames, [&](uint32_t i) { return std::min(1.0f, static_cast<float>(intoRange + i) / length); });
    }

    if (fadeOut) {
        // [ramp start, ramp end) is the part of the block inside the last fade length.
        const int64_t rampEnd = std::min(position + frames, rangeEnd);
        const int64_t rampStart = std::max(rangeEnd - fadeFrames, position);
        if (rampEnd > rampStart) {
            const auto first = static_cast<uint32_t>(rampStart - position);
            const auto last = static_cast<uint32_t>(rampEnd - position);
            Shape(block, first, last,
                  [&](uint32_t i) { return static_cast<float>(rangeEnd - (position + i)) / length; });
        }
    }
}
