// Exporting the marked range into the temporary WAV file.
#include "engine/saver.h"

#include <algorithm>
#include <limits>

#include "audiosvc/audiosvc.h"
#include "engine/progress.h"
#include "engine/render_chain.h"
#include "engine/src/save_jobs.h"
#include "engine/temp_files.h"
#include "platform/unique_fd.h"

namespace {

// Closes the chain's stream when the export ends, however it ends.
class OpenChain {
public:
    explicit OpenChain(RingtoneTimeline& timeline) : timeline_(timeline) {}
    ~OpenChain() { timeline_.CloseChain(); }
    OpenChain(const OpenChain&) = delete;
    OpenChain& operator=(const OpenChain&) = delete;

private:
    RingtoneTimeline& timeline_;
};

}  // namespace

bool RingtoneSaver::PrepareExport(RingtoneTimeline& timeline, IProgressFactory& progress, TempFile& exported) {
    timeline.StopPlayback();
    const WAVEFORMATEX& format = RingtoneTimeline::MixFormat().Format;
    const int64_t start = std::min(timeline.StartMarker(), timeline.EndMarker());
    const int64_t end = std::max(timeline.StartMarker(), timeline.EndMarker());
    const double milliseconds = static_cast<double>(end - start) / format.nSamplesPerSec * 1000.0;
    if (milliseconds < 1000.0) {
        ShowSaveMessage(kShortRangeText, MB_OK | MB_ICONWARNING);
        return false;
    }
    // The header counts the data bytes in 32 bits.
    const uint64_t dataBytes = static_cast<uint64_t>(end - start) * format.nBlockAlign;
    if (dataBytes > std::numeric_limits<uint32_t>::max() - 36) {
        ShowSaveMessage(kExportErrorText, MB_OK);
        return false;
    }
    const auto frames = static_cast<uint32_t>(end - start);

    timeline.SetPlayRange(start, end);
    if (timeline.SetUpExport() != EFF_OK) {
        timeline.CloseChain();
        ShowSaveMessage(kExportErrorText, MB_OK);
        return false;
    }
    OpenChain chain(timeline);

    TempFile file;
    const auto header = MakeExportWavHeader(format, frames);
    if (!file.Create("qoexp", "wav") || !WriteAll(file.fd(), header.data(), header.size())) {
        ShowSaveMessage(kExportErrorText, MB_OK);
        return false;
    }

    LoudnessMeter meter(format.nChannels, format.nSamplesPerSec);
    const ExportJob job{timeline, file.fd(), frames, meter};
    int result;
    {
        const std::unique_ptr<IProgress> run = progress.Create(kExportProgressText, true);
        result = RunWithProgress(*run, [&job](IProgress& p) { return job.Run(p); });
    }
    file.CloseHandle();
    if (result != kProgressCompleted) {
        file.Remove();
        if (result != kProgressCancelled) ShowSaveMessage(kExportErrorText, MB_OK);
        return false;
    }
    preparedLoudness_ = meter.Result();
    exported = std::move(file);
    TakeTrackTags(timeline);
    return true;
}
