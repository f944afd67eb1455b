// Whole ringtones made by morvane-cli from files made by the ffmpeg tool, decoded back.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "make_fixture.h"

namespace {

namespace fs = std::filesystem;

double Duration(const std::string& probe) {
    const size_t at = probe.find("duration=");
    return at == std::string::npos ? -1 : std::stod(probe.substr(at + 9));
}

TEST_F(CliMake, Mp3WithTheDefaultsFromAnMp3) {
    Tone("song.mp3", 12, "-c:a libmp3lame -b:a 192k");
    MakeOk({"song.mp3", "-o", "ring.mp3"});
    const std::string probe = Probe(inputs_ + "/ring.mp3", "codec_name,channels,bit_rate,duration");
    EXPECT_NE(probe.find("codec_name=mp3"), std::string::npos) << probe;
    EXPECT_NE(probe.find("channels=2"), std::string::npos) << probe;
    EXPECT_NE(probe.find("bit_rate=128000"), std::string::npos) << probe;
    EXPECT_NEAR(Duration(probe), 12.0, 0.1) << probe;
    EXPECT_EQ(fs::status(inputs_ + "/ring.mp3").permissions() & fs::perms::others_read, fs::perms::others_read)
        << "an ordinary file, not the private temporary one";
}

TEST_F(CliMake, AacMonoOfTheMarkedRange) {
    Tone("song.m4a", 20, "-c:a aac -b:a 160k");
    MakeOk({"--start", "0:05", "--length", "8.5", "--format", "aac", "--channels", "1", "--bitrate", "64", "song.m4a",
            "-o", "ring.aac"});
    const std::string path = inputs_ + "/ring.aac";
    EXPECT_NE(Probe(path, "codec_name,channels").find("channels=1"), std::string::npos);
    const std::vector<int16_t> pcm = DecodeWithFfmpeg(path, 1);
    EXPECT_NEAR(pcm.size() / 44100.0, 8.5, 0.1);
    const double kbps = fs::file_size(path) * 8.0 / 8.5 / 1000;
    EXPECT_GT(kbps, 48);
    EXPECT_LT(kbps, 80);
}

TEST_F(CliMake, TwoTracksMixAndClipBeforeTheVolume) {
    const auto level = [](int16_t value) {
        return StereoFrames(3 * 44100,
                            [value](uint32_t f, uint32_t) { return static_cast<int16_t>(f % 2 ? value : -value); });
    };
    Wav("one.wav", level(20000), 2);
    Wav("two.wav", level(15000), 2);
    MakeOk({"one.wav", "two.wav", "--offset2", "1", "--volume", "50", "--no-fade-in", "--no-fade-out", "--no-normalize",
            "--format", "wav", "-o", "mix.wav"});
    const std::vector<int16_t> pcm = DecodeWithFfmpeg(inputs_ + "/mix.wav", 2);
    ASSERT_EQ(pcm.size(), 2u * 4 * 44100) << "the project ends with track 2";
    EXPECT_NEAR(MeanLevel(pcm, 1000, 40000), 10000, 2);
    EXPECT_NEAR(MeanLevel(pcm, 44100 + 1000, 40000), 16383, 2) << "clipped at full scale, then halved";
    EXPECT_NEAR(MeanLevel(pcm, 3 * 44100 + 1000, 40000), 7500, 2);
}

TEST_F(CliMake, FadesVolumeAndNormalizeOnTheRenderedRange) {
    Wav("flat.wav",
        StereoFrames(5 * 44100, [](uint32_t f, uint32_t) { return static_cast<int16_t>(f % 2 ? 8000 : -8000); }), 2);
    MakeOk({"flat.wav", "--start", "1", "--end", "4", "--format", "wav", "--volume", "200", "--no-normalize", "-o",
            "f.wav"});
    std::vector<int16_t> pcm = DecodeWithFfmpeg(inputs_ + "/f.wav", 2);
    ASSERT_EQ(pcm.size(), 2u * 3 * 44100);
    EXPECT_LT(MeanLevel(pcm, 0, 100), 50);
    EXPECT_NEAR(MeanLevel(pcm, 22050 - 50, 100), 8000, 40);
    EXPECT_NEAR(MeanLevel(pcm, 60000, 20000), 16000, 2);
    EXPECT_NEAR(MeanLevel(pcm, 3 * 44100 - 22050 - 50, 100), 8000, 40);
    EXPECT_LT(MeanLevel(pcm, 3 * 44100 - 100, 100), 50);

    MakeOk({"flat.wav", "--start", "1", "--end", "4", "--format", "wav", "--no-fade-in", "-o", "n.wav"});
    pcm = DecodeWithFfmpeg(inputs_ + "/n.wav", 2);
    EXPECT_NEAR(MeanLevel(pcm, 0, 20000), 32767, 2) << "normalized to full scale";
}

TEST_F(CliMake, DelayEffectEchoesAtItsDelayTime) {
    Wav("click.wav",
        StereoFrames(2 * 44100, [](uint32_t f, uint32_t) { return static_cast<int16_t>(f == 30000 ? 20000 : 0); }), 2);
    MakeOk({"click.wav", "--effect", "delay", "--no-fade-in", "--no-fade-out", "--no-normalize", "--format", "wav",
            "-o", "echo.wav"});
    const std::vector<int16_t> pcm = DecodeWithFfmpeg(inputs_ + "/echo.wav", 2);
    ASSERT_EQ(pcm.size(), 2u * 2 * 44100);
    EXPECT_NEAR(pcm[2 * 30000], 15000, 2);
    EXPECT_NEAR(pcm[2 * (30000 + 793)], 11000, 2) << "18 ms later at 55 %";
    EXPECT_EQ(pcm[2 * (30000 + 400)], 0);
}

TEST_F(CliMake, AnExistingOutputIsKeptUnlessForced) {
    Tone("song.wav", 3, "");
    std::ofstream(inputs_ + "/ring.mp3") << "precious";
    MakeFails({"song.wav", "-o", "ring.mp3"}, "ring.mp3 exists (use --force to replace it)");
    std::ifstream kept(inputs_ + "/ring.mp3");
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "precious");
    MakeOk({"song.wav", "-o", "ring.mp3", "--force"});
    EXPECT_GT(fs::file_size(inputs_ + "/ring.mp3"), 10000u);
    EXPECT_TRUE(PartialFiles("ring.mp3").empty());
}

