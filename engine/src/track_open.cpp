// Opening a track: name, checks, probe, decode behind a progress run, mapping, peak cache.
#include "engine/track.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "audiosvc/audiosvc.h"
#include "engine/progress.h"
#include "engine/provider_handles.h"
#include "engine/src/track_jobs.h"
#include "engine/track_probe.h"

namespace {

const char* const kPeakCacheText = "Creating Draw Cache...";

bool IsWorkingPcm(const WAVEFORMATEX& format) {
    return (format.nChannels == 1 || format.nChannels == 2) && format.wBitsPerSample == 16 &&
           format.nBlockAlign == format.nChannels * 2 && format.nSamplesPerSec == kWorkingRate;
}

uint32_t ExpectedFrames(uint32_t probedRate, uint32_t length) {
    const double expected = static_cast<double>(kWorkingRate) / probedRate * length;
    return static_cast<uint32_t>(std::min(expected, static_cast<double>(std::numeric_limits<uint32_t>::max())));
}

}  // namespace

void ShowTrackMessage(const std::string& text) { AfxSCMessageBox(text.c_str(), MB_OK, nullptr, nullptr); }

bool TrackSource::Open(const std::string& path, const std::string& givenName, IProgressFactory& progress) {
    const std::string name = givenName.empty() ? TrackDisplayName(path) : givenName;
    // The early checks are the ones a file gets when it is chosen.
    const TrackProbe probe = ProbeTrackFile(path);
    if (!probe.Ok()) {
        ShowTrackMessage(TrackProbeMessage(path, probe.problem, name));
        return false;
    }
    if (!IsOpen() && !Decode(path, name, probe.format.Format.nSamplesPerSec, probe.length, progress)) return false;

    drawCache_.Reset(Channels());
    placementStart_ = 0;
    placementEnd_ = frames_;
    // A fresh track sounds over its whole length. A track opened again keeps its active range
    // as far as it still lies inside the placement.
    activeStart_ = std::clamp<int64_t>(activeStart_, placementStart_, placementEnd_);
    activeEnd_ = std::clamp<int64_t>(activeEnd_, activeStart_, placementEnd_);
    if (activeStart_ == activeEnd_) {
        activeStart_ = placementStart_;
        activeEnd_ = placementEnd_;
    }
    displayName_ = name;
    return true;
}

bool TrackSource::Decode(const std::string& path, const std::string& displayName, uint32_t probedRate,
                         uint32_t probedLength, IProgressFactory& progress) {
    const std::string failureText = "Error opening " + displayName;
    auto fail = [&] {
        Reset();
        ShowTrackMessage(failureText);
        return false;
    };
    // A run the user cancelled resets the track without a word.
    auto completed = [&](int result) {
        if (result == kProgressCompleted) return true;
        if (result == kProgressCancelled)
            Reset();
        else
            fail();
        return false;
    };

    ProviderReader reader;
    uint32_t decodeLength = 0;
    // A file without a rate has no length on the timeline; the delivered format must be the
    // one the buffers below are sized for.
    if (probedRate == 0 || !reader.Open(path, format_, decodeLength, QoModeDecode) || !IsWorkingPcm(format_.Format))
        return fail();

    // The estimate behind the percentage: the probed length is in the file's own rate.
    DecodeJob job{reader.handle(), -1, BlockAlign(), ExpectedFrames(probedRate, probedLength)};
    frames_ = 0;
    if (!tempFile_.Create("qosrc", "tmp")) return fail();
    job.fd = tempFile_.fd();

    int result;
    {
        const std::unique_ptr<IProgress> run = progress.Create("Opening: " + displayName, true);
        result = RunWithProgress(*run, [&job](IProgress& p) { return job.Run(p); });
    }
    reader.Close();
    frames_ = job.frames;
    if (!completed(result)) return false;
    if (!mapped_.Map(tempFile_.fd(), static_cast<uint64_t>(frames_) * BlockAlign())) return fail();
    tempFile_.CloseHandle();

    {
        const std::unique_ptr<IProgress> run = progress.Create(kPeakCacheText, true);
        result = RunWithProgress(*run, [this](IProgress& p) { return RunPeakCache(p); });
    }
    return completed(result);
}

int TrackSource::RunPeakCache(IProgress& progress) {
    return BuildPeakArrays(progress, reinterpret_cast<const int16_t*>(mapped_.data()), frames_, Channels(), peaks_,
                           peakArrayBytes_);
}
