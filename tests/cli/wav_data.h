// The samples of a 16-bit PCM WAV file's data chunk, wherever the writer put it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/platform_audio/audio_test_support.h"

inline std::vector<int16_t> WavData(const std::string& path) {
    const std::vector<uint8_t> bytes = audiotest::ReadBytes(path);
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
    };
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return {};
    for (size_t at = 12; at + 8 <= bytes.size(); at += 8 + ((u32(at + 4) + 1) & ~1u)) {
        if (std::memcmp(&bytes[at], "data", 4) != 0) continue;
        const size_t size = std::min<size_t>(u32(at + 4), bytes.size() - at - 8);
        std::vector<int16_t> samples(size / 2);
        std::memcpy(samples.data(), &bytes[at + 8], samples.size() * 2);
        return samples;
    }
    return {};
}
