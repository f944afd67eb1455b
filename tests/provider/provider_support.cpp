#include "provider_support.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace provider_test {

bool Ffmpeg(const std::string& args) {
    return std::system(("ffmpeg -nostdin -v error -y " + args + " </dev/null").c_str()) == 0;
}

std::string Output(const std::string& command) {
    std::string result;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) result.append(buf, n);
        pclose(pipe);
    }
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
    return result;
}

std::string Probe(const std::string& path, const std::string& entry) {
    const bool stream = entry.rfind("stream=", 0) == 0;
    return Output("ffprobe -v error " + std::string(stream ? "-select_streams a:0 " : "") + "-show_entries " + entry +
                  " -of default=nw=1:nk=1 '" + path + "'");
}

std::string SineSource(const std::vector<int>& frequencies, int rate, double seconds) {
    std::ostringstream s;
    s << "-f lavfi -i \"aevalsrc=";
    for (size_t i = 0; i < frequencies.size(); ++i) s << (i ? "|" : "") << "0.5*sin(2*PI*" << frequencies[i] << "*t)";
    s << ":s=" << rate << ":d=" << seconds << "\"";
    return s.str();
}

Decoded DecodeAll(const std::string& path, int channels, int rate, uint32_t chunk) {
    Decoded d;
    d.format = Pcm16(channels, rate);
    d.handle = QoOpenFile(path.c_str(), &d.format, &d.length, QoModeDecode);
    if (!d.handle) return d;
    const int ch = d.format.Format.nChannels;
    std::vector<int16_t> buffer(static_cast<size_t>(chunk) * ch);
    uint32_t position = 0;
    while (const uint32_t n =
               QoGetFileData(d.handle, position, chunk, buffer.data(), static_cast<uint32_t>(buffer.size() * 2))) {
        d.samples.insert(d.samples.end(), buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(n) * ch);
        position += n;
    }
    QoCloseFile(d.handle);
    return d;
}

std::optional<Probed> ProbeFile(const std::string& path) {
    Probed p;
    const uint32_t h = QoOpenFile(path.c_str(), &p.format, &p.length, QoModeProbe);
    if (!h) return std::nullopt;
    QoCloseFile(h);
    return p;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<int16_t> ReadS16(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return samples;
}

namespace {

size_t EndOf(const std::vector<int16_t>& samples, int channels, size_t first, size_t count) {
    const size_t frames = samples.size() / channels;
    return count == 0 ? frames : std::min(frames, first + count);
}

}  // namespace

double SineLevelDb(const std::vector<int16_t>& samples, int channels, int channel, size_t first, size_t count) {
    const size_t end = EndOf(samples, channels, first, count);
    double sum = 0;
    for (size_t i = first; i < end; ++i) {
        const double v = samples[i * channels + channel] / 32768.0;
        sum += v * v;
    }
    const double rms = std::sqrt(sum / static_cast<double>(std::max<size_t>(end - first, 1)));
    return 20 * std::log10(rms * std::sqrt(2.0) + 1e-12);
}

double ZeroCrossingHz(const std::vector<int16_t>& samples, int channels, int channel, int rate, size_t first,
                      size_t count) {
    const size_t end = EndOf(samples, channels, first, count);
    long crossings = 0;
    size_t firstCrossing = 0;
    size_t lastCrossing = 0;
    for (size_t i = first + 1; i < end; ++i) {
        if (samples[(i - 1) * channels + channel] < 0 && samples[i * channels + channel] >= 0) {
            if (crossings == 0) firstCrossing = i;
            lastCrossing = i;
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * static_cast<double>(rate) / static_cast<double>(lastCrossing - firstCrossing);
}

WAVEFORMATEXTENSIBLE Pcm16(int channels, int rate) {
    WAVEFORMATEXTENSIBLE f = kWorkingFormat;
    f.Format.nChannels = static_cast<uint16_t>(channels);
    f.Format.nSamplesPerSec = static_cast<uint32_t>(rate);
    f.Format.nBlockAlign = static_cast<uint16_t>(channels * 2);
    f.Format.nAvgBytesPerSec = f.Format.nBlockAlign * f.Format.nSamplesPerSec;
    f.dwChannelMask = channels == 1 ? 4 : 3;
    return f;
}

// Little-endian encoder records as the saver builds them.
std::vector<uint8_t> Fields(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> out;
    for (uint32_t v : values)
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return out;
}

// Interleaved 16-bit frames: a 1 kHz sine at -6 dBFS, with white noise added when asked
// (noise fills the bit budget, so that the bit rate shows).
std::vector<int16_t> Signal(int channels, int rate, double seconds, bool noise) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> hiss(-6000, 6000);
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<int16_t> samples(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        const double tone = (noise ? 0.25 : 0.5) * 32768 * std::sin(2 * M_PI * 1000 * static_cast<double>(i) / rate);
        for (int ch = 0; ch < channels; ++ch)
            samples[i * channels + ch] = static_cast<int16_t>(std::lround(tone) + (noise ? hiss(random) : 0));
    }
    return samples;
}

// Writes the samples in 1024-frame blocks; true when every block was taken.
bool WriteFile(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate, const void* record,
               uint32_t flags) {
    const WAVEFORMATEXTENSIBLE pcm = Pcm16(channels, rate);
    const uint64_t total = samples.size() / channels;
    const uint32_t h = QoCoderCreateFile(path.c_str(), &pcm, record, flags, &total);
    if (!h) return false;
    bool taken = true;
    for (size_t first = 0; first < total; first += 1024) {
        const auto n = static_cast<uint32_t>(std::min<uint64_t>(1024, total - first));
        taken = taken && QoCoderAddFileData(h, n, samples.data() + first * channels, n * channels * 2) != 0;
    }
    QoCoderCloseFile(h);
    return taken;
}

}  // namespace provider_test
