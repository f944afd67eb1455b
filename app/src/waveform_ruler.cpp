// The waveform editor's time ruler: tick spacing from the microseconds per pixel, the first
// tick at or after the view start, labels on every tenth tick of the coarse scales.
#include "app/src/waveform_ruler.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

int64_t RoundMicrosPerPixel(int64_t micros) {
    if (micros <= 100) return micros;
    int64_t power = 1;
    while (micros / power >= 10) power *= 10;
    return (micros / power + 1) * power;
}

std::vector<RulerTick> ComputeRulerTicks(int64_t viewStart, uint32_t zoom, uint32_t rate, int width) {
    std::vector<RulerTick> ticks;
    if (zoom == 0 || rate == 0 || width <= 0) return ticks;
    const int64_t micros = RoundMicrosPerPixel(static_cast<int64_t>(zoom) * 1000000 / rate);
    const bool coarse = micros >= 100;
    // A scale finer than 10 µs per pixel (a rate far above the working one) would give a
    // 0 ms interval: one millisecond is the finest tick.
    const int64_t interval = std::max<int64_t>(micros > 100 ? micros / 100 : micros / 10, 1);
    const int64_t labelEvery = std::max<int64_t>(micros / 10, 1);
    const double distance = static_cast<double>(interval) * rate / 1000.0 / zoom;

    int64_t t = viewStart * 1000 / rate;
    if (coarse) {
        const int64_t step = std::max<int64_t>(micros / 100, 1);
        t = (t / step + 1) * step;
    }
    double x =
        static_cast<double>(rate) * static_cast<double>(t) / zoom / 1000.0 - static_cast<double>(viewStart) / zoom;
    x = std::max(x, 0.0);
    for (; x < width; x += distance, t += interval) ticks.push_back({x, t, !coarse || t % labelEvery == 0});
    return ticks;
}

std::string FormatClockTime(int64_t ms) {
    char text[48];
    std::snprintf(text, sizeof text, "%02" PRId64 ":%02" PRId64 ":%02" PRId64 ".%03" PRId64, ms / 3600000,
                  ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return text;
}
