// "morvane-cli make": tracks -> timeline -> chain -> export -> save -> the output file.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

#include "cli/src/commands.h"
#include "cli/src/console_progress.h"
#include "cli/src/interrupt.h"
#include "cli/src/make_options.h"
#include "cli/src/output_file.h"
#include "cli/src/ringtone_project.h"
#include "cli/src/send_options.h"
#include "cli/src/time_value.h"
#include "contracts/provider_api.h"
#include "engine/loudness.h"
#include "engine/saver.h"
#include "engine/temp_files.h"
#include "platform/texts.h"

namespace {

bool ChooseOutput(RingtoneSaver& saver, const MakeOptions& options) {
    if (options.encoderTag == RingtoneSaver::kWaveOutput) return saver.SetWaveOutput(options.channels);
    const RingtoneSaver::EncoderList& encoders = RingtoneSaver::Encoders();
    const auto encoder = encoders.find(options.encoderTag);
    if (encoder == encoders.end()) {
        PrintError("the encoder " + RingtoneSaver::EncoderName(options.encoderTag) + " is not available");
        return false;
    }
    const auto index = static_cast<size_t>(std::distance(encoders.begin(), encoder));
    return saver.SetOutput(index, options.channels, options.bitrate);
}

void ChooseLevel(RingtoneSaver& saver, const MakeOptions& options) {
    saver.SetNormalizeMode(options.normalize);
    saver.SetLoudnessTarget(options.loudnessTarget);
    saver.SetLimiter(options.limiter);
}

void ChooseTags(RingtoneSaver& saver, const MakeOptions& options) {
    saver.SetTitle(options.title);
    saver.SetArtist(options.artist);
    saver.SetLoopTag(options.loopTag);
}

// The rendered range clips, and nothing after it holds the peaks.
void WarnOfClipping(const RingtoneSaver& saver) {
    const LoudnessResult& range = saver.RangeLoudness();
    if (saver.LimiterRuns() || !range.Clips()) return;
    const double percent = range.ClippedPercent();
    char share[32];
    if (percent < 0.05)
        std::snprintf(share, sizeof share, "less than 0.1 %%");
    else
        std::snprintf(share, sizeof share, "%.1f %%", percent);
    PrintError(std::string("warning: ") + share + " of the ringtone clips; --limit adds a limiter");
}

}  // namespace

int RunMake(const MakeOptions& options) {
    if (!CheckTarget(options.output, options.force)) return kExitFailed;
    ConsoleProgressFactory progress(::isatty(STDERR_FILENO) != 0);
    RingtoneProject project;
    if (!project.Build(options, progress)) return FailureExit();

    RingtoneSaver saver;
    if (!ChooseOutput(saver, options)) return kExitFailed;
    ChooseLevel(saver, options);
    ChooseTags(saver, options);
    TempFile exported;
    if (!saver.PrepareExport(project.Timeline(), progress, exported)) return FailureExit();
    if (!saver.AdoptExport(std::move(exported)) || InterruptRequested()) return FailureExit();
    if (!saver.Save(progress)) return FailureExit();

    std::string error;
    if (!PlaceOutput(saver.EncodedPath(), options.output, options.force, error)) {
        if (InterruptRequested()) return FailureExit();
        PrintError(std::string(kCantSaveText) + ": " + error);
        return kExitFailed;
    }
    WarnOfClipping(saver);
    std::error_code ignored;
    const uintmax_t bytes = std::filesystem::file_size(options.output, ignored);
    std::printf("%s: %s, %s\n", options.output.c_str(), FramesText(project.End() - project.Start()).c_str(),
                SizeText(bytes).c_str());
    if (options.sendTo) {
        SendOptions send;
        send.file = options.output;
        send.to = *options.sendTo;
        send.kind = options.preset ? PresetFor(*options.preset).kind : ToneKind::Ringtone;
        send.replace = options.force;
        return RunSend(send);
    }
    return kExitOk;
}
