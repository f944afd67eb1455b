// A track's display name: the title tag, or the file name.
#include "engine/src/track_jobs.h"

#include <filesystem>
#include <optional>

#include "engine/provider_handles.h"

std::string TrackDisplayName(const std::string& path) {
    const std::optional<TagTexts> tags = ProviderTags(path).Texts();
    std::string name = tags ? (*tags)[QoTagTitle] : std::string();
    if (name.empty()) name = std::filesystem::path(path).stem().string();
    return name;
}
