// Saving: the export file read back in the output format, normalized over its whole length
// when asked, and encoded into a temporary file.
#include "engine/saver.h"

#include <algorithm>
#include <vector>

#include "audiosvc/audiosvc.h"
#include "contracts/provider_api.h"
#include "engine/progress.h"
#include "engine/provider_handles.h"
#include "engine/src/save_jobs.h"
#include "engine/temp_files.h"

namespace {

// The share of the progress bar the peak pass takes: reading is far quicker than encoding.
constexpr uint32_t kPeakPassPercent = 10;

bool DeliversOutputFormat(const WAVEFORMATEXTENSIBLE& delivered, const WAVEFORMATEXTENSIBLE& output) {
    return delivered.Format.nChannels == output.Format.nChannels &&
           delivered.Format.nBlockAlign == output.Format.nBlockAlign &&
           delivered.Format.nSamplesPerSec == output.Format.nSamplesPerSec && delivered.Format.wBitsPerSample == 16;
}

}  // namespace

bool RingtoneSaver::Save(IProgressFactory& progress) {
    if (!EncodedPath().empty()) return true;
    peaks_ = {};
    gains_ = {};
    if (!outputChosen_ || ExportPath().empty()) {
        ShowSaveMessage(kSaveErrorText, MB_OK);
        return false;
    }

    ProviderReader reader;
    WAVEFORMATEXTENSIBLE delivered = outputFormat_;
    uint32_t length = 0;
    if (!reader.Open(ExportPath(), delivered, length, QoModeDecode) ||
        !DeliversOutputFormat(delivered, outputFormat_)) {
        ShowSaveMessage(kSaveErrorText, MB_OK);
        return false;
    }
    TempFile encoded;
    if (!encoded.Create("qosav", "tmp")) {
        ShowSaveMessage(kSaveErrorText, MB_OK);
        return false;
    }
    encoded.CloseHandle();
    ProviderWriter writer;
    const std::vector<uint8_t> record = TaggedRecord();
    if (!writer.Create(encoded.Path(), outputFormat_, record.data(), std::nullopt, QoCoderTagsFollow)) {
        ShowSaveMessage(kSaveErrorText, MB_OK);
        return false;
    }

    int result;
    {
        const std::unique_ptr<IProgress> run = progress.Create(kSaveProgressText, true);
        result = RunWithProgress(*run, [&](IProgress& p) { return RunSave(p, reader.handle(), writer.handle()); });
    }
    writer.Close();
    reader.Close();
    if (result != kProgressCompleted) {
        if (result != kProgressCancelled) ShowSaveMessage(kSaveErrorText, MB_OK);
        return false;
    }
    encodedFile_ = std::move(encoded);
    return true;
}

int RingtoneSaver::RunSave(IProgress& progress, uint32_t reader, uint32_t writer) {
    const uint32_t channels = outputFormat_.Format.nChannels;
    const uint32_t blockAlign = outputFormat_.Format.nBlockAlign;
    std::vector<int16_t> buffer(static_cast<size_t>(channels) * kSaveBlockFrames);
    const auto bytes = static_cast<uint32_t>(buffer.size() * sizeof(int16_t));
    const uint32_t encodeFirstPercent = normalize ? kPeakPassPercent : 0;
    // A pass covers [firstPercent, firstPercent + spanPercent) of the bar.
    auto report = [&](uint32_t firstPercent, uint32_t spanPercent, uint32_t done) {
        const uint64_t part = exportFrames_ > 0 ? uint64_t{done} * spanPercent / exportFrames_ : spanPercent;
        progress.SetPercent(firstPercent + static_cast<uint32_t>(part));
    };
    auto read = [&](uint32_t first) {
        const uint32_t n = QoGetFileData(reader, first, kSaveBlockFrames, buffer.data(), bytes);
        return std::min(n, kSaveBlockFrames);
    };

    // The gain comes from the peak of the whole file, so the loud parts keep their relation
    // to the quiet ones.
    if (normalize) {
        uint32_t total = 0;
        for (uint32_t n = read(0); n > 0; n = read(total)) {
            CollectPeaks(buffer.data(), n, channels, peaks_);
            if (progress.StopRequested()) return kProgressCancelled;
            total += n;
            report(0, kPeakPassPercent, total);
        }
        for (size_t k = 0; k < gains_.size(); ++k) gains_[k] = NormalizeGain(peaks_[k]);
    }

    uint32_t total = 0;
    for (uint32_t n = read(0); n > 0; n = read(total)) {
        if (normalize) ApplyGains(buffer.data(), n, channels, gains_);
        if (QoCoderAddFileData(writer, n, buffer.data(), n * blockAlign) == 0) break;
        if (progress.StopRequested()) return kProgressCancelled;
        total += n;
        report(encodeFirstPercent, 100 - encodeFirstPercent, total);
    }
    return total == exportFrames_ ? kProgressCompleted : kProgressFailed;
}
