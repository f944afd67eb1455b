// The quick check of a file chosen as a track.
#include "engine/track_probe.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "engine/provider_handles.h"
#include "engine/src/track_jobs.h"
#include "platform/unique_fd.h"

namespace {

constexpr uint32_t kMaxTrackChannels = 2;

TrackProbe ProviderProbe(const std::string& path) {
    TrackProbe probe;
    ProviderReader reader;
    if (!reader.Open(path, probe.format, probe.length, QoModeProbe)) {
        probe.problem = TrackFileProblem::NotAudio;
        return probe;
    }
    if (probe.format.Format.nChannels > kMaxTrackChannels) probe.problem = TrackFileProblem::TooManyChannels;
    return probe;
}

TrackProbe Problem(TrackFileProblem problem) {
    TrackProbe probe;
    probe.problem = problem;
    return probe;
}

}  // namespace

TrackProbe ProbeTrackFile(const std::string& path) {
    if (path.empty()) return Problem(TrackFileProblem::Missing);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        // An audio CD's track is a name the provider knows, not a file.
        if (error == ENOTDIR || error == ENOENT) {
            TrackProbe probe = ProviderProbe(path);
            if (probe.problem != TrackFileProblem::NotAudio) return probe;
        }
        return Problem(error == EACCES ? TrackFileProblem::NoPermission : TrackFileProblem::Missing);
    }
    if (S_ISDIR(info.st_mode)) return Problem(TrackFileProblem::Folder);
    // Opening tells whether this user may read it; without blocking on a pipe or device.
    if (!UniqueFd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)))
        return Problem(errno == EACCES || errno == EPERM ? TrackFileProblem::NoPermission : TrackFileProblem::Missing);
    // Pipes, sockets and character devices hold no audio file the provider could seek in.
    if (!S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode)) return Problem(TrackFileProblem::NotAudio);
    if (S_ISREG(info.st_mode) && info.st_size == 0) return Problem(TrackFileProblem::Empty);
    return ProviderProbe(path);
}

const char* TrackFileProblemText(TrackFileProblem problem) {
    switch (problem) {
        case TrackFileProblem::None: return "";
        case TrackFileProblem::Missing: return "does not exist";
        case TrackFileProblem::Folder: return "is a folder";
        case TrackFileProblem::NoPermission: return "no permission";
        case TrackFileProblem::Empty: return "empty file";
        case TrackFileProblem::NotAudio: return "not an audio file";
        case TrackFileProblem::TooManyChannels: return "more than two channels";
    }
    return "";
}

std::string TrackProbeMessage(const std::string& path, TrackFileProblem problem, const std::string& displayName) {
    if (problem == TrackFileProblem::None) return {};
    const std::string first = problem == TrackFileProblem::TooManyChannels
                                  ? "Multi-channel sound can not be added to a track"
                                  : "Error opening " + (displayName.empty() ? TrackDisplayName(path) : displayName);
    std::filesystem::path file(path);
    // A folder given with a trailing slash is still named.
    if (file.filename().empty()) file = file.parent_path();
    return first + "\n" + file.filename().string() + ": " + TrackFileProblemText(problem);
}
