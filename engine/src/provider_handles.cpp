// The owners of the provider's handles and the two passes of its tag texts.
#include "engine/provider_handles.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/temp_files.h"

namespace {

constexpr int kTagEntries = 16;
constexpr int32_t kDefaultCapacity = 128;  // for an entry whose length is not known
constexpr int32_t kCapacityLimit = 10001;

}  // namespace

bool ProviderReader::Open(const std::string& path, WAVEFORMATEXTENSIBLE& format, uint32_t& length, QoOpenMode mode) {
    Close();
    handle_.Reset(QoOpenFile(path.c_str(), &format, &length, mode));
    return handle_.get() != 0;
}

bool ProviderWriter::Create(const std::string& path, const WAVEFORMATEXTENSIBLE& format, const void* encoderRecord,
                            std::optional<uint64_t> totalFrames, uint32_t flags) {
    Close();
    handle_.Reset(
        QoCoderCreateFile(path.c_str(), &format, encoderRecord, flags, totalFrames ? &*totalFrames : nullptr));
    return handle_.get() != 0;
}

bool ProviderWriter::Add(const void* data, uint32_t frames, uint32_t bytes) {
    return handle_.get() != 0 && QoCoderAddFileData(handle_.get(), frames, data, bytes) != 0;
}

bool ProviderCanWrite(const std::string& extension, const WAVEFORMATEXTENSIBLE& format, const void* encoderRecord) {
    TempFile probe;
    if (!probe.Create("qosav", extension)) return false;
    probe.CloseHandle();
    ProviderWriter writer;
    return writer.Create(probe.Path(), format, encoderRecord);
}

ProviderTags::ProviderTags(const std::string& path) { handle_.Reset(QoTagOpen(path.c_str())); }

std::optional<TagTexts> ProviderTags::Texts() const {
    if (handle_.get() == 0) return std::nullopt;
    // First pass: entries 0-14 are wanted (-1 until the provider sets them); entry 15 has none.
    QoTagInfo info{};
    std::fill(info.capacity, info.capacity + kTagEntries - 1, -1);
    if (!QoTagGetInfo(handle_.get(), &info)) return std::nullopt;

    // Second pass. One extra byte keeps each text terminated whatever the provider writes.
    std::vector<std::vector<char>> buffers(kTagEntries);
    for (int entry = 0; entry < kTagEntries; ++entry) {
        if (info.capacity[entry] < 0) continue;
        const int32_t capacity =
            info.capacity[entry] == 0 ? kDefaultCapacity : std::min(info.capacity[entry], kCapacityLimit);
        buffers[entry].assign(static_cast<size_t>(capacity) + 1, '\0');
        info.text[entry] = buffers[entry].data();
        info.capacity[entry] = capacity;
    }
    if (!QoTagGetInfo(handle_.get(), &info)) return std::nullopt;
    TagTexts texts;
    for (int entry = 0; entry < kTagEntries; ++entry) {
        const std::vector<char>& text = buffers[entry];
        if (!text.empty()) texts[entry].assign(text.data(), ::strnlen(text.data(), text.size() - 1));
    }
    return texts;
}
