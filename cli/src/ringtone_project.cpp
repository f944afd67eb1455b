#include "cli/src/ringtone_project.h"

#include "cli/src/commands.h"
#include "cli/src/effect_library.h"
#include "cli/src/interrupt.h"
#include "cli/src/time_value.h"
#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "engine/progress.h"
#include "engine/render_chain.h"
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
    if (!ChooseRange(options, timeline_.ProjectLength(), start, end)) return false;
    timeline_.SetMarkers(start, end);
    timeline_.SetFadeIn(options.fadeIn);
    timeline_.SetFadeOut(options.fadeOut);
    return true;
}
