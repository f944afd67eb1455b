// Conversions between frames and milliseconds at a format's sample rate.
// Both split the product so that no intermediate overflows while the result fits.
#include "audiosvc/audiosvc.h"

uint64_t TimeToSample(const WAVEFORMATEX* format, uint64_t value) {
    if (format == nullptr || format->nSamplesPerSec == 0) return 0;
    const uint64_t rate = format->nSamplesPerSec;
    return value / rate * 1000 + value % rate * 1000 / rate;
}

uint64_t SampleToTime(const WAVEFORMATEX* format, uint64_t value) {
    if (format == nullptr) return 0;
    const uint64_t rate = format->nSamplesPerSec;
    return value / 1000 * rate + value % 1000 * rate / 1000;
}
