// "morvane-cli make": tracks -> timeline -> chain -> export -> save -> the output file.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli/src/commands.h"
#include "cli/src/console_progress.h"
#include "cli/src/effect_library.h"
#include "cli/src/interrupt.h"
#include "cli/src/make_options.h"
#include "cli/src/output_file.h"
#include "cli/src/time_value.h"
#include "contracts/provider_api.h"
#include "platform/platform.h"

namespace {

const char* const kCantSaveText = "Can't save file";

// A target that can be written: not a folder, in an existing folder, new unless replaced.
bool CheckTarget(const MakeOptions& options) {
    if (FolderExists(options.output)) {
        PrintError(std::string(kCantSaveText) + ": " + options.output + " is a folder");
        return false;
    }
    if (!FolderExists(TargetFolder(options.output))) {
        PrintError(std::string(kCantSaveText) + ": no folder " + TargetFolder(options.output));
        return false;
    }
    if (!options.force && ::access(options.output.c_str(), F_OK) == 0) {
        PrintError(options.output + " exists (use --force to replace it)");
        return false;
    }
    return true;
}

// Puts each chosen effect into the chain, in order.
bool ChooseEffects(CEffectTree& tree, const std::vector<std::string>& captions) {
    if (captions.empty()) return true;
    std::string error;
    if (!LoadEffectTree(tree, error)) {
        PrintError(error);
        return false;
    }
    const std::vector<CEffectNode*> offered = SingleEffects(tree);
    for (const std::string& caption : captions) {
        CEffectNode* chosen = nullptr;
        for (CEffectNode* node : offered)
            if (EqualsNoCase(node->GetCaption(), caption)) chosen = node;
        if (chosen == nullptr) {
            PrintError("no effect '" + caption + "' (see 'morvane-cli effects')");
            return false;
        }
        AddChainEffect(tree, *chosen);
    }
    return true;
}

// The marked range from the options, checked against the project.
bool ChooseRange(const MakeOptions& options, int64_t project, int64_t& start, int64_t& end) {
    start = options.start.value_or(0);
    end = options.end ? *options.end : options.length ? start + *options.length : project;
    if (start >= project) {
        PrintError("the range starts at or after the end of the project (" + FramesText(project) + ")");
        return false;
    }
    if (end > project) {
        PrintError("the range ends after the end of the project (" + FramesText(project) + ")");
        return false;
    }
    if (end <= start) {
        PrintError("the range ends before it starts");
        return false;
    }
    return true;
}

bool ChooseOutput(RingtoneSaver& saver, const MakeOptions& options) {
    if (options.kind == OutputKind::Wav) return saver.SetWaveOutput(options.channels);
    const uint32_t tag = options.kind == OutputKind::Mp3 ? QoEncoderMp3 : QoEncoderAac;
    const RingtoneSaver::EncoderList& encoders = RingtoneSaver::Encoders();
    const auto encoder = encoders.find(tag);
    if (encoder == encoders.end()) {
        PrintError("the encoder " + RingtoneSaver::EncoderName(tag) + " is not available");
        return false;
    }
    const auto index = static_cast<size_t>(std::distance(encoders.begin(), encoder));
    return saver.SetOutput(index, options.channels, options.bitrate);
}

}  // namespace

int RunMake(const MakeOptions& options) {
    if (!CheckTarget(options)) return kExitFailed;
    ConsoleProgressFactory progress(::isatty(STDERR_FILENO) != 0);

    // Declared in the order they must outlive each other: the tree outlives the timeline
    // that feeds it, the slots outlive the timeline that mixes them.
    CEffectTree tree;
    CVolumeEffect volume;
    TrackSlot slots[2];
    RingtoneTimeline timeline;
    RingtoneSaver saver;

    for (size_t i = 0; i < options.tracks.size(); ++i) {
        slots[i].SetPath(options.tracks[i]);
        if (!slots[i].Open(progress)) return FailureExit();
    }
    if (options.offset2 != 0) slots[1].source.Move(options.offset2);
    if (!ChooseEffects(tree, options.effects) || InterruptRequested()) return FailureExit();

    volume.SetEffectTree(&tree);
    volume.SetVolume(options.volume);
    timeline.AttachChain(&tree, &volume);
    timeline.SetTracks(&slots[0], options.tracks.size() > 1 ? &slots[1] : nullptr);
    timeline.SetProjectLength(timeline.TracksEnd());
    int64_t start = 0;
    int64_t end = 0;
    if (!ChooseRange(options, timeline.ProjectLength(), start, end)) return kExitFailed;
    timeline.SetMarkers(start, end);
    timeline.SetFadeIn(options.fadeIn);
    timeline.SetFadeOut(options.fadeOut);

    saver.normalize = options.normalize;
    if (!ChooseOutput(saver, options)) return kExitFailed;
    TempFile exported;
    if (!saver.PrepareExport(timeline, progress, exported)) return FailureExit();
    if (!saver.AdoptExport(std::move(exported)) || InterruptRequested()) return FailureExit();
    if (!saver.Save(progress)) return FailureExit();

    std::string error;
    if (!PlaceOutput(saver.EncodedPath(), options.output, options.force, error)) {
        if (InterruptRequested()) return FailureExit();
        PrintError(std::string(kCantSaveText) + ": " + error);
        return kExitFailed;
    }
    std::error_code ignored;
    const uintmax_t bytes = std::filesystem::file_size(options.output, ignored);
    std::printf("%s: %s, %s\n", options.output.c_str(), FramesText(end - start).c_str(), SizeText(bytes).c_str());
    return kExitOk;
}
