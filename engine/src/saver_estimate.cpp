// The length and size a save would give. The lossy rows go by their bit rate, WAV by its
// exact size; FLAC's size depends on the sound itself, so part of the export is encoded.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <vector>

#include "engine/provider_handles.h"
#include "engine/saver.h"
#include "engine/src/save_jobs.h"
#include "engine/src/saver_records.h"
#include "engine/temp_files.h"
#include "platform/texts.h"

namespace {

// FLAC frames are 4096 frames long; test pieces of that length keep its prediction whole.
constexpr uint32_t kPieceFrames = 4096;
// At most this much of the export is encoded for the estimate (ten seconds at 44.1 kHz),
// as evenly spread pieces.
constexpr uint32_t kMaxSampleFrames = 108 * kPieceFrames;
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

// Encodes every stride-th piece of the export, in the output format, into a temporary FLAC
// file (stride 0: none, which leaves the headers alone). With normalize the save's peak
// gains apply first.
FlacSample EncodeFlacPieces(const std::string& exportPath, const WAVEFORMATEXTENSIBLE& output, bool normalize,
                            uint32_t stride) {
    const uint32_t channels = output.Format.nChannels;
    std::vector<int16_t> buffer(static_cast<size_t>(channels) * kPieceFrames);
    const auto bytes = static_cast<uint32_t>(buffer.size() * sizeof(int16_t));
    ProviderReader reader;
    WAVEFORMATEXTENSIBLE delivered = output;
    uint32_t length = 0;
    auto read = [&](uint32_t first) -> uint32_t {
        if (stride == 0) return 0;
        return std::min(QoGetFileData(reader.handle(), first, kPieceFrames, buffer.data(), bytes), kPieceFrames);
    };
    if (!reader.Open(exportPath, delivered, length, QoModeDecode) || delivered.Format.nChannels != channels) return {};
    std::array<float, 2> gains{};
    if (normalize) {
        std::array<uint16_t, 2> peaks{};
        uint32_t total = 0;
        for (uint32_t n = read(0); n > 0; n = read(total)) {
            CollectPeaks(buffer.data(), n, channels, peaks);
            total += n;
        }
        for (size_t k = 0; k < gains.size(); ++k) gains[k] = NormalizeGain(peaks[k]);
    }

    TempFile file;
    if (!file.Create("qosav", "flac")) return {};
    file.CloseHandle();
    ProviderWriter writer;
    const std::vector<uint8_t> record = MakeEncoderRecord(QoEncoderFlac, output, 0, 0, 0);
    if (!writer.Create(file.Path(), output, record.data())) return {};
    FlacSample sample;
    uint32_t total = 0;
    for (uint32_t piece = 0, n = read(0); n > 0; ++piece, n = read(total)) {
        total += n;
        if (piece % stride != 0) continue;
        if (normalize) ApplyGains(buffer.data(), n, channels, gains);
        if (!writer.Add(buffer.data(), n, n * output.Format.nBlockAlign)) return {};
        sample.frames += n;
    }
    writer.Close();
    sample.bytes = FileBytes(file.Path());
    return sample;
}

}  // namespace

uint64_t RingtoneSaver::FlacBytes() const {
    uint64_t& cached = flacBytes_[outputFormat_.Format.nChannels == 1 ? 0 : 1][normalize ? 1 : 0];
    if (cached != 0 || ExportPath().empty() || exportFrames_ == 0) return cached;
    const uint32_t pieces = (exportFrames_ + kPieceFrames - 1) / kPieceFrames;
    const uint32_t stride = (pieces * kPieceFrames + kMaxSampleFrames - 1) / kMaxSampleFrames;
    const FlacSample sampled = EncodeFlacPieces(ExportPath(), outputFormat_, normalize, stride);
    const FlacSample headers = EncodeFlacPieces(ExportPath(), outputFormat_, false, 0);
    if (sampled.bytes == 0 || sampled.frames == 0 || headers.bytes > sampled.bytes) return 0;
    // The headers (and their padding) come once; the audio scales with the pieces left out.
    const double audio = static_cast<double>(sampled.bytes - headers.bytes) * exportFrames_ / sampled.frames;
    cached = headers.bytes + static_cast<uint64_t>(audio + 0.5);
    return cached;
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
