// "morvane-cli info": a file's format, length and tags as the provider sees them.
#include <cstdio>
#include <vector>

#include "cli/src/commands.h"
#include "cli/src/time_value.h"
#include "contracts/provider_api.h"

namespace {

struct TagName {
    QoTagEntry entry;
    const char* label;
};

constexpr TagName kTagNames[] = {
    {QoTagTitle, "Title"},     {QoTagArtist, "Artist"},   {QoTagAlbum, "Album"}, {QoTagYear, "Year"},
    {QoTagGenre, "Genre"},     {QoTagComment, "Comment"}, {QoTagTrack, "Track"},
};

std::string FormatText(const WAVEFORMATEXTENSIBLE& format) {
    const bool floating = format.Format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT ||
                          (format.Format.wFormatTag == WAVE_FORMAT_EXTENSIBLE &&
                           format.SubFormat == KSDATAFORMAT_SUBTYPE_IEEE_FLOAT);
    char text[96];
    std::snprintf(text, sizeof text, "%u Hz, %u channel%s, %u-bit %s", format.Format.nSamplesPerSec,
                  format.Format.nChannels, format.Format.nChannels == 1 ? "" : "s", format.Format.wBitsPerSample,
                  floating ? "float" : "PCM");
    return text;
}

// A tag reader, closed on destruction.
class TagReader {
public:
    explicit TagReader(const std::string& path) : handle_(QoTagOpen(path.c_str())) {}
    ~TagReader() {
        if (handle_ != 0) QoTagClose(handle_);
    }
    TagReader(const TagReader&) = delete;
    TagReader& operator=(const TagReader&) = delete;
    uint32_t handle() const { return handle_; }

private:
    uint32_t handle_;
};

// The file's tags in two passes: capacities first, then the texts.
void PrintTags(const std::string& path) {
    const TagReader tag(path);
    if (tag.handle() == 0) return;
    QoTagInfo info{};
    if (QoTagGetInfo(tag.handle(), &info) == 0) return;
    std::vector<std::vector<char>> texts(16);
    for (size_t i = 0; i < 16; ++i) {
        if (info.capacity[i] <= 0) continue;
        texts[i].resize(static_cast<size_t>(info.capacity[i]));
        info.text[i] = texts[i].data();
    }
    if (QoTagGetInfo(tag.handle(), &info) == 0) return;
    for (const TagName& name : kTagNames) {
        const auto i = static_cast<size_t>(name.entry);
        if (!texts[i].empty() && texts[i][0] != '\0') std::printf("%-8s %s\n", name.label, texts[i].data());
    }
}

}  // namespace

int RunInfo(const std::string& path) {
    WAVEFORMATEXTENSIBLE format{};
    uint32_t frames = 0;
    // A probe's handle only stands for the probe.
    const uint32_t probe = QoOpenFile(path.c_str(), &format, &frames, QoModeProbe);
    if (probe == 0) {
        PrintError("Error opening " + path);
        return kExitFailed;
    }
    QoCloseFile(probe);
    const uint32_t rate = format.Format.nSamplesPerSec;
    const int64_t workingFrames = rate > 0 ? static_cast<int64_t>(uint64_t{frames} * kWorkingRate / rate) : 0;
    std::printf("%-8s %s\n", "File", path.c_str());
    std::printf("%-8s %s\n", "Format", FormatText(format).c_str());
    std::printf("%-8s %s (%u frames)\n", "Length", FramesText(workingFrames).c_str(), frames);
    PrintTags(path);
    return kExitOk;
}
