// The export file's header and the export worker, which measures what it renders.
#include "engine/src/save_jobs.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "audiosvc/audiosvc.h"
#include "contracts/sound_data.h"
#include "engine/progress.h"
#include "engine/render_chain.h"
#include "engine/saver.h"
#include "platform/unique_fd.h"

namespace {

void PutU32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutU16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

// The block's first n frames, interleaved into scratch, go to the meter.
void MeasureBlock(LoudnessMeter& meter, const _SOUNDDATAEX_& block, uint32_t n, std::vector<float>& scratch) {
    const size_t channels = block.channels.size();
    scratch.resize(size_t{n} * channels);
    for (uint32_t f = 0; f < n; ++f)
        for (size_t c = 0; c < channels; ++c) scratch[f * channels + c] = block.channels[c][f];
    meter.Add(scratch.data(), n);
}

}  // namespace

std::array<uint8_t, kExportHeaderBytes> MakeExportWavHeader(const WAVEFORMATEX& format, uint32_t frames) {
    std::array<uint8_t, kExportHeaderBytes> header{};
    const uint32_t dataBytes = format.nBlockAlign * frames;
    std::memcpy(&header[0], "RIFF", 4);
    PutU32(&header[4], dataBytes + 36);
    std::memcpy(&header[8], "WAVE", 4);
    std::memcpy(&header[12], "fmt ", 4);
    PutU32(&header[16], 16);
    PutU16(&header[20], WAVE_FORMAT_PCM);
    PutU16(&header[22], format.nChannels);
    PutU32(&header[24], format.nSamplesPerSec);
    PutU32(&header[28], format.nAvgBytesPerSec);
    PutU16(&header[32], format.nBlockAlign);
    PutU16(&header[34], 16);
    std::memcpy(&header[36], "data", 4);
    PutU32(&header[40], dataBytes);
    return header;
}

int ExportJob::Run(IProgress& progress) const {
    const WAVEFORMATEX& format = RingtoneTimeline::MixFormat().Format;
    std::vector<uint8_t> buffer(static_cast<size_t>(format.nBlockAlign) * kSaveBlockFrames);
    SoundBlock block(format.nChannels, kSaveBlockFrames);
    std::vector<float> interleaved;
    uint32_t written = 0;
    while (written < frames) {
        uint32_t n = timeline.PullExport(block.get());
        if (n == 0) break;
        n = std::min(n, frames - written);
        MeasureBlock(meter, *block.get(), n, interleaved);
        SD2MME(block.get(), 0, n, buffer.data(), &format);
        if (!WriteAll(fd, buffer.data(), static_cast<size_t>(n) * format.nBlockAlign)) return kProgressFailed;
        if (progress.StopRequested()) return kProgressCancelled;
        written += n;
        progress.SetPercent(static_cast<uint32_t>(uint64_t{written} * 100 / frames));
    }
    // An effect that holds frames back (a latency) ends the chain early; the range keeps its
    // length.
    std::fill(buffer.begin(), buffer.end(), uint8_t{0});
    while (written < frames) {
        const uint32_t n = std::min(frames - written, kSaveBlockFrames);
        meter.Add(reinterpret_cast<const int16_t*>(buffer.data()), n);
        if (!WriteAll(fd, buffer.data(), static_cast<size_t>(n) * format.nBlockAlign)) return kProgressFailed;
        written += n;
    }
    progress.SetPercent(100);
    return kProgressCompleted;
}
