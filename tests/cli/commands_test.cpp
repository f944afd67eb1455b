// morvane-cli's help, usage errors, info and effects, as separate runs of the tool.
#include "cli_run.h"

namespace {

class CliCommands : public CliFixture {};

TEST_F(CliCommands, HelpDocumentsEveryOption) {
    const CliResult result = Run({"--help"});
    EXPECT_EQ(result.code, 0);
    for (const char* word :
         {"make",           "info",      "effects",      "--start",    "--end",         "--length", "--offset2",
          "--volume",       "--fade-in", "--no-fade-in", "--fade-out", "--no-fade-out", "--effect", "--normalize",
          "--no-normalize", "--format",  "--channels",   "--bitrate",  "--force",       "-o OUT",   "TIME"})
        EXPECT_NE(result.out.find(word), std::string::npos) << word;
    EXPECT_EQ(Run({"make", "--help"}).out, result.out);
}

TEST_F(CliCommands, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{},
                                                      {"bake"},
                                                      {"info"},
                                                      {"info", "a", "b"},
                                                      {"effects", "x"},
                                                      {"make", "a.wav"},
                                                      {"make", "a.wav", "-o", "o.mp3", "--volume", "300"}}) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.code, 2) << testing::PrintToString(arguments);
        EXPECT_NE(result.err.find("morvane-cli: "), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("--help"), std::string::npos) << result.err;
    }
}

TEST_F(CliCommands, InfoShowsFormatLengthAndTags) {
    ASSERT_TRUE(
        Ffmpeg("-f lavfi -i sine=f=440:d=3:sample_rate=48000 -ac 1 -metadata title='Morning Bell' "
               "-metadata artist=Someone tagged.flac"));
    const CliResult result = Run({"info", "tagged.flac"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("48000 Hz, 1 channel, 16-bit PCM"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("00:03.000 (144000 frames)"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Title    Morning Bell"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Artist   Someone"), std::string::npos) << result.out;

    const CliResult missing = Run({"info", "nothing.mp3"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "morvane-cli: Error opening nothing.mp3\n");
}

TEST_F(CliCommands, EffectsListsTheOfferedEffectsSorted) {
    const CliResult result = Run({"effects"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "Delay\nEqualizer\nPing-Pong Delay\nWah-Wah\n");
}

}  // namespace
