// The decode worker: provider -> temporary file, one block at a time.
#include "engine/src/track_jobs.h"

#include <algorithm>
#include <limits>

#include "contracts/provider_api.h"
#include "engine/progress.h"
#include "engine/track.h"
#include "platform/unique_fd.h"

int DecodeJob::Run(IProgress& progress) {
    constexpr uint32_t kBlock = TrackSource::kDecodeBlockFrames;
    std::vector<uint8_t> buffer(static_cast<size_t>(blockAlign) * kBlock);
    uint32_t position = 0;
    while (!progress.StopRequested()) {
        const uint32_t n = QoGetFileData(reader, position, kBlock, buffer.data(), static_cast<uint32_t>(buffer.size()));
        if (n == 0) return kProgressCompleted;
        // More than asked for cannot be in the buffer; more than 2^32 frames cannot be counted.
        if (n > kBlock || n > std::numeric_limits<uint32_t>::max() - frames) return kProgressFailed;
        // A full disk or a size limit must not leave a track with a hole or a short file.
        if (!WriteAll(fd, buffer.data(), static_cast<size_t>(n) * blockAlign)) return kProgressFailed;
        frames += n;
        position += n;
        if (expectedFrames > 0) {
            const uint64_t percent = static_cast<uint64_t>(position) * 100 / expectedFrames;
            progress.SetPercent(
                static_cast<uint32_t>(std::min<uint64_t>(percent, std::numeric_limits<uint32_t>::max())));
        }
    }
    return kProgressCancelled;
}
