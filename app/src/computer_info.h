// The parts of the computer information text that come from system files, free of Qt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace compinfo {

// PRETTY_NAME of an os-release text, else NAME and VERSION; "" when it has none of them.
std::string OsReleaseName(const std::string& osRelease);

struct Processor {
    std::string model;     // "model name" (or "Model", "Hardware", "cpu model"); "" when none
    int logicalCount = 0;  // "processor" entries
};
Processor ParseCpuInfo(const std::string& cpuinfo);

struct Memory {
    uint64_t totalBytes = 0;      // MemTotal
    uint64_t availableBytes = 0;  // MemAvailable, else MemFree
};
Memory ParseMemInfo(const std::string& meminfo);

struct AudioDevices {
    std::string driver;  // "" when the audio system could not start
    std::vector<std::string> outputs;
    std::vector<std::string> inputs;
};
AudioDevices ListAudioDevices();

// Kernel name, release, machine and host name (uname).
std::string SystemLines();

// The system, processor, memory and sound sections of the text.
std::string SystemDescription();

}  // namespace compinfo
