// The length and size a save would give. The lossy rows go by their bit rate, WAV by its
// exact size; FLAC's size depends on the sound itself, so part of the export is encoded.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "engine/loudness.h"
#include "engine/provider_handles.h"
#include "engine/saver.h"
#include "engine/src/save_jobs.h"
#include "engine/src/saver_records.h"
#include "engine/temp_files.h"
#include "platform/texts.h"

namespace {

// The FLAC encoder's blocks are 4608 frames long at the working rates. A test piece is ten
// whole blocks (about a second), so that the joins between pieces fall on block edges and
// few blocks hold a break in the sound, which a predictive coder pays for dearly.
constexpr uint32_t kFlacBlockFrames = 4608;
constexpr uint32_t kPieceFrames = 10 * kFlacBlockFrames;
// At most this much of the export is encoded for the estimate (ten pieces, about ten
// seconds at 44.1 kHz), as evenly spread pieces.
constexpr uint32_t kMaxSampleFrames = 10 * kPieceFrames;
// The MP4 and Ogg containers around the bit stream: headers and per-frame index or pages.
constexpr double kContainerShare = 0.02;
constexpr uint64_t kContainerHeaderBytes = 4096;

uint64_t FileBytes(const std::string& path) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    return error ? 0 : bytes;
}

struct FlacSample {
    uint64_t bytes = 0;  // 0 on failure
    uint64_t frames = 0;
};

// Encodes every stride-th piece of the export, in the output format and with the save's
// level settings (measured over the whole export, as the save measures), into a temporary
// FLAC file. Stride 0 encodes nothing, which leaves the headers alone.
FlacSample EncodeFlacPieces(const std::string& exportPath, const WAVEFORMATEXTENSIBLE& output,
                            const FlacEstimateKey& level, uint32_t stride) {
    const uint32_t channels = output.Format.nChannels;
    std::vector<int16_t> buffer(static_cast<size_t>(channels) * kPieceFrames);
    const auto bytes = static_cast<uint32_t>(buffer.size() * sizeof(int16_t));
    ProviderReader reader;
    WAVEFORMATEXTENSIBLE delivered = output;
    uint32_t length = 0;
    auto read = [&](uint32_t first) -> uint32_t {
        return std::min(QoGetFileData(reader.handle(), first, kPieceFrames, buffer.data(), bytes), kPieceFrames);
    };
    if (!reader.Open(exportPath, delivered, length, QoModeDecode) || delivered.Format.nChannels != channels) return {};
    const bool peak = level.mode == NormalizeMode::Peak;
    const bool loudness = level.mode == NormalizeMode::Loudness;
    std::array<float, 2> gains{};
    double gainDb = 0.0;
    if (stride > 0 && (peak || loudness)) {
        std::array<uint16_t, 2> peaks{};
        LoudnessMeter meter(channels, output.Format.nSamplesPerSec);
        uint32_t total = 0;
        for (uint32_t n = read(0); n > 0; n = read(total)) {
            if (peak)
                CollectPeaks(buffer.data(), n, channels, peaks);
            else
                meter.Add(buffer.data(), n);
            total += n;
        }
        for (size_t k = 0; k < gains.size(); ++k) gains[k] = NormalizeGain(peaks[k]);
        if (loudness) gainDb = LoudnessGainDb(meter.Result(), level.targetLufs);
    }
    std::optional<SaveLimiter> limit;
    if (level.limiter || loudness) limit.emplace(channels, gainDb);
    std::vector<int16_t> limited(limit ? std::max<size_t>(buffer.size(), size_t{limit->Delay()} * channels) : 0);

    TempFile file;
    if (!file.Create("qosav", "flac")) return {};
    file.CloseHandle();
    ProviderWriter writer;
    const std::vector<uint8_t> record = MakeEncoderRecord(QoEncoderFlac, output, 0, 0, 0);
    if (!writer.Create(file.Path(), output, record.data())) return {};
    FlacSample sample;
    auto encode = [&](const int16_t* data, uint32_t n) {
        sample.frames += n;
        return n == 0 || writer.Add(data, n, n * output.Format.nBlockAlign);
    };
    uint32_t total = 0;
    for (uint32_t piece = 0, n = stride > 0 ? read(0) : 0; n > 0; ++piece, n = read(total)) {
        total += n;
        if (piece % stride != 0) continue;
        if (peak) ApplyGains(buffer.data(), n, channels, gains);
        const bool taken =
            limit ? encode(limited.data(), limit->Process(buffer.data(), n, limited.data())) : encode(buffer.data(), n);
        if (!taken) return {};
    }
    if (limit && !encode(limited.data(), limit->Flush(limited.data()))) return {};
    writer.Close();
    sample.bytes = FileBytes(file.Path());
    return sample;
}

}  // namespace

uint64_t RingtoneSaver::FlacBytes() const {
    const FlacEstimateKey key{outputFormat_.Format.nChannels, normalizeMode, LimiterRuns(), loudnessTarget};
    if (flacEstimate_.bytes != 0 && flacEstimate_.key == key) return flacEstimate_.bytes;
    if (ExportPath().empty() || exportFrames_ == 0) return 0;
    const uint32_t pieces = (exportFrames_ + kPieceFrames - 1) / kPieceFrames;
    const uint32_t stride = (pieces * kPieceFrames + kMaxSampleFrames - 1) / kMaxSampleFrames;
    const FlacSample sampled = EncodeFlacPieces(ExportPath(), outputFormat_, key, stride);
    const FlacSample headers = EncodeFlacPieces(ExportPath(), outputFormat_, key, 0);
    if (sampled.bytes == 0 || sampled.frames == 0 || headers.bytes > sampled.bytes) return 0;
    // The headers (and their padding) come once; the audio scales with the pieces left out.
    const double audio = static_cast<double>(sampled.bytes - headers.bytes) * exportFrames_ / sampled.frames;
    flacEstimate_ = {key, headers.bytes + static_cast<uint64_t>(audio + 0.5)};
    return flacEstimate_.bytes;
}

SaveEstimate RingtoneSaver::Estimate() const {
    SaveEstimate estimate;
    const uint32_t rate = exportFormat_.Format.nSamplesPerSec;
    if (rate > 0) {
        estimate.seconds = static_cast<uint32_t>((uint64_t{rate} / 2 + exportFrames_) / rate);
        const double seconds = static_cast<double>(exportFrames_) / rate;
        if (encoderTag_ == QoEncoderWav) {
            estimate.bytes = kExportHeaderBytes + uint64_t{outputFormat_.Format.nBlockAlign} * exportFrames_;
        } else if (encoderTag_ == QoEncoderFlac) {
            estimate.bytes = FlacBytes();
        } else if (encoderTag_ == QoEncoderMp3 || encoderTag_ == QoEncoderAac) {
            // A kilobit counts 1024 bits here.
            estimate.bytes = static_cast<uint64_t>(
                std::trunc(static_cast<double>(bitrate_) * exportFrames_ * 0.125 / rate * 1024 + 0.5));
        } else {
            const double stream = bitrate_ * 1000.0 / 8 * seconds;
            estimate.bytes = static_cast<uint64_t>(stream * (1 + kContainerShare)) + kContainerHeaderBytes;
        }
    }
    estimate.lengthText = TimeText(estimate.seconds);
    estimate.sizeText = SizeText(estimate.bytes);
    return estimate;
}
