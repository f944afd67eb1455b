// Helpers for tests that play or record through SDL's dummy and disk drivers: a private
// folder, driver selection through the environment, raw sample files and bounded waits.
#pragma once

#include <dirent.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/scratch.h"

namespace audiotest {

// SDL reads these when its audio starts, which happens at the first open after the last close.
inline void UseDriver(const std::string& driver) { ::setenv("SDL_AUDIODRIVER", driver.c_str(), 1); }

// The disk driver writes what is played to output and reads what is captured from input.
inline void UseDiskDriver(const std::string& output, const std::string& input = "/nonexistent/capture.raw") {
    UseDriver("disk");
    ::setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    ::setenv("SDL_DISKAUDIOFILEIN", input.c_str(), 1);
    ::unsetenv("SDL_DISKAUDIODELAY");  // real time
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<int16_t> ReadSamples(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return samples;
}

// The frames of interleaved samples that are not all zero, in order: what was played, with
// the device's silence (before, between and after) left out.
inline std::vector<int16_t> SoundingFrames(const std::vector<int16_t>& samples, size_t channels) {
    std::vector<int16_t> sounding;
    for (size_t i = 0; i + channels <= samples.size(); i += channels) {
        bool silent = true;
        for (size_t c = 0; c < channels; ++c) silent = silent && samples[i + c] == 0;
        if (!silent) sounding.insert(sounding.end(), samples.begin() + i, samples.begin() + i + channels);
    }
    return sounding;
}

// Polls until the condition holds; false after the limit (a safety net against hangs, not a
// speed requirement).
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Threads of this process with the given name.
inline int ThreadsNamed(const std::string& name) {
    int count = 0;
    if (DIR* tasks = ::opendir("/proc/self/task")) {
        while (const dirent* entry = ::readdir(tasks)) {
            if (entry->d_name[0] == '.') continue;
            std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
            std::string text;
            std::getline(comm, text);
            if (text == name) ++count;
        }
        ::closedir(tasks);
    }
    return count;
}

}  // namespace audiotest
