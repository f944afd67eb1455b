// Helpers of the provider tests: a scratch folder, the ffmpeg and ffprobe tools as
// independent references, whole-file decoding through the provider, and measurements.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "provider/provider.h"
#include "tests/platform/scratch.h"

namespace provider_test {

// Runs "ffmpeg -v error -y <args>"; true on success.
bool Ffmpeg(const std::string& args);
// Standard output of a shell command.
std::string Output(const std::string& command);
// One ffprobe entry (e.g. "stream=codec_name") of the first audio stream or the format.
std::string Probe(const std::string& path, const std::string& entry);

// An lavfi source of a sine per channel at -6 dBFS (amplitude 0.5): "aevalsrc=...".
std::string SineSource(const std::vector<int>& frequencies, int rate, double seconds);

// A whole file decoded through QoOpenFile (mode 0) and QoGetFileData in chunks.
struct Decoded {
    uint32_t handle = 0;  // 0 when the open failed (already closed otherwise)
    WAVEFORMATEXTENSIBLE format{};
    uint32_t length = 0;
    std::vector<int16_t> samples;
    int channels() const { return format.Format.nChannels; }
    size_t frames() const { return channels() ? samples.size() / channels() : 0; }
};
Decoded DecodeAll(const std::string& path, int channels = 2, int rate = 44100, uint32_t chunk = 1024);

// The probed format and length, or nothing when the probe fails.
struct Probed {
    WAVEFORMATEXTENSIBLE format{};
    uint32_t length = 0;
};
std::optional<Probed> ProbeFile(const std::string& path);

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<int16_t> ReadS16(const std::string& path);

// Level of a sine in one channel as its peak in dBFS (from the RMS), over the frames
// [first, first + count) (count 0: to the end).
double SineLevelDb(const std::vector<int16_t>& samples, int channels, int channel, size_t first = 0, size_t count = 0);
// Frequency from the rising zero crossings of one channel over the same range.
double ZeroCrossingHz(const std::vector<int16_t>& samples, int channels, int channel, int rate, size_t first = 0,
                      size_t count = 0);

// Little-endian 32-bit fields, as encoder records are built.
std::vector<uint8_t> Fields(std::initializer_list<uint32_t> values);
// Interleaved 16-bit frames: a 1 kHz sine at -6 dBFS, with white noise added when asked
// (noise fills the bit budget, so that the bit rate shows).
std::vector<int16_t> Signal(int channels, int rate, double seconds, bool noise);
// Writes the samples through the coder in 1024-frame blocks (flags: QoCoderCreateFile's
// reserved argument); true when every block was taken.
bool WriteFile(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate, const void* record,
               uint32_t flags = 0);

// The standard wave format record for 16-bit PCM.
WAVEFORMATEXTENSIBLE Pcm16(int channels, int rate);

}  // namespace provider_test
