// Running a program as a separate process, with its output captured and a time limit.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct ProcessResult {
    int code = -1;          // the exit status, or 128 + the signal that ended it
    bool timedOut = false;  // killed at the time limit
    std::string out;
    std::string err;
};

// Runs words[0] (a path) with the arguments in `folder`. The environment is exactly the
// given one ("NAME=value" entries), or this process's own when none is given. A process still
// running at the limit is killed and reported as timed out.
ProcessResult RunProcess(const std::vector<std::string>& words, const std::string& folder,
                         const std::optional<std::vector<std::string>>& environment, std::chrono::seconds limit);

// The path of a system tool (ffmpeg, readelf ...) in /usr/bin, /bin or /usr/local/bin; the
// bare name when none of them has it.
std::string ToolPath(const std::string& tool);

// The environment an installed program runs in during a test: nothing of this process's, the
// home, settings, data and temporary folders below `scratch` (its home/, config/, data/ and
// tmp/), the offscreen display and the dummy sound device.
std::vector<std::string> CleanEnvironment(const std::string& scratch);
