// Ring set-up of the delay line.
#include <algorithm>

#include "plugins/common/delay_line.h"

void CDelay::SetUp(double factor, uint32_t length) {
    Clear();  // the old ring goes before the new one is made
    m_items.resize(length == 0 ? 1 : length, 0.0);
    m_factor = factor;
    m_position = 0;
}

void CDelay::Clear() {
    m_items.clear();
    m_items.shrink_to_fit();
    m_position = 0;
}

uint32_t DelayLineLength(uint32_t milliseconds, uint32_t samplesPerSecond) {
    const uint64_t length = static_cast<uint64_t>(milliseconds) * samplesPerSecond / 1000;
    return static_cast<uint32_t>(std::min<uint64_t>(length, UINT32_MAX));
}
