// The level and length of what morvane-cli make writes: a preset's length limit and --fit,
// loudness normalisation measured by ffmpeg's ebur128 filter, and the clipping warning.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "make_fixture.h"
#include "tests/loudness/ffmpeg_meter.h"

namespace {

namespace fs = std::filesystem;

class CliLevel : public CliMake {};

TEST_F(CliLevel, ARangeOverThePresetsLimitFailsUnlessFitShortensIt) {
    ASSERT_TRUE(Ffmpeg("-f lavfi -i sine=f=440:d=42 -ar 44100 -ac 1 long.wav"));
    MakeFails({"long.wav", "--preset", "iphone", "-o", "ring.m4r"},
              "morvane-cli: the range is 42.0 s; an iPhone ringtone takes at most 40 s (--fit shortens it)\n");
    MakeFails({"long.wav", "--start", "2", "--length", "30.01", "--preset", "iphone-alert", "-o", "ring.m4r"},
              "the range is 30.1 s; an iPhone alert takes at most 30 s (--fit shortens it)");
    EXPECT_FALSE(fs::exists(inputs_ + "/ring.m4r"));
    MakeOk({"long.wav", "--start", "2", "--length", "30", "--preset", "iphone-alert", "-o", "alert.m4r"});

    MakeOk({"long.wav", "--preset", "iphone", "--fit", "--no-fade-out", "-o", "ring.m4r"});
    const std::string path = inputs_ + "/ring.m4r";
    EXPECT_NE(Probe(path, "codec_name").find("codec_name=aac"), std::string::npos);
    const std::vector<int16_t> pcm = DecodeWithFfmpeg(path, 2);
    EXPECT_NEAR(pcm.size() / 2 / 44100.0, 40.0, 0.05);
    // The cut end fades out however the fades were set.
    const size_t end = pcm.size() / 2;
    EXPECT_GT(MeanLevel(pcm, end / 2, 44100), 2000);
    EXPECT_LT(MeanLevel(pcm, end - 2205, 2205), MeanLevel(pcm, end / 2, 44100) / 20);
    const FfmpegLoudness measured = MeasureWithFfmpeg(path);
    ASSERT_TRUE(measured.ok);
    EXPECT_NEAR(measured.integrated, -14.0, 0.5) << "the ringtone target";
}

TEST_F(CliLevel, LoudnessTargetWithTheLimitersTruePeak) {
    // A tone with short loud bursts: the gain to -14 LUFS takes the bursts past full scale,
    // so the limiter has to hold them; they are too short to weigh in the loudness.
    std::vector<int16_t> samples = Sine(1000, -20, 5, 2);
    const std::vector<int16_t> burst = Sine(3000, -4, 0.002, 2);
    for (size_t second = 1; second < 5; ++second)
        std::copy(burst.begin(), burst.end(), samples.begin() + static_cast<std::ptrdiff_t>(second * 44100 * 2));
    WriteWav(inputs_ + "/bursts.wav", samples, 2);
    const FfmpegLoudness source = MeasureWithFfmpeg(inputs_ + "/bursts.wav");
    ASSERT_TRUE(source.ok);
    ASSERT_GT(source.truePeak + (-14.0 - source.integrated), 0.0) << "the gain alone would clip";

    const std::vector<std::string> common = {"bursts.wav", "--no-fade-in", "--no-fade-out"};
    std::vector<std::string> arguments = common;
    arguments.insert(arguments.end(), {"--loudness", "-14", "--format", "wav", "-o", "loud.wav"});
    MakeOk(arguments);
    const FfmpegLoudness loud = MeasureWithFfmpeg(inputs_ + "/loud.wav");
    ASSERT_TRUE(loud.ok);
    EXPECT_NEAR(loud.integrated, -14.0, 0.5);
    EXPECT_LE(loud.truePeak, -1.0);

    arguments = common;
    arguments.insert(arguments.end(), {"--loudness=-23", "--format", "flac", "-o", "quiet.flac"});
    MakeOk(arguments);
    const FfmpegLoudness quiet = MeasureWithFfmpeg(inputs_ + "/quiet.flac");
    ASSERT_TRUE(quiet.ok);
    EXPECT_NEAR(quiet.integrated, -23.0, 0.5);
}

// The share of the warning's "warning: N % of the ringtone clips", or -1 without one.
double ClippedShare(const std::string& err) {
    const std::string start = "morvane-cli: warning: ";
    const size_t at = err.find(start);
    double percent = -1;
    if (at == std::string::npos || std::sscanf(err.c_str() + at + start.size(), "%lf", &percent) != 1) return -1;
    EXPECT_NE(err.find(" % of the ringtone clips; --limit adds a limiter\n", at), std::string::npos) << err;
    return percent;
}

TEST_F(CliLevel, AClippingRenderIsWarnedOfWithoutALimiter) {
    // A sine of amplitude 30000 doubled: |sin| above 32768 / 60000 clips, 63.2 % of the time.
    Wav("loud.wav",
        StereoFrames(4 * 44100,
                     [](uint32_t f, uint32_t) {
                         return static_cast<int16_t>(std::lrint(30000 * std::sin(2 * M_PI * 1000 * f / 44100.0)));
                     }),
        2);
    const std::vector<std::string> loud = {"loud.wav", "--volume", "200",     "--no-fade-in", "--no-fade-out",
                                           "--format", "wav",      "--force", "-o",           "out.wav"};
    CliResult result = Make(loud);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_NEAR(ClippedShare(result.err), 63.2, 1.0) << result.err;

    std::vector<std::string> limited = loud;
    limited.push_back("--limit");
    result = Make(limited);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_TRUE(result.err.empty()) << result.err;
    const FfmpegLoudness measured = MeasureWithFfmpeg(inputs_ + "/out.wav");
    ASSERT_TRUE(measured.ok);
    EXPECT_LE(measured.truePeak, -1.0) << "the limiter held the peaks";

    std::vector<std::string> normalized = loud;
    normalized.push_back("--loudness=-14");
    result = Make(normalized);
    EXPECT_TRUE(result.err.empty()) << "loudness normalisation limits: " << result.err;

    // Over the one-second fades less clips: more than in the middle two seconds alone, less
    // than without fades. At the normal volume nothing clips.
    std::vector<std::string> faded = {"loud.wav", "--volume", "200", "--format", "wav", "--force", "-o", "out.wav"};
    result = Make(faded);
    const double share = ClippedShare(result.err);
    EXPECT_GT(share, 63.2 / 2 + 1);
    EXPECT_LT(share, 63.2 - 1);
    faded[2] = "100";
    result = Make(faded);
    EXPECT_TRUE(result.err.empty()) << result.err;
}

}  // namespace
