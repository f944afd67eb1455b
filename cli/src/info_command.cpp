// "morvane-cli info": a file's format, length, tags and loudness as the provider sees them.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/src/commands.h"
#include "cli/src/file_loudness.h"
#include "cli/src/interrupt.h"
#include "cli/src/time_value.h"
#include "contracts/provider_api.h"
#include "contracts/wave_format.h"
#include "engine/loudness.h"
#include "engine/provider_handles.h"

namespace {

struct TagName {
    QoTagEntry entry;
    const char* label;
};

constexpr TagName kTagNames[] = {
    {QoTagTitle, "Title"}, {QoTagArtist, "Artist"},   {QoTagAlbum, "Album"}, {QoTagYear, "Year"},
    {QoTagGenre, "Genre"}, {QoTagComment, "Comment"}, {QoTagTrack, "Track"},
};

std::string FormatText(const WAVEFORMATEXTENSIBLE& format) {
    const bool floating =
        format.Format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT ||
        (format.Format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && format.SubFormat == KSDATAFORMAT_SUBTYPE_IEEE_FLOAT);
    char text[96];
    std::snprintf(text, sizeof text, "%u Hz, %u channel%s, %u-bit %s", format.Format.nSamplesPerSec,
                  format.Format.nChannels, format.Format.nChannels == 1 ? "" : "s", format.Format.wBitsPerSample,
                  floating ? "float" : "PCM");
    return text;
}

// The file's tags as the provider reads them.
void PrintTags(const std::string& path) {
    const std::optional<TagTexts> texts = ProviderTags(path).Texts();
    if (!texts) return;
    for (const TagName& name : kTagNames) {
        const std::string& text = (*texts)[static_cast<size_t>(name.entry)];
        if (!text.empty()) std::printf("%-8s %s\n", name.label, text.c_str());
    }
}

std::string Decibels(double value, const char* unit) {
    char text[48];
    std::snprintf(text, sizeof text, "%.1f %s", value, unit);
    return text;
}

// Integrated loudness, loudness range and true peak, one a line; silence has none of them.
void PrintLoudness(const LoudnessResult& result) {
    if (!result.HasLoudness()) {
        std::printf("Loudness: none (silence)\nLoudness range: none (silence)\nTrue peak: none (silence)\n");
        return;
    }
    std::string loudness = Decibels(result.integratedLufs, "LUFS");
    if (result.shortRange) loudness += std::string(" (") + kShortRangeLoudnessText + ")";
    std::printf("Loudness: %s\n", loudness.c_str());
    std::printf("Loudness range: %s\n", Decibels(result.rangeLu, "LU").c_str());
    std::printf("True peak: %s\n", Decibels(result.truePeakDbtp, "dBTP").c_str());
}

}  // namespace

int RunInfo(const std::string& path) {
    WAVEFORMATEXTENSIBLE format{};
    uint32_t frames = 0;
    // A probe's handle only stands for the probe.
    if (!ProviderReader().Open(path, format, frames, QoModeProbe)) {
        PrintError("Error opening " + path);
        return kExitFailed;
    }
    const uint32_t rate = format.Format.nSamplesPerSec;
    const int64_t workingFrames = rate > 0 ? static_cast<int64_t>(uint64_t{frames} * kWorkingRate / rate) : 0;
    std::printf("%-8s %s\n", "File", path.c_str());
    std::printf("%-8s %s\n", "Format", FormatText(format).c_str());
    std::printf("%-8s %s (%u frames)\n", "Length", FramesText(workingFrames).c_str(), frames);
    PrintTags(path);
    std::fflush(stdout);
    const std::optional<LoudnessResult> loudness = MeasureFileLoudness(path, format);
    if (!loudness) {
        if (InterruptRequested()) return FailureExit();
        PrintError("cannot measure the loudness of " + path);
        return kExitFailed;
    }
    PrintLoudness(*loudness);
    return kExitOk;
}
