// Helpers for the wah-wah tests: a stage run over a signal, tones and levels.
#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include "contracts/sound_data.h"
#include "plugins/wahwah/wahwah.h"

inline std::vector<float> Sine(size_t length, double hz, double sampleRate, double amplitude) {
    std::vector<float> samples(length);
    for (size_t k = 0; k < length; ++k)
        samples[k] =
            static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(k) / sampleRate));
    return samples;
}

inline double Rms(const std::vector<float>& samples, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t k = from; k < to; ++k) sum += static_cast<double>(samples[k]) * samples[k];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// Pulls one channel through a stage in blocks of blockFrames, in place.
inline std::vector<float> RunStage(CBaseEffect& stage, std::vector<float> samples, uint32_t blockFrames) {
    _SOUNDDATAEX_ view;
    view.channels.resize(1);
    for (size_t done = 0; done < samples.size(); done += blockFrames) {
        view.channels[0] = samples.data() + done;
        view.capacity = static_cast<uint32_t>(std::min<size_t>(blockFrames, samples.size() - done));
        stage.Pull(view);
    }
    return samples;
}

inline WahWahParameters FixedCentre(double hz, int32_t kind) {
    WahWahParameters parameters;
    parameters.lowerBorder = hz;
    parameters.upperBorder = hz;
    parameters.kind = kind;
    return parameters;
}
