// The options of "morvane-cli record".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct RecordOptions {
    std::string output;
    int64_t frames = 0;  // the length to record, at 44100 Hz
    bool force = false;
};

// Parses the arguments after "record". Nothing, with the reason in error, for a usage error.
std::optional<RecordOptions> ParseRecordOptions(const std::vector<std::string>& arguments, std::string& error);
