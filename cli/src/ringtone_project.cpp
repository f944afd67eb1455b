#include "cli/src/ringtone_project.h"

#include <string>
#include <string_view>

#include "cli/src/commands.h"
#include "cli/src/effect_library.h"
#include "cli/src/interrupt.h"
#include "cli/src/time_value.h"
#include "contracts/wave_format.h"
#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "engine/progress.h"
#include "engine/render_chain.h"
#include "engine/ringtone_preset.h"
#include "platform/texts.h"

namespace {

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

// The length in seconds with one decimal, rounded up so that a range over a limit never reads
// as within it.
std::string SecondsText(int64_t frames) {
    const int64_t tenths = (frames * 10 + kWorkingRate - 1) / kWorkingRate;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

std::string WithArticle(const std::string& caption) {
    const bool vowel = !caption.empty() && std::string_view("aeiouAEIOU").find(caption[0]) != std::string_view::npos;
    return (vowel ? "an " : "a ") + caption;
}

// Holds the range to the preset's length limit: --fit shortens it from its start, else a
// longer range is refused. fitted tells whether it was shortened.
bool KeepToLimit(const MakeOptions& options, int64_t start, int64_t& end, bool& fitted) {
    fitted = false;
    if (!options.preset) return true;
    const PresetSettings& preset = PresetFor(*options.preset);
    const FrameRange range{start, end - start};
    if (!ExceedsLimit(preset, range.length, kWorkingRate)) return true;
    if (!options.fit) {
        PrintError("the range is " + SecondsText(range.length) + "; " + WithArticle(preset.caption) +
                   " takes at most " + std::to_string(preset.limitSeconds) + " s (--fit shortens it)");
        return false;
    }
    const FrameRange fit = FitToLimit(preset, range, kWorkingRate);
    end = fit.start + fit.length;
    fitted = true;
    return true;
}

}  // namespace

bool RingtoneProject::Build(const MakeOptions& options, IProgressFactory& progress) {
    for (size_t i = 0; i < options.tracks.size(); ++i) {
        slots_[i].SetPath(options.tracks[i]);
        if (!slots_[i].Open(progress)) return false;
    }
    if (options.offset2 != 0) slots_[1].source.Move(options.offset2);
    if (!ChooseEffects(tree_, options.effects) || InterruptRequested()) return false;

    volume_.SetEffectTree(&tree_);
    volume_.SetVolume(options.volume);
    timeline_.AttachChain(&tree_, &volume_);
    timeline_.SetTracks(&slots_[0], options.tracks.size() > 1 ? &slots_[1] : nullptr);
    timeline_.SetProjectLength(timeline_.TracksEnd());
    int64_t start = 0;
    int64_t end = 0;
    bool fitted = false;
    if (!ChooseRange(options, timeline_.ProjectLength(), start, end) || !KeepToLimit(options, start, end, fitted))
        return false;
    timeline_.SetMarkers(start, end);
    timeline_.SetFadeIn(options.fadeIn);
    // A range cut short ends on a fade rather than mid-sound.
    timeline_.SetFadeOut(options.fadeOut || fitted);
    return true;
}
