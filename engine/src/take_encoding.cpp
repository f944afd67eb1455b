// Passing a take in blocks and encoding it into a file through the provider's coder.
#include "engine/recording.h"

#include <vector>

#include "engine/provider_handles.h"
#include "platform/file_placement.h"

bool PassTakeBlocks(RecorderTake& take, uint32_t blockAlign, const TakeBlockSink& sink) {
    if (blockAlign == 0) return false;
    take.Rewind();
    const uint64_t blocks = take.Size() / kTakeBlockBytes + 1;
    std::vector<uint8_t> block(kTakeBlockBytes);
    for (uint64_t i = 0; i < blocks; ++i) {
        const std::optional<uint32_t> bytes = take.Read(block.data(), kTakeBlockBytes);
        if (!bytes || !sink(block.data(), *bytes / blockAlign, *bytes)) return false;
    }
    return true;
}

PlaceOutcome EncodeTake(RecorderTake& take, const std::string& path, const WAVEFORMATEXTENSIBLE& format, bool replace) {
    const uint32_t blockAlign = format.Format.nBlockAlign;
    if (!take.Exists() || blockAlign == 0) return {PlaceResult::Failed, path + ": no take to encode"};
    PlaceOptions options;
    options.replace = replace;
    // The hidden file keeps the extension, so the coder opens it by its path and chooses the
    // type from it.
    return PlaceFile(path, options, [&](int, const std::string& hiddenPath) {
        ProviderWriter writer;
        if (!writer.Create(hiddenPath, format, nullptr, take.Size() / blockAlign)) return false;
        const bool passed = PassTakeBlocks(take, blockAlign, [&](const void* data, uint32_t frames, uint32_t bytes) {
            return writer.Add(data, frames, bytes);
        });
        writer.Close();
        return passed;
    });
}