TEST_F(CliMake, BadInputsAndRangesFailWithTheProgramsMessages) {
    Tone("song.wav", 5, "");
    std::ofstream(inputs_ + "/notes.txt") << "not audio at all";
    MakeFails({"missing.mp3", "-o", "a.mp3"}, "morvane-cli: Error opening missing\nmissing.mp3: does not exist\n");
    MakeFails({"notes.txt", "-o", "a.mp3"}, "Error opening notes\nnotes.txt: not an audio file");
    MakeFails({"song.wav", "--length", "0.5", "-o", "a.mp3"},
              "Please select a minimum of one\nsecond length track to proceed");
    MakeFails({"song.wav", "--end", "6", "-o", "a.mp3"}, "the range ends after the end of the project (00:05.000)");
    MakeFails({"song.wav", "--start", "5", "-o", "a.mp3"}, "starts at or after the end of the project");
    MakeFails({"song.wav", "--start", "3", "--end", "2", "-o", "a.mp3"}, "the range ends before it starts");
    MakeFails({"song.wav", "--effect", "Chorus", "-o", "a.mp3"}, "no effect 'Chorus'");
    MakeFails({"song.wav", "-o", "no/such/folder/a.mp3"}, "Can't save file");
    MakeFails({"song.wav", "-o", "."}, "is a folder");
    MakeFails({"song.wav", "--volume", "999", "-o", "a.mp3"}, "--volume", 2);
    EXPECT_FALSE(fs::exists(inputs_ + "/a.mp3"));
}

// Starts a long make and interrupts it once a temporary file with the prefix has grown
// past minBytes; expects the interrupted exit and nothing left behind.
class CliInterrupt : public CliMake {
protected:
    void InterruptWhen(const std::string& prefix, uintmax_t minBytes) {
        Tone("long.wav", 300, "");
        const pid_t pid = Start({"make", "long.wav", "-o", "ring.mp3"});
        ASSERT_GT(pid, 0);
        bool seen = false;
        for (int wait = 0; wait < 60000 && !seen; ++wait) {
            for (const auto& entry : fs::directory_iterator(temp_)) {
                std::error_code ignored;
                if (entry.path().filename().string().rfind(prefix, 0) == 0 &&
                    fs::file_size(entry.path(), ignored) >= minBytes)
                    seen = true;
            }
            if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ::kill(pid, SIGINT);
        const CliResult result = Finish(pid);
        ASSERT_TRUE(seen) << "no " << prefix << " file appeared";
        EXPECT_EQ(result.code, 130) << result.err;
        EXPECT_NE(result.err.find("interrupted"), std::string::npos) << result.err;
        EXPECT_TRUE(TempFiles().empty()) << testing::PrintToString(TempFiles());
        EXPECT_FALSE(fs::exists(inputs_ + "/ring.mp3"));
        EXPECT_TRUE(PartialFiles("ring.mp3").empty());
    }
};

TEST_F(CliInterrupt, WhileOpening) { InterruptWhen("qosrc", 1 << 20); }

TEST_F(CliInterrupt, WhileEncoding) { InterruptWhen("qosav", 100000); }

}  // namespace
