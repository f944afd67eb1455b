// "morvane-cli record" as a user runs it, recording a known input through SDL's disk driver.
#include <csignal>
#include <filesystem>
#include <fstream>

#include "cli_run.h"
#include "tests/cli/wav_data.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kBufferBytes = 16384;

class CliRecord : public CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        input_ =
            StereoFrames(3 * 44100, [](uint32_t f, uint32_t c) { return static_cast<int16_t>(f % 30011 + c * 7 + 1); });
        const std::string path = root_ + "/input.raw";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(input_.data()), static_cast<std::streamsize>(input_.size() * 2));
        audiotest::UseDiskDriver(root_ + "/unused.raw", path);
    }

    std::vector<int16_t> InputFrames(size_t frames) const {
        return {input_.begin(), input_.begin() + static_cast<long>(2 * frames)};
    }

    std::vector<int16_t> input_;
};

TEST_F(CliRecord, WritesTheInputForTheWantedLengthInTheTypeOfItsExtension) {
    const CliResult result = Run({"record", "take.wav", "--seconds", "1"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("take.wav: 00:01.000"), std::string::npos) << result.out;
    const std::string take = inputs_ + "/take.wav";
    EXPECT_EQ(Probe(take, "codec_name,channels,sample_rate"), "codec_name=pcm_s16le\nsample_rate=44100\nchannels=2\n");
    EXPECT_EQ(WavData(take), InputFrames(44100));
    EXPECT_TRUE(TempFiles().empty()) << testing::PrintToString(TempFiles());
    EXPECT_TRUE(PartialFiles("take.wav").empty());

    const CliResult again = Run({"record", "take.wav", "--seconds", "0.5"});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("take.wav exists (use --force to replace it)"), std::string::npos) << again.err;
    EXPECT_EQ(WavData(take).size(), 2u * 44100) << "the first take is kept";
    ASSERT_EQ(Run({"record", "take.wav", "--seconds", "0.5", "--force"}).code, 0);
    EXPECT_EQ(WavData(take), InputFrames(22050));

    ASSERT_EQ(Run({"record", "take.mp3", "--seconds", "0.5"}).code, 0);
    EXPECT_NE(Probe(inputs_ + "/take.mp3", "codec_name").find("codec_name=mp3"), std::string::npos);
}

TEST_F(CliRecord, InterruptingEndsTheTakeAndKeepsItsWholeBuffers) {
    const pid_t pid = Start({"record", "take.wav", "--seconds", "60"});
    ASSERT_GT(pid, 0);
    const bool recording = audiotest::WaitUntil([&] {
        for (const auto& entry : fs::directory_iterator(temp_)) {
            std::error_code ignored;
            if (entry.path().filename().string().rfind("qorec", 0) == 0 &&
                fs::file_size(entry.path(), ignored) >= 4 * kBufferBytes)
                return true;
        }
        return false;
    });
    ::kill(pid, SIGINT);
    const CliResult result = Finish(pid);
    ASSERT_TRUE(recording) << result.err;
    EXPECT_EQ(result.code, 0) << result.err;
    const std::vector<int16_t> take = WavData(inputs_ + "/take.wav");
    ASSERT_GE(take.size() * 2, 4 * kBufferBytes);
    EXPECT_EQ(take.size() * 2 % kBufferBytes, 0u) << "whole buffers only";
    ASSERT_LE(take.size(), input_.size());
    EXPECT_EQ(take, InputFrames(take.size() / 2));
    EXPECT_TRUE(TempFiles().empty()) << testing::PrintToString(TempFiles());
    EXPECT_TRUE(PartialFiles("take.wav").empty());
}

TEST_F(CliRecord, FailsWithoutADeviceOrAKnownTypeAndWritesNothing) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"record", "take.xyz", "--seconds", "1"}, "morvane-cli: Can't create file: take.xyz\n"},
        {{"record", "take", "--seconds", "1"}, "take has no extension"},
        {{"record", "no/such/folder/take.wav", "--seconds", "1"}, "Can't save file: no folder"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.code, 1) << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    audiotest::UseDriver("nonexistent");
    const CliResult result = Run({"record", "take.wav", "--seconds", "1"});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("morvane-cli: Can't capture input device.\n"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(inputs_ + "/take.wav"));
    EXPECT_TRUE(TempFiles().empty()) << testing::PrintToString(TempFiles());
}

}  // namespace
