#include "app/src/command_line.h"

#include <cstdio>
#include <cstring>

#include "app/program.h"

namespace {

// The manual page Morvane(1) is made from this text at build time: its synopsis from the
// "Usage:" lines, its description from the paragraph, its options from the two-column list.
constexpr char kHelp[] = R"(Usage:
  Morvane [TRACK1 [TRACK2]]
  Morvane --help
  Morvane --version

Morvane is a ringtone maker, a skinned three-page wizard. Add an audio file and
optionally a second one to mix over it, record a voice clip or take a track from an audio
CD; trim the ringtone on the waveform, set the volume, the fades and repeat play, add up
to three effects and listen; then save it as MP3 or AAC or send it to a phone over
Bluetooth. A file given on the command line is checked as one chosen in the wizard, and
refused with the reason when it cannot be a track.

  TRACK1               the basic track: an audio file, by path or file:// address
  TRACK2               the second track, mixed over the basic one; further files are
                       ignored
  --help               print this help and exit
  --version            print the version and exit
)";

}  // namespace

std::optional<int> AnswerInformationOption(int argc, char** argv) {
    if (argc < 2) return std::nullopt;
    if (std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("Morvane %s\n", kProgramVersion);
        return 0;
    }
    return std::nullopt;
}
