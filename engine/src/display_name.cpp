// A track's display name: the title tag, read in the provider's two passes, or the file name.
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "engine/src/provider_handles.h"
#include "engine/src/track_jobs.h"

namespace {

constexpr int kTagEntries = 16;
constexpr int32_t kDefaultCapacity = 128;  // for an entry whose length is not known
constexpr int32_t kCapacityLimit = 10001;

std::string TitleTag(const std::string& path) {
    ProviderTag tag(path);
    if (tag.handle() == 0) return {};

    // First pass: null texts ask for the capacities. Entries 0-14 are wanted (-1 until the
    // provider sets them); entry 15 has none.
    QoTagInfo info{};
    std::fill(info.capacity, info.capacity + kTagEntries - 1, -1);
    if (!QoTagGetInfo(tag.handle(), &info)) return {};

    // Second pass: a zero-filled buffer for every entry with a capacity. One extra byte keeps
    // each text terminated whatever the provider writes.
    std::vector<std::vector<char>> buffers(kTagEntries);
    for (int entry = 0; entry < kTagEntries; ++entry) {
        if (info.capacity[entry] < 0) continue;
        const int32_t capacity = info.capacity[entry] == 0 ? kDefaultCapacity
                                                           : std::min(info.capacity[entry], kCapacityLimit);
        buffers[entry].assign(static_cast<size_t>(capacity) + 1, '\0');
        info.text[entry] = buffers[entry].data();
        info.capacity[entry] = capacity;
    }
    if (!QoTagGetInfo(tag.handle(), &info) || buffers[QoTagTitle].empty()) return {};
    const std::vector<char>& title = buffers[QoTagTitle];
    return std::string(title.data(), ::strnlen(title.data(), title.size() - 1));
}

}  // namespace

std::string TrackDisplayName(const std::string& path) {
    std::string name = TitleTag(path);
    if (name.empty()) name = std::filesystem::path(path).stem().string();
    return name;
}
