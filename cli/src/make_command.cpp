// "morvane-cli make": tracks -> timeline -> chain -> export -> save -> the output file.
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "cli/src/commands.h"
#include "cli/src/console_progress.h"
#include "cli/src/interrupt.h"
#include "cli/src/make_options.h"
#include "cli/src/output_file.h"
#include "cli/src/ringtone_project.h"
#include "cli/src/time_value.h"
#include "contracts/provider_api.h"
#include "engine/saver.h"
#include "engine/temp_files.h"
#include "platform/texts.h"

namespace {

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
    if (!CheckTarget(options.output, options.force)) return kExitFailed;
    ConsoleProgressFactory progress(::isatty(STDERR_FILENO) != 0);
    RingtoneProject project;
    if (!project.Build(options, progress)) return FailureExit();

    RingtoneSaver saver;
    saver.SetNormalize(options.normalize);
    if (!ChooseOutput(saver, options)) return kExitFailed;
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
    std::error_code ignored;
    const uintmax_t bytes = std::filesystem::file_size(options.output, ignored);
    std::printf("%s: %s, %s\n", options.output.c_str(), FramesText(project.End() - project.Start()).c_str(),
                SizeText(bytes).c_str());
    return kExitOk;
}
