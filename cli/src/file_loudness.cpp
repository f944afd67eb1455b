#include "cli/src/file_loudness.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "cli/src/interrupt.h"
#include "contracts/provider_api.h"
#include "engine/provider_handles.h"

namespace {

constexpr uint32_t kBlockFrames = 16384;

}  // namespace

std::optional<LoudnessResult> MeasureFileLoudness(const std::string& path, const WAVEFORMATEXTENSIBLE& own) {
    WAVEFORMATEXTENSIBLE format{};
    format.Format.nChannels = static_cast<uint16_t>(std::min<uint32_t>(own.Format.nChannels, 2));
    format.Format.nSamplesPerSec = own.Format.nSamplesPerSec;
    uint32_t length = 0;
    ProviderReader reader;
    if (!reader.Open(path, format, length, QoModeDecode)) return std::nullopt;
    const uint32_t channels = format.Format.nChannels;
    LoudnessMeter meter(channels, format.Format.nSamplesPerSec);
    if (!meter.Valid()) return std::nullopt;

    std::vector<int16_t> buffer(size_t{kBlockFrames} * channels);
    const auto bytes = static_cast<uint32_t>(buffer.size() * sizeof(int16_t));
    uint32_t done = 0;
    for (;;) {
        const uint32_t n =
            std::min(QoGetFileData(reader.handle(), done, kBlockFrames, buffer.data(), bytes), kBlockFrames);
        if (n == 0) break;
        meter.Add(buffer.data(), n);
        done += n;
        if (InterruptRequested()) return std::nullopt;
    }
    return meter.Result();
}
