// "morvane-cli play" as a user runs it, on SDL's disk driver: what it sends to the device
// against what make writes, repeat until Ctrl-C, no device, usage errors and the help.
#include <csignal>

#include "audiosvc/audiosvc.h"
#include "cli_run.h"
#include "tests/cli/wav_data.h"

namespace {

class CliPlay : public CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        played_ = root_ + "/played.raw";
        audiotest::UseDiskDriver(played_);
    }

    // Makes the ringtone of the options as a WAV file and returns its samples.
    std::vector<int16_t> MakeWav(const std::vector<std::string>& ringtone) {
        std::vector<std::string> arguments = {"make"};
        arguments.insert(arguments.end(), ringtone.begin(), ringtone.end());
        for (const char* output : {"--format", "wav", "--no-normalize", "--force", "-o", "ring.wav"})
            arguments.push_back(output);
        const CliResult made = Run(arguments);
        EXPECT_EQ(made.code, 0) << made.err;
        return WavData(inputs_ + "/ring.wav");
    }

    std::string played_;
};

TEST_F(CliPlay, SendsWhatMakeWritesAsWavThenSilence) {
    Tone("song.wav", 2, "");
    const std::vector<std::string> ringtone = {"song.wav", "--start", "0.4",      "--end", "1.4",
                                               "--effect", "Delay",   "--volume", "120"};
    const std::vector<int16_t> rendered = MakeWav(ringtone);
    ASSERT_EQ(rendered.size(), 2u * 44100);

    std::vector<std::string> play = {"play"};
    play.insert(play.end(), ringtone.begin(), ringtone.end());
    const CliResult result = Run(play);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_TRUE(TempFiles().empty()) << testing::PrintToString(TempFiles());

    const std::vector<int16_t> played = audiotest::ReadSamples(played_);
    const auto at = std::search(played.begin(), played.end(), rendered.begin(), rendered.end());
    ASSERT_NE(at, played.end()) << "make's samples, in one piece";
    EXPECT_EQ((at - played.begin()) % 2, 0);
    EXPECT_TRUE(std::all_of(played.begin(), at, [](int16_t s) { return s == 0; }));
    EXPECT_TRUE(std::all_of(at + static_cast<long>(rendered.size()), played.end(), [](int16_t s) { return s == 0; }));
}

TEST_F(CliPlay, RepeatPlaysUntilInterruptedAndLeavesNothingBehind) {
    Wav("count.wav",
        StereoFrames(66150, [](uint32_t f, uint32_t c) { return static_cast<int16_t>(300 + f % 30000 + c); }), 2);
    // Without fades and effects a frame's sound does not depend on the range: the first
    // tenth of a second that make renders from 0.2 s is the range played here.
    const std::vector<std::string> common = {"count.wav", "--start", "0.2", "--no-fade-in", "--no-fade-out"};
    std::vector<int16_t> rendered = MakeWav(common);
    ASSERT_EQ(rendered.size(), 2u * (66150 - 8820));
    rendered.resize(2 * 4410);
    std::vector<std::string> ringtone = common;
    ringtone.insert(ringtone.end(), {"--length", "0.1"});

    std::vector<std::string> play = {"play", "--repeat"};
    play.insert(play.end(), ringtone.begin(), ringtone.end());
    const pid_t pid = Start(play);
    ASSERT_GT(pid, 0);
    const bool played = audiotest::WaitUntil([&] { return audiotest::ReadBytes(played_).size() >= 176400; });
    ::kill(pid, SIGINT);
    const CliResult result = Finish(pid);
    ASSERT_TRUE(played) << result.err;
    EXPECT_EQ(result.code, 130) << result.err;
    EXPECT_NE(result.err.find("interrupted"), std::string::npos) << result.err;
    EXPECT_TRUE(TempFiles().empty()) << testing::PrintToString(TempFiles());

    // The range again and again, from the first sound to the last.
    std::vector<int16_t> samples = audiotest::ReadSamples(played_);
    const auto sounding = [](int16_t s) { return s != 0; };
    const auto first = std::find_if(samples.begin(), samples.end(), sounding);
    const auto last = std::find_if(samples.rbegin(), samples.rend(), sounding).base();
    ASSERT_LT(first, last);
    const std::vector<int16_t> sound(first, last);
    ASSERT_GE(sound.size(), 5 * rendered.size());
    std::vector<int16_t> rounds;
    while (rounds.size() < sound.size()) rounds.insert(rounds.end(), rendered.begin(), rendered.end());
    rounds.resize(sound.size());
    EXPECT_EQ(sound, rounds);
}

TEST_F(CliPlay, WithoutADeviceFailsAtOnce) {
    Tone("song.wav", 2, "");
    audiotest::UseDriver("nonexistent");
    const CliResult result = Run({"play", "song.wav"});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("morvane-cli: Can't start player\n"), std::string::npos) << result.err;
    EXPECT_TRUE(TempFiles().empty()) << testing::PrintToString(TempFiles());
}

TEST_F(CliPlay, UsageErrorsAndTheHelp) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"play"},
                                                      {"play", "a.wav", "-o", "x.mp3"},
                                                      {"play", "a.wav", "--loop"},
                                                      {"record"},
                                                      {"record", "take.wav"},
                                                      {"record", "take.wav", "--seconds", "0"}}) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.code, 2) << testing::PrintToString(arguments);
        EXPECT_NE(result.err.find("--help"), std::string::npos) << result.err;
    }
    const CliResult help = Run({"--help"});
    for (const char* word : {"morvane-cli play", "morvane-cli record", "--repeat", "--seconds TIME", "Ctrl-C"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    EXPECT_EQ(Run({"play", "--help"}).out, help.out);
    EXPECT_EQ(Run({"record", "x.wav", "--help"}).out, help.out);
}

TEST_F(CliPlay, AMissingTrackFailsWithTheProgramsMessage) {
    const CliResult result = Run({"play", "missing.wav"});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("Error opening missing"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(played_)) << "nothing was played";
}

}  // namespace
