// Signals and measures for the equalizer tests.
#pragma once

#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

// Sum of unit-amplitude sines (scaled by `scale`) at the given frequencies.
inline std::vector<float> Tones(size_t length, double sampleRate, std::vector<double> frequencies, double scale) {
    std::vector<float> samples(length);
    for (size_t k = 0; k < length; ++k) {
        double sum = 0.0;
        for (double f : frequencies) sum += std::sin(2.0 * std::numbers::pi * f * static_cast<double>(k) / sampleRate);
        samples[k] = static_cast<float>(scale * sum);
    }
    return samples;
}

// Root mean square of samples[from, to).
inline double Rms(const std::vector<float>& samples, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t k = from; k < to; ++k) sum += static_cast<double>(samples[k]) * samples[k];
    return std::sqrt(sum / static_cast<double>(to - from));
}

inline double Decibels(double ratio) { return 20.0 * std::log10(ratio); }
