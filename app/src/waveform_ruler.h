// The waveform editor's time ruler, free of Qt: where its ticks go and what they read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RulerTick {
    double x = 0;           // client pixel of the tick
    int64_t ms = 0;         // the time it marks
    bool labelled = false;  // a tall tick with a label; otherwise a short one
};

// Microseconds per pixel above 100 rounded up to the next leading digit: (leading digit + 1)
// × 10^(digits − 1), so 150 gives 200 and 2267 gives 3000. Values up to 100 stay.
int64_t RoundMicrosPerPixel(int64_t micros);

// The ticks of a ruler width pixels wide whose left edge shows viewStart at zoom frames per
// pixel and rate frames per second. Empty for a zero rate, zoom or width.
std::vector<RulerTick> ComputeRulerTicks(int64_t viewStart, uint32_t zoom, uint32_t rate, int width);

// "hh:mm:ss.mmm" of a time in milliseconds, with the decimal mark of the page's time boxes:
// the time boxes, the ruler's labels and the tracks' offsets.
std::string FormatClockTime(int64_t ms);
