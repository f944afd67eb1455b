// morvane-cli's help, usage errors, info and effects, as separate runs of the tool.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "cli_run.h"
#include "tests/loudness/ffmpeg_meter.h"

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
    for (const char* word : {"--preset NAME", "--fit", "--loudness LUFS", "--limit", "--title TEXT", "--artist TEXT",
                             "--loop-tag", "m4r", "flac", "android-notification"})
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

// The value of the output line "<label><number> <unit>", which must carry one decimal; NaN
// without that line.
double LineValue(const std::string& out, const std::string& label, const std::string& unit) {
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(label, 0) != 0) continue;
        const std::string rest = line.substr(label.size());
        double value = NAN;
        if (std::sscanf(rest.c_str(), "%lf", &value) != 1) return NAN;
        char text[64];
        std::snprintf(text, sizeof text, "%.1f %s", value, unit.c_str());
        EXPECT_EQ(rest, text) << line;
        return value;
    }
    ADD_FAILURE() << "no line " << label << " in\n" << out;
    return NAN;
}

TEST_F(CliCommands, InfoMeasuresLoudnessRangeAndTruePeak) {
    // 1 kHz at -20 dBFS in both channels is -20 LUFS; then 5 s at -32 dBFS give a range.
    std::vector<int16_t> samples = Sine(1000, -20, 5, 2);
    const std::vector<int16_t> quieter = Sine(1000, -32, 5, 2);
    WriteWav(inputs_ + "/steady.wav", samples, 2);
    samples.insert(samples.end(), quieter.begin(), quieter.end());
    WriteWav(inputs_ + "/steps.wav", samples, 2);

    CliResult result = Run({"info", "steady.wav"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NEAR(LineValue(result.out, "Loudness: ", "LUFS"), -20.0, 0.1) << result.out;
    EXPECT_NEAR(LineValue(result.out, "Loudness range: ", "LU"), 0.0, 0.1);
    EXPECT_NEAR(LineValue(result.out, "True peak: ", "dBTP"), -20.0, 0.1);

    result = Run({"info", "steps.wav"});
    ASSERT_EQ(result.code, 0) << result.err;
    const FfmpegLoudness reference = MeasureWithFfmpeg(inputs_ + "/steps.wav");
    ASSERT_TRUE(reference.ok);
    EXPECT_NEAR(LineValue(result.out, "Loudness: ", "LUFS"), reference.integrated, 0.15) << result.out;
    EXPECT_NEAR(LineValue(result.out, "Loudness range: ", "LU"), reference.range, 0.3);
    EXPECT_GT(reference.range, 5.0);
    EXPECT_NEAR(LineValue(result.out, "True peak: ", "dBTP"), reference.truePeak, 0.15);
}

TEST_F(CliCommands, InfoOfAShortRangeAndOfSilence) {
    // 0.3 s: under the 400 ms block that gating needs.
    WriteWav(inputs_ + "/blip.wav", Sine(1000, -20, 0.3, 2), 2);
    CliResult result = Run({"info", "blip.wav"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find(" LUFS (short range: maximum short-term loudness)\n"), std::string::npos) << result.out;
    double fallback = NAN;
    const size_t at = result.out.find("Loudness: ");
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(std::sscanf(result.out.c_str() + at + 10, "%lf", &fallback), 1);
    EXPECT_NEAR(fallback, -20.0, 0.3) << "the loudness over the tone's own length";

    WriteWav(inputs_ + "/silence.wav", std::vector<int16_t>(2 * 44100 * 2, 0), 2);
    result = Run({"info", "silence.wav"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("Loudness: none (silence)\nLoudness range: none (silence)\nTrue peak: none (silence)\n"),
              std::string::npos)
        << result.out;
}

TEST_F(CliCommands, EffectsListsTheOfferedEffectsSorted) {
    const CliResult result = Run({"effects"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "Delay\nEqualizer\nPing-Pong Delay\nWah-Wah\n");
}

}  // namespace
