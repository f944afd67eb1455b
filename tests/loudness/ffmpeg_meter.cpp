#include "ffmpeg_meter.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>

#include "contracts/wave_format.h"
#include "engine/saver.h"

namespace {

// The number after label in the text from at on.
bool NumberAfter(const std::string& text, size_t at, const std::string& label, double& value) {
    const size_t found = text.find(label, at);
    if (found == std::string::npos) return false;
    return std::sscanf(text.c_str() + found + label.size(), "%lf", &value) == 1;
}

}  // namespace

FfmpegLoudness MeasureWithFfmpeg(const std::string& path) {
    FfmpegLoudness result;
    const std::string command = "ffmpeg -nostats -hide_banner -i '" + path + "' -af ebur128=peak=true -f null - 2>&1";
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) text.append(chunk, n);
        if (::pclose(pipe) != 0) return result;
    }
    const size_t summary = text.rfind("Summary:");
    if (summary == std::string::npos) return result;
    result.ok = NumberAfter(text, summary, "I:", result.integrated) &&
                NumberAfter(text, summary, "LRA:", result.range) &&
                NumberAfter(text, text.find("True peak:", summary), "Peak:", result.truePeak);
    return result;
}

void WriteWav(const std::string& path, const std::vector<int16_t>& samples, uint32_t channels) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<uint16_t>(channels);
    format.nSamplesPerSec = kWorkingRate;
    format.nBlockAlign = static_cast<uint16_t>(2 * channels);
    format.nAvgBytesPerSec = kWorkingRate * format.nBlockAlign;
    format.wBitsPerSample = 16;
    const auto header = MakeExportWavHeader(format, static_cast<uint32_t>(samples.size() / channels));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header.data()), header.size());
    out.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
}

std::vector<int16_t> Sine(double hz, double dbfs, double seconds, uint32_t channels) {
    const auto frames = static_cast<size_t>(seconds * kWorkingRate);
    const double amplitude = std::pow(10.0, dbfs / 20.0) * 32767.0;
    std::vector<int16_t> samples(frames * channels);
    for (size_t f = 0; f < frames; ++f) {
        const auto value = static_cast<int16_t>(
            std::lrint(amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(f) / kWorkingRate)));
        for (uint32_t c = 0; c < channels; ++c) samples[f * channels + c] = value;
    }
    return samples;
}
