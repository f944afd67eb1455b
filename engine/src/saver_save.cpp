// Saving: the export file read back in the output format, normalized over its whole length
// (to its peak or to a loudness) and limited when asked, and encoded into a temporary file.
#include "engine/saver.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "audiosvc/audiosvc.h"
#include "contracts/provider_api.h"
#include "engine/limiter.h"
#include "engine/loudness.h"
#include "engine/progress.h"
#include "engine/provider_handles.h"
#include "engine/src/save_jobs.h"
#include "engine/temp_files.h"

namespace {

// The share of the progress bar the peak pass takes: reading is far quicker than encoding.
constexpr uint32_t kPeakPassPercent = 10;

// Limiting that takes loudness away: when the gain lifts the true peak this far over the
// ceiling, the limited result is measured and the gain raised by what it falls short, at
// most twice and by at most 6 dB, until it is within the tolerance.
constexpr double kRefineOverCeilingDb = 1.0;
constexpr int kRefinePasses = 2;
constexpr double kRefineToleranceLu = 0.2;
constexpr double kMaxRefineDb = 6.0;

// A pass covers [firstPercent, firstPercent + spanPercent) of the bar.
void ReportPercent(IProgress& progress, uint32_t firstPercent, uint32_t spanPercent, uint32_t done, uint32_t frames) {
    const uint64_t part = frames > 0 ? uint64_t{done} * spanPercent / frames : spanPercent;
    progress.SetPercent(firstPercent + static_cast<uint32_t>(part));
}

uint32_t ReadBlock(uint32_t reader, uint32_t first, std::vector<int16_t>& buffer) {
    const auto bytes = static_cast<uint32_t>(buffer.size() * sizeof(int16_t));
    return std::min(QoGetFileData(reader, first, kSaveBlockFrames, buffer.data(), bytes), kSaveBlockFrames);
}

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
    savedLoudness_ = {};
    loudnessGainDb_ = 0.0;
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

int RingtoneSaver::MeasureSave(IProgress& progress, uint32_t reader) {
    const uint32_t channels = outputFormat_.Format.nChannels;
    // The export was measured as it was written: in its own channels and rate the saved
    // samples are the same, and a second pass would only repeat that measurement.
    if (normalizeMode == NormalizeMode::Loudness && rangeLoudness_.samples > 0 &&
        channels == exportFormat_.Format.nChannels &&
        outputFormat_.Format.nSamplesPerSec == exportFormat_.Format.nSamplesPerSec) {
        savedLoudness_ = rangeLoudness_;
        loudnessGainDb_ = LoudnessGainDb(savedLoudness_, loudnessTarget);
        return RefineLimitedGain(progress, reader);
    }
    std::vector<int16_t> buffer(static_cast<size_t>(channels) * kSaveBlockFrames);
    const bool peak = normalizeMode == NormalizeMode::Peak;
    LoudnessMeter meter(channels, outputFormat_.Format.nSamplesPerSec);
    uint32_t total = 0;
    for (uint32_t n = ReadBlock(reader, 0, buffer); n > 0; n = ReadBlock(reader, total, buffer)) {
        if (peak)
            CollectPeaks(buffer.data(), n, channels, peaks_);
        else
            meter.Add(buffer.data(), n);
        if (progress.StopRequested()) return kProgressCancelled;
        total += n;
        ReportPercent(progress, 0, kPeakPassPercent, total, exportFrames_);
    }
    if (peak) {
        for (size_t k = 0; k < gains_.size(); ++k) gains_[k] = NormalizeGain(peaks_[k]);
    } else {
        savedLoudness_ = meter.Result();
        loudnessGainDb_ = LoudnessGainDb(savedLoudness_, loudnessTarget);
        return RefineLimitedGain(progress, reader);
    }
    return kProgressCompleted;
}

int RingtoneSaver::RefineLimitedGain(IProgress& progress, uint32_t reader) {
    if (!savedLoudness_.HasLoudness()) return kProgressCompleted;
    const uint32_t channels = outputFormat_.Format.nChannels;
    std::vector<int16_t> buffer(static_cast<size_t>(channels) * kSaveBlockFrames);
    const double measuredGain = loudnessGainDb_;
    for (int pass = 0; pass < kRefinePasses; ++pass) {
        // Trimming peaks by a little leaves the loudness where it was.
        if (savedLoudness_.truePeakDbtp + loudnessGainDb_ <= LimiterSettings{}.ceilingDbtp + kRefineOverCeilingDb) break;
        SaveLimiter limit(channels, loudnessGainDb_);
        LoudnessMeter meter(channels, outputFormat_.Format.nSamplesPerSec);
        std::vector<int16_t> limited(std::max<size_t>(buffer.size(), size_t{limit.Delay()} * channels));
        uint32_t total = 0;
        for (uint32_t n = ReadBlock(reader, 0, buffer); n > 0; n = ReadBlock(reader, total, buffer)) {
            meter.Add(limited.data(), limit.Process(buffer.data(), n, limited.data()));
            if (progress.StopRequested()) return kProgressCancelled;
            total += n;
        }
        meter.Add(limited.data(), limit.Flush(limited.data()));
        const LoudnessResult result = meter.Result();
        const double shortfall = loudnessTarget - result.integratedLufs;
        if (!result.HasLoudness() || std::fabs(shortfall) < kRefineToleranceLu) break;
        loudnessGainDb_ = std::min(loudnessGainDb_ + shortfall, measuredGain + kMaxRefineDb);
    }
    return kProgressCompleted;
}

int RingtoneSaver::RunSave(IProgress& progress, uint32_t reader, uint32_t writer) {
    const uint32_t channels = outputFormat_.Format.nChannels;
    const uint32_t blockAlign = outputFormat_.Format.nBlockAlign;
    std::vector<int16_t> buffer(static_cast<size_t>(channels) * kSaveBlockFrames);
    // The gain comes from the whole file, so the loud parts keep their relation to the quiet
    // ones.
    const bool measures = normalizeMode != NormalizeMode::Off;
    if (measures) {
        const int measured = MeasureSave(progress, reader);
        if (measured != kProgressCompleted) return measured;
    }
    const uint32_t encodeFirstPercent = measures ? kPeakPassPercent : 0;

    std::optional<SaveLimiter> limit;
    if (LimiterRuns()) limit.emplace(channels, normalizeMode == NormalizeMode::Loudness ? loudnessGainDb_ : 0.0);
    std::vector<int16_t> limited(limit ? std::max<size_t>(buffer.size(), size_t{limit->Delay()} * channels) : 0);
    auto encode = [&](const int16_t* data, uint32_t n) {
        return n == 0 || QoCoderAddFileData(writer, n, data, n * blockAlign) != 0;
    };

    uint32_t total = 0;
    for (uint32_t n = ReadBlock(reader, 0, buffer); n > 0; n = ReadBlock(reader, total, buffer)) {
        if (normalizeMode == NormalizeMode::Peak) ApplyGains(buffer.data(), n, channels, gains_);
        const bool encoded =
            limit ? encode(limited.data(), limit->Process(buffer.data(), n, limited.data())) : encode(buffer.data(), n);
        if (!encoded) break;
        if (progress.StopRequested()) return kProgressCancelled;
        total += n;
        ReportPercent(progress, encodeFirstPercent, 100 - encodeFirstPercent, total, exportFrames_);
    }
    if (total != exportFrames_) return kProgressFailed;
    // The limiter's look-ahead still holds the last frames.
    if (limit && !encode(limited.data(), limit->Flush(limited.data()))) return kProgressFailed;
    return kProgressCompleted;
}
